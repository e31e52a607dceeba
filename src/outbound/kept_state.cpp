#include "outbound/kept_state.h"

#include "base/user_folders.h"

#include <algorithm>
#include <utility>

namespace orvane::outbound {

void KeptState::Start(const std::wstring& directory) {
  // The pictures are the plug-in's own state: in the user's folder, which the user can always
  // write, whatever the current directory is.
  std::wstring folder = directory;
  if (folder.empty()) {
    folder = OwnStateFolder();
    if (folder.empty()) folder = CurrentDirectoryWide();
    TakeUpKeptPictures(CurrentDirectoryWide(), folder);
  }
  file_.emplace(folder);
  pending_ = true;
  TakeUp();
}

// The records kept on disk are the successor's to send from now on; those made from now on are
// sent without a mark, as no successor knows of them.
void KeptState::Stop() {
  stopped_ = true;
  file_.reset();
  auto& outbox = state_.outbox;
  outbox.erase(std::remove_if(outbox.begin(), outbox.end(),
                              [this](const OutboundRecord& record) { return !RecordOffDisk(record.number); }),
               outbox.end());
}

bool KeptState::TakeUp() {
  if (!pending_ || !file_) return true;
  PictureFile::Loaded loaded = file_->Load();
  if (loaded.status == PictureFile::LoadStatus::kBusy) return false;
  pending_ = false;
  const std::vector<JournalEntry> changes = std::exchange(changesWhilePending_, {});
  // A snapshot of one store's folders (as written before more were kept) takes the first slots.
  if (!loaded.pictures ||
      (loaded.pictures->folders.size() != items::kItemKindCount && loaded.pictures->folders.size() != kFolderSlots)) {
    return true;
  }
  KeptPictures kept = std::move(*loaded.pictures);
  // Kept again with every slot at once: a journal entry of a slot the snapshot lacks would stop
  // the reading of the journal there.
  const bool grown = kept.folders.size() != kFolderSlots;
  kept.folders.resize(kFolderSlots);
  for (const JournalEntry& change : changes) ApplyEntry(kept, change);
  for (OutboundRecord& record : state_.outbox) {
    record.number = kept.nextRecord++;
    kept.outbox.push_back(std::move(record));
  }
  state_ = std::move(kept);
  if (grown || !changes.empty() || !recordsOffDisk_.empty()) Keep();
  recordsOffDisk_.clear();
  return true;
}

bool KeptState::Journal(const JournalEntry& entry) {
  if (!file_) return false;
  if (pending_) {
    constexpr size_t kChangesKeptWhilePending = 100000;
    if (changesWhilePending_.size() >= kChangesKeptWhilePending) return false;
    // The record itself joins the kept outbox from memory, once it is read.
    if (entry.kind == JournalEntry::Kind::kQueuedWithState) {
      changesWhilePending_.push_back(TakenPartOf(entry));
    } else if (entry.kind == JournalEntry::Kind::kTakenWithState || entry.kind == JournalEntry::Kind::kNoReportDue) {
      changesWhilePending_.push_back(entry);
    }
    return false;
  }
  return file_->Append(entry);
}

void KeptState::Keep() {
  if (file_ && !pending_) file_->Replace(state_);
}

void KeptState::NoteRecordOffDisk(uint64_t number) { recordsOffDisk_.push_back(number); }

bool KeptState::RecordOffDisk(uint64_t number) const {
  return std::find(recordsOffDisk_.begin(), recordsOffDisk_.end(), number) != recordsOffDisk_.end();
}

void KeptState::ForgetRecordOffDisk(uint64_t number) {
  const auto found = std::find(recordsOffDisk_.begin(), recordsOffDisk_.end(), number);
  if (found != recordsOffDisk_.end()) recordsOffDisk_.erase(found);
}

}  // namespace orvane::outbound
