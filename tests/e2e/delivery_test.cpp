// Every report reaches the main application once across the plug-in's endings: not again when the
// plug-in ended while handing it over, not lost while its kept pictures were held by another
// process or while the main application was closed, and not made up from a folder Outlook showed
// empty for a moment.
#include "tests/e2e/restart_fixture.h"

#include "base/file_places.h"
#include "base/module_path.h"
#include "base/unique_resource.h"
#include "base/user_folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace e2e;
using Records = std::vector<std::string>;

constexpr int kTasksFolder = 13;

// The test's own environment without the build's directory on the search path, nor the variable
// that puts it there: a program started with it finds no main application to start.
std::string EnvironmentWithoutTheBuild() {
  const std::string build = ModuleDirectory();
  std::string block;
  char* const strings = GetEnvironmentStringsA();
  for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) {
    std::string text = entry;
    const std::string name = text.substr(0, text.find('='));
    if (lstrcmpiA(name.c_str(), "WINEPATH") == 0) continue;
    if (lstrcmpiA(name.c_str(), "PATH") == 0) {
      std::istringstream folders(text.substr(name.size() + 1));
      text = name + "=";
      for (std::string folder; std::getline(folders, folder, ';');) {
        if (lstrcmpiA(folder.c_str(), build.c_str()) != 0) text += folder + ";";
      }
    }
    block += text;
    block += '\0';
  }
  FreeEnvironmentStringsA(strings);
  return block + '\0';
}

class DeliveryTest : public RestartFixture {
protected:
  // The user's tasks, each reported as new by a first plug-in, which then ends at once.
  void FirstPluginSees(const Records& subjects) {
    ChildProcess first = StartConnectedPlugin();
    ASSERT_TRUE(WaitForSinks(1));
    for (const std::string& subject : subjects) ASSERT_TRUE(UserDoes("add tasks " + subject));
    ASSERT_TRUE(ReceivedWithin("new task " + subjects.back(), 10s)) << ::testing::PrintToString(Received());
    first.Terminate();
  }
  bool LoggedWithin(const std::string& text, Milliseconds timeout) const {
    return WaitUntil([&] { return PluginLog().find(text) != std::string::npos; }, timeout);
  }
};

class EndedWhileSendingTest : public DeliveryTest {
protected:
  EndedWhileSendingTest() { mainAppOptions_ = "/endsender 0x2BB7B2B1"; }
  // The user's tasks "Report", "Budget", "Plan" and "Plan"; the user deletes one with the subject,
  // and the main application ends the plug-in while it holds that deletion's record, as a crash of
  // the plug-in at that moment would. Then the next plug-in runs, and the user deletes "Budget".
  Records DeletionsAfterAnEndWhileSending(const std::string& subject) {
    ChildProcess first = StartConnectedPlugin();
    EXPECT_TRUE(WaitForSinks(1));
    for (const char* added : {"Report", "Budget", "Plan", "Plan"}) {
      EXPECT_TRUE(UserDoes(std::string("add tasks ") + added));
    }
    EXPECT_TRUE(WaitUntil([&] { return Received().size() == 4; }, 10s)) << ::testing::PrintToString(Received());
    EXPECT_TRUE(UserDoes("delete tasks " + subject));
    EXPECT_TRUE(first.WaitForExit(10s)) << PluginLog();

    ChildProcess second = StartConnectedPlugin();
    // A deletion the new plug-in's own sinks see comes after its first comparison.
    EXPECT_TRUE(UserDoes("delete tasks Budget"));
    EXPECT_TRUE(ReceivedWithin("deleted task Budget", 10s)) << PluginLog();
    return Deletions(Received());
  }
};

// "Report" is the only task of its subject: the next plug-in cannot know whether the main
// application took its deletion, and a second deletion of it finds nothing more to delete, so it
// goes again.
TEST_F(EndedWhileSendingTest, ADeletionOfALoneSubjectHandedOverWhenThePlugInEndedGoesAgain) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  EXPECT_EQ(DeletionsAfterAnEndWhileSending("Report"),
            (Records{"deleted task Report", "deleted task Report", "deleted task Budget"}));
}

// One of the two "Plan" tasks stays: a second deletion of "Plan" could delete it in the main
// application, so the deletion handed over when the plug-in ended is never reported again.
TEST_F(EndedWhileSendingTest, ADeletionOfASharedSubjectHandedOverWhenThePlugInEndedIsNeverReportedAgain) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  EXPECT_EQ(DeletionsAfterAnEndWhileSending("Plan"), (Records{"deleted task Plan", "deleted task Budget"}));
}

int Count(const Records& records, const std::string& record) {
  return static_cast<int>(std::count(records.begin(), records.end(), record));
}

class SlowMainAppTest : public DeliveryTest {
protected:
  SlowMainAppTest() { mainAppOptions_ = "/answerafter 7000"; }
};

// The main application, busy starting up, takes 7 s over the first record the plug-in sends: the
// user's new task "Report". The plug-in stops waiting after 5 s while the record is still being
// taken; it does not send it again, so the main application holds one "Report", not two. The
// next task goes as usual.
TEST_F(SlowMainAppTest, ANewItemWhoseSendTimedOutIsNotSentAgain) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ChildProcess plugin = StartConnectedPlugin();
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(UserDoes("add tasks Report"));
  EXPECT_TRUE(LoggedWithin(
      "No answer within the time-out; the record of kind 0x2BB7B2A6 may have reached it, not sent again", 15s))
      << PluginLog();
  ASSERT_TRUE(UserDoes("add tasks Budget"));
  ASSERT_TRUE(ReceivedWithin("new task Budget", 15s)) << PluginLog();
  const Records received = Received();
  EXPECT_EQ(Count(received, "new task Report"), 1) << ::testing::PrintToString(received);
  EXPECT_EQ(Count(received, "new task Budget"), 1) << ::testing::PrintToString(received);
}

class HungMainAppTest : public DeliveryTest {
protected:
  HungMainAppTest() { mainAppOptions_ = "/stoppumping 15000"; }
};

// The main application hangs for 15 s. Once Windows takes its window for one that does not
// respond, the user adds the task "Report": the send is refused at once, never taken, so the record
// waits and goes when the main application answers again, once.
TEST_F(HungMainAppTest, ARecordRefusedByAHungMainApplicationGoesOnceItAnswers) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ChildProcess plugin = StartConnectedPlugin();
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(WaitUntil([] { return IsHungAppWindow(FindWindowA("Orvane Main", nullptr)) != FALSE; }, 12s));
  ASSERT_TRUE(UserDoes("add tasks Report"));
  EXPECT_TRUE(LoggedWithin("The main application does not take the records; 1 wait", 10s)) << PluginLog();
  EXPECT_TRUE(ReceivedWithin("new task Report", 20s)) << PluginLog();
  EXPECT_TRUE(LoggedWithin("The main application took the 1 records that waited", 10s)) << PluginLog();
  EXPECT_EQ(Count(Received(), "new task Report"), 1) << ::testing::PrintToString(Received());
  EXPECT_EQ(PluginLog().find("may have reached it"), std::string::npos) << PluginLog();
}

// Kept pictures held open by another process while the plug-in starts are waited for: the
// deletion made while no plug-in ran is reported once they are free, before the next one.
TEST_F(DeliveryTest, PicturesHeldByAnotherProcessAreReadOnceFree) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ASSERT_NO_FATAL_FAILURE(FirstPluginSees({"Report", "Budget", "Plan"}));
  // The plug-in keeps its pictures in the user's own folder.
  const std::wstring pictures = OwnStateFolder();
  UniqueHandle holder(CreateFileW(places::Join(pictures, L"OrvanePictures.dat").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder.IsValid());
  ASSERT_TRUE(UserDoes("delete tasks Report"));

  ChildProcess second = StartConnectedPlugin();
  EXPECT_TRUE(LoggedWithin("The kept pictures cannot be read now", 10s)) << PluginLog();
  holder.Reset();
  ASSERT_TRUE(UserDoes("delete tasks Budget"));
  EXPECT_TRUE(ReceivedWithin("deleted task Budget", 10s)) << PluginLog();
  EXPECT_EQ(Deletions(Received()), (Records{"deleted task Report", "deleted task Budget"}));
  EXPECT_EQ(GetFileAttributesW(places::Join(pictures, L"OrvanePictures.bad").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Outlook shows a folder of three tasks empty once, right after the plug-in connects: nothing is
// reported deleted, and a later deletion is reported alone.
TEST_F(DeliveryTest, AFolderReadEmptyOnceRightAfterConnectingReportsNothing) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ASSERT_NO_FATAL_FAILURE(FirstPluginSees({"Report", "Budget", "Plan"}));
  control_->Call(L"ReadEmpty", outlook::Variant::Int32(kTasksFolder), outlook::Variant::Int32(1));

  ChildProcess second = StartConnectedPlugin();
  EXPECT_TRUE(LoggedWithin("The Tasks folder reads empty, 3 deletions held back", 10s)) << PluginLog();
  ASSERT_TRUE(UserDoes("delete tasks Plan"));
  EXPECT_TRUE(ReceivedWithin("deleted task Plan", 10s)) << PluginLog();
  EXPECT_EQ(Deletions(Received()), Records{"deleted task Plan"});
}

// Outlook opens another store and later the first again: a deletion made in the first store while
// the plug-in watched the second is reported when the first returns.
TEST_F(DeliveryTest, AStoreThatReturnsReportsWhatLeftItWhileAnotherWasOpen) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("first"));
  ChildProcess plugin = StartConnectedPlugin();
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(UserDoes("add tasks Report"));
  ASSERT_TRUE(UserDoes("add tasks Budget"));
  ASSERT_TRUE(ReceivedWithin("new task Budget", 10s)) << ::testing::PrintToString(Received());
  QuitOutlook();
  ASSERT_NO_FATAL_FAILURE(StartOutlook("second"));
  EXPECT_TRUE(LoggedWithin("The Calendar picture is of another store or folder; one is taken of that", 10s))
      << PluginLog();
  QuitOutlook();
  // The first store changes where the plug-in does not look: its link is off meanwhile.
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 0);
  ASSERT_NO_FATAL_FAILURE(StartOutlook("first"));
  ASSERT_TRUE(UserDoes("delete tasks Report"));
  QuitOutlook();
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 1);

  ASSERT_NO_FATAL_FAILURE(StartOutlook("first"));
  EXPECT_TRUE(ReceivedWithin("deleted task Report", 10s)) << PluginLog();
  ASSERT_TRUE(UserDoes("delete tasks Budget"));
  EXPECT_TRUE(ReceivedWithin("deleted task Budget", 10s)) << PluginLog();
  EXPECT_EQ(Deletions(Received()), (Records{"deleted task Report", "deleted task Budget"}));
  EXPECT_TRUE(plugin.Running());
}

// The main application is closed while the user deletes two tasks, and the plug-in cannot start
// it: both deletions wait, and once the user starts it each arrives once, in order.
class MainApplicationAwayTest : public DeliveryTest {
protected:
  void TearDown() override {
    DeliveryTest::TearDown();
    // The copy registered itself as it started: the build's program is registered again.
    ChildProcess registration("OrvaneOutlook.exe", "/RegServer", workDirectory_);
    EXPECT_TRUE(registration.WaitForExit(10s));
  }
  // The plug-in copied to a folder of its own and started without the build's search path.
  ChildProcess StartPluginThatCannotStartTheMainApplication() {
    const std::string bin = ModuleDirectory();
    std::filesystem::create_directories(workDirectory_ + "\\elsewhere");
    const std::string copy = workDirectory_ + "\\elsewhere\\OrvaneOutlook.exe";
    EXPECT_TRUE(CopyFileA((bin + "\\OrvaneOutlook.exe").c_str(), copy.c_str(), FALSE));
    const std::string environment = EnvironmentWithoutTheBuild();
    ChildProcess plugin(copy.substr(bin.size() + 1), "", workDirectory_, &environment);
    EXPECT_NE(WaitForWindow(kFrameClass, "Untitled - stub", 10s), nullptr);
    return plugin;
  }
  void CloseMainApplication() {
    PostMessageA(FindWindowA("Orvane Main", nullptr), WM_CLOSE, 0, 0);
    ASSERT_TRUE(mainApp_.WaitForExit(10s));
  }
  size_t LoggedTimes(const std::string& text) const {
    const std::string log = PluginLog();
    size_t count = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++count;
    return count;
  }
};

TEST_F(MainApplicationAwayTest, DeletionsMadeWhileItWasClosedArriveOnceInOrderWhenItStarts) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ChildProcess plugin = StartPluginThatCannotStartTheMainApplication();
  ASSERT_TRUE(WaitForSinks(1));
  // A third task stays, so that no deletion leaves the folder empty (such a read is confirmed first).
  for (const char* subject : {"Report", "Budget", "Plan"}) ASSERT_TRUE(UserDoes(std::string("add tasks ") + subject));
  ASSERT_TRUE(ReceivedWithin("new task Plan", 10s)) << ::testing::PrintToString(Received());
  ASSERT_NO_FATAL_FAILURE(CloseMainApplication());
  Records expected = Received();

  ASSERT_TRUE(UserDoes("delete tasks Report"));
  ASSERT_TRUE(WaitUntil([&] { return LoggedTimes("The main application does not take the records") == 1; }, 15s))
      << PluginLog();
  ASSERT_TRUE(UserDoes("delete tasks Budget"));
  ASSERT_TRUE(WaitUntil([&] { return LoggedTimes("Itemdeleted Called Successfully") == 2; }, 15s)) << PluginLog();
  ASSERT_TRUE(plugin.Running());
  EXPECT_EQ(Received(), expected);

  mainApp_ = ChildProcess("Orvane.exe", "/log \"" + MainLogPath() + "\"", workDirectory_);
  EXPECT_TRUE(ReceivedWithin("deleted task Budget", 10s)) << PluginLog();
  EXPECT_TRUE(WaitUntil([&] { return LoggedTimes("The main application took the 2 records that waited") == 1; }, 5s))
      << PluginLog();
  expected.insert(expected.end(), {"deleted task Report", "deleted task Budget"});
  EXPECT_EQ(Received(), expected);
}

// The session ends (a logoff) while a deletion waits for the main application: the plug-in ends
// at once, and the next plug-in sends the deletion, once, when the main application is back.
TEST_F(MainApplicationAwayTest, ARecordWaitingWhenTheSessionEndsArrivesOnceFromTheNextPlugIn) {
  ASSERT_NO_FATAL_FAILURE(StartOutlook("user"));
  ChildProcess plugin = StartPluginThatCannotStartTheMainApplication();
  ASSERT_TRUE(WaitForSinks(1));
  for (const char* subject : {"Report", "Plan"}) ASSERT_TRUE(UserDoes(std::string("add tasks ") + subject));
  ASSERT_TRUE(ReceivedWithin("new task Plan", 10s)) << ::testing::PrintToString(Received());
  ASSERT_NO_FATAL_FAILURE(CloseMainApplication());
  Records expected = Received();
  ASSERT_TRUE(UserDoes("delete tasks Report"));
  ASSERT_TRUE(WaitUntil([&] { return LoggedTimes("The main application does not take the records") == 1; }, 15s))
      << PluginLog();

  const HWND frame = FindWindowA(kFrameClass, "Untitled - stub");
  ASSERT_NE(frame, nullptr);
  DWORD_PTR answer = 0;
  ASSERT_NE(SendMessageTimeoutA(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer), 0);
  EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
  SendMessageTimeoutA(frame, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
  ASSERT_TRUE(plugin.WaitForExit(10s));
  EXPECT_EQ(plugin.ExitCode(), 0u);
  EXPECT_EQ(LoggedTimes("OrvaneOutlook=>OnEndSession::The plug-in ends, as the user logs off"), 1u) << PluginLog();
  EXPECT_EQ(Received(), expected);

  mainApp_ = ChildProcess("Orvane.exe", "/log \"" + MainLogPath() + "\"", workDirectory_);
  ASSERT_NE(WaitForWindow("Orvane Main", nullptr, 10s), nullptr);
  ChildProcess next = StartConnectedPlugin();
  EXPECT_TRUE(ReceivedWithin("deleted task Report", 10s)) << PluginLog();
  // A change made after it arrives after it: had the deletion gone twice, both would be in by then.
  ASSERT_TRUE(UserDoes("add tasks Marker"));
  EXPECT_TRUE(ReceivedWithin("new task Marker", 10s)) << PluginLog();
  expected.insert(expected.end(), {"deleted task Report", "new task Marker"});
  EXPECT_EQ(Received(), expected);
  // Each plug-in names the Outlook it connected to, once however often it connects.
  EXPECT_EQ(LoggedTimes("OrvaneOutlook=>Outlook version 16.0.0.17928"), 2u) << PluginLog();
}

}  // namespace

}  // namespace orvane
