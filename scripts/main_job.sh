#!/bin/bash
# The main job: the plug-in between the stand-in Outlook and the stand-in main application.
# A task goes from the main application into Outlook and is changed, marked done and deleted;
# what the plug-in logged and what the main application received are shown at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
root=$PWD
bin=$root/build/win/bin
work=$root/build/main-job
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$root/build/win/wineprefix WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
cd "$work"
printf '[Orvane]\r\nOutlookToOrvane=0\r\n' > Orvane.ini

win() { wine "$@" 2>/dev/null | tr -d '\r'; }
step() { printf '\n== %s\n' "$*"; }
show_task() {
  local subject=$1
  for member in Subject StartDate DueDate ReminderSet ReminderTime Status PercentComplete TotalWork \
                Categories ContactNames Role Body InternetCodepage; do
    printf '   %-16s %s\n' "$member" "$(win "$bin/OutlookClient.exe" get tasks "$subject" "$member")"
  done
}

step "Starting the stand-in Outlook, the stand-in main application and the plug-in"
wine "$bin/OutlookStandin.exe" >/dev/null 2>&1 &
wine "$bin/Orvane.exe" /log "$work/OrvaneMain.log" >/dev/null 2>&1 &
sleep 2
wine "$bin/OrvaneOutlook.exe" >/dev/null 2>&1 &
sleep 2

task='Prepare quarterly report\t1/12/2026\t15/12/2026*9:00am*10:30am\tTrue\t15/12/2026\t0:15\tnot Done\t0.000\t120\tnot Done\tblank\tWork\tblank\tAnn Smith\tblank\tFigures from finance\tNormal\tFalse\tOwner\tnormal\tblank\tblank\t4711\tnorecurring'
for field in $(seq 25 37); do task+='\t0'; done

step "The main application saves a task"
win "$bin/Orvane.exe" /send 0x2BB7B2A6 save "$task"
sleep 2
win "$bin/OutlookClient.exe" list tasks
show_task "Prepare quarterly report"

step "The main application changes it (new subject, due at 2:00pm, half an hour's warning)"
changed="Prepare quarterly report\t${task/Prepare quarterly report/Prepare quarterly report (final)}"
changed=${changed/15\/12\/2026\*9:00am\*10:30am/16\/12\/2026*9:00am*2:00pm}
changed=${changed/0:15/0:30}
win "$bin/Orvane.exe" /send 0x2BB7B2A6 change "$changed"
sleep 2
show_task "Prepare quarterly report (final)"

step "The main application marks it done"
win "$bin/Orvane.exe" /send 0x2BB7B2A6 done 'Done\tPrepare quarterly report (final)'
sleep 2
show_task "Prepare quarterly report (final)"

step "The main application deletes it"
win "$bin/Orvane.exe" /send 0x2BB7B2A6 delete 'Prepare quarterly report (final)'
sleep 2
win "$bin/OutlookClient.exe" list tasks
echo "   (the task list is empty again)"

step "The plug-in's log (OrvaneErrorLog.txt)"
tr -d '\r' < OrvaneErrorLog.txt
step "What the main application received (OrvaneMain.log)"
if [ -s OrvaneMain.log ]; then tr -d '\r' < OrvaneMain.log; else echo "   (nothing yet)"; fi
win "$bin/Orvane.exe" /action close >/dev/null || true
