// The outbound records: the text forms of Outlook's values, and the task, appointment and note
// layouts built from the values as read from Outlook.
#pragma once

#include "mainapp/record_text.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::outbound {

// The placeholder for a value that is missing, empty or never sent.
constexpr std::string_view kNone = "nono";
// The recurrence block of an item that does not recur (or whose pattern is not understood).
constexpr std::string_view kNoRecurrence = "norecurring";
// What a task record carries in place of the body, which is never sent.
constexpr std::string_view kNoNotes = "No Notes";
// What a pattern without end carries in place of its end date.
constexpr std::string_view kNoEndDate = "NoEndDate";
// The year Outlook gives a date that was never set.
constexpr int kNoneYear = 4501;
// Recurrence types 0 to 6 are written field by field; any other is not understood.
constexpr int32_t kLastRecurrenceType = 6;
// PercentComplete of a finished task.
constexpr int32_t kFullyComplete = 100;
// The Sensitivity value of a private item.
constexpr int32_t kPrivate = 2;

// --- Text forms ------------------------------------------------------------------------------------

// A text as it may stand in a record: each TAB, CR and LF becomes one space and each NUL is left
// out, so that no text can move a later field, end the record early or end it for a C reader.
// Every other byte, '*' included, is kept.
using mainapp::OutboundText;

// Base 10, a minus sign for negative values.
std::string Decimal(int32_t value);
// "5/3/2006": day, month, year without leading zeros; "nono" for a value that is no date.
std::string RecordDate(double oleDate);
// The record date, or "nono" for a date in the year 4501 (a date never set).
std::string RecordDateOrNone(double oleDate);
// Times are shown as Outlook shows them: to the minute, the seconds dropped (never rounded up),
// so that seconds never move a date.
// "5/3/2006*9:5*": the record date, then hour and minute on the 24-hour clock.
std::string RecordDateTime(double oleDate);
// The record date-time, or "nono" for a date in the year 4501.
std::string RecordDateTimeOrNone(double oleDate);
// "9:5": hour and minute of the time of day, without leading zeros.
std::string ClockTime(double oleDate);
// The text unchanged, or "nono" when it is empty.
std::string_view TextOrNone(std::string_view text);
// "1.000" for a finished task, else "0.000".
std::string_view Completion(int32_t percentComplete);
// The decimal, or "nono" for 0.
std::string DecimalOrNone(int32_t value);
std::string_view TrueFalse(bool flag);
std::string_view OneZero(bool flag);
bool IsKnownRecurrenceType(int32_t type);

// --- The items' values, as read from Outlook ----------------------------------------------------------

// A recurrence pattern. Only the type is read when it is not understood.
struct OutboundRecurrence {
  int32_t type = 0;
  int32_t dayOfMonth = 0;
  int32_t dayOfWeekMask = 0;
  int32_t duration = 0;
  double endTime = 0;
  int32_t occurrences = 0;
  int32_t instance = 0;
  int32_t interval = 0;
  int32_t monthOfYear = 0;
  bool noEndDate = false;
  // Read only when NoEndDate, read a second time, is false.
  std::optional<double> patternEndDate;
  double patternStartDate = 0;
  bool regenerate = false;
  double startTime = 0;
};

struct OutboundTask {
  std::string subject;
  double startDate = 0;
  double dueDate = 0;
  std::optional<double> reminderTime;  // read only when ReminderSet is true
  double dateCompleted = 0;
  int32_t percentComplete = 0;
  int32_t totalWork = 0;
  int32_t actualWork = 0;
  std::string billingInformation;
  std::string categories;
  std::string companies;
  std::string mileage;
  int32_t importance = 0;
  int32_t sensitivity = 0;  // read for the private marker
  std::string role;
  std::string schedulePlusPriority;
  int32_t sensitivityAgain = 0;  // read again for the sensitivity field
  int32_t status = 0;
  std::optional<OutboundRecurrence> recurrence;  // present when the task recurs
};

struct OutboundAppointment {
  std::string subject;
  double start = 0;
  double end = 0;
  std::optional<int32_t> reminderMinutes;  // read only when ReminderSet is true
  bool allDayEvent = false;
  std::string billingInformation;
  std::string categories;
  std::string location;
  std::string mileage;
  int32_t importance = 0;
  int32_t sensitivity = 0;
  int32_t duration = 0;
  std::optional<OutboundRecurrence> recurrence;  // present when the appointment recurs
};

struct OutboundNote {
  std::string subject;
};

// --- The records ------------------------------------------------------------------------------------

// The whole record, ended by its line feed. Every text, the link id included, goes in as its
// OutboundText; a text left empty by that is "nono" where an empty text would be. The link id is
// written between asterisks; without one the field is "nono" (an empty link id stays empty).
std::string FormatTaskRecord(const OutboundTask& task, std::optional<std::string_view> linkId);
std::string FormatAppointmentRecord(const OutboundAppointment& appointment, std::optional<std::string_view> linkId);
std::string FormatNoteRecord(const OutboundNote& note, std::optional<std::string_view> linkId);

// The link id field of a record made by one of the above: the text before its last asterisk. A
// subject may hold asterisks, nothing after the link id does.
std::string_view LinkIdOfRecord(std::string_view record);

}  // namespace orvane::outbound
