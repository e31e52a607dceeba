#include "outbound/store_slots.h"

#include "base/error_log.h"

#include <cstdio>
#include <string>

namespace orvane::outbound {

namespace {

const items::ItemKind& WatchedAt(size_t index) { return *items::kItemKinds[index]; }

void LogOtherFolder(const items::ItemKind& watched, const char* what) {
  char line[200];
  std::snprintf(line, sizeof line,
                "OrvaneOutlook=>ListItemsInOutlook::The %s picture is of another store or folder; %s",
                watched.folderName, what);
  WriteLog(line);
}

bool Unknown(const KeptFolder& folder) { return folder.storeId.empty() && folder.folderId.empty(); }

}  // namespace

StoreSlots::StoreSlots(KeptState& kept) noexcept : kept_(kept) {
  for (size_t kind = 0; kind < items::kItemKindCount; ++kind) active_[kind] = kind;
}

size_t StoreSlots::SlotOfFolder(size_t kind, const outlook::DispatchDriver& folder) {
  const std::string storeId = folder.GetText(outlook::kStoreId);
  const std::string folderId = folder.GetText(outlook::kEntryId);
  size_t slot = KeptState::kFolderSlots;
  for (size_t at = kind; at < KeptState::kFolderSlots; at += items::kItemKindCount) {
    if (SameFolder(kept_.Folder(at), storeId, folderId)) slot = at;
  }
  // A picture that never knew its folder is the first of this process, not another folder's.
  const bool switched = !Unknown(kept_.Folder(active_[kind])) && slot != active_[kind];
  if (switched) {
    LogOtherFolder(WatchedAt(kind),
                   slot == KeptState::kFolderSlots ? "one is taken of that" : "the one kept of that is compared");
  }
  if (slot == KeptState::kFolderSlots) {
    slot = SlotToTake(kind);
    kept_.Folder(slot) = KeptFolder{storeId, folderId, {}};
  }
  active_[kind] = slot;
  lastUsed_[slot] = ++uses_;
  return slot;
}

size_t StoreSlots::SlotToTake(size_t kind) {
  if (Unknown(kept_.Folder(active_[kind]))) return active_[kind];
  size_t oldest = kind;
  for (size_t at = kind; at < KeptState::kFolderSlots; at += items::kItemKindCount) {
    if (Unknown(kept_.Folder(at))) return at;
    if (lastUsed_[at] < lastUsed_[oldest]) oldest = at;
  }
  LogOtherFolder(WatchedAt(kind), "the picture of the store seen longest ago is dropped for it");
  return oldest;
}

}  // namespace orvane::outbound
