// The builders read every property in the order its field appears in the record, so that an
// Outlook call that fails leaves no half-read item behind a record: the exception ends the build.
#include "outbound/item_records.h"

#include "base/error_log.h"
#include "outbound/later_box.h"
#include "outbound/record_forms.h"

namespace orvane {

namespace {

using namespace outlook;
using outrecord::OutboundRecurrence;

// The user is told once per record that its pattern was left out; the record is still sent, and
// the box waits until Outlook has its event back.
void ReportUnknownPattern(int32_t type, LaterBoxes& boxes) {
  WriteLogNumbered(kUnknownPatternLog, type);
  boxes.Show(kUnknownPatternText, kUnknownPatternCaption, MB_OK);
}

// The pattern is obtained once. NoEndDate is read for its own field and again to decide whether
// the end date is read.
OutboundRecurrence ReadPattern(const DispatchDriver& item, LaterBoxes& boxes) {
  const DispatchDriver pattern = item.InvokeForObject(kGetRecurrencePattern);
  OutboundRecurrence recurrence;
  recurrence.type = pattern.GetInt32(kRecurrenceType);
  if (!outrecord::IsKnownRecurrenceType(recurrence.type)) {
    ReportUnknownPattern(recurrence.type, boxes);
    return recurrence;
  }
  recurrence.dayOfMonth = pattern.GetInt32(kDayOfMonth);
  recurrence.dayOfWeekMask = pattern.GetInt32(kDayOfWeekMask);
  recurrence.duration = pattern.GetInt32(kPatternDuration);
  recurrence.endTime = pattern.GetDate(kPatternEndTime);
  recurrence.occurrences = pattern.GetInt32(kOccurrences);
  recurrence.instance = pattern.GetInt32(kInstance);
  recurrence.interval = pattern.GetInt32(kInterval);
  recurrence.monthOfYear = pattern.GetInt32(kMonthOfYear);
  recurrence.noEndDate = pattern.GetBool(kNoEndDate);
  if (!pattern.GetBool(kNoEndDate)) recurrence.patternEndDate = pattern.GetDate(kPatternEndDate);
  recurrence.patternStartDate = pattern.GetDate(kPatternStartDate);
  recurrence.regenerate = pattern.GetBool(kRegenerate);
  recurrence.startTime = pattern.GetDate(kPatternStartTime);
  return recurrence;
}

std::optional<OutboundRecurrence> ReadRecurrence(const DispatchDriver& item, DispId isRecurring, LaterBoxes& boxes) {
  if (!item.GetBool(isRecurring)) return std::nullopt;
  return ReadPattern(item, boxes);
}

}  // namespace

std::string CreateTaskBuffer(DispatchDriver item, LaterBoxes& boxes, std::optional<std::string_view> linkId) {
  outrecord::OutboundTask task;
  task.subject = item.GetText(kSubject);
  task.startDate = item.GetDate(kStartDate);
  task.dueDate = item.GetDate(kDueDate);
  if (item.GetBool(kReminderSet)) task.reminderTime = item.GetDate(kReminderTime);
  task.dateCompleted = item.GetDate(kDateCompleted);
  task.percentComplete = item.GetInt32(kPercentComplete);
  task.totalWork = item.GetInt32(kTotalWork);
  task.actualWork = item.GetInt32(kActualWork);
  task.billingInformation = item.GetText(kBillingInformation);
  task.categories = item.GetText(kCategories);
  task.companies = item.GetText(kCompanies);
  task.mileage = item.GetText(kMileage);
  task.importance = item.GetInt32(kImportance);
  task.sensitivity = item.GetInt32(kSensitivity);
  task.role = item.GetText(kRole);
  task.schedulePlusPriority = item.GetText(kSchedulePlusPriority);
  task.sensitivityAgain = item.GetInt32(kSensitivity);
  task.status = item.GetInt32(kStatus);
  task.recurrence = ReadRecurrence(item, kTaskIsRecurring, boxes);
  return outrecord::FormatTaskRecord(task, linkId);
}

std::string CreateAppsBuffer(DispatchDriver item, LaterBoxes& boxes, std::optional<std::string_view> linkId) {
  outrecord::OutboundAppointment appointment;
  appointment.subject = item.GetText(kSubject);
  appointment.start = item.GetDate(kStart);
  appointment.end = item.GetDate(kEnd);
  if (item.GetBool(kReminderSet)) appointment.reminderMinutes = item.GetInt32(kReminderMinutesBeforeStart);
  appointment.allDayEvent = item.GetBool(kAllDayEvent);
  appointment.billingInformation = item.GetText(kBillingInformation);
  appointment.categories = item.GetText(kCategories);
  appointment.location = item.GetText(kLocation);
  appointment.mileage = item.GetText(kMileage);
  appointment.importance = item.GetInt32(kImportance);
  appointment.sensitivity = item.GetInt32(kSensitivity);
  appointment.duration = item.GetInt32(kDuration);
  appointment.recurrence = ReadRecurrence(item, kAppointmentIsRecurring, boxes);
  return outrecord::FormatAppointmentRecord(appointment, linkId);
}

std::string CreateNoteBuffer(DispatchDriver item, LaterBoxes&, std::optional<std::string_view> linkId) {
  outrecord::OutboundNote note;
  note.subject = item.GetText(kNoteSubject);
  return outrecord::FormatNoteRecord(note, linkId);
}

}  // namespace orvane
