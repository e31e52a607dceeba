#include "base/log_line.h"

namespace orvane {

std::string FormatLogLine(std::string_view timeText, std::string_view text) {
  const size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  std::string line;
  line.reserve(timeText.size() + kLogMaxText + 2);
  line += ' ';
  line += timeText;
  line += ' ';
  line += text.substr(0, kLogMaxText);
  return line;
}

std::string WithFailedMember(std::string_view text, std::string_view member) {
  std::string result(text);
  if (member.empty() || text.size() + member.size() + 3 > kLogMaxText) return result;
  result += " (";
  result += member;
  result += ')';
  return result;
}

std::string NumberedLogText(std::string_view text, int32_t number) {
  std::string result(text);
  result += std::to_string(number);
  return result;
}

}  // namespace orvane
