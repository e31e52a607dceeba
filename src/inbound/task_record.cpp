#include "inbound/task_record.h"

#include "inbound/record_fields.h"
#include "outlook/ole_date.h"

#include <utility>
#include <vector>

namespace orvane::inbound {

namespace {

using namespace taskfield;

constexpr std::string_view kTrueWord = "True";
constexpr std::string_view kNormalImportance = "Normal";
constexpr std::string_view kNormalPriority = "normal";
constexpr std::string_view kFullyComplete = "1.000";
constexpr std::string_view kNotStarted = "0.000";

using inbound::DateField;
using inbound::NumberField;
using inbound::TextField;
using Fields = inbound::RecordFields;

constexpr inbound::RecurrenceFields kRecurrenceFields{kRecurrenceType, kDayOfWeekMask,  kInterval,
                                                      kEndFlag,        kPatternEndDate, kPatternStartDate};

// A record date at 00:00; numbers that form no real date give the zero date.
double DateOrZero(std::string_view text) { return inbound::ReadOleDate(text).value_or(outlook::kZeroDate); }

// The text unless the field holds the placeholder.
std::optional<std::string> TextUnless(const Fields& fields, int number, std::string_view placeholder) {
  if (fields.Is(number, placeholder)) return std::nullopt;
  return TextField(fields, number);
}

// The due field: date "*" first time "*" due time, cut as the record's fields are.
struct DueField {
  std::string_view date;
  std::optional<std::string_view> dueTime;
};

DueField SplitDueField(std::string_view text) {
  const std::vector<std::string_view> parts = inbound::Split(text, "*");
  DueField due;
  if (!parts.empty()) due.date = parts[0];
  if (parts.size() > 2) due.dueTime = parts[2];
  return due;
}

// The minutes after midnight that a due time adds to the reminder. The marker is a lower-case
// "a" (morning) or else "p" (afternoon) anywhere after the ":"; without a marker, or without
// ":", the time adds nothing.
int64_t DueTimeMinutes(std::string_view dueTime) {
  const size_t colon = dueTime.find(':');
  if (colon == std::string_view::npos) return 0;
  const std::string_view hourText = dueTime.substr(0, colon);
  const std::string_view rest = dueTime.substr(colon + 1);
  const bool morning = rest.find('a') != std::string_view::npos;
  const bool afternoon = !morning && rest.find('p') != std::string_view::npos;
  if (!morning && !afternoon) return 0;
  // The marker is taken to be the last two characters, whatever they are.
  const int64_t minutes = inbound::ReadNumber(rest.substr(0, rest.size() > 2 ? rest.size() - 2 : 0));
  int64_t hour = inbound::ReadNumber(hourText);
  if (hourText == "12") {
    hour = morning ? 0 : 12;
  } else if (afternoon) {
    hour += 12;
  }
  return hour * 60 + minutes;
}

// The reminder asked for by fields 3, 4 and 6: off, or the minutes after the start of the due day.
struct ReminderAsked {
  bool set = false;
  double dueDay = 0.0;
  int64_t minutes = 0;
};

// No value when a field the reminder needs is missing.
std::optional<ReminderAsked> ReadReminder(const Fields& fields) {
  const auto due = fields.Get(kDue);
  if (!due) return std::nullopt;
  if (*due == kNoDueDate) return ReminderAsked{};
  const auto wanted = fields.Get(kReminderWanted);
  if (!wanted) return std::nullopt;
  if (!inbound::ReadFlag(*wanted)) return ReminderAsked{};

  const DueField dueField = SplitDueField(*due);
  int64_t minutes = kEndOfDayMinutes;
  if (dueField.dueTime != kNoDueTime) {
    const auto offset = fields.Get(kReminderOffset);
    if (!offset) return std::nullopt;
    minutes = inbound::ReadHoursMinutes(*offset);
    if (dueField.dueTime) minutes += DueTimeMinutes(*dueField.dueTime);
  }
  return ReminderAsked{true, DateOrZero(dueField.date), minutes};
}

// The reminder to write; no value when its time is no date Outlook can hold, which would make
// Outlook refuse the task whole.
std::optional<TaskReminder> ReminderToWrite(const ReminderAsked& asked) {
  if (!asked.set) return TaskReminder{};
  const auto time = outlook::AddMinutes(asked.dueDay, asked.minutes);
  if (!time) return std::nullopt;
  return TaskReminder{true, *time};
}

std::optional<double> ReadDueDate(const Fields& fields) {
  const auto due = fields.Get(kDue);
  if (!due || *due == kNoDueDate) return std::nullopt;
  return DateOrZero(SplitDueField(*due).date);
}

Completion ReadCompletion(const Fields& fields) {
  if (fields.Is(kFractionComplete, kFullyComplete)) return Completion::Full;
  if (fields.Is(kFractionComplete, kNotStarted)) return Completion::None;
  return Completion::Untouched;
}

// The last field a writer reads: the recurrence type, or the pattern start date of a recurring
// record. Every field the writers read lies at or before it.
int LastFieldRead(const Fields& fields) {
  return inbound::IsRecurring(fields, kRecurrenceFields) ? kPatternStartDate : kRecurrenceType;
}

std::optional<TaskRecord> ReadTaskFields(const Fields& fields) {
  const auto subject = fields.Get(kSubject);
  if (!subject) return std::nullopt;

  TaskRecord task;
  task.subject = *subject == inbound::kBlankSubject ? std::string() : std::string(*subject);
  task.linkId = NumberField(fields, kLinkId);
  task.startDate = DateField(fields, kStartDate);
  task.dueDate = ReadDueDate(fields);
  const auto reminder = ReadReminder(fields);
  if (reminder) task.reminder = ReminderToWrite(*reminder);
  if (fields.IsNot(kDateCompleted, kNotDone)) task.dateCompleted = DateField(fields, kDateCompleted);
  task.completion = ReadCompletion(fields);
  task.totalWork = NumberField(fields, kTotalWork);
  if (fields.IsNot(kActualWork, kNotDone)) task.actualWork = NumberField(fields, kActualWork);
  task.billingInformation = TextUnless(fields, kBillingInformation, kBlank);
  task.categories = TextUnless(fields, kCategories, kBlank);
  task.companies = TextUnless(fields, kCompanies, kBlank);
  task.contactNames = TextField(fields, kContactNames);
  task.mileage = TextUnless(fields, kMileage, kBlank);
  task.body = TextField(fields, kBody);
  task.importanceNormal = fields.Is(kImportance, kNormalImportance);
  task.makePrivate = fields.Is(kPrivate, kTrueWord);
  task.role = TextField(fields, kRole);
  task.schedulePriorityNormal = fields.Is(kSchedulePriority, kNormalPriority);
  task.resetSensitivity = fields.IsNot(kSensitivityReset, kBlank);
  task.resetStatus = fields.IsNot(kStatusReset, kBlank);
  task.recurrence = inbound::ReadRecurrence(fields, kRecurrenceFields);
  // A reminder left unwritten for want of a real time counts as a missing field.
  task.isShort = fields.LastNumber() < LastFieldRead(fields) || (reminder && !task.reminder) ||
                 (task.recurrence && task.recurrence->unreadableDate);
  return task;
}

}  // namespace

std::optional<TaskRecord> ReadTaskRecord(std::string_view record) { return ReadTaskFields(Fields(record, kSubject)); }

std::optional<TaskChangeRecord> ReadTaskChangeRecord(std::string_view record) {
  const Fields fields(record, kSearchSubject);
  const auto searchSubject = fields.Get(kSearchSubject);
  std::optional<TaskRecord> task = ReadTaskFields(fields);
  if (!searchSubject || !task) return std::nullopt;
  // A change never rewrites the link id that the task already carries.
  const std::optional<int32_t> linkId = std::exchange(task->linkId, std::nullopt);
  return TaskChangeRecord{std::string(*searchSubject), std::move(*task), linkId};
}

}  // namespace orvane::inbound
