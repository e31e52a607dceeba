// StoreSlots: which kept picture each watched folder is compared with. Outlook may show another
// profile's or store's folders; each store's folder has a picture of its own, so that coming back
// to a store reports what left it meanwhile and a new store is taken silently.
#pragma once

#include "items/item_kinds.h"
#include "outbound/kept_state.h"
#include "outlook/dispatch_driver.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace orvane::outbound {

class StoreSlots {
public:
  explicit StoreSlots(KeptState& kept) noexcept;

  // The slot of the picture of the folder of the item kind (in the order of the item kinds) that
  // Outlook gives now; a store not seen before takes an empty picture, in a free slot or else that
  // of the store seen longest ago. Throws AutomationError.
  size_t SlotOfFolder(size_t kind, const outlook::DispatchDriver& folder);
  // The slot of the folder of the item kind watched now.
  size_t Active(size_t kind) const noexcept { return active_[kind]; }
  // How many items the last read of the folder watched now found; no value before its first read.
  std::optional<size_t> LastReadCount(size_t kind) const { return lastReadCounts_[active_[kind]]; }
  void NoteReadCount(size_t slot, size_t count) noexcept { lastReadCounts_[slot] = count; }

private:
  size_t SlotToTake(size_t kind);

  KeptState& kept_;
  size_t active_[items::kItemKindCount] = {};
  // When each slot was last compared, in uses.
  uint64_t lastUsed_[KeptState::kFolderSlots] = {};
  uint64_t uses_ = 0;
  std::optional<size_t> lastReadCounts_[KeptState::kFolderSlots];
};

}  // namespace orvane::outbound
