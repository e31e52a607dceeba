// The plug-in across endings and restarts, with the user's Outlook (the stand-in, on a store kept
// in a file) and the main application (the stand-in, logging what it receives) as processes of
// their own.
#pragma once

#include "tests/e2e/harness.h"

#include "base/com_scope.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

namespace e2e {

constexpr char kFrameClass[] = "OrvaneOutlookFrame";
constexpr int kNotesFolder = 12;

// The records the main application logged, each as its kind's name and its first field:
// "new task Report", "deleted task Report".
inline std::vector<std::string> RecordsIn(const std::string& log) {
  std::vector<std::string> records;
  size_t at = 0;
  while ((at = log.find("WM_COPYDATA kind=", at)) != std::string::npos) {
    const size_t open = log.find('(', at);
    const size_t close = log.find(')', open);
    const size_t data = log.find("data=", close);
    const size_t end = log.find_first_of("\r\n", data);
    if (open == std::string::npos || close == std::string::npos || data == std::string::npos) break;
    std::string text = log.substr(data + 5, end == std::string::npos ? std::string::npos : end - data - 5);
    text = text.substr(0, text.find("\\t"));
    records.push_back(log.substr(open + 1, close - open - 1) + " " + text);
    at = data;
  }
  return records;
}

inline std::vector<std::string> Deletions(const std::vector<std::string>& records) {
  std::vector<std::string> deleted;
  for (const std::string& record : records) {
    if (record.rfind("deleted ", 0) == 0) deleted.push_back(record);
  }
  return deleted;
}

class RestartFixture : public testing::Test {
protected:
  void SetUp() override {
    EndStrayPlugins();
    EXPECT_EQ(EndLeftoverStandin(), "");
    ASSERT_TRUE(apartment_.Ok());
    workDirectory_ = FreshWorkDirectory();
    WriteIniSetting(workDirectory_, "OutlookToOrvane", 1);
    mainApp_ = ChildProcess("Orvane.exe", "/log \"" + MainLogPath() + "\" " + mainAppOptions_, workDirectory_);
    ASSERT_NE(WaitForWindow("Orvane Main", nullptr, 10s), nullptr);
  }
  void TearDown() override {
    EndStrayPlugins();
    QuitOutlook();
    const HWND mainWindow = FindWindowA("Orvane Main", nullptr);
    if (mainWindow) PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    mainApp_.WaitForExit(5s);
  }

  std::string MainLogPath() const { return workDirectory_ + "\\OrvaneMain.log"; }
  std::string StorePath(const char* name) const { return workDirectory_ + "\\" + name + ".store"; }
  std::string PluginLog() const { return ReadFileText(workDirectory_ + "\\OrvaneErrorLog.txt"); }
  std::vector<std::string> Received() const { return RecordsIn(ReadFileText(MainLogPath())); }
  bool ReceivedWithin(const std::string& record, Milliseconds timeout) const {
    return WaitUntil(
        [&] {
          const std::vector<std::string> records = Received();
          return std::find(records.begin(), records.end(), record) != records.end();
        },
        timeout);
  }

  // The user's Outlook started on a store file, as the user starts it; its controls reached.
  void StartOutlook(const char* store) {
    outlook_ = ChildProcess(kStandinProgram, "/Store \"" + StorePath(store) + "\"", workDirectory_);
    ASSERT_NE(WaitForWindow(outlook::kMainWindowClass, nullptr, 10s), nullptr);
    control_ = std::make_unique<StandinControl>();
    ASSERT_TRUE(control_->Available());
    control_->DelayEvents();
  }
  // Ends the user's Outlook as a user closing it does. Not killed: under Wine a killed COM server
  // stays registered and every later activation of its class fails until EndStandin starts COM's
  // service afresh.
  void QuitOutlook() {
    if (control_ && outlook_.Running()) {
      try {
        control_->Call(L"Quit");
      } catch (const outlook::AutomationError&) {
        // The server may end before it answers.
      }
    }
    control_.reset();
    if (outlook_.Started()) {
      EXPECT_TRUE(outlook_.WaitForExit(10s));
    }
    EXPECT_TRUE(WaitForNoProcess(kStandinProgram, 10s));
  }
  int NotesSinks() const { return control_->Call(L"SinkCount", outlook::Variant::Int32(kNotesFolder)).ToInt32(); }
  // The Notes folder's sink is connected last.
  bool WaitForSinks(int count, Milliseconds timeout = 10s) const {
    return WaitUntil([&] { return NotesSinks() == count; }, timeout);
  }
  bool UserDoes(const std::string& arguments) const {  // in Outlook, through OutlookClient.exe
    ChildProcess client("OutlookClient.exe", arguments, workDirectory_);
    return client.WaitForExit(15s) && client.ExitCode() == 0;
  }
  ChildProcess StartConnectedPlugin() {
    ChildProcess plugin = StartPlugin(workDirectory_);
    EXPECT_NE(WaitForWindow(kFrameClass, "Untitled - stub", 10s), nullptr);
    return plugin;
  }

  // More options of the main application, set before SetUp.
  std::string mainAppOptions_;
  Apartment apartment_;
  std::string workDirectory_;
  ChildProcess mainApp_;
  ChildProcess outlook_;
  std::unique_ptr<StandinControl> control_;
};

}  // namespace e2e

}  // namespace orvane
