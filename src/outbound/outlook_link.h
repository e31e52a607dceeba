// OutlookLink: the plug-in's connection to the running Outlook: a sink on each watched folder, the
// Outlook process they listen to, and the watch of the folders' pictures that outlives them.
#pragma once

#include "items/item_kinds.h"
#include "outbound/deleted_items.h"
#include "outbound/folder_event_sink.h"
#include "outbound/folder_link.h"
#include "outlook/outlook_work.h"

#include <windows.h>

#include <memory>
#include <string>

namespace orvane::outbound {

// Set while the folder sinks are connected.
extern bool sinksConnected;

class OutlookLink {
public:
  OutlookLink();
  OutlookLink(const OutlookLink&) = delete;
  OutlookLink& operator=(const OutlookLink&) = delete;
  ~OutlookLink() { DisconnectSinks(); }

  // The window the reports go out from.
  void SendFrom(HWND sender) noexcept;
  // Keeps the pictures of the deleted-item watch on disk, starting from those an earlier process kept.
  void StartFromKeptPictures(const std::wstring& directory = {}) { common_->watch.StartFromKeptPictures(directory); }
  // The process hands over: its pictures are closed and nothing more is written to them.
  void StopKeepingPictures() { common_->watch.StopKeepingPictures(); }
  // The records that wait go, in order, when the main application's window is there.
  void SendWaitingRecords() { common_->watch.SendWaitingRecords(); }

  // The Outlook whose window is up now is the one the sinks are about to be connected to.
  void FollowRunningOutlook();
  // Connects a sink to each watched folder, on the open session. A folder whose sink could not be
  // made still counts as connected, so that it is not tried again at every tick.
  void ConnectSinks();
  // Unadvises the sinks and lets go of them; without a call to them when Outlook is gone.
  void DisconnectSinks();
  // Outlook's server is gone: its sinks and the session are let go of without a call to them.
  void Abandon();
  // Whether a call found Outlook's server gone, or Outlook's window is gone or belongs to
  // another process than the one the sinks were connected to.
  bool OutlookLeft() const;

  // Compares the folders with their pictures once the sinks are connected; a failure is logged.
  void ListItemsInOutlook();
  // The minute's check for deletions no event announced; a failure is logged.
  void CheckDeletedItems();
  // Whether a watched folder holds another number of items than its last read found: Outlook
  // raises no ItemAdd or ItemRemove when many items come or go at once. One call per folder, on
  // the Items the sinks hold; a failure is logged and counts as no.
  bool FolderCountsMoved();
  // Looks at some of the items the comparisons found appeared or changed, reporting what is news,
  // on the open session; a failure is logged. Answers whether some still wait.
  bool LookAtWaitingItems();

  outlook::OutlookWorkMark& Work() noexcept { return common_->work; }
  LaterBoxes& Boxes() noexcept { return common_->boxes; }
  DeletionWatch& Deletions() noexcept { return common_->watch; }

private:
  void LetGoOfLinks(bool outlookGone);

  std::shared_ptr<SinkCommon> common_;
  // One per watched folder, in the order of the item kinds.
  FolderLink links_[items::kItemKindCount];
  DWORD outlookProcess_ = 0;
};

}  // namespace orvane::outbound
