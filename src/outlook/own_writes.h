// OwnWrites: told of every item the plug-in itself saves in Outlook, so that Outlook's events for
// that save are never reported back to the main application as the user's.
#pragma once

#include <string_view>

namespace orvane::outlook {

class OwnWrites {
public:
  // The item known by its EntryID has just been saved by the plug-in, which left it with this
  // LastModificationTime (an OLE Automation date).
  virtual void NoteOwnWrite(std::string_view entryId, double lastModified) = 0;

protected:
  ~OwnWrites() = default;
};

}  // namespace orvane::outlook
