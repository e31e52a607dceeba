// LookAtQueue: the items the comparisons found appeared or in a new state, each once, waiting to
// be opened and looked at a portion at a time.
#pragma once

#include "outbound/item_picture.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace orvane::outbound {

class LookAtQueue {
public:
  struct Item {
    size_t kind;
    size_t slot;
    std::string id;
  };

  // Each item once, however many comparisons find it before it is looked at.
  void Push(size_t kind, size_t slot, const std::vector<ReadItem>& items);
  std::optional<Item> Pop();
  size_t Size() const noexcept { return items_.size(); }

private:
  static std::string KeyOf(size_t slot, const std::string& id) { return std::to_string(slot) + ' ' + id; }

  std::deque<Item> items_;
  std::unordered_set<std::string> queued_;
};

}  // namespace orvane::outbound
