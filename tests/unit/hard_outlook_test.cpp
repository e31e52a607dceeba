// The plug-in against Outlook at its hardest: the finished copy of an occurrence that stays
// recurring, tables that cut texts by bytes or cannot count their rows, items that change places
// while they are read, a limit on the items open at once, the guard's own refusal, and events
// that never come or come to a sink already let go.
#include "inbound/task_record.h"
#include "tests/common/record_builder.h"
#include "tests/unit/roads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using V = os::Value;
namespace field = inbound::taskfield;

class HardOutlookTest : public RoadsTest {
protected:
  // The records of one kind the main application received, whole.
  std::vector<std::string> RecordsOf(uint32_t kind) const {
    std::vector<std::string> records;
    for (const auto& [received, record] : mainApp_.copies) {
      if (received == kind) records.push_back(record);
    }
    return records;
  }
  // A weekly series the user makes in Outlook.
  static void UserSeries(const char* subject) {
    const outlook::DispatchDriver task =
        outlook::DispatchDriver(os::CreateApplication()).InvokeForObject(kCreateItem, Variant::Int32(kTaskItem));
    task.SetText(kSubject, subject);
    task.SetDate(kDueDate, 46218.0);  // Friday 14 July 2026
    task.InvokeForObject(kGetRecurrencePattern).SetInt32(kRecurrenceType, kRecursWeekly);
    task.InvokeMethod(kSave);
    EXPECT_TRUE(os::RaisePostedEvents());
  }
  static std::string Weekly(const std::string& subject) {
    return testcommon::TaskFields()
        .Set(1, subject)
        .Set(field::kRecurrenceType, "1")
        .Set(field::kDayOfWeekMask, "2")
        .Set(field::kInterval, "1")
        .Set(field::kPatternStartDate, "7/12/2026")
        .Joined();
  }
};

// The user finishes an occurrence in Outlook: the series moves on (a change) and its finished copy
// arrives as a one-off task, whether Outlook's copy kept the recurrence or not; the checks after
// bring nothing more. The copy of an occurrence the plug-in finished follows the rule for copies.
TEST_F(HardOutlookTest, TheFinishedCopyOfAnOccurrenceIsAOneOffTaskWhereverItKeptTheRecurrence) {
  for (const bool keeps : {false, true}) {
    SCOPED_TRACE(keeps ? "the copy stays recurring" : "the copy is a plain task");
    StartOver(), mainApp_.copies.clear();
    os::CopyKeepsRecurrence(keeps);
    UserSeries("Water the plants");
    Roads roads;
    ASSERT_NO_FATAL_FAILURE(Connect(roads));
    os::ChangeItem(kFolderTasks, 1, {{kStatus, V::Int32(kStatusComplete)}});
    EXPECT_TRUE(os::RaisePostedEvents());
    roads.CheckDeletedItems(), roads.CheckDeletedItems();
    ASSERT_EQ(os::FolderItems(kFolderTasks).size(), 2u);
    EXPECT_EQ(os::FolderItems(kFolderTasks)[1].IsRecurring(), keeps);
    EXPECT_EQ(Received(), (Lines{"6 Water the plants", "9 Water the plants"}));
    const std::vector<std::string> added = RecordsOf(mainapp::kTask);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_NE(added[0].find("*norecurring"), std::string::npos) << added[0];
    EXPECT_EQ(RecordsOf(mainapp::kChangedTask).at(0).find("norecurring"), std::string::npos);

    mainApp_.copies.clear();
    roads.MainApplicationSends("Orvane_SaveNow", Weekly("Feed the cat"));
    roads.MainApplicationSends("Orvane_DoneNow", "done\tFeed the cat");
    roads.CheckDeletedItems();
    EXPECT_EQ(os::FolderItems(kFolderTasks).size(), 4u);
    EXPECT_EQ(Received(), Lines{}) << "Outlook's copy of the plug-in's own finish";
  }
}

// A table keeps 255 bytes (126 characters), 510 bytes or 255 characters of a subject: every
// lookup finds the item of each whole subject, and every deletion reports it whole. Today's code
// held: it takes any subject of 126 characters or more as maybe cut and reads it from its item.
TEST_F(HardOutlookTest, SubjectsCutByBytesAreFoundAndReportedWhole) {
  std::vector<std::string> subjects;
  for (const int length : {125, 126, 127, 128, 200, 253, 254, 255, 256, 300}) {
    // Alike but for their last four characters, so that a cut one names them all.
    subjects.push_back(std::string(static_cast<size_t>(length - 4), 'S') + std::to_string(1000 + length));
  }
  for (const int bytes : {0, 255, 510}) {
    SCOPED_TRACE(bytes);
    StartOver(), mainApp_.copies.clear();
    os::TableTextBytes(bytes);
    for (const std::string& subject : subjects) AddItem(os::ItemKind::Task, subject);
    for (const std::string& subject : subjects) {
      const outlook::DispatchDriver found = lookup_.Find(items::kTaskItems, subject);
      ASSERT_FALSE(found.IsEmpty()) << subject.size();
      EXPECT_EQ(found.GetText(kSubject), subject);
    }
    EXPECT_EQ(os::CallCount(os::ObjectKind::Items, kItem, os::CallKind::Method), 0) << "read through the table";
    Roads roads;
    ASSERT_NO_FATAL_FAILURE(Connect(roads));
    Lines expected;
    for (const std::string& subject : subjects) {
      os::RemoveItemsWithoutEvents(kFolderTasks, 1, 1), roads.CheckDeletedItems();
      expected.push_back("1 " + subject);
    }
    // The last item of the folder waits for a second empty read.
    roads.CheckDeletedItems();
    EXPECT_EQ(Received(), expected);
  }
}

// A table that cannot count its rows is read to its end all the same, a deletion reported once.
TEST_F(HardOutlookTest, ATableWhoseRowCountFailsIsStillReadThroughTheTable) {
  os::RowCountFails(true);
  for (int i = 1; i <= 40; ++i) AddItem(os::ItemKind::Task, "Task " + std::to_string(i));
  EXPECT_EQ(lookup_.Find(items::kTaskItems, "task 33").GetText(kSubject), "Task 33");
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  os::RemoveItemsWithoutEvents(kFolderTasks, 7, 1), roads.CheckDeletedItems(), roads.CheckDeletedItems();
  EXPECT_EQ(Received(), Lines{"1 Task 7"});
  EXPECT_EQ(os::CallCount(os::ObjectKind::Items, kItem, os::CallKind::Method), 0);
  EXPECT_TRUE(DetectionLog().empty()) << testing::PrintToString(DetectionLog());
}

// Item by item, in the reverse order or with a save moving an item to the end mid-read: no item is
// read twice in the place of another, and none missed is taken for deleted.
TEST_F(HardOutlookTest, ItemsThatChangePlacesWhileTheyAreReadOneByOneMakeNoDeletion) {
  for (const wchar_t* order : {L"saved", L"reverse", L"moved-on-save"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(order)));
    StartOver(), mainApp_.copies.clear();
    os::HideMember(os::ObjectKind::Folder, kGetTable);
    os::ItemsOrder(order);
    for (const std::string& subject : Lines{"A", "B", "C", "D"}) AddItem(os::ItemKind::Task, subject);
    Roads roads;
    ASSERT_NO_FATAL_FAILURE(Connect(roads));
    // Count, Item(1), then the first item is saved again.
    os::SaveItemAfterItemsCalls(kFolderTasks, 1, 2);
    roads.CheckDeletedItems();
    EXPECT_TRUE(os::RaisePostedEvents());
    EXPECT_EQ(Received(), Lines{"9 A"}) << "the user's save, and nothing gone";
    // The second item saved: the save moved the first behind the others where the store so orders.
    const bool moved = std::wstring(order) == L"moved-on-save";
    os::RemoveItemsWithoutEvents(kFolderTasks, 2, 1), roads.CheckDeletedItems();
    EXPECT_EQ(Received(), (Lines{"9 A", moved ? "1 C" : "1 B"}));
  }
}

// With Exchange's limit of 100 open items, an import of 1,000 tasks is reported whole. The plug-in
// already lets each item go before it takes the next; one held per record, or per item looked at,
// would fail here from the 101st on.
TEST_F(HardOutlookTest, UnderALimitOfAHundredOpenItemsAThousandImportedAreReportedWhole) {
  os::OpenItemLimit(100);
  os::BulkAdd(16);
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  std::vector<os::PropertyList> imported;
  for (int i = 1; i <= 1000; ++i) imported.push_back({{kSubject, V::Text(L"Imported " + std::to_wstring(i))}});
  os::AddItems(os::ItemKind::Task, imported);
  EXPECT_TRUE(os::RaisePostedEvents());
  roads.CheckDeletedItems();
  std::map<std::string, int> seen;
  for (const std::string& record : Received()) ++seen[record];
  EXPECT_EQ(seen.size(), 1000u);
  EXPECT_EQ(std::count_if(seen.begin(), seen.end(), [](const auto& entry) { return entry.second != 1; }), 0);
  EXPECT_EQ(os::OpenItems(), 0u) << "nothing held once the work is done";
}

// Under the same limit every command of the main application works, and a deletion is reported.
TEST_F(HardOutlookTest, UnderALimitOfAHundredOpenItemsEveryCommandWorks) {
  os::OpenItemLimit(100);
  AddItem(os::ItemKind::Task, "Call the bank");
  for (int i = 1; i <= 120; ++i) AddItem(os::ItemKind::Task, "Task " + std::to_string(i));
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  roads.MainApplicationSends("Orvane_SaveNow", Weekly("Water the plants"));
  roads.MainApplicationSends("Orvane_ChangeNow",
                             testcommon::TaskFields().Set(1, "Call the bank v2").JoinedAfter("Call the bank"));
  roads.MainApplicationSends("Orvane_DoneNow", "done\tTask 50");
  roads.MainApplicationSends("Orvane_DeleteNow", "Task 99");
  RemoveTask(3);
  roads.CheckDeletedItems();
  EXPECT_EQ(os::FolderItems(kFolderTasks).size(), 120u);
  EXPECT_EQ(os::FolderItems(kFolderTasks)[0].Get(kSubject).AsText(), L"Call the bank v2");
  EXPECT_EQ(Received(), Lines{"1 Task 2"});
  EXPECT_EQ(os::OpenItems(), 0u) << "nothing held once the work is done";
  const std::vector<std::string> log = LogTexts();
  EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const std::string& line) {
    return line.find("limited the number of items") != std::string::npos;
  })) << testing::PrintToString(log);
}

// Columns.Add is refused, whatever the code of the refusal: asked once, then the folder is read
// item by item; a deletion is reported once. Allowed for some minutes, one prompt does. Today's
// code held: it takes any failure of the Add as the refusal, never its code.
TEST_F(HardOutlookTest, AGuardedCallRefusedWithAnyCodeIsNotAskedAgain) {
  const struct {
    const char* name;
    void (*refuse)();
  } kRefusals[] = {
      {"the guard's denial", [] { os::Guard(L"deny"); }},
      {"E_ABORT",
       [] {
         os::FailCall(os::ObjectKind::Columns, os::kColumnsAdd, os::CallKind::Method, L"Operation aborted",
                      os::FaultRule::kAlways, E_ABORT);
       }},
      {"E_ACCESSDENIED",
       [] {
         os::FailCall(os::ObjectKind::Columns, os::kColumnsAdd, os::CallKind::Method, L"Refused",
                      os::FaultRule::kAlways, E_ACCESSDENIED);
       }},
  };
  for (const auto& refusal : kRefusals) {
    SCOPED_TRACE(refusal.name);
    StartOver(), mainApp_.copies.clear();
    os::TableIds(L"short-term");
    refusal.refuse();
    for (const std::string& subject : Lines{"A", "B", "C"}) AddItem(os::ItemKind::Task, subject);
    Roads roads;
    ASSERT_NO_FATAL_FAILURE(Connect(roads));
    os::RemoveItemsWithoutEvents(kFolderTasks, 2, 1), roads.CheckDeletedItems(), roads.CheckDeletedItems();
    EXPECT_EQ(Received(), Lines{"1 B"});
    EXPECT_EQ(os::CallCount(os::ObjectKind::Columns, os::kColumnsAdd, os::CallKind::Method), 1);
    EXPECT_LE(os::GuardPrompts(), 1);
  }
  StartOver(), mainApp_.copies.clear();
  os::TableIds(L"short-term"), os::Guard(L"allow-for", 10);
  for (const std::string& subject : Lines{"A", "B", "C"}) AddItem(os::ItemKind::Task, subject);
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  os::RemoveItemsWithoutEvents(kFolderTasks, 2, 1), roads.CheckDeletedItems();
  EXPECT_EQ(Received(), Lines{"1 B"});
  EXPECT_EQ(os::GuardPrompts(), 1);
  EXPECT_EQ(os::CallCount(os::ObjectKind::Items, kItem, os::CallKind::Method), 0);
}

// No ItemRemove for a folder's last item: the check reports it (today's code held). An ItemAdd and
// an ItemRemove on their way while the sinks are let go reach the old sinks late and change
// nothing; the comparison after the sinks are connected again reports each once.
TEST_F(HardOutlookTest, EventsThatNeverComeOrComeToASinkLetGoReportEachItemOnce) {
  os::NoRemoveForLastItem(true);
  os::EventsAfterUnadvise(true);
  AddItem(os::ItemKind::Task, "Only");
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  RemoveTask(1);
  EXPECT_EQ(Received(), Lines{}) << "Outlook said nothing";
  roads.CheckDeletedItems(), roads.CheckDeletedItems();
  EXPECT_EQ(Received(), Lines{"1 Only"});

  AddItem(os::ItemKind::Task, "Kept"), AddItem(os::ItemKind::Task, "Gone");
  EXPECT_TRUE(os::RaisePostedEvents());
  os::AddItem(os::ItemKind::Task, {{kSubject, V::Text(L"Late")}});
  os::RemoveItem(kFolderTasks, 2);
  roads.link.DisconnectSinks();
  EXPECT_TRUE(os::RaisePostedEvents()) << "to the sinks let go";
  EXPECT_EQ(Received(), (Lines{"1 Only", "6 Kept", "6 Gone"})) << "a sink let go changes nothing";
  roads.ConnectWhenOutlookRuns();
  roads.CheckDeletedItems(), roads.CheckDeletedItems();
  Lines received = Received();
  std::sort(received.begin() + 3, received.end());
  EXPECT_EQ(received, (Lines{"1 Only", "6 Kept", "6 Gone", "1 Gone", "6 Late"}));
}

}  // namespace

}  // namespace orvane
