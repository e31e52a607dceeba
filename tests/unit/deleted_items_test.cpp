// Deletions found by the plug-in's frame in the stand-in Outlook of this process and sent to a main
// application's window of this thread; the frame's ticks are sent directly.
#include "app/intake.h"
#include "tests/common/test_window.h"
#include "tests/unit/writer_test_support.h"

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

void Tick(CMainFrame& frame, UINT_PTR timer) { SendMessageA(frame.Window(), WM_TIMER, timer, 0); }

// The main application's task record and action, performed by the record tick; the user does
// `meanwhile` while the sinks are down, and the sink tick connects them again.
void MainApplicationSends(
    CMainFrame& frame, const char* action, const std::string& record, const std::function<void()>& meanwhile = [] {}) {
  COPYDATASTRUCT data{kinds::kTask, static_cast<DWORD>(record.size()), const_cast<char*>(record.data())};
  SendMessageA(frame.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  SendMessageA(frame.Window(), RegisterWindowMessageA(action), 0, 0);
  Tick(frame, kRecordTimer);
  // Outlook raises the write's events once the tick has returned, before the sink tick comes.
  EXPECT_TRUE(os::RaisePostedEvents());
  meanwhile();
  Tick(frame, kSinkTimer);
}

class DeletedItemsTest : public WriterTest {
protected:
  void SetUp() override {
    WriterTest::SetUp();
    recordPending = 0;
    std::ofstream("Orvane.ini") << "[Orvane]\nOutlookToOrvane=1\n";
    os::ShowMainWindow();
  }
  void TearDown() override {
    os::CloseMainWindow();
    DeleteFileA("Orvane.ini");
    WriterTest::TearDown();
  }
  // The plug-in's frame comes up and connects to Outlook; the items there are taken silently.
  static void Connect(CMainFrame& frame) {
    ASSERT_TRUE(frame.Create());
    Tick(frame, kSinkTimer);
    ASSERT_TRUE(sinksConnected);
  }
  // Each record as the last hex digit of its kind and, for a deletion, its whole text, else its
  // first field.
  Lines Received() const {
    Lines seen;
    for (const auto& [kind, r] : mainApp_.copies) {
      const bool deleted = kind >= 0x2BB7B2AF;
      seen.push_back("0123456789ABCDEF"[kind & 0xF] + (" " + (deleted ? r : r.substr(0, r.find_first_of("\t*")))));
    }
    return seen;
  }
  // The lines of the checks and comparisons, and of failures.
  Lines DetectionLog() const {
    Lines lines = LogTexts();
    const auto other = [](const std::string& line) {
      return line.find("ItemsInOutlook::") == std::string::npos && line.find("=>") == std::string::npos;
    };
    lines.erase(std::remove_if(lines.begin(), lines.end(), other), lines.end());
    return lines;
  }

  TestWindow mainApp_{"Orvane Main", "Orvane"};
};

// The user's deletion, with its ItemRemove raised once the call has returned.
void RemoveTask(int index) {
  os::RemoveItem(kFolderTasks, index);
  EXPECT_TRUE(os::RaisePostedEvents());
}

// The user deletes in every way Outlook allows; each item reaches the main application once, by
// its last subject, and nothing else does.
TEST_F(DeletedItemsTest, EveryItemTheUserDeletesReachesTheMainApplicationOnce) {
  const std::string kLong(300, 'L');
  for (const std::string& subject : Lines{"Same", "Same", kLong, "", "Renamed", "B1", "B2", "Mine", "Theirs", "Kept"}) {
    AddItem(os::ItemKind::Task, subject);
  }
  AddItem(os::ItemKind::Note, "N");
  for (int i = 1; i <= 12; ++i) AddItem(os::ItemKind::Appointment, "P" + std::to_string(i));
  CMainFrame frame;
  ASSERT_NO_FATAL_FAILURE(Connect(frame));
  // One of two alike, then 300 characters, then no subject.
  RemoveTask(2), RemoveTask(2), RemoveTask(2);
  // A rename is followed.
  os::ChangeItem(kFolderTasks, 2, {{kSubject, V::Text(L"Renamed v2")}}), os::RaisePostedEvents(), RemoveTask(2);
  // Two at once, which Outlook does not announce, are found within the minute.
  os::RemoveItemsWithoutEvents(kFolderTasks, 2, 2), Tick(frame, kDeletedItemsTimer);
  // While the sinks are down the main application deletes one and the user another; then the
  // main application renames one.
  MainApplicationSends(frame, "Orvane_DeleteNow", "Mine", [] { RemoveTask(2); });
  MainApplicationSends(frame, "Orvane_ChangeNow", testcommon::TaskFields().Set(1, "Kept v2").JoinedAfter("Kept"));
  RemoveTask(2);
  os::RemoveItem(kFolderNotes, 1), os::RemoveItem(kFolderCalendar, 1), os::RaisePostedEvents();
  // The calendar reads empty for a moment.
  os::ReadFolderEmpty(kFolderCalendar, 1), Tick(frame, kDeletedItemsTimer), Tick(frame, kDeletedItemsTimer);
  // Outlook going away: nothing is compared until it is back.
  os::FailCall(os::ObjectKind::NameSpace, kGetDefaultFolder, os::CallKind::Method, L"Closing", os::FaultRule::kAlways);
  os::CloseMainWindow(), RemoveTask(1);
  os::ClearFailures(), os::ShowMainWindow(), Tick(frame, kDeletedItemsTimer);

  EXPECT_EQ(Received(), (Lines{"1 Same", "1 " + kLong, "1 ", "9 Renamed v2", "1 Renamed v2", "1 B1", "1 B2", "1 Theirs",
                               "1 Kept v2", "F N", "0 P1", "1 Same"}));
  EXPECT_EQ(
      DetectionLog(),
      (Lines{"CheckDeletedItemsInOutlook::Step 2::ApptsFound",
             "CheckDeletedItemsInOutlook::Step 3::Appts Had Been Sent To OV",
             "OrvaneOutlook=>CheckDeletedItemsInOutlook::The Calendar folder reads empty, 11 deletions held back"}));
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
  CMainFrame frame;
  ASSERT_NO_FATAL_FAILURE(Connect(frame));
  long tasks = kItems;
  for (const ReadingPath& path :
       {ReadingPath{"through the folders' tables", true}, ReadingPath{"item by item", false}}) {
    os::HideMember(os::ObjectKind::Folder, kGetTable, !path.tables);
    os::ResetCallCounts();
    RemoveTask(500);
    --tasks;
    // Item by item: per folder the folder, its StoreID and EntryID, the table refused, its Items,
    // Count, then each item and its EntryID; GetNamespace and Logon for the session opened afresh.
    const long bound = path.tables ? 60 : 2 * (2 * kItems + 6) + (2 * tasks + 6) + 2;
    std::cout << "A check of three folders of " << kItems << " items, one deleted, " << path.name << ": "
              << os::TotalCalls() << " calls to Outlook (bound " << bound << ")\n";
    EXPECT_LE(os::TotalCalls(), bound) << path.name;
  }
  EXPECT_EQ(Received(), (Lines{"1 Item 500", "1 Item 501"}));
}

// A table that fails or answers oddly fails the read like any failing call: the picture stays,
// so the deletion is reported by the next check, and never an empty read for a full folder.
TEST_F(DeletedItemsTest, AFailedTableReadKeepsThePicture) {
  for (const std::string& subject : Lines{"A", "B"}) AddItem(os::ItemKind::Task, subject);
  CMainFrame frame;
  ASSERT_NO_FATAL_FAILURE(Connect(frame));
  os::FailCall(os::ObjectKind::Table, os::kTableGetArray, os::CallKind::Method, L"Table unreadable");
  RemoveTask(1);
  EXPECT_EQ(Received(), Lines{});
  EXPECT_EQ(DetectionLog(), Lines{"OrvaneOutlook=>Itemdeleted::Table unreadable"});
  Tick(frame, kDeletedItemsTimer);
  EXPECT_EQ(Received(), Lines{"1 A"});
}

}  // namespace

}  // namespace orvane
