// DeletionWatch: finds the items the user deleted in Outlook's Notes, Tasks and Calendar folders
// by comparing them with their pictures, and reports each to the main application. The pictures
// may be kept on disk, so that a new process goes on from where the last one stopped.
#pragma once

#include "items/item_kinds.h"
#include "outbound/folder_reading.h"
#include "outbound/item_picture.h"
#include "outbound/kept_picture.h"
#include "outbound/picture_file.h"
#include "outlook/dispatch_driver.h"
#include "outlook/own_deletions.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class DeletionWatch final : public OwnDeletions {
public:
  // The plug-in's window, from which the deletions are reported.
  void SendFrom(HWND sender) noexcept { sender_ = sender; }
  // Keeps the pictures in the plug-in's per-user folder from now on, starting from those kept by
  // an earlier process (taking up once those an older one left in the current directory): the
  // first comparison reports what left meanwhile.
  void StartFromKeptPictures();

  // Right after the sinks are connected, on the session open: the first time, takes the
  // pictures silently; later, compares the folders with them, as the sinks were down meanwhile.
  void ListItemsInOutlook();
  // Opens the session afresh and compares the folders with their pictures, reporting every
  // item gone. Ends silently when Outlook is going away.
  void CheckDeletedItemsInOutlook();

  // The item a sink of the kind (task, appointment or note) reported as added or changed.
  void TakeItem(uint32_t sinkKind, std::string_view id, std::string_view subject);
  // An item of the kind that the plug-in deletes for the main application: not reported.
  void NoteOwnDeletion(uint32_t itemKind, std::string_view id) override;

private:
  struct WaitingItem {
    size_t folder;
    std::string id;
    std::string subject;
  };

  template <class Pass>
  void RunPass(Pass&& pass);
  template <class Pass>
  void RunExclusively(Pass&& pass);
  void CheckOnce();
  void CompareFolders(DispatchDriver notesFolder);
  void CompareFolder(size_t index, const DispatchDriver& folder);
  picture::FolderPicture& PictureOfFolder(size_t index, const DispatchDriver& folder);
  void Report(size_t index, const picture::FolderComparison& comparison);
  void TakeWaitingItems();
  void Journal(kept::JournalEntry::Kind kind, size_t folder, std::string_view id, std::string_view subject = {});
  void KeepPictures();

  // Notes, Tasks, Calendar: the order in which the folders are compared, each with the store and
  // folder it shows.
  kept::KeptPictures pictures_{0, std::vector<kept::KeptFolder>(items::kItemKindCount)};
  // Where the pictures are kept, once they are.
  std::optional<PictureFile> file_;
  bool passUnderWay_ = false;
  bool checkAgain_ = false;
  // Items the sinks reported while a pass was reading; they join once it is done.
  std::vector<WaitingItem> waitingItems_;
  FolderTableReader tableReader_;
  HWND sender_ = nullptr;
};

}  // namespace orvane
