// Feeds arbitrary property values to the outbound forms: every date and time they write reads back
// through the inbound readers to the date and time Outlook gave, to the minute with the seconds
// dropped, or is "nono" exactly where the value is no date (or, with the none-date test, a date in
// the year 4501). Arbitrary texts go in as OutboundText, which keeps every record one line of
// its own fields.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "inbound/record_fields.h"
#include "outbound/record_forms.h"
#include "outlook/ole_date.h"
#include "fuzz_support.h"

namespace orvane {
namespace {

using namespace fuzz;

using namespace outbound;

// The text is a record date, followed by "h:m*" when withTime, showing the value.
void CheckShown(const std::string& text, const std::optional<outlook::DateTime>& value, bool withTime) {
  if (!value) return Require(text == kNone);
  const auto ole = inbound::ReadOleDate(text, value->hour, value->minute);
  const auto back = ole ? outlook::ToDateTime(*ole) : std::nullopt;
  Require(back && Same(*back, *value));
  const auto parts = inbound::SplitParts(text);
  Require(parts.size() == (withTime ? 5u : 3u) && (text.back() == '*') == withTime);
  if (withTime) Require(inbound::ReadNumber(parts[3]) == value->hour && inbound::ReadNumber(parts[4]) == value->minute);
}

void CheckForms(double oleDate) {
  const auto value = outlook::ToDateTimeDroppingSeconds(oleDate);
  const auto unlessNone = value && value->year == outbound::kNoneYear ? std::nullopt : value;
  CheckShown(outbound::RecordDate(oleDate), value, false);
  CheckShown(RecordDateOrNone(oleDate), unlessNone, false);
  CheckShown(outbound::RecordDateTime(oleDate), value, true);
  CheckShown(RecordDateTimeOrNone(oleDate), unlessNone, true);
  const std::string clock = ClockTime(oleDate);
  Require(clock == (value ? std::to_string(value->hour) + ":" + std::to_string(value->minute) : std::string(kNone)));
}

// A note record of any subject and link id is one line of exactly its two fields.
void CheckText(std::string_view subject, std::string_view linkId) {
  const std::string clean = mainapp::OutboundText(subject);
  Require(clean.size() <= subject.size() && clean.find_first_of(std::string_view("\t\r\n\0", 4)) == std::string::npos);
  const std::string record = outbound::FormatNoteRecord({std::string(subject)}, linkId);
  Require(record == clean + "*" + mainapp::OutboundText(linkId) + "*\n");
}

}  // namespace
}  // namespace orvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  using fuzz::Take;
  // Any double, dates in the year 4501, and whole days and minutes across all an OLE date holds.
  CheckForms(Take<double>(data, size));
  CheckForms(outlook::kNoneDate + Take<std::uint16_t>(data, size) % 365);
  const auto days = Take<std::int32_t>(data, size) % 3000000;
  const double date = days + (days < 0 ? -1.0 : 1.0) * (Take<std::uint16_t>(data, size) % 1440) * outlook::kOneMinute;
  CheckForms(date);
  // Seconds on a whole minute never change the minute shown.
  const auto seconds = Take<std::uint8_t>(data, size) % 60;
  const double withSeconds = date + (days < 0 ? -1.0 : 1.0) * seconds / 86400.0;
  CheckForms(withSeconds);
  const auto minute = outlook::ToDateTime(date);
  const auto shown = outlook::ToDateTimeDroppingSeconds(withSeconds);
  fuzz::Require(minute.has_value() == shown.has_value() && (!minute || fuzz::Same(*minute, *shown)));
  const std::string_view rest(reinterpret_cast<const char*>(data), size);
  CheckText(rest.substr(0, rest.size() / 2), rest.substr(rest.size() / 2));
  return 0;
}
