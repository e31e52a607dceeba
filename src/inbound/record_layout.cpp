#include "inbound/record_layout.h"

#include "inbound/record_fields.h"
#include "outlook/ole_date.h"
#include "outlook/outlook_ids.h"

namespace orvane::inbound {

RecordFields::RecordFields(std::string_view record, int firstNumber)
    : texts_(SplitRecord(record)), firstNumber_(firstNumber) {}

std::optional<std::string_view> RecordFields::Get(int number) const {
  const int index = number - firstNumber_;
  if (index < 0 || index >= static_cast<int>(texts_.size())) return std::nullopt;
  return texts_[static_cast<size_t>(index)];
}

std::optional<double> DateField(const RecordFields& fields, int number, int hour, int minute) {
  const auto text = fields.Get(number);
  if (!text) return std::nullopt;
  return ReadOleDate(*text, hour, minute).value_or(outlook::kZeroDate);
}

std::optional<int32_t> NumberField(const RecordFields& fields, int number) {
  const auto text = fields.Get(number);
  if (!text) return std::nullopt;
  return static_cast<int32_t>(ReadNumber(*text));
}

std::optional<std::string> TextField(const RecordFields& fields, int number) {
  const auto text = fields.Get(number);
  if (!text) return std::nullopt;
  return std::string(*text);
}

namespace {

// A pattern date: only a real one; a field that holds none is noted.
std::optional<double> PatternDateField(const RecordFields& fields, int number, int hour, bool& unreadable) {
  const auto text = fields.Get(number);
  if (!text) return std::nullopt;
  const std::optional<double> date = ReadOleDate(*text, hour, 0);
  if (!date) unreadable = true;
  return date;
}

}  // namespace

std::optional<Recurrence> ReadRecurrence(const RecordFields& fields, const RecurrenceFields& layout,
                                         PatternDayTimes times) {
  if (!IsRecurring(fields, layout)) return std::nullopt;
  Recurrence recurrence;
  recurrence.type = *NumberField(fields, layout.type);
  recurrence.patternStartDate =
      PatternDateField(fields, layout.patternStartDate, times.startHour, recurrence.unreadableDate);
  if (const auto endFlag = NumberField(fields, layout.endFlag)) {
    recurrence.hasEnd = *endFlag != 0;
    if (*endFlag != 0) {
      recurrence.patternEndDate =
          PatternDateField(fields, layout.patternEndDate, times.endHour, recurrence.unreadableDate);
    }
  }
  recurrence.interval = NumberField(fields, layout.interval);
  if (recurrence.type == outlook::kRecursWeekly) {
    recurrence.dayOfWeekMask = NumberField(fields, layout.dayOfWeekMask);
  }
  return recurrence;
}

}  // namespace orvane::inbound
