// FolderComparer: compares each watched folder's read with its kept picture. Outlook's ItemRemove
// does not say which item left, and Outlook raises none at all when many items go at once; so the
// items gone are found by their permanent ids and reported, and the items that appeared or whose
// state moved are queued to be looked at.
#pragma once

#include "base/work_scope.h"
#include "outbound/disappearances.h"
#include "outbound/folder_reading.h"
#include "outbound/kept_state.h"
#include "outbound/look_at_queue.h"
#include "outbound/outbox.h"
#include "outbound/store_slots.h"
#include "outlook/outlook_session.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace orvane::outbound {

class FolderComparer {
public:
  FolderComparer(outlook::OutlookSession& session, KeptState& kept, StoreSlots& slots,
                 DisappearanceConfirmation& disappearances, Outbox& outbox, LookAtQueue& toLookAt) noexcept
      : session_(session),
        kept_(kept),
        slots_(slots),
        disappearances_(disappearances),
        outbox_(outbox),
        toLookAt_(toLookAt) {}

  // Right after the sinks are connected: the first time, takes the pictures silently; later,
  // compares the folders with them, as the sinks were down meanwhile.
  void ListItemsInOutlook();
  // Compares the folders with their pictures, reporting every item gone. Ends silently when
  // Outlook is going away.
  void CheckDeletedItemsInOutlook();
  // Outlook's session ended: what its tables' short-term ids named is forgotten.
  void ForgetOutlooksSession() noexcept { tableReader_.ForgetShortTermIds(); }
  // Whether a pass reads the folders now.
  bool PassUnderWay() const noexcept { return pass_.Now(); }
  // An item seen, with its state: in the journal at once, so that a process ending at any moment
  // leaves it kept, and in the picture at once or, while a pass reads, once the pass is done.
  void TakeEntry(size_t slot, const Entry& entry);
  // The same, the journal's entry written by the caller.
  void JoinPicture(size_t slot, const Entry& entry);
  // The item as last taken: one waiting for a pass to end is newer than the picture's.
  std::optional<Entry> KnownEntry(size_t slot, std::string_view id) const;

private:
  class PassEnd;
  struct WaitingItem {
    size_t slot;
    Entry entry;
  };

  template <class Pass>
  void RunPass(Pass&& pass);
  template <class Pass>
  void RunExclusively(Pass&& pass);
  void CheckOnce();
  void CompareFolders(outlook::DispatchDriver notesFolder);
  void CompareFolder(size_t kind, const outlook::DispatchDriver& folder);
  void Report(size_t kind, size_t slot, const FolderComparison& comparison);
  void TakeWaitingItems();

  outlook::OutlookSession& session_;
  KeptState& kept_;
  StoreSlots& slots_;
  DisappearanceConfirmation& disappearances_;
  Outbox& outbox_;
  LookAtQueue& toLookAt_;
  FolderTableReader tableReader_;
  // COM dispatches Outlook's events while a call to Outlook waits: a check asked for inside a
  // pass runs after it, once.
  WorkUnderWay pass_{"a second pass over the folders, which runs once this one is done"};
  bool checkAgain_ = false;
  // Items the sinks reported while a pass was reading; they join once it is done.
  std::vector<WaitingItem> waitingItems_;
};

}  // namespace orvane::outbound
