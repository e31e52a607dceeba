// KnownStates: the last state of each item the main application already knows, because the
// plug-in wrote it for the main application or a sink reported it there.
#pragma once

#include "outlook/own_writes.h"

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace orvane::outbound {

// An item's state is its EntryID with its LastModificationTime, which Outlook sets anew at every
// save. An event for an item still in a known state is Outlook repeating itself (a late ItemChange)
// or announcing the plug-in's own write: neither is news to the main application.
class KnownStates final : public outlook::OwnWrites {
public:
  // How many items are remembered; the one remembered longest ago is forgotten first.
  static constexpr size_t kCapacity = 1024;

  bool Knows(std::string_view entryId, double lastModified) const;
  // The item's state now known; it replaces the one known before.
  void Remember(std::string_view entryId, double lastModified);
  void NoteOwnWrite(std::string_view entryId, double lastModified) override { Remember(entryId, lastModified); }

  size_t Size() const { return states_.size(); }

private:
  struct State {
    std::string entryId;
    double lastModified;
  };
  std::deque<State> states_;  // the one remembered longest ago first
};

}  // namespace orvane::outbound
