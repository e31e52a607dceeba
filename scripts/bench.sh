#!/bin/bash
# The plug-in's figures under Wine, as one Markdown table: how long a record takes each way, what
# a deleted-item check costs through the folders' tables and item by item, and what an idle
# plug-in spends. Each figure comes with the Outlook calls the stand-in Outlook counted for it.
# Not a test: the figures depend on the machine. One run takes a few minutes.
#
#   bash scripts/bench.sh [ITEMS [KEPT [LOOKUPS]]]   ITEMS items in each folder for the larger
#                                   deletion check (default 1000; the smaller one is at 100; 0
#                                   leaves these rows out), KEPT items in each folder for the rows
#                                   with the pictures kept on disk (default 10000; 0 leaves them
#                                   out), LOOKUPS the folder sizes, quoted, at which the inbound
#                                   commands find the last item (default "1 1000 10000": 1 gives
#                                   the figures of a folder of two tasks; 0 leaves them out).
#                                   Only the lookup rows: bash scripts/bench.sh 0 0
set -eEuo pipefail
trap 'echo "bench.sh: failed at line $LINENO" >&2' ERR
cd "$(dirname "$0")/.."
items=${1:-1000}
kept=${2:-10000}
lookups=${3:-1 1000 10000}
root=$PWD
bin=$root/build/win/bin
[ -x "$bin/OrvaneBench.exe" ] || bash scripts/build.sh >/dev/null
source scripts/idle_cpu.sh
source scripts/wine_session.sh
start_wine_session "$root" "$root/build/bench"

# Each step within a time limit: a call to another process under Wine can wait for ever.
bench() {
  local status=0
  timeout 300 wine "$bin/OrvaneBench.exe" "$@" 2>&1 | tr -d '\r' || status=$?
  [ $status -ne 124 ] || echo "bench.sh: OrvaneBench $1 took more than 5 minutes" >&2
  return $status
}
link_on() { printf '[Orvane]\r\nOutlookToOrvane=%s\r\n' "$1" >Orvane.ini; }
# A store file of SIZE items in each folder, the stand-in Outlook on it (read, never written back:
# Outlook saves an item, not its whole store), then the main
# application and the plug-in. Not through a pipe: the first Wine program of a session starts
# Wine's services, which keep its output open.
start_on_store() {
  local store=$1 size=$2
  timeout 300 wine "$bin/OrvaneBench.exe" store "$store" "$size" >/dev/null 2>&1
  wine "$bin/OutlookStandin.exe" /LoadStore "$store" >/dev/null 2>&1 &
  sleep 3
  wine "$bin/Orvane.exe" /log Orvane.log >/dev/null 2>&1 &
  wine "$bin/OrvaneOutlook.exe" >/dev/null 2>&1 &
  sleep 3
}
# What the plug-in and the Wine server spend over SECONDS (default 30), and the Outlook calls;
# with an ACTION, the main application posts it first without its record, which then never comes.
idle_row() {
  local what=$1 seconds=${2:-30} action=${3:-} plugin server
  plugin=$(wine_process_pid OrvaneOutlook.exe)
  server=$(wineserver_pid)
  local -A percent
  bench calls >/dev/null
  [ -z "$action" ] || wine "$bin/Orvane.exe" /action "$action" >/dev/null 2>&1
  while read -r pid value; do percent[$pid]=$value; done < <(cpu_percent "$seconds" "$plugin" "$server")
  printf '| %s, %s s | plug-in %s%%, Wine server %s%% of a core | %s |\n' \
    "$what" "$seconds" "${percent[$plugin]}" "${percent[$server]}" "$(bench calls)"
}

echo "| figure | value | Outlook calls |"
echo "|---|---|---|"
if [ "$items" -gt 0 ]; then
  echo "bench.sh: filling each folder with $items items ..." >&2
  wine "$bin/OutlookStandin.exe" >/dev/null 2>&1 &
  bench prepare "$items"
  wine "$bin/Orvane.exe" /log Orvane.log >/dev/null 2>&1 &
  wine "$bin/OrvaneOutlook.exe" >/dev/null 2>&1 &
  sleep 3

  echo "bench.sh: measuring ..." >&2
  idle_row "idle, link off"
  # The plug-in reads the setting on its next look and connects its sinks.
  link_on 1
  bench sinks
  sleep 2
  idle_row "idle, sinks connected"
  bench timed 50 100
  wait
fi
for size in $lookups; do
  [ "$size" -gt 0 ] || continue
  # The link off: the commands alone, no sinks reconnected and no folders compared after them.
  link_on 0
  echo "bench.sh: the inbound commands at $size items in each folder ..." >&2
  start_on_store lookups.store "$size"
  timeout 1800 wine "$bin/OrvaneBench.exe" lookups 2>&1 | tr -d '\r'
  wait
done
if [ "$kept" -gt 0 ]; then
  # A plug-in started afresh, its first read taking the folders silently, its pictures kept in its
  # per-user folder from then on.
  link_on 0
  rm -f "$(state_folder)"/OrvanePictures.*
  echo "bench.sh: a store of $kept items in each folder ..." >&2
  start_on_store bench.store "$kept"
  echo "bench.sh: the deleted-item check's read at $kept items in each folder ..." >&2
  bench checks
  echo "bench.sh: measuring with the pictures kept on disk ..." >&2
  link_on 1
  bench sinks
  sleep 2
  idle_row "idle, $kept items per folder, sinks connected" 10
  idle_row "an action waiting for its record, $kept items per folder, sinks connected" 10 save
  bench kept 20
  wait
fi
