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
namespace field = taskrecord::field;
using Lines = std::vector<std::string>;

class TaskWriterTest : public WriterTest {
protected:
  void Save(std::string record) { frame_.SaveOutlookTask(record.data()); }
  void Change(std::string record) { frame_.ChangeOutlookTask(record.data()); }

  static os::ItemData OnlyTask() {
    const auto tasks = Items(kFolderTasks);
    EXPECT_EQ(tasks.size(), 1u);
    return tasks.empty() ? os::ItemData(os::ItemKind::Task) : tasks[0];
  }
};

const Lines kSaveLines{"SaveOutlookTask", "Save Task to Outlook"};

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

  const os::ItemData task = OnlyTask();
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
  EXPECT_TRUE(task.IsRecurring());
  EXPECT_EQ(task.PatternGet(kRecurrenceType).AsInt32(), 1);
  EXPECT_EQ(task.PatternGet(kInterval).AsInt32(), 2);
  EXPECT_EQ(task.PatternGet(kDayOfWeekMask).AsInt32(), 42);
  EXPECT_FALSE(task.PatternGet(kNoEndDate).AsBool());
  EXPECT_EQ(task.PatternGet(kPatternEndDate).AsDate(), Date(2006, 12, 31));
  EXPECT_EQ(task.PatternGet(kPatternStartDate).AsDate(), Date(2006, 11, 6));
  EXPECT_EQ(LogTexts(), kSaveLines);
}

TEST_F(TaskWriterTest, SaveLeavesOutlooksDefaultsWherePlaceholdersStand) {
  Save(TaskFields().Set(field::kDue, "not done").Joined());
  const os::ItemData task = OnlyTask();
  const os::ItemData fresh(os::ItemKind::Task);
  for (const DispId id : {kDateCompleted, kActualWork, kBillingInformation, kCategories, kCompanies, kMileage,
                          kImportance, kSensitivity, kSchedulePlusPriority, kStatus, kPercentComplete}) {
    EXPECT_EQ(task.Get(id), fresh.Get(id)) << "DISPID 0x" << std::hex << id;
  }
  EXPECT_FALSE(task.Get(kReminderSet).AsBool());
  EXPECT_EQ(TaskPuts(kDueDate), 0);
  EXPECT_EQ(TaskPuts(kReminderTime), 0);
  EXPECT_FALSE(task.IsRecurring());
  // Fields without a placeholder take the word itself.
  EXPECT_EQ(TextOf(task, kContactNames), "blank");
  EXPECT_EQ(TextOf(task, kRole), "blank");
  EXPECT_EQ(TextOf(task, kBody), "blank");
}

TEST_F(TaskWriterTest, BlankMarkerGivesAnEmptySubject) {
  Save(TaskFields().Set(field::kSubject, "blankone8746589987458745").Joined());
  EXPECT_EQ(TextOf(OnlyTask(), kSubject), "");
}

struct ReminderCase {
  const char* dueTime;
  const char* offset;
  const char* reminder;  // nullptr: Outlook is not asked for a reminder at all
};

TEST_F(TaskWriterTest, ReminderTimeCountsFromTheDueDay) {
  // The full table of reminder rules is in the record's own tests; here, that what Outlook
  // receives is the due day plus the minutes, and nothing when that is no date it can hold.
  const ReminderCase kCases[] = {
      {"9:30pm", "0:15", "2006-11-10 21:45"},
      {"not added", "0:15", "2006-11-10 23:59"},
      {"9:30PM", "0:15", "2006-11-10 00:15"},
      {"99999999999999999999:30pm", "0:15", nullptr},
  };
  for (const auto& c : kCases) {
    os::ResetStore();
    os::ResetCallCounts();
    Save(TaskFields()
             .Set(field::kDue, std::string("10/11/2006*9:00am*") + c.dueTime)
             .Set(field::kReminderOffset, c.offset)
             .Joined());
    const os::ItemData task = OnlyTask();
    SCOPED_TRACE(c.dueTime);
    EXPECT_EQ(TaskPuts(kReminderSet), c.reminder ? 1 : 0);
    EXPECT_EQ(TaskPuts(kReminderTime), c.reminder ? 1 : 0);
    if (c.reminder) {
      EXPECT_EQ(Show(task.Get(kReminderTime).AsDate()), c.reminder);
    }
  }
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
      SCOPED_TRACE(std::string(change ? "change " : "save ") + c.fraction + " " + c.makePrivate + " " +
                   c.sensitivityReset + " " + c.statusReset);
      EXPECT_EQ(task.Get(kSensitivity).AsInt32(), c.sensitivity);
      EXPECT_EQ(task.Get(kStatus).AsInt32(), c.status);
      EXPECT_EQ(task.Get(kPercentComplete).AsInt32(), c.percent);
    }
  }
}

TEST_F(TaskWriterTest, FullyCompleteWritesPercentOnSaveAndStatusOnChange) {
  Save(TaskFields().Set(field::kFractionComplete, "1.000").Joined());
  EXPECT_EQ(TaskPuts(kPercentComplete), 1);
  EXPECT_EQ(TaskPuts(kStatus), 0);

  os::ResetCallCounts();
  Change(TaskFields().Set(field::kFractionComplete, "1.000").JoinedAfter("Call the bank"));
  EXPECT_EQ(TaskPuts(kPercentComplete), 0);
  EXPECT_EQ(TaskPuts(kStatus), 1);
  EXPECT_EQ(OnlyTask().Get(kStatus).AsInt32(), kStatusComplete);

  os::ResetCallCounts();
  Change(TaskFields().Set(field::kFractionComplete, "0.000").JoinedAfter("Call the bank"));
  EXPECT_EQ(TaskPuts(kPercentComplete), 1);
  EXPECT_EQ(OnlyTask().Get(kPercentComplete).AsInt32(), 0);
}

TEST_F(TaskWriterTest, RecurrenceWritesFollowThePatternType) {
  Save(TaskFields()
           .Set(field::kRecurrenceType, "2")
           .Set(field::kDayOfWeekMask, "42")
           .Set(field::kInterval, "3")
           .Joined());
  const os::ItemData monthly = OnlyTask();
  EXPECT_EQ(monthly.PatternGet(kRecurrenceType).AsInt32(), 2);
  EXPECT_EQ(monthly.PatternGet(kInterval).AsInt32(), 3);
  EXPECT_TRUE(monthly.PatternGet(kNoEndDate).AsBool());
  EXPECT_EQ(PatternPuts(kDayOfWeekMask), 0);
  EXPECT_EQ(PatternPuts(kPatternEndDate), 0);
  EXPECT_EQ(PatternPuts(kNoEndDate), 1);
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

TEST_F(TaskWriterTest, RefusedDueDateLogsOutlooksMessageInChangeToo) {
  AddItem(os::ItemKind::Task, "Call the bank");
  os::FailCall(os::ObjectKind::TaskItem, kDueDate, os::CallKind::Put, L"Outlook is out of due dates");
  Change(TaskFields().JoinedAfter("Call the bank"));
  EXPECT_EQ(OnlyTask().Get(kDueDate).AsDate(), Date(2006, 11, 5));
  EXPECT_EQ(TaskPuts(kDueDate), 2);
  EXPECT_EQ(LogTexts(), Lines{"OrvaneOutlook=>OnTimerException::SetDueDate::Outlook is out of due dates"});
}

TEST_F(TaskWriterTest, SecondRefusalOfTheDueDatePassesOnAndSavesNothing) {
  os::FailCall(os::ObjectKind::TaskItem, kDueDate, os::CallKind::Put, L"No due date today", 2);
  EXPECT_THROW(Save(TaskFields().Joined()), AutomationError);
  EXPECT_TRUE(Items(kFolderTasks).empty());
}

TEST_F(TaskWriterTest, CreateItemIsRetriedOnceOnAFreshSession) {
  os::FailCall(os::ObjectKind::Application, kCreateItem, os::CallKind::Method, L"The server is busy");
  Save(TaskFields().Joined());
  EXPECT_EQ(Items(kFolderTasks).size(), 1u);
  EXPECT_EQ(os::CallCount(kCreateItem), 2);
  EXPECT_EQ(os::LogonCount(), 2);
  EXPECT_EQ(LogTexts(), kSaveLines);
}

TEST_F(TaskWriterTest, SecondCreateItemFailurePassesOn) {
  os::FailCall(os::ObjectKind::Application, kCreateItem, os::CallKind::Method, L"The server is busy", 2);
  EXPECT_THROW(Save(TaskFields().Joined()), AutomationError);
  EXPECT_TRUE(Items(kFolderTasks).empty());
}

struct ShortSaveCase {
  int lastField;
  const char* recurrenceType;
  Lines log;
};

TEST_F(TaskWriterTest, ShortRecordsSaveWhatTheyHoldAndSaySoOnce) {
  const std::string shortLine =
      "SaveOutlookTask: short record, the properties of its missing fields were left as they were";
  const ShortSaveCase kCases[] = {
      {24, "norecurring", kSaveLines},
      {23, "norecurring", {"SaveOutlookTask", shortLine, "Save Task to Outlook"}},
      {2, "norecurring", {"SaveOutlookTask", shortLine, "Save Task to Outlook"}},
      {29, "1", {"SaveOutlookTask", shortLine, "Save Task to Outlook"}},  // last: its calls are counted below
  };
  for (const auto& c : kCases) {
    os::ResetStore();
    DeleteFileA("OrvaneErrorLog.txt");
    Save(TaskFields().Set(field::kRecurrenceType, c.recurrenceType).EndAt(c.lastField).Joined());
    SCOPED_TRACE(c.lastField);
    EXPECT_EQ(LogTexts(), c.log);
    EXPECT_EQ(TextOf(OnlyTask(), kSubject), "Call the bank");
  }
  // The recurring record that ended at field 29 wrote its type, not the interval it lacked.
  EXPECT_EQ(PatternPuts(kRecurrenceType), 1);
  EXPECT_EQ(PatternPuts(kInterval), 0);
}

TEST_F(TaskWriterTest, RecordWithoutSubjectWritesNothing) {
  for (const char* record : {"", "\t\t"}) {
    Save(record);
    Change(std::string("Call the bank") + record);
  }
  EXPECT_EQ(os::TotalCalls(), 0);
  EXPECT_EQ(LogTexts(), (Lines{"SaveOutlookTask", "SaveOutlookTask: record without a subject, nothing written",
                               "ChangeOutlookTask: record without a subject, nothing written", "SaveOutlookTask",
                               "SaveOutlookTask: record without a subject, nothing written",
                               "ChangeOutlookTask: record without a subject, nothing written"}));
}

struct FindCase {
  std::vector<std::string> subjects;
  std::string search;
  int changed;  // 0-based index of the task that changes; -1: a new task is made
};

TEST_F(TaskWriterTest, ChangeFindsTheFirstSubjectMatchIgnoringCase) {
  const FindCase kCases[] = {
      {{"Other", "call the BANK", "Call the bank"}, "CALL THE BANK", 1},
      {{"Call the bank now"}, "Call the bank", -1},
      {{}, "Call the bank", -1},
  };
  for (const auto& c : kCases) {
    os::ResetStore();
    for (const std::string& subject : c.subjects) AddItem(os::ItemKind::Task, subject);
    Change(TaskFields().Set(field::kSubject, "Changed").JoinedAfter(c.search));
    const auto tasks = Items(kFolderTasks);
    SCOPED_TRACE(c.search);
    const size_t expectedCount = c.subjects.size() + (c.changed < 0 ? 1 : 0);
    ASSERT_EQ(tasks.size(), expectedCount);
    for (size_t i = 0; i < tasks.size(); ++i) {
      const bool changed = c.changed < 0 ? i == c.subjects.size() : i == static_cast<size_t>(c.changed);
      EXPECT_EQ(TextOf(tasks[i], kSubject), changed ? "Changed" : c.subjects[i]) << "task " << i;
    }
  }
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
  AddItem(os::ItemKind::Task, "Call the bank", held);
  Change(TaskFields()
             .Set(field::kDue, "not done")
             .Set(field::kSubject, "Call the bank today")
             .JoinedAfter("call the bank"));

  const os::ItemData task = OnlyTask();
  for (const auto& [id, value] : held) EXPECT_EQ(task.Get(id), value) << "DISPID 0x" << std::hex << id;
  EXPECT_EQ(TextOf(task, kSubject), "Call the bank today");
  EXPECT_EQ(TaskPuts(kInternetCodepage), 0);
  EXPECT_EQ(os::CallCount(kGetRecurrencePattern), 0);
  EXPECT_TRUE(LogTexts().empty());
}

TEST_F(TaskWriterTest, ChangeOfAMissingTaskMakesOneWithoutLinkId) {
  AddItem(os::ItemKind::Task, "Something else");
  Change(TaskFields().JoinedAfter("Call the bank"));
  const auto tasks = Items(kFolderTasks);
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_EQ(TextOf(tasks[1], kSubject), "Call the bank");
  EXPECT_EQ(tasks[1].Get(kStartDate).AsDate(), Date(2006, 11, 5));
  EXPECT_EQ(tasks[1].Get(kInternetCodepage).AsInt32(), 0);
  EXPECT_EQ(TaskPuts(kInternetCodepage), 0);
  EXPECT_TRUE(LogTexts().empty());
}

TEST_F(TaskWriterTest, ChangeRetriesTheFolderOnceOnAFreshSession) {
  AddItem(os::ItemKind::Task, "Call the bank");
  os::FailCall(os::ObjectKind::NameSpace, kGetDefaultFolder, os::CallKind::Method, L"Folder not ready");
  Change(TaskFields().Set(field::kBody, "found").JoinedAfter("Call the bank"));
  EXPECT_EQ(TextOf(OnlyTask(), kBody), "found");
  EXPECT_EQ(os::LogonCount(), 2);

  os::FailCall(os::ObjectKind::NameSpace, kGetDefaultFolder, os::CallKind::Method, L"Folder not ready", 2);
  EXPECT_THROW(Change(TaskFields().JoinedAfter("Call the bank")), AutomationError);
}

}  // namespace

}  // namespace orvane
