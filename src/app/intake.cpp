#include "app/intake.h"

#include <cstring>

namespace orvane::app {

char recordBuffer[app::kRecordBufferSize];
uint32_t pendingKind = 0;
int recordPending = 0;
uint32_t pendingAction = 0;

bool IsAcceptedKind(uint64_t kind) {
  switch (kind) {
    case mainapp::kTask:
    case mainapp::kAppointment:
    case mainapp::kNote:
    case mainapp::kTaskLink:
    case mainapp::kAppointmentLink:
    case mainapp::kNoteLink: return true;
    default: return false;
  }
}

Action ActionOf(uint32_t message, const ActionMessages& messages) {
  if (message == 0) return Action::None;
  if (message == messages.save) return Action::Save;
  if (message == messages.change) return Action::Change;
  if (message == messages.remove) return Action::Delete;
  if (message == messages.done) return Action::Done;
  return Action::None;
}

namespace {

Writer TaskWriter(Action action) {
  switch (action) {
    case Action::Save: return Writer::SaveOutlookTask;
    case Action::Change: return Writer::ChangeOutlookTask;
    case Action::Delete: return Writer::DeleteOutlookItem;
    case Action::Done: return Writer::DoneOutlookItem;
    default: return Writer::None;
  }
}

Writer AppointmentWriter(Action action) {
  switch (action) {
    case Action::Save: return Writer::SaveOutlookApps;
    case Action::Change: return Writer::ChangeOutlookApps;
    case Action::Delete: return Writer::DeleteOutlookItem;
    case Action::Done: return Writer::DoneOutlookItem;
    default: return Writer::None;
  }
}

Writer NoteWriter(Action action) {
  switch (action) {
    case Action::Save: return Writer::SaveOutlookNote;
    case Action::Change: return Writer::ChangeOutlookNote;
    case Action::Delete: return Writer::DeleteOutlookItem;
    default: return Writer::None;
  }
}

}  // namespace

Writer ChooseWriter(uint32_t kind, Action action) {
  switch (kind) {
    case mainapp::kTask: return TaskWriter(action);
    case mainapp::kAppointment: return AppointmentWriter(action);
    case mainapp::kNote: return NoteWriter(action);
    case mainapp::kTaskLink:
    case mainapp::kAppointmentLink:
    case mainapp::kNoteLink: return action == Action::Save ? Writer::SetOutlookLinkId : Writer::None;
    default: return Writer::None;
  }
}

Receipt ParkRecord(uint64_t kind, const void* data, size_t size) {
  if (!IsAcceptedKind(kind)) return Receipt::NotAccepted;
  // A cut record would write a corrupt item, so one that cannot keep its terminator is refused.
  if (size >= kRecordBufferSize) return Receipt::TooLarge;
  // A window of this process may send a size without data; another process cannot.
  if (size && !data) return Receipt::WithoutData;
  const char* bytes = static_cast<const char*>(data);
  const void* zero = size ? std::memchr(bytes, '\0', size) : nullptr;
  const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - bytes) : size;
  if (length) std::memcpy(recordBuffer, bytes, length);
  recordBuffer[length] = '\0';
  pendingKind = static_cast<uint32_t>(kind);
  recordPending = 1;
  return Receipt::Parked;
}

const char* ReceiptLogLine(uint32_t kind) {
  switch (kind) {
    case mainapp::kTask: return "OnCopyData::New Item";
    case mainapp::kAppointment: return "OnCopyData::New Appointment";
    default: return nullptr;
  }
}

std::string RefusalLogLine(Receipt receipt, uint32_t size) {
  const char* reason = receipt == Receipt::WithoutData ? "no data" : "too long for the record buffer";
  return std::string("OnCopyData::Record refused, ") + reason + ": bytes " + std::to_string(size);
}

}  // namespace orvane::app
