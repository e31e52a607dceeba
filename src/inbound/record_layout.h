// The fields of an inbound record by their layout numbers, and the recurrence block that task
// and appointment records share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::inbound {

// A record cut into its fields, each reached by its number in the record's layout; a number
// past the record's end reads as absent.
class RecordFields {
public:
  RecordFields(std::string_view record, int firstNumber);

  std::optional<std::string_view> Get(int number) const;
  bool Has(int number) const { return Get(number).has_value(); }
  // True when the field is present and is exactly the word.
  bool Is(int number, std::string_view word) const { return Get(number) == word; }
  // True when the field is present and is not the word.
  bool IsNot(int number, std::string_view word) const { return Has(number) && !Is(number, word); }
  int LastNumber() const { return firstNumber_ + static_cast<int>(texts_.size()) - 1; }

private:
  std::vector<std::string_view> texts_;
  int firstNumber_;
};

// A present field read as a record date at the time of day; numbers that form no real date give
// the zero date. No value when the field is missing.
std::optional<double> DateField(const RecordFields& fields, int number, int hour = 0, int minute = 0);
std::optional<int32_t> NumberField(const RecordFields& fields, int number);
std::optional<std::string> TextField(const RecordFields& fields, int number);

// The word that stands in the recurrence type field of an item without recurrence.
constexpr std::string_view kNoRecurrence = "norecurring";

// Where the recurrence block's fields lie in a layout.
struct RecurrenceFields {
  int type;
  int dayOfWeekMask;
  int interval;
  int endFlag;  // not 0: the pattern ends on the pattern end date
  int patternEndDate;
  int patternStartDate;
};

// The time of day at which the pattern's dates are read.
struct PatternDayTimes {
  int startHour = 0;
  int endHour = 0;
};

// What a recurrence block asks to write into an item's recurrence pattern.
struct Recurrence {
  int32_t type = 0;
  std::optional<double> patternStartDate;
  std::optional<bool> hasEnd;            // false: NoEndDate := true
  std::optional<double> patternEndDate;  // only when hasEnd
  std::optional<int32_t> interval;
  std::optional<int32_t> dayOfWeekMask;  // weekly patterns only
  // A pattern date field was there but held no real date: it is left unwritten, since Outlook may
  // refuse the zero date and the whole record with it.
  bool unreadableDate = false;
};

// True when the type field is present and is not "norecurring".
inline bool IsRecurring(const RecordFields& fields, const RecurrenceFields& layout) {
  return fields.IsNot(layout.type, kNoRecurrence);
}
// The recurrence block; no value for an item without recurrence.
std::optional<Recurrence> ReadRecurrence(const RecordFields& fields, const RecurrenceFields& layout,
                                         PatternDayTimes times = {});

}  // namespace orvane::inbound
