#include "outbound/record_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "outlook/ole_date.h"

namespace orvane {

namespace {

using namespace outbound;

double Date(int year, int month, int day, int hour = 0, int minute = 0) {
  return outlook::FromDateTime({year, month, day, hour, minute}).value();
}

// The worked example: a new task, Report, due 20 March 2006, everything else unset.
outbound::OutboundTask ReportTask() {
  outbound::OutboundTask task;
  task.subject = "Report";
  task.startDate = task.dateCompleted = outlook::kNoneDate;
  task.dueDate = Date(2006, 3, 20);
  task.importance = 1;
  return task;
}

TEST(RecordForms, TaskRecords) {
  EXPECT_EQ(FormatTaskRecord(ReportTask(), std::nullopt),
            "Report\tnono\t20/3/2006\tnono\tnono\t0.000\tnono\tnono\tnono\tnono\tnono\tnono\tnono\tNo Notes\t1\t"
            "nono\tnono\tnono\t0\t0*nono*norecurring\t\n");
  outbound::OutboundTask task = ReportTask();
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
  outbound::OutboundAppointment meeting;
  meeting.subject = "Team meeting";
  meeting.start = Date(4501, 1, 1);
  meeting.end = Date(2006, 10, 12, 14, 30);
  meeting.location = "Room 4";
  meeting.sensitivity = 3;
  meeting.duration = 65;
  EXPECT_EQ(outbound::FormatAppointmentRecord(meeting, ""),
            "Team meeting\tnono\t12/10/2006*14:30*\tnono\tfalse\tnono\tnono\tnono\tnono\tnono\tnono\tRoom 4\tnono\t0\t"
            "false\t65**norecurring\t\n");
  // A value that is no date at all is shown as none, not as numbers nobody can read back.
  EXPECT_EQ(outbound::RecordDateTime(std::nan("")), "nono");
  EXPECT_EQ(outbound::RecordDate(1e7), "nono");
}

TEST(RecordForms, NoteRecordsAreKeptWhole) {
  EXPECT_EQ(outbound::FormatNoteRecord({"Call back"}, std::nullopt), "Call back*nono*\n");
  EXPECT_EQ(outbound::FormatNoteRecord({"Call back"}, ""), "Call back**\n");
  const std::string longSubject(3000, 's');
  EXPECT_EQ(outbound::FormatNoteRecord({longSubject}, "17"), longSubject + "*17*\n");
}

// Each hostile text goes out as the clean one would: no text adds a field, ends the record or
// hides a NUL, and '*' stays.
struct TextCase {
  std::string hostile;
  std::string clean;
};
const TextCase kTexts[] = {
    {"a\tb", "a b"},     {"a\r\nb\n", "a  b "}, {std::string("a\0b", 3), "ab"}, {std::string("\0\0", 2), ""},
    {"a*b\t*", "a*b *"},
};

TEST(RecordForms, TextsCannotShiftFieldsInAnyRecord) {
  using TaskText = std::string outbound::OutboundTask::*;
  using AppointmentText = std::string outbound::OutboundAppointment::*;
  const TaskText kTaskTexts[] = {&outbound::OutboundTask::subject,
                                 &outbound::OutboundTask::billingInformation,
                                 &outbound::OutboundTask::categories,
                                 &outbound::OutboundTask::companies,
                                 &outbound::OutboundTask::mileage,
                                 &outbound::OutboundTask::role,
                                 &outbound::OutboundTask::schedulePlusPriority};
  const AppointmentText kAppointmentTexts[] = {
      &outbound::OutboundAppointment::subject, &outbound::OutboundAppointment::billingInformation,
      &outbound::OutboundAppointment::categories, &outbound::OutboundAppointment::location,
      &outbound::OutboundAppointment::mileage};
  for (const TextCase& text : kTexts) {
    SCOPED_TRACE(testing::Message() << "clean text \"" << text.clean << "\"");
    for (const TaskText member : kTaskTexts) {
      outbound::OutboundTask hostile = ReportTask(), clean = ReportTask();
      hostile.*member = text.hostile;
      clean.*member = text.clean;
      EXPECT_EQ(FormatTaskRecord(hostile, "7"), FormatTaskRecord(clean, "7"));
    }
    for (const AppointmentText member : kAppointmentTexts) {
      outbound::OutboundAppointment hostile, clean;
      hostile.*member = text.hostile;
      clean.*member = text.clean;
      EXPECT_EQ(outbound::FormatAppointmentRecord(hostile, std::nullopt),
                outbound::FormatAppointmentRecord(clean, std::nullopt));
    }
    EXPECT_EQ(outbound::FormatNoteRecord({text.hostile}, "7"), outbound::FormatNoteRecord({text.clean}, "7"));
    // A note's link id is its categories, which the user may edit.
    EXPECT_EQ(outbound::FormatNoteRecord({"n"}, text.hostile), outbound::FormatNoteRecord({"n"}, text.clean));
    EXPECT_EQ(mainapp::OutboundText(text.hostile), text.clean);
  }
}

// An OLE date at a clock time with seconds; for days before the zero date the fraction still
// counts forward.
double WithSeconds(int year, int month, int day, int hour, int minute, int second) {
  const double date = Date(year, month, day, hour, minute);
  return date + (date < 0 ? -1 : 1) * second / 86400.0;
}

struct TimeCase {
  double ole;
  const char* dateTime;  // outbound::RecordDateTime; its date is outbound::RecordDate, its time ClockTime
};

// Seconds are dropped, never rounded: a date never moves because of them, and a time stored a
// hair below its minute is still that minute.
TEST(RecordForms, TimesDropTheirSeconds) {
  const TimeCase kCases[] = {
      {WithSeconds(2006, 12, 31, 23, 59, 45), "31/12/2006*23:59*"},  // end of a year
      {WithSeconds(2006, 1, 31, 23, 59, 59), "31/1/2006*23:59*"},    // end of a month
      {WithSeconds(2004, 2, 29, 23, 59, 30), "29/2/2004*23:59*"},
      {WithSeconds(2006, 3, 5, 12, 0, 31), "5/3/2006*12:0*"},
      {WithSeconds(1899, 12, 29, 23, 59, 45), "29/12/1899*23:59*"},  // before the zero date
      {WithSeconds(1800, 1, 1, 0, 0, 50), "1/1/1800*0:0*"},
      {Date(2006, 3, 5, 9, 5) - 1e-10, "5/3/2006*9:5*"},
      {38781.0 + (9 * 3600 + 5 * 60) / 86400.0, "5/3/2006*9:5*"},
      {Date(9999, 12, 31, 23, 59) + 50 / 86400.0, "31/12/9999*23:59*"},
  };
  for (const TimeCase& c : kCases) {
    const std::string expected = c.dateTime;
    const size_t star = expected.find('*');
    EXPECT_EQ(outbound::RecordDateTime(c.ole), expected);
    EXPECT_EQ(RecordDateTimeOrNone(c.ole), expected);
    EXPECT_EQ(outbound::RecordDate(c.ole), expected.substr(0, star));
    EXPECT_EQ(RecordDateOrNone(c.ole), expected.substr(0, star));
    EXPECT_EQ(ClockTime(c.ole), expected.substr(star + 1, expected.size() - star - 2));
  }
  outbound::OutboundTask task = ReportTask();
  task.reminderTime = WithSeconds(2006, 12, 31, 23, 59, 45);
  EXPECT_NE(FormatTaskRecord(task, std::nullopt).find("\t31/12/2006*23:59*\t"), std::string::npos);
}

// Types 0 to 6 are written as themselves, field by field; any other is not understood.
TEST(RecordForms, RecurrenceTypesUpToSixAreWritten) {
  outbound::OutboundAppointment appointment;
  appointment.recurrence = outbound::OutboundRecurrence{};
  appointment.recurrence->noEndDate = true;
  for (const int32_t type : {0, 5, 6}) {
    appointment.recurrence->type = type;
    const std::string block = std::to_string(type) + "\t0\t0\t0\t0:0\t0\t0\t0\t0\t1\tNoEndDate\t30/12/1899\t0\t0:0\t\n";
    const std::string record = outbound::FormatAppointmentRecord(appointment, "1");
    EXPECT_EQ(record.substr(record.find("*1*") + 3), block);
  }
  for (const int32_t type : {7, -1}) {
    appointment.recurrence->type = type;
    const std::string record = outbound::FormatAppointmentRecord(appointment, "1");
    EXPECT_EQ(record.substr(record.find("*1*") + 3), "norecurring\n");
  }
}

// The link id of a record waiting to go is read back from its text, whatever its subject and its
// recurrence hold.
TEST(RecordForms, TheLinkIdIsReadBackFromEveryRecord) {
  for (const TextCase& text : kTexts) {
    SCOPED_TRACE(testing::Message() << "subject \"" << text.clean << "\"");
    outbound::OutboundTask task = ReportTask();
    task.subject = text.hostile;
    task.recurrence = outbound::OutboundRecurrence{};
    outbound::OutboundAppointment appointment;
    appointment.subject = text.hostile;
    EXPECT_EQ(LinkIdOfRecord(FormatTaskRecord(task, "100016")), "100016");
    EXPECT_EQ(LinkIdOfRecord(FormatAppointmentRecord(appointment, "7")), "7");
    EXPECT_EQ(LinkIdOfRecord(FormatNoteRecord({text.hostile}, "Orvane 9")), "Orvane 9");
    EXPECT_EQ(LinkIdOfRecord(FormatNoteRecord({text.hostile}, std::nullopt)), kNone);
  }
  EXPECT_EQ(LinkIdOfRecord("no star at all\n"), "");
  EXPECT_EQ(LinkIdOfRecord("*one star\n"), "");
}

}  // namespace

}  // namespace orvane
