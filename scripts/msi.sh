#!/bin/bash
# Builds the plug-in's Windows Installer package with wixl.
# Usage: msi.sh VERSION EXECUTABLE OUTPUT.msi   (VERSION in four parts, as in the version resource)
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 VERSION EXECUTABLE OUTPUT.msi" >&2; exit 2; }
version=$1 executable=$(realpath "$2") output=$3
root=$(cd "$(dirname "$0")/.." && pwd)
if ! [[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)\.([0-9]+)$ ]]; then
  echo "msi.sh: the version must have four parts: $version" >&2
  exit 2
fi
major=${BASH_REMATCH[1]} minor=${BASH_REMATCH[2]} patch=${BASH_REMATCH[3]} build=${BASH_REMATCH[4]}
# Windows Installer keeps at most 255.255.65535 in the three parts it compares.
if [ "$major" -gt 255 ] || [ "$minor" -gt 255 ] || [ "$patch" -ge 65535 ] || [ "$build" -gt 65535 ]; then
  echo "msi.sh: $version is beyond what Windows Installer keeps (255.255.65534.65535)" >&2
  exit 2
fi
output=$(realpath -m "$output")
# wixl takes only relative source paths: the package is made in a folder of its own.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$executable" "$stage/OrvaneOutlook.exe"
cp "$root/src/app/stub.ico" "$stage/stub.ico"
cp "$root/packaging/OrvaneOutlook.wxs" "$stage/"
# wixl warns of the Package attributes it does not model; its errors still end the build.
(cd "$stage" && wixl -a x64 -o package.msi \
  -D Version="$version" -D UpgradeBelow="$major.$minor.$((patch + 1))" \
  -D Executable=OrvaneOutlook.exe -D Icon=stub.ico OrvaneOutlook.wxs) \
  2> >(grep -v -e 'g_object_set_is_valid_property' -e '^$' >&2)
mv "$stage/package.msi" "$output"
echo "msi.sh: $output"
