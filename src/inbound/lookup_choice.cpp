#include "inbound/lookup_choice.h"

#include <algorithm>

namespace orvane::inbound {

std::vector<size_t> EarliestCreated(const std::vector<Match>& matches) {
  std::vector<size_t> earliest;
  for (size_t i = 0; i < matches.size(); ++i) {
    if (!earliest.empty()) {
      const double best = matches[earliest.front()].created;
      if (matches[i].created > best) continue;
      if (matches[i].created < best) earliest.clear();
    }
    earliest.push_back(i);
  }
  return earliest;
}

size_t FirstEntryId(const std::vector<std::string>& entryIds) {
  if (entryIds.empty()) return 0;
  return static_cast<size_t>(std::min_element(entryIds.begin(), entryIds.end()) - entryIds.begin());
}

}  // namespace orvane::inbound
