#include "base/error_log.h"

#include "base/file_places.h"
#include "base/log_cap.h"
#include "base/log_line.h"
#include "base/user_folders.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <string>

namespace orvane {

namespace {

constexpr char kLogFileName[] = "OrvaneErrorLog.txt";
constexpr wchar_t kLogFileNameWide[] = L"OrvaneErrorLog.txt";

// Whether this process already said in the per-user log why its lines are there.
std::atomic<bool> fallbackExplained{false};

std::string LocalTimeText() {
  const std::time_t now = std::time(nullptr);
  char text[32] = "";
  if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, kLogTimeFormat, local);
  return text;
}

// Opened and closed on every line, so other programs may read or move the log in between.
bool AppendToLog(const std::string& line) {
  return AppendWithCap([] { return std::fopen(kLogFileName, "at"); },
                       [] { return MoveFileExA(kLogFileName, kOlderLogFileName, MOVEFILE_REPLACE_EXISTING) != 0; },
                       line);
}

// The same log in the plug-in's per-user folder, for a current directory the user cannot write
// (a program under Program Files: a 64-bit process gets no file virtualization).
bool AppendToPerUserLog(const std::string& line) {
  const std::wstring folder = OwnStateFolder();
  if (folder.empty()) return false;
  const std::wstring path = places::Join(folder, kLogFileNameWide);
  const std::wstring older = places::Join(folder, kOlderLogFileNameWide);
  const auto append = [&](const std::string& text) {
    return AppendWithCap([&] { return _wfopen(path.c_str(), L"at"); },
                         [&] { return MoveFileExW(path.c_str(), older.c_str(), MOVEFILE_REPLACE_EXISTING) != 0; },
                         text);
  };
  if (!fallbackExplained.load()) {
    const std::wstring here = CurrentDirectoryWide();
    std::string directory(here.size(), '?');
    WideCharToMultiByte(CP_ACP, 0, here.data(), static_cast<int>(here.size()), directory.data(),
                        static_cast<int>(directory.size()), nullptr, nullptr);
    if (!append(FormatLogLine(LocalTimeText(), "OrvaneOutlook=>WriteLog::The log cannot be written in " + directory +
                                                   "; it goes on here"))) {
      return false;
    }
    fallbackExplained.store(true);
  }
  return append(line);
}

// The last trace when no log file can be written at all: a debugger or a system trace tool sees it.
void TellDebugger(const std::string& line) {
  const std::string text = "OrvaneOutlook log:" + line + "\n";
  std::wstring wide(text.size(), L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                         static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
  OutputDebugStringW(wide.c_str());
}

}  // namespace

int WriteLog(const char* text) {
  const std::string line = FormatLogLine(LocalTimeText(), text ? text : "");
  if (AppendToLog(line)) return 1;
  if (AppendToPerUserLog(line)) return 1;
  TellDebugger(line);
  return 0;
}

int WriteLogNumbered(const char* text, int32_t number) {
  return WriteLog(NumberedLogText(text ? text : "", number).c_str());
}

void LogCaughtFailure(const char* where, const char* what, const char* member) noexcept {
  char line[400];
  std::snprintf(line, sizeof line, "OrvaneOutlook=>%s::%s", where ? where : "", what ? what : "");
  try {
    WriteLog(WithFailedMember(line, member ? member : "").c_str());
  } catch (...) {
    // Out of memory even for the line: nothing is left to write it with.
  }
}

}  // namespace orvane
