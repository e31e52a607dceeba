// Feeds arbitrary doubles and calendar fields to the OLE date conversions: every date read
// back is a real one, converting it again gives the same date, and every accepted calendar
// date and time comes back unchanged.
#include <cstddef>
#include <cstdint>

#include "outlook/ole_date.h"
#include "fuzz_support.h"

namespace orvane {
namespace {

using namespace fuzzing;

void CheckFromOle(double oleDate) {
  const auto value = oledate::ToDateTime(oleDate);
  if (!value) return;
  Require(value->year >= oledate::kFirstYear && value->year <= oledate::kLastYear);
  Require(value->hour >= 0 && value->hour <= 23 && value->minute >= 0 && value->minute <= 59);
  const auto again = oledate::FromDateTime(*value);
  Require(again.has_value());
  const auto back = oledate::ToDateTime(*again);
  Require(back && Same(*back, *value));
}

void CheckFromCalendar(const oledate::DateTime& value) {
  const auto oleDate = oledate::FromDateTime(value);
  if (!oleDate) return;
  const auto back = oledate::ToDateTime(*oleDate);
  Require(back && Same(*back, value));
}

}  // namespace
}  // namespace orvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  using namespace orvane::fuzzing;
  CheckFromOle(Take<double>(data, size));
  // Calendar fields mostly near their real ranges, so that most inputs are accepted dates.
  oledate::DateTime value;
  value.year = Take<std::int16_t>(data, size);
  value.month = Take<std::int8_t>(data, size) % 14;
  value.day = Take<std::int8_t>(data, size) % 33;
  value.hour = Take<std::int8_t>(data, size) % 25;
  value.minute = Take<std::int8_t>(data, size) % 61;
  CheckFromCalendar(value);
  // Whole days and minutes across the whole range, the sign included.
  const auto days = Take<std::int32_t>(data, size) % 4000000;
  const auto minutes = Take<std::uint16_t>(data, size) % 1440;
  CheckFromOle(days + (days < 0 ? -1.0 : 1.0) * minutes * oledate::kOneMinute);
  return 0;
}
