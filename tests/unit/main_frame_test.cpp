// The frame's intake, dispatch, timer ticks and endings, driven by window messages in this
// process: WM_TIMER is sent directly, except where a test lets the frame's own timers fire; no test
// measures how long they take.
#include "app/intake.h"
#include "app/main_frame.h"
#include "app/watchdog_rules.h"
#include "outbound/outlook_link.h"
#include "outlook/outlook_session.h"
#include "testbed/outlook/server_lifetime.h"
#include "tests/unit/recording_control.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A writer's or sink's name, the record it was given and the kind.
using Call = std::tuple<std::string, std::string, uint32_t>;

// A frame whose writers and sinks only note their calls; `duringCall` runs inside each, as what
// COM's wait loop dispatches while a call to Outlook waits.
class RecordingFrame final : public app::CMainFrame {
public:
  std::vector<Call> calls;
  std::function<void()> duringCall;
  std::function<void()> duringDisconnect;

  void SaveOutlookApps(char* r) override { Note("SaveOutlookApps", r, 0); }
  void SaveOutlookTask(char* r) override { Note("SaveOutlookTask", r, 0); }
  void SaveOutlookNote(char* r, int) override { Note("SaveOutlookNote", r, 0); }
  void ChangeOutlookApps(char* r) override { Note("ChangeOutlookApps", r, 0); }
  void ChangeOutlookTask(char* r) override { Note("ChangeOutlookTask", r, 0); }
  void ChangeOutlookNote(char* r, int) override { Note("ChangeOutlookNote", r, 0); }
  void DeleteOutlookItem(char* r, uint32_t k) override { Note("DeleteOutlookItem", r, k); }
  void DoneOutlookItem(char* r, uint32_t k) override { Note("DoneOutlookItem", r, k); }
  void SetOutlookLinkId(char* r, uint32_t k) override { Note("SetOutlookLinkId", r, k); }
  void ConnectSinks() override { Note("ConnectSinks", nullptr, 0); }
  void DisconnectSinks() override {
    if (duringDisconnect) std::exchange(duringDisconnect, nullptr)();
  }
  using CMainFrame::CommandWaits;

private:
  void Note(const char* what, char* record, uint32_t kind) {
    const std::string before = record ? record : "";
    if (duringCall) std::exchange(duringCall, nullptr)();
    // Read again at the end: the record must not have changed under the writer.
    calls.emplace_back(what, !record || before == record ? before : "changed under the writer", kind);
  }
};

class MainFrameTest : public WriterTest {
protected:
  void SetUp() override {
    WriterTest::SetUp();
    session_.Release();
    os::ResetStore();
    app::recordPending = 0;
    app::pendingAction = 0;
    app::pendingKind = 0;
    // With the link on, the watchdog keeps the plug-in without a main application.
    WriteLinkSetting(1);
    ASSERT_TRUE(hiddenFrame_.Create());
  }

  void SendRecord(uint32_t kind, const std::string& text) {
    COPYDATASTRUCT data{kind, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
    SendMessageA(hiddenFrame_.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }
  void SendAction(const char* name) { SendMessageA(hiddenFrame_.Window(), RegisterWindowMessageA(name), 0, 0); }
  void Tick(UINT_PTR timer) { SendMessageA(hiddenFrame_.Window(), WM_TIMER, timer, 0); }
  // Whether the frame's record timer runs; finding out kills it, so it is set again.
  bool RecordTimerArmed() {
    if (!KillTimer(hiddenFrame_.Window(), app::kRecordTimer)) return false;
    SetTimer(hiddenFrame_.Window(), app::kRecordTimer, 1000, nullptr);
    return true;
  }
  // Whether the frame's link timer runs; finding out stops it.
  bool SinkTimerStopsNow() { return KillTimer(hiddenFrame_.Window(), app::kSinkTimer) != FALSE; }
  // Handles this thread's messages, the frame's real timers among them, until `done` holds or
  // 30 s have passed (a bound for a timer that never fires, not a measure of one that does).
  static void PumpUntil(const std::function<bool()>& done) {
    const auto start = Clock::now();
    while (!done() && Clock::now() < start + 30s) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
  static void WriteLinkSetting(int value) {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, directory);
    WritePrivateProfileStringA("Orvane", "OutlookToOrvane", std::to_string(value).c_str(),
                               (std::string(directory) + "\\Orvane.ini").c_str());
  }
  RecordingControl control_;
  const ScopedProcessControl inCharge_{control_};
  RecordingFrame hiddenFrame_;
};

// Nothing here measures the time: the machine may be too loaded for any bound to hold. The
// action arms the frame's own record timer and no writer runs before that timer fires.
TEST_F(MainFrameTest, RecordAndSaveReachTheWriterOnTheRealTimer) {
  SendRecord(mainapp::kTask, "Buy milk\tmore");
  SendAction("Orvane_SaveNow");
  EXPECT_TRUE(hiddenFrame_.calls.empty()) << "the writer ran before the timer";
  ASSERT_TRUE(RecordTimerArmed());
  PumpUntil([&] { return !hiddenFrame_.calls.empty(); });
  ASSERT_EQ(hiddenFrame_.calls, (std::vector<Call>{{"SaveOutlookTask", "Buy milk\tmore", 0}}));
  EXPECT_EQ(app::recordPending, 0);
  EXPECT_FALSE(RecordTimerArmed());
  // The session opened for the record is released at the end of the tick.
  EXPECT_FALSE(hiddenFrame_.Session().IsOpen());
  EXPECT_EQ(os::LogonCount(), 1);
  EXPECT_EQ(os::ServerUsers(), 0);
  EXPECT_EQ(LogTexts(), (std::vector<std::string>{"OnCopyData::New Data from OV.", "OnCopyData::New Item"}));
}

// The reports a loop of sends hands to a slow main application wait for its command: once its
// record is parked and its action is in the queue still (a loop of sends takes only sent
// messages), or has armed the timer; not for a record alone, nor after the command is performed.
TEST_F(MainFrameTest, TheReportsWaitForAParkedRecordWhoseActionCame) {
  EXPECT_FALSE(hiddenFrame_.CommandWaits());
  SendRecord(mainapp::kTask, "Buy milk");
  EXPECT_FALSE(hiddenFrame_.CommandWaits()) << "a record alone may wait for its action for ever";
  PostMessageA(hiddenFrame_.Window(), RegisterWindowMessageA("Orvane_SaveNow"), 0, 0);
  EXPECT_TRUE(hiddenFrame_.CommandWaits()) << "its action is in the queue";
  PumpUntil([&] { return RecordTimerArmed(); });
  EXPECT_TRUE(hiddenFrame_.CommandWaits()) << "its action armed the timer";
  PumpUntil([&] { return !hiddenFrame_.calls.empty() && !RecordTimerArmed(); });
  EXPECT_FALSE(hiddenFrame_.CommandWaits());
}

// One piece of the intake: a record of a kind, an action message, or a tick of the record timer.
struct Step {
  enum Type { Record, Action, Tick } type;
  uint32_t kind = 0;
  std::string text;
};
Step RecordStep(uint32_t kind, std::string text) { return {Step::Record, kind, std::move(text)}; }
Step ActionStep(const char* name) { return {Step::Action, 0, name}; }
Step TickStep() { return {Step::Tick, 0, ""}; }

struct Scenario {
  const char* what;
  std::vector<Step> steps;
  std::vector<Call> calls;
};

TEST_F(MainFrameTest, LastRecordAndLastActionArePerformedOnTheNextTick) {
  const Scenario scenarios[] = {
      {"action before its record",
       {ActionStep("Orvane_ChangeNow"), TickStep(), RecordStep(mainapp::kTask, "late"), TickStep()},
       {{"ChangeOutlookTask", "late", 0}}},
      {"two records and two actions",
       {RecordStep(mainapp::kAppointment, "first"), RecordStep(mainapp::kTask, "second"), ActionStep("Orvane_SaveNow"),
        ActionStep("Orvane_DeleteNow"), TickStep(), TickStep()},
       {{"DeleteOutlookItem", "second", mainapp::kTask}}},
      {"no writer for the action",
       {RecordStep(mainapp::kNote, "a note"), ActionStep("Orvane_DoneNow"), TickStep(), TickStep()},
       {}},
      {"a kind not accepted",
       {RecordStep(mainapp::kTask, "parked"), RecordStep(mainapp::kChangedTask, "ignored"),
        ActionStep("Orvane_SaveNow"), TickStep()},
       {{"SaveOutlookTask", "parked", 0}}},
      {"a record too long",
       {RecordStep(mainapp::kTask, "kept"), RecordStep(mainapp::kTask, std::string(5000, 'x')),
        ActionStep("Orvane_SaveNow"), TickStep()},
       {{"SaveOutlookTask", "kept", 0}}},
      {"a zero byte ends the record",
       {RecordStep(mainapp::kTaskLink, std::string("57\0tail", 7)), ActionStep("Orvane_SaveNow"), TickStep()},
       {{"SetOutlookLinkId", "57", mainapp::kTaskLink}}},
  };
  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.what);
    hiddenFrame_.calls.clear();
    for (const Step& step : scenario.steps) {
      switch (step.type) {
        case Step::Record: SendRecord(step.kind, step.text); break;
        case Step::Action: SendAction(step.text.c_str()); break;
        case Step::Tick: Tick(app::kRecordTimer); break;
      }
    }
    EXPECT_EQ(hiddenFrame_.calls, scenario.calls);
    EXPECT_EQ(app::recordPending, 0);
    EXPECT_FALSE(RecordTimerArmed());
  }
  const std::vector<std::string> log = LogTexts();
  EXPECT_EQ(
      std::count(log.begin(), log.end(), "OnCopyData::Record refused, too long for the record buffer: bytes 5000"), 1);
}

// The next command comes while a tick performs one: its record while the sinks go down or while
// the writer waits on Outlook, its action with it or after. Each record is performed once, whole,
// under its own action; one whose action has not come waits for it.
TEST_F(MainFrameTest, ACommandArrivingDuringATickIsNeitherMixedInNorPerformedUnderTheOthersAction) {
  struct Case {
    const char* what;
    bool beforeTheWrite;
    bool actionWithIt;
  };
  const Call first{"SaveOutlookTask", "original", 0};
  const Call next{"ChangeOutlookTask", "arrived meanwhile", 0};
  for (const Case& c : {Case{"during the write, with its action", false, true},
                        Case{"during the write, its action later", false, false},
                        Case{"while the sinks go down, its action later", true, false}}) {
    SCOPED_TRACE(c.what);
    hiddenFrame_.calls.clear();
    outbound::sinksConnected = c.beforeTheWrite;
    SendRecord(mainapp::kTask, "original");
    SendAction("Orvane_SaveNow");
    auto arrives = [&] {
      SendRecord(mainapp::kTask, "arrived meanwhile");
      if (c.actionWithIt) SendAction("Orvane_ChangeNow");
    };
    (c.beforeTheWrite ? hiddenFrame_.duringDisconnect : hiddenFrame_.duringCall) = arrives;
    Tick(app::kRecordTimer);
    EXPECT_EQ(app::recordPending, 1);
    Tick(app::kRecordTimer);
    if (!c.actionWithIt) {
      EXPECT_EQ(hiddenFrame_.calls, std::vector<Call>{first}) << "the record waits for its own action";
      SendAction("Orvane_ChangeNow");
      Tick(app::kRecordTimer);
    }
    EXPECT_EQ(hiddenFrame_.calls, (std::vector<Call>{first, next}));
    EXPECT_EQ(app::recordPending, 0);
    outbound::sinksConnected = false;
  }
}

// Outlook's main window, the stand-in's, for the life of the object.
struct OutlookRuns {
  OutlookRuns() { os::ShowMainWindow(); }
  ~OutlookRuns() { os::CloseMainWindow(); }
};

// A tick that COM's wait loop dispatches while another tick waits on Outlook returns at once.
struct Nesting {
  UINT_PTR outer;
  UINT_PTR inner;
  Call outerCall;
  std::vector<Call> innerCallsAfterwards;  // what the inner timer does on its next tick
  bool recordTimerArmedAfter;
};

TEST_F(MainFrameTest, OutlookWorkOfOneTickIsNeverEnteredByAnother) {
  const OutlookRuns outlook;
  const Call save{"SaveOutlookTask", "once", 0};
  const Call connect{"ConnectSinks", "", 0};
  const Nesting nestings[] = {
      {app::kRecordTimer, app::kSinkTimer, save, {connect}, false},
      {app::kRecordTimer, app::kRecordTimer, save, {}, false},
      {app::kSinkTimer, app::kRecordTimer, connect, {save}, true},
  };
  for (const Nesting& nesting : nestings) {
    SCOPED_TRACE(testing::Message() << nesting.inner << " inside " << nesting.outer);
    SendRecord(mainapp::kTask, "once");
    SendAction("Orvane_SaveNow");
    hiddenFrame_.calls.clear();
    hiddenFrame_.duringCall = [&] { Tick(nesting.inner); };
    Tick(nesting.outer);
    EXPECT_EQ(hiddenFrame_.calls, std::vector<Call>{nesting.outerCall});
    EXPECT_EQ(RecordTimerArmed(), nesting.recordTimerArmedAfter);
    hiddenFrame_.calls.clear();
    Tick(nesting.inner);
    EXPECT_EQ(hiddenFrame_.calls, nesting.innerCallsAfterwards);
    Tick(app::kRecordTimer);  // performs a record still pending
  }
}

// The link timer waits for the link and for Outlook, rests while the sinks are connected, and is
// armed again when a record takes them down.
TEST_F(MainFrameTest, TheLinkTimerWaitsForTheLinkAndRestsWhileTheSinksAreConnected) {
  const OutlookRuns outlook;
  WriteLinkSetting(0);
  Tick(app::kSinkTimer);
  WriteLinkSetting(1);
  const Call connect{"ConnectSinks", "", 0};
  // The timer still runs: it connects on its own once the link is on.
  PumpUntil([&] { return !hiddenFrame_.calls.empty(); });
  EXPECT_EQ(hiddenFrame_.calls, std::vector<Call>{connect});
  EXPECT_FALSE(SinkTimerStopsNow());
  SendRecord(mainapp::kTask, "once");
  SendAction("Orvane_SaveNow");
  Tick(app::kRecordTimer);
  EXPECT_TRUE(SinkTimerStopsNow());
}

// An Outlook whose server answers that it is gone to every attempt to connect, twice a second,
// is told of in the log once; after the sinks connect again, its next going is told of again.
TEST_F(MainFrameTest, AnOutlookThatKeepsAnsweringGoneIsLoggedOnceUntilTheSinksConnectAgain) {
  const OutlookRuns outlook;
  const std::string gone = "OrvaneOutlook=>Outlook has gone away; the sinks wait until it is back";
  const auto goneLines = [&] {
    const std::vector<std::string> log = LogTexts();
    return static_cast<int>(std::count(log.begin(), log.end(), gone));
  };
  struct Attempt {
    bool answersGone;
    int linesAfter;
  };
  const Attempt attempts[] = {{true, 1}, {true, 1}, {true, 1}, {false, 1}, {true, 2}, {true, 2}};
  for (const Attempt& attempt : attempts) {
    if (attempt.answersGone) {
      hiddenFrame_.duringCall = [] { throw outlook::AutomationError(RPC_E_DISCONNECTED, "The object is gone"); };
    }
    Tick(app::kSinkTimer);
    EXPECT_EQ(goneLines(), attempt.linesAfter);
  }
  // One attempt connected; the last, answered gone, left the link timer running.
  EXPECT_EQ(hiddenFrame_.calls, (std::vector<Call>{{"ConnectSinks", "", 0}}));
  EXPECT_TRUE(SinkTimerStopsNow());
}

struct Failure {
  const char* what;
  std::function<void()> thrower;
  std::vector<std::string> log;
  std::vector<Ending> endings;
};

// Outlook's words that fit the line whole but leave it no room for the member as well.
constexpr char kLongWords[] =
    "The operation failed because the item was changed by another user or in another window; "
    "open the item again.";
constexpr size_t kTickLead = sizeof "OrvaneOutlook=>OnTimerException::" - 1;
static_assert(sizeof kLongWords - 1 + kTickLead <= 150 &&
              sizeof kLongWords - 1 + kTickLead + sizeof " (TaskItem.Subject put)" - 1 > 150);

TEST_F(MainFrameTest, FailedTickIsLoggedAndHandedOverUnlessTheProcessIsEnding) {
  const Failure failures[] = {
      {"Outlook refuses",
       [] { throw outlook::AutomationError(E_FAIL, "Outlook is busy"); },
       {"OrvaneOutlook=>OnTimerException::Outlook is busy"},
       {Ending::HandOff}},
      {"Outlook refuses one member",
       [] { throw outlook::AutomationError(E_FAIL, "Subject refused by the check", "TaskItem.Subject put"); },
       {"OrvaneOutlook=>OnTimerException::Subject refused by the check (TaskItem.Subject put)"},
       {Ending::HandOff}},
      {"Outlook refuses in words too long for the member as well",
       [] { throw outlook::AutomationError(E_FAIL, kLongWords, "TaskItem.Subject put"); },
       {std::string("OrvaneOutlook=>OnTimerException::") + kLongWords},
       {Ending::HandOff}},
      {"the process was asked to end",
       [] {
         CurrentProcessControl().ExitNormally();
         throw outlook::AutomationError(E_FAIL, "Outlook cannot be created");
       },
       {},
       {Ending::ExitNormally}},
  };
  for (const Failure& failure : failures) {
    SCOPED_TRACE(failure.what);
    // A control of its own: one asked to end once counts no further failure.
    RecordingControl control;
    const ScopedProcessControl inCharge(control);
    SendRecord(mainapp::kTask, "fails");
    SendAction("Orvane_SaveNow");
    DeleteFileA("OrvaneErrorLog.txt");
    hiddenFrame_.duringCall = failure.thrower;
    Tick(app::kRecordTimer);
    EXPECT_EQ(LogTexts(), failure.log);
    EXPECT_EQ(control.endings, failure.endings);
  }
}

TEST_F(MainFrameTest, EndingsAskTheProcessControl) {
  SendAction("Orvane_CloseStubNow");
  EXPECT_EQ(control_.endings, std::vector<Ending>{Ending::TerminateAtOnce});
  // The fifteen-minute replacement waits while a record is pending.
  app::startTick = GetTickCount() - app::kAgeLimitMs;
  SendRecord(mainapp::kTask, "pending");
  Tick(app::kWatchdogTimer);
  EXPECT_EQ(control_.endings.size(), 1u);
  SendAction("Orvane_SaveNow");
  Tick(app::kRecordTimer);
  Tick(app::kWatchdogTimer);
  EXPECT_EQ(control_.endings, (std::vector<Ending>{Ending::TerminateAtOnce, Ending::HandOff}));
  // Without the main application and with the link off the plug-in exits.
  app::startTick = GetTickCount();
  WriteLinkSetting(0);
  Tick(app::kWatchdogTimer);
  EXPECT_EQ(control_.endings.back(), Ending::ExitNormally);
}

}  // namespace

}  // namespace orvane
