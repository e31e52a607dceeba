// OLE Automation dates: whole days since 30 December 1899 plus the time of day as a fraction.
// Before that day the value is negative, but only its whole part counts toward the past: the
// fraction still counts forward from the start of the day (so -1.25 is 29 December 1899, 06:00).
#include "outlook/ole_date.h"

#include <cmath>
#include <cstdint>

namespace orvane::outlook {

namespace {

constexpr int kMinutesPerDay = 24 * 60;
constexpr std::int64_t kMillisecondsPerMinute = 60 * 1000;
constexpr std::int64_t kMillisecondsPerDay = kMinutesPerDay * kMillisecondsPerMinute;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1 March of year 0 of the proleptic Gregorian calendar, in 400-year eras
// (the era-based method is exact for every date and needs no tables).
constexpr std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = month <= 2 ? year - 1 : year;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra;
}

struct CivilDate {
  int year;
  int month;
  int day;
};

CivilDate CivilFromDays(std::int64_t days) {
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 is March
  const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

constexpr std::int64_t kZeroDay = DaysFromCivil(1899, 12, 30);

// Whole days of the first and the day after the last date an OLE date may hold; anything
// outside is refused before it is converted to an integer.
constexpr double kFirstDay = static_cast<double>(DaysFromCivil(kFirstYear, 1, 1) - kZeroDay);
constexpr double kEndDay = static_cast<double>(DaysFromCivil(kLastYear + 1, 1, 1) - kZeroDay);

bool IsRealDateTime(const DateTime& value) {
  return value.year >= kFirstYear && value.year <= kLastYear && value.month >= 1 && value.month <= 12 &&
         value.day >= 1 && value.day <= DaysInMonth(value.year, value.month) && value.hour >= 0 && value.hour <= 23 &&
         value.minute >= 0 && value.minute <= 59;
}

}  // namespace

std::optional<double> FromDateTime(const DateTime& value) {
  if (!IsRealDateTime(value)) return std::nullopt;
  const auto days = static_cast<double>(DaysFromCivil(value.year, value.month, value.day) - kZeroDay);
  const double fraction = static_cast<double>(value.hour * 60 + value.minute) / kMinutesPerDay;
  return days < 0 ? days - fraction : days + fraction;
}

std::optional<double> AddMinutes(double oleDate, std::int64_t minutes) {
  const auto start = ToDateTime(oleDate);
  // Farther than the whole span of dates leads outside it; refusing it first keeps the sum small.
  constexpr auto kSpan = static_cast<std::int64_t>(kEndDay - kFirstDay) * kMinutesPerDay;
  if (!start || minutes <= -kSpan || minutes >= kSpan) return std::nullopt;
  // On the calendar, not on the value: before the zero date the fraction of a day counts the
  // other way, so adding to the value would move a time of day backwards.
  const std::int64_t total = DaysFromCivil(start->year, start->month, start->day) * kMinutesPerDay + start->hour * 60 +
                             start->minute + minutes;
  const std::int64_t days = total >= 0 ? total / kMinutesPerDay : (total + 1) / kMinutesPerDay - 1;
  const auto minuteOfDay = static_cast<int>(total - days * kMinutesPerDay);
  const CivilDate date = CivilFromDays(days);
  return FromDateTime({date.year, date.month, date.day, minuteOfDay / 60, minuteOfDay % 60});
}

namespace {

bool IsInSpan(double oleDate) { return !std::isnan(oleDate) && oleDate > kFirstDay - 1 && oleDate < kEndDay; }

// The day and the time of day counted in units (of which a day has unitsPerDay), the time
// rounded to the nearest unit. The fraction counts forward from the start of the day, for
// negative dates too, so a time rounded up to a whole day is the start of the next day.
struct DayAndTime {
  std::int64_t days;
  std::int64_t units;
};

DayAndTime Split(double oleDate, std::int64_t unitsPerDay) {
  const double wholeDays = std::trunc(oleDate);
  DayAndTime split{static_cast<std::int64_t>(wholeDays),
                   std::llround(std::fabs(oleDate - wholeDays) * static_cast<double>(unitsPerDay))};
  if (split.units == unitsPerDay) {
    split.units = 0;
    ++split.days;
  }
  return split;
}

std::optional<DateTime> At(std::int64_t days, std::int64_t minuteOfDay) {
  const CivilDate date = CivilFromDays(days + kZeroDay);
  if (date.year < kFirstYear || date.year > kLastYear) return std::nullopt;
  const auto minute = static_cast<int>(minuteOfDay);
  return DateTime{date.year, date.month, date.day, minute / 60, minute % 60};
}

}  // namespace

std::optional<DateTime> ToDateTime(double oleDate) {
  if (!IsInSpan(oleDate)) return std::nullopt;
  const DayAndTime split = Split(oleDate, kMinutesPerDay);
  return At(split.days, split.units);
}

std::optional<DateTime> ToDateTimeDroppingSeconds(double oleDate) {
  if (!IsInSpan(oleDate)) return std::nullopt;
  const DayAndTime split = Split(oleDate, kMillisecondsPerDay);
  return At(split.days, split.units / kMillisecondsPerMinute);
}

}  // namespace orvane::outlook
