// DeletionWatch: keeps the pictures of Outlook's Notes, Tasks and Calendar folders and reports to
// the main application what it does not know of them: the items the user deleted, found by
// comparing each folder with its picture, and the items added or changed, whether an event
// announced them or a comparison found them. It also keeps the outbox every outbound record goes
// through. The pictures and the outbox may be kept on disk, so that a new process goes on from
// where the last one stopped.
#pragma once

#include "items/item_kinds.h"
#include "outbound/folder_reading.h"
#include "outbound/item_picture.h"
#include "outbound/item_records.h"
#include "outbound/kept_picture.h"
#include "outbound/later_box.h"
#include "outbound/picture_file.h"
#include "outlook/dispatch_driver.h"
#include "outlook/own_deletions.h"
#include "outlook/own_writes.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace orvane::outbound {

class DeletionWatch final : public outlook::OwnDeletions, public outlook::OwnWrites {
public:
  // How many stores each folder's picture is kept for: coming back to one of them compares with
  // its own picture.
  static constexpr size_t kStoresKept = 4;
  static constexpr size_t kFolderSlots = items::kItemKindCount * kStoresKept;

  DeletionWatch() noexcept {
    for (size_t kind = 0; kind < items::kItemKindCount; ++kind) active_[kind] = kind;
  }

  // Hands one record to the main application; true when it took it.
  using RecordSender = std::function<bool(std::string_view text, uint32_t kind)>;

  // The plug-in's window, from which the records are sent.
  void SendFrom(HWND sender) noexcept { sender_ = sender; }
  // Another way to the main application than SendRecordToMain from the plug-in's window.
  void SendThrough(RecordSender send) { send_ = std::move(send); }
  // Keeps the pictures in the directory from now on (by default the plug-in's per-user folder,
  // taking up once those an older process left in the current directory), starting from those
  // kept there by an earlier process: the first comparison reports what left meanwhile.
  // While they cannot be read (another process holds them, or the disk fails), nothing is
  // compared; each pass tries again.
  void StartFromKeptPictures(const std::wstring& directory = {});
  // The process hands over to a successor: the files are closed and nothing more is written,
  // compared or reported of the folders from now on.
  void StopKeepingPictures();

  // Delivers an outbound record of the kind, made from an item of the folder of the item kind at
  // `folder` (in the order of the item kinds), after those still
  // waiting: marked as offered in the journal before it is sent, kept waiting when the main
  // application does not take it. One that reports an item's going names the item.
  void Deliver(uint32_t kind, std::string_view text, size_t itemKind, std::string_view goneId = {});
  // Sends the records that wait, in order, when the main application's window is there.
  void SendWaitingRecords();
  size_t RecordsWaiting() const { return pictures_.outbox.size(); }
  // How long after an empty read of a folder, held back, a second one may confirm it.
  void ConfirmEmptyReadsAfter(DWORD milliseconds) noexcept { emptyReadConfirmMs_ = milliseconds; }
  // Whether a folder's empty read, held back, is due to be confirmed by a check now; one due is
  // due again only after the same wait.
  bool EmptyReadDue();

  // Right after the sinks are connected, on the session open: the first time, takes the
  // pictures silently; later, compares the folders with them, as the sinks were down meanwhile.
  void ListItemsInOutlook();
  // Opens the session afresh and compares the folders with their pictures, reporting every
  // item gone. Ends silently when Outlook is going away.
  void CheckDeletedItemsInOutlook();

  // How an item came to be looked at: an event's ItemAdd or ItemChange, or a comparison that found
  // it appeared or in a new state.
  enum class Seen { kAdded, kChanged, kCompared };
  // The item as it is now, of the folder of the item kind. Its record goes to the main application
  // when it is news there: an item the picture does not know as a new item (as a changed one for
  // an ItemChange before the folder's first read), a known one whose record now differs from the
  // one the main application knows as a changed item, with its link id. An item without a subject
  // is never reported; Outlook's copy of a finished occurrence of a task the plug-in finished is
  // not the user's. Either way the item joins the picture with its state. Throws AutomationError.
  void LookAtItem(const items::ItemKind& kind, const outlook::DispatchDriver& item, Seen seen, LaterBoxes* boxes);
  // Looks at the items the comparisons found appeared or moved, opening each by its id, for about
  // `budgetMs` at most, on the open session; answers whether some still wait. An item that cannot
  // be opened any more is left to the next comparison. Throws AutomationError when Outlook's
  // server is gone.
  bool LookAtWaitingItems(DWORD budgetMs, LaterBoxes& boxes);
  size_t ItemsToLookAt() const { return toLookAt_.size(); }
  // How many items the last read of the folder of the item kind (in the order of the item kinds)
  // found; no value before its first read.
  std::optional<size_t> LastReadCount(size_t kind) const { return lastReadCounts_[active_[kind]]; }
  // An item of the kind that the plug-in deletes for the main application: not reported.
  void NoteOwnDeletion(uint32_t itemKind, std::string_view id) override;
  // An item of the kind that the plug-in saved for the main application: its state is known there.
  void NoteOwnWrite(const outlook::DispatchDriver& item, uint32_t itemKind) override;

private:
  struct WaitingItem {
    size_t folder;
    outbound::Entry entry;
  };
  // An item a comparison found appeared or moved, to be looked at.
  struct ItemToLookAt {
    size_t kind;
    size_t folder;
    std::string id;
  };
  // A task the plug-in wrote that recurs: Outlook may add a finished copy of its occurrence.
  struct ExpectedCopy {
    size_t folder;
    std::string subject;
    DWORD since;
  };

  template <class Pass>
  void RunPass(Pass&& pass);
  template <class Pass>
  void RunExclusively(Pass&& pass);
  void CheckOnce();
  void CompareFolders(outlook::DispatchDriver notesFolder);
  void CompareFolder(size_t kind, const outlook::DispatchDriver& folder);
  size_t SlotOfFolder(size_t kind, const outlook::DispatchDriver& folder);
  size_t SlotToTake(size_t kind);
  void Report(size_t kind, const outbound::FolderComparison& comparison);
  void TakeWaitingItems();
  void TakeEntry(size_t folder, const outbound::Entry& entry);
  std::optional<outbound::Entry> KnownEntry(size_t folder, std::string_view id) const;
  void QueueToLookAt(size_t kind, size_t folder, const std::vector<outbound::ReadItem>& items);
  bool TakeExpectedCopy(size_t folder, const outbound::ItemValues& values);
  void Journal(outbound::JournalEntry::Kind kind, size_t folder, std::string_view id, std::string_view subject = {});
  bool Journal(const outbound::JournalEntry& entry);
  void KeepPictures();
  bool ReadKeptPictures();
  void SendInOrder();

  // Notes, Tasks, Calendar: the order in which the folders are compared, each with the store and
  // folder it shows; then the same for each further store. Slot s * kItemKindCount + k is a
  // picture of the folder of item kind k.
  outbound::KeptPictures pictures_{0, std::vector<outbound::KeptFolder>(kFolderSlots), {}, 1};
  // The slot of each item kind's folder now watched, and when each slot was last compared.
  size_t active_[items::kItemKindCount] = {};
  uint64_t lastUsed_[kFolderSlots] = {};
  uint64_t uses_ = 0;
  // Where the pictures are kept, once they are.
  std::optional<PictureFile> file_;
  // Set while the kept pictures could not be read: nothing is compared, and the changes the sinks
  // report wait here to join the pictures once they are read.
  bool keptPicturesPending_ = false;
  std::vector<outbound::JournalEntry> changesWhilePending_;
  bool stopped_ = false;
  // Records whose queued entry is on no disk: a crash cannot send them again, so they may go
  // without their mark when the mark cannot be written either.
  std::vector<uint64_t> recordsNotKept_;
  bool sending_ = false;
  bool waitLogged_ = false;
  bool passUnderWay_ = false;
  bool checkAgain_ = false;
  // Items the sinks reported while a pass was reading; they join once it is done.
  std::vector<WaitingItem> waitingItems_;
  std::deque<ItemToLookAt> toLookAt_;
  // The folder's slot and the id of each item in toLookAt_.
  std::unordered_set<std::string> queuedToLookAt_;
  std::vector<ExpectedCopy> expectedCopies_;
  bool lookingAtItems_ = false;
  FolderTableReader tableReader_;
  // When each folder's last empty read was held back.
  DWORD emptyReadTicks_[kFolderSlots] = {};
  DWORD emptyReadConfirmMs_ = 3000;
  std::optional<size_t> lastReadCounts_[kFolderSlots];
  // When a check to confirm each folder's held empty read was last asked for.
  DWORD emptyReadAsked_[kFolderSlots] = {};
  HWND sender_ = nullptr;
  RecordSender send_;
};

}  // namespace orvane::outbound
