#include "outlook/outlook_session.h"

#include <utility>

namespace orvane::outlook {

// The first hold of a piece of work opens a fresh session, as Outlook may have been restarted
// since one was left open; holds inside it share it. A hold whose opening failed holds nothing.
OutlookSession::Hold::Hold(OutlookSession& session) : session_(session) {
  if (session_.holds_ == 0) {
    session_.Reopen();
  } else {
    session_.Open();
  }
  ++session_.holds_;
}

void OutlookSession::Open() {
  if (IsOpen()) return;
  CreateApplication();
  outlookNamespace = outlookApp.InvokeForObject(outlook::kGetNamespace, Variant::Text("MAPI"));
  // Four omitted arguments: Outlook uses its defaults for profile, password, dialog and new session.
  outlookNamespace.InvokeMethod(outlook::kLogon, Variant::Missing(), Variant::Missing(), Variant::Missing(),
                                Variant::Missing());
}

void OutlookSession::Reopen() {
  Retire();
  Open();
}

void OutlookSession::Release() noexcept {
  if (holds_ > 0) return;
  outlookApp.ReleaseDispatch();
  outlookNamespace.ReleaseDispatch();
}

void OutlookSession::Abandon() { Retire(); }

void OutlookSession::Let() noexcept {
  if (--holds_ > 0) return;
  retired_.clear();
  outlookApp.ReleaseDispatch();
  outlookNamespace.ReleaseDispatch();
}

// Outlook's automation server, tried twice; what comes between and after is the shell's.
void OutlookSession::CreateApplication() {
  if (SUCCEEDED(outlookApp.Create(outlook::kProgId))) return;
  creation_.BeforeSecondTry();
  const HRESULT result = outlookApp.Create(outlook::kProgId);
  if (SUCCEEDED(result)) return;
  creation_.CannotCreate(result);
  throw AutomationError(CO_E_SERVER_EXEC_FAILURE, "Outlook cannot be created");
}

// A proxy released while a call up the stack still runs on it would be gone under that call.
void OutlookSession::Retire() {
  if (holds_ > 0) {
    if (!outlookApp.IsEmpty()) retired_.push_back(std::exchange(outlookApp, {}));
    if (!outlookNamespace.IsEmpty()) retired_.push_back(std::exchange(outlookNamespace, {}));
    return;
  }
  outlookApp.ReleaseDispatch();
  outlookNamespace.ReleaseDispatch();
}

DWORD OutlookProcessId() {
  DWORD process = 0;
  if (const HWND window = FindWindowA(outlook::kMainWindowClass, nullptr)) GetWindowThreadProcessId(window, &process);
  return process;
}

bool OutlookWindowExists() { return OutlookProcessId() != 0; }

}  // namespace orvane::outlook
