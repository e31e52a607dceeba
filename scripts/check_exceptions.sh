#!/bin/bash
# Fails when a catch site of src/ is missing from doc/exceptions.md, or one listed there is gone.
# A site is its file, its function and what it catches, so moving code within a file keeps it.
set -euo pipefail
cd "$(dirname "$0")/.."
python3 scripts/catch_sites_test.py
mapfile -t sources < <(git ls-files 'src/*.cpp' 'src/*.h' 'src/*.inl' 'src/*.hpp' 'src/*.ipp')
python3 scripts/catch_sites.py --check doc/exceptions.md "${sources[@]}"
echo "Exceptions: doc/exceptions.md lists every catch site of src/"
