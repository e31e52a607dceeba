// Outlook's ItemRemove does not say which item left, and Outlook raises none at all when many
// items go at once; so deletions are found by comparing each folder with its picture, by the
// items' permanent ids. Subjects never decide anything: they are only what is reported.
#include "outbound/deleted_items.h"

#include "base/error_log.h"
#include "mainapp/kinds.h"
#include "mainapp/record_text.h"
#include "outbound/folder_reading.h"
#include "outbound/send_record.h"
#include "outlook/outlook_folders.h"
#include "outlook/outlook_session.h"

#include <cstdio>
#include <iterator>
#include <optional>
#include <utility>

namespace orvane {

namespace {

using namespace outlook;

struct WatchedFolder {
  uint32_t itemKind;
  int32_t folder;
  DispId subjectMember;
  uint32_t deletedKind;
  const char* name;
};

// In the order the folders are compared.
constexpr WatchedFolder kWatchedFolders[] = {
    {kinds::kNote, kFolderNotes, kNoteSubject, kinds::kDeletedNote, "Notes"},
    {kinds::kTask, kFolderTasks, kSubject, kinds::kDeletedTask, "Tasks"},
    {kinds::kAppointment, kFolderCalendar, kSubject, kinds::kDeletedAppointment, "Calendar"},
};
constexpr size_t kNotes = 0;

constexpr char kAppointmentsFound[] = "CheckDeletedItemsInOutlook::Step 2::ApptsFound";
constexpr char kAppointmentSent[] = "CheckDeletedItemsInOutlook::Step 3::Appts Had Been Sent To OV";

std::optional<size_t> FolderOfKind(uint32_t itemKind) {
  for (size_t index = 0; index < std::size(kWatchedFolders); ++index) {
    if (kWatchedFolders[index].itemKind == itemKind) return index;
  }
  return std::nullopt;
}

void LogHeldBack(const WatchedFolder& watched, size_t count) {
  char line[150];
  std::snprintf(line, sizeof line,
                "OrvaneOutlook=>CheckDeletedItemsInOutlook::The %s folder reads empty, %lu deletions held back",
                watched.name, static_cast<unsigned long>(count));
  WriteLog(line);
}

}  // namespace

void DeletionWatch::ListItemsInOutlook() {
  // The sinks were down while the plug-in wrote: what it renamed is read anew.
  for (picture::FolderPicture& picture : pictures_) picture.DistrustSubjects();
  RunPass([this] { CompareFolders(GetDefaultFolder(kFolderNotes)); });
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
    throw;
  }
  passUnderWay_ = false;
  TakeWaitingItems();
}

void DeletionWatch::CheckOnce() {
  CreateOutlookSession();
  DispatchDriver notes;
  try {
    notes = DefaultFolderOnce(kFolderNotes);
  } catch (const AutomationError&) {
    // Outlook refuses while it shuts down: nothing is compared and the pictures stay.
    if (!OutlookWindowExists()) return;
    CreateOutlookSession();
    notes = DefaultFolderOnce(kFolderNotes);
  }
  CompareFolders(std::move(notes));
}

void DeletionWatch::CompareFolders(DispatchDriver notesFolder) {
  CompareFolder(kNotes, notesFolder);
  notesFolder.ReleaseDispatch();
  for (size_t index = kNotes + 1; index < std::size(kWatchedFolders); ++index) {
    CompareFolder(index, DefaultFolderOnce(kWatchedFolders[index].folder));
  }
}

// A folder whose read fails keeps its picture; the folders compared before it have reported.
void DeletionWatch::CompareFolder(size_t index, const DispatchDriver& folder) {
  const WatchedFolder& watched = kWatchedFolders[index];
  picture::FolderPicture& picture = pictures_[index];
  const std::optional<std::vector<picture::ReadItem>> read =
      tableReader_.ReadFolder(outlookNamespace, folder, watched.subjectMember, picture, watched.name);
  if (!read) return;
  picture::FolderComparison comparison = picture::Compare(picture, *read);
  picture = std::move(comparison.picture);
  Report(index, comparison);
}

void DeletionWatch::Report(size_t index, const picture::FolderComparison& comparison) const {
  const WatchedFolder& watched = kWatchedFolders[index];
  if (comparison.heldBack > 0) LogHeldBack(watched, comparison.heldBack);
  const bool calendar = watched.itemKind == kinds::kAppointment;
  if (calendar && comparison.someRemain && !comparison.gone.empty()) WriteLog(kAppointmentsFound);
  for (const std::string& subject : comparison.gone) {
    // The subject alone: the main application finds its item by it.
    if (SendRecordToMain(recordtext::OutboundText(subject), watched.deletedKind, sender_) && calendar) {
      WriteLog(kAppointmentSent);
    }
  }
}

void DeletionWatch::TakeWaitingItems() {
  for (const WaitingItem& item : std::exchange(waitingItems_, {})) pictures_[item.folder].Take(item.id, item.subject);
}

void DeletionWatch::TakeItem(uint32_t sinkKind, std::string_view id, std::string_view subject) {
  const std::optional<size_t> folder = FolderOfKind(sinkKind);
  if (!folder) return;
  if (passUnderWay_) {
    waitingItems_.push_back({*folder, std::string(id), std::string(subject)});
  } else {
    pictures_[*folder].Take(id, subject);
  }
}

void DeletionWatch::NoteOwnDeletion(uint32_t itemKind, std::string_view id) {
  if (const std::optional<size_t> folder = FolderOfKind(itemKind)) pictures_[*folder].NoteOwnDeletion(id);
}

}  // namespace orvane
