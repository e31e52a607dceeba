#include "app/start_line.h"

#include "app/program_info.h"
#include "base/callback_guard.h"
#include "base/error_log.h"
#include "base/unique_resource.h"
#include "outlook/late_binding.h"
#include "outlook/outlook_session.h"

#include <windows.h>

#include <cstdio>
#include <optional>

namespace orvane::app {

namespace {

// "yes", "no", or "unknown" when the process's token cannot be read.
const char* ElevationWord() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "unknown";
  const UniqueHandle owner(token);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) return "unknown";
  return elevation.TokenIsElevated ? "yes" : "no";
}

// The Outlook process whose version is logged already (0: an Outlook without a main window).
std::optional<DWORD> versionLoggedFor;

}  // namespace

std::string StartLogLine() {
  std::string version;
  // The version is digits and dots only.
  for (const wchar_t c : ProgramVersion()) version += static_cast<char>(c);
  if (version.empty()) version = "unknown";
  DWORD session = 0;
  const bool sessionKnown = ProcessIdToSessionId(GetCurrentProcessId(), &session) != 0;
  char line[150];
  std::snprintf(line, sizeof line, "OrvaneOutlook=>Start::Version %s, process %lu, session %s, elevated %s",
                version.c_str(), static_cast<unsigned long>(GetCurrentProcessId()),
                sessionKnown ? std::to_string(session).c_str() : "unknown", ElevationWord());
  return line;
}

void LogOutlookVersion(const outlook::OutlookSession& session) noexcept {
  GuardedCall("LogOutlookVersion", [&] {
    const DWORD process = outlook::OutlookProcessId();
    if (!session.IsOpen() || versionLoggedFor == process) return;
    versionLoggedFor = process;
    // By name, as a script asks: the one member read for the log only.
    const outlook::LateBound application(ComPtr<IDispatch>::Share(session.Application().Get()));
    WriteLog(("OrvaneOutlook=>Outlook version " + application.GetProperty(L"Version").ToAnsi()).c_str());
  });
}

}  // namespace orvane::app
