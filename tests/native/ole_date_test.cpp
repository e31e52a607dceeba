#include "outlook/ole_date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "tests/common/record_builder.h"

namespace orvane {

namespace {

using outlook::DateTime;
using outlook::FromDateTime;
using outlook::ToDateTime;
using testcommon::Show;

struct KnownDate {
  outlook::DateTime value;
  double ole;
};

// Values as OLE Automation gives them, including the days before the zero date, whose
// fraction counts forward from the start of the (negative) day.
const KnownDate kKnownDates[] = {
    {{1899, 12, 30, 0, 0}, 0.0},     {{1899, 12, 30, 12, 0}, 0.5},     {{1899, 12, 31, 0, 0}, 1.0},
    {{1900, 1, 1, 0, 0}, 2.0},       {{1900, 3, 1, 0, 0}, 61.0},  // 1900 is no leap year
    {{1899, 12, 29, 0, 0}, -1.0},    {{1899, 12, 29, 6, 0}, -1.25},    {{1899, 12, 28, 18, 0}, -2.75},
    {{1800, 1, 1, 0, 0}, -36522.0},  {{100, 1, 1, 0, 0}, -657434.0},   {{2000, 1, 1, 0, 0}, 36526.0},
    {{2000, 2, 29, 0, 0}, 36585.0},  {{1600, 2, 29, 0, 0}, -109512.0}, {{2004, 2, 29, 18, 0}, 38046.75},
    {{2006, 12, 25, 0, 0}, 39076.0}, {{4501, 1, 1, 0, 0}, 949998.0},   {{9999, 12, 31, 0, 0}, 2958465.0},
};

TEST(OleDate, KnownDatesBothWays) {
  for (const auto& known : kKnownDates) {
    const outlook::DateTime& v = known.value;
    SCOPED_TRACE(testing::Message() << v.year << "-" << v.month << "-" << v.day << " " << v.hour << ":" << v.minute);
    EXPECT_EQ(outlook::FromDateTime(v), known.ole);
    const auto back = outlook::ToDateTime(known.ole);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(std::tie(back->year, back->month, back->day, back->hour, back->minute),
              std::tie(v.year, v.month, v.day, v.hour, v.minute));
  }
}

TEST(OleDate, OneMinuteIsOneMinuteOfTheCalendar) {
  EXPECT_NEAR(*outlook::FromDateTime({2006, 3, 5, 0, 1}) - *outlook::FromDateTime({2006, 3, 5, 0, 0}),
              outlook::kOneMinute, 1e-9);
}

TEST(OleDate, RefusesWhatIsNoRealDateOrTime) {
  // Days past the month's end (2100 is no leap year), clock values off the clock, years outside
  // 100 to 9999.
  const outlook::DateTime kRefused[] = {
      {2100, 2, 29, 0, 0}, {2006, 4, 31, 0, 0}, {2006, 13, 1, 0, 0}, {2006, 1, 0, 0, 0},  {2006, 1, 1, 24, 0},
      {2006, 1, 1, 0, 60}, {2006, 1, 1, 0, -1}, {99, 12, 31, 0, 0},  {10000, 1, 1, 0, 0},
  };
  for (const auto& v : kRefused) {
    EXPECT_FALSE(outlook::FromDateTime(v).has_value())
        << v.year << "-" << v.month << "-" << v.day << " " << v.hour << ":" << v.minute;
  }
}

TEST(OleDate, ToDateTimeRefusesValuesOutsideTheYears) {
  const double kRefused[] = {
      std::nan(""),    INFINITY, -INFINITY, 1e300, -1e300, -657435.0, 2958466.0,  // 31 December 99 and 1 January 10000
      2958465.9999999,                                                            // rounds up into year 10000
  };
  for (double ole : kRefused) EXPECT_FALSE(outlook::ToDateTime(ole).has_value()) << ole;
}

TEST(OleDate, ToDateTimeRoundsToTheNearestMinute) {
  const double minute = outlook::kOneMinute;
  EXPECT_EQ(Show(0.4 * minute), "1899-12-30 00:00");
  EXPECT_EQ(Show(0.6 * minute), "1899-12-30 00:01");
  // Just below midnight rounds into the next day, for negative dates too.
  EXPECT_EQ(Show(1.0 - 0.1 * minute), "1899-12-31 00:00");
  EXPECT_EQ(Show(-1.0 - (1.0 - 0.1 * minute)), "1899-12-30 00:00");  // from 29 December, 23:59:54
  // Between -1 and 0 the whole part is the zero date itself.
  EXPECT_EQ(Show(-0.5), "1899-12-30 12:00");
}

}  // namespace

}  // namespace orvane
