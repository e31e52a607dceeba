// Which of several items that bear the subject sought a command acts on, whatever order the store
// keeps its rows in: the one created earliest, and of those created at the same moment the one
// whose EntryID comes first.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace orvane::inbound {

// An item that bears the subject sought, as a folder's table gave it.
struct Match {
  std::string id;  // the id the table gave, to open the item by
  double created;  // CreationTime, an OLE Automation date
};

// The positions in `matches` of those created earliest: one, or several created at the same
// moment, in the order given; none for no matches.
std::vector<size_t> EarliestCreated(const std::vector<Match>& matches);

// The position of the EntryID whose text comes first in byte order; 0 for no ids.
size_t FirstEntryId(const std::vector<std::string>& entryIds);

}  // namespace orvane::inbound
