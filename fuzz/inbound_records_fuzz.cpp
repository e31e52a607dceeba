// Feeds arbitrary bytes to the readers of the task, appointment, note, done and link-id records and checks
// what each promises: a record reads whenever it holds the fields it needs, its texts come from
// the record, every date it asks Outlook to write is one Outlook can hold, and a change record is
// a search subject in front of a task record.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "inbound/appointment_record.h"
#include "inbound/command_records.h"
#include "inbound/note_record.h"
#include "inbound/record_fields.h"
#include "inbound/task_record.h"
#include "outlook/ole_date.h"

namespace orvane {
namespace {

using fuzz::Require;

void RequireOutlookDate(const std::optional<double>& date) {
  if (date) Require(outlook::ToDateTime(*date).has_value());
}

void CheckTaskWrites(const inbound::TaskRecord& task) {
  RequireOutlookDate(task.startDate);
  RequireOutlookDate(task.dueDate);
  RequireOutlookDate(task.dateCompleted);
  if (task.reminder && task.reminder->set) {
    Require(task.dueDate.has_value());
    RequireOutlookDate(task.reminder->time);
  }
  if (task.recurrence) {
    RequireOutlookDate(task.recurrence->patternStartDate);
    RequireOutlookDate(task.recurrence->patternEndDate);
    Require(!task.recurrence->patternEndDate || task.recurrence->hasEnd == true);
  }
}

void CheckTaskRecord(std::string_view text) {
  const auto fields = inbound::SplitRecord(text);
  const auto task = inbound::ReadTaskRecord(text);
  Require(task.has_value() == !fields.empty());
  if (!task) return;
  Require(task->subject == (fields[0] == inbound::kBlankSubject ? std::string_view() : fields[0]));
  // Every record that ends before the recurrence type lacks a field the writers read.
  Require(task->isShort || fields.size() >= inbound::taskfield::kRecurrenceType);
  CheckTaskWrites(*task);
}

void CheckChangeRecord(std::string_view text) {
  const auto fields = inbound::SplitRecord(text);
  const auto change = inbound::ReadTaskChangeRecord(text);
  Require(change.has_value() == (fields.size() >= 2));
  if (!change) return;
  Require(change->searchSubject == fields[0]);
  Require(!change->task.linkId);
  const auto rest = text.substr(static_cast<std::size_t>(fields[0].data() + fields[0].size() - text.data()));
  const auto task = inbound::ReadTaskRecord(rest);
  Require(task && task->subject == change->task.subject && task->isShort == change->task.isShort);
  Require(task->dueDate == change->task.dueDate && task->startDate == change->task.startDate);
  Require(task->reminder.has_value() == change->task.reminder.has_value());
  CheckTaskWrites(change->task);
}

void CheckAppointmentWrites(const inbound::AppointmentRecord& appointment) {
  RequireOutlookDate(appointment.start);
  if (appointment.endBlock) {
    RequireOutlookDate(appointment.endBlock->start);
    RequireOutlookDate(appointment.endBlock->end);
  }
  if (appointment.recurrence) {
    RequireOutlookDate(appointment.recurrence->patternStartDate);
    RequireOutlookDate(appointment.recurrence->patternEndDate);
  }
}

// The appointment and note records: a subject field makes a record, and a change record is its
// lookup subject in front of the same record.
void CheckAppointmentAndNoteRecords(std::string_view text) {
  const auto fields = inbound::SplitRecord(text);
  const auto appointment = inbound::ReadAppointmentRecord(text);
  Require(appointment.has_value() == !fields.empty());
  if (appointment) CheckAppointmentWrites(*appointment);
  const auto change = inbound::ReadAppointmentChangeRecord(text);
  Require(change.has_value() == (fields.size() >= 2));
  if (change) {
    Require(change->searchSubject == fields[0] && !change->appointment.linkId);
    CheckAppointmentWrites(change->appointment);
  }
  const auto note = inbound::ReadNoteRecord(text);
  Require(note.has_value() == !fields.empty());
  if (note) Require(note->text == fields[0] && note->isShort == (fields.size() < 3));
  const auto noteChange = inbound::ReadNoteChangeRecord(text);
  Require(noteChange.has_value() == !fields.empty());
}

void CheckDoneRecord(std::string_view text) {
  const auto fields = inbound::SplitRecord(text);
  const auto done = inbound::ReadDoneRecord(text);
  Require(done.has_value() == (fields.size() >= 2));
  if (!done) return;
  Require(done->subject.data() == fields[1].data() && done->subject.size() == fields[1].size());
  using inbound::DoneState;
  Require((done->state == inbound::DoneState::Complete) == inbound::EqualsIgnoringCase(fields[0], "Done"));
  Require((done->state == inbound::DoneState::NotStarted) == inbound::EqualsIgnoringCase(fields[0], "UnDone"));
}

// The subject runs from the first character that is no "*" to the last run of "*", and the link
// id from there to the end, trailing "*" aside; neither is empty.
void CheckLinkRecord(std::string_view text) {
  const std::size_t first = text.find_first_not_of('*');
  const auto link = inbound::ReadLinkRecord(text);
  Require(link.has_value() == (first != std::string_view::npos));
  if (!link) return;
  Require(link->subject.data() == text.data() + first && !link->subject.empty() && link->subject.back() != '*');
  const std::string_view rest = text.substr(first + link->subject.size());
  const std::size_t idAt = rest.find_first_not_of('*');
  Require(link->linkId.has_value() == (idAt != std::string_view::npos));
  if (!link->linkId) return;
  const std::string_view linkId = *link->linkId;
  Require(idAt > 0 && linkId.data() == rest.data() + idAt && !linkId.empty());
  Require(linkId.find('*') == std::string_view::npos);
  Require(rest.find_first_not_of('*', idAt + linkId.size()) == std::string_view::npos);
}

// A sound task record. The fuzzer's fields take the place of its fields from a number that the
// first byte chooses, so that one odd field is met among sound ones, as the main application sends.
constexpr std::string_view kSoundTask =
    "Call the bank\t5/11/2006\t10/11/2006*9:00am*9:30am\tTrue\t10/11/2006\t0:15\tnot Done\t0.500\t120\t"
    "not Done\tblank\tblank\tblank\tblank\tblank\tblank\tHigh\tFalse\tblank\thigh\tblank\tblank\t57\t"
    "1\t0\t42\t0\t0\t0\t0\t2\t0\t1\t31/12/2006\t6/11/2006\t0\t0";

std::string InSoundTask(std::uint8_t firstNumber, std::string_view text) {
  std::vector<std::string_view> fields = inbound::SplitRecord(kSoundTask);
  std::size_t at = firstNumber % fields.size();
  for (const auto field : inbound::SplitRecord(text)) {
    if (at < fields.size()) fields[at++] = field;
  }
  std::string joined;
  for (const auto field : fields) joined.append(joined.empty() ? "" : "\t").append(field);
  return joined;
}

}  // namespace
}  // namespace orvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckTaskRecord(text);
  CheckChangeRecord(text);
  CheckAppointmentAndNoteRecords(text);
  CheckDoneRecord(text);
  CheckLinkRecord(text);
  if (size > 0) {
    const std::string sound = InSoundTask(data[0], text.substr(1));
    CheckTaskRecord(sound);
    CheckChangeRecord("Call the bank\t" + sound);
  }
  return 0;
}
