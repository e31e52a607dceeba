#!/usr/bin/env python3
"""Lists the catch sites of C++ sources, or checks them against the table of doc/exceptions.md.

A site is told by its file, the function it is in and what it catches, never by its line, so the
list holds while code moves within a file. The reader knows enough C++ for this code base: it
skips comments, literals and preprocessor lines, follows namespaces, classes and function bodies
by their braces, and takes a catch inside a lambda for one of the function around it.

Usage: catch_sites.py <file>...             prints "file<TAB>function<TAB>caught", one a line
       catch_sites.py --check <doc> <file>...  fails when the doc's table and the code differ
"""
import collections
import re
import sys

TOKEN = re.compile(r"[A-Za-z_]\w*|::|->|&&|\.\.\.|\S")
KINDS_WITHOUT_FUNCTIONS = ("enum",)


def blank(match):
    """A comment or literal as spaces, keeping its line breaks."""
    return re.sub(r"[^\n]", " ", match.group(0))


def strip(text):
    text = re.sub(r"^[ \t]*#(?:[^\n]*\\\n)*[^\n]*", blank, text, flags=re.M)
    return re.sub(
        r'//[^\n]*|/\*.*?\*/|R"([^(\s]*)\(.*?\)\1"|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'',
        blank,
        text,
        flags=re.S,
    )


def function_name(head):
    """The qualified name before the first parameter list of a declaration's tokens."""
    if "(" not in head or head.index("(") == 0:
        return None
    end = head.index("(")
    start = end - 1
    if start >= 1 and head[start - 1] in ("operator", "~"):
        start -= 1
    while start >= 2 and head[start - 1] == "::":
        start -= 2
    return "".join(head[start:end])


def catch_sites(path):
    with open(path, encoding="utf-8", errors="replace") as source:
        text = strip(source.read())
    tokens = TOKEN.findall(text)
    # Each open brace: ("scope", name) for namespaces and classes, ("function", name) for a body,
    # ("block", None) inside a body or an initializer.
    stack, head, sites, last_function = [], [], [], None
    i = 0
    while i < len(tokens):
        token = tokens[i]
        in_function = any(kind == "function" for kind, _ in stack)
        if token == "catch" and i + 1 < len(tokens) and tokens[i + 1] == "(":
            depth, j = 0, i + 1
            while True:
                depth += {"(": 1, ")": -1}.get(tokens[j], 0)
                if depth == 0:
                    break
                j += 1
            function = current_function(stack) or last_function
            sites.append((function or "?", caught(tokens[i + 2 : j])))
            i = j + 1
            continue
        if token == "{":
            stack.append(open_scope(head, in_function, stack))
            head = []
        elif token == "}":
            if stack:
                kind, name = stack.pop()
                if kind == "function" and not any(k == "function" for k, _ in stack):
                    last_function = qualified(stack, name)
            head = []
        elif token == ";":
            head = []
        else:
            head.append(token)
        i += 1
    return sites


def open_scope(head, in_function, stack):
    if in_function:
        return ("block", None)
    if head[:1] == ["namespace"] or head[:1] == ["extern"]:
        return ("scope", None)
    if "=" in head or not head:
        return ("block", None)
    if head[:1] == ["catch"]:
        # The handler of a function-try-block belongs to the function before it.
        return ("block", None)
    name = function_name(head)
    if name:
        return ("function", name)
    for index, token in enumerate(head):
        if token in ("class", "struct", "union") and index + 1 < len(head):
            return ("scope", head[index + 1])
        if token in KINDS_WITHOUT_FUNCTIONS:
            return ("block", None)
    return ("block", None)


def qualified(stack, name):
    classes = [scope for kind, scope in stack if kind == "scope" and scope]
    if "::" in name or not classes:
        return name
    return "::".join(classes + [name])


def current_function(stack):
    for depth in range(len(stack) - 1, -1, -1):
        kind, name = stack[depth]
        if kind == "function" and not any(k == "function" for k, _ in stack[:depth]):
            return qualified(stack[:depth], name)
    return None


def caught(declaration):
    """What a handler catches, without its variable, const or reference."""
    if declaration == ["..."]:
        return "..."
    words = list(declaration)
    if len(words) > 1 and re.match(r"[A-Za-z_]\w*$", words[-1]) and words[-2] not in ("::",):
        words.pop()
    return "".join(word for word in words if word not in ("const", "&", "&&"))


def documented(doc):
    """The rows of the doc's catch-site table: the first three cells, each in backquotes."""
    rows = []
    with open(doc, encoding="utf-8") as table:
        lines = table.readlines()
    for line in lines:
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) >= 4 and all(re.fullmatch(r"`[^`]+`", cell) for cell in cells[:3]):
            rows.append(tuple(cell.strip("`") for cell in cells[:3]))
    return rows


def main(arguments):
    check = arguments[:1] == ["--check"]
    doc = arguments[1] if check else None
    files = arguments[2:] if check else arguments
    found = [(path, function, what) for path in files for function, what in catch_sites(path)]
    if not check:
        for site in found:
            print("\t".join(site))
        return 0
    in_code, in_doc = collections.Counter(found), collections.Counter(documented(doc))
    status = 0
    for site in sorted((in_code - in_doc).elements()):
        print(f"check_exceptions: {doc} does not list the catch site {' / '.join(site)}", file=sys.stderr)
        status = 1
    for site in sorted((in_doc - in_code).elements()):
        print(f"check_exceptions: {doc} lists {' / '.join(site)}, which the code no longer has", file=sys.stderr)
        status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
