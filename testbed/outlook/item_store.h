// ItemStore: the process-wide store behind every client: the three default folders with their saved
// items, the store's identity, and the ItemsEvents it posts to the Items collections that listen.
// Kept in a file, it holds its items, their EntryIDs and its own id across runs of the server.
#pragma once

#include "base/com_ptr.h"
#include "testbed/outlook/item_data.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
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

class EventWindow;

class ItemStore {
public:
  ItemStore();
  ItemStore(const ItemStore&) = delete;
  ItemStore& operator=(const ItemStore&) = delete;
  ~ItemStore();

  static bool IsDefaultFolder(int32_t folder);
  // The items of a default folder, in the order they were first saved.
  const std::vector<StoredItemPtr>& FolderItems(int32_t folder) const;

  // First save: the item joins its default folder at the end (or in front); ItemAdd is posted
  // unless Outlook would keep quiet (`announced` false). A recurring task saved complete is
  // Outlook's completion of one occurrence: see Change.
  StoredItemPtr Add(const ItemData& data, bool inFront = false, bool announced = true);
  // The saved item with that EntryID in any folder, or null.
  StoredItemPtr Find(const std::wstring& entryId) const;
  // Test hook: once `calls` more calls on the Items collections of the item's folder have been
  // served, the item is added in front of that folder, as a user's save is.
  void AddInFrontAfterItemsCalls(const ItemData& data, int calls);
  // Test hook: once `calls` more calls on the Items collections of its folder have been served, the
  // item is saved again as it is, as a user's save is.
  void SaveAfterItemsCalls(const StoredItemPtr& item, int calls);
  // An Items collection of the folder served a call.
  void CountItemsCall(int32_t folder);
  // Later save: the item takes the new data; ItemChange is posted. A recurring task saved complete
  // stays a series, not complete, moved on to its next occurrence, and a completed copy of the
  // occurrence joins the folder (ItemAdd); with no occurrence left the series itself is complete.
  void Change(const StoredItemPtr& item, const ItemData& data);
  // The short-term EntryID this session gives the item in a table, and the item it opens.
  std::wstring ShortTermId(const StoredItemPtr& item);
  StoredItemPtr FindShortTerm(const std::wstring& id) const;
  // The item leaves its folder; ItemRemove is posted unless Outlook would keep quiet (`announced` false).
  void Remove(const StoredItemPtr& item, bool announced = true);
  // Empties every folder and drops the events not yet raised; the folders read their items again.
  void Clear();

  // Keeps the store in the file from now on: its items, EntryIDs and store id are read from it
  // (a new store when it does not exist yet) and written to it at every change. False when the
  // file cannot be read or written.
  bool KeepIn(const std::wstring& path);
  // Reads the store from the file and writes nothing back, as a store that saves an item by itself
  // rather than the whole store: for measuring the plug-in on a large store. False when the file
  // cannot be read.
  bool LoadFrom(const std::wstring& path);

  // Outlook's StoreID of the store, and the EntryID of a default folder in it.
  std::wstring StoreId() const;
  std::wstring FolderEntryId(int32_t folder) const;

  // The next `times` reads of the folder's Count answer 0 (-1: every read, 0: none).
  void ReadEmpty(int32_t folder, int times);
  // Whether this read of the folder's Count answers 0, spending one such read.
  bool TakeEmptyRead(int32_t folder);

  // A sink unadvised from one of the folder's collections: under EventsAfterUnadvise it still hears
  // the events posted before, as a notification already on its way comes all the same.
  void KeepLateSink(int32_t folder, const ComPtr<IDispatch>& sink);

  void Listen(int32_t folder, ItemsListener* listener);
  void StopListening(int32_t folder, ItemsListener* listener);
  // The event sinks advised on all the folder's collections.
  size_t SinkCount(int32_t folder) const;

  // Events posted and not raised yet.
  size_t PendingEvents() const { return pending_.size(); }
  // Raises every posted event that is due, in the order they happened; the event window calls it.
  void RaiseDueEvents();

private:
  using Clock = std::chrono::steady_clock;
  struct PostedEvent {
    Clock::time_point due;
    int32_t folder;
    ItemsEvent event;
    StoredItemPtr item;
    bool stamps = false;  // a late change: the item gets a new LastModificationTime as it is raised
    uint64_t serial = 0;
  };
  struct LateSink {
    int32_t folder;
    ComPtr<IDispatch> sink;
    uint64_t lastSerial;  // the last event posted before it was unadvised
  };

  void Post(int32_t folder, ItemsEvent event, const StoredItemPtr& item, int afterMs, bool stamps = false);
  StoredItemPtr AddOne(const ItemData& data, bool inFront, bool announced);
  void ChangeOne(const StoredItemPtr& item, const ItemData& data);
  void MoveToEnd(const StoredItemPtr& item);
  void PostSave(int32_t folder, ItemsEvent event, const StoredItemPtr& item);
  void ScheduleNextRaise();
  void ForgetHeardLateSinks();
  void Raise(const PostedEvent& posted);
  std::wstring NewEntryId();
  double NextModificationTime();
  // Writes the store to its file, if it is kept; false when the file could not be written.
  bool Persist() const;
  std::string Image() const;
  bool Load(const std::string& image);

  std::map<int32_t, std::vector<StoredItemPtr>> folders_;
  std::map<int32_t, std::vector<ItemsListener*>> listeners_;
  std::map<int32_t, int> emptyReads_;
  struct LaterAdd {
    ItemData data;
    int callsLeft;
  };
  std::vector<LaterAdd> laterAdds_;
  struct LaterSave {
    StoredItemPtr item;
    int callsLeft;
  };
  std::vector<LaterSave> laterSaves_;
  // EntryIDs name the store and the item: the store's tag, and a serial that never comes twice.
  uint32_t storeTag_;
  uint32_t lastSerial_ = 0;
  // No two saves get the same LastModificationTime (unless it is kept in whole seconds).
  double lastModification_ = 0;
  // Short-term ids given this session, by item; the last one's counter.
  std::map<std::wstring, std::weak_ptr<StoredItem>> shortTermIds_;
  uint32_t lastShortTerm_ = 0;
  std::wstring path_;                 // empty: nothing is kept
  std::vector<PostedEvent> pending_;  // ordered by when they are due
  uint64_t lastPosted_ = 0;
  std::vector<LateSink> lateSinks_;
  std::unique_ptr<EventWindow> eventWindow_;
  bool raising_ = false;
};

// The one store of the process.
ItemStore& Store();

}  // namespace outlook_standin

}  // namespace orvane
