// Outbound records are one line: fields separated by tabs, the last scheduled field and the link
// id each followed by an asterisk, then the recurrence block and a line feed. Texts are written as
// Outlook gives them but for the bytes that would break the record's framing; the record is built
// whole, however long its texts are.
#include "outbound/record_forms.h"

#include "outlook/ole_date.h"

#include <initializer_list>
#include <utility>

namespace orvane::outbound {

namespace {

constexpr char kTab = '\t';
constexpr char kStar = '*';
constexpr char kLineFeed = '\n';

// Appends fields, each followed by its separator.
class RecordText {
public:
  RecordText& Field(std::string_view value, char after = kTab) {
    text_ += value;
    text_ += after;
    return *this;
  }
  RecordText& Fields(std::initializer_list<std::string_view> values) {
    for (const std::string_view value : values) Field(value);
    return *this;
  }
  RecordText& LinkId(std::optional<std::string_view> linkId) {
    // A note's link id is its categories, which the user may edit: it is held to the same rule as
    // every other text.
    return Field(linkId ? mainapp::OutboundText(*linkId) : std::string(kNone), kStar);
  }
  RecordText& Recurrence(const std::optional<OutboundRecurrence>& recurrence);
  std::string Finish() {
    text_ += kLineFeed;
    return std::move(text_);
  }

private:
  std::string text_;
};

// Every field of the pattern, whatever its type uses; a type not understood gives "norecurring"
// with no tab.
RecordText& RecordText::Recurrence(const std::optional<OutboundRecurrence>& recurrence) {
  if (!recurrence) return Field(kNoRecurrence);
  if (!IsKnownRecurrenceType(recurrence->type)) {
    text_ += kNoRecurrence;
    return *this;
  }
  const OutboundRecurrence& pattern = *recurrence;
  const std::string endDate = pattern.patternEndDate ? RecordDate(*pattern.patternEndDate) : std::string(kNoEndDate);
  return Fields({Decimal(pattern.type), Decimal(pattern.dayOfMonth), Decimal(pattern.dayOfWeekMask),
                 Decimal(pattern.duration), ClockTime(pattern.endTime), Decimal(pattern.occurrences),
                 Decimal(pattern.instance), Decimal(pattern.interval), Decimal(pattern.monthOfYear),
                 OneZero(pattern.noEndDate), endDate, RecordDate(pattern.patternStartDate), OneZero(pattern.regenerate),
                 ClockTime(pattern.startTime)});
}

// The date and time to show; none for a value that is no date, or (with the none-date test) for
// a date in the year 4501.
std::optional<outlook::DateTime> Shown(double oleDate, bool noneTest) {
  const auto value = outlook::ToDateTimeDroppingSeconds(oleDate);
  if (!value || (noneTest && value->year == kNoneYear)) return std::nullopt;
  return value;
}

std::string DateText(const std::optional<outlook::DateTime>& value) {
  if (!value) return std::string(kNone);
  return std::to_string(value->day) + "/" + std::to_string(value->month) + "/" + std::to_string(value->year);
}

std::string TimeText(const outlook::DateTime& value) {
  return std::to_string(value.hour) + ":" + std::to_string(value.minute);
}

std::string DateTimeText(const std::optional<outlook::DateTime>& value) {
  if (!value) return std::string(kNone);
  return DateText(value) + kStar + TimeText(*value) + kStar;
}

// The text, or "nono" when nothing of it is left.
std::string CleanTextOrNone(std::string_view text) {
  std::string clean = mainapp::OutboundText(text);
  return clean.empty() ? std::string(kNone) : clean;
}

}  // namespace

std::string Decimal(int32_t value) { return std::to_string(value); }

// A value Outlook should never give (NaN, beyond year 9999) is shown as no date at all rather
// than as numbers the main application cannot read back.
std::string RecordDate(double oleDate) { return DateText(Shown(oleDate, false)); }
std::string RecordDateOrNone(double oleDate) { return DateText(Shown(oleDate, true)); }
std::string RecordDateTime(double oleDate) { return DateTimeText(Shown(oleDate, false)); }
std::string RecordDateTimeOrNone(double oleDate) { return DateTimeText(Shown(oleDate, true)); }

std::string ClockTime(double oleDate) {
  const auto value = Shown(oleDate, false);
  return value ? TimeText(*value) : std::string(kNone);
}

std::string_view TextOrNone(std::string_view text) { return text.empty() ? kNone : text; }

std::string_view Completion(int32_t percentComplete) { return percentComplete == kFullyComplete ? "1.000" : "0.000"; }

std::string DecimalOrNone(int32_t value) { return value == 0 ? std::string(kNone) : Decimal(value); }

std::string_view TrueFalse(bool flag) { return flag ? "true" : "false"; }

std::string_view OneZero(bool flag) { return flag ? "1" : "0"; }

bool IsKnownRecurrenceType(int32_t type) { return type >= 0 && type <= kLastRecurrenceType; }

std::string FormatTaskRecord(const OutboundTask& task, std::optional<std::string_view> linkId) {
  const std::string reminder = task.reminderTime ? RecordDateTime(*task.reminderTime) : std::string(kNone);
  return RecordText()
      .Fields({mainapp::OutboundText(task.subject), RecordDateOrNone(task.startDate), RecordDateOrNone(task.dueDate),
               reminder, RecordDateOrNone(task.dateCompleted), Completion(task.percentComplete),
               DecimalOrNone(task.totalWork), DecimalOrNone(task.actualWork), CleanTextOrNone(task.billingInformation),
               CleanTextOrNone(task.categories), CleanTextOrNone(task.companies), kNone, CleanTextOrNone(task.mileage),
               kNoNotes, Decimal(task.importance),
               task.sensitivity == kPrivate ? Decimal(kPrivate) : std::string(kNone), CleanTextOrNone(task.role),
               CleanTextOrNone(task.schedulePlusPriority), Decimal(task.sensitivityAgain)})
      .Field(Decimal(task.status), kStar)
      .LinkId(linkId)
      .Recurrence(task.recurrence)
      .Finish();
}

std::string FormatAppointmentRecord(const OutboundAppointment& appointment, std::optional<std::string_view> linkId) {
  const std::string reminder = appointment.reminderMinutes ? Decimal(*appointment.reminderMinutes) : std::string(kNone);
  return RecordText()
      .Fields({mainapp::OutboundText(appointment.subject), RecordDateTimeOrNone(appointment.start),
               RecordDateTimeOrNone(appointment.end), reminder, TrueFalse(appointment.allDayEvent), kNone, kNone, kNone,
               kNone, CleanTextOrNone(appointment.billingInformation), CleanTextOrNone(appointment.categories),
               CleanTextOrNone(appointment.location), CleanTextOrNone(appointment.mileage),
               Decimal(appointment.importance), TrueFalse(appointment.sensitivity == kPrivate)})
      .Field(Decimal(appointment.duration), kStar)
      .LinkId(linkId)
      .Recurrence(appointment.recurrence)
      .Finish();
}

std::string FormatNoteRecord(const OutboundNote& note, std::optional<std::string_view> linkId) {
  return RecordText().Field(mainapp::OutboundText(note.subject), kStar).LinkId(linkId).Finish();
}

std::string_view LinkIdOfRecord(std::string_view record) {
  const size_t end = record.rfind(kStar);
  if (end == std::string_view::npos || end == 0) return {};
  const size_t start = record.rfind(kStar, end - 1);
  if (start == std::string_view::npos) return {};
  return record.substr(start + 1, end - start - 1);
}

}  // namespace orvane::outbound
