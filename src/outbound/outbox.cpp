// Every outbound record goes through the outbox, one rule for new, changed and deleted items:
//  - The record joins the outbox with a queued entry in the journal; a deletion's names its item,
//    which no comparison reports again from then on.
//  - Just before SendRecordToMain, an offered entry marks it; a delivered entry follows a send
//    taken, or one that gave up after its time-out and is not safe to repeat (one log line).
//  - A hand-over that fails (the main application is not there, refuses at once as it hangs, or
//    gives up after its time-out on a record safe to repeat) writes a returned entry: the record
//    waits, first in line, and goes again when the main application answers, at the next record,
//    comparison or watchdog tick (after a time-out, not at the next record: that may be made in an
//    Outlook event, which would wait). Nothing after it overtakes it.
// What a process ending at each point leaves to the next one:
//  - before the queued entry: no record; a deletion is found again by the next comparison, a new
//    or changed item by its next event;
//  - after the queued entry, before the offered one: the record waits and is sent by the next one;
//  - after the offered entry, before its delivered or returned entry: the send may have reached the
//    main application, as after a time-out (delivery_rule.h): sent again where getting it twice
//    does no harm, else counted as delivered.
#include "outbound/outbox.h"

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

SendOutcome Send(const Outbox::RecordSender& send, HWND sender, const std::string& text, uint32_t kind) {
  if (send) return send(text, kind);
  return SendRecordToMain(text, kind, sender);
}

bool RepeatsSafely(const KeptState& kept, const OutboundRecord& record) {
  const FolderPicture& picture = kept.Folder(record.folder).picture;
  return SafeToRepeat(record.kind, SubjectElsewhere(picture, record.text, record.goneId));
}

}  // namespace

void Outbox::Deliver(uint32_t kind, std::string_view text, size_t slot, std::string_view goneId, const Entry* taken) {
  OutboundRecord record{kept_.TakeRecordNumber(), kind, std::string(text), static_cast<uint32_t>(slot),
                        std::string(goneId),      false};
  const JournalEntry queued = taken ? QueuedWithStateEntry(record, *taken) : QueuedEntry(record);
  if (!kept_.Journal(queued)) kept_.NoteRecordOffDisk(record.number);
  // The item it reports gone is dropped by the next comparison, silently.
  if (!goneId.empty()) kept_.Folder(slot).picture.NoteOwnDeletion(goneId);
  kept_.Records().push_back(std::move(record));
  // After a time-out the main application is slow or not pumping: the next tick tries it again,
  // not the Outlook event that made this record, which would hold Outlook for the whole time-out.
  if (kept_.Records().front().timeOuts > 0) return;
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
    if (commandWaiting_ && commandWaiting_()) break;
    const uint64_t number = outbox.front().number;
    const bool offDisk = kept_.RecordOffDisk(number);
    // Sent unmarked, a record on disk could be sent again by the next process.
    if (!kept_.Journal(OfferedEntry(number)) && !offDisk) break;
    outbox.front().offered = true;
    const bool safeToRepeat = RepeatsSafely(kept_, outbox.front());
    // A copy: a record made while this one is handed over may move the line in memory.
    const std::string text = outbox.front().text;
    const uint32_t kind = outbox.front().kind;
    const SendOutcome outcome = Send(send_, sender_, text, kind);
    if (outbox.empty() || outbox.front().number != number) break;
    OutboundRecord& record = outbox.front();
    const AfterSend after = DecideAfterSend(outcome, safeToRepeat, record.timeOuts);
    if (outcome == SendOutcome::kTimedOut) ++record.timeOuts;
    if (after == AfterSend::kSendAgain) {
      record.offered = false;
      kept_.Journal(ReturnedEntry(number));
      break;
    }
    kept_.Journal(DeliveredEntry(number));
    if (after == AfterSend::kCountedDelivered) LogCountedDelivered(kind);
    if (offDisk) kept_.ForgetRecordOffDisk(number);
    outbox.erase(outbox.begin());
    // Busy still: what follows waits for the next occasion rather than a time-out each.
    if (after == AfterSend::kCountedDelivered) break;
  }
  const bool yielding = commandWaiting_ && commandWaiting_();
  if (!outbox.empty() && !yielding && !std::exchange(waitLogged_, true)) {
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
