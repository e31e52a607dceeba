#include "testbed/outlook/item_store.h"

#include "base/base_window.h"
#include "testbed/outlook/model_error.h"
#include "testbed/outlook/outlook_objects.h"
#include "testbed/outlook/standin_behaviour.h"
#include "testbed/outlook/store_file.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvane {

namespace outlook_standin {

namespace {

constexpr UINT kRaiseMessage = WM_APP + 1;
constexpr UINT_PTR kRaiseTimer = 1;
// One millisecond as a part of an OLE date's day.
constexpr double kMillisecond = 1.0 / (24.0 * 60 * 60 * 1000);
constexpr double kSecondsPerDay = 24.0 * 60 * 60;
// Outlook's StoreID and folder EntryIDs are long hexadecimal texts; these are the stand-in's.
constexpr wchar_t kStoreIdHead[] = L"0000000038A1BB1005E5101AA1BB08002B2A56C20000";
constexpr wchar_t kFolderIdMark[] = L"FFFF";

std::wstring Hex8(uint32_t value) {
  std::wstring digits(8, L'0');
  for (size_t i = digits.size(); i-- > 0; value >>= 4) digits[i] = L"0123456789ABCDEF"[value & 0xF];
  return digits;
}

// A tag no other run or store file is likely to have: the moment, the process and the path mixed.
uint32_t NewStoreTag(const std::wstring& path) {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  uint32_t tag = static_cast<uint32_t>(counter.QuadPart) ^ static_cast<uint32_t>(counter.QuadPart >> 32);
  tag ^= GetCurrentProcessId() * 2654435761u ^ GetTickCount();
  for (const wchar_t c : path) tag = (tag ^ c) * 16777619u;
  return tag != 0 ? tag : 1;
}

}  // namespace

Behaviour& Chosen() {
  static Behaviour behaviour;
  return behaviour;
}

// A message-only window on the thread that uses the store: events posted to it are raised from
// that thread's message loop, after the call that caused them has returned.
class EventWindow final : public BaseWindow {
public:
  bool Create() { return CreateWindowOf({"OutlookStandinEvents", "", 0, 0, HWND_MESSAGE, 0, 0, 0, 0}); }

  // Raises the due events once the thread handles its messages again, or after `wait`.
  void RaiseAfter(std::chrono::milliseconds wait) {
    if (wait.count() <= 0) {
      if (!raisePosted_) raisePosted_ = PostMessageA(Window(), kRaiseMessage, 0, 0) != FALSE;
      return;
    }
    SetTimer(Window(), kRaiseTimer, static_cast<UINT>(std::min<long long>(wait.count(), USER_TIMER_MAXIMUM)), nullptr);
  }

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kRaiseMessage) {
      raisePosted_ = false;
    } else if (message == WM_TIMER && wParam == kRaiseTimer) {
      KillTimer(Window(), kRaiseTimer);
    } else {
      return DefaultHandling(message, wParam, lParam);
    }
    Store().RaiseDueEvents();
    return 0;
  }
  const char* ReportName() const noexcept override { return "OutlookStandinEvents"; }

  bool raisePosted_ = false;
};

ItemStore& Store() {
  static ItemStore store;
  return store;
}

ItemStore::ItemStore() : storeTag_(NewStoreTag(L"")) {}
ItemStore::~ItemStore() = default;

// Hexadecimal, as Outlook's: a fixed head, the store, the item's serial.
std::wstring ItemStore::NewEntryId() { return L"00000000" + Hex8(storeTag_) + Hex8(++lastSerial_); }

std::wstring ItemStore::StoreId() const { return kStoreIdHead + Hex8(storeTag_); }

// Longer than an item's, so that no folder id is ever an item's.
std::wstring ItemStore::FolderEntryId(int32_t folder) const {
  return L"00000000" + Hex8(storeTag_) + kFolderIdMark + Hex8(static_cast<uint32_t>(folder));
}

// Now, local time to the millisecond, and always later than the last save's.
// In whole seconds when so chosen: then two saves within a second have the same time.
double ItemStore::NextModificationTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const WORD milliseconds = now.wMilliseconds;
  now.wMilliseconds = 0;
  double date = 0;
  SystemTimeToVariantTime(&now, &date);
  if (Chosen().wholeSecondTimes) {
    // Never before the last save, which may have been kept to the millisecond.
    date = std::max(date, std::floor(lastModification_ * kSecondsPerDay + 1e-4) / kSecondsPerDay);
    lastModification_ = date;
    return date;
  }
  date += milliseconds * kMillisecond;
  if (date < lastModification_ + kMillisecond) date = lastModification_ + kMillisecond;
  lastModification_ = date;
  return date;
}

bool ItemStore::IsDefaultFolder(int32_t folder) {
  return folder == kFolderCalendar || folder == kFolderNotes || folder == kFolderTasks;
}

const std::vector<StoredItemPtr>& ItemStore::FolderItems(int32_t folder) const {
  static const std::vector<StoredItemPtr> kNone;
  const auto found = folders_.find(folder);
  return found != folders_.end() ? found->second : kNone;
}

StoredItemPtr ItemStore::Add(const ItemData& data, bool inFront, bool announced) {
  ItemData series = data;
  std::optional<ItemData> done = series.CompleteOccurrence(Today(), Chosen().copyKeepsRecurrence);
  if (!done) return AddOne(data, inFront, announced);
  AddOne(*done, inFront, announced);
  return AddOne(series, inFront, announced);
}

StoredItemPtr ItemStore::AddOne(const ItemData& data, bool inFront, bool announced) {
  auto item = std::make_shared<StoredItem>(data);
  item->data.AssignEntryId(NewEntryId());
  const double now = NextModificationTime();
  item->data.Stamp(now);
  if (!item->data.HasCreationTime()) item->data.MarkCreated(now);
  const int32_t folder = DefaultFolderOf(data.Kind());
  auto& items = folders_[folder];
  const auto placed = items.insert(inFront ? items.begin() : items.end(), item);
  if (!Persist()) {
    items.erase(placed);
    throw ModelError(kNotSavedMessage);
  }
  if (announced) PostSave(folder, ItemsEvent::Add, item);
  return item;
}

StoredItemPtr ItemStore::Find(const std::wstring& entryId) const {
  for (const auto& [folder, items] : folders_) {
    for (const StoredItemPtr& item : items) {
      if (item->data.Get(kEntryId).AsText() == entryId) return item;
    }
  }
  return nullptr;
}

void ItemStore::AddInFrontAfterItemsCalls(const ItemData& data, int calls) { laterAdds_.push_back({data, calls}); }

void ItemStore::CountItemsCall(int32_t folder) {
  std::vector<ItemData> due;
  for (auto later = laterAdds_.begin(); later != laterAdds_.end();) {
    if (DefaultFolderOf(later->data.Kind()) == folder && --later->callsLeft <= 0) {
      due.push_back(std::move(later->data));
      later = laterAdds_.erase(later);
    } else {
      ++later;
    }
  }
  for (const ItemData& data : due) Add(data, true);
  std::vector<StoredItemPtr> saved;
  for (auto later = laterSaves_.begin(); later != laterSaves_.end();) {
    if (DefaultFolderOf(later->item->data.Kind()) == folder && --later->callsLeft <= 0) {
      saved.push_back(std::move(later->item));
      later = laterSaves_.erase(later);
    } else {
      ++later;
    }
  }
  for (const StoredItemPtr& item : saved) {
    const ItemData data = item->data;
    if (!item->deleted) Change(item, data);
  }
}

void ItemStore::SaveAfterItemsCalls(const StoredItemPtr& item, int calls) { laterSaves_.push_back({item, calls}); }

void ItemStore::Change(const StoredItemPtr& item, const ItemData& data) {
  ItemData series = data;
  std::optional<ItemData> done = series.CompleteOccurrence(Today(), Chosen().copyKeepsRecurrence);
  if (done) AddOne(*done, false, true);
  ChangeOne(item, done ? series : data);
}

std::wstring ItemStore::ShortTermId(const StoredItemPtr& item) {
  for (const auto& [id, given] : shortTermIds_) {
    if (given.lock() == item) return id;
  }
  // The store provider's 16 bytes are those of the StoreID; the last 4 count this session's ids.
  std::wstring id = std::wstring(kShortTermHead) + std::wstring(kStoreIdHead).substr(8, 32) + Hex8(++lastShortTerm_);
  shortTermIds_[id] = item;
  return id;
}

StoredItemPtr ItemStore::FindShortTerm(const std::wstring& id) const {
  for (const auto& [given, item] : shortTermIds_) {
    if (EqualsIgnoringCase(given, id)) return item.lock();
  }
  return nullptr;
}

void ItemStore::ChangeOne(const StoredItemPtr& item, const ItemData& data) {
  ItemData before = std::move(item->data);
  item->data = data;
  item->data.Stamp(NextModificationTime());
  if (!Persist()) {
    item->data = std::move(before);
    throw ModelError(kNotSavedMessage);
  }
  if (Chosen().itemsOrder == Behaviour::ItemsOrder::MovedOnSave) MoveToEnd(item);
  PostSave(DefaultFolderOf(data.Kind()), ItemsEvent::Change, item);
}

// A store that keeps its items in the order they were last saved.
void ItemStore::MoveToEnd(const StoredItemPtr& item) {
  auto& items = folders_[DefaultFolderOf(item->data.Kind())];
  const auto found = std::find(items.begin(), items.end(), item);
  if (found != items.end()) std::rotate(found, found + 1, items.end());
}

void ItemStore::Remove(const StoredItemPtr& item, bool announced) {
  const int32_t folder = DefaultFolderOf(item->data.Kind());
  auto& items = folders_[folder];
  const auto found = std::find(items.begin(), items.end(), item);
  if (found == items.end()) return;
  const auto index = found - items.begin();
  items.erase(found);
  if (!Persist()) {
    items.insert(items.begin() + index, item);
    throw ModelError(kNotSavedMessage);
  }
  item->deleted = true;
  // A Personal Folders file raises none for its last item.
  if (items.empty() && Chosen().noRemoveForLastItem) announced = false;
  if (announced) Post(folder, ItemsEvent::Remove, item, Chosen().eventDelayMs);
}

void ItemStore::Clear() {
  for (auto& [folder, items] : folders_) {
    for (const StoredItemPtr& item : items) item->deleted = true;
  }
  folders_.clear();
  emptyReads_.clear();
  laterAdds_.clear();
  laterSaves_.clear();
  pending_.clear();
  lateSinks_.clear();
  shortTermIds_.clear();
  Persist();
}

bool ItemStore::KeepIn(const std::wstring& path) {
  std::string bytes;
  bool missing = false;
  path_ = path;
  if (ReadWholeFile(path, &bytes, &missing)) return Load(bytes);
  if (!missing) return false;
  storeTag_ = NewStoreTag(path);
  return Persist();
}

bool ItemStore::LoadFrom(const std::wstring& path) {
  std::string bytes;
  bool missing = false;
  return ReadWholeFile(path, &bytes, &missing) && Load(bytes);
}

bool ItemStore::Load(const std::string& image) {
  StoreImage read;
  if (!ReadStoreText(image, &read)) return false;
  folders_.clear();
  for (const ItemImage& kept : read.items) {
    folders_[DefaultFolderOf(kept.kind)].push_back(std::make_shared<StoredItem>(ItemData::FromImage(kept)));
  }
  storeTag_ = read.storeTag;
  lastSerial_ = read.lastSerial;
  lastModification_ = read.lastModification;
  return true;
}

std::string ItemStore::Image() const {
  StoreImage image;
  image.storeTag = storeTag_;
  image.lastSerial = lastSerial_;
  image.lastModification = lastModification_;
  for (const auto& [folder, items] : folders_) {
    for (const StoredItemPtr& item : items) image.items.push_back(item->data.Image());
  }
  return WriteStoreText(image);
}

bool ItemStore::Persist() const { return path_.empty() || ReplaceFile(path_, Image()); }

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

// A save is announced after the call; with late changes on, Outlook changes the item once more a
// while later, as a store does when it has synchronised or processed it.
void ItemStore::PostSave(int32_t folder, ItemsEvent event, const StoredItemPtr& item) {
  const Behaviour& behaviour = Chosen();
  Post(folder, event, item, behaviour.eventDelayMs);
  if (behaviour.lateChangeMs < 0) return;
  for (int late = 1; late <= behaviour.lateChangeCount; ++late) {
    Post(folder, ItemsEvent::Change, item, late * behaviour.lateChangeMs + behaviour.eventDelayMs,
         behaviour.lateChangeStamps);
  }
}

void ItemStore::Post(int32_t folder, ItemsEvent event, const StoredItemPtr& item, int afterMs, bool stamps) {
  const Clock::time_point due = Clock::now() + std::chrono::milliseconds(std::max(0, afterMs));
  // After every event due no later, so that events due together keep the order they happened in.
  const auto place =
      std::upper_bound(pending_.begin(), pending_.end(), due,
                       [](Clock::time_point time, const PostedEvent& posted) { return time < posted.due; });
  pending_.insert(place, {due, folder, event, item, stamps, ++lastPosted_});
  ScheduleNextRaise();
}

void ItemStore::ScheduleNextRaise() {
  if (pending_.empty() || raising_) return;
  if (!eventWindow_) {
    auto window = std::make_unique<EventWindow>();
    if (!window->Create()) return;
    eventWindow_ = std::move(window);
  }
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(pending_.front().due - Clock::now());
  eventWindow_->RaiseAfter(wait);
}

// A sink may save or delete items, and even release its collection, while its event is raised:
// what it causes is posted behind, and raised in this same round when it is due.
void ItemStore::RaiseDueEvents() {
  // A sink in another process lets this thread handle messages while it is called: a raise that
  // starts meanwhile leaves the events to the one under way.
  if (raising_) return;
  raising_ = true;
  while (!pending_.empty() && pending_.front().due <= Clock::now()) {
    const PostedEvent posted = pending_.front();
    pending_.erase(pending_.begin());
    Raise(posted);
  }
  raising_ = false;
  ForgetHeardLateSinks();
  ScheduleNextRaise();
}

void ItemStore::KeepLateSink(int32_t folder, const ComPtr<IDispatch>& sink) {
  if (!Chosen().eventsAfterUnadvise) return;
  lateSinks_.push_back({folder, sink, lastPosted_});
  ForgetHeardLateSinks();
}

// A late sink is let go once every event posted for its folder before it was unadvised is raised.
void ItemStore::ForgetHeardLateSinks() {
  const auto heard = [this](const LateSink& late) {
    return std::none_of(pending_.begin(), pending_.end(), [&](const PostedEvent& posted) {
      return posted.folder == late.folder && posted.serial <= late.lastSerial;
    });
  };
  lateSinks_.erase(std::remove_if(lateSinks_.begin(), lateSinks_.end(), heard), lateSinks_.end());
}

// The event goes to the sinks advised when it is raised, each listener held alive until all have heard.
void ItemStore::Raise(const PostedEvent& posted) {
  if (posted.stamps && !posted.item->deleted) {
    posted.item->data.Stamp(NextModificationTime());
    Persist();
  }
  const std::vector<ItemsListener*> listeners = listeners_[posted.folder];
  for (ItemsListener* listener : listeners) listener->HoldListener();
  for (ItemsListener* listener : listeners) listener->OnItemsEvent(posted.event, posted.item);
  for (ItemsListener* listener : listeners) listener->LetGoListener();
  const std::vector<LateSink> lateSinks = lateSinks_;
  for (const LateSink& late : lateSinks) {
    if (late.folder == posted.folder && posted.serial <= late.lastSerial) {
      DeliverItemsEvent(late.sink.Get(), posted.event, posted.item);
    }
  }
}

}  // namespace outlook_standin

}  // namespace orvane
