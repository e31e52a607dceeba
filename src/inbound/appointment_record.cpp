#include "inbound/appointment_record.h"

#include "inbound/record_fields.h"
#include "outlook/ole_date.h"

#include <utility>

namespace orvane::inbound {

namespace {

using namespace appointmentfield;
using inbound::NumberField;
using inbound::TextField;
using Fields = inbound::RecordFields;

constexpr inbound::RecurrenceFields kRecurrenceFields{kRecurrenceType, kDayOfWeekMask,  kInterval,
                                                      kEndFlag,        kPatternEndDate, kPatternStartDate};
// A changed appointment's pattern runs from 10:00 on its start date to 11:00 on its end date.
constexpr inbound::PatternDayTimes kChangePatternTimes{10, 11};
constexpr char kEndBlockSeparator = '*';

std::optional<double> At(const std::optional<inbound::Date>& date, const std::optional<inbound::ClockTime>& time) {
  if (!date || !time) return std::nullopt;
  return outlook::FromDateTime({date->year, date->month, date->day, time->hour, time->minute});
}

std::optional<bool> FlagField(const Fields& fields, int number) {
  const auto text = fields.Get(number);
  if (!text) return std::nullopt;
  return inbound::ReadFlag(*text);
}

// The part of the end block up to the next "*", after any "*" before it; `rest` moves past it.
std::optional<std::string_view> TakePart(std::string_view& rest) {
  const size_t start = rest.find_first_not_of(kEndBlockSeparator);
  if (start == std::string_view::npos) return std::nullopt;
  const size_t end = rest.find(kEndBlockSeparator, start);
  const std::string_view part = rest.substr(start, end == std::string_view::npos ? end : end - start);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
  return part;
}

// The rest of the end block, after any "*" before it.
std::optional<std::string_view> TakeRest(std::string_view rest) {
  const size_t start = rest.find_first_not_of(kEndBlockSeparator);
  if (start == std::string_view::npos) return std::nullopt;
  return rest.substr(start);
}

// End date "*" start time "*" end time. A run of "*" separates like one, so the block
// "25/12/2006**3:00pm" has the start time 3:00pm and no end time; the end time is the whole
// rest of the block.
struct EndBlockParts {
  std::optional<std::string_view> endDate;
  std::optional<std::string_view> startTime;
  std::optional<std::string_view> endTime;
};

EndBlockParts SplitEndBlock(std::string_view block) {
  EndBlockParts parts;
  parts.endDate = TakePart(block);
  parts.startTime = TakePart(block);
  parts.endTime = TakeRest(block);
  return parts;
}

std::optional<inbound::ClockTime> TimeOf(const std::optional<std::string_view>& text) {
  return text ? inbound::ReadTime(*text) : std::nullopt;
}

std::optional<double> ReadStart(const Fields& fields) {
  const auto date = fields.Get(kStartDate);
  const auto time = fields.Get(kStartTime);
  if (!date || !time) return std::nullopt;
  return At(inbound::ReadDate(*date), inbound::ReadTime(*time)).value_or(outlook::kZeroDate);
}

std::optional<EndBlock> ReadEndBlock(const Fields& fields, double start) {
  const auto block = fields.Get(kEndBlock);
  if (!block || *block == kNoEnd) return std::nullopt;
  const EndBlockParts parts = SplitEndBlock(*block);
  const auto endDate = parts.endDate ? inbound::ReadDate(*parts.endDate) : std::nullopt;
  if (!endDate) return std::nullopt;

  const auto startDate = inbound::ReadDate(fields.Get(kStartDate).value_or(""));
  const auto startTime = TimeOf(parts.startTime ? parts.startTime : fields.Get(kStartTime));
  EndBlock result;
  result.start = At(startDate, startTime).value_or(start);
  if (parts.endTime) result.end = At(endDate, TimeOf(parts.endTime)).value_or(outlook::kZeroDate);
  return result;
}

// The reminder asked for by fields 4, 7 and 9; no value when a field it needs is missing.
std::optional<AppointmentReminder> ReadReminder(const Fields& fields) {
  const auto block = fields.Get(kEndBlock);
  if (!block) return std::nullopt;
  if (*block == kNoEnd) return AppointmentReminder{};
  const auto wanted = FlagField(fields, kReminderWanted);
  if (!wanted) return std::nullopt;
  if (!*wanted) return AppointmentReminder{};
  const auto lead = fields.Get(kReminderLead);
  if (!lead) return std::nullopt;
  return AppointmentReminder{true, static_cast<int32_t>(inbound::ReadHoursMinutes(*lead))};
}

std::optional<int32_t> ReadDuration(const Fields& fields) {
  const auto text = fields.Get(kDuration);
  if (!text) return std::nullopt;
  return static_cast<int32_t>(inbound::ReadHundredthsAsMinutes(*text));
}

// The last field a writer reads: the recurrence type, or the pattern start date of a recurring
// record. Every field the writers read lies at or before it.
int LastFieldRead(const Fields& fields) {
  return inbound::IsRecurring(fields, kRecurrenceFields) ? kPatternStartDate : kRecurrenceType;
}

std::optional<AppointmentRecord> ReadAppointmentFields(const Fields& fields, inbound::PatternDayTimes patternTimes) {
  const auto subject = fields.Get(kSubject);
  if (!subject) return std::nullopt;

  AppointmentRecord appointment;
  appointment.subject = *subject == inbound::kBlankSubject ? std::string() : std::string(*subject);
  appointment.linkId = NumberField(fields, kLinkId);
  appointment.start = ReadStart(fields);
  appointment.endBlock = ReadEndBlock(fields, appointment.start.value_or(outlook::kZeroDate));
  appointment.durationMinutes = ReadDuration(fields);
  appointment.allDay = FlagField(fields, kAllDay);
  appointment.reminder = ReadReminder(fields);
  appointment.text = TextField(fields, kText);
  appointment.body = TextField(fields, kBody);
  appointment.location = TextField(fields, kLocation);
  appointment.importance = NumberField(fields, kImportance);
  appointment.makePrivate = FlagField(fields, kPrivate).value_or(false);
  appointment.recurrence = inbound::ReadRecurrence(fields, kRecurrenceFields, patternTimes);
  appointment.isShort =
      fields.LastNumber() < LastFieldRead(fields) || (appointment.recurrence && appointment.recurrence->unreadableDate);
  return appointment;
}

}  // namespace

std::optional<AppointmentRecord> ReadAppointmentRecord(std::string_view record) {
  return ReadAppointmentFields(Fields(record, kSubject), {});
}

std::optional<AppointmentChangeRecord> ReadAppointmentChangeRecord(std::string_view record) {
  const Fields fields(record, kSearchSubject);
  const auto searchSubject = fields.Get(kSearchSubject);
  std::optional<AppointmentRecord> appointment = ReadAppointmentFields(fields, kChangePatternTimes);
  if (!searchSubject || !appointment) return std::nullopt;
  // A change keeps the link id the appointment already carries.
  const std::optional<int32_t> linkId = std::exchange(appointment->linkId, std::nullopt);
  return AppointmentChangeRecord{std::string(*searchSubject), std::move(*appointment), linkId};
}

double PatternTime(double dateTime) {
  const auto value = outlook::ToDateTime(dateTime);
  if (!value) return outlook::kZeroDate;
  return outlook::FromDateTime({1899, 12, 30, value->hour, value->minute}).value_or(outlook::kZeroDate);
}

}  // namespace orvane::inbound
