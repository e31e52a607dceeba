#!/usr/bin/env python3
"""Checks the floors of src/ in configured (and, for the symbols, built) build trees.

What a file includes is what the compiler reads: every translation unit of the compile commands,
and every header of src/ on its own, is run through the compiler with -MM, and the resolved paths
it lists are held against the floors of floors.txt. A floor's library holds only its own folder's
sources. No object of a floor beneath the shell defines a symbol of CMainFrame (read with nm, so
neither spelling nor comments matter).

Usage: check_floors.py includes <build dir>...   what each file reads (needs configured builds)
       check_floors.py symbols <build dir>...    what each floor defines (needs the floors built)
"""
import concurrent.futures
import json
import os
import re
import shlex
import subprocess
import sys

ROOT = os.path.realpath(os.path.join(os.path.dirname(__file__), ".."))
SRC = os.path.join(ROOT, "src")
# Files of src/ that are not included by C++ (everything else there is checked as a header).
NOT_HEADERS = (".cpp", ".c", ".rc", ".cmake", ".txt", ".ico", ".md")
SHELL = "app"

failures = []


def fail(message):
    failures.append(message)


def read_floors(build):
    """floors.txt: 'nm <path>', then 'floor <name> <archive> <floor beneath>...' bottom first."""
    nm, floors = None, {}
    with open(os.path.join(build, "floors.txt")) as manifest:
        for line in manifest:
            words = line.split()
            if words and words[0] == "nm":
                nm = words[1]
            elif words and words[0] == "floor":
                floors[words[1]] = {"archive": words[2], "allowed": {words[1], *words[3:]}}
    return nm, floors


def floor_of(path):
    """The folder of src/ a path lies in, or None outside src/."""
    relative = os.path.relpath(path, SRC)
    if relative.startswith(".."):
        return None
    return relative.split(os.sep)[0]


def where(path):
    return os.path.relpath(path, ROOT)


def dependency_command(entry):
    """The entry's compile command, made to list dependencies (-MM) instead of compiling."""
    words = shlex.split(entry["command"]) if "command" in entry else list(entry["arguments"])
    source = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    kept, skip = [], False
    for word in words:
        if skip:
            skip = False
        elif word in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
        elif word in ("-c", "-MD", "-MMD", "-Werror") or word.startswith("-Werror="):
            pass
        elif os.path.realpath(os.path.join(entry["directory"], word)) == source:
            pass
        else:
            kept.append(word)
    return kept + ["-MM"]


def dependencies(command, directory, source=None, stdin=None):
    """The resolved paths the compiler reads for one translation unit, or None when it fails."""
    arguments = command + ([source] if source else ["-x", "c++", "-"])
    run = subprocess.run(arguments, cwd=directory, input=stdin, capture_output=True, text=True)
    if run.returncode != 0:
        return None, run.stderr.strip()
    rule = run.stdout.replace("\\\n", " ")
    paths = rule.split(":", 1)[1].split() if ":" in rule else []
    return [os.path.realpath(os.path.join(directory, path)) for path in paths], ""


def check_uses(who, folder, paths, floors):
    """Every file of src/ that 'who' (of src/<folder> or testbed/) reads is allowed."""
    for path in paths:
        used = floor_of(path)
        if folder == "testbed":
            if used == SHELL:
                fail(f"{who} reads {where(path)}: the stand-ins and the bench never take the shell")
            continue
        if used is None:
            if path.startswith(os.path.join(ROOT, "testbed") + os.sep) or path.startswith(
                os.path.join(ROOT, "tests") + os.sep
            ):
                fail(f"{who} reads {where(path)}: the plug-in never reads the testbed or the tests")
            continue
        if used not in floors:
            fail(f"{who} reads {where(path)}: src/{used} is no floor of the house")
        elif used not in floors[folder]["allowed"]:
            fail(f"{who} reads {where(path)} ({folder} may not use {used})")


def library_floor(entry):
    """The floor whose library compiles this entry, from its object's path."""
    output = entry.get("output", "")
    if not output:
        words = shlex.split(entry.get("command", ""))
        output = words[words.index("-o") + 1] if "-o" in words else ""
    match = re.search(r"CMakeFiles/orvane_([a-z]+?)(_fuzz)?\.dir/", output)
    return match.group(1) if match else None


def check_build(build, compiled, headers_done):
    _, floors = read_floors(build)
    with open(os.path.join(build, "compile_commands.json")) as commands_file:
        entries = json.load(commands_file)

    jobs, command_of_floor = [], {}
    for entry in entries:
        source = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
        compiled.add(source)
        if not source.startswith(ROOT + os.sep) or not source.endswith((".cpp", ".cc", ".c")):
            continue
        relative = where(source)
        folder = floor_of(source)
        owner = library_floor(entry)
        if owner in floors and owner != folder:
            fail(f"{relative} is built into the library of {owner}, not of its own floor")
        if relative.startswith("testbed" + os.sep):
            folder = "testbed"
        elif folder is None:
            continue
        elif folder not in floors:
            fail(f"{relative}: src/{folder} is no floor of the house")
            continue
        command = dependency_command(entry)
        command_of_floor.setdefault(folder, (command, entry["directory"]))
        jobs.append((relative, folder, command, entry["directory"], source, None))

    # Each header of a floor, alone, with the flags of its floor's sources, in the first build
    # that compiles that floor (the Windows build: a native build has no Windows header).
    for header in tracked(SRC):
        folder = floor_of(header)
        if header.endswith(NOT_HEADERS) or folder not in command_of_floor or header in headers_done:
            continue
        headers_done.add(header)
        command, directory = command_of_floor[folder]
        jobs.append((where(header), folder, command, directory, None, f'#include "{header}"\n'))

    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        results = pool.map(lambda job: (job, dependencies(job[2], job[3], job[4], job[5])), jobs)
        for (who, folder, *_), (paths, error) in results:
            if paths is None:
                fail(f"{who}: the compiler cannot list what it reads ({build}):\n{error}")
            else:
                check_uses(who, folder, paths, floors)

    print(f"{where(build)}: {len(jobs)} files read with -MM")


def check_frame_symbols(nm, floors):
    """Only the shell's objects define symbols of CMainFrame (its members, vtable, type info).
    Answers how many floors' symbols were listed."""
    listed = 0
    for floor, facts in floors.items():
        if floor == SHELL or facts["archive"] == "-":
            continue
        if not os.path.exists(facts["archive"]):
            fail(f"{where(facts['archive'])} is not built: the symbols of {floor} go unchecked")
            continue
        listing = subprocess.run(
            [nm, "-C", "--defined-only", facts["archive"]], capture_output=True, text=True, check=True
        ).stdout
        listed += 1
        member = ""
        for line in listing.splitlines():
            if line.endswith(":") and " " not in line:
                member = line[:-1]
            elif re.search(r"\bCMainFrame\b", line):
                symbol = line.split(" ", 2)[-1]
                fail(f"{floor}'s {member} defines {symbol}: CMainFrame belongs to src/{SHELL}")
    return listed


def tracked(folder):
    listing = subprocess.run(
        ["git", "ls-files", "-z", "--", folder], cwd=ROOT, capture_output=True, text=True, check=True
    ).stdout
    return [os.path.join(ROOT, name) for name in listing.split("\0") if name]


def check_includes(builds):
    compiled, headers_done = set(), set()
    for build in builds:
        check_build(os.path.realpath(build), compiled, headers_done)
    for source in tracked(SRC):
        if source.endswith((".cpp", ".c")) and source not in compiled:
            fail(f"{where(source)} is built by no target, so nothing checks it")


def check_symbols(builds):
    for build in builds:
        nm, floors = read_floors(build)
        listed = check_frame_symbols(nm, floors)
        print(f"{where(os.path.realpath(build))}: the symbols of {listed} floor(s) listed")


def main(mode, builds):
    {"includes": check_includes, "symbols": check_symbols}[mode](builds)
    for failure in failures:
        print(f"check_includes: {failure}", file=sys.stderr)
    if failures:
        print(f"check_includes: {len(failures)} fault(s) against the floors", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2:]))
