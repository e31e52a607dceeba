// The plug-in across endings and restarts: its own process killed and started again, and the
// user's Outlook (the stand-in, on a store kept in a file) quitting and coming back on the same
// store or another. What the main application receives says whether a deletion was lost, told
// twice or made up.
#include "tests/e2e/harness.h"

#include "base/com_scope.h"
#include "base/file_places.h"
#include "base/user_folders.h"
#include "tests/common/plugin_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace e2e;

constexpr char kServer[] = "OutlookStandin.exe";
constexpr char kFrameClass[] = "OrvaneOutlookFrame";
constexpr int kNotesFolder = 12;

// The records the main application logged, each as its kind's name and its first field:
// "new task Report", "deleted task Report".
std::vector<std::string> RecordsIn(const std::string& log) {
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

std::vector<std::string> Deletions(const std::vector<std::string>& records) {
  std::vector<std::string> deleted;
  for (const std::string& record : records) {
    if (record.rfind("deleted ", 0) == 0) deleted.push_back(record);
  }
  return deleted;
}

class RestartTest : public testing::Test {
protected:
  void SetUp() override {
    EndStrayPlugins();
    ASSERT_TRUE(WaitForNoProcess(kServer, 15s)) << "a stand-in of an earlier test is still running";
    ASSERT_TRUE(apartment_.Ok());
    workDirectory_ = FreshWorkDirectory();
    WriteIniSetting(workDirectory_, "OutlookToOrvane", 1);
    mainApp_ = ChildProcess("Orvane.exe", "/log \"" + MainLogPath() + "\"", workDirectory_);
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
    outlook_ = ChildProcess(kServer, "/Store \"" + StorePath(store) + "\"", workDirectory_);
    ASSERT_NE(WaitForWindow(outlook::kMainWindowClass, nullptr, 10s), nullptr);
    control_ = std::make_unique<StandinControl>();
    ASSERT_TRUE(control_->Available());
    control_->DelayEvents();
  }
  // Ends the user's Outlook as a user closing it does. Never killed: under Wine a killed COM server
  // stays registered and every later activation of its class fails.
  void QuitOutlook() {
    if (control_ && outlook_.Running()) {
      try {
        control_->Call(L"Quit");
      } catch (const AutomationError&) {
        // The server may end before it answers.
      }
    }
    control_.reset();
    if (outlook_.Started()) {
      EXPECT_TRUE(outlook_.WaitForExit(10s));
    }
    EXPECT_TRUE(WaitForNoProcess(kServer, 10s));
  }
  int NotesSinks() const { return control_->Call(L"SinkCount", Variant::Int32(kNotesFolder)).ToInt32(); }
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

  Apartment apartment_;
  std::string workDirectory_;
  ChildProcess mainApp_;
  ChildProcess outlook_;
  std::unique_ptr<StandinControl> control_;
};

TEST_F(RestartTest, ADeletionWhileNoPlugInRunsReachesTheMainApplicationOnceFromTheNextPlugIn) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ChildProcess first = StartConnectedPlugin();
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(UserDoes("add tasks Report"));
  ASSERT_TRUE(UserDoes("add tasks Budget"));
  ASSERT_TRUE(ReceivedWithin("new task Budget", 10s)) << ::testing::PrintToString(Received());
  // Ended at once, as Windows ends a process at a shutdown or a crash.
  first.Terminate();
  ASSERT_FALSE(first.Running());
  ASSERT_TRUE(UserDoes("delete tasks Report"));

  ChildProcess second = StartConnectedPlugin();
  EXPECT_TRUE(ReceivedWithin("deleted task Report", 10s)) << PluginLog();
  // A deletion seen by the new plug-in's own sinks comes after it: once it is there, a second
  // report of the first one would have come too.
  ASSERT_TRUE(UserDoes("delete tasks Budget"));
  EXPECT_TRUE(ReceivedWithin("deleted task Budget", 10s)) << PluginLog();
  EXPECT_EQ(Deletions(Received()), (std::vector<std::string>{"deleted task Report", "deleted task Budget"}));
  EXPECT_EQ(PluginLog().find("Exception"), std::string::npos) << PluginLog();
}

// Under Program Files a standard user's plug-in cannot write its current directory (here the log's
// name is taken by a folder, as a test run with every right can arrange): it logs and keeps its
// pictures in its per-user folder, and a deletion while none ran is still reported.
TEST_F(RestartTest, ACurrentDirectoryThatCannotBeWrittenLosesNeitherTheLogNorADeletion) {
  ASSERT_TRUE(CreateDirectoryA((workDirectory_ + "\\OrvaneErrorLog.txt").c_str(), nullptr));
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ChildProcess first = StartConnectedPlugin();
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(UserDoes("add tasks Report"));
  ASSERT_TRUE(ReceivedWithin("new task Report", 10s));
  first.Terminate();
  ASSERT_TRUE(UserDoes("delete tasks Report"));

  ChildProcess second = StartConnectedPlugin();
  EXPECT_TRUE(ReceivedWithin("deleted task Report", 10s)) << testfiles::PerUserLog();
  const std::wstring folder = OwnStateFolder();
  EXPECT_NE(GetFileAttributesW(places::Join(folder, L"OrvanePictures.dat").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((workDirectory_ + "\\OrvanePictures.dat").c_str()), INVALID_FILE_ATTRIBUTES);
  // Outlook going away is logged: the line and the reason it is there reach the per-user log.
  QuitOutlook();
  EXPECT_TRUE(WaitUntil([] { return testfiles::PerUserLog().find("Outlook has gone away") != std::string::npos; }, 5s))
      << testfiles::PerUserLog();
  // The line is cut at 150 characters, within the directory's path.
  EXPECT_NE(testfiles::PerUserLog().find("OrvaneOutlook=>WriteLog::The log cannot be written in " +
                                         workDirectory_.substr(0, 30)),
            std::string::npos)
      << testfiles::PerUserLog();
}

TEST_F(RestartTest, OutlookQuitAndStartedAgainOnItsStoreIsListenedToAgainAndNothingIsReportedDeleted) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ChildProcess plugin = StartConnectedPlugin();
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(UserDoes("add tasks Before"));
  ASSERT_TRUE(ReceivedWithin("new task Before", 10s));

  QuitOutlook();
  ASSERT_TRUE(WaitUntil([&] { return PluginLog().find("Outlook has gone away") != std::string::npos; }, 5s))
      << PluginLog();
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  EXPECT_TRUE(WaitForSinks(1, 2s)) << "the sinks are not back within 2 s of Outlook's window";
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(UserDoes("add tasks After"));
  EXPECT_TRUE(ReceivedWithin("new task After", 10s)) << PluginLog();

  EXPECT_TRUE(plugin.Running()) << "the same plug-in listens again";
  EXPECT_EQ(Deletions(Received()), std::vector<std::string>{});
  const std::string log = PluginLog();
  EXPECT_EQ(log.find("OnTimerException"), std::string::npos) << log;
  EXPECT_EQ(log.find("another store"), std::string::npos) << log;
}

TEST_F(RestartTest, OutlookComingBackOnAnotherStoreWithTheSameSubjectsReportsNothingDeleted) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("other"));
  ASSERT_TRUE(UserDoes("add tasks Alpha"));
  ASSERT_TRUE(UserDoes("add tasks Beta"));
  QuitOutlook();

  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ChildProcess plugin = StartConnectedPlugin();
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(UserDoes("add tasks Alpha"));
  ASSERT_TRUE(UserDoes("add tasks Beta"));
  ASSERT_TRUE(ReceivedWithin("new task Beta", 10s));
  QuitOutlook();

  ASSERT_NO_FATAL_FAILURE(StartOutlook("other"));
  ASSERT_TRUE(WaitForSinks(1));
  // The other store's items are followed once its picture is taken: a deletion before that is
  // part of the store the plug-in first sees.
  ASSERT_TRUE(
      WaitUntil([&] { return PluginLog().find("The Calendar picture is of another store") != std::string::npos; }, 10s))
      << PluginLog();
  // The other store's own items are followed from now on.
  ASSERT_TRUE(UserDoes("delete tasks Alpha"));
  EXPECT_TRUE(ReceivedWithin("deleted task Alpha", 10s)) << PluginLog();
  EXPECT_EQ(Deletions(Received()), std::vector<std::string>{"deleted task Alpha"});
  EXPECT_NE(PluginLog().find("The Tasks picture is of another store or folder"), std::string::npos) << PluginLog();
  EXPECT_TRUE(plugin.Running());
}

}  // namespace

}  // namespace orvane
