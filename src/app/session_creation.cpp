#include "app/session_creation.h"

#include "base/callback_guard.h"
#include "base/error_log.h"
#include "base/process_control.h"
#include "outlook/automation_error.h"

#include <string>

namespace orvane::app {

namespace {

// The line that says why Outlook could not be had. An Outlook run as administrator refuses a
// client of lower integrity with CO_E_SERVER_EXEC_FAILURE, which the line then points out before
// the system's words, so that the log's cut at 150 characters keeps it.
void LogCreateFailure(HRESULT result) {
  std::string line = "OrvaneOutlook=>Outlook cannot be created";
  if (result == CO_E_SERVER_EXEC_FAILURE) line += ", it may be running with other rights than the plug-in";
  line += ": " + outlook::DescribeResult(result);
  WriteLog(line.c_str());
}

}  // namespace

void ShellSessionCreation::BeforeSecondTry() noexcept { Sleep(retryDelayMs_); }

void ShellSessionCreation::CannotCreate(HRESULT result) noexcept {
  // The ending comes even when the line cannot be written.
  GuardedCall("CreateOutlookSession", [&] { LogCreateFailure(result); });
  CurrentProcessControl().ExitNormally();
}

}  // namespace orvane::app
