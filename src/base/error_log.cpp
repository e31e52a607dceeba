#include "base/error_log.h"

#include "base/log_line.h"
#include "base/unique_resource.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace orvane {

namespace {

constexpr char kLogFileName[] = "OrvaneErrorLog.txt";

std::string LocalTimeText() {
  const std::time_t now = std::time(nullptr);
  char text[32] = "";
  if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, logline::kTimeFormat, local);
  return text;
}

}  // namespace

int WriteLog(const char* text) {
  // Opened and closed on every line, so other programs may read or move the log in between.
  const UniqueCFile file(std::fopen(kLogFileName, "at"));
  if (!file) return 0;
  const std::string line = logline::Format(LocalTimeText(), text ? text : "");
  std::fprintf(file.Get(), "%s\n", line.c_str());
  return 1;
}

int WriteLogNumbered(const char* text, int32_t number) {
  return WriteLog(logline::Numbered(text ? text : "", number).c_str());
}

void LogCaughtFailure(const char* where, const char* what) noexcept {
  char line[400];
  std::snprintf(line, sizeof line, "OrvaneOutlook=>%s::%s", where ? where : "", what ? what : "");
  try {
    WriteLog(line);
  } catch (...) {
    // Out of memory even for the line: it is lost, as a line is when the log cannot be opened.
  }
}

}  // namespace orvane
