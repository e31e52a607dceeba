// NewsWatch: what of an item is news to the main application. Every item an event announces, or a
// comparison finds appeared or in a new state, is read as its record is built and told to the main
// application only when that record is not the one it knows. The plug-in's own saves are known by
// the record they make, its own deletions are not reported, Outlook's copy of an occurrence the
// plug-in finished is not the user's, and no copy keeps its series' link id.
#pragma once

#include "base/work_scope.h"
#include "items/item_kinds.h"
#include "outbound/folder_comparer.h"
#include "outbound/item_records.h"
#include "outbound/kept_state.h"
#include "outbound/later_box.h"
#include "outbound/look_at_queue.h"
#include "outbound/outbox.h"
#include "outbound/store_slots.h"
#include "outlook/dispatch_driver.h"
#include "outlook/outlook_session.h"
#include "outlook/own_deletions.h"
#include "outlook/own_writes.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::outbound {

class NewsWatch final : public outlook::OwnDeletions, public outlook::OwnWrites {
public:
  NewsWatch(outlook::OutlookSession& session, KeptState& kept, StoreSlots& slots, FolderComparer& comparer,
            Outbox& outbox, LookAtQueue& toLookAt) noexcept
      : session_(session), kept_(kept), slots_(slots), comparer_(comparer), outbox_(outbox), toLookAt_(toLookAt) {}

  // How an item came to be looked at: an event's ItemAdd or ItemChange, or a comparison that found
  // it appeared or in a new state.
  enum class Seen { kAdded, kChanged, kCompared };
  // The item as it is now, of the folder of the item kind. Its record goes to the main application
  // when it is news there: an item the picture does not know as a new item (as a changed one for
  // an ItemChange before the folder's first read), a known one whose record now differs from the
  // one the main application knows as a changed item, with its link id. An item without a subject
  // is never reported. Either way the item joins the picture with its state. Throws
  // AutomationError.
  void LookAtItem(const items::ItemKind& kind, const outlook::DispatchDriver& item, Seen seen, LaterBoxes* boxes);
  // Looks at the items the comparisons found, opening each by its id, for about `budgetMs` at
  // most; answers whether some still wait. An item that cannot be opened any more is left to the
  // next comparison. Throws AutomationError when Outlook's server is gone.
  bool LookAtWaitingItems(DWORD budgetMs, LaterBoxes& boxes);
  size_t ItemsToLookAt() const noexcept { return toLookAt_.Size(); }
  // An item of the kind that the plug-in deletes for the main application: not reported.
  void NoteOwnDeletion(uint32_t itemKind, std::string_view id) override;
  // A record found while a command waits stays in the outbox until the command is performed.
  bool UserChangeUntold(uint32_t itemKind, std::string_view subject, std::string_view linkId) override;
  // An item of the kind that the plug-in saved for the main application: its state is known there.
  // A recurring task the plug-in completed may be followed by Outlook's finished copy of its
  // occurrence, which is then the main application's doing too.
  void NoteOwnWrite(const outlook::DispatchDriver& item, uint32_t itemKind, Save save) override;

private:
  // A recurring task the plug-in completed: Outlook may add a finished copy of its occurrence.
  struct ExpectedCopy {
    size_t slot;
    std::string subject;
    DWORD since;
  };
  bool TakeExpectedCopy(size_t slot, const ItemValues& values);
  // A new finished task that carries the link id of another item of its folder with its subject
  // is Outlook's copy of that series' occurrence: its link id is set to 0, as the plug-in's own
  // save. `taken` is the item's entry as the picture now has it.
  void DropInheritedLink(const items::ItemKind& kind, const outlook::DispatchDriver& item, const ItemValues& values,
                         size_t slot, const Entry& taken);
  bool AnotherItemCarries(size_t slot, const Entry& taken, const std::string& linkId, const items::ItemKind& kind);

  outlook::OutlookSession& session_;
  KeptState& kept_;
  StoreSlots& slots_;
  FolderComparer& comparer_;
  Outbox& outbox_;
  LookAtQueue& toLookAt_;
  std::vector<ExpectedCopy> expectedCopies_;
  WorkUnderWay looking_{"a second look at the waiting items, which the look under way goes on with"};
};

}  // namespace orvane::outbound
