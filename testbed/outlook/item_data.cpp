#include "testbed/outlook/item_data.h"

#include "testbed/outlook/model_error.h"

#include <algorithm>
#include <cmath>

namespace orvane {

namespace outlook_standin {
namespace {

constexpr double kMinutesPerDay = 24.0 * 60.0;
// Dates closer than this (well under a second) count as the same moment.
constexpr double kSameMoment = 1e-7;
constexpr int32_t kNewAppointmentMinutes = 30;

// Outlook keeps a task's dates as whole days (midnight). OLE dates before 1899 count their fraction
// forward from the day's start, so the day is the whole part toward zero.
double DateOnly(double oleDate) { return oleDate == kNoDate ? oleDate : std::trunc(oleDate); }
double TimeOfDay(double oleDate) { return std::fabs(oleDate - std::trunc(oleDate)); }
bool IsSet(double oleDate) { return oleDate != kNoDate; }

// Outlook proposes a new appointment at the next full or half hour.
double NextHalfHour(double oleDate) { return (std::floor(oleDate * 48.0 + 1e-6) + 1) / 48.0; }

// The next midnight at or after the moment.
double MidnightAtOrAfter(double oleDate) {
  return TimeOfDay(oleDate) < kSameMoment ? std::round(oleDate) : std::trunc(oleDate) + 1;
}

int32_t Minutes(double days) { return static_cast<int32_t>(std::lround(days * kMinutesPerDay)); }

// Bit of the day of week in a recurrence mask: Sunday 1, Monday 2, ... Saturday 64.
int32_t WeekdayBit(double oleDate) {
  // Day 0, 30 December 1899, was a Saturday.
  const long long day = static_cast<long long>(std::trunc(oleDate));
  const int sundayBased = static_cast<int>(((day + 6) % 7 + 7) % 7);
  return 1 << sundayBased;
}

// Civil dates of OLE days (day 0 is 30 December 1899), on the proleptic Gregorian calendar.
struct Civil {
  long long year;
  int month;  // 1..12
  int day;    // 1..31
};

long long DaysFromCivil(long long year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// 1970-01-01 is OLE day 25569.
constexpr long long kUnixDayOfOle = 25569;

double OleDay(long long year, int month, int day) {
  return static_cast<double>(DaysFromCivil(year, month, day) + kUnixDayOfOle);
}

Civil CivilOf(double oleDate) {
  const long long z = static_cast<long long>(std::floor(oleDate)) - kUnixDayOfOle + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long dayOfEra = z - era * 146097;
  const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long mp = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

int DaysInMonth(long long year, int month) {
  const int next = month == 12 ? 1 : month + 1;
  return static_cast<int>(OleDay(month == 12 ? year + 1 : year, next, 1) - OleDay(year, month, 1));
}

// The month `months` on from the year and month given.
void AddMonths(long long& year, int& month, long long months) {
  const long long index = year * 12 + (month - 1) + months;
  year = index / 12;
  month = static_cast<int>(index % 12) + 1;
}

// The day of a month a monthly pattern falls on: DayOfMonth, or the month's last day when shorter.
double DayInMonth(long long year, int month, int dayOfMonth) {
  return OleDay(year, month, std::min(dayOfMonth, DaysInMonth(year, month)));
}

// The `instance`-th day of the month among the mask's weekdays; 5 is the last such day.
double NthDayInMonth(long long year, int month, int instance, int32_t mask) {
  const double first = OleDay(year, month, 1);
  const double last = first + DaysInMonth(year, month) - 1;
  if (instance >= 5) {
    for (double day = last; day >= first; --day) {
      if (WeekdayBit(day) & mask) return day;
    }
    return last;
  }
  int seen = 0;
  for (double day = first; day <= last; ++day) {
    if ((WeekdayBit(day) & mask) && ++seen == instance) return day;
  }
  return last;
}

constexpr wchar_t kBadPatternMessage[] = L"The recurrence pattern is not valid.";

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

ItemData::ItemData(ItemKind kind, double now) : kind_(kind) {
  for (const Member& member : MembersOf(ObjectKindOf(kind))) {
    if (member.IsProperty()) values_[member.id] = Value::EmptyOf(member.type);
  }
  if (kind == ItemKind::Note) return;
  values_[kImportance] = Value::Int32(kImportanceNormal);
  if (kind == ItemKind::Appointment) {
    values_[kDuration] = Value::Int32(kNewAppointmentMinutes);
    values_[kReminderSet] = Value::Bool(true);
    values_[kReminderMinutesBeforeStart] = Value::Int32(15);
    if (IsSet(now)) {
      const double start = NextHalfHour(now);
      values_[kStart] = Value::Date(start);
      values_[kEnd] = Value::Date(start + kNewAppointmentMinutes / kMinutesPerDay);
    }
  }
}

ItemData ItemData::FromImage(const ItemImage& image) {
  ItemData data(image.kind);
  for (const auto& [id, value] : image.values) data.values_[id] = value;
  data.pattern_ = image.pattern;
  data.hasPattern_ = image.hasPattern;
  data.recurring_ = image.recurring;
  data.deadOccurrence_ = image.deadOccurrence;
  data.userFields_ = image.userFields;
  return data;
}

ItemImage ItemData::Image() const {
  ItemImage image;
  image.kind = kind_;
  image.values = values_;
  image.pattern = pattern_;
  image.hasPattern = hasPattern_;
  image.recurring = recurring_;
  image.deadOccurrence = deadOccurrence_;
  image.userFields = userFields_;
  return image;
}

void ItemData::Stamp(double modified) { values_[kLastModificationTime] = Value::Date(modified); }

Value ItemData::Get(DispId id) const {
  if (id == kTaskIsRecurring || id == kAppointmentIsRecurring) return Value::Bool(recurring_);
  if (kind_ == ItemKind::Note && id == kNoteSubject) {
    const std::wstring& body = values_.at(kBody).AsText();
    return Value::Text(body.substr(0, body.find_first_of(L"\r\n")));
  }
  if (id == kMessageClass) {
    return Value::Text(kind_ == ItemKind::Task          ? L"IPM.Task"
                       : kind_ == ItemKind::Appointment ? L"IPM.Appointment"
                                                        : L"IPM.StickyNote");
  }
  const auto found = values_.find(id);
  if (found != values_.end()) return found->second;
  // A saved item kept by an older store file was created when it was last saved, at the latest.
  if (id == kCreationTime) return Get(kLastModificationTime);
  return Value();
}

std::wstring ItemData::Put(DispId id, const Value& value, double today) {
  if (kind_ == ItemKind::Appointment && (id == kStart || id == kEnd || id == kDuration)) {
    std::wstring refusal = PutAppointmentTime(id, value);
    if (!refusal.empty() || !hasPattern_) return refusal;
    if (id == kDuration) {
      // The series keeps its pattern's start time; its length and end time follow.
      PutPatternTime(kPatternDuration, value);
    } else {
      PatternTimesFromItem();
    }
    return {};
  }
  if (kind_ == ItemKind::Appointment && id == kAllDayEvent) {
    values_[kAllDayEvent] = value;
    if (value.AsBool()) PutAllDay(true);
    return {};
  }
  if (kind_ == ItemKind::Task) {
    if (id == kStartDate || id == kDueDate || id == kDateCompleted) return PutTaskDate(id, value, today);
    if (id == kStatus || id == kPercentComplete) return PutTaskProgress(id, value, today);
  }
  values_[id] = value;
  return {};
}

// An all-day appointment runs from the midnight of its start day to a following midnight.
void ItemData::PutAllDay(bool allDay) {
  const double start = DateOf(kStart);
  if (!allDay || !IsSet(start)) return;
  const double day = std::trunc(start);
  double end = IsSet(DateOf(kEnd)) ? MidnightAtOrAfter(DateOf(kEnd)) : day + 1;
  if (end <= day) end = day + 1;
  values_[kStart] = Value::Date(day);
  values_[kEnd] = Value::Date(end);
  values_[kDuration] = Value::Int32(Minutes(end - day));
  if (hasPattern_) PatternTimesFromItem();
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

void ItemData::OpenPattern(double today) {
  recurring_ = true;
  patternOpened_ = today;
  if (hasPattern_) return;
  hasPattern_ = true;
  ResetPattern(kRecursWeekly);
}

// Where a new pattern starts: on the item's own day.
double ItemData::PatternDefaultStart() const {
  if (kind_ == ItemKind::Appointment) return DateOf(kStart);
  if (kind_ == ItemKind::Task) return IsSet(DateOf(kStartDate)) ? DateOf(kStartDate) : DateOf(kDueDate);
  return kNoDate;
}

// A pattern of the type with Outlook's defaults: it starts on the item's own day (weekly on its
// weekday), at the appointment's times, repeats every time and never ends.
void ItemData::ResetPattern(int32_t type) {
  for (const Member& member : MembersOf(ObjectKind::RecurrencePattern)) {
    pattern_[member.id] = Value::EmptyOf(member.type);
  }
  pattern_[kRecurrenceType] = Value::Int32(type);
  pattern_[kInterval] = Value::Int32(1);
  pattern_[kNoEndDate] = Value::Bool(true);
  pattern_[kPatternStartTime] = Value::Date(0);
  pattern_[kPatternEndTime] = Value::Date(0);
  patternDateWritten_ = false;
  if (kind_ == ItemKind::Appointment) PatternTimesFromItem();
  const double start = PatternDefaultStart();
  // The weekday, the month's day, the year's month and the week of the month the type uses come
  // from the start (today for an item without dates); the others stay 0.
  const double day = IsSet(start) ? start : patternOpened_;
  if (IsSet(start)) pattern_[kPatternStartDate] = Value::Date(DateOnly(start));
  if (!IsSet(day)) return;
  const Civil civil = CivilOf(day);
  const bool nth = type == kRecursMonthNth || type == kRecursYearNth;
  if (IsSet(start) || type == kRecursWeekly || nth) pattern_[kDayOfWeekMask] = Value::Int32(WeekdayBit(day));
  if (type == kRecursMonthly || type == kRecursYearly) pattern_[kDayOfMonth] = Value::Int32(civil.day);
  if (type == kRecursYearly || type == kRecursYearNth) pattern_[kMonthOfYear] = Value::Int32(civil.month);
  if (nth) pattern_[kInstance] = Value::Int32(std::min(5, (civil.day - 1) / 7 + 1));
}

// What RecurrencePattern's pages allow: an Interval of at least 1 (at most 999, 99 weekly and
// monthly), weekdays for the weekly and n-th patterns, DayOfMonth 1 to 31, MonthOfYear 1 to 12,
// Instance 1 to 5.
std::wstring ItemData::PatternRefusal() const {
  if (!hasPattern_) return {};
  const int32_t type = PatternGet(kRecurrenceType).AsInt32();
  const int32_t interval = PatternGet(kInterval).AsInt32();
  const int32_t mask = PatternGet(kDayOfWeekMask).AsInt32();
  const int32_t dayOfMonth = PatternGet(kDayOfMonth).AsInt32();
  const int32_t month = PatternGet(kMonthOfYear).AsInt32();
  const int32_t instance = PatternGet(kInstance).AsInt32();
  const bool weekdays = type == kRecursWeekly || type == kRecursMonthNth || type == kRecursYearNth;
  const bool nth = type == kRecursMonthNth || type == kRecursYearNth;
  const bool yearly = type == kRecursYearly || type == kRecursYearNth;
  const int32_t mostInterval = type == kRecursDaily ? 999 : 99;
  if (type < kRecursDaily || type > kRecursYearNth) return {};  // a type of another version
  if (interval < 1 || interval > mostInterval) return kBadPatternMessage;
  if (weekdays && (mask <= 0 || mask > 0x7F)) return kBadPatternMessage;
  if ((type == kRecursMonthly || type == kRecursYearly) && (dayOfMonth < 1 || dayOfMonth > 31)) {
    return kBadPatternMessage;
  }
  if (yearly && (month < 1 || month > 12)) return kBadPatternMessage;
  if (nth && (instance < 1 || instance > 5)) return kBadPatternMessage;
  return {};
}

// The first day of the series after `after`; from the completion day (`today`) when the pattern
// regenerates. kNoDate when the pattern ends before it.
double ItemData::NextOccurrence(double after, double today) const {
  const int32_t type = PatternGet(kRecurrenceType).AsInt32();
  const int32_t interval = std::max(1, PatternGet(kInterval).AsInt32());
  const int32_t mask = PatternGet(kDayOfWeekMask).AsInt32() & 0x7F;
  const int dayOfMonth = PatternGet(kDayOfMonth).AsInt32();
  const int instance = PatternGet(kInstance).AsInt32();
  if (PatternGet(kRegenerate).AsBool()) after = DateOnly(today);
  Civil civil = CivilOf(after);
  double next = kNoDate;
  switch (type) {
    case kRecursDaily: next = after + interval; break;
    case kRecursWeekly: {
      // Weeks run from Sunday; the series keeps every interval-th week from its first one.
      const double patternStart =
          IsSet(PatternGet(kPatternStartDate).AsDate()) ? PatternGet(kPatternStartDate).AsDate() : after;
      const auto weekOf = [](double day) { return static_cast<long long>(std::floor((day + 6) / 7)); };
      for (double day = after + 1; day <= after + 7.0 * interval + 7 && mask != 0; ++day) {
        if ((WeekdayBit(day) & mask) && (weekOf(day) - weekOf(patternStart)) % interval == 0) {
          next = day;
          break;
        }
      }
      break;
    }
    case kRecursMonthly:
    case kRecursMonthNth:
    case kRecursYearly:
    case kRecursYearNth: {
      const bool yearly = type == kRecursYearly || type == kRecursYearNth;
      const bool nth = type == kRecursMonthNth || type == kRecursYearNth;
      long long year = civil.year;
      int month = yearly ? PatternGet(kMonthOfYear).AsInt32() : civil.month;
      for (int step = 0; step < 3 && next == kNoDate; ++step) {
        const double day = nth ? NthDayInMonth(year, month, instance, mask) : DayInMonth(year, month, dayOfMonth);
        if (day > after) next = day;
        AddMonths(year, month, yearly ? 12LL * interval : interval);
      }
      break;
    }
    default: break;
  }
  const double end = PatternGet(kPatternEndDate).AsDate();
  if (!PatternGet(kNoEndDate).AsBool() && IsSet(end) && next > end) return kNoDate;
  return next;
}

std::optional<ItemData> ItemData::CompleteOccurrence(double today, bool keepsRecurrence) {
  if (kind_ != ItemKind::Task || !recurring_ || !hasPattern_ || deadOccurrence_ || NumberOf(kStatus) != kStatusComplete)
    return {};
  const double due = IsSet(DateOf(kDueDate)) ? DateOf(kDueDate) : DateOf(kStartDate);
  if (!IsSet(due)) return {};
  const double next = NextOccurrence(due, today);
  if (!IsSet(next)) return {};
  ItemData done = *this;
  if (keepsRecurrence && !PatternGet(kRegenerate).AsBool()) {
    done.deadOccurrence_ = true;
  } else {
    done.recurring_ = false;
    done.hasPattern_ = false;
    done.pattern_.clear();
  }
  done.values_.erase(kEntryId);
  done.values_.erase(kCreationTime);
  const double shift = next - due;
  if (IsSet(DateOf(kStartDate))) values_[kStartDate] = Value::Date(DateOf(kStartDate) + shift);
  values_[kDueDate] = Value::Date(next);
  values_[kStatus] = Value::Int32(kStatusNotStarted);
  values_[kPercentComplete] = Value::Int32(0);
  values_[kDateCompleted] = Value::Date(kNoDate);
  pattern_[kPatternStartDate] = Value::Date(next);
  return done;
}

// The pattern takes the series' times of day and length from its appointment.
void ItemData::PatternTimesFromItem() {
  const double start = DateOf(kStart);
  if (!IsSet(start)) return;
  pattern_[kPatternStartTime] = Value::Date(TimeOfDay(start));
  pattern_[kPatternEndTime] = Value::Date(TimeOfDay(DateOf(kEnd)));
  pattern_[kPatternDuration] = Value::Int32(NumberOf(kDuration));
}

// The day of the series' first occurrence: the pattern's start date, moved on to a day of its
// week mask for a weekly pattern; the appointment's own day while the pattern has no start date.
double ItemData::FirstOccurrenceDay() const {
  double day = PatternGet(kPatternStartDate).AsDate();
  if (!IsSet(day)) day = IsSet(DateOf(kStart)) ? DateOnly(DateOf(kStart)) : kNoDate;
  if (!IsSet(day)) return day;
  const int32_t mask = PatternGet(kDayOfWeekMask).AsInt32();
  if (PatternGet(kRecurrenceType).AsInt32() == kRecursWeekly && (mask & 0x7F) != 0) {
    while ((WeekdayBit(day) & mask) == 0) day += 1;
  }
  return day;
}

// The series' own start and end are its first occurrence at the pattern's times.
void ItemData::ItemTimesFromPattern() {
  const double day = FirstOccurrenceDay();
  if (!IsSet(day)) return;
  const int32_t length = PatternGet(kPatternDuration).AsInt32();
  const double start = day + PatternGet(kPatternStartTime).AsDate();
  values_[kStart] = Value::Date(start);
  values_[kDuration] = Value::Int32(length);
  values_[kEnd] = Value::Date(start + length / kMinutesPerDay);
}

// StartTime keeps the length and moves the end time; EndTime and Duration keep the start time.
void ItemData::PutPatternTime(DispId id, const Value& value) {
  const double startTime = PatternGet(kPatternStartTime).AsDate();
  int32_t length = PatternGet(kPatternDuration).AsInt32();
  if (id == kPatternStartTime) {
    pattern_[kPatternStartTime] = Value::Date(TimeOfDay(value.AsDate()));
  } else if (id == kPatternEndTime) {
    const double endTime = TimeOfDay(value.AsDate());
    length = Minutes(endTime - startTime);
    if (length < 0) length += Minutes(1);
  } else {
    length = value.AsInt32();
  }
  pattern_[kPatternDuration] = Value::Int32(length);
  pattern_[kPatternEndTime] = Value::Date(TimeOfDay(PatternGet(kPatternStartTime).AsDate() + length / kMinutesPerDay));
}

Value ItemData::PatternGet(DispId id) const {
  const auto found = pattern_.find(id);
  return found != pattern_.end() ? found->second : Value();
}

// The type decides which of the pattern's other properties are valid: setting it puts them all
// back to their defaults, so values written before it are lost, as in Outlook. The mask belongs
// before the pattern dates: written after one, it puts both back to their defaults.
std::wstring ItemData::PatternPut(DispId id, const Value& value) {
  if (!hasPattern_) return {};
  switch (id) {
    case kRecurrenceType: ResetPattern(value.AsInt32()); return {};
    case kPatternStartDate:
    case kPatternEndDate:
      pattern_[id] = Value::Date(DateOnly(value.AsDate()));
      patternDateWritten_ = true;
      return {};
    case kDayOfWeekMask:
      if (patternDateWritten_) {
        const double start = PatternDefaultStart();
        pattern_[kPatternStartDate] = Value::Date(DateOnly(start));
        pattern_[kPatternEndDate] = Value::Date(kNoDate);
        patternDateWritten_ = false;
      }
      pattern_[id] = value;
      return {};
    case kPatternStartTime:
    case kPatternEndTime:
    case kPatternDuration:
      if (id == kPatternDuration && value.AsInt32() < 0) return kBadParameterMessage;
      if (kind_ != ItemKind::Appointment) {
        pattern_[id] = value;
        return {};
      }
      PutPatternTime(id, value);
      ItemTimesFromPattern();
      return {};
    default: pattern_[id] = value; return {};
  }
}

}  // namespace outlook_standin

}  // namespace orvane
