#!/bin/bash
# The main job: the plug-in between the stand-in Outlook and the stand-in main application.
# A task goes from the main application into Outlook and is changed, marked done and deleted; an
# appointment and a note are saved, changed and deleted. Then the link to Outlook is turned on and
# the user adds a task, an appointment and a note in Outlook, changes the task and then deletes
# all three; the plug-in reports each to the main application. The user imports 20 tasks at once,
# for which Outlook raises no event, and the plug-in reports each once. Then the plug-in is ended at once
# while the user deletes a task, and the next plug-in reports the deletion. Last the main
# application changes a task at the end of an Outlook with 10,000 items in each folder. What the
# plug-in logged and what the main application received are shown at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
root=$PWD
bin=$root/build/win/bin
work=$root/build/main-job
source scripts/wine_session.sh
start_wine_session "$root" "$work"

win() { wine "$@" 2>/dev/null | tr -d '\r'; }
step() { printf '\n== %s\n' "$*"; }
# Waits up to 20 s for a record the main application received, matching the pattern; says so when
# it does not come.
wait_for_record() {
  for _ in $(seq 200); do
    grep -aq "$1" OrvaneMain.log 2>/dev/null && return 0
    sleep 0.1
  done
  echo "   NOT RECEIVED: $1"
}
# Members of the item of a folder with a subject, one a line; "A.B" is member B of what A answers.
show() {
  local folder=$1 subject=$2
  shift 2
  for member in "$@"; do
    printf '   %-38s %s\n' "$member" "$(win "$bin/OutlookClient.exe" get "$folder" "$subject" "$member")"
  done
}
show_task() {
  show tasks "$1" Subject StartDate DueDate ReminderSet ReminderTime Status PercentComplete TotalWork \
    Categories ContactNames Role Body InternetCodepage
}
show_appointment() {
  local pattern=GetRecurrencePattern
  show appointments "$1" Subject Start End Duration AllDayEvent ReminderSet ReminderMinutesBeforeStart \
    NetMeetingOrganizerAlias Body Location Categories Importance Sensitivity InternetCodepage IsRecurring \
    $pattern.RecurrenceType $pattern.Interval $pattern.DayOfWeekMask $pattern.PatternStartDate \
    $pattern.PatternEndDate $pattern.NoEndDate $pattern.StartTime $pattern.EndTime
}
show_note() { show notes "$1" Subject Body Categories; }

step "Starting the stand-in Outlook, the stand-in main application and the plug-in"
wine "$bin/OutlookStandin.exe" >/dev/null 2>&1 &
wine "$bin/Orvane.exe" /log "$work/OrvaneMain.log" >/dev/null 2>&1 &
sleep 2
# Outlook's events come late: after the plug-in listens again following each of its writes, and
# once more a while after every save.
win "$bin/OutlookClient.exe" control EventDelay 300
win "$bin/OutlookClient.exe" control LateChange 1500
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

# Fields 1 to 31: subject, start date and time, end block (end date*start time*end time), -, all
# day, reminder, -, reminder lead, text, notes, location, importance, private, -, duration in
# hours, link id, then the recurrence block: type (1 weekly), -, day mask (2 Monday), four unread,
# interval, -, has an end date, end date, start date, two unread.
appointment='Dentist\t14/12/2026\t9:00am\t14/12/2026*9:00am*10:00am\t0\tFalse\tTrue\t0\t0:30\tOrvane\tBring the insurance card\tHarbour Street 4\t1\tFalse\t0\t1.00\t4712\t1\t0\t2\t0\t0\t0\t0\t1\t0\t1\t22/2/2027\t14/12/2026\t0\t0'

step "The main application saves an appointment: every Monday at 9:00 until 22/2/2027, reminder 30 minutes before"
win "$bin/Orvane.exe" /send 0x2BB7B2A7 save "$appointment"
sleep 2
win "$bin/OutlookClient.exe" list appointments
show_appointment "Dentist"

step "The main application changes it (new subject and place, 10:00 to 11:00, an hour's warning)"
changed="Dentist\t${appointment/Dentist/Dentist (check-up)}"
changed=${changed/9:00am\\t14/10:00am\\t14}
changed=${changed/14\/12\/2026\*9:00am\*10:00am/14\/12\/2026*10:00am*11:00am}
changed=${changed/0:30/1:00}
changed=${changed/Harbour Street 4/Harbour Street 6}
win "$bin/Orvane.exe" /send 0x2BB7B2A7 change "$changed"
sleep 2
show_appointment "Dentist (check-up)"

step "The main application deletes it"
win "$bin/Orvane.exe" /send 0x2BB7B2A7 delete 'Dentist (check-up)'
sleep 2
win "$bin/OutlookClient.exe" list appointments
echo "   (the calendar is empty again)"

step "The main application saves a note, its link id 4713 going into the categories"
win "$bin/Orvane.exe" /send 0x2BB7B2A8 save 'Buy milk\t5/3/2026\t4713'
sleep 2
win "$bin/OutlookClient.exe" list notes
show_note "Buy milk"

step "The main application changes its text"
win "$bin/Orvane.exe" /send 0x2BB7B2A8 change 'Buy milk\tBuy milk and bread\t5/3/2026'
sleep 2
show_note "Buy milk and bread"

step "The main application deletes it"
win "$bin/Orvane.exe" /send 0x2BB7B2A8 delete 'Buy milk and bread'
sleep 2
win "$bin/OutlookClient.exe" list notes
echo "   (the notes are empty again)"

step "The link to Outlook is turned on: the plug-in listens to Outlook's folders"
printf '[Orvane]\r\nOutlookToOrvane=1\r\n' > Orvane.ini
sleep 2

step "The user adds a task, an appointment and a note in Outlook"
win "$bin/OutlookClient.exe" add tasks "Call the bank"
win "$bin/OutlookClient.exe" add appointments "Team meeting"
win "$bin/OutlookClient.exe" add notes "Buy stamps" "at the post office"
win "$bin/OutlookClient.exe" list tasks
win "$bin/OutlookClient.exe" list appointments
win "$bin/OutlookClient.exe" list notes

step "The user marks the task complete"
win "$bin/OutlookClient.exe" set tasks "Call the bank" PercentComplete 100
show tasks "Call the bank" Subject PercentComplete Status InternetCodepage
sleep 1

step "The user deletes the task, the appointment and the note in Outlook"
win "$bin/OutlookClient.exe" delete tasks "Call the bank"
win "$bin/OutlookClient.exe" delete appointments "Team meeting"
win "$bin/OutlookClient.exe" delete notes "Buy stamps"
win "$bin/OutlookClient.exe" list tasks
win "$bin/OutlookClient.exe" list appointments
win "$bin/OutlookClient.exe" list notes
echo "   (the three folders are empty again)"
# A folder read empty is believed only when a second read a few seconds later agrees, so the
# last item of each folder is reported after that wait.
for deleted in "deleted note.*Buy stamps" "deleted task.*Call the bank" "deleted appointment.*Team meeting"; do
  wait_for_record "$deleted"
done

step "The user imports 20 tasks at once (Outlook raises no ItemAdd for more than 16 items added together)"
win "$bin/OutlookClient.exe" control BulkAdd 16 >/dev/null
win "$bin/OutlookClient.exe" control AddItems 13 20 "Imported " >/dev/null
echo "   tasks in Outlook: $(win "$bin/OutlookClient.exe" control ItemCount 13)"
echo "   the plug-in sees the Tasks folder's count move within seconds and compares it"
wait_for_record "new task.*Imported 20"
sleep 2
imported=$(grep -a "new task.*data=Imported " OrvaneMain.log | sed 's/.*data=//' || true)
echo "   new-task records of imported tasks: $(printf '%s\n' "$imported" | grep -c . || true)," \
  "of different tasks: $(printf '%s\n' "$imported" | sort -u | grep -c . || true)"
win "$bin/OutlookClient.exe" control BulkAdd -1 >/dev/null

step "The user adds a task; then the plug-in is ended at once, as a crash or a shutdown ends it"
win "$bin/OutlookClient.exe" add tasks "Water the plants"
sleep 1
wine taskkill /F /IM OrvaneOutlook.exe >/dev/null 2>&1 || true
sleep 1
echo "   the plug-in's pictures kept in its per-user folder:"
(cd "$(state_folder)" && ls OrvanePictures.*) | sed 's/^/   /'

step "While no plug-in runs the user deletes the task; a new plug-in starts and reports it"
win "$bin/OutlookClient.exe" delete tasks "Water the plants"
wine "$bin/OrvaneOutlook.exe" >/dev/null 2>&1 &
wait_for_record "deleted task.*Water the plants"
grep -a 'deleted task.*Water the plants' OrvaneMain.log | tr -d '\r' | sed 's/^/   /'

step "Outlook with 10,000 items in each folder: the main application changes the task \"Bench 10000\", one of the last"
# The link off: the change alone. The stand-in's store file is written whole by the bench's
# writer, far faster than 30,000 saves, and Outlook starts on it.
printf '[Orvane]\r\nOutlookToOrvane=0\r\n' > Orvane.ini
win "$bin/OutlookClient.exe" control Quit >/dev/null || true
sleep 2
timeout 300 wine "$bin/OrvaneBench.exe" store large.store 10000 >/dev/null 2>&1
wine "$bin/OutlookStandin.exe" /Store large.store >/dev/null 2>&1 &
sleep 3
echo "   tasks in Outlook: $(win "$bin/OutlookClient.exe" control ItemCount 13)"
win "$bin/OutlookClient.exe" control ResetCallCounts >/dev/null
start=$(date +%s%N)
win "$bin/Orvane.exe" /send 0x2BB7B2A6 change "Bench 10000\t${task/Prepare quarterly report/Bench 10000 (changed)}"
# The stand-in writes its store file during each save.
for _ in $(seq 100); do
  grep -aq 'Bench 10000 (changed)' large.store && break
  sleep 0.1
done
elapsed=$((($(date +%s%N) - start) / 1000000))
echo "   changed in Outlook within ${elapsed} ms of the change message (the plug-in performs it at its next 1-second tick), with $(win "$bin/OutlookClient.exe" control TotalCalls) Outlook calls"
grep -aq 'Bench 10000 (changed)' large.store || echo "   NOT CHANGED"

step "The plug-in's log (OrvaneErrorLog.txt)"
tr -d '\r' < OrvaneErrorLog.txt
step "What the main application received (OrvaneMain.log)"
if [ -s OrvaneMain.log ]; then tr -d '\r' < OrvaneMain.log; else echo "   (nothing yet)"; fi
win "$bin/Orvane.exe" /action close >/dev/null || true
