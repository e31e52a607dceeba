#!/bin/bash
# Prints the share of test code: non-blank lines of tests/ and fuzz/ against all non-blank lines
# of src/, testbed/, tests/, fuzz/, the CMake files and the scripts.
set -euo pipefail
cd "$(dirname "$0")/.."
lines() { git ls-files -co --exclude-standard -- "$@" | grep -E '\.(cpp|h|cmake|sh|txt|json)$|CMakeLists\.txt$' |
  xargs -r cat | grep -cv '^\s*$' || true; }
tests=$(lines tests fuzz)
all=$(lines src testbed tests fuzz cmake scripts CMakeLists.txt CMakePresets.json)
echo "Test share: $tests of $all lines ($((100 * tests / all))%)"
