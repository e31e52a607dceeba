// The task writers: a new task from a task record, and a found task brought in line with a
// change record. Both write the same properties in the same order; the order matters, since
// later fields of the record override earlier ones (sensitivity, status).
#include "items/link_id.h"
#include "mainapp/kinds.h"
#include "inbound/writers.h"
#include "base/error_log.h"
#include "inbound/item_lookup.h"
#include "outlook/outlook_folders.h"
#include "inbound/pattern_writer.h"
#include "inbound/task_record.h"
#include "inbound/writer_common.h"

#include <string>

namespace orvane::inbound {

namespace {

using inbound::Completion;
using inbound::TaskRecord;

constexpr char kSaveTask[] = "SaveOutlookTask";
constexpr char kChangeTask[] = "ChangeOutlookTask";
constexpr char kNormalPriority[] = "normal";

// A new task and a changed task differ in what "fully complete" writes.
enum class TaskWrite { Save, Change };

// Outlook refuses some due dates (one before the start date, say); the task then falls due on
// its start date, and the refusal is logged with Outlook's own words.
void WriteDueDate(const outlook::DispatchDriver& task, double dueDate, const std::optional<double>& startDate) {
  try {
    task.SetDate(outlook::kDueDate, dueDate);
  } catch (const outlook::AutomationError& error) {
    if (startDate) task.SetDate(outlook::kDueDate, *startDate);
    LogRefusedDate(error);
  }
}

void WriteDates(const outlook::DispatchDriver& task, const TaskRecord& record) {
  if (record.startDate) task.SetDate(outlook::kStartDate, *record.startDate);
  if (record.dueDate) WriteDueDate(task, *record.dueDate, record.startDate);
  if (record.reminder) {
    task.SetBool(outlook::kReminderSet, record.reminder->set);
    if (record.reminder->set) task.SetDate(outlook::kReminderTime, record.reminder->time);
  }
  if (record.dateCompleted) task.SetDate(outlook::kDateCompleted, *record.dateCompleted);
}

void WriteCompletion(const outlook::DispatchDriver& task, Completion completion, TaskWrite write) {
  if (completion == Completion::Full && write == TaskWrite::Save) {
    task.SetInt32(outlook::kPercentComplete, outlook::kPercentCompleteDone);
  } else if (completion == Completion::Full) {
    task.SetInt32(outlook::kStatus, outlook::kStatusComplete);
  } else if (completion == Completion::None) {
    task.SetInt32(outlook::kPercentComplete, 0);
  }
}

void WriteWork(const outlook::DispatchDriver& task, const TaskRecord& record) {
  if (record.totalWork) task.SetInt32(outlook::kTotalWork, *record.totalWork);
  if (record.actualWork) task.SetInt32(outlook::kActualWork, *record.actualWork);
}

// The text and state properties, in the record's order: the private flag comes before the
// sensitivity reset, and the status reset comes last, so the resets win.
void WriteDetails(const outlook::DispatchDriver& task, const TaskRecord& record, TextInto into) {
  SetTextIfGiven(task, outlook::kBillingInformation, record.billingInformation, into);
  SetTextIfGiven(task, outlook::kCategories, record.categories, into);
  SetTextIfGiven(task, outlook::kCompanies, record.companies, into);
  SetTextIfGiven(task, outlook::kContactNames, record.contactNames, into);
  SetTextIfGiven(task, outlook::kMileage, record.mileage, into);
  if (record.importanceNormal) task.SetInt32(outlook::kImportance, outlook::kImportanceNormal);
  if (record.makePrivate) task.SetInt32(outlook::kSensitivity, outlook::kSensitivityPrivate);
  SetTextIfGiven(task, outlook::kRole, record.role, into);
  if (record.schedulePriorityNormal) WriteText(task, outlook::kSchedulePlusPriority, kNormalPriority, into);
  if (record.resetSensitivity) task.SetInt32(outlook::kSensitivity, outlook::kSensitivityNormal);
  if (record.resetStatus) task.SetInt32(outlook::kStatus, outlook::kStatusNotStarted);
}

void WriteTask(const outlook::DispatchDriver& task, const TaskRecord& record, TaskWrite write, TextInto into) {
  if (record.recurrence) WriteRecurrence(task, *record.recurrence);
  WriteText(task, outlook::kSubject, record.subject, into);
  if (record.linkId) items::WriteLinkNumber(task, *record.linkId);
  WriteDates(task, record);
  WriteCompletion(task, record.completion, write);
  WriteWork(task, record);
  WriteDetails(task, record, into);
  SetTextIfGiven(task, outlook::kBody, record.body, into);
}

outlook::DispatchDriver CreateTask(const outlook::OutlookSession& session) {
  return CreateOutlookItem(session, outlook::kTaskItem);
}

}  // namespace

void SaveOutlookTask(char* record, const WriterContext& context) {
  WriteLog(kSaveTask);
  const std::optional<TaskRecord> task = inbound::ReadTaskRecord(RecordText(record));
  if (!WriterTakes<TaskRecord>(kSaveTask, task, [](const TaskRecord& read) { return read.isShort; })) return;

  const outlook::DispatchDriver item =
      outlook::RetryAfterReconnect(context.session, [&] { return CreateTask(context.session); });
  WriteTask(item, *task, TaskWrite::Save, TextInto::kNewItem);
  WriteLog("Save Task to Outlook");
  SaveAndClose(item, mainapp::kTask, context.ownWrites);
}

void ChangeOutlookTask(char* record, const WriterContext& context) {
  using ChangeRecord = TaskChangeRecord;
  const std::optional<ChangeRecord> change = inbound::ReadTaskChangeRecord(RecordText(record));
  if (!WriterTakes<ChangeRecord>(kChangeTask, change, [](const ChangeRecord& read) { return read.task.isShort; })) {
    return;
  }

  outlook::DispatchDriver item =
      context.lookup.Find(items::kTaskItems, change->searchSubject, MeantByLinkId(change->linkId));
  const bool madeAnew = item.IsEmpty();
  if (madeAnew && !MayMakeAnew(context.ownDeletions, mainapp::kTask, kChangeTask, change->searchSubject,
                               LinkIdText(change->linkId))) {
    return;
  }
  // A task that Outlook no longer has (or never had) is made anew from the record.
  if (madeAnew) item = CreateTask(context.session);
  WriteTask(item, change->task, TaskWrite::Change, madeAnew ? TextInto::kNewItem : TextInto::kFoundItem);
  // Made anew, it is the main application's item all the same: without its link id no later
  // change of it in Outlook could be told to the item it is.
  if (madeAnew && change->linkId) items::WriteLinkNumber(item, *change->linkId);
  // A record that completes a recurring task finishes its occurrence, as a Done does: Outlook's
  // finished copy of it is the main application's own doing.
  const bool completes = change->task.completion == Completion::Full;
  SaveAndClose(item, mainapp::kTask, context.ownWrites,
               completes ? outlook::OwnWrites::Save::kCompletion : outlook::OwnWrites::Save::kRecord);
}

}  // namespace orvane::inbound
