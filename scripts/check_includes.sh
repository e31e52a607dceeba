#!/bin/bash
# Fails when a file of src/ reads a floor above or beside its own (app on top; inbound and outbound
# beside each other beneath it; outlook and mainapp beneath them; base at the bottom), when a floor
# needs a definition from above it, when a stand-in or the bench reads the shell, or when a member
# of CMainFrame is defined outside src/app. doc/architecture.md says why.
#
# What a file reads is what the compiler reads (-MM, with resolved paths), in both builds; what a
# floor needs is what its link check links; what an object defines is what nm lists. So neither a
# path spelled another way, nor an include through a macro or an .inl file, nor a comment or
# spacing in a definition passes unseen. Each check runs even when one before it failed.
set -uo pipefail
cd "$(dirname "$0")/.."

python3 scripts/check_floors_test.py || exit 1
builds=(build/win build/native)
status=0
for preset in win native; do
  cmake --preset "$preset" >/dev/null || exit 1
done
python3 scripts/check_floors.py includes "${builds[@]}" || status=1
for preset in win native; do
  # The floors' libraries and their link checks: a link check fails on a call upward.
  cmake --build --preset "$preset" --target floor_links >/dev/null || {
    echo "check_includes: a floor of the $preset build does not build or link alone (above)" >&2
    status=1
  }
done
python3 scripts/check_floors.py symbols "${builds[@]}" || status=1
[ $status -eq 0 ] || exit 1
echo "Includes: every floor reads and links only the floors beneath it"
