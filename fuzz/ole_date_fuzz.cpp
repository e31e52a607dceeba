// Feeds arbitrary calendar fields and dates to the OLE date conversions: every accepted calendar
// date and time comes back unchanged, and minutes added and taken away again lead back to the
// start. Any double read as a date is checked by the record forms fuzzer, which reads it back.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "outlook/ole_date.h"

namespace orvane {
namespace {

using fuzz::Require;
using fuzz::Same;
using fuzz::Take;

void CheckFromCalendar(const outlook::DateTime& value) {
  const auto oleDate = outlook::FromDateTime(value);
  if (!oleDate) return;
  const auto back = outlook::ToDateTime(*oleDate);
  Require(back && Same(*back, value));
}

// Minutes added on the calendar and taken away again lead back to the same minute.
void CheckAddMinutes(double oleDate, std::int64_t minutes) {
  const auto later = outlook::AddMinutes(oleDate, minutes);
  if (!later) return;
  const auto start = outlook::ToDateTime(oleDate);
  const auto end = outlook::ToDateTime(*later);
  const auto back = outlook::AddMinutes(*later, -minutes);
  Require(start && end && back);
  const auto again = outlook::ToDateTime(*back);
  Require(again && Same(*again, *start));
}

}  // namespace
}  // namespace orvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  // Calendar fields mostly near their real ranges, so that most inputs are accepted dates.
  outlook::DateTime value;
  value.year = Take<std::int16_t>(data, size);
  value.month = Take<std::int8_t>(data, size) % 14;
  value.day = Take<std::int8_t>(data, size) % 33;
  value.hour = Take<std::int8_t>(data, size) % 25;
  value.minute = Take<std::int8_t>(data, size) % 61;
  CheckFromCalendar(value);
  // Whole days and minutes across the whole range, the sign included.
  const auto days = Take<std::int32_t>(data, size) % 4000000;
  const auto minutes = Take<std::uint16_t>(data, size) % 1440;
  const double oleDate = days + (days < 0 ? -1.0 : 1.0) * minutes * outlook::kOneMinute;
  CheckAddMinutes(oleDate, Take<std::int64_t>(data, size) % 6000000000);
  return 0;
}
