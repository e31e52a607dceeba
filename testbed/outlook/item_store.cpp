#include "testbed/outlook/item_store.h"

#include <algorithm>

namespace orvane {

namespace outlook_standin {

ItemStore& Store() {
  static ItemStore store;
  return store;
}

bool ItemStore::IsDefaultFolder(int32_t folder) {
  return folder == outlook::kFolderCalendar || folder == outlook::kFolderNotes || folder == outlook::kFolderTasks;
}

const std::vector<StoredItemPtr>& ItemStore::FolderItems(int32_t folder) const {
  static const std::vector<StoredItemPtr> kNone;
  const auto found = folders_.find(folder);
  return found != folders_.end() ? found->second : kNone;
}

StoredItemPtr ItemStore::Add(const ItemData& data) {
  auto item = std::make_shared<StoredItem>(data);
  const int32_t folder = DefaultFolderOf(data.Kind());
  folders_[folder].push_back(item);
  Raise(folder, ItemsEvent::Add, item);
  return item;
}

void ItemStore::Change(const StoredItemPtr& item, const ItemData& data) {
  item->data = data;
  Raise(DefaultFolderOf(data.Kind()), ItemsEvent::Change, item);
}

void ItemStore::Remove(const StoredItemPtr& item) {
  const int32_t folder = DefaultFolderOf(item->data.Kind());
  auto& items = folders_[folder];
  items.erase(std::remove(items.begin(), items.end(), item), items.end());
  item->deleted = true;
  Raise(folder, ItemsEvent::Remove, item);
}

void ItemStore::Clear() {
  for (auto& [folder, items] : folders_) {
    for (const StoredItemPtr& item : items) item->deleted = true;
  }
  folders_.clear();
}

void ItemStore::Listen(int32_t folder, ItemsListener* listener) { listeners_[folder].push_back(listener); }

size_t ItemStore::SinkCount(int32_t folder) const {
  const auto found = listeners_.find(folder);
  size_t count = 0;
  if (found != listeners_.end()) {
    for (const ItemsListener* listener : found->second) count += listener->SinkCount();
  }
  return count;
}

void ItemStore::StopListening(int32_t folder, ItemsListener* listener) {
  auto& listeners = listeners_[folder];
  listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

void ItemStore::Raise(int32_t folder, ItemsEvent event, const StoredItemPtr& item) {
  // A sink may call back into the store, and even release its collection, while the event is under
  // way: tell a fixed list, each listener held alive until all have heard.
  const std::vector<ItemsListener*> listeners = listeners_[folder];
  for (ItemsListener* listener : listeners) listener->HoldListener();
  for (ItemsListener* listener : listeners) listener->OnItemsEvent(event, item);
  for (ItemsListener* listener : listeners) listener->LetGoListener();
}

}  // namespace outlook_standin

}  // namespace orvane
