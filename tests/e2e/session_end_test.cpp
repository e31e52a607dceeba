// The plug-in closed as an installer closes it ("/Close", as the Restart Manager asks), and the
// line each start writes.
#include "tests/e2e/harness.h"

#include "app/session_end.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {

namespace {

using namespace e2e;

constexpr char kFrameClass[] = "OrvaneOutlookFrame";

class SessionEndTest : public testing::Test {
protected:
  void SetUp() override {
    EndStrayPlugins();
    // A plug-in with the link on reaches Outlook: one left hung by an earlier test would hold it.
    EXPECT_EQ(EndLeftoverStandin(), "");
    workDirectory_ = FreshWorkDirectory();
    // Linked, the plug-in stays without the main application.
    WriteIniSetting(workDirectory_, "OutlookToOrvane", 1);
  }
  void TearDown() override { EndStrayPlugins(); }

  std::string PluginLog() const { return ReadFileText(workDirectory_ + "\\OrvaneErrorLog.txt"); }
  // "OrvaneOutlook.exe /Close" run to its end: its exit code, or -1 when it did not end in time.
  int RunClose(Milliseconds timeout = 30s) {
    ChildProcess close("OrvaneOutlook.exe", "/Close", workDirectory_);
    if (!close.WaitForExit(timeout)) return -1;
    return static_cast<int>(close.ExitCode());
  }

  std::string workDirectory_;
};

TEST_F(SessionEndTest, CloseEndsTheRunningPlugInInItsOrderlyWayAndSaysSo) {
  ChildProcess plugin = StartPlugin(workDirectory_);
  ASSERT_NE(WaitForWindow(kFrameClass, "Untitled - stub", 10s), nullptr);
  EXPECT_EQ(RunClose(), app::kClosedPlugin);
  ASSERT_TRUE(plugin.WaitForExit(1s)) << "/Close answered before the plug-in had ended";
  EXPECT_EQ(plugin.ExitCode(), 0u);
  const std::string log = PluginLog();
  EXPECT_NE(log.find("OrvaneOutlook=>OnEndSession::The plug-in ends, as an installer or \"/Close\" asks it to close"),
            std::string::npos)
      << log;
  // The start line names this very process.
  const std::string start =
      "OrvaneOutlook=>Start::Version " ORVANE_VERSION_TEXT ", process " + std::to_string(plugin.Id()) + ", session ";
  const size_t at = log.find(start);
  ASSERT_NE(at, std::string::npos) << log;
  const std::string rest = log.substr(at + start.size(), log.find_first_of("\r\n", at) - at - start.size());
  EXPECT_TRUE(rest.find(", elevated yes") != std::string::npos || rest.find(", elevated no") != std::string::npos)
      << rest;
}

TEST_F(SessionEndTest, CloseWithNoPlugInRunningAnswersOne) {
  EXPECT_EQ(RunClose(), app::kNoPluginRunning);
  EXPECT_EQ(PluginLog(), "") << "/Close wrote to the log";
}

// A frame that takes the messages and does not end: this test's own window, under the title.
TEST_F(SessionEndTest, APlugInThatDoesNotEndWithinTheTimeAnswersTwo) {
  TestWindow stuck("OrvaneStuckFrame", "Untitled - stub");
  EXPECT_EQ(RunClose(Milliseconds(app::kCloseTimeoutMs) + 30s), app::kPluginWouldNotEnd);
}

}  // namespace

}  // namespace orvane
