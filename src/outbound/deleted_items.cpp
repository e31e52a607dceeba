// Outlook's ItemRemove does not say which item left, and Outlook raises none at all when many
// items go at once; so deletions are found by comparing each folder with its picture, by the
// items' permanent ids. Subjects never decide anything: they are only what is reported. Outlook
// raises no ItemAdd either when many items come at once, and may raise an ItemChange late, again,
// or with a new time: so an item is reported as added or changed when its record is news to the
// main application, whether an event or a comparison found it.
#include "outbound/deleted_items.h"

#include "base/error_log.h"
#include "base/user_folders.h"
#include "items/item_kinds.h"
#include "mainapp/record_text.h"
#include "outbound/folder_reading.h"
#include "outbound/send_record.h"
#include "outlook/outlook_folders.h"
#include "outlook/outlook_session.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <optional>
#include <utility>

namespace orvane::outbound {

namespace {

using namespace outlook;

using items::ItemKind;
using items::kItemKinds;

const items::ItemKind& WatchedAt(size_t index) { return *items::kItemKinds[index]; }
constexpr size_t kNotes = items::IndexOf(items::kNoteItems);

constexpr char kAppointmentsFound[] = "CheckDeletedItemsInOutlook::Step 2::ApptsFound";
constexpr char kAppointmentSent[] = "CheckDeletedItemsInOutlook::Step 3::Appts Had Been Sent To OV";

std::optional<size_t> FolderOfKind(uint32_t itemKind) {
  const items::ItemKind* row = items::ItemKindOf(itemKind);
  if (!row) return std::nullopt;
  return items::IndexOf(*row);
}

void LogHeldBack(const items::ItemKind& watched, size_t count) {
  char line[150];
  std::snprintf(line, sizeof line,
                "OrvaneOutlook=>CheckDeletedItemsInOutlook::The %s folder reads empty, %lu deletions held back",
                watched.folderName, static_cast<unsigned long>(count));
  WriteLog(line);
}

void LogOtherFolder(const items::ItemKind& watched, const char* what) {
  char line[200];
  std::snprintf(line, sizeof line,
                "OrvaneOutlook=>ListItemsInOutlook::The %s picture is of another store or folder; %s",
                watched.folderName, what);
  WriteLog(line);
}

bool Unknown(const outbound::KeptFolder& folder) { return folder.storeId.empty() && folder.folderId.empty(); }

}  // namespace

void DeletionWatch::StartFromKeptPictures(const std::wstring& directory) {
  // The pictures are the plug-in's own state: in the user's folder, which the user can always
  // write, whatever the current directory is.
  std::wstring folder = directory;
  if (folder.empty()) {
    folder = OwnStateFolder();
    if (folder.empty()) folder = CurrentDirectoryWide();
    TakeUpKeptPictures(CurrentDirectoryWide(), folder);
  }
  file_.emplace(folder);
  keptPicturesPending_ = true;
  ReadKeptPictures();
}

// The records kept on disk are the successor's to send from now on; those made from now on are
// sent without a mark, as no successor knows of them.
void DeletionWatch::StopKeepingPictures() {
  stopped_ = true;
  file_.reset();
  auto& outbox = pictures_.outbox;
  outbox.erase(std::remove_if(outbox.begin(), outbox.end(),
                              [this](const outbound::OutboundRecord& record) {
                                return std::find(recordsNotKept_.begin(), recordsNotKept_.end(), record.number) ==
                                       recordsNotKept_.end();
                              }),
               outbox.end());
}

// The pictures kept by an earlier process, once they can be read. What the sinks reported and
// the records made meanwhile join them, the records after those that waited already.
bool DeletionWatch::ReadKeptPictures() {
  if (!keptPicturesPending_ || !file_) return true;
  PictureFile::Loaded loaded = file_->Load();
  if (loaded.status == PictureFile::LoadStatus::kBusy) return false;
  keptPicturesPending_ = false;
  const std::vector<outbound::JournalEntry> changes = std::exchange(changesWhilePending_, {});
  // A snapshot of one store's folders (as written before more were kept) takes the first slots.
  if (!loaded.pictures ||
      (loaded.pictures->folders.size() != items::kItemKindCount && loaded.pictures->folders.size() != kFolderSlots)) {
    return true;
  }
  outbound::KeptPictures kept = std::move(*loaded.pictures);
  // Kept again with every slot at once: a journal entry of a slot the snapshot lacks would stop
  // the reading of the journal there.
  const bool grown = kept.folders.size() != kFolderSlots;
  kept.folders.resize(kFolderSlots);
  for (const outbound::JournalEntry& change : changes) outbound::ApplyEntry(kept, change);
  for (outbound::OutboundRecord& record : pictures_.outbox) {
    record.number = kept.nextRecord++;
    kept.outbox.push_back(std::move(record));
  }
  pictures_ = std::move(kept);
  if (grown || !changes.empty() || !recordsNotKept_.empty()) KeepPictures();
  recordsNotKept_.clear();
  return true;
}

void DeletionWatch::ListItemsInOutlook() {
  // The sinks were down while the plug-in wrote: what it renamed is read anew.
  for (outbound::KeptFolder& folder : pictures_.folders) folder.picture.DistrustSubjects();
  RunPass([this] { CompareFolders(outlook::GetDefaultFolder(outlook::kFolderNotes)); });
}

void DeletionWatch::CheckDeletedItemsInOutlook() {
  RunPass([this] { CheckOnce(); });
}

// COM dispatches Outlook's events while a call to Outlook waits, so a sink may report while a
// pass reads: a check it asks for runs after the pass, and the items it reports join the
// pictures then, lest a pass that did not read them count them as gone.
template <class Pass>
void DeletionWatch::RunPass(Pass&& pass) {
  if (passUnderWay_) {
    checkAgain_ = true;
    return;
  }
  // A comparison with pictures that are not the kept ones would report nothing that left
  // meanwhile, and keeping them would replace the kept ones.
  if (stopped_ || !ReadKeptPictures()) return;
  SendWaitingRecords();
  checkAgain_ = false;
  RunExclusively(pass);
  while (std::exchange(checkAgain_, false)) RunExclusively([this] { CheckOnce(); });
}

template <class Pass>
void DeletionWatch::RunExclusively(Pass&& pass) {
  passUnderWay_ = true;
  try {
    pass();
  } catch (...) {
    passUnderWay_ = false;
    TakeWaitingItems();
    KeepPictures();
    throw;
  }
  passUnderWay_ = false;
  TakeWaitingItems();
  KeepPictures();
}

void DeletionWatch::CheckOnce() {
  outlook::CreateOutlookSession();
  outlook::DispatchDriver notes;
  try {
    notes = outlook::DefaultFolderOnce(outlook::kFolderNotes);
  } catch (const outlook::AutomationError&) {
    // Outlook refuses while it shuts down: nothing is compared and the pictures stay.
    if (!outlook::OutlookWindowExists()) return;
    outlook::CreateOutlookSession();
    notes = outlook::DefaultFolderOnce(outlook::kFolderNotes);
  }
  CompareFolders(std::move(notes));
}

void DeletionWatch::CompareFolders(outlook::DispatchDriver notesFolder) {
  CompareFolder(kNotes, notesFolder);
  notesFolder.ReleaseDispatch();
  for (size_t kind = kNotes + 1; kind < items::kItemKindCount; ++kind) {
    CompareFolder(kind, outlook::DefaultFolderOnce(WatchedAt(kind).folder));
  }
}

// A folder whose read fails keeps its picture; the folders compared before it have reported.
void DeletionWatch::CompareFolder(size_t kind, const outlook::DispatchDriver& folder) {
  const items::ItemKind& watched = WatchedAt(kind);
  const size_t index = SlotOfFolder(kind, folder);
  outbound::FolderPicture& picture = pictures_.folders[index].picture;
  const std::optional<std::vector<outbound::ReadItem>> read =
      tableReader_.ReadFolder(outlook::outlookNamespace, folder, pictures_.folders[index].storeId,
                              watched.subjectMember, picture, watched.folderName);
  if (!read) return;
  lastReadCounts_[index] = read->size();
  // An empty read confirms one held back only a while later: a store still loading reads empty
  // for some seconds.
  if (read->empty() && picture.EmptyReadHeld() && GetTickCount() - emptyReadTicks_[index] < emptyReadConfirmMs_) return;
  outbound::FolderComparison comparison = outbound::Compare(picture, *read);
  if (comparison.heldBack > 0) emptyReadTicks_[index] = GetTickCount();
  picture = std::move(comparison.picture);
  Report(kind, comparison);
  QueueToLookAt(kind, index, comparison.toExamine);
}

// The slot of the picture of the folder Outlook gives now. A picture of another store or folder
// (Outlook opened another profile or store) would report every item as deleted: each store's
// folder has a picture of its own, compared when Outlook shows that store again, so that what
// left it meanwhile is reported. A store not seen before takes an empty picture, which takes the
// folder silently, in a free slot or else that of the store seen longest ago.
size_t DeletionWatch::SlotOfFolder(size_t kind, const outlook::DispatchDriver& folder) {
  const std::string storeId = folder.GetText(outlook::kStoreId);
  const std::string folderId = folder.GetText(outlook::kEntryId);
  size_t slot = kFolderSlots;
  for (size_t at = kind; at < kFolderSlots; at += items::kItemKindCount) {
    if (outbound::SameFolder(pictures_.folders[at], storeId, folderId)) slot = at;
  }
  // A picture that never knew its folder is the first of this process, not another folder's.
  const bool switched = !Unknown(pictures_.folders[active_[kind]]) && slot != active_[kind];
  if (switched) {
    LogOtherFolder(WatchedAt(kind), slot == kFolderSlots ? "one is taken of that" : "the one kept of that is compared");
  }
  if (slot == kFolderSlots) {
    slot = SlotToTake(kind);
    pictures_.folders[slot] = outbound::KeptFolder{storeId, folderId, {}};
  }
  active_[kind] = slot;
  lastUsed_[slot] = ++uses_;
  return slot;
}

size_t DeletionWatch::SlotToTake(size_t kind) {
  if (Unknown(pictures_.folders[active_[kind]])) return active_[kind];
  size_t oldest = kind;
  for (size_t at = kind; at < kFolderSlots; at += items::kItemKindCount) {
    if (Unknown(pictures_.folders[at])) return at;
    if (lastUsed_[at] < lastUsed_[oldest]) oldest = at;
  }
  LogOtherFolder(WatchedAt(kind), "the picture of the store seen longest ago is dropped for it");
  return oldest;
}

void DeletionWatch::Report(size_t kind, const outbound::FolderComparison& comparison) {
  const items::ItemKind& watched = WatchedAt(kind);
  if (comparison.heldBack > 0) LogHeldBack(watched, comparison.heldBack);
  if (comparison.gone.empty()) return;
  const bool calendar = watched.kind == mainapp::kAppointment;
  if (calendar && comparison.someRemain) WriteLog(kAppointmentsFound);
  for (size_t i = 0; i < comparison.gone.size(); ++i) {
    // The subject alone: the main application finds its item by it.
    Deliver(watched.deletedKind, mainapp::OutboundText(comparison.gone[i]), kind, comparison.goneIds[i]);
    if (calendar && pictures_.outbox.empty()) WriteLog(kAppointmentSent);
  }
}

bool DeletionWatch::EmptyReadDue() {
  bool due = false;
  for (size_t index = 0; index < kFolderSlots; ++index) {
    if (!pictures_.folders[index].picture.EmptyReadHeld()) continue;
    const DWORD now = GetTickCount();
    if (now - emptyReadTicks_[index] < emptyReadConfirmMs_ || now - emptyReadAsked_[index] < emptyReadConfirmMs_)
      continue;
    emptyReadAsked_[index] = now;
    due = true;
  }
  return due;
}

void DeletionWatch::TakeWaitingItems() {
  for (const WaitingItem& item : std::exchange(waitingItems_, {})) {
    pictures_.folders[item.folder].picture.TakeState(item.entry);
  }
}

// Every item seen is in the journal before anything relies on it, also while a pass holds it back
// from the pictures: a process ending at any moment leaves it kept.
void DeletionWatch::TakeEntry(size_t folder, const outbound::Entry& entry) {
  if (entry.id.empty()) return;
  Journal(outbound::TakenEntry(static_cast<uint32_t>(folder), entry));
  if (passUnderWay_) {
    waitingItems_.push_back({folder, entry});
  } else {
    pictures_.folders[folder].picture.TakeState(entry);
  }
}

// The item as last taken: one waiting for a pass to end is newer than the picture's.
std::optional<outbound::Entry> DeletionWatch::KnownEntry(size_t folder, std::string_view id) const {
  for (auto waiting = waitingItems_.rbegin(); waiting != waitingItems_.rend(); ++waiting) {
    if (waiting->folder == folder && waiting->entry.id == id) return waiting->entry;
  }
  const outbound::Entry* entry = pictures_.folders[folder].picture.Find(id);
  if (!entry) return std::nullopt;
  return *entry;
}

void DeletionWatch::NoteOwnDeletion(uint32_t itemKind, std::string_view id) {
  const std::optional<size_t> kind = FolderOfKind(itemKind);
  if (!kind) return;
  const size_t folder = active_[*kind];
  Journal(outbound::JournalEntry::Kind::kNoReportDue, folder, id);
  pictures_.folders[folder].picture.NoteOwnDeletion(id);
}

void DeletionWatch::Journal(outbound::JournalEntry::Kind kind, size_t folder, std::string_view id,
                            std::string_view subject) {
  if (id.empty()) return;
  Journal({kind, static_cast<uint32_t>(folder), std::string(id), std::string(subject)});
}

// Whether the entry is on disk. While the kept pictures cannot be read, the changes to the
// folders wait to join them; records do not, as they may be sent meanwhile.
bool DeletionWatch::Journal(const outbound::JournalEntry& entry) {
  if (!file_) return false;
  if (keptPicturesPending_) {
    constexpr size_t kChangesKeptWhilePending = 100000;
    const bool folderChange = entry.kind == outbound::JournalEntry::Kind::kTakenWithState ||
                              entry.kind == outbound::JournalEntry::Kind::kNoReportDue;
    if (folderChange && changesWhilePending_.size() < kChangesKeptWhilePending) changesWhilePending_.push_back(entry);
    return false;
  }
  return file_->Append(entry);
}

void DeletionWatch::KeepPictures() {
  if (file_ && !keptPicturesPending_) file_->Replace(pictures_);
}

}  // namespace orvane::outbound
