#include "outbound/known_states.h"

#include <algorithm>

namespace orvane::outbound {

bool KnownStates::Knows(std::string_view entryId, double lastModified) const {
  // An item without an id cannot be told from another.
  if (entryId.empty()) return false;
  return std::any_of(states_.begin(), states_.end(), [&](const State& state) {
    return state.entryId == entryId && state.lastModified == lastModified;
  });
}

void KnownStates::Remember(std::string_view entryId, double lastModified) {
  if (entryId.empty()) return;
  const auto known =
      std::find_if(states_.begin(), states_.end(), [&](const State& state) { return state.entryId == entryId; });
  if (known != states_.end()) states_.erase(known);
  states_.push_back({std::string(entryId), lastModified});
  if (states_.size() > kCapacity) states_.pop_front();
}

}  // namespace orvane::outbound
