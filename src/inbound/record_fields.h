// Reading inbound records: fields, numbers, record dates and times, durations and flags.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::inbound {

// The literal the main application sends in place of an empty subject.
constexpr std::string_view kBlankSubject = "blankone8746589987458745";

// Splits text at runs of any of the separator characters. Leading separators are skipped,
// and no field is ever empty.
std::vector<std::string_view> Split(std::string_view text, std::string_view separators);
// The fields of a record: split at runs of tabs.
inline std::vector<std::string_view> SplitRecord(std::string_view record) { return Split(record, "\t"); }
// The parts of a field: split at "/", "-", ":", "." or "*".
constexpr std::string_view kPartSeparators = "/-:.*";
inline std::vector<std::string_view> SplitParts(std::string_view field) { return Split(field, kPartSeparators); }

// The number at the start of text: optional blanks, optional sign, digits up to the first other
// character; no digits gives 0. Values beyond 32 bits are clamped.
long ReadNumber(std::string_view text);

struct Date {
  int day = 0;
  int month = 0;
  int year = 0;
};
// A record date, day first, split at "/", "-", ":", "." or "*", a run of them separating like one.
// No value when fewer than three numbers are present, when one of them carries a sign ("+", or
// "-" at the start of the field), or when they form no real date an OLE Automation date can hold.
std::optional<Date> ReadDate(std::string_view field);
// The same as an OLE Automation date at the given time of day.
std::optional<double> ReadOleDate(std::string_view field, int hour = 0, int minute = 0);

struct ClockTime {
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
};
// A record time such as "9:05am" or "10:30 am": the suffix is the text from the first lower-case
// "a" (or else the first lower-case "p") to the end, which must equal "am" ("pm") ignoring case.
// No value without a suffix, without ":", when hour or minute carries a sign, or when they lie
// outside the twelve-hour clock (an hour past 12, a minute past 59).
std::optional<ClockTime> ReadTime(std::string_view field);

// Hours-with-hundredths ("1.50" is 90 minutes, "1.5" is 63): truncated toward zero;
// a text without "." counts whole hours.
long ReadHundredthsAsMinutes(std::string_view field);
// Hours-and-minutes ("0:15" is 15); a text without ":" counts whole hours ("1" is 60).
long ReadHoursMinutes(std::string_view field);

// "True" in any letter case.
bool ReadFlag(std::string_view field);
// Equality ignoring ASCII letter case (for the record's own words such as "Done" or "True").
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace orvane::inbound
