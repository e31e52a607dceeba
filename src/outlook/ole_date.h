// OLE Automation dates: days since 30 December 1899, the fraction being the time of day.
#pragma once

#include <cstdint>
#include <optional>

namespace orvane::outlook {

struct DateTime {
  int year = 0;
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
};

// The zero date: 30 December 1899, 00:00.
constexpr double kZeroDate = 0.0;
// 1 January 4501, 00:00: what Outlook reads for a date that was never set.
constexpr double kNoneDate = 949998.0;
// One minute as a fraction of a day.
constexpr double kOneMinute = 0.0006944444444444445;

// Years an OLE Automation date can hold.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

// The date of a calendar date and clock time; no value when it is no real date and time
// (month 13, 31 February, hour 24, minute 60) or lies outside kFirstYear..kLastYear.
std::optional<double> FromDateTime(const DateTime& value);
// The date a number of minutes after a date (before it when negative), counted on the calendar
// to the minute; no value when either lies outside kFirstYear..kLastYear.
std::optional<double> AddMinutes(double oleDate, std::int64_t minutes);
// The calendar date and clock time of a date, to the minute (rounded to the nearest minute);
// no value outside kFirstYear..kLastYear or for NaN.
std::optional<DateTime> ToDateTime(double oleDate);
// The calendar date and clock time as a clock shows it: the seconds dropped, so 23:59:45 stays
// 23:59 of its day. The value is first taken to the nearest millisecond, so that a time stored a
// hair below its minute (9:05:00 as a double) is still that minute. No value where ToDateTime
// gives none.
std::optional<DateTime> ToDateTimeDroppingSeconds(double oleDate);

}  // namespace orvane::outlook
