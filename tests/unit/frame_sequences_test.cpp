// The plug-in's frame with its real roads against the stand-in Outlook of this process: what its
// timers' sequences cost Outlook, and what its hand-off leaves to a successor.
#include "app/instance.h"
#include "app/intake.h"
#include "app/main_frame.h"
#include "app/plugin_control.h"
#include "outbound/outlook_link.h"
#include "tests/unit/recording_control.h"
#include "tests/unit/roads.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {

namespace {

using namespace writertest;

class FrameSequencesTest : public RoadsTest {
protected:
  void SetUp() override {
    RoadsTest::SetUp();
    session_.Release();
    app::recordPending = 0;
    app::pendingAction = 0;
  }
  void Tick(const app::CMainFrame& frame, UINT_PTR timer) { SendMessageA(frame.Window(), WM_TIMER, timer, 0); }

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
