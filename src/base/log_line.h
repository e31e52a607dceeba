// The text of one log line, and the numbered trace text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// The longest part of a caller's text that a log line keeps.
constexpr size_t kLogMaxText = 150;
// The time stamp's form: two-digit month, day and year, 24-hour clock.
constexpr char kLogTimeFormat[] = "%m/%d/%y %H:%M:%S";

// " <time> <text>", the text cut at kLogMaxText characters (or at a zero byte, as a C string ends).
std::string FormatLogLine(std::string_view timeText, std::string_view text);
// A failure's log text: `text` (the line's lead and the server's words), then the member whose
// call failed in parentheses, " (TaskItem.Subject put)". The member is left out when the two do not
// fit in kLogMaxText together, so the cut of a long line takes it before any of the words.
std::string WithFailedMember(std::string_view text, std::string_view member);
// The text immediately followed by the number in decimal.
std::string NumberedLogText(std::string_view text, int32_t number);

}  // namespace orvane
