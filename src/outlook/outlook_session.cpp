#include "outlook/outlook_session.h"

#include "base/error_log.h"
#include "base/process_control.h"

#include <string>

namespace orvane::outlook {

DispatchDriver outlookApp;
DispatchDriver outlookNamespace;

namespace {

constexpr DWORD kCreateRetryDelayMs = 5000;

// The line that says why Outlook could not be had. An Outlook run as administrator refuses a
// client of lower integrity with CO_E_SERVER_EXEC_FAILURE, which the line then points out before
// the system's words, so that the log's cut at 150 characters keeps it.
void LogCreateFailure(HRESULT result) {
  std::string line = "OrvaneOutlook=>Outlook cannot be created";
  if (result == CO_E_SERVER_EXEC_FAILURE) line += ", it may be running with other rights than the plug-in";
  line += ": " + DescribeResult(result);
  WriteLog(line.c_str());
}

// Outlook's automation server, tried twice 5 s apart. Without it the plug-in has nothing to do,
// so it ends after one log line; the main application starts it again when it needs it.
void CreateApplicationOrEnd() {
  if (SUCCEEDED(outlookApp.Create(outlook::kProgId))) return;
  Sleep(kCreateRetryDelayMs);
  const HRESULT result = outlookApp.Create(outlook::kProgId);
  if (SUCCEEDED(result)) return;
  LogCreateFailure(result);
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

}  // namespace orvane::outlook
