#include "app/stub_app.h"

#include "app/instance.h"
#include "app/plugin_control.h"
#include "app/program_info.h"
#include "app/registry_key.h"
#include "app/resource_ids.h"
#include "app/session_end.h"
#include "app/start_line.h"
#include "app/server_registration.h"
#include "base/callback_guard.h"
#include "base/com_object.h"
#include "base/error_log.h"
#include "base/module_path.h"
#include "base/process_control.h"
#include "outlook/busy_retry.h"
#include "outlook/outlook_session.h"

#include <cstdio>

namespace orvane::app {

namespace {

constexpr char kRegistryKey[] = "Software\\Local AppWizard-Generated Applications\\stub";

// COM starts a local server in the system directory, which is never the program's: the
// program's own directory then stands for the current one, for "Orvane.ini" and the log.
void WorkInProgramDirectory() {
  const std::wstring path = ModulePathWide();
  const size_t separator = path.find_last_of(L"\\/");
  if (separator != std::wstring::npos) SetCurrentDirectoryW(path.substr(0, separator + 1).c_str());
}

}  // namespace

CStubApp& TheApp() {
  static CStubApp app;
  return app;
}

int CStubApp::Run(HINSTANCE instance, const char* commandLine) {
  instance_ = instance;
  switches_ = app::ParseStartSwitches(commandLine ? commandLine : "");
  if (switches_.EndsAtOnce()) return RunSwitchJob();
  if (switches_.StartedByCom()) WorkInProgramDirectory();
  return RunPlugin();
}

int CStubApp::RunSwitchJob() const {
  if (switches_.help) {
    TellUser(UsageText());
    return 0;
  }
  if (switches_.version) {
    TellUser(VersionText());
    return 0;
  }
  if (switches_.close) return CloseRunningPlugin();
  if (switches_.unregServer) return UnregisterAutomationServer() ? 0 : 1;
  return RegisterAutomationServer() ? 0 : 1;
}

int CStubApp::RunPlugin() {
  SetFailureReporter(&LogCaughtFailure);
  SystemProcessControl system;
  PluginControl control(system);
  const ScopedProcessControl inCharge(control);
  const Apartment ole(Apartment::Kind::Ole);
  if (!ole.Ok()) {
    char text[256] = "";
    LoadStringA(instance_, IDS_OLE_INIT_FAILED, text, static_cast<int>(sizeof text));
    MessageBoxA(nullptr, text, nullptr, MB_OK);
    return 0;
  }
  // Outlook turns calls away while it is busy; the filter has COM wait and try again, for the
  // plug-in's whole life.
  const MessageFilterRegistration busyRetry(MakeComObject<outlook::BusyRetryFilter>().Get());
  const int code = InitInstance() ? MessageLoop() : 0;
  CloseDocument();
  return code;
}

bool CStubApp::InitInstance() {
  if (!ClaimSingleInstance()) {
    CurrentProcessControl().TerminateAtOnce();
    return false;
  }
  WriteLog(StartLogLine().c_str());
  LoadRecentFileList(4);
  accelerators_ = LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(IDR_MAINFRAME));
  if (!switches_.StartedByCom()) {
    RegisterAutomationServer();
    return OpenDocument();
  }
  // Started for a client: only the class factory; the frame comes with the client's document.
  return RegisterClassFactory();
}

bool CStubApp::RegisterClassFactory() {
  const ComPtr<IClassFactory> factory = MakeDocumentFactory(*this);
  // One client per process: each further client starts an instance of its own.
  classFactory_ = ClassRegistration(kDocumentClsid, factory.Get(), CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE);
  return classFactory_.Ok();
}

void CStubApp::LoadRecentFileList(int entries) {
  // Read only: a list that is not there is not made.
  const RegistryKey list = RegistryKey::Open(HKEY_CURRENT_USER, std::string(kRegistryKey) + "\\Recent File List");
  recentFiles_.clear();
  for (int i = 1; i <= entries; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "File%d", i);
    std::string file = list.GetText(name);
    if (!file.empty()) recentFiles_.push_back(std::move(file));
  }
}

bool CStubApp::OpenDocument() {
  if (frame_) return true;
  auto frame = std::make_unique<CMainFrame>();
  if (!frame->Create()) return false;
  auto view = std::make_unique<CStubView>();
  view->Create(frame->Window());
  SetMenu(frame->Window(), LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_MAINFRAME)));
  ShowWindow(frame->Window(), SW_HIDE);
  frame_ = std::move(frame);
  view_ = std::move(view);
  TakeUpHeldRecord(frame_->Window());
  return true;
}

void CStubApp::DocumentReleased() {
  if (switches_.StartedByCom()) PostQuitMessage(0);
}

void CStubApp::CloseDocument() {
  view_.reset();
  frame_.reset();
  classFactory_.Revoke();
}

int CStubApp::MessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    const HWND frame = frame_ ? frame_->Window() : nullptr;
    if (frame && accelerators_ && TranslateAcceleratorA(frame, accelerators_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace orvane::app
