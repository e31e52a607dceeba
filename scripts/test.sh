#!/bin/bash
# Builds everything and runs every test: native (sanitizers, fuzzers), then unit and e2e under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export WINEPREFIX="$PWD/build/win/wineprefix"
stop_wine() { wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT
status=0
ctest --preset native || status=1
# A persistent server saves every Wine program the wait for the server to come and go.
wineserver -p
ctest --preset win || status=1
bash scripts/test_share.sh
exit $status
