// Reading the fields of the records the main application sends. Every reader takes whatever
// bytes arrive: a missing part reads as absent, a number never overflows, and a date or time
// that is not real gives no value, so a malformed record can at worst leave a property unset.
#include "inbound/record_fields.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "outlook/ole_date.h"

namespace orvane::inbound {

namespace {

constexpr std::int64_t kLowestNumber = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kHighestNumber = std::numeric_limits<std::int32_t>::max();

long Clamp(std::int64_t value) {
  if (value < kLowestNumber) return static_cast<long>(kLowestNumber);
  if (value > kHighestNumber) return static_cast<long>(kHighestNumber);
  return static_cast<long>(value);
}

long Clamp(double value) {
  if (!(value >= static_cast<double>(kLowestNumber))) return static_cast<long>(kLowestNumber);
  if (value > static_cast<double>(kHighestNumber)) return static_cast<long>(kHighestNumber);
  return static_cast<long>(value);  // truncates toward zero
}

// The blanks a C run time skips before a number (no locale: the record is plain bytes).
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The text from the first occurrence of the lower-case letter to the end, when it equals the
// suffix ignoring case. Only the lower-case letter starts a suffix: "AM" is no suffix.
bool HasSuffixFrom(std::string_view text, char lowerLetter, std::string_view suffix) {
  const std::size_t at = text.find(lowerLetter);
  return at != std::string_view::npos && EqualsIgnoringCase(text.substr(at), suffix);
}

enum class Meridiem { kNone, kBeforeNoon, kAfterNoon };

Meridiem ReadMeridiem(std::string_view minutesText) {
  if (HasSuffixFrom(minutesText, 'a', "am")) return Meridiem::kBeforeNoon;
  if (HasSuffixFrom(minutesText, 'p', "pm")) return Meridiem::kAfterNoon;
  return Meridiem::kNone;
}

// Twelve-hour clock to 24 hours; the exact text "12" is midnight before noon and noon after it.
long TwentyFourHour(std::string_view hourText, Meridiem meridiem) {
  const long hour = ReadNumber(hourText);
  const bool isTwelve = hourText == "12";
  if (meridiem == Meridiem::kBeforeNoon) return isTwelve ? 0 : hour;
  return isTwelve ? 12 : hour + 12;
}

constexpr std::size_t kDateParts = 3;
constexpr long kLastTwelveHour = 12;

// True when the text starts with a sign after any blanks.
bool StartsWithSign(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  return first < text.size() && (text[first] == '+' || text[first] == '-');
}

// True when the part of a date carries a sign: "+" before its digits, or the "-" that starts the
// field. Any other "-" separates, however many separators stand beside it: a run of separators
// counts as one, so "5//11/2006" reads the same once its "/" have become "-" ("5--11-2006").
bool IsSigned(std::string_view field, std::string_view part) {
  if (StartsWithSign(part)) return true;
  const auto at = static_cast<std::size_t>(part.data() - field.data());
  return at == 1 && field[0] == '-';
}

}  // namespace

std::vector<std::string_view> Split(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> fields;
  std::size_t start = text.find_first_not_of(separators);
  while (start != std::string_view::npos) {
    const std::size_t end = text.find_first_of(separators, start);
    fields.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    start = end == std::string_view::npos ? end : text.find_first_not_of(separators, end);
  }
  return fields;
}

long ReadNumber(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  // Accumulate the magnitude only until it leaves the 32-bit range: more digits change nothing.
  std::int64_t magnitude = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    if (magnitude <= kHighestNumber + 1) magnitude = magnitude * 10 + (text[at] - '0');
  }
  return Clamp(negative ? -magnitude : magnitude);
}

std::optional<Date> ReadDate(std::string_view field) {
  const auto parts = SplitParts(field);
  if (parts.size() < kDateParts) return std::nullopt;
  // "-" also separates the parts, so "-5/11/2006" would otherwise read as 5 November 2006.
  for (std::size_t i = 0; i < kDateParts; ++i) {
    if (IsSigned(field, parts[i])) return std::nullopt;
  }
  const Date date{static_cast<int>(ReadNumber(parts[0])), static_cast<int>(ReadNumber(parts[1])),
                  static_cast<int>(ReadNumber(parts[2]))};
  // The date must be one the target can hold, whatever time of day a caller adds.
  if (!outlook::FromDateTime({date.year, date.month, date.day, 0, 0})) return std::nullopt;
  return date;
}

std::optional<double> ReadOleDate(std::string_view field, int hour, int minute) {
  const auto date = ReadDate(field);
  if (!date) return std::nullopt;
  return outlook::FromDateTime({date->year, date->month, date->day, hour, minute});
}

std::optional<ClockTime> ReadTime(std::string_view field) {
  const std::size_t colon = field.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view hourText = field.substr(0, colon);
  const std::string_view minutesText = field.substr(colon + 1);
  const Meridiem meridiem = ReadMeridiem(minutesText);
  if (meridiem == Meridiem::kNone) return std::nullopt;
  // The suffix is at least two characters, so the rest always holds them.
  const std::string_view minuteText = minutesText.substr(0, minutesText.size() - 2);
  // A sign is never part of a time, and a twelve-hour clock has no hour past 12.
  if (StartsWithSign(hourText) || StartsWithSign(minuteText)) return std::nullopt;
  const long minute = ReadNumber(minuteText);
  const long hour = TwentyFourHour(hourText, meridiem);
  if (ReadNumber(hourText) > kLastTwelveHour || hour > 23 || minute > 59) return std::nullopt;
  return ClockTime{static_cast<int>(hour), static_cast<int>(minute)};
}

long ReadHundredthsAsMinutes(std::string_view field) {
  const std::size_t dot = field.find('.');
  const long whole = ReadNumber(field.substr(0, dot));
  const long hundredths = dot == std::string_view::npos ? 0 : ReadNumber(field.substr(dot + 1));
  // The fraction counts hundredths of an hour, so "1.5" is 1.05 hours; the product is
  // truncated, not rounded, which makes "2.05" 122 minutes (just below 123 in double).
  return Clamp((static_cast<double>(whole) + static_cast<double>(hundredths) * 0.01) * 60.0);
}

long ReadHoursMinutes(std::string_view field) {
  // Without ":" the text is whole hours, as hours-with-hundredths without "." are.
  const std::size_t colon = field.find(':');
  const std::int64_t hours = ReadNumber(field.substr(0, colon));
  const std::int64_t minutes = colon == std::string_view::npos ? 0 : ReadNumber(field.substr(colon + 1));
  return Clamp(hours * 60 + minutes);
}

bool ReadFlag(std::string_view field) { return EqualsIgnoringCase(field, "True"); }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace orvane::inbound
