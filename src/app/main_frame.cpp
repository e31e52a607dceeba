#include "app/main_frame.h"

#include "app/intake.h"
#include "app/registered_actions.h"
#include "app/resource_ids.h"
#include "app/settings.h"
#include "app/about_box.h"
#include "app/session_end.h"
#include "app/start_line.h"
#include "app/watchdog_rules.h"
#include "base/callback_guard.h"
#include "base/error_log.h"
#include "base/log_line.h"
#include "base/process_control.h"
#include "items/item_kinds.h"
#include "inbound/writers.h"
#include "mainapp/main_app_window.h"
#include "mainapp/registered_messages.h"

#include <cstdio>
#include <utility>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace orvane::app {

DWORD startTick = 0;

namespace {

constexpr char kFrameClassName[] = "OrvaneOutlookFrame";
constexpr UINT kRecordPeriodMs = 1000;
// The shortest period Windows keeps (it raises anything shorter to this), said outright so that
// no system runs the link timer faster: after an inbound record the sinks are back at once.
constexpr UINT kSinkPeriodMs = USER_TIMER_MINIMUM;
// While the link is off or Outlook is not running, the link timer looks twice a second, as the
// watchdog does: looking every 10 ms would keep an idle plug-in (and the system serving its
// window searches and setting reads) busy for nothing.
constexpr UINT kSinkWaitPeriodMs = 500;
constexpr UINT kWatchdogPeriodMs = 500;

std::string WindowTitle(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string title(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, title.data(), length + 1);
  title.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return title;
}

// Logs an exception that reached a timer tick (its text cut at 255 characters), then the member
// whose call failed, and hands over to a successor.
void HandTickFailure(const char* message, const char* member) noexcept {
  char line[300];
  std::snprintf(line, sizeof line, "OrvaneOutlook=>OnTimerException::%.255s", message);
  // The hand-off comes even when the line cannot be written.
  GuardedCall("OnTimerException", [&] { WriteLog(WithFailedMember(line, member).c_str()); });
  CurrentProcessControl().HandOff(mainapp::FindMainAppWindow());
}

app::Desktop LookAtDesktop(bool outlookWorkInProgress) {
  app::Desktop desktop;
  desktop.outlookWorkPending = recordPending == 1 || outlookWorkInProgress;
  desktop.mainAppWindow = mainapp::FindMainAppWindow() != nullptr;
  desktop.readOutlookLink = [] { return ReadSetting(kOutlookToOrvane, 0); };
  desktop.installerWindow = FindWindowA(app::kInstallerClass, app::kInstallerTitle) != nullptr;
  desktop.updaterPackageWindow = FindWindowA(nullptr, app::kUpdaterPackageTitle) != nullptr;
  desktop.now = GetTickCount();
  desktop.startTick = startTick;
  const HWND foreground = GetForegroundWindow();
  desktop.foregroundWindow = foreground && IsWindow(foreground);
  if (desktop.foregroundWindow) desktop.foregroundTitle = WindowTitle(foreground);
  return desktop;
}

// A test build's plug-in may be told to hand off sooner; a release never reads the setting.
std::optional<uint32_t> TestHandOffAfter() {
#if defined(ORVANE_TEST_CONTROLS)
  char text[16] = {};
  const DWORD length = GetEnvironmentVariableA("ORVANE_TEST_HANDOFF_AFTER_MS", text, sizeof text);
  if (length > 0 && length < sizeof text) return static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
#endif
  return std::nullopt;
}

// The writer the parked record and the last action call for.
app::Writer PendingWriter() {
  return app::ChooseWriter(pendingKind, app::ActionOf(pendingAction, RegisteredActions()));
}

}  // namespace

CMainFrame::CMainFrame() { startTick = app::StartTickForHandOff(GetTickCount(), TestHandOffAfter()); }

CMainFrame::~CMainFrame() {
  DisconnectSinks();
  DestroyOwnWindow();
}

// Never shown: the frame is only the plug-in's address on the desktop.
bool CMainFrame::Create() { return CreateWindowOf({kFrameClassName, kFrameTitle}); }

LRESULT CMainFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_COPYDATA:
      OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return DefaultHandling(message, wParam, lParam);
    case WM_TIMER: OnTimer(wParam); return DefaultHandling(message, wParam, lParam);
    case WM_COMMAND:
      if (LOWORD(wParam) == ID_APP_ABOUT) {
        ShowAboutDialog(Window());
        return 0;
      }
      break;
    case WM_QUERYENDSESSION: return app::OnQueryEndSession();
    case WM_ENDSESSION: app::OnEndSession(wParam, lParam, link_, CommandsInHand()); return 0;
    case WM_DESTROY:
      // Closing the frame ends the plug-in, as closing a main window does.
      PostQuitMessage(0);
      return 0;
    default:
      if (message == mainapp::saveNowMessage) return OnSaveNow(wParam, lParam);
      if (message == mainapp::doneNowMessage) return OnDoneNow(wParam, lParam);
      if (message == mainapp::changeNowMessage) return OnChangeNow(wParam, lParam);
      if (message == mainapp::deleteNowMessage) return OnDeleteNow(wParam, lParam);
      if (message == mainapp::closeStubNowMessage) return OnCloseStubNow(wParam, lParam);
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

int CMainFrame::OnCreate(CREATESTRUCTA*) {
  link_.SendFrom(Window());
  link_.YieldTo([this] { return CommandWaits(); });
  link_.StartFromKeptPictures();
  if (ReadSetting(kOutlookToOrvane, 0) != 0 && outlook::OutlookWindowExists()) OpenSessionAtStart();
  ArmSinkTimer(kSinkPeriodMs);
  SetTimer(Window(), kWatchdogTimer, kWatchdogPeriodMs, nullptr);
  return 0;
}

void CMainFrame::OpenSessionAtStart() {
  // The frame must come up with its timers even when Outlook refuses the session now: the
  // sink tick opens it again later.
  try {
    session_.Open();
  } catch (const std::exception& error) {
    WriteLog((std::string("OrvaneOutlook=>OnCreate::") + error.what()).c_str());
    session_.Release();
  }
}

BOOL CMainFrame::OnCopyData(HWND, const COPYDATASTRUCT* data) {
  WriteLog("OnCopyData::New Data from OV.");
  if (!data) return FALSE;
  const app::Receipt receipt = app::ParkRecord(data->dwData, data->lpData, data->cbData);
  switch (receipt) {
    case app::Receipt::NotAccepted: return FALSE;
    case app::Receipt::TooLarge:
    case app::Receipt::WithoutData: WriteLog(app::RefusalLogLine(receipt, data->cbData).c_str()); return FALSE;
    case app::Receipt::Parked:
      if (const char* line = app::ReceiptLogLine(pendingKind)) WriteLog(line);
      return TRUE;
  }
  return FALSE;
}

// A record is parked and its action has armed the timer, or is in the queue still: a loop of
// sends handles only sent messages, so the posted action waits behind it.
bool CMainFrame::CommandWaits() const {
  if (!commands_.empty()) return true;
  if (recordPending != 1) return false;
  if (commandArmed_) return true;
  const app::ActionMessages actions = RegisteredActions();
  MSG message;
  for (const UINT action : {actions.save, actions.change, actions.remove, actions.done}) {
    if (action != 0 && PeekMessageA(&message, Window(), action, action, PM_NOREMOVE)) return true;
  }
  return false;
}

LRESULT CMainFrame::OnActionMessage(UINT action) {
  pendingAction = action;
  commandArmed_ = SetTimer(Window(), kRecordTimer, kRecordPeriodMs, nullptr) != 0;
  return 0;
}

LRESULT CMainFrame::OnSaveNow(WPARAM, LPARAM) { return OnActionMessage(mainapp::saveNowMessage); }
LRESULT CMainFrame::OnDoneNow(WPARAM, LPARAM) { return OnActionMessage(mainapp::doneNowMessage); }
LRESULT CMainFrame::OnChangeNow(WPARAM, LPARAM) { return OnActionMessage(mainapp::changeNowMessage); }
LRESULT CMainFrame::OnDeleteNow(WPARAM, LPARAM) { return OnActionMessage(mainapp::deleteNowMessage); }
LRESULT CMainFrame::OnCloseStubNow(WPARAM, LPARAM) {
  CurrentProcessControl().TerminateAtOnce();
  return 0;
}

void CMainFrame::OnTimer(UINT_PTR id) {
  GuardedTick([&] { RunTimer(id); },
              [&](const char* message, const char* member) {
                // The successor takes the pictures over: this process writes nothing more to them.
                link_.StopKeepingPictures();
                HandTickFailure(message, member);
              });
}

void CMainFrame::RunTimer(UINT_PTR id) {
  try {
    switch (id) {
      case kRecordTimer: PerformPendingRecord(); break;
      case kSinkTimer: ConnectSinksWhenOutlookRuns(); break;
      case kWatchdogTimer:
        LetGoOfOutlookWhenGone();
        link_.SendWaitingRecords();
        link_.ConfirmEmptyReads();
        CheckWhenFolderCountsMoved();
        // A check an ItemRemove ran may have found items to look at.
        ArmReportTimerWhenItemsWait();
        WatchDesktop();
        break;
      case kDeletedItemsTimer: CheckDeletedItemsEveryMinute(); break;
      case kReportTimer: ReportWhatComparisonsFound(); break;
      default: break;
    }
  } catch (const outlook::AutomationError& error) {
    // Outlook went away under the tick: nothing to hand over, the link timer finds it once it is back.
    if (!outlook::IsServerGone(error.Result())) throw;
    LetGoOfOutlook();
  }
}

// A command leaves the intake once its record and its action have both come; an action whose record
// has not come waits for it, and a record whose action has not come waits for that, ticking every
// second without a call to Outlook: the sinks stay and nothing is compared. One command a tick is
// performed, the first taken.
void CMainFrame::PerformPendingRecord() {
  TakeCommandFromIntake();
  if (commands_.empty() || link_.WorkUnderWay() || WaitsForItsFolder(commands_.front())) return;
  const TakenCommand command = std::move(commands_.front());
  commands_.pop_front();
  StopSinkTimer();
  KillTimer(Window(), kDeletedItemsTimer);
  link_.PerformWithSinksDown([&] { CallWriter(command); }, *this);
  // A command still waiting, or an action come meanwhile, keeps the timer.
  if (commands_.empty() && pendingAction == 0) {
    KillTimer(Window(), kRecordTimer);
    commandArmed_ = false;
  }
  // The reports that waited for the command go now, behind it.
  link_.SendWaitingRecords();
  ArmSinkTimer(kSinkPeriodMs);
}

void CMainFrame::TakeCommandFromIntake() {
  if (recordPending != 1 || pendingAction == 0) return;
  commands_.push_back(
      {{pendingKind, app::ActionOf(pendingAction, RegisteredActions()), recordBuffer}, PendingWriter()});
  recordPending = 0;
  pendingAction = 0;
}

std::vector<HeldRecord> CMainFrame::CommandsInHand() const {
  std::vector<HeldRecord> inHand;
  for (const TakenCommand& command : commands_) inHand.push_back(command.held);
  const app::Action action = app::ActionOf(pendingAction, RegisteredActions());
  if (recordPending == 1 && action != app::Action::None) inHand.push_back({pendingKind, action, recordBuffer});
  return inHand;
}

// A closing rule of the watchdog ends the process whatever waits: the log keeps what is lost.
void CMainFrame::LogDroppedCommands() const {
  std::vector<uint32_t> kinds;
  for (const TakenCommand& command : commands_) kinds.push_back(command.held.kind);
  if (recordPending == 1) kinds.push_back(pendingKind);
  for (const uint32_t kind : kinds) {
    char line[100];
    std::snprintf(line, sizeof line, "OrvaneOutlook=>WatchDesktop::Closing drops the record of kind 0x%08lX",
                  static_cast<unsigned long>(kind));
    WriteLog(line);
  }
}

// Outlook shows the folder the command looks its item up in empty while the plug-in knows items
// there (a store that loads): found nothing now, the command would be lost, or a change would make
// its item anew beside the one that shows later. It waits for the folder, a second a time, for a
// while, and the commands behind it with it; then it is performed as the folder is.
bool CMainFrame::WaitsForItsFolder(const TakenCommand& command) {
  const app::Writer writer = command.writer;
  const items::ItemKind* kind = writer == app::Writer::SetOutlookLinkId ? items::ItemKindOfLink(command.held.kind)
                                                                        : items::ItemKindOf(command.held.kind);
  const bool looksUp = writer != app::Writer::None && writer != app::Writer::SaveOutlookApps &&
                       writer != app::Writer::SaveOutlookTask && writer != app::Writer::SaveOutlookNote;
  if (!looksUp || !kind) return false;
  if (!link_.FolderReadsEmptyForNow(items::IndexOf(*kind))) {
    folderWaits_ = 0;
    return false;
  }
  // The ticks count for the folder's showing, not for each command: those behind the first wait
  // no longer than it did.
  if (folderWaits_ >= kFolderWaitTicks || commands_.size() > kMostCommandsWaiting) return false;
  if (folderWaits_++ == 0) {
    WriteLog((std::string("OrvaneOutlook=>The ") + kind->folderName +
              " folder shows no items, though it holds some; the command waits for it")
                 .c_str());
  }
  return true;
}

void CMainFrame::CallWriter(const TakenCommand& command) {
  // The writers take a record they may cut up, so each works on a copy of its own.
  std::vector<char> copy(command.held.text.begin(), command.held.text.end());
  copy.push_back('\0');
  char* record = copy.data();
  const uint32_t kind = command.held.kind;
  switch (command.writer) {
    case app::Writer::SaveOutlookApps: SaveOutlookApps(record); break;
    case app::Writer::SaveOutlookTask: SaveOutlookTask(record); break;
    case app::Writer::SaveOutlookNote: SaveOutlookNote(record, 0); break;
    case app::Writer::ChangeOutlookApps: ChangeOutlookApps(record); break;
    case app::Writer::ChangeOutlookTask: ChangeOutlookTask(record); break;
    case app::Writer::ChangeOutlookNote: ChangeOutlookNote(record, 0); break;
    case app::Writer::DeleteOutlookItem: DeleteOutlookItem(record, kind); break;
    case app::Writer::DoneOutlookItem: DoneOutlookItem(record, kind); break;
    case app::Writer::SetOutlookLinkId: SetOutlookLinkId(record, kind); break;
    case app::Writer::None: break;
  }
}

void CMainFrame::ConnectSinksWhenOutlookRuns() {
  if (link_.WorkUnderWay()) return;
  // Connected, the sinks stay until an inbound record takes them down and arms the timer again.
  if (outbound::sinksConnected) {
    StopSinkTimer();
    return;
  }
  if (!outlook::OutlookWindowExists() || ReadSetting(kOutlookToOrvane, 0) == 0) {
    ArmSinkTimer(kSinkWaitPeriodMs);
    return;
  }
  // Only while this frame is the plug-in's: one that is handing over compares nothing.
  link_.ConnectAndCompare(IsThePluginsFrame(), *this);
  StopSinkTimer();
  outlookGoneLogged_ = false;
  SetTimer(Window(), kDeletedItemsTimer, kDeletedItemsPeriodMs, nullptr);
  ArmReportTimerWhenItemsWait();
}

// The hand-off retitles the frame of the process that hands over.
bool CMainFrame::IsThePluginsFrame() const { return WindowTitle(Window()) == kFrameTitle; }

void CMainFrame::ArmSinkTimer(UINT periodMs) {
  if (sinkTimerPeriodMs == periodMs) return;
  SetTimer(Window(), kSinkTimer, periodMs, nullptr);
  sinkTimerPeriodMs = periodMs;
}

void CMainFrame::StopSinkTimer() {
  KillTimer(Window(), kSinkTimer);
  sinkTimerPeriodMs = 0;
}

// Outlook raises no ItemRemove when many items go at once, nor for the last item of a store.
void CMainFrame::CheckDeletedItemsEveryMinute() {
  link_.CheckEveryMinute();
  ArmReportTimerWhenItemsWait();
}

// Outlook raises no event when many items are added or deleted at once (an import, a paste, a
// synchronisation): a folder whose count moved is compared at once rather than at the minute's
// check.
void CMainFrame::CheckWhenFolderCountsMoved() {
  if (++ticksSinceCountProbe_ < kCountProbeTicks) return;
  ticksSinceCountProbe_ = 0;
  link_.CheckWhenFolderCountsMoved();
}

// Armed once: setting it again at every watchdog tick would only restart its count.
void CMainFrame::ArmReportTimerWhenItemsWait() {
  if (reportTimerArmed_ || link_.News().ItemsToLookAt() == 0) return;
  reportTimerArmed_ = SetTimer(Window(), kReportTimer, kReportPeriodMs, nullptr) != 0;
}

void CMainFrame::StopReportTimer() {
  KillTimer(Window(), kReportTimer);
  reportTimerArmed_ = false;
}

// What a comparison found added or changed is looked at a portion per tick, so that an import of
// many items leaves the message loop, and the inbound records, running between portions.
void CMainFrame::ReportWhatComparisonsFound() {
  if (!link_.ReportWhatComparisonsFound()) StopReportTimer();
}

// Outlook quit or crashed under the connected sinks: a call found its server gone, or its window is
// gone or now belongs to another process. Looked at twice a second, with the watchdog.
void CMainFrame::LetGoOfOutlookWhenGone() {
  if (!outbound::sinksConnected || link_.WorkUnderWay() || !link_.OutlookLeft()) return;
  LetGoOfOutlook();
}

// Every object of a gone Outlook is dead: the sinks are let go of without a call to them, and the
// link timer looks for Outlook's window to connect anew and compare the folders with their pictures.
void CMainFrame::LetGoOfOutlook() {
  // An Outlook whose server keeps answering that it is gone is told of once, not at every tick.
  if (!std::exchange(outlookGoneLogged_, true)) {
    WriteLog("OrvaneOutlook=>Outlook has gone away; the sinks wait until it is back");
  }
  link_.Abandon();
  KillTimer(Window(), kDeletedItemsTimer);
  ArmSinkTimer(kSinkWaitPeriodMs);
}

// Every ending asks the process control and returns at once: only a test's control returns.
void CMainFrame::WatchDesktop() {
  switch (app::Decide(LookAtDesktop(link_.WorkUnderWay() || !commands_.empty()))) {
    case app::Verdict::Continue: return;
    case app::Verdict::ExitNoMainApp: CurrentProcessControl().ExitNormally(); return;
    case app::Verdict::CloseForInstaller: CloseAfterBox(nullptr, app::kInstallerText, MB_TASKMODAL, false); return;
    case app::Verdict::CloseForUpdaterPackage:
      CloseAfterBox(nullptr, app::kUpdaterPackageText, MB_SYSTEMMODAL, true);
      return;
    case app::Verdict::HandOff:
      link_.StopKeepingPictures();
      CurrentProcessControl().HandOff(mainapp::FindMainAppWindow());
      return;
    case app::Verdict::CloseForUpdaterInFront:
      CloseAfterBox(GetForegroundWindow(), app::kUpdaterInFrontText, MB_SYSTEMMODAL, true);
      return;
  }
}

void CMainFrame::CloseAfterBox(HWND owner, const char* text, UINT modality, bool atOnce) {
  // No further watchdog tick while the box is open; the other timers go on meanwhile.
  KillTimer(Window(), kWatchdogTimer);
  MessageBoxA(owner, text, app::kCaption, MB_OK | modality);
  LogDroppedCommands();
  if (atOnce) {
    CurrentProcessControl().TerminateAtOnce();
  } else {
    CurrentProcessControl().ExitNormally();
  }
}

void CMainFrame::SaveOutlookApps(char* record) { inbound::SaveOutlookApps(record, writerContext_); }
void CMainFrame::SaveOutlookTask(char* record) { inbound::SaveOutlookTask(record, writerContext_); }
void CMainFrame::SaveOutlookNote(char* record, int) { inbound::SaveOutlookNote(record, writerContext_); }
void CMainFrame::ChangeOutlookApps(char* record) { inbound::ChangeOutlookApps(record, writerContext_); }
void CMainFrame::ChangeOutlookTask(char* record) { inbound::ChangeOutlookTask(record, writerContext_); }
void CMainFrame::ChangeOutlookNote(char* record, int) { inbound::ChangeOutlookNote(record, writerContext_); }
void CMainFrame::DeleteOutlookItem(char* record, uint32_t kind) {
  inbound::DeleteOutlookItem(record, kind, writerContext_);
}
void CMainFrame::DoneOutlookItem(char* record, uint32_t kind) {
  inbound::DoneOutlookItem(record, kind, writerContext_);
}
void CMainFrame::SetOutlookLinkId(char* record, uint32_t kind) {
  inbound::SetOutlookLinkId(record, kind, writerContext_);
}
int CMainFrame::ReplaceChar(char* text, char from, char to) { return inbound::ReplaceChar(text, from, to); }

void CMainFrame::ConnectSinks() {
  app::LogOutlookVersion(session_);
  link_.ConnectSinks();
}

void CMainFrame::DisconnectSinks() { link_.DisconnectSinks(); }

}  // namespace orvane::app
