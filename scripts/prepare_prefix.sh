#!/bin/bash
# Makes the Wine prefix of a build tree (once) and registers the stand-in Outlook in it.
# Usage: prepare_prefix.sh BUILD_DIR
set -euo pipefail
build_dir=$(realpath "$1")
export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export LC_ALL=C.UTF-8
trap 'wineserver -k 2>/dev/null || true' EXIT

if [ ! -f "$WINEPREFIX/.orvane-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # No display: the null graphics driver gives windows, timers and message boxes without one.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  # A crashing program must end with an exit code, not wait on an invisible debugger dialog.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.orvane-ready"
fi

standin="$build_dir/bin/OutlookStandin.exe"
if [ -f "$standin" ]; then
  wine "$standin" /RegServer
fi
