// The builders read every property in the order its field appears in the record, so that an
// Outlook call that fails leaves no half-read item behind a record: the exception ends the build.
#include "outbound/item_records.h"

#include "base/error_log.h"
#include "outbound/later_box.h"
#include "outbound/record_forms.h"

#include <cmath>

namespace orvane::outbound {

namespace {

using namespace outlook;
using outbound::OutboundRecurrence;

// The user is told once per record that its pattern was left out; the record is still sent, and
// the box waits until Outlook has its event back.
void ReportUnknownPattern(int32_t type, LaterBoxes* boxes) {
  WriteLogNumbered(kUnknownPatternLog, type);
  if (boxes) boxes->Show(kUnknownPatternText, kUnknownPatternCaption, MB_OK);
}

// The pattern is obtained once. NoEndDate is read for its own field and again to decide whether
// the end date is read.
OutboundRecurrence ReadPattern(const outlook::DispatchDriver& item, LaterBoxes* boxes) {
  const outlook::DispatchDriver pattern = item.InvokeForObject(outlook::kGetRecurrencePattern);
  OutboundRecurrence recurrence;
  recurrence.type = pattern.GetInt32(kRecurrenceType);
  if (!outbound::IsKnownRecurrenceType(recurrence.type)) {
    ReportUnknownPattern(recurrence.type, boxes);
    return recurrence;
  }
  recurrence.dayOfMonth = pattern.GetInt32(outlook::kDayOfMonth);
  recurrence.dayOfWeekMask = pattern.GetInt32(kDayOfWeekMask);
  recurrence.duration = pattern.GetInt32(outlook::kPatternDuration);
  recurrence.endTime = pattern.GetDate(outlook::kPatternEndTime);
  recurrence.occurrences = pattern.GetInt32(outlook::kOccurrences);
  recurrence.instance = pattern.GetInt32(outlook::kInstance);
  recurrence.interval = pattern.GetInt32(kInterval);
  recurrence.monthOfYear = pattern.GetInt32(outlook::kMonthOfYear);
  recurrence.noEndDate = pattern.GetBool(outlook::kNoEndDate);
  if (!pattern.GetBool(outlook::kNoEndDate)) recurrence.patternEndDate = pattern.GetDate(kPatternEndDate);
  recurrence.patternStartDate = pattern.GetDate(kPatternStartDate);
  recurrence.regenerate = pattern.GetBool(outlook::kRegenerate);
  recurrence.startTime = pattern.GetDate(outlook::kPatternStartTime);
  return recurrence;
}

std::optional<OutboundRecurrence> ReadRecurrence(const outlook::DispatchDriver& item, outlook::DispId isRecurring,
                                                 LaterBoxes* boxes) {
  if (!item.GetBool(isRecurring)) return std::nullopt;
  return ReadPattern(item, boxes);
}

// Outlook's copy of a finished occurrence may stay recurring, with its series' pattern: its mark
// as a dead occurrence is read only through a member Outlook's guard protects. A live series is
// finished only once no occurrence is left after its due date, so a finished task whose pattern
// goes on past it is such a copy, and its record is that of the one-off task it stands for. A
// series that regenerates makes plain copies.
bool IsOccurrenceCopy(const OutboundTask& task) {
  if (task.percentComplete != kFullyComplete || !task.recurrence || task.recurrence->regenerate) return false;
  const OutboundRecurrence& pattern = *task.recurrence;
  return pattern.noEndDate ||
         (pattern.patternEndDate && std::floor(task.dueDate) < std::floor(*pattern.patternEndDate));
}

OutboundTask ReadTask(const outlook::DispatchDriver& item, LaterBoxes* boxes) {
  outbound::OutboundTask task;
  task.subject = item.GetText(kSubject);
  task.startDate = item.GetDate(kStartDate);
  task.dueDate = item.GetDate(outlook::kDueDate);
  if (item.GetBool(outlook::kReminderSet)) task.reminderTime = item.GetDate(outlook::kReminderTime);
  task.dateCompleted = item.GetDate(kDateCompleted);
  task.percentComplete = item.GetInt32(outlook::kPercentComplete);
  task.totalWork = item.GetInt32(kTotalWork);
  task.actualWork = item.GetInt32(kActualWork);
  task.billingInformation = item.GetText(kBillingInformation);
  task.categories = item.GetText(kCategories);
  task.companies = item.GetText(kCompanies);
  task.mileage = item.GetText(kMileage);
  task.importance = item.GetInt32(kImportance);
  task.sensitivity = item.GetInt32(outlook::kSensitivity);
  task.role = item.GetText(kRole);
  task.schedulePlusPriority = item.GetText(outlook::kSchedulePlusPriority);
  task.sensitivityAgain = item.GetInt32(outlook::kSensitivity);
  task.status = item.GetInt32(outlook::kStatus);
  task.recurrence = ReadRecurrence(item, outlook::kTaskIsRecurring, boxes);
  if (IsOccurrenceCopy(task)) task.recurrence.reset();
  return task;
}

OutboundAppointment ReadAppointment(const outlook::DispatchDriver& item, LaterBoxes* boxes) {
  outbound::OutboundAppointment appointment;
  appointment.subject = item.GetText(kSubject);
  appointment.start = item.GetDate(outlook::kStart);
  appointment.end = item.GetDate(outlook::kEnd);
  if (item.GetBool(outlook::kReminderSet))
    appointment.reminderMinutes = item.GetInt32(outlook::kReminderMinutesBeforeStart);
  appointment.allDayEvent = item.GetBool(outlook::kAllDayEvent);
  appointment.billingInformation = item.GetText(kBillingInformation);
  appointment.categories = item.GetText(kCategories);
  appointment.location = item.GetText(kLocation);
  appointment.mileage = item.GetText(kMileage);
  appointment.importance = item.GetInt32(kImportance);
  appointment.sensitivity = item.GetInt32(outlook::kSensitivity);
  appointment.duration = item.GetInt32(kDuration);
  appointment.recurrence = ReadRecurrence(item, outlook::kAppointmentIsRecurring, boxes);
  return appointment;
}

OutboundNote ReadNote(const outlook::DispatchDriver& item) { return {item.GetText(outlook::kNoteSubject)}; }

}  // namespace

std::string CreateTaskBuffer(outlook::DispatchDriver item, LaterBoxes& boxes, std::optional<std::string_view> linkId) {
  return outbound::FormatTaskRecord(ReadTask(item, &boxes), linkId);
}

std::string CreateAppsBuffer(outlook::DispatchDriver item, LaterBoxes& boxes, std::optional<std::string_view> linkId) {
  return outbound::FormatAppointmentRecord(ReadAppointment(item, &boxes), linkId);
}

std::string CreateNoteBuffer(outlook::DispatchDriver item, LaterBoxes&, std::optional<std::string_view> linkId) {
  return outbound::FormatNoteRecord(ReadNote(item), linkId);
}

ItemValues ReadItemValues(const outlook::DispatchDriver& item, const items::ItemKind& kind, LaterBoxes* boxes) {
  if (&kind == &items::kNoteItems) return {ReadNote(item)};
  if (&kind == &items::kAppointmentItems) return {ReadAppointment(item, boxes)};
  return {ReadTask(item, boxes)};
}

const std::string& ItemValues::Subject() const {
  return std::visit([](const auto& read) -> const std::string& { return read.subject; }, values);
}

std::string ItemValues::Record(std::optional<std::string_view> linkId) const {
  struct Format {
    std::optional<std::string_view> linkId;
    std::string operator()(const OutboundTask& task) const { return FormatTaskRecord(task, linkId); }
    std::string operator()(const OutboundAppointment& appointment) const {
      return FormatAppointmentRecord(appointment, linkId);
    }
    std::string operator()(const OutboundNote& note) const { return FormatNoteRecord(note, linkId); }
  };
  return std::visit(Format{linkId}, values);
}

bool ItemValues::IsFinishedSingleTask() const {
  const auto* task = std::get_if<OutboundTask>(&values);
  return task && task->percentComplete == kFullyComplete && !task->recurrence;
}

}  // namespace orvane::outbound
