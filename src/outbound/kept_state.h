// KeptState: the pictures of each store's watched folders and the outbox, as they are kept on disk
// in the per-user folder (a snapshot and a journal of the changes since), so that a new process
// goes on from where the last one stopped.
#pragma once

#include "items/item_kinds.h"
#include "outbound/kept_picture.h"
#include "outbound/picture_file.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvane::outbound {

class KeptState {
public:
  // How many stores each folder's picture is kept for: coming back to one of them compares with
  // its own picture. Slot s * kItemKindCount + k is a picture of the folder of item kind k.
  static constexpr size_t kStoresKept = 4;
  static constexpr size_t kFolderSlots = items::kItemKindCount * kStoresKept;

  // Keeps the state in the directory from now on (by default the plug-in's per-user folder,
  // taking up once what an older process left in the current directory), starting from what an
  // earlier process kept there.
  void Start(const std::wstring& directory = {});
  // The process hands over to a successor: the files are closed, nothing more is written, and of
  // the records waiting only those no disk holds stay for this process to send.
  void Stop();
  bool Stopped() const noexcept { return stopped_; }
  // Takes up what an earlier process kept, once it can be read: false while another process holds
  // it or the disk fails, when nothing may be compared (each pass tries again). The changes and
  // records made meanwhile join it.
  bool TakeUp();
  // Whether the entry is on disk. While the kept state cannot be read, the folders' changes wait
  // to join it; records do not, as they may be sent meanwhile.
  bool Journal(const JournalEntry& entry);
  // Writes the whole state as a new snapshot.
  void Keep();

  KeptFolder& Folder(size_t slot) { return state_.folders[slot]; }
  const KeptFolder& Folder(size_t slot) const { return state_.folders[slot]; }
  // The records that wait for the main application, in order, and the number of the next one.
  std::vector<OutboundRecord>& Records() noexcept { return state_.outbox; }
  uint64_t TakeRecordNumber() noexcept { return state_.nextRecord++; }
  // A record whose queued entry is on no disk: a crash cannot send it again, so it may go without
  // its mark when the mark cannot be written either. Forgotten once delivered or kept.
  void NoteRecordOffDisk(uint64_t number);
  bool RecordOffDisk(uint64_t number) const;
  void ForgetRecordOffDisk(uint64_t number);

private:
  KeptPictures state_{0, std::vector<KeptFolder>(kFolderSlots), {}, 1};
  std::optional<PictureFile> file_;
  // Set while the kept state could not be read; the folders' changes wait here to join it.
  bool pending_ = false;
  std::vector<JournalEntry> changesWhilePending_;
  bool stopped_ = false;
  std::vector<uint64_t> recordsOffDisk_;
};

}  // namespace orvane::outbound
