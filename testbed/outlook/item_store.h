// ItemStore: the process-wide store behind every client: the three default folders with their saved
// items, and the Items collections that listen to them for ItemsEvents.
#pragma once

#include "testbed/outlook/item_data.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace orvane {

namespace outlook_standin {

// One saved item, with its EntryID among its data. Item objects handed to clients are working
// copies of it.
struct StoredItem {
  explicit StoredItem(ItemData saved) : data(std::move(saved)) {}
  ItemData data;
  bool deleted = false;
};

using StoredItemPtr = std::shared_ptr<StoredItem>;

enum class ItemsEvent { Add, Change, Remove };

// What the store tells about a folder's changes; every Items collection of the folder is one.
class ItemsListener {
public:
  // The store holds a listener alive while it tells it of a change.
  virtual void HoldListener() = 0;
  virtual void LetGoListener() = 0;
  virtual void OnItemsEvent(ItemsEvent event, const StoredItemPtr& item) = 0;
  // The event sinks advised on this collection now.
  virtual size_t SinkCount() const = 0;

protected:
  ~ItemsListener() = default;
};

class ItemStore {
public:
  ItemStore();

  static bool IsDefaultFolder(int32_t folder);
  // The items of a default folder, in the order they were first saved.
  const std::vector<StoredItemPtr>& FolderItems(int32_t folder) const;

  // First save: the item joins its default folder at the end; ItemAdd goes to the folder's listeners.
  StoredItemPtr Add(const ItemData& data);
  // Later save: the item takes the new data; ItemChange.
  void Change(const StoredItemPtr& item, const ItemData& data);
  // The item leaves its folder; ItemRemove unless Outlook would keep quiet (`announced` false).
  void Remove(const StoredItemPtr& item, bool announced = true);
  // Empties every folder without raising events; the folders read their items again.
  void Clear();

  // The next `times` reads of the folder's Count answer 0 (-1: every read, 0: none).
  void ReadEmpty(int32_t folder, int times);
  // Whether this read of the folder's Count answers 0, spending one such read.
  bool TakeEmptyRead(int32_t folder);

  void Listen(int32_t folder, ItemsListener* listener);
  void StopListening(int32_t folder, ItemsListener* listener);
  // The event sinks advised on all the folder's collections.
  size_t SinkCount(int32_t folder) const;

private:
  void Raise(int32_t folder, ItemsEvent event, const StoredItemPtr& item);
  std::wstring NewEntryId();

  std::map<int32_t, std::vector<StoredItemPtr>> folders_;
  std::map<int32_t, std::vector<ItemsListener*>> listeners_;
  std::map<int32_t, int> emptyReads_;
  // EntryIDs name the store and the item: the store is this process's, and no serial comes twice.
  uint32_t storeTag_;
  uint32_t lastSerial_ = 0;
};

// The one store of the process.
ItemStore& Store();

}  // namespace outlook_standin

}  // namespace orvane
