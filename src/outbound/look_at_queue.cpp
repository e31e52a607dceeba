#include "outbound/look_at_queue.h"

#include <utility>

namespace orvane::outbound {

void LookAtQueue::Push(size_t kind, size_t slot, const std::vector<ReadItem>& items) {
  for (const ReadItem& item : items) {
    if (queued_.insert(KeyOf(slot, item.id)).second) items_.push_back({kind, slot, item.id});
  }
}

std::optional<LookAtQueue::Item> LookAtQueue::Pop() {
  if (items_.empty()) return std::nullopt;
  Item next = std::move(items_.front());
  items_.pop_front();
  queued_.erase(KeyOf(next.slot, next.id));
  return next;
}

}  // namespace orvane::outbound
