// SaveOutlookTask and ChangeOutlookTask against the stand-in Outlook in this process.
#include "inbound/task_record.h"
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
using testcommon::TaskFields;
namespace field = inbound::taskfield;
using Lines = std::vector<std::string>;

class TaskWriterTest : public WriterTest {
protected:
  void Save(std::string record) { inbound::SaveOutlookTask(record.data(), context_); }
  void Change(std::string record) { inbound::ChangeOutlookTask(record.data(), context_); }

  static os::ItemData OnlyTask() { return OnlyItem(kFolderTasks); }
};

const Lines kSaveLines{"SaveOutlookTask", "Save Task to Outlook"};
const Lines kShortSaveLines{
    "SaveOutlookTask", "SaveOutlookTask: short record, the properties of its missing fields were left as they were",
    "Save Task to Outlook"};

TEST_F(TaskWriterTest, SaveWritesEveryFieldOfAFullRecord) {
  Save(TaskFields()
           .Set(field::kDateCompleted, "12/11/2006")
           .Set(field::kActualWork, "60")
           .Set(field::kBillingInformation, "Client A")
           .Set(field::kCategories, "Work")
           .Set(field::kCompanies, "Bank Ltd")
           .Set(field::kContactNames, "Ann")
           .Set(field::kMileage, "12 km")
           .Set(field::kBody, "Ask about the loan")
           .Set(field::kImportance, "Normal")
           .Set(field::kPrivate, "True")
           .Set(field::kRole, "Lead")
           .Set(field::kSchedulePriority, "normal")
           .Set(field::kRecurrenceType, "1")
           .Set(field::kDayOfWeekMask, "42")
           .Set(field::kInterval, "2")
           .Set(field::kEndFlag, "1")
           .Set(field::kPatternEndDate, "31/12/2006")
           .Set(field::kPatternStartDate, "6/11/2006")
           .Joined());

  // A recurring task saved complete is Outlook's completion of one occurrence: a completed copy
  // with every field, and the series moved on to its next occurrence (every other week from
  // Monday 6 November, on Monday, Wednesday and Friday: Monday 20 November).
  const std::vector<os::ItemData> tasks = os::FolderItems(kFolderTasks);
  ASSERT_EQ(tasks.size(), 2u);
  const os::ItemData& task = tasks[0];
  const os::ItemData& series = tasks[1];
  EXPECT_FALSE(task.IsRecurring());
  EXPECT_EQ(TextOf(series, kSubject), "Call the bank");
  EXPECT_EQ(series.Get(kStatus).AsInt32(), kStatusNotStarted);
  EXPECT_EQ(series.Get(kDueDate).AsDate(), Date(2006, 11, 20));
  EXPECT_EQ(TextOf(task, kSubject), "Call the bank");
  EXPECT_EQ(task.Get(kInternetCodepage).AsInt32(), 57);
  EXPECT_EQ(task.Get(kStartDate).AsDate(), Date(2006, 11, 5));
  EXPECT_EQ(task.Get(kDueDate).AsDate(), Date(2006, 11, 10));
  EXPECT_TRUE(task.Get(kReminderSet).AsBool());
  EXPECT_EQ(Show(task.Get(kReminderTime).AsDate()), "2006-11-10 09:45");
  EXPECT_EQ(task.Get(kDateCompleted).AsDate(), Date(2006, 11, 12));
  EXPECT_EQ(task.Get(kStatus).AsInt32(), kStatusComplete);  // a completion date completes the task
  EXPECT_EQ(task.Get(kTotalWork).AsInt32(), 120);
  EXPECT_EQ(task.Get(kActualWork).AsInt32(), 60);
  EXPECT_EQ(TextOf(task, kBillingInformation), "Client A");
  EXPECT_EQ(TextOf(task, kCategories), "Work");
  EXPECT_EQ(TextOf(task, kCompanies), "Bank Ltd");
  EXPECT_EQ(TextOf(task, kContactNames), "Ann");
  EXPECT_EQ(TextOf(task, kMileage), "12 km");
  EXPECT_EQ(TextOf(task, kBody), "Ask about the loan");
  EXPECT_EQ(TaskPuts(kImportance), 1);
  EXPECT_EQ(task.Get(kImportance).AsInt32(), kImportanceNormal);
  EXPECT_EQ(task.Get(kSensitivity).AsInt32(), kSensitivityPrivate);
  EXPECT_EQ(TextOf(task, kRole), "Lead");
  EXPECT_EQ(TextOf(task, kSchedulePlusPriority), "normal");
  EXPECT_TRUE(series.IsRecurring());
  EXPECT_EQ(series.PatternGet(kRecurrenceType).AsInt32(), 1);
  EXPECT_EQ(series.PatternGet(kInterval).AsInt32(), 2);
  EXPECT_EQ(series.PatternGet(kDayOfWeekMask).AsInt32(), 42);
  EXPECT_FALSE(series.PatternGet(kNoEndDate).AsBool());
  EXPECT_EQ(series.PatternGet(kPatternEndDate).AsDate(), Date(2006, 12, 31));
  EXPECT_EQ(series.PatternGet(kPatternStartDate).AsDate(), Date(2006, 11, 20));
  EXPECT_EQ(LogTexts(), kSaveLines);
}

struct OrderCase {
  const char* fraction;
  const char* makePrivate;
  const char* sensitivityReset;
  const char* statusReset;
  int32_t sensitivity;
  int32_t status;
  int32_t percent;
};

// Later fields win: the sensitivity reset comes after the private flag, and the status reset
// after the fraction complete.
const OrderCase kOrderCases[] = {
    {"1.000", "True", "reset", "reset", kSensitivityNormal, kStatusNotStarted, 0},
    {"1.000", "True", "blank", "blank", kSensitivityPrivate, kStatusComplete, 100},
    {"0.500", "False", "blank", "blank", kSensitivityNormal, kStatusNotStarted, 0},
};

TEST_F(TaskWriterTest, ResetsApplyAfterPrivateAndFractionComplete) {
  for (const bool change : {false, true}) {
    for (const auto& c : kOrderCases) {
      os::ResetStore();
      const auto fields = TaskFields()
                              .Set(field::kFractionComplete, c.fraction)
                              .Set(field::kPrivate, c.makePrivate)
                              .Set(field::kSensitivityReset, c.sensitivityReset)
                              .Set(field::kStatusReset, c.statusReset);
      if (change) {
        AddItem(os::ItemKind::Task, "Call the bank");
        Change(fields.JoinedAfter("Call the bank"));
      } else {
        Save(fields.Joined());
      }
      const os::ItemData task = OnlyTask();
      SCOPED_TRACE(testing::Message() << (change ? "change, row " : "save, row ") << &c - kOrderCases);
      EXPECT_EQ(task.Get(kSensitivity).AsInt32(), c.sensitivity);
      EXPECT_EQ(task.Get(kStatus).AsInt32(), c.status);
      EXPECT_EQ(task.Get(kPercentComplete).AsInt32(), c.percent);
    }
  }
}

TEST_F(TaskWriterTest, FullyCompleteWritesPercentOnSaveAndStatusOnChange) {
  const auto fraction = [](const char* text) { return TaskFields().Set(field::kFractionComplete, text); };
  Save(fraction("1.000").Joined());
  EXPECT_EQ(TaskPuts(kStatus), 0);
  Change(fraction("1.000").JoinedAfter("Call the bank"));
  EXPECT_EQ(TaskPuts(kPercentComplete), 1);  // still the save's alone
  EXPECT_EQ(TaskPuts(kStatus), 1);
  Change(fraction("0.000").JoinedAfter("Call the bank"));
  EXPECT_EQ(TaskPuts(kPercentComplete), 2);
  EXPECT_EQ(OnlyTask().Get(kPercentComplete).AsInt32(), 0);
}

TEST_F(TaskWriterTest, RefusedDueDateFallsBackToTheStartDateAndIsLogged) {
  // Outlook refuses a due date before the start date.
  Save(TaskFields().Set(field::kStartDate, "12/11/2006").Joined());
  const os::ItemData task = OnlyTask();
  EXPECT_EQ(task.Get(kDueDate).AsDate(), Date(2006, 11, 12));
  EXPECT_EQ(TaskPuts(kDueDate), 2);
  // The reminder still counts from the due date of the record.
  EXPECT_EQ(Show(task.Get(kReminderTime).AsDate()), "2006-11-10 09:45");
  EXPECT_EQ(LogTexts(), (Lines{"SaveOutlookTask",
                               "OrvaneOutlook=>OnTimerException::SetDueDate::" + Ansi(os::kDueBeforeStartMessage),
                               "Save Task to Outlook"}));
}

TEST_F(TaskWriterTest, SecondFailureOfTheDueDateOrOfCreateItemPassesOnAndSavesNothing) {
  os::FailCall(os::ObjectKind::TaskItem, kDueDate, os::CallKind::Put, L"No due date today", 2);
  EXPECT_THROW(Save(TaskFields().Joined()), outlook::AutomationError);
  FailCreateItem(2);
  EXPECT_THROW(Save(TaskFields().Joined()), outlook::AutomationError);
  EXPECT_TRUE(Items(kFolderTasks).empty());
}

TEST_F(TaskWriterTest, CreateItemIsRetriedOnceOnAFreshSession) {
  FailCreateItem();
  Save(TaskFields().Joined());
  EXPECT_EQ(Items(kFolderTasks).size(), 1u);
  EXPECT_EQ(os::CallCount(kCreateItem), 2);
  EXPECT_EQ(os::LogonCount(), 2);
  EXPECT_EQ(LogTexts(), kSaveLines);
}

struct ShortCase {
  const char* what;
  testcommon::RecordBuilder fields;
  long typePuts;
  long reminderPuts;
};

TEST_F(TaskWriterTest, ShortRecordsSaveWhatTheyHoldAndSaySoOnce) {
  const ShortCase kCases[] = {
      // Written: the recurrence type, not the interval the record lacks.
      {"recurring, ends at field 29",
       TaskFields().Set(field::kRecurrenceType, "1").Set(field::kDayOfWeekMask, "2").EndAt(29), 1, 1},
      // A reminder that is no real date leaves the reminder as it is.
      {"reminder in no real year", TaskFields().Set(field::kDue, "10/11/2006*9:00am*99999999999999999999:30pm"), 0, 0},
  };
  for (const auto& c : kCases) {
    StartOver();
    Save(c.fields.Joined());
    SCOPED_TRACE(c.what);
    EXPECT_EQ(LogTexts(), kShortSaveLines);
    EXPECT_EQ(TextOf(OnlyTask(), kSubject), "Call the bank");
    EXPECT_EQ(PatternPuts(kRecurrenceType), c.typePuts);
    EXPECT_EQ(PatternPuts(kInterval), 0);
    EXPECT_EQ(TaskPuts(kReminderSet) + TaskPuts(kReminderTime), 2 * c.reminderPuts);
  }
}

// A recurrence Outlook does not allow makes it refuse the save: its words are logged once, nothing
// is saved, and the writer returns (no failure for the tick to hand over).
TEST_F(TaskWriterTest, ASaveOutlookRefusesIsLoggedWithItsWordsAndSavesNothing) {
  const testcommon::RecordBuilder kCases[] = {
      TaskFields().Set(field::kRecurrenceType, "1").Set(field::kDayOfWeekMask, "0").Set(field::kInterval, "1"),
      TaskFields().Set(field::kRecurrenceType, "1").Set(field::kDayOfWeekMask, "2").Set(field::kInterval, "0"),
  };
  for (const auto& fields : kCases) {
    StartOver();
    EXPECT_NO_THROW(Save(fields.Joined()));
    Lines expected = kShortSaveLines;
    expected.push_back(
        "OrvaneOutlook=>SaveAndClose::Outlook refused the save, nothing saved: The recurrence pattern "
        "is not valid.");
    EXPECT_EQ(LogTexts(), expected);
    EXPECT_TRUE(os::FolderItems(kFolderTasks).empty());
  }
}

TEST_F(TaskWriterTest, RecordWithoutSubjectWritesNothing) {
  Save("\t\t");
  Change("Call the bank");
  EXPECT_EQ(os::TotalCalls(), 0);
  EXPECT_EQ(LogTexts(), (Lines{"SaveOutlookTask", "SaveOutlookTask: record without a subject, nothing written",
                               "ChangeOutlookTask: record without a subject, nothing written"}));
}

TEST_F(TaskWriterTest, ChangeLeavesWhatPlaceholdersLeave) {
  const os::PropertyList held{
      {kBillingInformation, os::Value::Text(L"Client A")},
      {kCategories, os::Value::Text(L"Home")},
      {kCompanies, os::Value::Text(L"Bank Ltd")},
      {kMileage, os::Value::Text(L"7")},
      {kImportance, os::Value::Int32(2)},
      {kSensitivity, os::Value::Int32(kSensitivityPrivate)},
      {kActualWork, os::Value::Int32(30)},
      {kPercentComplete, os::Value::Int32(50)},
      {kDueDate, os::Value::Date(Date(2006, 11, 20))},
      {kInternetCodepage, os::Value::Int32(99)},
  };
  os::PropertyList properties = held;
  properties.emplace_back(kReminderSet, os::Value::Bool(true));  // "not done": no reminder
  AddItem(os::ItemKind::Task, "Call the bank", properties);
  Change(TaskFields()
             .Set(field::kDue, "not done")
             .Set(field::kSubject, "Call the bank today")
             .JoinedAfter("call the bank"));

  const os::ItemData task = OnlyTask();
  for (const auto& [id, value] : held) EXPECT_EQ(task.Get(id), value) << "DISPID 0x" << std::hex << id;
  EXPECT_EQ(TextOf(task, kSubject), "Call the bank today");
  EXPECT_FALSE(task.Get(kReminderSet).AsBool());
  EXPECT_EQ(TaskPuts(kInternetCodepage), 0);
  EXPECT_EQ(os::CallCount(kGetRecurrencePattern), 0);
  EXPECT_TRUE(LogTexts().empty());
}

// The user's task "Plan ★" went out as "Plan ?": the code page has no star. The main application
// then moves its due date, and its change record says "Plan ?" again: the star stays, as do the
// companies "Ærø ★" that came back as "Ærø ?". A real new subject is written.
TEST_F(TaskWriterTest, ChangeKeepsOutlooksTextWhereTheRecordCannotSayMore) {
  os::AddItem(os::ItemKind::Task, {{kSubject, os::Value::Text(L"Plan \u2605")},
                                   {kCompanies, os::Value::Text(L"\u00C6r\u00F8 \u2605")},
                                   {kCategories, os::Value::Text(L"Home")}});
  os::ResetCallCounts();
  Change(TaskFields()
             .Set(field::kSubject, "Plan ?")
             .Set(field::kCompanies, "\xC6r\xF8 ?")
             .Set(field::kCategories, "Work")
             .Set(field::kDue, "24/11/2006*9:00am*9:30am")
             .JoinedAfter("plan ?"));
  os::ItemData task = OnlyTask();
  EXPECT_EQ(task.Get(kSubject).AsText(), L"Plan \u2605");
  EXPECT_EQ(task.Get(kCompanies).AsText(), L"\u00C6r\u00F8 \u2605");
  EXPECT_EQ(TextOf(task, kCategories), "Work");
  EXPECT_EQ(task.Get(kDueDate).AsDate(), Date(2006, 11, 24));
  EXPECT_EQ(TaskPuts(kSubject) + TaskPuts(kCompanies), 0);

  Change(TaskFields().Set(field::kSubject, "Plan B").JoinedAfter("Plan ?"));
  task = OnlyTask();
  EXPECT_EQ(TextOf(task, kSubject), "Plan B");
  EXPECT_EQ(task.Get(kCompanies).AsText(), L"\u00C6r\u00F8 \u2605") << "the record left it blank";
  EXPECT_TRUE(LogTexts().empty());
}

// The user deleted the task while the main application changed it: the change makes it anew, as
// the main application's item, which its later changes in Outlook must still name.
TEST_F(TaskWriterTest, ChangeOfATaskTheUserDeletedMakesItAnewWithItsLinkId) {
  AddItem(os::ItemKind::Task, "Something else");
  Change(TaskFields().JoinedAfter("Call the bank"));
  const auto tasks = Items(kFolderTasks);
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_EQ(TextOf(tasks[1], kSubject), "Call the bank");
  EXPECT_EQ(tasks[1].Get(kStartDate).AsDate(), Date(2006, 11, 5));
  EXPECT_EQ(tasks[1].Get(kInternetCodepage).AsInt32(), 57);
  EXPECT_EQ(tasks[0].Get(kInternetCodepage).AsInt32(), 0) << "the other task is not the one meant";
  EXPECT_TRUE(LogTexts().empty());

  Change(TaskFields().Set(field::kLinkId, "0").JoinedAfter("Nowhere"));
  EXPECT_EQ(Items(kFolderTasks).back().Get(kInternetCodepage).AsInt32(), 0) << "a record without a link id gives none";
}

}  // namespace

}  // namespace orvane
