#include "outbound/record_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "outlook/ole_date.h"

namespace orvane {

namespace {

using namespace outrecord;

double Date(int year, int month, int day, int hour = 0, int minute = 0) {
  return oledate::FromDateTime({year, month, day, hour, minute}).value();
}

// The worked example: a new task, Report, due 20 March 2006, everything else unset.
OutboundTask ReportTask() {
  OutboundTask task;
  task.subject = "Report";
  task.startDate = task.dateCompleted = oledate::kNoneDate;
  task.dueDate = Date(2006, 3, 20);
  task.importance = 1;
  return task;
}

TEST(RecordForms, TaskRecords) {
  EXPECT_EQ(FormatTaskRecord(ReportTask(), std::nullopt),
            "Report\tnono\t20/3/2006\tnono\tnono\t0.000\tnono\tnono\tnono\tnono\tnono\tnono\tnono\tNo Notes\t1\t"
            "nono\tnono\tnono\t0\t0*nono*norecurring\t\n");
  OutboundTask task = ReportTask();
  task.subject = "50% done";
  task.reminderTime = Date(2006, 2, 1, 7, 5);
  task.dateCompleted = Date(4501, 2, 2);
  task.percentComplete = 99;
  task.totalWork = 60;
  task.actualWork = -30;
  task.sensitivity = task.sensitivityAgain = 3;
  task.status = 3;
  EXPECT_EQ(
      FormatTaskRecord(task, "-42"),
      "50% done\tnono\t20/3/2006\t1/2/2006*7:5*\tnono\t0.000\t60\t-30\tnono\tnono\tnono\tnono\tnono\tNo Notes\t1\t"
      "nono\tnono\tnono\t3\t3*-42*norecurring\t\n");
}

TEST(RecordForms, AppointmentRecord) {
  OutboundAppointment meeting;
  meeting.subject = "Team meeting";
  meeting.start = Date(4501, 1, 1);
  meeting.end = Date(2006, 10, 12, 14, 30);
  meeting.location = "Room 4";
  meeting.sensitivity = 3;
  meeting.duration = 65;
  EXPECT_EQ(FormatAppointmentRecord(meeting, ""),
            "Team meeting\tnono\t12/10/2006*14:30*\tnono\tfalse\tnono\tnono\tnono\tnono\tnono\tnono\tRoom 4\tnono\t0\t"
            "false\t65**norecurring\t\n");
  // A value that is no date at all is shown as none, not as numbers nobody can read back.
  EXPECT_EQ(RecordDateTime(std::nan("")), "nono");
  EXPECT_EQ(RecordDate(1e7), "nono");
}

TEST(RecordForms, NoteRecordsAreKeptWhole) {
  EXPECT_EQ(FormatNoteRecord({"Call back"}, std::nullopt), "Call back*nono*\n");
  EXPECT_EQ(FormatNoteRecord({"Call back"}, ""), "Call back**\n");
  const std::string longSubject(3000, 's');
  EXPECT_EQ(FormatNoteRecord({longSubject}, "17"), longSubject + "*17*\n");
}

}  // namespace

}  // namespace orvane
