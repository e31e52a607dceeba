#!/usr/bin/env python3
"""The catch-site reader against the shapes of C++ that would mislead a reader of text."""
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import catch_sites  # noqa: E402

CASES = [
    (
        "a member defined out of its class, the variable's name dropped",
        "namespace a { namespace { }\nvoid Frame::Run(int id) {\n  try { Go(); } catch (const Error& error) { }\n} }",
        [("Frame::Run", "Error")],
    ),
    (
        "a comment, a string and a character that look like code",
        'void F() {\n  // catch (Fake&) {\n  const char* s = "} catch (Fake&) {";\n  char c = \'}\';\n'
        "  try { } catch (std::bad_alloc&) { }\n}",
        [("F", "std::bad_alloc")],
    ),
    (
        "a catch inside a lambda is one of the function around it",
        "void Outer() {\n  auto f = [] { try { } catch (...) { } };\n}",
        [("Outer", "...")],
    ),
    (
        "a member defined in its class, after an initialiser with braces",
        "class Writer {\n  int x_{0};\n  void End() const {\n    try { } catch (const E&) { }\n  }\n};",
        [("Writer::End", "E")],
    ),
    (
        "a function-try-block's handler is the function's",
        "void G() try {\n  H();\n} catch (const std::exception& e) {\n}",
        [("G", "std::exception")],
    ),
    (
        "several handlers of one try, and a template",
        "template <class B>\nvoid Guard(B&& b) noexcept {\n  try { b(); } catch (const X&) { } catch (...) { }\n}",
        [("Guard", "X"), ("Guard", "...")],
    ),
    (
        "a preprocessor line with braces and a continuation",
        "#define OPEN {\\\n  catch (Fake&) {\nvoid K() { try { } catch (int) { } }",
        [("K", "int")],
    ),
]


class CatchSitesTest(unittest.TestCase):
    def test_shapes(self):
        for name, code, expected in CASES:
            with self.subTest(name), tempfile.NamedTemporaryFile("w", suffix=".cpp", delete=False) as source:
                source.write(code)
            try:
                self.assertEqual(catch_sites.catch_sites(source.name), expected, name)
            finally:
                os.unlink(source.name)

    def test_check_tells_missing_and_gone(self):
        with tempfile.TemporaryDirectory() as folder:
            code = os.path.join(folder, "a.cpp")
            doc = os.path.join(folder, "doc.md")
            with open(code, "w") as out:
                out.write("void F() { try { } catch (const E&) { } }\nvoid G() { try { } catch (...) { } }\n")
            with open(doc, "w") as out:
                out.write(f"| `{code}` | `F` | `E` | why |\n| `{code}` | `Gone` | `E` | why |\n")
            told = io.StringIO()
            with contextlib.redirect_stderr(told):
                self.assertEqual(catch_sites.main(["--check", doc, code]), 1)
            self.assertIn("does not list the catch site " + code + " / G / ...", told.getvalue())
            self.assertIn(code + " / Gone / E, which the code no longer has", told.getvalue())
            with open(doc, "w") as out:
                out.write(f"| `{code}` | `F` | `E` | why |\n| `{code}` | `G` | `...` | why |\n")
            self.assertEqual(catch_sites.main(["--check", doc, code]), 0)


if __name__ == "__main__":
    unittest.main()
