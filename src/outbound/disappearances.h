// DisappearanceConfirmation: a folder that reads empty while its picture knows items is held back
// rather than reported as every item deleted (a store still loading reads empty for some seconds);
// a later empty read confirms it.
#pragma once

#include "outbound/item_picture.h"
#include "outbound/kept_state.h"

#include <windows.h>

#include <cstddef>

namespace orvane::outbound {

class DisappearanceConfirmation {
public:
  explicit DisappearanceConfirmation(const KeptState& kept) noexcept : kept_(kept) {}

  // How long after an empty read, held back, a second one may confirm it.
  void ConfirmAfter(DWORD milliseconds) noexcept { confirmMs_ = milliseconds; }
  // Whether a read of the folder in the slot may be compared with its picture now: an empty read
  // confirms one held back only a while later.
  bool MayCompare(size_t slot, bool readEmpty, const FolderPicture& picture) const;
  // The comparison of the slot's folder held its deletions back now.
  void NoteHeldBack(size_t slot) noexcept { heldTicks_[slot] = GetTickCount(); }
  // Whether a folder's empty read, held back, is due to be confirmed by a check now; one due is
  // due again only after the same wait.
  bool Due();

private:
  const KeptState& kept_;
  DWORD confirmMs_ = 3000;
  // When each slot's last empty read was held back, and when a check to confirm it was asked for.
  DWORD heldTicks_[KeptState::kFolderSlots] = {};
  DWORD askedTicks_[KeptState::kFolderSlots] = {};
};

}  // namespace orvane::outbound
