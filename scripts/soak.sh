#!/bin/bash
# The randomized run: the plug-in between the stand-in Outlook and a model main application, a
# simulated user and faults at random, then the two sides compared. Builds what it needs first.
# Usage: soak.sh [--seed N] [--minutes M] [--seconds S]   (default: seed 20261208, 10 minutes)
# The last line sums the run up; the exit status is non-zero on any disagreement. Each run's folder
# (store, the run's log, the plug-in's log and kept pictures) stays in build/win/soak/seed-N.
# ORVANE_SOAK_BUILD_DIR names another tree holding bin/ (a copy of build/win/bin) and its own prefix,
# for a long run that later builds must not touch; ORVANE_SOAK_NO_BUILD=1 takes the programs as built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seed=20261208
seconds=600
while [ $# -gt 0 ]; do
  case $1 in
    --seed) seed=$2; shift 2 ;;
    --minutes) seconds=$(($2 * 60)); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    *) echo "usage: soak.sh [--seed N] [--minutes M] [--seconds S]" >&2; exit 2 ;;
  esac
done
cd "$root"
tree=$(realpath "${ORVANE_SOAK_BUILD_DIR:-build/win}")
if [ -z "${ORVANE_SOAK_NO_BUILD:-}" ]; then
  cmake --preset win >/dev/null
  cmake --build --preset win --target OrvaneSoak Orvane OutlookClient >/dev/null
fi
bash scripts/prepare_prefix.sh "$tree"
export WINEPREFIX=$tree/wineprefix WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
run=$tree/soak/seed-$seed
rm -rf "$run"
mkdir -p "$run"
wineserver -p
watcher=
stop() {
  [ -n "$watcher" ] && { kill "$watcher" && wait "$watcher"; } 2>/dev/null || true
  wineserver -k 2>/dev/null || true
}
trap stop EXIT

# "kill -9" of the plug-in, when the run asks for it: the run writes the request, this ends the
# plug-in's Linux process of this prefix at once and takes the request away.
kill_plugins_of_prefix() {
  local pid
  for pid in $(pgrep -f 'OrvaneOutlook\.exe' || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      kill -9 "$pid" 2>/dev/null || true
    fi
  done
}
# The plug-in's private memory, as Linux counts it (resident anonymous memory), when asked.
sample_plugin_of_prefix() {
  local pid kb=
  for pid in $(pgrep -f 'OrvaneOutlook\.exe' || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      kb=$(awk '/^RssAnon:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    fi
  done
  [ -n "$kb" ] && { echo "$kb" >"$run/sample.tmp"; mv "$run/sample.tmp" "$run/sample.txt"; }
  rm -f "$run/sample.request"
}
(
  while [ -d "$run" ]; do
    if [ -f "$run/kill9.request" ]; then
      kill_plugins_of_prefix
      rm -f "$run/kill9.request"
    fi
    [ -f "$run/sample.request" ] && sample_plugin_of_prefix
    sleep 0.05
  done
) &
watcher=$!

# Into a file, not a pipe: a program the run started and left behind would hold a pipe open.
status=0
wine "$tree/bin/OrvaneSoak.exe" --seed "$seed" --seconds "$seconds" --dir "$(winepath -w "$run")" \
  >"$run/output.txt" 2>&1 || status=$?
cat "$run/output.txt"
exit $status
