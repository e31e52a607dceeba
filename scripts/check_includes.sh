#!/bin/bash
# Fails when an include runs against the floors of src/: app on top; inbound and outbound beside
# each other beneath it; items, the table of item kinds both roads read, beneath them; outlook and
# mainapp beneath that; base at the bottom. Also fails when a
# member of CMainFrame is defined outside src/app. doc/architecture.md says why.
set -euo pipefail
cd "$(dirname "$0")/.."

failures=0
fail() {
  echo "check_includes: $1" >&2
  failures=$((failures + 1))
}

# The floors a file of each folder may include, its own folder included.
declare -A allowed=(
  [app]="app inbound outbound items outlook mainapp base"
  [inbound]="inbound items outlook mainapp base"
  [outbound]="outbound items outlook mainapp base"
  [items]="items outlook mainapp base"
  [outlook]="outlook base"
  [mainapp]="mainapp base"
  [base]="base"
)

while IFS= read -r file; do
  folder=$(echo "$file" | cut -d/ -f2)
  [ -n "${allowed[$folder]+x}" ] || { fail "$file: src/$folder is no floor of the house"; continue; }
  while IFS= read -r included; do
    floor=${included%%/*}
    [ -n "${allowed[$floor]+x}" ] || continue
    [[ " ${allowed[$folder]} " == *" $floor "* ]] || fail "$file includes $included ($folder may not include $floor)"
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files 'src/*.cpp' 'src/*.h')

# The programs beside the plug-in (the stand-ins, the bench) take the vocabulary, never the shell.
while IFS= read -r file; do
  grep -q '^[[:space:]]*#[[:space:]]*include[[:space:]]*"app/' "$file" && fail "$file includes the shell (app/)"
done < <(git ls-files 'testbed/*.cpp' 'testbed/*.h')

while IFS= read -r file; do
  fail "$file defines a member of CMainFrame outside src/app"
done < <(git grep -l -E '^[^/]*\bCMainFrame::[A-Za-z_~]+\(' -- 'src/*.cpp' ':!src/app/*')

if [ $failures -gt 0 ]; then
  echo "check_includes: $failures include(s) against the floors" >&2
  exit 1
fi
echo "Includes: every floor includes only the floors beneath it"
