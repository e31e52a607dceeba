// Every outbound record goes through the outbox, one rule for new, changed and deleted items:
//  - The record joins the outbox with a queued entry in the journal; a deletion's names its item,
//    which no comparison reports again from then on.
//  - Just before SendRecordToMain, an offered entry marks it; a record offered counts as
//    delivered, so a process that ends during the hand-over never sends it twice.
//  - A hand-over that fails (the main application is not there, or does not answer) writes a
//    returned entry: the record waits, first in line, and goes again when the main application
//    answers, at the next record, comparison or watchdog tick. Nothing after it overtakes it.
// What a process ending at each point leaves to the next one:
//  - before the queued entry: no record; a deletion is found again by the next comparison, a new
//    or changed item by its next event;
//  - after the queued entry, before the offered one: the record waits and is sent by the next one;
//  - after the offered entry, before or after the send, before the returned entry: counted as
//    delivered, never sent again (lost only when the send had failed and the returned entry was
//    not yet written).
#include "outbound/deleted_items.h"

#include "base/error_log.h"
#include "mainapp/main_app_window.h"
#include "outbound/send_record.h"

#include <algorithm>
#include <string>
#include <utility>

namespace orvane::outbound {

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
    const bool taken = send_ ? send_(record.text, record.kind) : SendRecordToMain(record.text, record.kind, sender_);
    if (!taken) {
      record.offered = false;
      Journal(outbound::ReturnedEntry(record.number));
      break;
    }
    if (notKept != recordsNotKept_.end()) recordsNotKept_.erase(notKept);
    pictures_.outbox.erase(pictures_.outbox.begin());
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
