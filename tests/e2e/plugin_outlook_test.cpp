// The plug-in with the stand-in Outlook out of process and a main application: records written
// into Outlook, a failed tick handed over, an Outlook that cannot be started, and what the user
// does in Outlook reported to the main application.
#include "tests/common/record_builder.h"
#include "tests/e2e/harness.h"

#include "app/watchdog_rules.h"
#include "mainapp/kinds.h"
#include "testbed/orvane/readable_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace e2e;
using testcommon::AppointmentFields;
using testcommon::TaskFields;

constexpr char kFrameClass[] = "OrvaneOutlookFrame";
constexpr int kCalendarFolder = 9;
constexpr int kNotesFolder = 12;
constexpr int kTasksFolder = 13;
constexpr long kAlways = -1;

std::string TaskRecord(const std::string& subject) {
  std::string record = subject +
                       "\t1/12/2026\t15/12/2026*9:00am*10:30am\tTrue\t15/12/2026\t0:15\tnot Done\t0.000\t120\tnot "
                       "Done\tblank\tWork\tblank\tAnn\tblank\tFigures\tNormal\tFalse\tOwner\tnormal\tblank\tblank\t"
                       "4711\tnorecurring";
  for (int field = 25; field <= 37; ++field) record += "\t0";
  return record;
}

// The record of a task the user made with nothing but its subject.
std::string NewTaskRecord(const std::string& subject) {
  return subject +
         "\tnono\tnono\tnono\tnono\t0.000\tnono\tnono\tnono\tnono\tnono\tnono\tnono\tNo "
         "Notes\t1\tnono\tnono\tnono\t0\t0*nono*norecurring\t\n";
}

class PluginOutlookTest : public testing::Test {
protected:
  void SetUp() override {
    EndStrayPlugins();
    workDirectory_ = FreshWorkDirectory();
    EXPECT_EQ(earlierStandin_, "");
    ASSERT_TRUE(control_.Available()) << "the stand-in Outlook is not registered";
    control_.ResetWithLateEvents();
  }
  void TearDown() override {
    // A test's harder controls end with it.
    if (control_.Available()) control_.Call(L"Reset");
    EndStrayPlugins();
  }

  HWND StartPluginAndFindFrame(ChildProcess& plugin) {
    plugin = StartPlugin(workDirectory_);
    const HWND frame = WaitForWindow(kFrameClass, "Untitled - stub", 10s);
    EXPECT_NE(frame, nullptr);
    return frame;
  }
  std::string PluginLog() const { return ReadFileText(workDirectory_ + "\\OrvaneErrorLog.txt"); }
  void FailCreateItem(long times) const {
    control_.Call(L"FailCall", outlook::Variant::Wide(L"Application"), outlook::Variant::Int32(outlook::kCreateItem),
                  outlook::Variant::Wide(L"Method"), outlook::Variant::Wide(L"Outlook is busy"),
                  outlook::Variant::Int32(times));
  }

  // The Notes folder's sink is connected last and unadvised last.
  bool WaitForSinks(int count) const {
    return WaitUntil(
        [&] { return control_.Call(L"SinkCount", outlook::Variant::Int32(kNotesFolder)).ToInt32() == count; }, 10s);
  }
  bool UserDoes(const std::string& arguments) const {  // in Outlook, through OutlookClient.exe
    ChildProcess client("OutlookClient.exe", arguments, workDirectory_);
    return client.WaitForExit(15s) && client.ExitCode() == 0;
  }
  // Every event the stand-in has posted, late changes included, has been raised.
  bool WaitForEventsRaised() const {
    return WaitUntil([&] { return control_.Call(L"PendingEvents").ToInt32() == 0; }, 10s);
  }
  // The main application of the test, logging what it receives, with the plug-in and the link on.
  HWND StartMainApplicationAndPlugin(ChildProcess& mainApp, ChildProcess& plugin) {
    WriteIniSetting(workDirectory_, "OutlookToOrvane", 1);
    control_.Call(L"ShowMainWindow");
    mainApp = ChildProcess("Orvane.exe", "/log \"" + MainLogPath() + "\"", workDirectory_);
    EXPECT_NE(WaitForWindow("Orvane Main", nullptr, 10s), nullptr);
    const HWND frame = StartPluginAndFindFrame(plugin);
    EXPECT_TRUE(frame && WaitForSinks(1));
    return frame;
  }
  // Closed as a window is, the plug-in lets go of Outlook before it ends; so does the test.
  void ClosePlugin(HWND frame, ChildProcess& plugin) const {
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(plugin.WaitForExit(10s));
    EXPECT_TRUE(WaitForSinks(0)) << "an advise was left behind";
    control_.Call(L"CloseMainWindow");
  }
  // The main application sends a record and its action, as from its own Orvane.exe.
  bool MainApplicationSends(uint32_t kind, const char* action, const std::string& record) const {
    char kindText[16];
    std::snprintf(kindText, sizeof kindText, "0x%08X", static_cast<unsigned>(kind));
    ChildProcess sender("Orvane.exe",
                        std::string("/send ") + kindText + " " + action + " \"" + standin::ReadableBytes(record) + "\"",
                        workDirectory_);
    return sender.WaitForExit(10s) && sender.ExitCode() == 0;
  }
  std::string MainLogPath() const { return workDirectory_ + "\\OrvaneMain.log"; }
  // Each record the main application received, as its kind's name and its first field.
  std::vector<std::string> ReceivedRecords() const {
    std::vector<std::string> records;
    std::istringstream lines(ReadFileText(MainLogPath()));
    for (std::string line; std::getline(lines, line);) {
      const size_t kindStart = line.find(" ("), kindEnd = line.find(") "), data = line.find(" data=");
      if (line.rfind("WM_COPYDATA", 0) != 0 || kindEnd == std::string::npos || data == std::string::npos) continue;
      const std::string fields = line.substr(data + 6);
      records.push_back(line.substr(kindStart + 2, kindEnd - kindStart - 2) + ": " +
                        fields.substr(0, std::min(fields.find("\\t"), fields.find('*'))));
    }
    return records;
  }

  Apartment apartment_;
  // The stand-in of an earlier test must be gone before this test reaches for one.
  std::string earlierStandin_ = EndLeftoverStandin();
  StandinControl control_;
  std::string workDirectory_;
};

TEST_F(PluginOutlookTest, FailedTickIsLoggedAndHandedToABusyMainApplication) {
  TestWindow mainApp("Orvane Main", "Orvane");
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 0);
  ChildProcess plugin;
  const HWND frame = StartPluginAndFindFrame(plugin);
  ASSERT_NE(frame, nullptr);
  FailCreateItem(kAlways);
  ASSERT_TRUE(SendRecord(frame, mainapp::kTask, TaskRecord("Never written")));
  ASSERT_TRUE(SendAction(frame, "Orvane_SaveNow"));
  // The main application is busy while the plug-in hands over, and learns of it afterwards.
  ASSERT_TRUE(plugin.WaitForExitBusy(5s));
  EXPECT_EQ(plugin.ExitCode(), 0u);
  EXPECT_TRUE(WaitUntil([&] { return mainApp.CountOf("Orvane_Shield") == 1; }, 2s));
  EXPECT_NE(PluginLog().find("OrvaneOutlook=>OnTimerException::Outlook is busy (Application.CreateItem call)"),
            std::string::npos)
      << PluginLog();
  EXPECT_EQ(control_.ItemCount(kTasksFolder), 0);
  // With the main application there, no successor is started (it would be up before the exit).
  EXPECT_EQ(FindWindowA(kFrameClass, nullptr), nullptr);
}

TEST_F(PluginOutlookTest, TaskSentWhileOutlookIsBusyIsSavedOnceOutlookIsFreeAgain) {
  struct Case {
    const char* what;
    int busyMs;
    outlook::DispId from;  // 0: from now
  };
  const Case cases[] = {
      {"busy when the record comes, for longer than the plug-in waits between two tries to reach Outlook", 7000, 0},
      {"busy from when the task is made, so that its first property is turned away", 3000, outlook::kCreateItem},
  };
  TestWindow mainApp("Orvane Main", "Orvane");
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    control_.ResetWithLateEvents();
    ChildProcess plugin;
    const HWND frame = StartPluginAndFindFrame(plugin);
    ASSERT_NE(frame, nullptr);
    control_.Call(L"Busy", outlook::Variant::Int32(c.busyMs), outlook::Variant::Int32(c.from));
    ASSERT_TRUE(SendRecord(frame, mainapp::kTask, TaskRecord("Written when Outlook is free")));
    ASSERT_TRUE(SendAction(frame, "Orvane_SaveNow"));
    ASSERT_TRUE(WaitUntil([&] { return control_.ItemCount(kTasksFolder) == 1; }, Milliseconds(c.busyMs) + 5s))
        << PluginLog();
    EXPECT_EQ(control_.ItemText(kTasksFolder, 1, L"Subject"), "Written when Outlook is free");
    EXPECT_EQ(control_.Call(L"CallCount", outlook::Variant::Int32(outlook::kClose)).ToInt32(), 1);
    EXPECT_TRUE(plugin.Running());
    ASSERT_TRUE(SendAction(frame, "Orvane_CloseStubNow"));
    EXPECT_TRUE(plugin.WaitForExit(5s));
  }
  EXPECT_EQ(PluginLog().find("Exception"), std::string::npos) << PluginLog();
}

TEST_F(PluginOutlookTest, HandOffWithoutMainApplicationStartsOneNewPlugInAfterTenSeconds) {
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 1);
  ChildProcess plugin;
  const HWND frame = StartPluginAndFindFrame(plugin);
  ASSERT_NE(frame, nullptr);
  // Both tries of the first plug-in fail; its successor finds Outlook well again.
  FailCreateItem(2);
  ASSERT_TRUE(SendRecord(frame, mainapp::kTask, TaskRecord("Handed over")));
  ASSERT_TRUE(SendAction(frame, "Orvane_SaveNow"));
  ASSERT_TRUE(plugin.WaitForExit(20s));
  EXPECT_EQ(plugin.ExitCode(), 0u);
  // A plug-in that fails at once does not restart several times a second.
  EXPECT_GE(plugin.Lifetime(), 9950ms);
  const HWND successor = WaitForWindow(kFrameClass, "Untitled - stub", 10s);
  ASSERT_NE(successor, nullptr) << "the plug-in did not come back";
  EXPECT_NE(WindowProcess(successor), plugin.Id());
  int frames = 0;
  for (HWND window = FindWindowA(kFrameClass, nullptr); window;
       window = FindWindowExA(nullptr, window, kFrameClass, nullptr)) {
    ++frames;
  }
  EXPECT_EQ(frames, 1);
}

// The user logs off between the main application's action and the tick that performs it: the
// record goes to the next plug-in, which saves it once.
TEST_F(PluginOutlookTest, ARecordInHandWhenTheSessionEndsIsSavedByTheNextPlugIn) {
  TestWindow mainApp("Orvane Main", "Orvane");
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 0);
  ChildProcess plugin;
  const HWND frame = StartPluginAndFindFrame(plugin);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(SendRecord(frame, mainapp::kTask, TaskRecord("Kept over the logoff")));
  // Sent, not posted: the logoff's message, sent next, would overtake a posted action.
  DWORD_PTR answer = 0;
  ASSERT_NE(SendMessageTimeoutA(frame, RegisterWindowMessageA("Orvane_SaveNow"), 0, 0, SMTO_ABORTIFHUNG, 5000, &answer),
            0);
  // Well within the second before the record's tick.
  SendMessageTimeoutA(frame, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
  ASSERT_TRUE(plugin.WaitForExit(10s));
  EXPECT_EQ(plugin.ExitCode(), 0u);
  EXPECT_EQ(control_.ItemCount(kTasksFolder), 0);
  EXPECT_NE(PluginLog().find("OrvaneOutlook=>OnEndSession::The record of kind 0x2BB7B2A6 is kept for the next start"),
            std::string::npos)
      << PluginLog();

  ChildProcess next;
  ASSERT_NE(StartPluginAndFindFrame(next), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return control_.ItemCount(kTasksFolder) == 1; }, 5s));
  EXPECT_EQ(control_.ItemText(kTasksFolder, 1, L"Subject"), "Kept over the logoff");
  EXPECT_NE(PluginLog().find("The record of kind 0x2BB7B2A6 kept by the last process is performed"), std::string::npos)
      << PluginLog();
  // Taken up once: a third plug-in, once its message loop runs, has found nothing kept.
  ASSERT_TRUE(SendAction(FindWindowA(kFrameClass, "Untitled - stub"), "Orvane_CloseStubNow"));
  ASSERT_TRUE(next.WaitForExit(5s));
  ChildProcess third;
  ASSERT_NE(StartPluginAndFindFrame(third), nullptr);
  ASSERT_TRUE(third.WaitForInputIdle(5s));
  const std::string log = PluginLog();
  const std::string performed = "kept by the last process is performed";
  EXPECT_EQ(log.find(performed), log.rfind(performed)) << log;
}

// The stand-in refuses as Outlook run as administrator refuses a plug-in that is not.
TEST_F(PluginOutlookTest, OutlookThatCannotBeStartedEndsThePlugInAfterTwoTriesWithOneLineSayingWhy) {
  TestWindow mainApp("Orvane Main", "Orvane");
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 0);
  ChildProcess plugin;
  const HWND frame = StartPluginAndFindFrame(plugin);
  ASSERT_NE(frame, nullptr);
  control_.Call(L"RefuseCreation", outlook::Variant::Int32(kAlways));
  ASSERT_TRUE(SendRecord(frame, mainapp::kTask, TaskRecord("Nowhere to go")));
  ASSERT_TRUE(SendAction(frame, "Orvane_SaveNow"));
  ASSERT_TRUE(plugin.WaitForExit(10s));
  EXPECT_EQ(plugin.ExitCode(), 0u);
  // The tick comes after a second, the second try 5 s after the first.
  EXPECT_GE(plugin.Lifetime(), 5950ms);
  const std::string log = PluginLog();
  EXPECT_EQ(log.find("Exception"), std::string::npos) << log;
  EXPECT_NE(log.find("OrvaneOutlook=>Outlook cannot be created, it may be running with other rights than the "
                     "plug-in: "),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("(0x80080005)"), std::string::npos) << log;
  EXPECT_EQ(mainApp.CountOf("Orvane_Shield"), 0);
}

TEST_F(PluginOutlookTest, NoSessionIsOpenedWithTheLinkOffAndNoRecord) {
  TestWindow mainApp("Orvane Main", "Orvane");
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 0);
  control_.Call(L"ShowMainWindow");
  ChildProcess quiet;
  ASSERT_NE(StartPluginAndFindFrame(quiet), nullptr);
  // The watchdog's answer to the updater shows that the plug-in has been ticking meanwhile.
  const UpdaterInFront updater;
  ExpectBoxThenExit(quiet, app::kUpdaterInFrontText);
  EXPECT_EQ(control_.Call(L"LogonCount").ToInt32(), 0);
  control_.Call(L"CloseMainWindow");
}

TEST_F(PluginOutlookTest, UsersTasksReachTheMainApplicationAddedAndDeletedButThePlugInsOwnWriteDoesNot) {
  WriteIniSetting(workDirectory_, "OutlookToOrvane", 1);
  control_.Call(L"ShowMainWindow");
  ChildProcess plugin;
  const HWND frame = StartPluginAndFindFrame(plugin);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(UserDoes("add tasks Report"));
  // At start with the link on, to connect the sinks, and the client's own: the tick has settled.
  EXPECT_EQ(control_.Call(L"LogonCount").ToInt32(), 3);
  // The first record starts the main application once its event has come.
  const HWND mainWindow = WaitForWindow("Orvane Main", nullptr, 10s);
  ASSERT_NE(mainWindow, nullptr) << "the first record did not start the main application";
  ChildProcess mainApp = ChildProcess::OfWindow(mainWindow);
  ChildProcess sender("Orvane.exe", "/send 0x2BB7B2A6 save \"" + standin::ReadableBytes(TaskRecord("Mine")) + "\"",
                      workDirectory_);
  ASSERT_TRUE(WaitUntil([&] { return control_.ItemCount(kTasksFolder) == 2; }, 10s));
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(UserDoes("add tasks After"));
  const auto frameId = reinterpret_cast<std::uintptr_t>(frame);
  const std::string received = standin::CopyDataLine(mainapp::kTask, frameId, NewTaskRecord("Report")) + "\r\n" +
                               standin::CopyDataLine(mainapp::kTask, frameId, NewTaskRecord("After")) + "\r\n";
  const std::string log = workDirectory_ + "\\OrvaneMain.log";
  EXPECT_TRUE(WaitUntil([&] { return ReadFileText(log).find(received) != std::string::npos; }, 15s))
      << ReadFileText(log);
  // Two deleted at once, which Outlook does not announce, then one more; each goes as its subject.
  control_.Call(L"DeleteWithoutEvents", outlook::Variant::Int32(kTasksFolder), outlook::Variant::Int32(1),
                outlook::Variant::Int32(2));
  ASSERT_TRUE(UserDoes("delete tasks After"));
  std::string deleted;
  for (const char* subject : {"Report", "Mine", "After"})
    deleted += standin::CopyDataLine(mainapp::kDeletedTask, frameId, subject) + "\r\n";
  EXPECT_TRUE(WaitUntil([&] { return ReadFileText(log).find(received + deleted) != std::string::npos; }, 15s))
      << ReadFileText(log);
  // Closed as a window is, the plug-in lets go of Outlook before it ends.
  PostMessageA(frame, WM_CLOSE, 0, 0);
  EXPECT_TRUE(plugin.WaitForExit(10s));
  EXPECT_TRUE(WaitForSinks(0)) << "an advise was left behind";
  control_.Call(L"CloseMainWindow");
}

// Outlook announces the main application's writes late, after the plug-in listens again, and
// changes each item once more a while later: none of it is news to the main application. What the
// user changes afterwards is, once.
TEST_F(PluginOutlookTest, MainApplicationsOwnWritesNeverComeBackAndEachUsersChangeComesOnce) {
  ChildProcess mainApp, plugin;
  ASSERT_NE(StartMainApplicationAndPlugin(mainApp, plugin), nullptr);
  struct Write {
    uint32_t kind;
    const char* action;
    std::string record;
    int folder;
    std::string subjectAfter;
  };
  const Write writes[] = {
      {mainapp::kTask, "save", TaskFields().Set(1, "Mine").Joined(), kTasksFolder, "Mine"},
      {mainapp::kTask, "change", TaskFields().Set(1, "Mine v2").JoinedAfter("Mine"), kTasksFolder, "Mine v2"},
      {mainapp::kAppointment, "save", AppointmentFields().Set(1, "Visit").Joined(), kCalendarFolder, "Visit"},
      {mainapp::kAppointment, "change", AppointmentFields().Set(1, "Visit v2").JoinedAfter("Visit"), kCalendarFolder,
       "Visit v2"},
      {mainapp::kNote, "save", "Plan\t5/3/2026\t57", kNotesFolder, "Plan"},
      {mainapp::kNote, "change", "Plan\tPlan v2\t5/3/2026", kNotesFolder, "Plan v2"},
  };
  for (const Write& write : writes) {
    SCOPED_TRACE(write.subjectAfter);
    ASSERT_TRUE(MainApplicationSends(write.kind, write.action, write.record));
    EXPECT_TRUE(WaitUntil(
        [&] {
          return control_.ItemCount(write.folder) == 1 &&
                 control_.ItemText(write.folder, 1, L"Subject") == write.subjectAfter;
        },
        10s));
  }
  ASSERT_TRUE(WaitForEventsRaised());
  ASSERT_TRUE(WaitForSinks(1));
  ASSERT_TRUE(UserDoes("set tasks \"Mine v2\" PercentComplete 50"));
  ASSERT_TRUE(UserDoes("set appointments \"Visit v2\" Location \"Room 5\""));
  ASSERT_TRUE(UserDoes("set notes \"Plan v2\" Categories 58"));
  ASSERT_TRUE(WaitForEventsRaised());
  // Its record comes after every event before it has been handled.
  ASSERT_TRUE(UserDoes("add tasks Last"));
  const std::vector<std::string> expected{"changed task: Mine v2", "changed appointment: Visit v2",
                                          "changed note: Plan v2", "new task: Last"};
  EXPECT_TRUE(WaitUntil([&] { return ReceivedRecords().size() >= expected.size(); }, 10s));
  EXPECT_EQ(ReceivedRecords(), expected) << ReadFileText(MainLogPath());
  EXPECT_EQ(PluginLog().find("Exception"), std::string::npos) << PluginLog();
  ClosePlugin(FindWindowA(kFrameClass, nullptr), plugin);
}

// A tab the user typed into a subject or a note's first line goes as a space: no later field moves.
TEST_F(PluginOutlookTest, UsersTabInASubjectLeavesEveryLaterFieldInPlace) {
  ChildProcess mainApp, plugin;
  const HWND frame = StartMainApplicationAndPlugin(mainApp, plugin);
  ASSERT_NE(frame, nullptr);
  ASSERT_TRUE(UserDoes("add tasks \"Call\tthe bank\""));
  ASSERT_TRUE(UserDoes("add notes \"Buy\tstamps\" \"at the post office\""));
  const auto frameId = reinterpret_cast<std::uintptr_t>(frame);
  const std::string received = standin::CopyDataLine(mainapp::kTask, frameId, NewTaskRecord("Call the bank")) + "\r\n" +
                               standin::CopyDataLine(mainapp::kNote, frameId, "Buy stamps*nono*\n") + "\r\n";
  EXPECT_TRUE(WaitUntil([&] { return ReadFileText(MainLogPath()).find(received) != std::string::npos; }, 10s))
      << ReadFileText(MainLogPath()) << PluginLog();
  ClosePlugin(frame, plugin);
}

// Every harder control at once, chosen over COM: an import and deletions Outlook does not announce
// still reach the main application, each once.
TEST_F(PluginOutlookTest, UnderEveryHarderControlAnImportAndSilentDeletionsArriveOnceEach) {
  constexpr int kImported = 150;
  control_.Call(L"CopyKeepsRecurrence", outlook::Variant::Bool(true));
  control_.Call(L"TableTextBytes", outlook::Variant::Int32(255));
  control_.Call(L"RowCountFails", outlook::Variant::Bool(true));
  control_.Call(L"ItemsOrder", outlook::Variant::Text("reverse"));
  control_.Call(L"OpenItemLimit", outlook::Variant::Int32(100));
  control_.Call(L"Guard", outlook::Variant::Text("deny"));
  control_.Call(L"NoRemoveForLastItem", outlook::Variant::Bool(true));
  control_.Call(L"EventsAfterUnadvise", outlook::Variant::Bool(true));
  control_.Call(L"BulkAdd", outlook::Variant::Int32(16));
  ChildProcess mainApp, plugin;
  const HWND frame = StartMainApplicationAndPlugin(mainApp, plugin);
  ASSERT_NE(frame, nullptr);
  const auto mainLog = [&] { return ReadFileText(MainLogPath()); };

  // The user's tasks, announced: the sinks report them once they listen, after the folders were
  // first read, so that what joins the folders from now on is news.
  for (const char* subject : {"First", "Second"}) ASSERT_TRUE(UserDoes(std::string("add tasks ") + subject));
  EXPECT_TRUE(WaitUntil([&] { return mainLog().find("data=Second\\t") != std::string::npos; }, 15s)) << mainLog();

  // An import raises no ItemAdd: the watchdog's look at the counts finds it within seconds.
  control_.Call(L"AddItems", outlook::Variant::Int32(kTasksFolder), outlook::Variant::Int32(kImported),
                outlook::Variant::Text("Imported "));
  const auto everyImportArrived = [&] {
    const std::string log = mainLog();
    for (int i = 1; i <= kImported; ++i) {
      if (log.find(standin::ReadableBytes("Imported " + std::to_string(i) + "\t")) == std::string::npos) return false;
    }
    return true;
  };
  EXPECT_TRUE(WaitUntil(everyImportArrived, 60s)) << mainLog();
  // Two deleted at once without ItemRemove.
  control_.Call(L"DeleteWithoutEvents", outlook::Variant::Int32(kTasksFolder), outlook::Variant::Int32(12),
                outlook::Variant::Int32(2));
  const auto frameId = reinterpret_cast<std::uintptr_t>(frame);
  const std::string deleted = standin::CopyDataLine(mainapp::kDeletedTask, frameId, "Imported 10") + "\r\n" +
                              standin::CopyDataLine(mainapp::kDeletedTask, frameId, "Imported 11") + "\r\n";
  EXPECT_TRUE(WaitUntil([&] { return mainLog().find(deleted) != std::string::npos; }, 90s)) << mainLog();
  const std::string log = mainLog();
  for (const std::string& once : {standin::ReadableBytes("Imported 1\t"), standin::ReadableBytes("Imported 150\t"),
                                  std::string("Imported 10\r\n")}) {
    const size_t first = log.find(once);
    EXPECT_TRUE(first != std::string::npos && log.find(once, first + 1) == std::string::npos) << once;
  }
  EXPECT_EQ(control_.Call(L"GuardPrompts").ToInt32(), 0) << "no guarded call in steady work";
  EXPECT_EQ(PluginLog().find("limited the number of items"), std::string::npos);

  ClosePlugin(frame, plugin);
  EXPECT_EQ(control_.Call(L"OpenItems").ToInt32(), 0) << "an item the plug-in took was never let go";
}

}  // namespace

}  // namespace orvane
