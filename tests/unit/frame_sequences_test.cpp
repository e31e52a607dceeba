// The plug-in's frame with its real roads against the stand-in Outlook of this process: what its
// timers' sequences cost Outlook, and what its hand-off leaves to a successor.
#include "app/instance.h"
#include "app/intake.h"
#include "app/main_frame.h"
#include "app/plugin_control.h"
#include "app/session_end.h"
#include "outbound/outlook_link.h"
#include "tests/unit/recording_control.h"
#include "tests/unit/roads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace orvane {

namespace {

using namespace writertest;
using Lines = std::vector<std::string>;

class FrameSequencesTest : public RoadsTest {
protected:
  void SetUp() override {
    RoadsTest::SetUp();
    session_.Release();
    app::recordPending = 0;
    app::pendingAction = 0;
  }
  void Tick(const app::CMainFrame& frame, UINT_PTR timer) { SendMessageA(frame.Window(), WM_TIMER, timer, 0); }
  // The main application's record and its action, then the record timer's tick.
  void CommandAndTick(const app::CMainFrame& frame, uint32_t kind, const std::string& record, const char* action) {
    COPYDATASTRUCT data{kind, static_cast<DWORD>(record.size()), const_cast<char*>(record.c_str())};
    SendMessageA(frame.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    SendMessageA(frame.Window(), RegisterWindowMessageA(action), 0, 0);
    Tick(frame, app::kRecordTimer);
  }

  RecordingControl control_;
  const ScopedProcessControl inCharge_{control_};
};

// The main application posts "Orvane_SaveNow" and is slow to send the task itself, or its record
// was refused for its size and never comes. Meanwhile the plug-in waits: its sinks stay connected
// and it asks nothing of Outlook, however many seconds the record timer ticks.
TEST_F(FrameSequencesTest, AnActionWaitingForItsRecordCostsOutlookNothing) {
  for (int task = 1; task <= 20; ++task) AddItem(os::ItemKind::Task, "Task " + std::to_string(task));
  app::CMainFrame frame;
  ASSERT_TRUE(frame.Create());
  Tick(frame, app::kSinkTimer);
  ASSERT_TRUE(outbound::sinksConnected);
  os::ResetCallCounts();
  SendMessageA(frame.Window(), RegisterWindowMessageA("Orvane_SaveNow"), 0, 0);
  for (int second = 0; second < 5; ++second) {
    Tick(frame, app::kRecordTimer);
    Tick(frame, app::kSinkTimer);
  }
  EXPECT_TRUE(outbound::sinksConnected);
  EXPECT_EQ(os::TotalCalls(), 0);
  // The record that comes at last is performed by the next tick, with the sinks down meanwhile.
  const std::string record = testcommon::TaskFields().Set(1, "At last").Joined();
  COPYDATASTRUCT data{mainapp::kTask, static_cast<DWORD>(record.size() + 1), const_cast<char*>(record.c_str())};
  SendMessageA(frame.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  Tick(frame, app::kRecordTimer);
  EXPECT_EQ(app::recordPending, 0);
  EXPECT_EQ(Items(outlook::kFolderTasks).size(), 21u);
}

// The main application links the user's task "Report" while Outlook shows the Tasks folder empty
// (a store still loading), though the plug-in knows the task: the command waits, a tick at a time,
// and is performed once the folder shows its items. A folder that stays empty holds it for 30
// ticks, then it is performed as the folder is. Either way the wait is logged once. The commands
// that come meanwhile, a tick apart, wait behind it rather than replace it, and go in their order
// without a wait of their own.
TEST_F(FrameSequencesTest, ACommandWaitsForItsFolderWhileOutlookShowsItEmpty) {
  struct Case {
    const char* what;
    int emptyReads;
    int waitingTicks;
    int32_t linkOfReport, linkOfPlan;
  };
  for (const Case& c :
       {Case{"the folder shows its items again", 3, 3, 57, 58}, Case{"the folder stays empty", -1, 30, 0, 0}}) {
    SCOPED_TRACE(c.what);
    StartOver();
    AddItem(os::ItemKind::Task, "Report"), AddItem(os::ItemKind::Task, "Plan");
    app::CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    Tick(frame, app::kSinkTimer);
    ASSERT_TRUE(outbound::sinksConnected);
    os::ReadFolderEmpty(outlook::kFolderTasks, c.emptyReads);
    CommandAndTick(frame, mainapp::kTaskLink, "Report*57", "Orvane_SaveNow");
    CommandAndTick(frame, mainapp::kTaskLink, "Plan*58", "Orvane_SaveNow");
    CommandAndTick(frame, mainapp::kTask, testcommon::TaskFields().Set(1, "New").Joined(), "Orvane_SaveNow");
    for (int tick = 3; tick < c.waitingTicks; ++tick) Tick(frame, app::kRecordTimer);
    EXPECT_EQ(Items(outlook::kFolderTasks).size(), 2u) << "all wait while the folder shows no items";
    EXPECT_EQ(Items(outlook::kFolderTasks)[0].Get(outlook::kInternetCodepage), os::Value::Int32(0));
    for (int tick = 0; tick < 3; ++tick) Tick(frame, app::kRecordTimer);
    os::ReadFolderEmpty(outlook::kFolderTasks, 0);
    ASSERT_EQ(Items(outlook::kFolderTasks).size(), 3u);
    EXPECT_EQ(Items(outlook::kFolderTasks)[0].Get(outlook::kInternetCodepage), os::Value::Int32(c.linkOfReport));
    EXPECT_EQ(Items(outlook::kFolderTasks)[1].Get(outlook::kInternetCodepage), os::Value::Int32(c.linkOfPlan));
    const Lines log = LogTexts();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.find("shows no items") != std::string::npos; }),
              1)
        << ::testing::PrintToString(log);
  }
}

// The user logs off while the main application's link of "Report" waits for the Tasks folder and
// its new task waits behind it: the first is kept for the next process, which performs it; the
// one behind is logged as lost, as the kept file holds one command.
TEST_F(FrameSequencesTest, TheSessionsEndKeepsTheCommandThatWaitsForItsFolder) {
  AddItem(os::ItemKind::Task, "Report");
  {
    app::CMainFrame frame;
    ASSERT_TRUE(frame.Create());
    Tick(frame, app::kSinkTimer);
    os::ReadFolderEmpty(outlook::kFolderTasks, -1);
    CommandAndTick(frame, mainapp::kTaskLink, "Report*57", "Orvane_SaveNow");
    CommandAndTick(frame, mainapp::kTask, testcommon::TaskFields().Set(1, "New").Joined(), "Orvane_SaveNow");
    SendMessageA(frame.Window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(control_.endings, std::vector<Ending>{Ending::ExitNormally});
  }
  const Lines log = LogTexts();
  for (const char* line : {"OrvaneOutlook=>OnEndSession::The record of kind 0x2BB7B2AC is kept for the next start",
                           "OrvaneOutlook=>OnEndSession::The record of kind 0x2BB7B2A6 cannot be kept and is lost"}) {
    EXPECT_EQ(std::count(log.begin(), log.end(), line), 1) << line << ::testing::PrintToString(log);
  }
  os::ReadFolderEmpty(outlook::kFolderTasks, 0);
  app::CMainFrame next;
  ASSERT_TRUE(next.Create());
  Tick(next, app::kSinkTimer);
  app::TakeUpHeldRecord(next.Window());
  Tick(next, app::kRecordTimer);
  ASSERT_EQ(Items(outlook::kFolderTasks).size(), 1u);
  EXPECT_EQ(Items(outlook::kFolderTasks)[0].Get(outlook::kInternetCodepage), os::Value::Int32(57));
}

// The user deletes or renames the task "Report" in Outlook while the main application's change of
// it waits for its tick, and the change finds no task of its subject. Made anew, it would leave an
// item in Outlook alone (the main application deletes its own when told), or two items with one
// link id (it takes the new subject when told). So it makes nothing, and says so, whether the
// user's doing was already seen (its record waits behind the command) or not yet (Outlook raised
// no event so far, or seen by a process that ended then); the main application is told of it after.
TEST_F(FrameSequencesTest, AChangeOfATaskTheUserDeletesOrRenamesMeanwhileMakesNothingAnew) {
  enum class Act { kDelete, kRename };
  struct Case {
    const char* what;
    Act act;
    bool seen;
    bool restart;  // the process that saw it ends holding the command, and the next one performs it
    Lines received;
    size_t tasks;
  };
  for (const Case& c : {Case{"deleted unseen", Act::kDelete, false, false, {"1 Report"}, 1},
                        Case{"deleted and seen", Act::kDelete, true, false, {"1 Report"}, 1},
                        Case{"renamed unseen", Act::kRename, false, false, {"9 Renamed"}, 2},
                        Case{"renamed and seen", Act::kRename, true, false, {"9 Renamed"}, 2},
                        Case{"renamed and seen by a process that ended", Act::kRename, true, true, {"9 Renamed"}, 2}}) {
    SCOPED_TRACE(c.what);
    StartOver();
    mainApp_.copies.clear();
    AddItem(os::ItemKind::Task, "Report", {{outlook::kInternetCodepage, os::Value::Int32(57)}});
    AddItem(os::ItemKind::Task, "Other");
    auto frame = std::make_unique<app::CMainFrame>();
    ASSERT_TRUE(frame->Create());
    Tick(*frame, app::kSinkTimer);
    ASSERT_TRUE(outbound::sinksConnected);
    const std::string record = testcommon::TaskFields().Set(1, "Report").JoinedAfter("Report");
    COPYDATASTRUCT data{mainapp::kTask, static_cast<DWORD>(record.size() + 1), const_cast<char*>(record.c_str())};
    SendMessageA(frame->Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    SendMessageA(frame->Window(), RegisterWindowMessageA("Orvane_ChangeNow"), 0, 0);
    if (c.act == Act::kDelete) {
      os::RemoveItem(outlook::kFolderTasks, 1);
    } else {
      os::ChangeItem(outlook::kFolderTasks, 1, {{outlook::kSubject, os::Value::Text(L"Renamed")}});
    }
    if (c.seen) {
      ASSERT_TRUE(os::RaisePostedEvents());
      Tick(*frame, app::kDeletedItemsTimer);
      Tick(*frame, app::kReportTimer);
      EXPECT_EQ(Received(), Lines{}) << "the user's doing waits for the command";
    }
    if (c.restart) {
      frame.reset();
      frame = std::make_unique<app::CMainFrame>();
      ASSERT_TRUE(frame->Create());
      // As the next process takes up the command the last one held at its end.
      SendMessageA(frame->Window(), RegisterWindowMessageA("Orvane_ChangeNow"), 0, 0);
      Tick(*frame, app::kSinkTimer);
      EXPECT_EQ(Received(), Lines{}) << "the record kept waits for the command";
    }
    Tick(*frame, app::kRecordTimer);
    EXPECT_EQ(app::recordPending, 0);
    ASSERT_TRUE(os::RaisePostedEvents());
    for (const UINT_PTR timer :
         {app::kSinkTimer, app::kDeletedItemsTimer, app::kReportTimer, app::kDeletedItemsTimer, app::kReportTimer}) {
      Tick(*frame, timer);
    }
    EXPECT_EQ(Received(), c.received);
    EXPECT_EQ(Items(outlook::kFolderTasks).size(), c.tasks);
    const Lines log = LogTexts();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.find("not make it anew") != std::string::npos; }),
              1)
        << ::testing::PrintToString(log);
  }
}

// The plug-in hands over after its 15 minutes while the main application runs: the main
// application is told, and may start the successor at once. The successor must find the single-
// instance mutex free, though this process still lets go of its sinks on a busy Outlook.
TEST_F(FrameSequencesTest, AHandOffToTheMainApplicationLetsTheInstanceGoBeforeItIsTold) {
  ASSERT_TRUE(app::ClaimSingleInstance());
  RecordingControl ending;
  app::PluginControl plugin(ending);
  plugin.HandOff(mainApp_.Get());
  EXPECT_EQ(ending.endings, std::vector<Ending>{Ending::ExitNormally});
  const HANDLE successor = CreateMutexA(nullptr, FALSE, "INSTANCE_CHECK");
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(successor);
}

}  // namespace

}  // namespace orvane
