// OwnDeletions: told of every item the plug-in itself deletes in Outlook, so that the deletion is
// never reported back to the main application as the user's; and of every item a change makes
// anew in place of one the user deleted meanwhile.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvane::outlook {

class OwnDeletions {
public:
  // The item of the kind (task, appointment or note), known by its EntryID, is about to go.
  virtual void NoteOwnDeletion(uint32_t itemKind, std::string_view entryId) = 0;
  // Whether the deletion of an item of the kind that the main application knows by the subject
  // waits to be reported: the main application will delete its item, so a change it sent before
  // it knew must not make the item anew.
  virtual bool DeletionWaits(uint32_t itemKind, std::string_view subject) = 0;
  // A change made its item of the kind anew, finding none by the subject: the items the main
  // application knows by it that have left the folder since it last looked are not reported
  // gone, since the new one stands for them.
  virtual void NoteMadeAnew(uint32_t itemKind, std::string_view subject) = 0;

protected:
  ~OwnDeletions() = default;
};

}  // namespace orvane::outlook
