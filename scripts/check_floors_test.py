#!/usr/bin/env python3
"""The floor rules of check_floors.py, on resolved paths, without a compiler."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import check_floors  # noqa: E402

ROOT, SRC = check_floors.ROOT, check_floors.SRC
FLOORS = {
    "base": {"allowed": {"base"}},
    "mainapp": {"allowed": {"mainapp", "base"}},
    "outlook": {"allowed": {"outlook", "base"}},
    "inbound": {"allowed": {"inbound", "outlook", "mainapp", "base"}},
    "outbound": {"allowed": {"outbound", "outlook", "mainapp", "base"}},
    "app": {"allowed": {"app", "inbound", "outbound", "outlook", "mainapp", "base"}},
}


def src(path):
    return os.path.join(SRC, path)


class FloorRulesTest(unittest.TestCase):
    def faults(self, folder, paths):
        check_floors.failures.clear()
        check_floors.check_uses("who", folder, paths, FLOORS)
        return list(check_floors.failures)

    def test_what_each_folder_may_read(self):
        cases = [
            ("outbound", src("outbound/x.h"), 0),
            ("outbound", src("outlook/y.h"), 0),
            ("outbound", src("inbound/z.h"), 1),  # beside
            ("outbound", src("app/main_frame.h"), 1),  # above
            ("outlook", src("mainapp/kinds.h"), 1),  # beside
            ("base", src("outlook/ole_date.h"), 1),
            ("app", src("inbound/writers.h"), 0),
            ("inbound", src("tools/helper.h"), 1),  # no floor
            ("inbound", os.path.join(ROOT, "testbed/outlook/item_data.h"), 1),
            ("inbound", "/usr/include/c++/12/string", 0),
            ("testbed", src("app/intake.h"), 1),
            ("testbed", src("outlook/outlook_ids.h"), 0),
        ]
        for folder, path, expected in cases:
            with self.subTest(folder=folder, path=path):
                self.assertEqual(len(self.faults(folder, [path])), expected)

    def test_dependency_command_lists_instead_of_compiling(self):
        entry = {
            "directory": "/b",
            "file": "/s/src/outbound/a.cpp",
            "command": "g++ -I/s/src -Werror -Wall -MD -MT x.o -MF x.d -o x.o -c /s/src/outbound/a.cpp",
        }
        self.assertEqual(check_floors.dependency_command(entry), ["g++", "-I/s/src", "-Wall", "-MM"])

    def test_library_floor_from_the_object_path(self):
        cases = [
            ("src/CMakeFiles/orvane_outbound.dir/outbound/a.cpp.obj", "outbound"),
            ("fuzz/CMakeFiles/orvane_app_fuzz.dir/__/src/app/intake.cpp.o", "app"),
            ("src/CMakeFiles/orvane_app_links.dir/__/cmake/floor_link_check.cpp.obj", None),
            ("tests/common/CMakeFiles/orvane_test_common.dir/record_builder.cpp.obj", None),
        ]
        for output, expected in cases:
            with self.subTest(output):
                self.assertEqual(check_floors.library_floor({"output": output}), expected)


if __name__ == "__main__":
    unittest.main()
