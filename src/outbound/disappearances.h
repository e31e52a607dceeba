// DisappearanceConfirmation: when items a folder's read lacks are believed gone (the rule is
// Judge's). It gives each comparison its moment and connection, ends the holds of stores Outlook no
// longer shows, and tells the watchdog when a hold of a folder watched now is due to be confirmed.
#pragma once

#include "outbound/disappearance_rule.h"
#include "outbound/kept_state.h"
#include "outbound/store_slots.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace orvane::outbound {

class DisappearanceConfirmation {
public:
  DisappearanceConfirmation(KeptState& kept, const StoreSlots& slots);

  // How long a folder read empty that held few items waits for a later read to confirm it.
  void ConfirmAfter(DWORD milliseconds) noexcept { emptyReadWait_ = milliseconds; }
  // How long many deletions at once wait for a later read to confirm them.
  void ConfirmManyAfter(DWORD milliseconds) noexcept { manyWait_ = milliseconds; }
  // The clock holds are timed by, in milliseconds; by default the system's time, which a restart
  // does not set back.
  void UseClock(std::function<std::uint64_t()> clock) { clock_ = std::move(clock); }

  // The sinks were connected to the Outlook of the process: a hold read in another Outlook, or
  // before this process, is confirmed only by reads of this connection.
  void NoteConnection(DWORD outlookProcess) noexcept;
  // The moment of a comparison made now.
  Confirmation Now() const;
  // The folder of the item kind is compared in the slot now: the holds of its other stores'
  // pictures end, as a hold belongs to its store.
  void EndOtherStoresHolds(size_t kind, size_t slot);
  // Whether a hold of a folder watched now is due to be confirmed by a check; one due is due again
  // only after the same wait.
  bool Due();

private:
  KeptState& kept_;
  const StoreSlots& slots_;
  std::function<std::uint64_t()> clock_;
  std::uint64_t emptyReadWait_ = 3000;
  std::uint64_t manyWait_ = 30000;
  // Holds kept on disk carry connection 0: this process's connections count from 1.
  std::uint64_t connection_ = 1;
  std::optional<DWORD> outlookProcess_;
  // When a check to confirm each slot's hold was last asked for.
  std::optional<std::uint64_t> askedAt_[KeptState::kFolderSlots];
};

}  // namespace orvane::outbound
