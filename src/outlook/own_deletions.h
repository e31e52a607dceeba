// OwnDeletions: told of every item the plug-in itself deletes in Outlook, so that the deletion is
// never reported back to the main application as the user's; and asked what of the user's it is
// yet to report.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvane::outlook {

class OwnDeletions {
public:
  // The item of the kind (task, appointment or note), known by its EntryID, is about to go.
  virtual void NoteOwnDeletion(uint32_t itemKind, std::string_view entryId) = 0;
  // Asked when no item of the kind's folder bears the subject a change record names: whether the
  // user changed or deleted the item the main application knows by it, or by the link id (as
  // ReadLinkId gives it; empty for none), and the main application is yet to be told. So it is
  // when a record of that item waits to go, or the item the plug-in knows by the subject has left
  // the folder or been renamed unseen. A change sent before the main application knew must not
  // make that item anew: told of what the user did, it takes that instead.
  virtual bool UserChangeUntold(uint32_t itemKind, std::string_view subject, std::string_view linkId) = 0;

protected:
  ~OwnDeletions() = default;
};

}  // namespace orvane::outlook
