#!/bin/bash
# Builds everything and runs every test: native (sanitizers, fuzzers), then unit and e2e under Wine,
# and a short randomized run (scripts/soak.sh);
# then every Windows program again with the second compiler (clang and lld), the build that ships:
# its program is signed and packaged, the package installed, upgraded and removed under Wine, its
# PDB checked against the program, and its unit tests run under Wine too.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
stop_wine() {
  WINEPREFIX="$PWD/build/win/wineprefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$PWD/build/win-clang/wineprefix" wineserver -k 2>/dev/null || true
}
trap stop_wine EXIT
status=0
ctest --preset native || status=1
# A persistent server saves every Wine program the wait for the server to come and go.
WINEPREFIX="$PWD/build/win/wineprefix" wineserver -p
ctest --preset win || status=1
WINEPREFIX="$PWD/build/win/wineprefix" wineserver -k
# The randomized run, short: two fixed seeds of about a minute and a half each.
for seed in 20261208 7; do
  ORVANE_SOAK_NO_BUILD=1 bash scripts/soak.sh --seed $seed --seconds 70 | tail -n 40 || status=1
done
cmake --preset win-clang >/dev/null
cmake --build --preset win-clang
bash scripts/prepare_prefix.sh build/win-clang
# The shipped build: signed, packaged, installed, upgraded and removed under Wine's msiexec.
bash scripts/msi_test.sh build/win-clang || status=1
WINEPREFIX="$PWD/build/win-clang/wineprefix" wineserver -p
ctest --preset win-clang -L 'unit|ship' || status=1
bash scripts/test_share.sh
exit $status
