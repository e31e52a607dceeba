#!/bin/bash
# Builds the Windows programs (preset "win") and the native pure modules (preset "native"),
# and makes the Wine prefix of the Windows build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install_packages.sh
cmake --preset win >/dev/null
cmake --build --preset win
cmake --preset native >/dev/null
cmake --build --preset native
bash scripts/prepare_prefix.sh build/win
