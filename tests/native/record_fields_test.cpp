#include "inbound/record_fields.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <tuple>

#include "outlook/ole_date.h"

namespace orvane {

namespace {

struct NumberCase {
  std::string text;
  long value;
};

struct DateCase {
  std::string field;
  std::array<int, 3> dayMonthYear;
};

// Day first; only the first three parts count, whatever follows them.
TEST(RecordFields, ReadDateIsDayFirst) {
  const DateCase kCases[] = {
      {"25/12/2006", {25, 12, 2006}},
      {"5/3/2006", {5, 3, 2006}},
      {"25-12-2006", {25, 12, 2006}},
      {"29/2/2004", {29, 2, 2004}},
      {"1/1/100", {1, 1, 100}},
      {"31/12/9999", {31, 12, 9999}},
      {"10/11/2006*9:30am*not added", {10, 11, 2006}},
      {"5-11-2006*-9:00am", {5, 11, 2006}},
      // A run of separators counts as one, also once "/" has become "-".
      {"5//11/2006", {5, 11, 2006}},
      {"5--11-2006", {5, 11, 2006}},
      {"5/-11/2006", {5, 11, 2006}},
      {"5-/11//-2006", {5, 11, 2006}},
  };
  for (const auto& c : kCases) {
    const auto date = inbound::ReadDate(c.field);
    ASSERT_TRUE(date.has_value()) << c.field;
    EXPECT_EQ((std::array<int, 3>{date->day, date->month, date->year}), c.dayMonthYear) << c.field;
  }
}

// No date: days that do not exist, years outside 100 to 9999, fewer than three numbers, and
// parts with a sign (although "-" also separates).
TEST(RecordFields, ReadDateGivesNoValueForWhatIsNoRealDate) {
  const std::string kRefused[] = {
      "31/2/2006",          "29/2/1900", "1/13/2006", "0/1/2006",   "1/1/99",     "1/1/10000",  "1/1/06",
      "99999999999/1/2006", "25/12",     "///",       "-5/11/2006", "5/11/+2006", "+5/11/2006",
  };
  for (const auto& field : kRefused) EXPECT_FALSE(inbound::ReadDate(field).has_value()) << field;
}

// The start date field is read after its "/" have become "-": it must read as it did before.
TEST(RecordFields, ReadDateIsTheSameWithDashes) {
  const std::string kFields[] = {"5//11/2006", "5/11//2006", "5/11/2006//", "31/2/2006", "5/+11/2006", "5/11"};
  for (std::string field : kFields) {
    const auto before = inbound::ReadDate(field);
    for (char& c : field) c = c == '/' ? '-' : c;
    const auto after = inbound::ReadDate(field);
    ASSERT_EQ(before.has_value(), after.has_value()) << field;
    if (before)
      EXPECT_EQ(std::tie(before->day, before->month, before->year), std::tie(after->day, after->month, after->year));
  }
}

TEST(RecordFields, ReadOleDateAddsTheTimeOfDay) {
  EXPECT_EQ(inbound::ReadOleDate("10/11/2006"), 39031.0);
  EXPECT_EQ(inbound::ReadOleDate("10/11/2006", 23, 59), outlook::FromDateTime({2006, 11, 10, 23, 59}));
}

struct TimeCase {
  std::string field;
  int hour;
  int minute;
};

// Only the first letter of the suffix must be lower case ("aM" is a suffix, "AM" is none), and
// only the exact hour text "12" is midnight or noon.
TEST(RecordFields, ReadTimeFollowsTheTwelveHourRule) {
  const TimeCase kCases[] = {
      {"9:05am", 9, 5},   {"9:5am", 9, 5},     {"12:30pm", 12, 30},  {"12:00am", 0, 0},   {"12:15pm", 12, 15},
      {"1:00pm", 13, 0},  {"11:59pm", 23, 59}, {"10:30 am", 10, 30}, {"11:05 pm", 23, 5}, {"9:30aM", 9, 30},
      {"9:30pM", 21, 30}, {"0:00pm", 12, 0},   {"012:00am", 12, 0},  {"9:am", 9, 0},      {"7:15:00am", 7, 15},
      {" 8:05 am", 8, 5}, {"9:30pmam", 9, 30},  // the first lower-case "a" starts the suffix
  };
  for (const auto& c : kCases) {
    const auto time = inbound::ReadTime(c.field);
    ASSERT_TRUE(time.has_value()) << c.field;
    EXPECT_EQ(time->hour, c.hour) << c.field;
    EXPECT_EQ(time->minute, c.minute) << c.field;
  }
}

TEST(RecordFields, ReadTimeGivesNoValueWithoutSuffixColonOrClock) {
  const std::string kRefused[] = {
      "14:30",
      "9:30AM",
      "9:30PM",
      "9:30",
      "930am",
      "",
      ":",
      "9:30amx",
      "9:30 a.m.",
      "12:60am",
      "13:00pm",
      "24:00am",
      "-1:00pm",
      "9:-5am",
      "99999999999:00pm",
      "not added",
      // A sign is never part of a time, and a twelve-hour clock has no hour past 12.
      "+1:00pm",
      "9:+5am",
      " -0:30am",
      "13:00am",
      "23:59am",
      "013:00am",
  };
  for (const auto& field : kRefused) EXPECT_FALSE(inbound::ReadTime(field).has_value()) << field;
}

TEST(RecordFields, ReadHundredthsCountsTheFractionInHundredths) {
  const NumberCase kCases[] = {
      {"1.50", 90},
      {"1.5", 63},
      {"2.05", 122},
      {"3", 180},
      {"", 0},
      {".50", 30},
      {"2.", 120},
      {"-1.50", -30},
      {"1.5.7", 63},
      {"0.100", 60},
      {"99999999999.0", INT32_MAX},
      {"-99999999999.0", INT32_MIN},
  };
  for (const auto& c : kCases) EXPECT_EQ(inbound::ReadHundredthsAsMinutes(c.text), c.value) << c.text;
}

TEST(RecordFields, ReadHoursMinutesCountsWholeHoursWithoutAColon) {
  const NumberCase kCases[] = {
      {"0:15", 15},
      {"1:30", 90},
      {"0:75", 75},
      {":15", 15},
      {"1:", 60},
      {"-1:45", -15},
      {"15", 900},
      {"1", 60},
      {"", 0},
      {"99999999999:59", INT32_MAX},
      {"-99999999999:00", INT32_MIN},
  };
  for (const auto& c : kCases) EXPECT_EQ(inbound::ReadHoursMinutes(c.text), c.value) << c.text;
}

// ReadFlag is EqualsIgnoringCase with "TRUE" (the fuzzer holds it to that).
TEST(RecordFields, WordsIgnoreOnlyTheCaseOfAsciiLetters) {
  EXPECT_TRUE(inbound::ReadFlag("tRuE"));
  EXPECT_FALSE(inbound::ReadFlag("True "));
  EXPECT_TRUE(inbound::EqualsIgnoringCase("not Done", "NOT DONE"));
  EXPECT_FALSE(inbound::EqualsIgnoringCase("\xC9", "\xE9"));  // not a letter in ASCII
  EXPECT_FALSE(inbound::EqualsIgnoringCase("[", "{"));
}

}  // namespace

}  // namespace orvane
