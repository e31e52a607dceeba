// OwnDeletions: told of every item the plug-in itself deletes in Outlook, so that the deletion is
// never reported back to the main application as the user's.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvane::outlook {

class OwnDeletions {
public:
  // The item of the kind (task, appointment or note), known by its EntryID, is about to go.
  virtual void NoteOwnDeletion(uint32_t itemKind, std::string_view entryId) = 0;

protected:
  ~OwnDeletions() = default;
};

}  // namespace orvane::outlook
