#include "inbound/task_record.h"

#include <gtest/gtest.h>

#include <string>

#include "inbound/record_fields.h"
#include "outlook/ole_date.h"
#include "tests/common/record_builder.h"

namespace orvane {

namespace {

using inbound::Completion;
using inbound::TaskRecord;
using testcommon::Show;
using testcommon::TaskFields;
namespace field = inbound::taskfield;

// Reads a task record that a test built; a record with a subject always reads.
TaskRecord Read(const testcommon::RecordBuilder& fields) {
  const auto task = inbound::ReadTaskRecord(fields.Joined());
  EXPECT_TRUE(task.has_value()) << fields.Joined();
  return task.value_or(TaskRecord{});
}

struct ReminderCase {
  const char* due;
  const char* wanted;
  const char* offset;
  const char* reminder;  // nullptr: the reminder is switched off
};

// A reminder that Outlook cannot hold is left unwritten, and the record is marked for it.
constexpr char kUnwritten[] = "left unwritten";

TEST(TaskRecord, ReminderCountsFromTheDueDay) {
  const ReminderCase kCases[] = {
      {"10/11/2006*9:00am*9:30am", "True", "0:15", "2006-11-10 09:45"},
      {"10/11/2006*9:00am*9:30pm", "True", "0:15", "2006-11-10 21:45"},
      {"10/11/2006*9:00am*12:10pm", "True", "0:15", "2006-11-10 12:25"},
      {"10/11/2006*9:00am*12:10am", "True", "0:15", "2006-11-10 00:25"},
      // "not added": 23:59 of the due day, whatever field 6 says.
      {"10/11/2006*9:00am*not added", "True", "5:00", "2006-11-10 23:59"},
      // An upper-case or missing marker adds nothing to the offset.
      {"10/11/2006*9:00am*9:30PM", "True", "0:15", "2006-11-10 00:15"},
      {"10/11/2006*9:00am*930am", "True", "0:15", "2006-11-10 00:15"},
      // The marker may sit anywhere after the ":"; "a" wins over "p".
      {"10/11/2006*9:00am*9:30pa", "True", "0:15", "2006-11-10 09:45"},
      // No due time part at all: the offset alone.
      {"10/11/2006", "True", "0:15", "2006-11-10 00:15"},
      // Counting back from midnight of the zero date goes into the day before it.
      {"30/12/1899*9:00am*9:30", "True", "-1:45", "1899-12-29 23:45"},
      // Only the years 100 to 9999 are dates.
      {"31/12/9999*9:00am*11:59pm", "True", "0:00", "9999-12-31 23:59"},
      {"31/12/9999*9:00am*11:59pm", "True", "0:01", kUnwritten},
      {"1/1/100*9:00am*9:30", "True", "-1:59", kUnwritten},
      {"10/11/2006*9:00am*99999999999999999999:30pm", "True", "0:15", kUnwritten},
      {"10/11/2006*9:00am*9:30am", "True", "-99999999999999999999:0", kUnwritten},
      // The flag in any case; another word, or no due date, switches the reminder off.
      {"10/11/2006*9:00am*9:30am", "true", "0:15", "2006-11-10 09:45"},
      {"10/11/2006*9:00am*9:30am", "False", "0:15", nullptr},
      {"not done", "True", "0:15", nullptr},
      // A due date that forms no date counts from the zero date.
      {"31/2/2006*9:00am*9:30am", "True", "0:15", "1899-12-30 09:45"},
  };
  for (const auto& c : kCases) {
    const TaskRecord task = Read(TaskFields()
                                     .Set(field::kDue, c.due)
                                     .Set(field::kReminderWanted, c.wanted)
                                     .Set(field::kReminderOffset, c.offset));
    SCOPED_TRACE(std::string(c.due) + " " + c.wanted + " " + c.offset);
    EXPECT_EQ(task.isShort, c.reminder == kUnwritten);
    if (c.reminder == kUnwritten) {
      EXPECT_FALSE(task.reminder);
      EXPECT_TRUE(task.dueDate);
      continue;
    }
    ASSERT_TRUE(task.reminder);
    EXPECT_EQ(task.reminder->set, c.reminder != nullptr);
    if (c.reminder) EXPECT_EQ(Show(task.reminder->time), c.reminder);
  }
}

TEST(TaskRecord, DueDateIsTheDayOfTheDueFieldOrNothing) {
  EXPECT_EQ(Show(*Read(TaskFields().Set(field::kDue, "10/11/2006*9:00am*9:30pm")).dueDate), "2006-11-10 00:00");
  EXPECT_FALSE(Read(TaskFields().Set(field::kDue, "not done")).dueDate);
  // Only the exact placeholder means "no due date"; anything else is a date, or the zero date.
  EXPECT_EQ(Read(TaskFields().Set(field::kDue, "Not Done")).dueDate, outlook::kZeroDate);
}

// Pattern dates excepted: Outlook may refuse the zero date there and the whole record with it, so
// they stay unwritten and the record counts as short.
TEST(TaskRecord, DatesThatFormNoDateGiveTheZeroDate) {
  const TaskRecord task = Read(TaskFields()
                                   .Set(field::kStartDate, "31/2/2006")
                                   .Set(field::kDateCompleted, "5/13/2006")
                                   .Set(field::kRecurrenceType, "0")
                                   .Set(field::kEndFlag, "1")
                                   .Set(field::kPatternEndDate, "2006")
                                   .Set(field::kPatternStartDate, "0/1/2006"));
  EXPECT_EQ(task.startDate, outlook::kZeroDate);
  EXPECT_EQ(task.dateCompleted, outlook::kZeroDate);
  EXPECT_FALSE(task.recurrence->patternEndDate || task.recurrence->patternStartDate);
  EXPECT_TRUE(task.isShort);
}

struct TextCase {
  int field;
  const char* value;
  std::optional<std::string> TaskRecord::*member;
  std::optional<std::string> expected;
};

// The placeholders themselves, and the words in the case they are written in, are in the task
// writer's tests (the full record, and the change that leaves what the placeholders leave).
TEST(TaskRecord, TextPlaceholdersAreExactWords) {
  const TextCase kCases[] = {
      {field::kBillingInformation, "Blank", &TaskRecord::billingInformation, "Blank"},
      {field::kMileage, "blank", &TaskRecord::mileage, std::nullopt},
      // These fields know no placeholder: "blank" is written as it stands.
      {field::kContactNames, "blank", &TaskRecord::contactNames, "blank"},
      {field::kRole, "blank", &TaskRecord::role, "blank"},
      {field::kBody, "blank", &TaskRecord::body, "blank"},
  };
  for (const auto& c : kCases) {
    const TaskRecord task = Read(TaskFields().Set(c.field, c.value));
    EXPECT_EQ(task.*c.member, c.expected) << "field " << c.field << " " << c.value;
  }
}

struct SwitchCase {
  int field;
  const char* value;
  bool TaskRecord::*member;
  bool expected;
};

TEST(TaskRecord, SwitchFieldsAnswerOnlyToTheirWordInItsCase) {
  const SwitchCase kCases[] = {
      {field::kImportance, "normal", &TaskRecord::importanceNormal, false},
      {field::kPrivate, "true", &TaskRecord::makePrivate, false},
      {field::kSchedulePriority, "Normal", &TaskRecord::schedulePriorityNormal, false},
      {field::kSensitivityReset, "Blank", &TaskRecord::resetSensitivity, true},
      {field::kStatusReset, "x", &TaskRecord::resetStatus, true},
  };
  for (const auto& c : kCases) {
    const TaskRecord task = Read(TaskFields().Set(c.field, c.value));
    EXPECT_EQ(task.*c.member, c.expected) << "field " << c.field << " " << c.value;
  }
}

TEST(TaskRecord, FractionCompleteKnowsTwoWords) {
  const std::pair<const char*, Completion> kCases[] = {
      {"1.000", Completion::Full},    {"0.000", Completion::None},  {"0.500", Completion::Untouched},
      {"1.0", Completion::Untouched}, {"1", Completion::Untouched}, {"1.0000", Completion::Untouched},
  };
  for (const auto& [value, completion] : kCases) {
    EXPECT_EQ(Read(TaskFields().Set(field::kFractionComplete, value)).completion, completion) << value;
  }
}

TEST(TaskRecord, WorkAndCompletionDateHonourNotDone) {
  const TaskRecord notDone = Read(TaskFields().Set(field::kTotalWork, "abc"));
  EXPECT_FALSE(notDone.dateCompleted);
  EXPECT_FALSE(notDone.actualWork);
  EXPECT_EQ(notDone.totalWork, 0);
  const TaskRecord otherCase =
      Read(TaskFields().Set(field::kDateCompleted, "not done").Set(field::kActualWork, "Not Done"));
  EXPECT_EQ(otherCase.dateCompleted, outlook::kZeroDate);
  EXPECT_EQ(otherCase.actualWork, 0);
}

// A weekly pattern's fields are in the task writer's full record.
TEST(TaskRecord, RecurrenceWritesFollowTheType) {
  const TaskRecord monthly = Read(TaskFields().Set(field::kRecurrenceType, "2").Set(field::kDayOfWeekMask, "62"));
  EXPECT_EQ(monthly.recurrence->type, 2);
  EXPECT_FALSE(monthly.recurrence->dayOfWeekMask);

  const TaskRecord endless = Read(
      TaskFields().Set(field::kRecurrenceType, "0").Set(field::kEndFlag, "0").Set(field::kPatternEndDate, "1/1/2007"));
  EXPECT_EQ(endless.recurrence->hasEnd, false);
  EXPECT_FALSE(endless.recurrence->patternEndDate);

  EXPECT_FALSE(Read(TaskFields()).recurrence);
  // Only the exact word means "no recurrence".
  EXPECT_EQ(Read(TaskFields().Set(field::kRecurrenceType, "Norecurring")).recurrence->type, 0);
}

struct ShortCase {
  int lastField;
  const char* recurrenceType;  // field 24 while the record still holds it
  bool isShort;
};

TEST(TaskRecord, ShortRecordsAreFlaggedOnlyWhenAReadFieldIsMissing) {
  const ShortCase kCases[] = {
      {24, "norecurring", false}, {23, "norecurring", true}, {37, "1", false},
      {35, "1", false},           {34, "1", true},           {24, "5", true},
  };
  for (const auto& c : kCases) {
    const TaskRecord task = Read(TaskFields()
                                     .Set(field::kRecurrenceType, c.recurrenceType)
                                     .Set(field::kPatternEndDate, "31/12/2006")
                                     .Set(field::kPatternStartDate, "13/11/2006")
                                     .EndAt(c.lastField));
    EXPECT_EQ(task.isShort, c.isShort) << "fields 1 to " << c.lastField << ", type " << c.recurrenceType;
  }
}

TEST(TaskRecord, MissingFieldsLeaveTheirPropertiesAlone) {
  const TaskRecord task = Read(TaskFields().EndAt(2));
  EXPECT_EQ(task.subject, "Call the bank");
  EXPECT_TRUE(task.startDate);
  EXPECT_FALSE(task.dueDate || task.reminder || task.totalWork || task.linkId || task.recurrence);
  EXPECT_FALSE(task.contactNames || task.body || task.role);
  EXPECT_EQ(task.completion, Completion::Untouched);
  EXPECT_FALSE(task.resetSensitivity || task.resetStatus || task.importanceNormal);

  const auto recurrence = Read(TaskFields().Set(field::kRecurrenceType, "1").EndAt(29)).recurrence;
  ASSERT_TRUE(recurrence);
  EXPECT_EQ(recurrence->type, 1);
  EXPECT_EQ(recurrence->dayOfWeekMask, 0);
  EXPECT_FALSE(recurrence->interval || recurrence->hasEnd || recurrence->patternStartDate);
}

TEST(TaskRecord, ReminderNeedsOnlyTheFieldsItReads) {
  // No reminder flag: the reminder is left alone, unless there is no due date to remind of.
  EXPECT_FALSE(Read(TaskFields().EndAt(3)).reminder);
  EXPECT_EQ(Read(TaskFields().Set(field::kDue, "not done").EndAt(3)).reminder->set, false);
  // No offset: needed for a due time, not for "not added" or a reminder that is off.
  EXPECT_FALSE(Read(TaskFields().EndAt(5)).reminder);
  const TaskRecord endOfDay = Read(TaskFields().Set(field::kDue, "10/11/2006*9:00am*not added").EndAt(4));
  EXPECT_EQ(Show(endOfDay.reminder->time), "2006-11-10 23:59");
  EXPECT_EQ(Read(TaskFields().Set(field::kReminderWanted, "no").EndAt(4)).reminder->set, false);
}

}  // namespace

}  // namespace orvane
