// Feeds arbitrary bytes to every record field reader and checks what each promises: fields
// are never empty and hold no separator, numbers stay in 32 bits and agree with the C run
// time's reading, a date takes a time of day only on the clock and reads the same with its "/"
// made "-", and times lie on the clock.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "inbound/record_fields.h"

namespace orvane {
namespace {

using fuzz::Require;

// The fields are the text with its separators taken out, in order, none empty.
void CheckSplit(std::string_view text, const std::vector<std::string_view>& fields, std::string_view separators) {
  std::string joined;
  for (const auto field : fields) {
    Require(!field.empty());
    Require(field.find_first_of(separators) == std::string_view::npos);
    Require(field.data() >= text.data() && field.data() + field.size() <= text.data() + text.size());
    joined += field;
  }
  std::string withoutSeparators;
  for (const char c : text) {
    if (separators.find(c) == std::string_view::npos) withoutSeparators += c;
  }
  Require(joined == withoutSeparators);
}

// strtoll reads the same leading blanks, sign and digits; the reader clamps to 32 bits.
void CheckNumber(std::string_view text) {
  const std::string terminated(text);
  long long expected = std::strtoll(terminated.c_str(), nullptr, 10);
  if (expected > INT32_MAX) expected = INT32_MAX;
  if (expected < INT32_MIN) expected = INT32_MIN;
  Require(inbound::ReadNumber(text) == expected);
}

void CheckDate(std::string_view text, int hour, int minute) {
  const auto ole = inbound::ReadOleDate(text, hour, minute);
  const bool clockTime = hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59;
  Require(ole.has_value() == (inbound::ReadDate(text).has_value() && clockTime));
}

// The start date field is read after its "/" have become "-"; it reads the same, unless a "/"
// starting the field became a leading minus.
void CheckDateWithDashes(std::string_view text) {
  if (!text.empty() && text.front() == '/') return;
  std::string dashes(text);
  for (char& c : dashes) c = c == '/' ? '-' : c;
  const auto before = inbound::ReadDate(text);
  const auto after = inbound::ReadDate(dashes);
  Require(before.has_value() == after.has_value());
  if (before) Require(before->day == after->day && before->month == after->month && before->year == after->year);
}

void CheckTime(std::string_view text) {
  const auto time = inbound::ReadTime(text);
  if (!time) return;
  Require(text.find(':') != std::string_view::npos);
  Require(time->hour >= 0 && time->hour <= 23 && time->minute >= 0 && time->minute <= 59);
}

void CheckDurations(std::string_view text) {
  const long minutes = inbound::ReadHundredthsAsMinutes(text);
  Require(minutes >= INT32_MIN && minutes <= INT32_MAX);
  const long hoursMinutes = inbound::ReadHoursMinutes(text);
  Require(hoursMinutes >= INT32_MIN && hoursMinutes <= INT32_MAX);
}

void CheckWords(std::string_view text) {
  Require(inbound::ReadFlag(text) == inbound::EqualsIgnoringCase("TRUE", text));
}

}  // namespace
}  // namespace orvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckSplit(text, inbound::SplitRecord(text), "\t");
  CheckSplit(text, inbound::SplitParts(text), "/-:.*");
  CheckNumber(text);
  // The time of day a caller adds is drawn from the first bytes, off the clock now and then.
  const int hour = size > 0 ? data[0] % 26 - 1 : 0;
  const int minute = size > 1 ? data[1] % 62 - 1 : 0;
  CheckDate(text, hour, minute);
  CheckDateWithDashes(text);
  CheckTime(text);
  CheckDurations(text);
  CheckWords(text);
  // Each field of a record on its own, as the writers read them.
  for (const auto field : inbound::SplitRecord(text)) {
    CheckDate(field, 0, 0);
    CheckDateWithDashes(field);
    CheckTime(field);
    CheckDurations(field);
  }
  return 0;
}
