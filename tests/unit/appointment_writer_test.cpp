// SaveOutlookApps, ChangeOutlookApps, SaveOutlookNote and ChangeOutlookNote against the stand-in
// Outlook in this process.
#include "inbound/appointment_record.h"
#include "testbed/outlook/model_error.h"
#include "tests/common/record_builder.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using testcommon::AppointmentFields;
using testcommon::RecordBuilder;
using testcommon::Weekly;
namespace field = inbound::appointmentfield;
using Lines = std::vector<std::string>;

const Lines kSaveLines{"SaveOutlookApps", "Save Appts To Outlook"};

// Trace lines: the text, a blank and each number.
Lines Traces(const std::string& writer, std::initializer_list<int> numbers, Lines lines = {}) {
  for (const int number : numbers) lines.push_back(writer + " " + std::to_string(number));
  return lines;
}

class AppointmentWriterTest : public WriterTest {
protected:
  void Save(std::string record) { inbound::SaveOutlookApps(record.data(), context_); }
  void Change(std::string record) { inbound::ChangeOutlookApps(record.data(), context_); }
  void SaveNote(std::string record) { inbound::SaveOutlookNote(record.data(), context_); }
  void ChangeNote(std::string record) { inbound::ChangeOutlookNote(record.data(), context_); }

  static os::ItemData OnlyAppointment() { return OnlyItem(kFolderCalendar); }
  static std::string ShowOf(const os::ItemData& item, DispId id) { return Show(item.Get(id).AsDate()); }
  static std::string PatternShowOf(const os::ItemData& item, DispId id) { return Show(item.PatternGet(id).AsDate()); }
  static long Puts(DispId id) { return os::CallCount(os::ObjectKind::AppointmentItem, id, os::CallKind::Put); }
};

struct FullCase {
  RecordBuilder fields;
  Lines log;
};

TEST_F(AppointmentWriterTest, SaveWritesEveryFieldSingleAndWeekly) {
  const RecordBuilder full = AppointmentFields()
                                 .Set(field::kStartTime, "8:00am")
                                 .Set(field::kEndBlock, "12/12/2006*9:30am*10:00am")
                                 .Set(field::kReminderLead, "1:30")
                                 .Set(field::kPrivate, "True")
                                 .Set(field::kDuration, "2.05");
  // The pattern is written in the order Outlook asks for: type, days, interval, then the dates.
  Lines weeklyLines = Traces("SaveOutlookApps", {347, 376, 386, 378, 354, 356, 360, 365, 367}, {"SaveOutlookApps"});
  weeklyLines.push_back("Save Appts To Outlook");
  const FullCase kCases[] = {{full, kSaveLines}, {Weekly(full), weeklyLines}};
  for (const auto& c : kCases) {
    StartOver();
    Save(c.fields.Joined());
    const os::ItemData appointment = OnlyAppointment();
    SCOPED_TRACE(c.fields.Joined());
    EXPECT_EQ(TextOf(appointment, kSubject), "Dentist");
    EXPECT_EQ(appointment.Get(kInternetCodepage).AsInt32(), 4711);
    // The end block's start time wins over field 3; its end moves with the duration written last.
    EXPECT_EQ(ShowOf(appointment, kStart), "2006-12-12 09:30");
    EXPECT_EQ(ShowOf(appointment, kEnd), "2006-12-12 11:32");
    EXPECT_EQ(appointment.Get(kDuration).AsInt32(), 122);
    EXPECT_EQ(Puts(kDuration), 2);
    EXPECT_EQ(Puts(kEnd), 1);
    EXPECT_FALSE(appointment.Get(kAllDayEvent).AsBool());
    EXPECT_TRUE(appointment.Get(kReminderSet).AsBool());
    EXPECT_EQ(appointment.Get(kReminderMinutesBeforeStart).AsInt32(), 90);
    EXPECT_EQ(TextOf(appointment, outlook::kAppointmentText) + "|" + TextOf(appointment, kBody) + "|" +
                  TextOf(appointment, kLocation),
              "Orvane|Bring the card|Harbour Street 4/2");
    EXPECT_EQ(appointment.Get(kImportance).AsInt32(), 2);
    EXPECT_EQ(appointment.Get(kSensitivity).AsInt32(), kSensitivityPrivate);
    EXPECT_EQ(LogTexts(), c.log);
  }
  // The weekly one, saved last: its pattern starts and ends at midnight.
  const os::ItemData weekly = OnlyAppointment();
  EXPECT_TRUE(weekly.IsRecurring());
  EXPECT_EQ(weekly.PatternGet(kRecurrenceType).AsInt32(), 1);
  EXPECT_EQ(PatternShowOf(weekly, kPatternStartDate), "2006-12-13 00:00");
  EXPECT_EQ(PatternShowOf(weekly, kPatternEndDate), "2006-12-31 00:00");
  EXPECT_FALSE(weekly.PatternGet(kNoEndDate).AsBool());
  EXPECT_EQ(weekly.PatternGet(kInterval).AsInt32(), 2);
  EXPECT_EQ(weekly.PatternGet(kDayOfWeekMask).AsInt32(), 42);
}

struct StartEndCase {
  const char* startTime;
  const char* endBlock;
  const char* start;
  long endPuts;
  bool reminderSet;
  bool endRefused;
};

TEST_F(AppointmentWriterTest, StartEndAndReminderFollowTheEndBlockAndCreateItemIsRetried) {
  const StartEndCase kCases[] = {
      {"9:00am", "not done", "2006-12-12 09:00", 0, false, false},
      // A start that cannot be read is the zero date, and the appointment is saved all the same.
      {"9:00", "not done", "1899-12-30 00:00", 0, false, false},
      // An end before the start is refused: the end falls back to the start, and the refusal is logged.
      {"9:00am", "12/12/2006*10:00am*8:00am", "2006-12-12 10:00", 2, true, true},
  };
  for (const auto& c : kCases) {
    StartOver();
    FailCreateItem();  // a save opens the session anew and tries once more
    Save(AppointmentFields().Set(field::kStartTime, c.startTime).Set(field::kEndBlock, c.endBlock).Joined());
    EXPECT_EQ(os::CallCount(kCreateItem), 2);
    const os::ItemData appointment = OnlyAppointment();
    SCOPED_TRACE(std::string(c.startTime) + " " + c.endBlock);
    EXPECT_EQ(ShowOf(appointment, kStart), c.start);
    EXPECT_EQ(Puts(kEnd), c.endPuts);
    EXPECT_EQ(appointment.Get(kReminderSet).AsBool(), c.reminderSet);
    const Lines refused{"SaveOutlookApps",
                        "OrvaneOutlook=>OnTimerException::SetDueDate::" + Ansi(os::kEndBeforeStartMessage),
                        "Save Appts To Outlook"};
    EXPECT_EQ(LogTexts(), c.endRefused ? refused : kSaveLines);
  }
}

TEST_F(AppointmentWriterTest, ChangeRewritesTheFirstMatchIgnoringCaseOrMakesANewAppointment) {
  AddItem(os::ItemKind::Appointment, "DENTIST",
          {{kCategories, os::Value::Text(L"Work")},
           {kRequiredAttendees, os::Value::Text(L"Ann")},
           {kInternetCodepage, os::Value::Int32(99)}});
  AddItem(os::ItemKind::Appointment, "dentist");
  // The record's link id tells its appointment from the other "dentist".
  Change(AppointmentFields()
             .Set(field::kSubject, "Dentist (check-up)")
             .Set(field::kAllDay, "True")
             .Set(field::kLinkId, "99")
             .JoinedAfter("Dentist"));
  const auto appointments = Items(kFolderCalendar);
  ASSERT_EQ(appointments.size(), 2u);
  const os::ItemData& changed = appointments[0];
  EXPECT_EQ(TextOf(changed, kSubject), "Dentist (check-up)");
  EXPECT_EQ(TextOf(appointments[1], kSubject), "dentist");
  // All day: Outlook moves it to the day's midnight.
  EXPECT_EQ(ShowOf(changed, kStart), "2006-12-12 00:00");
  EXPECT_EQ(Puts(kEnd), 1);
  EXPECT_TRUE(changed.Get(kAllDayEvent).AsBool());
  EXPECT_EQ(TextOf(changed, kCategories) + TextOf(changed, kRequiredAttendees), "");
  EXPECT_EQ(changed.Get(kInternetCodepage).AsInt32(), 99);
  EXPECT_EQ(LogTexts(), Lines{"ChangeOutlookApps 1602"});

  // No match (the user deleted it meanwhile): a new appointment from the record, without the end
  // block, carrying the record's link id.
  Change(AppointmentFields().Set(field::kStartTime, "8:00am").JoinedAfter("Nowhere"));
  const os::ItemData made = Items(kFolderCalendar).back();
  EXPECT_EQ(TextOf(made, kSubject), "Dentist");
  EXPECT_EQ(ShowOf(made, kStart), "2006-12-12 08:00");
  EXPECT_EQ(Puts(kEnd), 1);  // still the found one's
  EXPECT_EQ(made.Get(kInternetCodepage).AsInt32(), 4711);
}

struct SeriesCase {
  const char* endFlag;
  const char* patternEndDate;
  Lines log;
};

// A series saved at 9:00 and changed to 10:00-11:00: the pattern holds the new times, and the
// series' own start and end follow it.
TEST_F(AppointmentWriterTest, ChangeOfAFoundSeriesPutsItsTimesIntoThePattern) {
  const SeriesCase kCases[] = {
      {"1", "2006-12-31 00:00", Traces("ChangeOutlookApps", {1602, 1609, 1642, 1644, 1652, 1619, 1621, 1630, 1632})},
      {"0", "4501-01-01 00:00", Traces("ChangeOutlookApps", {1602, 1609, 1642, 1644, 1652, 1619, 1621, 1638})},
  };
  for (const auto& c : kCases) {
    StartOver();
    Save(Weekly(AppointmentFields()).Joined());
    DeleteFileA("OrvaneErrorLog.txt");
    os::ResetCallCounts();
    Change(Weekly(AppointmentFields())
               .Set(field::kEndFlag, c.endFlag)
               .Set(field::kEndBlock, "12/12/2006*10:00am*11:00am")
               .Set(field::kAllDay, "True")
               .JoinedAfter("Dentist"));
    const os::ItemData series = OnlyAppointment();
    SCOPED_TRACE(c.endFlag);
    EXPECT_EQ(PatternShowOf(series, kPatternStartDate), "2006-12-13 00:00");
    EXPECT_EQ(PatternShowOf(series, kPatternStartTime), "1899-12-30 10:00");
    EXPECT_EQ(PatternShowOf(series, kPatternEndDate), c.patternEndDate);
    EXPECT_EQ(PatternShowOf(series, kPatternEndTime), "1899-12-30 11:00");
    EXPECT_EQ(ShowOf(series, kStart).substr(11), "10:00");
    EXPECT_EQ(ShowOf(series, kEnd).substr(11), "11:00");
    EXPECT_EQ(Puts(kStart) + Puts(kEnd) + Puts(kAllDayEvent), 0);
    EXPECT_EQ(LogTexts(), c.log);
  }
}

TEST_F(AppointmentWriterTest, ShortRecordsWriteWhatTheyHoldAndRecordsWithoutSubjectNothing) {
  // Without its duration the appointment keeps the end that the end block gave it.
  Save(AppointmentFields().EndAt(15).Joined());
  EXPECT_EQ(ShowOf(OnlyAppointment(), kEnd), "2006-12-12 10:00");
  Save("\t\t");
  Change("Dentist");
  EXPECT_EQ(Items(kFolderCalendar).size(), 1u);
  EXPECT_EQ(
      LogTexts(),
      (Lines{"SaveOutlookApps",
             "SaveOutlookApps: short record, the properties of its missing fields were left as they were",
             "Save Appts To Outlook", "SaveOutlookApps", "SaveOutlookApps: record without a subject, nothing written",
             "ChangeOutlookApps: record without a subject, nothing written"}));
}

TEST_F(AppointmentWriterTest, NotesAreSavedWithTheirLinkIdAndChangedByTheFirstMatchIgnoringCase) {
  FailCreateItem();  // a save opens the session anew and tries once more
  SaveNote("Buy milk\t5/3/2006\t57");
  EXPECT_EQ(os::CallCount(kCreateItem), 2);
  SaveNote("Buy bread");
  AddItem(os::ItemKind::Note, "BUY MILK", {{kCategories, os::Value::Text(L"58")}});
  ChangeNote("buy milk\tBuy cheese\t5/3/2006");
  ChangeNote("Nowhere\tBuy butter\t5/3/2006");  // made anew, without categories
  ChangeNote("Buy butter");
  const auto notes = Items(kFolderNotes);
  ASSERT_EQ(notes.size(), 4u);
  const char* const kNotes[] = {"Buy cheese/57", "Buy bread/", "BUY MILK/58", "Buy butter/"};
  for (size_t i = 0; i < notes.size(); ++i) {
    EXPECT_EQ(TextOf(notes[i], kBody) + "/" + TextOf(notes[i], kCategories), kNotes[i]) << i;
  }
  const std::string kShort = ": short record, the properties of its missing fields were left as they were";
  EXPECT_EQ(LogTexts(), (Lines{"SaveOutlookNote" + kShort, "ChangeOutlookNote" + kShort}));
}

// The note "Plan ★" and the appointment "Plan ★" at "Café ★" went out as "Plan ?" and "Café ?".
// The main application gives the texts back unchanged (an appointment moved to another day, a
// note's date changed): Outlook keeps its stars. A new text is written.
TEST_F(AppointmentWriterTest, ChangesKeepOutlooksTextWhereTheRecordCannotSayMore) {
  os::AddItem(os::ItemKind::Note, {{kBody, os::Value::Text(L"Plan \u2605")}});
  ChangeNote("plan ?\tPlan ?\t5/3/2006");
  EXPECT_EQ(OnlyItem(kFolderNotes).Get(kBody).AsText(), L"Plan \u2605");
  ChangeNote("plan ?\tPlan B\t5/3/2006");
  EXPECT_EQ(TextOf(OnlyItem(kFolderNotes), kBody), "Plan B");

  os::AddItem(os::ItemKind::Appointment,
              {{kSubject, os::Value::Text(L"Plan \u2605")}, {kLocation, os::Value::Text(L"Caf\u00E9 \u2605")}});
  Change(AppointmentFields()
             .Set(field::kSubject, "Plan ?")
             .Set(field::kLocation, "Caf\xE9 ?")
             .Set(field::kStartDate, "14/12/2006")
             .Set(field::kEndBlock, "14/12/2006*9:00am*10:00am")
             .JoinedAfter("Plan ?"));
  os::ItemData appointment = OnlyAppointment();
  EXPECT_EQ(appointment.Get(kSubject).AsText(), L"Plan \u2605");
  EXPECT_EQ(appointment.Get(kLocation).AsText(), L"Caf\u00E9 \u2605");
  EXPECT_EQ(ShowOf(appointment, kStart), "2006-12-14 09:00");
  Change(AppointmentFields().Set(field::kSubject, "Plan ?").Set(field::kLocation, "Bar").JoinedAfter("Plan ?"));
  EXPECT_EQ(TextOf(OnlyAppointment(), kLocation), "Bar");
}

}  // namespace

}  // namespace orvane
