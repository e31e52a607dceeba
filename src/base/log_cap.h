// The log's size cap: a log that has reached it is set aside once, under the older log's name,
// and a new one begins (pure: C files only).
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace orvane {

// A log of this many bytes or more is set aside before its next line.
constexpr long kLogCapBytes = 2L * 1024 * 1024;
// The name the full log takes, beside it; an older log of that name is replaced.
constexpr char kOlderLogFileName[] = "OrvaneErrorLog.old.txt";
constexpr wchar_t kOlderLogFileNameWide[] = L"OrvaneErrorLog.old.txt";

// Appends the line and its line end to the log that `open` opens for appending (a std::FILE*, or
// null). A log at the cap is closed and `setAside` renames it to the older name; the line then
// begins a new log. When the log cannot be set aside (another process has it open), the line goes
// on the full log: the cap never costs a line. Answers whether the line was written.
template <class Open, class SetAside>
bool AppendWithCap(Open open, SetAside setAside, const std::string& line, long cap = kLogCapBytes) {
  using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
  File file(open(), &std::fclose);
  if (!file) return false;
  if (std::fseek(file.get(), 0, SEEK_END) == 0 && std::ftell(file.get()) >= cap) {
    file.reset();
    setAside();
    file = File(open(), &std::fclose);
    if (!file) return false;
  }
  return std::fprintf(file.get(), "%s\n", line.c_str()) >= 0 && std::fflush(file.get()) == 0;
}

}  // namespace orvane
