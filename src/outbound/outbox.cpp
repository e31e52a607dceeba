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
#include "outbound/outbox.h"

#include "base/error_log.h"
#include "mainapp/main_app_window.h"
#include "outbound/send_record.h"

#include <string>
#include <utility>

namespace orvane::outbound {

void Outbox::Deliver(uint32_t kind, std::string_view text, size_t slot, std::string_view goneId, const Entry* taken) {
  OutboundRecord record{kept_.TakeRecordNumber(), kind, std::string(text), static_cast<uint32_t>(slot),
                        std::string(goneId),      false};
  const JournalEntry queued = taken ? QueuedWithStateEntry(record, *taken) : QueuedEntry(record);
  if (!kept_.Journal(queued)) kept_.NoteRecordOffDisk(record.number);
  // The item it reports gone is dropped by the next comparison, silently.
  if (!goneId.empty()) kept_.Folder(slot).picture.NoteOwnDeletion(goneId);
  kept_.Records().push_back(std::move(record));
  SendInOrder();
}

void Outbox::SendWaitingRecords() {
  // Not a start of the main application at every tick: only a window that is there is tried.
  if (!kept_.Records().empty() && (send_ || mainapp::FindMainAppWindow())) SendInOrder();
}

void Outbox::SendInOrder() {
  if (sending_.Now()) return;
  const WorkScope sending(sending_);
  auto& outbox = kept_.Records();
  const size_t waiting = outbox.size();
  while (!outbox.empty()) {
    const uint64_t number = outbox.front().number;
    const bool offDisk = kept_.RecordOffDisk(number);
    // Sent unmarked, a record on disk could be sent again by the next process.
    if (!kept_.Journal(OfferedEntry(number)) && !offDisk) break;
    outbox.front().offered = true;
    // A copy: a record made while this one is handed over may move the line in memory.
    const std::string text = outbox.front().text;
    const uint32_t kind = outbox.front().kind;
    const bool taken = send_ ? send_(text, kind) : SendRecordToMain(text, kind, sender_);
    if (outbox.empty() || outbox.front().number != number) break;
    if (!taken) {
      outbox.front().offered = false;
      kept_.Journal(ReturnedEntry(number));
      break;
    }
    if (offDisk) kept_.ForgetRecordOffDisk(number);
    outbox.erase(outbox.begin());
  }
  if (!outbox.empty() && !std::exchange(waitLogged_, true)) {
    WriteLog(("OrvaneOutlook=>SendRecordToMain::The main application does not take the records; " +
              std::to_string(outbox.size()) + " wait")
                 .c_str());
  } else if (outbox.empty() && std::exchange(waitLogged_, false)) {
    WriteLog(("OrvaneOutlook=>SendRecordToMain::The main application took the " + std::to_string(waiting) +
              " records that waited")
                 .c_str());
  }
}

}  // namespace orvane::outbound
