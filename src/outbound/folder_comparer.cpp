// Deletions are found by comparing each folder with its picture, by the items' permanent ids.
// Subjects never decide anything: they are only what is reported. Outlook raises no ItemAdd either
// when many items come at once, and may raise an ItemChange late, again, or with a new time: so
// what appeared or moved is queued, and the item's record decides whether it is news.
#include "outbound/folder_comparer.h"

#include "base/callback_guard.h"
#include "base/error_log.h"
#include "items/item_kinds.h"
#include "mainapp/record_text.h"
#include "outlook/outlook_folders.h"

#include <cstdio>
#include <utility>

namespace orvane::outbound {

namespace {

const items::ItemKind& WatchedAt(size_t index) { return *items::kItemKinds[index]; }
constexpr size_t kNotes = items::IndexOf(items::kNoteItems);

constexpr char kAppointmentsFound[] = "CheckDeletedItemsInOutlook::Step 2::ApptsFound";
constexpr char kAppointmentSent[] = "CheckDeletedItemsInOutlook::Step 3::Appts Had Been Sent To OV";

void LogHeldBack(const items::ItemKind& watched, const FolderComparison& comparison, size_t itemsRead) {
  char line[250];
  if (itemsRead == 0) {
    std::snprintf(line, sizeof line,
                  "OrvaneOutlook=>CheckDeletedItemsInOutlook::The %s folder reads empty, %lu deletions held back",
                  watched.folderName, static_cast<unsigned long>(comparison.heldBack));
  } else {
    std::snprintf(line, sizeof line,
                  "OrvaneOutlook=>CheckDeletedItemsInOutlook::The %s folder shows %lu items and lacks %lu; the "
                  "deletions are held back until the folder has looked the same for a while",
                  watched.folderName, static_cast<unsigned long>(itemsRead),
                  static_cast<unsigned long>(comparison.heldBack));
  }
  WriteLog(line);
}

void LogConfirmed(const items::ItemKind& watched, size_t count) {
  char line[150];
  std::snprintf(line, sizeof line,
                "OrvaneOutlook=>CheckDeletedItemsInOutlook::The %s folder has looked the same for a while; %lu "
                "deletions held back are reported",
                watched.folderName, static_cast<unsigned long>(count));
  WriteLog(line);
}

}  // namespace

// At a pass's end, however it ends, the items the sinks reported meanwhile join the pictures and
// the pictures are kept: the folders compared before a failure have reported.
class FolderComparer::PassEnd {
public:
  explicit PassEnd(FolderComparer& comparer) noexcept : comparer_(comparer) {}
  ~PassEnd() {
    GuardedCall("ComparisonEnd", [this] {
      comparer_.TakeWaitingItems();
      comparer_.kept_.Keep();
    });
  }
  PassEnd(const PassEnd&) = delete;
  PassEnd& operator=(const PassEnd&) = delete;

private:
  FolderComparer& comparer_;
};

void FolderComparer::ListItemsInOutlook() {
  // The sinks were down while the plug-in wrote: what it renamed is read anew.
  for (size_t slot = 0; slot < KeptState::kFolderSlots; ++slot) kept_.Folder(slot).picture.DistrustSubjects();
  disappearances_.NoteConnection(outlook::OutlookProcessId());
  const outlook::OutlookSession::Hold hold(session_);
  RunPass([this] { CompareFolders(outlook::GetDefaultFolder(session_, outlook::kFolderNotes)); });
}

void FolderComparer::CheckDeletedItemsInOutlook() {
  RunPass([this] { CheckOnce(); });
}

// A sink may report while a pass reads: a check it asks for runs after the pass, and the items it
// reports join the pictures then, lest a pass that did not read them count them as gone.
template <class Pass>
void FolderComparer::RunPass(Pass&& pass) {
  if (pass_.Now()) {
    checkAgain_ = true;
    return;
  }
  // A comparison with pictures that are not the kept ones would report nothing that left
  // meanwhile, and keeping them would replace the kept ones.
  if (kept_.Stopped() || !kept_.TakeUp()) return;
  outbox_.SendWaitingRecords();
  checkAgain_ = false;
  RunExclusively(pass);
  while (std::exchange(checkAgain_, false)) RunExclusively([this] { CheckOnce(); });
}

template <class Pass>
void FolderComparer::RunExclusively(Pass&& pass) {
  const PassEnd end(*this);
  const WorkScope reading(pass_);
  pass();
}

void FolderComparer::CheckOnce() {
  const outlook::OutlookSession::Hold hold(session_);
  outlook::DispatchDriver notes;
  try {
    notes = outlook::DefaultFolderOnce(session_, outlook::kFolderNotes);
  } catch (const outlook::AutomationError&) {
    // Outlook refuses while it shuts down: nothing is compared and the pictures stay.
    if (!outlook::OutlookWindowExists()) return;
    session_.Reopen();
    notes = outlook::DefaultFolderOnce(session_, outlook::kFolderNotes);
  }
  CompareFolders(std::move(notes));
}

void FolderComparer::CompareFolders(outlook::DispatchDriver notesFolder) {
  CompareFolder(kNotes, notesFolder);
  notesFolder.ReleaseDispatch();
  for (size_t kind = kNotes + 1; kind < items::kItemKindCount; ++kind) {
    CompareFolder(kind, outlook::DefaultFolderOnce(session_, WatchedAt(kind).folder));
  }
}

// A folder whose read fails keeps its picture; the folders compared before it have reported.
void FolderComparer::CompareFolder(size_t kind, const outlook::DispatchDriver& folder) {
  const items::ItemKind& watched = WatchedAt(kind);
  const size_t slot = slots_.SlotOfFolder(kind, folder);
  disappearances_.EndOtherStoresHolds(kind, slot);
  FolderPicture& picture = kept_.Folder(slot).picture;
  const std::optional<std::vector<ReadItem>> read = tableReader_.ReadFolder(
      session_.Namespace(), folder, kept_.Folder(slot).storeId, watched.subjectMember, picture, watched.folderName);
  if (!read) return;
  slots_.NoteReadCount(slot, read->size());
  FolderComparison comparison = Compare(picture, *read, disappearances_.Now());
  picture = std::move(comparison.picture);
  if (comparison.holdStarted) LogHeldBack(watched, comparison, read->size());
  if (comparison.manyConfirmed) LogConfirmed(watched, comparison.gone.size());
  Report(kind, slot, comparison);
  toLookAt_.Push(kind, slot, comparison.toExamine);
}

void FolderComparer::Report(size_t kind, size_t slot, const FolderComparison& comparison) {
  const items::ItemKind& watched = WatchedAt(kind);
  if (comparison.gone.empty()) return;
  const bool calendar = watched.kind == mainapp::kAppointment;
  if (calendar && comparison.someRemain) WriteLog(kAppointmentsFound);
  for (size_t i = 0; i < comparison.gone.size(); ++i) {
    // The subject alone: the main application finds its item by it.
    outbox_.Deliver(watched.deletedKind, mainapp::OutboundText(comparison.gone[i]), slot, comparison.goneIds[i]);
    if (calendar && outbox_.Empty()) WriteLog(kAppointmentSent);
  }
}

void FolderComparer::TakeWaitingItems() {
  for (const WaitingItem& item : std::exchange(waitingItems_, {}))
    kept_.Folder(item.slot).picture.TakeState(item.entry);
}

void FolderComparer::TakeEntry(size_t slot, const Entry& entry) {
  if (entry.id.empty()) return;
  kept_.Journal(TakenEntry(static_cast<uint32_t>(slot), entry));
  JoinPicture(slot, entry);
}

void FolderComparer::JoinPicture(size_t slot, const Entry& entry) {
  if (entry.id.empty()) return;
  if (pass_.Now()) {
    waitingItems_.push_back({slot, entry});
  } else {
    kept_.Folder(slot).picture.TakeState(entry);
  }
}

std::optional<Entry> FolderComparer::KnownEntry(size_t slot, std::string_view id) const {
  for (auto waiting = waitingItems_.rbegin(); waiting != waitingItems_.rend(); ++waiting) {
    if (waiting->slot == slot && waiting->entry.id == id) return waiting->entry;
  }
  const Entry* entry = kept_.Folder(slot).picture.Find(id);
  if (!entry) return std::nullopt;
  return *entry;
}

}  // namespace orvane::outbound
