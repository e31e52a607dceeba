#!/bin/bash
# CPU that the plug-in and the Wine server spend while the plug-in idles, read from /proc
# (utime + stime of each process) and given in percent of one core.
#
#   bash scripts/idle_cpu.sh [SECONDS]   starts the stand-in Outlook and main application and the
#                                        plug-in with the Outlook link off, measures over SECONDS
#                                        (default 30) and prints one line per process
#   source scripts/idle_cpu.sh           gives the functions below to another script
#
# Functions (WINEPREFIX must name the prefix):
#   wine_process_pid NAME     the Linux process of the Windows program NAME running in the prefix
#   wineserver_pid            the prefix's Wine server
#   cpu_ticks PID             utime + stime of a process, in clock ticks
#   cpu_percent SECONDS PID...  prints "PID percent" for each process over the next SECONDS

# True when a process runs in this script's prefix.
in_prefix() {
  { tr '\0' '\n' <"/proc/$1/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"
}

wine_process_pid() {
  local name=$1 dir pid
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    { tr "\0" "\n" <"$dir/cmdline"; } 2>/dev/null | head -1 | grep -qiF "$name" || continue
    in_prefix "$pid" && { echo "$pid"; return 0; }
  done
  return 1
}

wineserver_pid() {
  local pid
  for pid in $(pgrep wineserver); do
    in_prefix "$pid" && { echo "$pid"; return 0; }
  done
  return 1
}

cpu_ticks() {
  # Fields 14 and 15 of /proc/PID/stat; the command name in field 2 may hold spaces, so count
  # from the ")" that ends it.
  local rest
  rest=$(sed 's/^.*) //' "/proc/$1/stat")
  set -- $rest
  echo $((${12} + ${13}))
}

cpu_percent() {
  local seconds=$1 pid
  shift
  local -A before
  for pid in "$@"; do before[$pid]=$(cpu_ticks "$pid"); done
  sleep "$seconds"
  local hz
  hz=$(getconf CLK_TCK)
  for pid in "$@"; do
    local used=$(($(cpu_ticks "$pid") - before[$pid]))
    awk -v pid="$pid" -v used="$used" -v hz="$hz" -v s="$seconds" \
      'BEGIN { printf "%s %.2f\n", pid, 100 * used / hz / s }'
  done
}

measure_idle_plugin() {
  local seconds=${1:-30}
  cd "$(dirname "${BASH_SOURCE[0]}")/.."
  local root=$PWD bin=$PWD/build/win/bin
  [ -x "$bin/OrvaneOutlook.exe" ] || bash scripts/build.sh >/dev/null
  local work=$root/build/idle-cpu
  source scripts/wine_session.sh
  start_wine_session "$root" "$work"
  # Outlook runs, as it does where the plug-in is used: with its window there, every tick of the
  # link timer also reads the link setting. Without the main application the plug-in would close
  # itself, since the link is off.
  wine "$bin/OutlookStandin.exe" >/dev/null 2>&1 &
  wine "$bin/Orvane.exe" /log "$work/OrvaneMain.log" >/dev/null 2>&1 &
  wine "$bin/OrvaneOutlook.exe" >/dev/null 2>&1 &
  # Start-up is over before the processes are looked for and the measurement begins.
  sleep 3
  local plugin server
  plugin=$(wine_process_pid OrvaneOutlook.exe) || true
  server=$(wineserver_pid) || true
  if [ -z "$plugin" ] || [ -z "$server" ]; then
    echo "idle_cpu.sh: the plug-in or the Wine server is not running" >&2
    return 1
  fi
  cpu_percent "$seconds" "$plugin" "$server" | while read -r pid percent; do
    if [ "$pid" = "$plugin" ]; then
      echo "plug-in      $percent% of a core"
    else
      echo "Wine server  $percent% of a core"
    fi
  done
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -eEuo pipefail
  trap 'echo "idle_cpu.sh: failed at line $LINENO" >&2' ERR
  measure_idle_plugin "$@"
fi
