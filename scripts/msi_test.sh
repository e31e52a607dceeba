#!/bin/bash
# The plug-in's package as an administrator deploys it, under Wine's msiexec: a throwaway
# certificate signs the program and the package (both checked), then the package is installed
# silently, the installed, signed copy runs, a repair brings back a removed file, a later build
# replaces it (closing the copy that runs) and leaves one product, and removal leaves nothing.
# Usage: msi_test.sh BUILD_DIR   (after a build of OrvaneOutlook and scripts/prepare_prefix.sh)
set -uo pipefail
build_dir=$(realpath "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export LC_ALL=C.UTF-8
stop() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap stop EXIT
passed=0 failed=0
pass() { echo "msi_test.sh: ok: $1"; passed=$((passed + 1)); }
fail() { echo "msi_test.sh: FAILED: $1" >&2; failed=$((failed + 1)); }
expect() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }
finish() {
  echo "$passed passed, $failed failed"
  exit $((failed > 0))
}

# The package of this build, and one of the next build number, from the signed program.
version=$(cat "$build_dir/packaging/version.txt" 2>/dev/null)
[ -n "$version" ] || { fail "the build has a target msi (wixl installed?)"; finish; }
program="$build_dir/bin/OrvaneOutlook.exe"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
  -subj "/CN=Orvane throwaway test signing" -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1
openssl pkcs12 -export -out "$work/cert.pfx" -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:throwaway
# Signed by the throwaway certificate, and by no other: osslsigncode's exit code says so.
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >/dev/null 2>&1; }
bash "$root/scripts/sign.sh" "$work/cert.pfx" throwaway "$program" >/dev/null
expect "the program is signed" 'verify "$program"'
cmake --build "$build_dir" --target msi >/dev/null
first="$build_dir/OrvaneOutlook-$version-x64.msi"
next_version="${version%.*}.$((${version##*.} + 1))"
second="$work/OrvaneOutlook-$next_version-x64.msi"
bash "$root/scripts/msi.sh" "$next_version" "$program" "$second" >/dev/null
bash "$root/scripts/sign.sh" "$work/cert.pfx" throwaway "$first" "$second" >/dev/null
expect "the package is signed" 'verify "$first" && verify "$second"'
[ -f "$first" ] || { fail "cmake --target msi wrote $first"; finish; }

# A prefix of its own, so that nothing installed here reaches the other tests.
cp -a "$build_dir/wineprefix" "$WINEPREFIX"
wineserver -p
installed="$WINEPREFIX/drive_c/Program Files/Orvane/OrvaneOutlook.exe"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
products() { wine reg query "$uninstall" /s 2>/dev/null | grep -c 'Orvane Outlook Plug-in' || true; }
registered() { wine reg query "$uninstall\\$1" >/dev/null 2>&1; }
msiexec() { wine msiexec "$@" >/dev/null 2>&1; echo $?; }

expect "silent install returns 0" '[ "$(msiexec /i "$(winepath -w "$first")" /qn)" = 0 ]'
expect "the program is under Program Files\\Orvane" '[ -f "$installed" ]'
expect "the installed copy is signed" 'verify "$installed"'
expect "one product is registered, under its product code" 'registered "$(product_code "$first")" && [ "$(products)" = 1 ]'
expect "the installed copy tells its version" \
  'wine "C:\\Program Files\\Orvane\\OrvaneOutlook.exe" /Version 2>/dev/null | grep -q "$version"'

# Wine's msiexec does not carry out "/f"; the properties it stands for are the same repair.
rm -f "$installed"
expect "a silent repair returns 0 and brings the program back" \
  '[ "$(msiexec /i "$(winepath -w "$first")" REINSTALL=ALL REINSTALLMODE=amus /qn)" = 0 ] && [ -f "$installed" ]'

# The installed plug-in runs with its link on (so that it stays without the main application);
# the next build's package closes it before it replaces the program.
mkdir -p "$work/run"
printf '[Orvane]\r\nOutlookToOrvane=1\r\n' > "$work/run/Orvane.ini"
(cd "$work/run" && wine "C:\\Program Files\\Orvane\\OrvaneOutlook.exe" >/dev/null 2>&1) &
plugin=$!
# Polls for up to 20 s until the command succeeds.
within_20s() { for _ in $(seq 200); do eval "$1" && return 0; sleep 0.1; done; return 1; }
logged() { grep -q "$1" "$work/run/OrvaneErrorLog.txt" 2>/dev/null; }
within_20s 'logged Start::Version'
expect "the installed plug-in starts and logs who it is" \
  'grep -q "OrvaneOutlook=>Start::Version $version, process [0-9]*, session [0-9]*, elevated" "$work/run/OrvaneErrorLog.txt"'
# One upgrade only: Wine's msiexec, removing the earlier product, deletes the upgrade code's whole
# key with the later product's entry in it, so that a third build would not find the second (on
# Windows only the removed product's value goes).
expect "the upgrade returns 0" '[ "$(msiexec /i "$(winepath -w "$second")" /qn)" = 0 ]'
expect "the upgrade closed the running plug-in first" \
  'within_20s "! kill -0 $plugin 2>/dev/null" && logged "The plug-in ends, as an installer or \"/Close\" asks it to close"'
expect "one product is left, the later build" \
  '! registered "$(product_code "$first")" && registered "$(product_code "$second")" && [ "$(products)" = 1 ]'
expect "the program is still in place" '[ -f "$installed" ]'

expect "silent removal returns 0" '[ "$(msiexec /x "$(product_code "$second")" /qn)" = 0 ]'
expect "removal leaves no file and no folder of the package" '[ ! -e "$WINEPREFIX/drive_c/Program Files/Orvane" ]'
expect "removal leaves no product registered" '[ "$(products)" = 0 ]'
finish
