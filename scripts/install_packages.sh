#!/bin/bash
# Installs what the build and the tests need on Debian 12, skipping what is already there.
set -euo pipefail
packages=(wine wine64 g++-mingw-w64-x86-64 cmake make googletest clang libclang-rt-14-dev clang-format python3 lld llvm-14
  wixl msitools osslsigncode openssl procps)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
