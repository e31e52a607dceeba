#include "testbed/outlook/item_data.h"

#include "testbed/outlook/model_error.h"

#include <cmath>

namespace orvane {

namespace outlook_standin {
namespace {

using namespace outlook;

constexpr double kMinutesPerDay = 24.0 * 60.0;
// Dates closer than this (well under a second) count as the same moment.
constexpr double kSameMoment = 1e-7;

// Outlook keeps a task's dates as whole days (midnight). OLE dates before 1899 count their fraction
// forward from the day's start, so the day is the whole part toward zero.
double DateOnly(double oleDate) { return oleDate == kNoDate ? oleDate : std::trunc(oleDate); }
double TimeOfDay(double oleDate) { return std::fabs(oleDate - std::trunc(oleDate)); }
bool IsSet(double oleDate) { return oleDate != kNoDate; }

// Bit of the day of week in a recurrence mask: Sunday 1, Monday 2, ... Saturday 64.
int32_t WeekdayBit(double oleDate) {
  // Day 0, 30 December 1899, was a Saturday.
  const long long day = static_cast<long long>(std::trunc(oleDate));
  const int sundayBased = static_cast<int>(((day + 6) % 7 + 7) % 7);
  return 1 << sundayBased;
}

}  // namespace

ObjectKind ObjectKindOf(ItemKind kind) {
  switch (kind) {
    case ItemKind::Task: return ObjectKind::TaskItem;
    case ItemKind::Appointment: return ObjectKind::AppointmentItem;
    case ItemKind::Note: break;
  }
  return ObjectKind::NoteItem;
}

int32_t DefaultFolderOf(ItemKind kind) {
  switch (kind) {
    case ItemKind::Task: return kFolderTasks;
    case ItemKind::Appointment: return kFolderCalendar;
    case ItemKind::Note: break;
  }
  return kFolderNotes;
}

ItemData::ItemData(ItemKind kind) : kind_(kind) {
  for (const Member& member : MembersOf(ObjectKindOf(kind))) {
    if (member.IsProperty()) values_[member.id] = Value::EmptyOf(member.type);
  }
  if (kind == ItemKind::Note) return;
  values_[kImportance] = Value::Int32(kImportanceNormal);
  if (kind == ItemKind::Appointment) {
    values_[kDuration] = Value::Int32(30);
    values_[kReminderSet] = Value::Bool(true);
    values_[kReminderMinutesBeforeStart] = Value::Int32(15);
  }
}

Value ItemData::Get(DispId id) const {
  if (id == kTaskIsRecurring || id == kAppointmentIsRecurring) return Value::Bool(recurring_);
  if (kind_ == ItemKind::Note && id == kNoteSubject) {
    const std::wstring& body = values_.at(kBody).AsText();
    return Value::Text(body.substr(0, body.find_first_of(L"\r\n")));
  }
  const auto found = values_.find(id);
  return found != values_.end() ? found->second : Value();
}

std::wstring ItemData::Put(DispId id, const Value& value, double today) {
  if (kind_ == ItemKind::Appointment && (id == kStart || id == kEnd || id == kDuration)) {
    std::wstring refusal = PutAppointmentTime(id, value);
    if (refusal.empty() && hasPattern_) KeepPatternTimesInStep();
    return refusal;
  }
  if (kind_ == ItemKind::Task) {
    if (id == kStartDate || id == kDueDate || id == kDateCompleted) return PutTaskDate(id, value, today);
    if (id == kStatus || id == kPercentComplete) return PutTaskProgress(id, value, today);
  }
  values_[id] = value;
  return {};
}

// An appointment keeps its length when its start moves; a new end changes the length, and an end
// before the start is refused.
std::wstring ItemData::PutAppointmentTime(DispId id, const Value& value) {
  const double start = DateOf(kStart);
  if (id == kStart) {
    values_[kStart] = value;
    if (IsSet(value.AsDate())) values_[kEnd] = Value::Date(value.AsDate() + NumberOf(kDuration) / kMinutesPerDay);
    return {};
  }
  if (id == kEnd) {
    const double end = value.AsDate();
    if (IsSet(start) && IsSet(end) && end < start - kSameMoment) return kEndBeforeStartMessage;
    values_[kEnd] = value;
    if (IsSet(start) && IsSet(end)) {
      values_[kDuration] = Value::Int32(static_cast<int32_t>(std::lround((end - start) * kMinutesPerDay)));
    }
    return {};
  }
  if (value.AsInt32() < 0) return kBadParameterMessage;
  values_[kDuration] = value;
  if (IsSet(start)) values_[kEnd] = Value::Date(start + value.AsInt32() / kMinutesPerDay);
  return {};
}

// Task dates are whole days. A start date fills an unset or earlier due date; a due date before the
// start is refused; a completion date completes the task.
std::wstring ItemData::PutTaskDate(DispId id, const Value& value, double today) {
  const double date = DateOnly(value.AsDate());
  if (id == kStartDate) {
    values_[kStartDate] = Value::Date(date);
    if (IsSet(date) && (!IsSet(DateOf(kDueDate)) || DateOf(kDueDate) < date)) values_[kDueDate] = Value::Date(date);
    return {};
  }
  if (id == kDueDate) {
    const double start = DateOf(kStartDate);
    if (IsSet(date) && IsSet(start) && date < start) return kDueBeforeStartMessage;
    values_[kDueDate] = Value::Date(date);
    return {};
  }
  values_[kDateCompleted] = Value::Date(date);
  if (IsSet(date)) MarkComplete(today);
  return {};
}

// Status and PercentComplete agree as Outlook keeps them: complete is 100 %, not started is 0 %,
// and leaving the complete state clears the completion date.
std::wstring ItemData::PutTaskProgress(DispId id, const Value& value, double today) {
  const int32_t number = value.AsInt32();
  if (id == kStatus) {
    if (number < kStatusNotStarted || number > 4) return kBadParameterMessage;
    if (number == kStatusComplete) {
      MarkComplete(today);
      return {};
    }
    ClearCompletion();
    values_[kStatus] = value;
    if (number == kStatusNotStarted || NumberOf(kPercentComplete) == kPercentCompleteDone) {
      values_[kPercentComplete] = Value::Int32(0);
    }
    return {};
  }
  if (number < 0 || number > kPercentCompleteDone) return kBadParameterMessage;
  if (number == kPercentCompleteDone) {
    MarkComplete(today);
    return {};
  }
  const int32_t status = NumberOf(kStatus);
  if (status == kStatusComplete) ClearCompletion();
  values_[kPercentComplete] = value;
  if (status == kStatusComplete || status == kStatusNotStarted || status == 1) {
    values_[kStatus] = Value::Int32(number == 0 ? kStatusNotStarted : 1);
  }
  return {};
}

void ItemData::MarkComplete(double today) {
  values_[kStatus] = Value::Int32(kStatusComplete);
  values_[kPercentComplete] = Value::Int32(kPercentCompleteDone);
  if (!IsSet(DateOf(kDateCompleted))) values_[kDateCompleted] = Value::Date(DateOnly(today));
}

void ItemData::ClearCompletion() {
  values_[kDateCompleted] = Value::Date(kNoDate);
  if (NumberOf(kStatus) == kStatusComplete) values_[kStatus] = Value::Int32(kStatusNotStarted);
}

void ItemData::OpenPattern() {
  if (hasPattern_) return;
  hasPattern_ = true;
  ResetPattern(kRecursWeekly);
}

// A pattern of the type with Outlook's defaults: it starts on the item's own day (weekly on its
// weekday), repeats every time and never ends.
void ItemData::ResetPattern(int32_t type) {
  for (const Member& member : MembersOf(ObjectKind::RecurrencePattern)) {
    pattern_[member.id] = Value::EmptyOf(member.type);
  }
  pattern_[kRecurrenceType] = Value::Int32(type);
  pattern_[kInterval] = Value::Int32(1);
  pattern_[kNoEndDate] = Value::Bool(true);
  pattern_[kPatternStartTime] = Value::Date(0);
  pattern_[kPatternEndTime] = Value::Date(0);
  double start = kNoDate;
  if (kind_ == ItemKind::Appointment) {
    start = DateOf(kStart);
    KeepPatternTimesInStep();
  } else if (kind_ == ItemKind::Task) {
    start = IsSet(DateOf(kStartDate)) ? DateOf(kStartDate) : DateOf(kDueDate);
  }
  if (IsSet(start)) {
    pattern_[kPatternStartDate] = Value::Date(DateOnly(start));
    pattern_[kDayOfWeekMask] = Value::Int32(WeekdayBit(start));
  }
}

// A series' times of day and length are those of its appointment, as Outlook keeps them.
void ItemData::KeepPatternTimesInStep() {
  const double start = DateOf(kStart);
  if (!IsSet(start)) return;
  pattern_[kPatternStartTime] = Value::Date(TimeOfDay(start));
  pattern_[kPatternEndTime] = Value::Date(TimeOfDay(DateOf(kEnd)));
  pattern_[kPatternDuration] = Value::Int32(NumberOf(kDuration));
}

Value ItemData::PatternGet(DispId id) const {
  const auto found = pattern_.find(id);
  return found != pattern_.end() ? found->second : Value();
}

// The type decides which of the pattern's other properties are valid: setting it puts them all
// back to their defaults, so values written before it are lost, as in Outlook.
void ItemData::PatternPut(DispId id, const Value& value) {
  if (!hasPattern_) return;
  if (id == kRecurrenceType) {
    ResetPattern(value.AsInt32());
  } else {
    pattern_[id] = value;
  }
}

}  // namespace outlook_standin

}  // namespace orvane
