# Sourced by the scripts that run the plug-in and the stand-ins under Wine.
#
#   start_wine_session ROOT WORK   the environment every Wine run takes, in the prefix of
#                                  ROOT/build/win; its server kept up until the script ends;
#                                  WORK made afresh as the current directory, with the plug-in's
#                                  "Orvane.ini" there and the Outlook link off, and the
#                                  plug-in's per-user folder without kept pictures or log
#   state_folder                   the plug-in's per-user folder in the prefix, as a Linux path
state_folder() { echo "$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/AppData/Local/Orvane"; }

start_wine_session() {
  local root=$1 work=$2
  export WINEPREFIX=$root/build/win/wineprefix WINEDEBUG=-all LC_ALL=C.UTF-8
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  # A server left running keeps the caller's output open: it goes when the script does.
  trap 'wineserver -k 2>/dev/null || true' EXIT
  wineserver -p
  rm -rf "$work"
  mkdir -p "$work"
  cd "$work"
  printf '[Orvane]\r\nOutlookToOrvane=0\r\n' >Orvane.ini
  rm -f "$(state_folder)"/OrvanePictures.* "$(state_folder)"/OrvaneErrorLog.txt
}
