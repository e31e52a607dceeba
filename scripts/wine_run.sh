#!/bin/bash
# Runs a Windows program of the build under Wine, in the build tree's own prefix.
# Usage: wine_run.sh BUILD_DIR PROGRAM [ARGS...]
build_dir=$1; shift
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export LC_ALL=C.UTF-8
export GTEST_COLOR=no
export WINEPATH="$(winepath -w "$build_dir/bin" 2>/dev/null)"
# Under load, Wine now and then fails to start a program at all (exit status 1, not a line
# written, although the test programs write their first line as they start); such a start is
# tried once more, and says so. A program that wrote anything has run, and its result stands.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
for attempt in 1 2; do
  wine "$@" 2>&1 | tee "$output"
  status=${PIPESTATUS[0]}
  [ $status -ne 0 ] && [ ! -s "$output" ] && [ $attempt -eq 1 ] || break
  echo "wine_run.sh: $(basename "$1") ended with exit status $status before writing anything; starting it again" >&2
done
[ $status -eq 0 ] || echo "wine_run.sh: $(basename "$1") ended with exit status $status" >&2
exit $status
