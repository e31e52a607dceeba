// Deletions found by the outbound road in the stand-in Outlook of this process and sent to a main
// application's window of this thread; what the timers do is done directly.
#include "outlook/outlook_session.h"
#include "tests/unit/roads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using Lines = std::vector<std::string>;
using V = os::Value;
using DeletedItemsTest = RoadsTest;

// The user deletes in every way Outlook allows; each item reaches the main application once, by
// its last subject, and nothing else does.
TEST_F(DeletedItemsTest, EveryItemTheUserDeletesReachesTheMainApplicationOnce) {
  const std::string kLong(300, 'L');
  for (const std::string& subject : Lines{"Same", "Same", kLong, "", "Renamed", "B1", "B2", "Mine", "Theirs", "Kept"}) {
    AddItem(os::ItemKind::Task, subject);
  }
  AddItem(os::ItemKind::Note, "N");
  for (int i = 1; i <= 12; ++i) AddItem(os::ItemKind::Appointment, "P" + std::to_string(i));
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  // One of two alike, then 300 characters, then no subject.
  RemoveTask(2), RemoveTask(2), RemoveTask(2);
  // A rename is followed.
  os::ChangeItem(kFolderTasks, 2, {{kSubject, V::Text(L"Renamed v2")}}), os::RaisePostedEvents(), RemoveTask(2);
  // Two at once, which Outlook does not announce, are found within the minute.
  os::RemoveItemsWithoutEvents(kFolderTasks, 2, 2), roads.CheckDeletedItems();
  // While the sinks are down the main application deletes one and the user another; then the
  // main application renames one.
  roads.MainApplicationSends("Orvane_DeleteNow", "Mine", [] { RemoveTask(2); });
  roads.MainApplicationSends("Orvane_ChangeNow", testcommon::TaskFields().Set(1, "Kept v2").JoinedAfter("Kept"));
  RemoveTask(2);
  os::RemoveItem(kFolderNotes, 1), os::RemoveItem(kFolderCalendar, 1), os::RaisePostedEvents();
  // The calendar reads empty for a moment.
  os::ReadFolderEmpty(kFolderCalendar, 1), roads.CheckDeletedItems(), roads.CheckDeletedItems();
  // Outlook going away: nothing is compared until it is back.
  os::FailCall(os::ObjectKind::NameSpace, kGetDefaultFolder, os::CallKind::Method, L"Closing", os::FaultRule::kAlways);
  os::CloseMainWindow(), RemoveTask(1);
  os::ClearFailures(), os::ShowMainWindow(), roads.CheckDeletedItems(), roads.CheckDeletedItems();

  // The last item of a folder is reported once a second read finds the folder empty too.
  EXPECT_EQ(Received(), (Lines{"1 Same", "1 " + kLong, "1 ", "9 Renamed v2", "1 Renamed v2", "1 B1", "1 B2", "1 Theirs",
                               "1 Kept v2", "0 P1", "F N", "1 Same"}));
  EXPECT_EQ(DetectionLog(),
            (Lines{"OrvaneOutlook=>CheckDeletedItemsInOutlook::The Notes folder reads empty, 1 deletions held back",
                   "CheckDeletedItemsInOutlook::Step 2::ApptsFound",
                   "CheckDeletedItemsInOutlook::Step 3::Appts Had Been Sent To OV",
                   "OrvaneOutlook=>CheckDeletedItemsInOutlook::The Calendar folder reads empty, 11 deletions held back",
                   "OrvaneOutlook=>CheckDeletedItemsInOutlook::The Tasks folder reads empty, 1 deletions held back"}));
}

struct ReadingPath {
  const char* name;
  bool tables;
};

// Outlook offers its folders' tables since 2007; an older one is read item by item.
TEST_F(DeletedItemsTest, ACheckAtAThousandItemsPerFolderTakesAHandfulOfCallsWhereOutlookHasTables) {
  constexpr long kItems = 1000;
  for (const os::ItemKind kind : {os::ItemKind::Task, os::ItemKind::Appointment, os::ItemKind::Note}) {
    for (long i = 1; i <= kItems; ++i) AddItem(kind, "Item " + std::to_string(i));
  }
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  // The tables' own ids serve: no call the Object Model Guard protects.
  EXPECT_EQ(os::CallCount(os::ObjectKind::Columns, os::kColumnsAdd, os::CallKind::Method), 0);
  long tasks = kItems;
  for (const ReadingPath& path :
       {ReadingPath{"through the folders' tables", true}, ReadingPath{"item by item", false}}) {
    os::HideMember(os::ObjectKind::Folder, kGetTable, !path.tables);
    os::ResetCallCounts();
    RemoveTask(500);
    --tasks;
    // Each table loses the default columns not read: MessageClass, CreationTime, and the tasks' and
    // the calendar's three more; none is ever added.
    EXPECT_EQ(os::CallCount(os::ObjectKind::Columns, os::kColumnsRemove, os::CallKind::Method), path.tables ? 12 : 0);
    EXPECT_EQ(os::CallCount(os::ObjectKind::Columns, os::kColumnsAdd, os::CallKind::Method), 0);
    // Through the tables, a dozen removals among them. Item by item: per folder the folder, its
    // StoreID and EntryID, the table refused, its Items, Count, then each item, its EntryID and
    // LastModificationTime, and Count again; GetNamespace and Logon for the session opened afresh.
    const long bound = path.tables ? 45 : 2 * (3 * kItems + 7) + (3 * tasks + 7) + 2;
    std::cout << "A check of three folders of " << kItems << " items, one deleted, " << path.name << ": "
              << os::TotalCalls() << " calls to Outlook (bound " << bound << ")\n";
    EXPECT_LE(os::TotalCalls(), bound) << path.name;
  }
  EXPECT_EQ(Received(), (Lines{"1 Item 500", "1 Item 501"}));
}

struct TableControl {
  const char* name;
  std::function<void()> choose;
  // Whether the table still serves the read, or the folder is read item by item.
  bool tableReads;
  // Whether the table keeps the default columns not read.
  bool removeRefused = false;
};

// Whatever Outlook's table does, a check reports exactly the item deleted: not the one the user
// added, whose sink knew it by its own id, nor one the table shows oddly.
TEST_F(DeletedItemsTest, UnderEveryTableOutlookMayGiveACheckReportsExactlyTheDeletedItem) {
  const auto fail = [](os::ObjectKind object, DispId member, HRESULT code) {
    return [=] { os::FailCall(object, member, os::CallKind::Method, L"Refused", os::FaultRule::kAlways, code); };
  };
  const TableControl controls[] = {
      {"as Outlook gives it by default", [] {}, true},
      {"short-term ids", [] { os::TableIds(L"short-term"); }, true},
      {"columns first", [] { os::TableOrder(L"columns-first"); }, true},
      {"a count one too high", [] { os::TableRowCountSlack(1); }, true},
      {"a count one too low", [] { os::TableRowCountSlack(-1); }, true},
      {"strict MaxRows", [] { os::TableStrictMaxRows(true); }, true},
      {"strict MaxRows and a count one too high", [] { os::TableStrictMaxRows(true), os::TableRowCountSlack(1); },
       true},
      {"a count that fails", [] { os::RowCountFails(true); }, true},
      {"strict MaxRows and a count that fails", [] { os::TableStrictMaxRows(true), os::RowCountFails(true); }, true},
      {"texts cut at 255 bytes", [] { os::TableTextBytes(255); }, true},
      {"every control at once",
       [] {
         os::TableIds(L"short-term"), os::TableOrder(L"columns-first");
         os::TableStrictMaxRows(true), os::TableRowCountSlack(2), os::TableTextBytes(255);
       },
       true},
      {"Columns.Add refused", fail(os::ObjectKind::Columns, os::kColumnsAdd, E_ACCESSDENIED), true},
      {"Columns.Remove refused", fail(os::ObjectKind::Columns, os::kColumnsRemove, E_ACCESSDENIED), true, true},
      {"short-term ids and Columns.Remove refused",
       [=] { os::TableIds(L"short-term"), fail(os::ObjectKind::Columns, os::kColumnsRemove, E_ACCESSDENIED)(); }, true,
       true},
      {"short-term ids and Columns.Add refused",
       [=] { os::TableIds(L"short-term"), fail(os::ObjectKind::Columns, os::kColumnsAdd, E_ACCESSDENIED)(); }, false},
      {"GetTable denied", fail(os::ObjectKind::Folder, kGetTable, E_ACCESSDENIED), false},
      {"GetArray busy", fail(os::ObjectKind::Table, os::kTableGetArray, RPC_E_CALL_REJECTED), false},
  };
  for (const TableControl& control : controls) {
    SCOPED_TRACE(control.name);
    StartOver(), mainApp_.copies.clear();
    control.choose();
    AddItem(os::ItemKind::Task, "A"), AddItem(os::ItemKind::Task, "B");
    Roads roads;
    ASSERT_NO_FATAL_FAILURE(Connect(roads));
    AddItem(os::ItemKind::Task, "C");
    RemoveTask(2);
    roads.CheckDeletedItems();
    EXPECT_EQ(Received(), (Lines{"6 C", "1 B"}));
    EXPECT_EQ(os::CallCount(os::ObjectKind::Items, kItem, os::CallKind::Method) == 0, control.tableReads);
    // The long-term id column is asked for once at most, refused or not: only Tasks holds items.
    EXPECT_LE(os::CallCount(os::ObjectKind::Columns, os::kColumnsAdd, os::CallKind::Method), 1);
    // A table that keeps failing is logged once per folder, however many checks it fails.
    const Lines log = DetectionLog();
    EXPECT_EQ(std::count(log.begin(), log.end(),
                         "OrvaneOutlook=>CheckDeletedItemsInOutlook::The Tasks folder is read item by item: Refused"),
              control.tableReads ? 0 : 1);
    // Columns that stay are logged once in the reader's life, whichever folder met them first.
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) {
                              return line.find("folder is read with all its default columns: Refused") !=
                                     std::string::npos;
                            }),
              control.removeRefused ? 1 : 0);
    EXPECT_LE(log.size(), 3u) << testing::PrintToString(log);
  }
}

// Under short-term ids the long-term id column is added once per folder, whatever the checks
// that follow: each later one takes its items' ids from the first, or opens the items added or
// changed since.
TEST_F(DeletedItemsTest, UnderShortTermIdsALongTermColumnIsAddedOncePerFolder) {
  os::TableIds(L"short-term");
  for (const std::string& subject : Lines{"A", "B", "C", "D"}) AddItem(os::ItemKind::Task, subject);
  AddItem(os::ItemKind::Appointment, "P");
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  os::RemoveItemsWithoutEvents(kFolderTasks, 2, 1), roads.CheckDeletedItems();
  os::ChangeItem(kFolderTasks, 1, {{kSubject, V::Text(L"A2")}}), AddItem(os::ItemKind::Task, "E");
  os::RemoveItemsWithoutEvents(kFolderTasks, 2, 1), roads.CheckDeletedItems(), roads.CheckDeletedItems();
  RemoveTask(1);
  EXPECT_EQ(Received(), (Lines{"1 B", "9 A2", "6 E", "1 C", "1 A2"}));
  EXPECT_EQ(os::CallCount(os::ObjectKind::Columns, os::kColumnsAdd, os::CallKind::Method), 2);
  EXPECT_EQ(os::CallCount(os::ObjectKind::Items, kItem, os::CallKind::Method), 0);
}

// Outlook crashes and is started again: the short-term ids its new session's tables give are not
// those of the last one, and may name other items. What the plug-in took them to name is
// forgotten with the session, so each item is opened by its id once more, and nothing is taken
// for deleted or changed.
TEST_F(DeletedItemsTest, TheShortTermIdsOfAnOutlookThatWentAwayAreNotTrustedInItsNextSession) {
  os::TableIds(L"short-term");
  for (const std::string& subject : Lines{"A", "B", "C"}) AddItem(os::ItemKind::Task, subject);
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  roads.CheckDeletedItems();
  const long opened = os::CallCount(kGetItemFromId);
  roads.CheckDeletedItems();
  EXPECT_EQ(os::CallCount(kGetItemFromId), opened) << "the same session's ids are taken from the first read";
  roads.link.Abandon();
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  EXPECT_EQ(os::CallCount(kGetItemFromId), opened + 3) << "each task opened by its id in the new session";
  EXPECT_TRUE(Received().empty());
}

// An item the user adds while a folder is read item by item takes the first place and pushes the
// others one on: the read that missed the last of them is not believed.
TEST_F(DeletedItemsTest, AnItemAddedInFrontDuringAnItemByItemReadMakesNoDeletion) {
  os::HideMember(os::ObjectKind::Folder, kGetTable);
  for (const std::string& subject : Lines{"A", "B", "C"}) AddItem(os::ItemKind::Task, subject);
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  // Count and Item(1) are served, then the item joins in front.
  os::AddItemInFrontAfterItemsCalls(os::ItemKind::Task, {{kSubject, V::Text(L"New")}}, 2);
  roads.CheckDeletedItems();
  EXPECT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(Received(), Lines{"6 New"});
  os::RemoveItemsWithoutEvents(kFolderTasks, 4, 1), roads.CheckDeletedItems();
  EXPECT_EQ(Received(), (Lines{"6 New", "1 C"}));
}

// A folder that moves at every read is compared at the next check: the deletion meanwhile is
// reported then, and nothing before.
TEST_F(DeletedItemsTest, AFolderThatKeepsMovingWhileItIsReadKeepsItsPictureUntilItHolds) {
  os::HideMember(os::ObjectKind::Folder, kGetTable);
  for (const std::string& subject : Lines{"A", "B", "C"}) AddItem(os::ItemKind::Task, subject);
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  os::RemoveItemsWithoutEvents(kFolderTasks, 3, 1);
  // An item joins in front during each of the three reads of 2, then 3, then 4 items.
  for (const int call : {2, 5, 9}) {
    os::AddItemInFrontAfterItemsCalls(os::ItemKind::Task, {{kSubject, V::Text(L"New")}}, call);
  }
  roads.CheckDeletedItems();
  EXPECT_EQ(Received(), Lines{});
  EXPECT_EQ(DetectionLog(), Lines{"OrvaneOutlook=>CheckDeletedItemsInOutlook::The Tasks folder kept changing while it "
                                  "was read; it is compared at the next check"});
  roads.CheckDeletedItems();
  // The items added have not had their ItemAdd yet: the check tells of them.
  EXPECT_EQ(Received(), (Lines{"1 C", "6 New", "6 New", "6 New"}));
}

// After a reconnection every subject is read again; the table may have cut a long one, and only
// that item is read, by its id.
TEST_F(DeletedItemsTest, ALongSubjectAfterAReconnectionIsReadByItsIdAlone) {
  const std::string kLong(130, 'L');
  const std::string kRenamed(200, 'R');
  for (int i = 1; i <= 20; ++i) AddItem(os::ItemKind::Task, i == 5 ? kLong : "Task " + std::to_string(i));
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  // While the sinks are down the long subject changes.
  roads.link.DisconnectSinks();
  os::ChangeItem(kFolderTasks, 5, {{kSubject, V::Text(std::wstring(kRenamed.begin(), kRenamed.end()))}});
  EXPECT_TRUE(os::RaisePostedEvents());
  os::ResetCallCounts();
  roads.ConnectWhenOutlookRuns();
  ASSERT_TRUE(outbound::sinksConnected);
  // Once for the subject the table cut, once to look at the item changed meanwhile.
  EXPECT_EQ(os::CallCount(kGetItemFromId), 2);
  EXPECT_EQ(os::CallCount(os::ObjectKind::Items, kItem, os::CallKind::Method), 0);
  std::cout << "A reconnection with one long subject among 20 tasks: " << os::TotalCalls() << " calls to Outlook\n";
  RemoveTask(5);
  EXPECT_EQ(Received(), (Lines{"9 " + kRenamed, "1 " + kRenamed}));
}

}  // namespace

}  // namespace orvane
