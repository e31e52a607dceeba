// Outbox: every outbound record goes through it to the main application, in the order it was
// made, marked in the journal so that a process ending at any point neither loses nor repeats it.
#pragma once

#include "outbound/delivery_rule.h"
#include "outbound/item_picture.h"
#include "outbound/kept_state.h"

#include "base/work_scope.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace orvane::outbound {

class Outbox {
public:
  explicit Outbox(KeptState& kept) noexcept : kept_(kept) {}

  // Hands one record to the main application, and tells how that ended.
  using RecordSender = std::function<SendOutcome(std::string_view text, uint32_t kind)>;
  // The plug-in's window, from which the records are sent.
  void SendFrom(HWND sender) noexcept { sender_ = sender; }
  // Another way to the main application than SendRecordToMain from the plug-in's window.
  void SendThrough(RecordSender send) { send_ = std::move(send); }
  // While this holds (the main application's command waits to be performed), the records wait:
  // each hand-over to a slow main application may take the whole time-out, and the command would
  // wait behind all of them.
  void YieldTo(std::function<bool()> commandWaiting) { commandWaiting_ = std::move(commandWaiting); }

  // Delivers an outbound record of the kind, made from an item of the folder whose picture is in
  // the slot, after those still waiting: marked as offered in the journal before it is sent, kept
  // waiting when the main application does not take it. One that reports an item's going names
  // the item, which no comparison reports again. One that tells of an item comes with the state it
  // makes known (`taken`), kept with it in one journal entry.
  void Deliver(uint32_t kind, std::string_view text, size_t slot, std::string_view goneId = {},
               const Entry* taken = nullptr);
  // Sends the records that wait, in order, when the main application's window is there.
  void SendWaitingRecords();
  size_t RecordsWaiting() const { return kept_.Records().size(); }
  // Whether no record waits.
  bool Empty() const { return kept_.Records().empty(); }

private:
  void SendInOrder();

  KeptState& kept_;
  // A record made while one is handed over (an Outlook event inside the send) waits for the loop
  // under way, behind those before it.
  WorkUnderWay sending_{"a second send overtaking the records already in line"};
  bool waitLogged_ = false;
  std::function<bool()> commandWaiting_;
  HWND sender_ = nullptr;
  RecordSender send_;
};

}  // namespace orvane::outbound
