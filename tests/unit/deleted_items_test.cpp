// Deletions found by the plug-in's frame in the stand-in Outlook of this process and sent to a main
// application's window of this thread; the frame's ticks are sent directly.
#include "app/intake.h"
#include "tests/common/test_window.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
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
  COPYDATASTRUCT data{intake::kTaskKind, static_cast<DWORD>(record.size()), const_cast<char*>(record.data())};
  SendMessageA(frame.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  SendMessageA(frame.Window(), RegisterWindowMessageA(action), 0, 0);
  Tick(frame, kRecordTimer);
  meanwhile();
  Tick(frame, kSinkTimer);
}

class DeletedItemsTest : public WriterTest {
protected:
  void SetUp() override {
    WriterTest::SetUp();
    recordPending = 0;
    WritePrivateProfileStringA("Orvane", "OutlookToOrvane", "1", IniPath().c_str());
    os::ShowMainWindow();
  }
  void TearDown() override {
    os::CloseMainWindow();
    DeleteFileA(IniPath().c_str());
    WriterTest::TearDown();
  }
  static std::string IniPath() {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, directory);
    return std::string(directory) + "\\Orvane.ini";
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

struct Scenario {
  const char* what;
  Lines tasks;  // in Outlook when the plug-in connects
  std::function<void(CMainFrame&)> userAndMainApplication;
  Lines received;
  Lines log;  // of the checks and comparisons, and of failures
};

void RemoveTask(int index) { os::RemoveItem(kFolderTasks, index); }

TEST_F(DeletedItemsTest, EveryItemTheUserDeletesReachesTheMainApplicationOnce) {
  const std::string kLong(300, 'L');
  const Scenario scenarios[] = {
      {"one of two alike, then another",
       {"Same", "Same", "C"},
       [](CMainFrame&) { RemoveTask(2), RemoveTask(2); },
       {"1 Same", "1 C"},
       {}},
      {"an add and a delete",
       {"A", "B"},
       [](CMainFrame&) { AddItem(os::ItemKind::Task, "N"), RemoveTask(1); },
       {"6 N", "1 A"},
       {}},
      {"a rename",
       {"A", "B"},
       [](CMainFrame&) {
         os::ChangeItem(kFolderTasks, 1, {{kSubject, V::Text(L"A2")}}), RemoveTask(2), RemoveTask(1);
       },
       {"9 A2", "1 B", "1 A2"},
       {}},
      {"300 characters and none",
       {kLong, "", "B"},
       [](CMainFrame&) { RemoveTask(3), RemoveTask(2), RemoveTask(1); },
       {"1 B", "1 ", "1 " + kLong},
       {}},
      {"a bulk delete Outlook does not announce",
       {"A", "B", "C", "D"},
       [](CMainFrame& frame) { os::RemoveItemsWithoutEvents(kFolderTasks, 1, 3), Tick(frame, kDeletedItemsTimer); },
       {"1 A", "1 B", "1 C"},
       {}},
      {"each folder its kind",
       {"T"},
       [](CMainFrame&) {
         AddItem(os::ItemKind::Note, "N"), AddItem(os::ItemKind::Appointment, "P1");
         AddItem(os::ItemKind::Appointment, "P2");
         os::RemoveItem(kFolderNotes, 1), os::RemoveItem(kFolderCalendar, 1);
       },
       {"8 N", "7 P1", "7 P2", "F N", "0 P1"},
       {"CheckDeletedItemsInOutlook::Step 2::ApptsFound",
        "CheckDeletedItemsInOutlook::Step 3::Appts Had Been Sent To OV"}},
      {"a folder read empty for a moment",
       Lines(11, "T"),
       [](CMainFrame& frame) {
         os::ReadFolderEmpty(kFolderTasks, 1), Tick(frame, kDeletedItemsTimer), Tick(frame, kDeletedItemsTimer);
       },
       {},
       {"OrvaneOutlook=>CheckDeletedItemsInOutlook::The Tasks folder reads empty, 11 deletions held back"}},
      {"Outlook going away",
       {"A", "B"},
       [](CMainFrame&) {
         os::FailCall(os::ObjectKind::NameSpace, kGetDefaultFolder, os::CallKind::Method, L"Outlook is closing",
                      os::FaultRule::kAlways);
         os::CloseMainWindow(), RemoveTask(1);
         os::ClearFailures(), os::ShowMainWindow(), RemoveTask(1);
       },
       {"1 A", "1 B"},
       {}},
      {"the sinks down for the main application",
       {"Mine", "Theirs", "Kept"},
       [](CMainFrame& frame) {
         MainApplicationSends(frame, "Orvane_DeleteNow", "Mine", [] { RemoveTask(1); });
         MainApplicationSends(frame, "Orvane_ChangeNow",
                              testcommon::TaskFields().Set(1, "Kept v2").JoinedAfter("Kept"));
         RemoveTask(1);
       },
       {"1 Theirs", "1 Kept v2"},
       {}},
  };
  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.what);
    for (const std::string& subject : scenario.tasks) AddItem(os::ItemKind::Task, subject);
    {
      CMainFrame frame;
      ASSERT_NO_FATAL_FAILURE(Connect(frame));
      scenario.userAndMainApplication(frame);
      EXPECT_EQ(Received(), scenario.received);
      EXPECT_EQ(DetectionLog(), scenario.log);
    }
    os::ResetStore();
    mainApp_.copies.clear();
    DeleteFileA("OrvaneErrorLog.txt");
  }
}

TEST_F(DeletedItemsTest, ACheckReadsEachFolderOnceByTheItemsIds) {
  constexpr long kItems = 1000;
  for (const os::ItemKind kind : {os::ItemKind::Task, os::ItemKind::Appointment, os::ItemKind::Note}) {
    for (long i = 1; i <= kItems; ++i) AddItem(kind, "Item " + std::to_string(i));
  }
  CMainFrame frame;
  ASSERT_NO_FATAL_FAILURE(Connect(frame));
  os::ResetCallCounts();
  RemoveTask(500);
  // Per folder the folder, its Items, Count, then each item and its EntryID; GetNamespace and
  // Logon for the session opened afresh.
  const long bound = 2 * (2 * kItems + 3) + (2 * (kItems - 1) + 3) + 2;
  std::cout << "A check of three folders of " << kItems << " items, one deleted: " << os::TotalCalls()
            << " calls to Outlook (bound " << bound << ")\n";
  EXPECT_LE(os::TotalCalls(), bound);
  EXPECT_EQ(Received(), Lines{"1 Item 500"});
}

}  // namespace

}  // namespace orvane
