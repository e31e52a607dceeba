// The plug-in across endings and restarts: its own process killed and started again, and the
// user's Outlook (the stand-in, on a store kept in a file) quitting and coming back on the same
// store or another. What the main application receives says whether a deletion was lost, told
// twice or made up.
#include "tests/e2e/restart_fixture.h"

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
using RestartTest = RestartFixture;

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

// From a randomized run that lost an import: one Outlook raises no event for, and Outlook quits
// before the plug-in's next look at the folder's count. Once Outlook is back each note is news.
TEST_F(RestartTest, AnImportJustBeforeOutlookQuitsIsReportedOnceOutlookIsBack) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ChildProcess plugin = StartConnectedPlugin();
  ASSERT_TRUE(WaitForSinks(1));
  // Reported, so the plug-in's first look at the folders is behind it.
  ASSERT_TRUE(UserDoes("add notes Before"));
  ASSERT_TRUE(ReceivedWithin("new note Before*nono*\\x0A", 10s)) << PluginLog();
  control_->Call(L"BulkAdd", outlook::Variant::Int32(16));
  control_->Call(L"AddItems", outlook::Variant::Int32(kNotesFolder), outlook::Variant::Int32(20),
                 outlook::Variant::Wide(L"Import "));
  QuitOutlook();
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  for (int number = 1; number <= 20; ++number) {
    ASSERT_TRUE(ReceivedWithin("new note Import " + std::to_string(number) + "*nono*\\x0A", 20s)) << PluginLog();
  }
  EXPECT_EQ(Deletions(Received()), std::vector<std::string>{});
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
