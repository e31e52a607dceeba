// OwnWrites: told of every item the plug-in itself saves in Outlook, so that neither Outlook's
// events for that save nor a comparison of its folder report it back to the main application as the
// user's.
#pragma once

#include "outlook/dispatch_driver.h"

#include <cstdint>

namespace orvane::outlook {

class OwnWrites {
public:
  // What the plug-in's save did: wrote a record's fields, or marked a task complete (the one save
  // after which Outlook's finished copy of a recurring task's occurrence is the plug-in's doing).
  enum class Save { kRecord, kCompletion };

  // The item, of the item kind (a whole-record kind), has just been saved by the plug-in: its
  // state now is what the main application knows of it. Throws AutomationError when the item
  // cannot be read.
  virtual void NoteOwnWrite(const DispatchDriver& item, uint32_t itemKind, Save save) = 0;

protected:
  ~OwnWrites() = default;
};

}  // namespace orvane::outlook
