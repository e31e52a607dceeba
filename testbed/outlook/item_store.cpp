#include "testbed/outlook/item_store.h"

#include <windows.h>

#include <algorithm>

namespace orvane {

namespace outlook_standin {

namespace {

std::wstring Hex8(uint32_t value) {
  std::wstring digits(8, L'0');
  for (size_t i = digits.size(); i-- > 0; value >>= 4) digits[i] = L"0123456789ABCDEF"[value & 0xF];
  return digits;
}

}  // namespace

ItemStore& Store() {
  static ItemStore store;
  return store;
}

// A store of another run of the server has another tag, so its ids never meet this one's.
ItemStore::ItemStore() : storeTag_(GetCurrentProcessId() * 2654435761u ^ GetTickCount()) {}

// Hexadecimal, as Outlook's: a fixed head, the store, the item's serial.
std::wstring ItemStore::NewEntryId() { return L"00000000" + Hex8(storeTag_) + Hex8(++lastSerial_); }

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
  item->data.AssignEntryId(NewEntryId());
  const int32_t folder = DefaultFolderOf(data.Kind());
  folders_[folder].push_back(item);
  Raise(folder, ItemsEvent::Add, item);
  return item;
}

void ItemStore::Change(const StoredItemPtr& item, const ItemData& data) {
  item->data = data;
  Raise(DefaultFolderOf(data.Kind()), ItemsEvent::Change, item);
}

void ItemStore::Remove(const StoredItemPtr& item, bool announced) {
  const int32_t folder = DefaultFolderOf(item->data.Kind());
  auto& items = folders_[folder];
  items.erase(std::remove(items.begin(), items.end(), item), items.end());
  item->deleted = true;
  if (announced) Raise(folder, ItemsEvent::Remove, item);
}

void ItemStore::Clear() {
  for (auto& [folder, items] : folders_) {
    for (const StoredItemPtr& item : items) item->deleted = true;
  }
  folders_.clear();
  emptyReads_.clear();
}

void ItemStore::ReadEmpty(int32_t folder, int times) { emptyReads_[folder] = times; }

bool ItemStore::TakeEmptyRead(int32_t folder) {
  int& remaining = emptyReads_[folder];
  if (remaining == 0) return false;
  if (remaining > 0) --remaining;
  return true;
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
