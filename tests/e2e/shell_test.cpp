// The plug-in's process shell as the desktop sees it: single instance, hidden frame, messages
// from the main application, and the watchdog's exits.
#include "tests/e2e/harness.h"

#include "app/watchdog_rules.h"

#include <gtest/gtest.h>

namespace orvane {

namespace {

using namespace e2e;

constexpr char kFrameClass[] = "OrvaneOutlookFrame";
constexpr char kFrameTitle[] = "Untitled - stub";

class ShellTest : public testing::Test {
protected:
  void SetUp() override {
    EndStrayPlugins();
    WriteWinIniSetting("OutlookToOrvane", nullptr);
    workDirectory_ = FreshWorkDirectory();
  }
  void TearDown() override {
    EndStrayPlugins();
    WriteWinIniSetting("OutlookToOrvane", nullptr);
  }

  // Starts the plug-in and waits for its frame.
  HWND StartAndFindFrame(ChildProcess& plugin) {
    plugin = StartPlugin(workDirectory_);
    EXPECT_TRUE(plugin.Started());
    HWND frame = WaitForWindow(kFrameClass, kFrameTitle, 10s);
    EXPECT_NE(frame, nullptr);
    if (frame) {
      EXPECT_EQ(WindowProcess(frame), plugin.Id());
    }
    return frame;
  }

  // The plug-in shows the box with the given text, and ends after it is dismissed.
  MessageBoxSeen ExpectBoxThenExit(ChildProcess& plugin, const char* text) {
    MessageBoxSeen seen = WaitForMessageBox(watchdog::kCaption, 10s);
    EXPECT_NE(seen.box, nullptr);
    EXPECT_EQ(seen.text, text);
    if (seen.box) DismissMessageBox(seen.box);
    EXPECT_TRUE(plugin.WaitForExit(5s));
    EXPECT_EQ(plugin.ExitCode(), 0u);
    return seen;
  }

  std::string workDirectory_;
};

TEST_F(ShellTest, FrameExistsHiddenAndTitledUntitledStub) {
  TestWindow mainApp("Orvane Main", "Orvane");
  ChildProcess plugin;
  const HWND frame = StartAndFindFrame(plugin);
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(IsWindowVisible(frame));
}

TEST_F(ShellTest, SecondInstanceEndsAtOnceWithoutAWindow) {
  TestWindow mainApp("Orvane Main", "Orvane");
  ChildProcess first;
  ASSERT_NE(StartAndFindFrame(first), nullptr);
  // The first frame is renamed, so only the mutex can stop the second process.
  SetWindowTextA(FindWindowA(kFrameClass, kFrameTitle), "renamed by the test");
  ChildProcess second = StartPlugin(workDirectory_);
  ASSERT_TRUE(second.WaitForExit(5s));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_EQ(FindWindowA(kFrameClass, kFrameTitle), nullptr);
  EXPECT_TRUE(first.Running());
}

TEST_F(ShellTest, WindowTitledUntitledStubStopsANewInstance) {
  TestWindow mainApp("Orvane Main", "Orvane");
  TestWindow impostor("SomeOtherProgram", kFrameTitle);
  ChildProcess plugin = StartPlugin(workDirectory_);
  ASSERT_TRUE(plugin.WaitForExit(5s));
  EXPECT_EQ(plugin.ExitCode(), 0u);
  EXPECT_EQ(FindWindowA(kFrameClass, nullptr), nullptr);
}

TEST_F(ShellTest, AutomationStartMakesNoFrame) {
  TestWindow mainApp("Orvane Main", "Orvane");
  ChildProcess plugin = StartPlugin(workDirectory_, "/Automation");
  PumpMessages(1500ms);
  EXPECT_TRUE(plugin.Running());
  EXPECT_EQ(FindWindowA(kFrameClass, nullptr), nullptr);
}

TEST_F(ShellTest, CloseStubNowEndsTheProcessAtOnce) {
  TestWindow mainApp("Orvane Main", "Orvane");
  ChildProcess plugin;
  const HWND frame = StartAndFindFrame(plugin);
  ASSERT_NE(frame, nullptr);
  SendAction(frame, "Orvane_CloseStubNow");
  ASSERT_TRUE(plugin.WaitForExit(1s));
  EXPECT_EQ(plugin.ExitCode(), 0u);
}

TEST_F(ShellTest, WithoutMainApplicationAndWithTheLinkOffThePlugInEnds) {
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 0);
  ChildProcess plugin;
  ASSERT_NE(StartAndFindFrame(plugin), nullptr);
  ASSERT_TRUE(plugin.WaitForExit(1500ms));
  EXPECT_EQ(plugin.ExitCode(), 0u);
}

TEST_F(ShellTest, LinkSettingFromOrvaneIniKeepsThePlugInRunning) {
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 1);
  ChildProcess plugin;
  ASSERT_NE(StartAndFindFrame(plugin), nullptr);
  EXPECT_FALSE(plugin.WaitForExit(2s));
}

TEST_F(ShellTest, LinkSettingFromWinIniCountsWhenOrvaneIniHoldsTheDefault) {
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 0);
  WriteWinIniSetting("OutlookToOrvane", "1");
  ChildProcess plugin;
  ASSERT_NE(StartAndFindFrame(plugin), nullptr);
  EXPECT_FALSE(plugin.WaitForExit(2s));
  // A running plug-in sees the edit on its next read.
  WriteWinIniSetting("OutlookToOrvane", "0");
  EXPECT_TRUE(plugin.WaitForExit(2s));
}

TEST_F(ShellTest, InstallerWindowBringsItsBoxAndEndsThePlugIn) {
  TestWindow mainApp("Orvane Main", "Orvane");
  TestWindow installer(watchdog::kInstallerClass, watchdog::kInstallerTitle);
  TestWindow package("UpdaterPackage", watchdog::kUpdaterPackageTitle);  // the installer comes first
  ChildProcess plugin;
  ASSERT_NE(StartAndFindFrame(plugin), nullptr);
  const MessageBoxSeen seen = ExpectBoxThenExit(plugin, watchdog::kInstallerText);
  EXPECT_FALSE(seen.topmost) << "task-modal, not system-modal";
  EXPECT_EQ(seen.owner, nullptr);
}

TEST_F(ShellTest, InstallerClassWithAnotherTitleChangesNothing) {
  TestWindow mainApp("Orvane Main", "Orvane");
  TestWindow other(watchdog::kInstallerClass, "Some other product - InstallShield Wizard");
  ChildProcess plugin;
  ASSERT_NE(StartAndFindFrame(plugin), nullptr);
  EXPECT_EQ(WaitForMessageBox(watchdog::kCaption, 1500ms).box, nullptr);
  EXPECT_TRUE(plugin.Running());
}

TEST_F(ShellTest, UpdaterPackageWindowBringsItsSystemModalBoxAndEndsThePlugIn) {
  TestWindow mainApp("Orvane Main", "Orvane");
  TestWindow package("UpdaterPackage", watchdog::kUpdaterPackageTitle);
  ChildProcess plugin;
  ASSERT_NE(StartAndFindFrame(plugin), nullptr);
  const MessageBoxSeen seen = ExpectBoxThenExit(plugin, watchdog::kUpdaterPackageText);
  EXPECT_TRUE(seen.topmost);
  EXPECT_EQ(seen.owner, nullptr);
}

TEST_F(ShellTest, UpdaterInFrontBringsABoxOwnedByThatWindow) {
  TestWindow mainApp("Orvane Main", "Orvane");
  ChildProcess plugin;
  ASSERT_NE(StartAndFindFrame(plugin), nullptr);
  TestWindow updater("UpdaterSetup", "Setup - OrvaneUpdater");
  ShowWindow(updater.Get(), SW_SHOW);
  SetForegroundWindow(updater.Get());
  ASSERT_EQ(GetForegroundWindow(), updater.Get());
  const MessageBoxSeen seen = ExpectBoxThenExit(plugin, watchdog::kUpdaterInFrontText);
  EXPECT_EQ(seen.owner, updater.Get());
  EXPECT_TRUE(seen.topmost);
}

}  // namespace

}  // namespace orvane
