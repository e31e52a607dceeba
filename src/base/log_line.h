// The text of one log line, and the numbered trace text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

namespace logline {

// The longest part of a caller's text that a log line keeps.
constexpr size_t kMaxText = 150;
// The time stamp's form: two-digit month, day and year, 24-hour clock.
constexpr char kTimeFormat[] = "%m/%d/%y %H:%M:%S";

// " <time> <text>", the text cut at kMaxText characters (or at a zero byte, as a C string ends).
std::string Format(std::string_view timeText, std::string_view text);
// The text immediately followed by the number in decimal.
std::string Numbered(std::string_view text, int32_t number);

}  // namespace logline

}  // namespace orvane
