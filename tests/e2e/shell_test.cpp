// The plug-in's process shell as the desktop sees it: single instance, hidden frame, messages
// from the main application, and the watchdog's exits.
#include "tests/e2e/harness.h"

#include "app/watchdog_rules.h"
#include "base/module_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace orvane {

namespace {

using namespace e2e;

constexpr char kFrameClass[] = "OrvaneOutlookFrame";
constexpr char kFrameTitle[] = "Untitled - stub";

class ShellTest : public testing::Test {
protected:
  void SetUp() override {
    EndStrayPlugins();
    // A plug-in with the link on reaches Outlook: one left hung by an earlier test would hold it.
    EXPECT_EQ(EndLeftoverStandin(), "");
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

  std::string workDirectory_;
};

TEST_F(ShellTest, HiddenFrameTitledUntitledStubUntilCloseStubNowEndsTheProcessAtOnce) {
  TestWindow mainApp("Orvane Main", "Orvane");
  ChildProcess plugin;
  const HWND frame = StartAndFindFrame(plugin);
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(IsWindowVisible(frame));
  SendAction(frame, "Orvane_CloseStubNow");
  ASSERT_TRUE(plugin.WaitForExit(1s));
  EXPECT_EQ(plugin.ExitCode(), 0u);
}

TEST_F(ShellTest, NewInstanceEndsAtOnceWhileOneRunsOrAWindowHasTheFramesTitle) {
  TestWindow mainApp("Orvane Main", "Orvane");
  const auto expectEndsAtOnce = [this] {
    ChildProcess plugin = StartPlugin(workDirectory_);
    ASSERT_TRUE(plugin.WaitForExit(5s));
    EXPECT_EQ(plugin.ExitCode(), 0u);
    EXPECT_EQ(FindWindowA(kFrameClass, kFrameTitle), nullptr);
  };
  ChildProcess first;
  ASSERT_NE(StartAndFindFrame(first), nullptr);
  // The first frame is renamed, so only the mutex can stop the new process.
  SetWindowTextA(FindWindowA(kFrameClass, kFrameTitle), "renamed by the test");
  expectEndsAtOnce();
  EXPECT_TRUE(first.Running());
  first.Terminate();
  const TestWindow impostor("SomeOtherProgram", kFrameTitle);
  expectEndsAtOnce();
}

TEST_F(ShellTest, AutomationStartMakesNoFrame) {
  TestWindow mainApp("Orvane Main", "Orvane");
  ChildProcess plugin = StartPlugin(workDirectory_, "/Automation");
  ASSERT_TRUE(plugin.WaitForInputIdle(10s)) << "the start did not reach the message loop";
  EXPECT_TRUE(plugin.Running());
  EXPECT_EQ(FindWindowA(kFrameClass, nullptr), nullptr);
}

// COM starts the document server by the registered command: a path with blanks is quoted, lest
// "C:\Program Files\..." start "C:\Program.exe".
TEST_F(ShellTest, ServerIsRegisteredByItsQuotedPathWhenThatPathHoldsBlanks) {
  TestWindow mainApp("Orvane Main", "Orvane");
  const std::string bin = ModuleDirectory();
  const std::string installed = workDirectory_ + "\\Program Files\\Orvane Outlook";
  std::filesystem::create_directories(installed);
  const std::string program = installed + "\\OrvaneOutlook.exe";
  ASSERT_TRUE(CopyFileA((bin + "\\OrvaneOutlook.exe").c_str(), program.c_str(), FALSE));
  const std::string serverKey = "Software\\Classes\\CLSID\\{6C1F3A52-2B7E-4E0C-9A61-3D0B5E7A9C14}\\LocalServer32";
  RegDeleteKeyA(HKEY_CURRENT_USER, serverKey.c_str());
  ChildProcess plugin(program.substr(bin.size() + 1), "", workDirectory_);
  ASSERT_NE(WaitForWindow(kFrameClass, kFrameTitle, 10s), nullptr);
  char command[MAX_PATH * 2] = "";
  DWORD size = sizeof command;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, serverKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, command, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(command), "\"" + program + "\" /Automation");
}

// Desktops on which the watchdog must go on: its tick passes them and reaches the updater in
// front, whose box is the sign that it did.
struct PassingDesktop {
  const char* what;
  int iniLink;
  const char* winIniLink;
  bool mainApp;
  const char* installerTitle;
};

TEST_F(ShellTest, WatchdogPassesUntilTheUpdaterComesToTheFront) {
  const PassingDesktop desktops[] = {
      {"link on in Orvane.ini, no main application", 1, nullptr, false, nullptr},
      {"link on in WIN.INI, the default in Orvane.ini", 0, "1", false, nullptr},
      {"installer class with another title", 0, nullptr, true, "Some other product - InstallShield Wizard"},
  };
  for (const PassingDesktop& desktop : desktops) {
    SCOPED_TRACE(desktop.what);
    WriteIniSetting(workDirectory_, "OutlookToOrvane", desktop.iniLink);
    WriteWinIniSetting("OutlookToOrvane", desktop.winIniLink);
    std::optional<TestWindow> mainApp;
    if (desktop.mainApp) mainApp.emplace("Orvane Main", "Orvane");
    std::optional<TestWindow> installer;
    if (desktop.installerTitle) installer.emplace(app::kInstallerClass, desktop.installerTitle);
    ChildProcess plugin;
    ASSERT_NE(StartAndFindFrame(plugin), nullptr);
    const UpdaterInFront updater;
    ASSERT_TRUE(updater.InFront());
    const MessageBoxSeen seen = ExpectBoxThenExit(plugin, app::kUpdaterInFrontText);
    EXPECT_EQ(seen.owner, updater.Get());
    EXPECT_TRUE(seen.topmost);
  }
}

TEST_F(ShellTest, WithoutMainApplicationThePlugInEndsOnceTheLinkIsOff) {
  WriteWinIniSetting("OutlookToOrvane", "1");
  ChildProcess plugin;
  ASSERT_NE(StartAndFindFrame(plugin), nullptr);
  // A running plug-in sees the edit on its next read.
  WriteWinIniSetting("OutlookToOrvane", "0");
  ASSERT_TRUE(plugin.WaitForExit(2s));
  EXPECT_EQ(plugin.ExitCode(), 0u);
}

struct ClosingRule {
  bool installer;  // with the updater package's window too: the installer's rule comes first
  const char* text;
  bool systemModal;
};

TEST_F(ShellTest, InstallerAndUpdaterPackageCloseThePlugInAfterTheirBoxDroppingTheRecord) {
  TestWindow mainApp("Orvane Main", "Orvane");
  const ClosingRule rules[] = {{true, app::kInstallerText, false}, {false, app::kUpdaterPackageText, true}};
  for (const ClosingRule& rule : rules) {
    SCOPED_TRACE(rule.text);
    DeleteFileA((workDirectory_ + "\\OrvaneErrorLog.txt").c_str());
    ChildProcess plugin;
    const HWND frame = StartAndFindFrame(plugin);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(SendRecord(frame, 0x2BB7B2A6, "waiting for its action"));
    std::optional<TestWindow> installer;
    if (rule.installer) installer.emplace(app::kInstallerClass, app::kInstallerTitle);
    const TestWindow package("UpdaterPackage", app::kUpdaterPackageTitle);
    const MessageBoxSeen seen = ExpectBoxThenExit(plugin, rule.text);
    EXPECT_EQ(seen.topmost, rule.systemModal);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_NE(ReadFileText(workDirectory_ + "\\OrvaneErrorLog.txt")
                  .find("OrvaneOutlook=>WatchDesktop::Closing drops the record of kind 0x2BB7B2A6"),
              std::string::npos);
  }
}

}  // namespace

}  // namespace orvane
