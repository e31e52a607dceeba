#include "outbound/disappearances.h"

namespace orvane::outbound {

bool DisappearanceConfirmation::MayCompare(size_t slot, bool readEmpty, const FolderPicture& picture) const {
  return !(readEmpty && picture.EmptyReadHeld() && GetTickCount() - heldTicks_[slot] < confirmMs_);
}

bool DisappearanceConfirmation::Due() {
  bool due = false;
  for (size_t slot = 0; slot < KeptState::kFolderSlots; ++slot) {
    if (!kept_.Folder(slot).picture.EmptyReadHeld()) continue;
    const DWORD now = GetTickCount();
    if (now - heldTicks_[slot] < confirmMs_ || now - askedTicks_[slot] < confirmMs_) continue;
    askedTicks_[slot] = now;
    due = true;
  }
  return due;
}

}  // namespace orvane::outbound
