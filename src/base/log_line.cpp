#include "base/log_line.h"

namespace orvane {

namespace logline {

std::string Format(std::string_view timeText, std::string_view text) {
  const size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  std::string line;
  line.reserve(timeText.size() + kMaxText + 2);
  line += ' ';
  line += timeText;
  line += ' ';
  line += text.substr(0, kMaxText);
  return line;
}

std::string Numbered(std::string_view text, int32_t number) {
  std::string result(text);
  result += std::to_string(number);
  return result;
}

}  // namespace logline

}  // namespace orvane
