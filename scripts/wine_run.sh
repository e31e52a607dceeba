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
status=0
wine "$@" || status=$?
# A program that dies before its output is flushed leaves nothing else to go by.
[ $status -eq 0 ] || echo "wine_run.sh: $(basename "$1") ended with exit status $status" >&2
exit $status
