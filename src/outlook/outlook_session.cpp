#include "outlook/outlook_session.h"

#include "base/error_log.h"
#include "base/process_control.h"

namespace orvane {

DispatchDriver outlookApp;
DispatchDriver outlookNamespace;

namespace {

constexpr DWORD kCreateRetryDelayMs = 5000;

// Outlook's automation server, tried twice 5 s apart. Without it the plug-in has nothing to do,
// so it ends quietly; the main application starts it again when it needs it.
void CreateApplicationOrEnd() {
  if (outlookApp.CreateDispatch(outlook::kProgId)) return;
  Sleep(kCreateRetryDelayMs);
  if (outlookApp.CreateDispatch(outlook::kProgId)) return;
  // Outlook's window may be there without a server behind it: the ending is not left unsaid.
  WriteLog(
      "OrvaneOutlook=>CreateOutlookSession::Outlook's automation server cannot be created after two tries; the "
      "plug-in ends");
  CurrentProcessControl().ExitNormally();
  // Only a test's control comes back here: the work that wanted Outlook stops.
  throw AutomationError(CO_E_SERVER_EXEC_FAILURE, "Outlook cannot be created");
}

}  // namespace

DispatchDriver CreateOutlookSession() {
  ReleaseOutlookSession();
  CreateApplicationOrEnd();
  outlookNamespace = outlookApp.InvokeForObject(outlook::kGetNamespace, Variant::Text("MAPI"));
  // Four omitted arguments: Outlook uses its defaults for profile, password, dialog and new session.
  outlookNamespace.InvokeMethod(outlook::kLogon, Variant::Missing(), Variant::Missing(), Variant::Missing(),
                                Variant::Missing());
  return outlookApp;
}

void ReleaseOutlookSession() {
  outlookApp.ReleaseDispatch();
  outlookNamespace.ReleaseDispatch();
}

DWORD OutlookProcessId() {
  DWORD process = 0;
  if (const HWND window = FindWindowA(outlook::kMainWindowClass, nullptr)) GetWindowThreadProcessId(window, &process);
  return process;
}

bool OutlookWindowExists() { return OutlookProcessId() != 0; }

}  // namespace orvane
