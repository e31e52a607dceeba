#include "app/main_frame.h"

#include "app/error_log.h"
#include "app/instance.h"
#include "app/intake.h"
#include "app/registered_messages.h"
#include "app/resource_ids.h"
#include "app/stub_app.h"
#include "app/settings.h"
#include "app/watchdog_rules.h"
#include "outbound/deleted_items.h"
#include "outlook/outlook_session.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace orvane {

DWORD startTick = 0;
bool sinksConnected = false;

namespace {

constexpr char kFrameClassName[] = "OrvaneOutlookFrame";
constexpr UINT_PTR kRecordTimer = 9990;
constexpr UINT kRecordPeriodMs = 1000;
constexpr UINT_PTR kSinkTimer = 8888;
constexpr UINT kSinkPeriodMs = 1;
constexpr UINT_PTR kWatchdogTimer = 5555;
constexpr UINT kWatchdogPeriodMs = 500;
constexpr size_t kExceptionTextSize = 255;

// Marks a timer tick as at work; a tick of the same timer that arrives meanwhile (COM's wait loop
// dispatches timer messages while an Outlook call is under way) must not run again.
class TickInProgress {
public:
  explicit TickInProgress(bool& flag) : flag_(flag) { flag_ = true; }
  ~TickInProgress() { flag_ = false; }
  TickInProgress(const TickInProgress&) = delete;
  TickInProgress& operator=(const TickInProgress&) = delete;

private:
  bool& flag_;
};

bool RegisterFrameClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kFrameClassName;
  return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool OutlookWindowExists() { return FindWindowA(outlook::kMainWindowClass, nullptr) != nullptr; }

HWND FindMainAppWindow() { return FindWindowA(kMainAppWindowClass, nullptr); }

std::string WindowTitle(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string title(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, title.data(), length + 1);
  title.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return title;
}

// Logs an exception that reached a timer tick and hands over to a successor.
[[noreturn]] void HandTickFailure(const char* message) {
  char text[kExceptionTextSize + 1];
  lstrcpynA(text, message, static_cast<int>(sizeof text));
  const std::string line = std::string("OrvaneOutlook=>OnTimerException::") + text;
  WriteLog(line.c_str());
  HandOffAndExit(FindMainAppWindow());
}

[[noreturn]] void TerminateAtOnce() {
  TerminateProcess(GetCurrentProcess(), 0);
  std::abort();  // not reached
}

watchdog::Desktop LookAtDesktop() {
  watchdog::Desktop desktop;
  desktop.mainAppWindow = FindMainAppWindow() != nullptr;
  desktop.readOutlookLink = [] { return ReadSetting(kOutlookToOrvane, 0); };
  desktop.installerWindow = FindWindowA(watchdog::kInstallerClass, watchdog::kInstallerTitle) != nullptr;
  desktop.updaterPackageWindow = FindWindowA(nullptr, watchdog::kUpdaterPackageTitle) != nullptr;
  desktop.now = GetTickCount();
  desktop.startTick = startTick;
  const HWND foreground = GetForegroundWindow();
  desktop.foregroundWindow = foreground && IsWindow(foreground);
  if (desktop.foregroundWindow) desktop.foregroundTitle = WindowTitle(foreground);
  return desktop;
}

}  // namespace

CMainFrame::CMainFrame() { startTick = GetTickCount(); }

CMainFrame::~CMainFrame() {
  DisconnectSinks();
  tasksItems.ReleaseDispatch();
  notesItems.ReleaseDispatch();
  calendarItems.ReleaseDispatch();
  if (window_) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

bool CMainFrame::Create() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  if (!RegisterFrameClass(instance, &CMainFrame::WindowProcedure)) return false;
  // Never shown: the frame is only the plug-in's address on the desktop.
  return CreateWindowExA(0, kFrameClassName, kFrameTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this) != nullptr;
}

LRESULT CALLBACK CMainFrame::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* frame = static_cast<CMainFrame*>(create->lpCreateParams);
    frame->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
  }
  auto* frame = reinterpret_cast<CMainFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!frame) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return frame->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    // Nothing may leave a window procedure; the timer handler has its own guard.
    WriteLog((std::string("OrvaneOutlook=>WindowProcedure::") + error.what()).c_str());
    return 0;
  }
}

LRESULT CMainFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_COPYDATA:
      OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      return DefWindowProcA(window_, message, wParam, lParam);
    case WM_TIMER: OnTimer(wParam); return DefWindowProcA(window_, message, wParam, lParam);
    case WM_COMMAND:
      if (LOWORD(wParam) == ID_APP_ABOUT) {
        ShowAboutDialog(window_);
        return 0;
      }
      break;
    case WM_DESTROY:
      // Closing the frame ends the plug-in, as closing a main window does.
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: window_ = nullptr; break;
    default:
      if (message == saveNowMessage) return OnSaveNow(wParam, lParam);
      if (message == doneNowMessage) return OnDoneNow(wParam, lParam);
      if (message == changeNowMessage) return OnChangeNow(wParam, lParam);
      if (message == deleteNowMessage) return OnDeleteNow(wParam, lParam);
      if (message == closeStubNowMessage) return OnCloseStubNow(wParam, lParam);
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

int CMainFrame::OnCreate(CREATESTRUCTA*) {
  if (ReadSetting(kOutlookToOrvane, 0) != 0 && OutlookWindowExists()) OpenSessionAtStart();
  SetTimer(window_, kSinkTimer, kSinkPeriodMs, nullptr);
  SetTimer(window_, kWatchdogTimer, kWatchdogPeriodMs, nullptr);
  return 0;
}

void CMainFrame::OpenSessionAtStart() {
  // The frame must come up with its timers even when Outlook refuses the session now: the
  // sink tick opens it again later.
  try {
    CreateOutlookSession();
  } catch (const std::exception& error) {
    WriteLog((std::string("OrvaneOutlook=>OnCreate::") + error.what()).c_str());
    ReleaseOutlookSession();
  }
}

BOOL CMainFrame::OnCopyData(HWND, const COPYDATASTRUCT* data) {
  WriteLog("OnCopyData::New Data from OV.");
  if (!data) return FALSE;
  const intake::Receipt receipt = intake::ParkRecord(data->dwData, data->lpData, data->cbData);
  switch (receipt) {
    case intake::Receipt::NotAccepted: return FALSE;
    case intake::Receipt::TooLarge:
    case intake::Receipt::WithoutData: WriteLog(intake::RefusalLogLine(receipt, data->cbData).c_str()); return FALSE;
    case intake::Receipt::Parked:
      if (const char* line = intake::ReceiptLogLine(pendingKind)) WriteLog(line);
      return TRUE;
  }
  return FALSE;
}

LRESULT CMainFrame::OnActionMessage(UINT action) {
  pendingAction = action;
  SetTimer(window_, kRecordTimer, kRecordPeriodMs, nullptr);
  return 0;
}

LRESULT CMainFrame::OnSaveNow(WPARAM, LPARAM) { return OnActionMessage(saveNowMessage); }
LRESULT CMainFrame::OnDoneNow(WPARAM, LPARAM) { return OnActionMessage(doneNowMessage); }
LRESULT CMainFrame::OnChangeNow(WPARAM, LPARAM) { return OnActionMessage(changeNowMessage); }
LRESULT CMainFrame::OnDeleteNow(WPARAM, LPARAM) { return OnActionMessage(deleteNowMessage); }
LRESULT CMainFrame::OnCloseStubNow(WPARAM, LPARAM) { TerminateAtOnce(); }

void CMainFrame::OnTimer(UINT_PTR id) {
  try {
    switch (id) {
      case kRecordTimer: PerformPendingRecord(); break;
      case kSinkTimer: ConnectSinksWhenOutlookRuns(); break;
      case kWatchdogTimer: WatchDesktop(); break;
      default: break;
    }
  } catch (const std::exception& error) {
    HandTickFailure(error.what());
  } catch (...) {
    HandTickFailure("unknown exception");
  }
}

void CMainFrame::PerformPendingRecord() {
  if (performingRecord_) return;
  const TickInProgress tick(performingRecord_);
  KillTimer(window_, kSinkTimer);
  if (sinksConnected) DisconnectSinks();
  if (recordPending == 1) {
    if (outlookApp.IsEmpty()) CreateOutlookSession();
    const uint32_t parkedBefore = intake::RecordsParked();
    CallWriter(recordBuffer);
    // A record that arrived while the writer waited on Outlook stays pending for the next tick.
    if (intake::RecordsParked() == parkedBefore) {
      KillTimer(window_, kRecordTimer);
      recordPending = 0;
    }
  }
  ReleaseOutlookSession();
  SetTimer(window_, kSinkTimer, kSinkPeriodMs, nullptr);
}

void CMainFrame::CallWriter(const char* parked) {
  // The writer works on its own copy, so a record that arrives meanwhile cannot change it.
  std::vector<char> copy(parked, parked + std::strlen(parked) + 1);
  char* record = copy.data();
  const intake::ActionMessages messages{saveNowMessage, changeNowMessage, deleteNowMessage, doneNowMessage};
  const uint32_t kind = pendingKind;
  switch (intake::ChooseWriter(kind, intake::ActionOf(pendingAction, messages))) {
    case intake::Writer::SaveOutlookApps: SaveOutlookApps(record); break;
    case intake::Writer::SaveOutlookTask: SaveOutlookTask(record); break;
    case intake::Writer::SaveOutlookNote: SaveOutlookNote(record, 0); break;
    case intake::Writer::ChangeOutlookApps: ChangeOutlookApps(record); break;
    case intake::Writer::ChangeOutlookTask: ChangeOutlookTask(record); break;
    case intake::Writer::ChangeOutlookNote: ChangeOutlookNote(record, 0); break;
    case intake::Writer::DeleteOutlookItem: DeleteOutlookItem(record, kind); break;
    case intake::Writer::DoneOutlookItem: DoneOutlookItem(record, kind); break;
    case intake::Writer::SetOutlookLinkId: SetOutlookLinkId(record, kind); break;
    case intake::Writer::None: break;
  }
}

void CMainFrame::ConnectSinksWhenOutlookRuns() {
  if (connectingSinks_) return;
  const TickInProgress tick(connectingSinks_);
  const bool outlookRuns = OutlookWindowExists();
  if (sinksConnected || !outlookRuns || ReadSetting(kOutlookToOrvane, 0) == 0) return;
  CreateOutlookSession();
  ConnectSinks();
  ListItemsInOutlook();
  ReleaseOutlookSession();
}

void CMainFrame::WatchDesktop() {
  const watchdog::Desktop desktop = LookAtDesktop();
  switch (watchdog::Decide(desktop)) {
    case watchdog::Verdict::Continue: return;
    case watchdog::Verdict::ExitNoMainApp: std::exit(0);
    case watchdog::Verdict::CloseForInstaller:
      KillTimer(window_, kWatchdogTimer);
      MessageBoxA(nullptr, watchdog::kInstallerText, watchdog::kCaption, MB_OK | MB_TASKMODAL);
      std::exit(0);
    case watchdog::Verdict::CloseForUpdaterPackage:
      KillTimer(window_, kWatchdogTimer);
      MessageBoxA(nullptr, watchdog::kUpdaterPackageText, watchdog::kCaption, MB_OK | MB_SYSTEMMODAL);
      TerminateAtOnce();
    case watchdog::Verdict::HandOff: HandOffAndExit(FindMainAppWindow());
    case watchdog::Verdict::CloseForUpdaterInFront:
      KillTimer(window_, kWatchdogTimer);
      MessageBoxA(GetForegroundWindow(), watchdog::kUpdaterInFrontText, watchdog::kCaption, MB_OK | MB_SYSTEMMODAL);
      TerminateAtOnce();
  }
}

void HandOffAndExit(HWND mainAppWindow) {
  const UINT shield = RegisterWindowMessageA(kShieldMessageName);
  // A new instance must not mistake this one's frame for a running plug-in.
  if (const HWND frame = FindWindowA(nullptr, kFrameTitle)) SetWindowTextA(frame, kFrameHandOffTitle);
  if (mainAppWindow) {
    SendMessageTimeoutA(mainAppWindow, shield, 0, 0, SMTO_ABORTIFHUNG, 1, nullptr);
  } else {
    // WinExec waits for the successor's message loop; the successor must find the mutex free.
    ReleaseSingleInstance();
    WinExec("OrvaneOutlook.exe", SW_SHOWNORMAL);
  }
  std::exit(0);
}

}  // namespace orvane
