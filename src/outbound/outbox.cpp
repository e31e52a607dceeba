// Every outbound record goes through the outbox, one rule for new, changed and deleted items:
//  - The record joins the outbox with a queued entry in the journal; a deletion's names its item,
//    which no comparison reports again from then on.
//  - Just before SendRecordToMain, an offered entry marks it; a delivered entry follows a send
//    taken, or one that gave up after its time-out and is not safe to repeat (one log line).
//  - A hand-over that fails (the main application is not there, refuses at once as it hangs, or
//    gives up after its time-out on a record safe to repeat) writes a returned entry: the record
//    waits, first in line, and goes again when the main application answers, at the next record,
//    comparison or watchdog tick. Nothing after it overtakes it.
// What a process ending at each point leaves to the next one:
//  - before the queued entry: no record; a deletion is found again by the next comparison, a new
//    or changed item by its next event;
//  - after the queued entry, before the offered one: the record waits and is sent by the next one;
//  - after the offered entry, before its delivered or returned entry: the send may have reached the
//    main application, as after a time-out (delivery_rule.h): sent again where getting it twice
//    does no harm, else counted as delivered.
#include "outbound/deleted_items.h"

#include "base/error_log.h"
#include "mainapp/main_app_window.h"
#include "outbound/send_record.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

namespace orvane::outbound {

namespace {

void LogCountedDelivered(uint32_t kind) {
  char kindText[16];
  std::snprintf(kindText, sizeof kindText, "0x%08lX", static_cast<unsigned long>(kind));
  // Within the log's 150 characters.
  WriteLog((std::string("OrvaneOutlook=>SendRecordToMain::No answer within the time-out; the record of kind ") +
            kindText + " may have reached it, not sent again")
               .c_str());
}

SendOutcome Send(const DeletionWatch::RecordSender& send, HWND sender, const OutboundRecord& record) {
  if (send) return send(record.text, record.kind) ? SendOutcome::kTaken : SendOutcome::kNotThere;
  return SendRecordToMain(record.text, record.kind, sender);
}

bool RepeatsSafely(const KeptPictures& pictures, const OutboundRecord& record) {
  const FolderPicture& picture = pictures.folders[record.folder].picture;
  return SafeToRepeat(record.kind, SubjectElsewhere(picture, record.text, record.goneId));
}

}  // namespace

void DeletionWatch::Deliver(uint32_t kind, std::string_view text, size_t itemKind, std::string_view goneId) {
  // The picture of the store watched now.
  const size_t folder = active_[itemKind];
  outbound::OutboundRecord record{pictures_.nextRecord++, kind, std::string(text), static_cast<uint32_t>(folder),
                                  std::string(goneId),    false};
  if (!Journal(outbound::QueuedEntry(record))) recordsNotKept_.push_back(record.number);
  // The item it reports gone is dropped by the next comparison, silently.
  if (!goneId.empty()) pictures_.folders[folder].picture.NoteOwnDeletion(goneId);
  pictures_.outbox.push_back(std::move(record));
  SendInOrder();
}

void DeletionWatch::SendWaitingRecords() {
  // Not a start of the main application at every tick: only a window that is there is tried.
  if (!pictures_.outbox.empty() && (send_ || mainapp::FindMainAppWindow())) SendInOrder();
}

void DeletionWatch::SendInOrder() {
  if (sending_) return;
  sending_ = true;
  const size_t waiting = pictures_.outbox.size();
  while (!pictures_.outbox.empty()) {
    outbound::OutboundRecord& record = pictures_.outbox.front();
    const auto notKept = std::find(recordsNotKept_.begin(), recordsNotKept_.end(), record.number);
    // Sent unmarked, a record on disk could be sent again by the next process.
    if (!Journal(outbound::OfferedEntry(record.number)) && notKept == recordsNotKept_.end()) break;
    record.offered = true;
    const SendOutcome outcome = Send(send_, sender_, record);
    const AfterSend after = DecideAfterSend(outcome, RepeatsSafely(pictures_, record), record.timedOut);
    record.timedOut = record.timedOut || outcome == SendOutcome::kTimedOut;
    if (after == AfterSend::kSendAgain) {
      record.offered = false;
      Journal(outbound::ReturnedEntry(record.number));
      break;
    }
    Journal(outbound::DeliveredEntry(record.number));
    if (after == AfterSend::kCountedDelivered) LogCountedDelivered(record.kind);
    if (notKept != recordsNotKept_.end()) recordsNotKept_.erase(notKept);
    pictures_.outbox.erase(pictures_.outbox.begin());
    // Busy still: what follows waits for the next occasion rather than a time-out each.
    if (after == AfterSend::kCountedDelivered) break;
  }
  sending_ = false;
  if (!pictures_.outbox.empty() && !std::exchange(waitLogged_, true)) {
    WriteLog(("OrvaneOutlook=>SendRecordToMain::The main application does not take the records; " +
              std::to_string(pictures_.outbox.size()) + " wait")
                 .c_str());
  } else if (pictures_.outbox.empty() && std::exchange(waitLogged_, false)) {
    WriteLog(("OrvaneOutlook=>SendRecordToMain::The main application took the " + std::to_string(waiting) +
              " records that waited")
                 .c_str());
  }
}

}  // namespace orvane::outbound
