#include "testbed/outlook/standin_control.h"

#include "testbed/outlook/class_factory.h"
#include "testbed/outlook/item_store.h"
#include "testbed/outlook/outlook_objects.h"
#include "testbed/outlook/registration.h"
#include "testbed/outlook/standin_behaviour.h"
#include "testbed/outlook/standin_ids.h"

#include <algorithm>
#include <stdexcept>

namespace orvane {

namespace outlook_standin {
namespace {

bool inProcessServed = false;
void (*quitHandler)() = nullptr;

const StoredItemPtr& ItemAt(int32_t folder, int index) {
  const std::vector<StoredItemPtr>& items = Store().FolderItems(folder);
  if (index < 1 || static_cast<size_t>(index) > items.size()) throw std::invalid_argument("no item at that index");
  return items[static_cast<size_t>(index) - 1];
}

// Writes the properties as a client would, through Outlook's rules for each one.
void Apply(ItemData& data, const PropertyList& properties) {
  for (const auto& [id, value] : properties) {
    const Member* member = FindMember(ObjectKindOf(data.Kind()), id);
    if (!member || member->access != Access::GetPut || member->type != value.Type()) {
      throw std::invalid_argument("not a writable property of this kind, or not of its type");
    }
    if (!data.Put(id, value, Today()).empty()) throw std::invalid_argument("the value is refused");
  }
}

// false for the default word, true for the other; any other word is refused.
bool ChoiceOf(std::wstring_view word, const wchar_t* byDefault, const wchar_t* other) {
  if (EqualsIgnoringCase(word, byDefault)) return false;
  if (EqualsIgnoringCase(word, other)) return true;
  throw std::invalid_argument("not a choice of this control");
}

}  // namespace

void FailCall(ObjectKind object, DispId id, CallKind call, const std::wstring& message, int times, HRESULT code) {
  FaultRule rule;
  rule.object = object;
  rule.id = id;
  rule.call = call;
  rule.message = message;
  rule.remaining = times;
  rule.code = code;
  Ledger().AddFault(rule);
}

void FailCall(DispId id, CallKind call, const std::wstring& message, int times) {
  FailCall(ObjectKind::Any, id, call, message, times);
}

void ClearFailures() { Ledger().ClearFaults(); }
void HideMember(ObjectKind object, DispId id, bool hidden) { Ledger().Hide(object, id, hidden); }
void RefuseCreation(int times, HRESULT result) { Ledger().RefuseCreation(times, result); }
long CallCount(DispId id) { return Ledger().CountOf(id); }
long CallCount(ObjectKind object, DispId id, CallKind call) { return Ledger().CountOf(object, id, call); }
long TotalCalls() { return Ledger().Total(); }
void ResetCallCounts() { Ledger().ResetCounts(); }
int LogonCount() { return Ledger().LogonCount(); }
std::vector<LogonArgument> LastLogonArguments() { return Ledger().LastLogon(); }

void ResetStore() {
  Store().Clear();
  Ledger().Reset();
  Chosen() = Behaviour{};
}

size_t SinkCount(int32_t folder) { return Store().SinkCount(folder); }

std::vector<ItemData> FolderItems(int32_t folder) {
  std::vector<ItemData> items;
  for (const StoredItemPtr& item : Store().FolderItems(folder)) items.push_back(item->data);
  return items;
}

void AddItem(ItemKind kind, const PropertyList& properties) {
  ItemData data = NewItemData(kind);
  Apply(data, properties);
  Store().Add(data);
}

void AddItems(ItemKind kind, const std::vector<PropertyList>& items) {
  std::vector<ItemData> added;
  for (const PropertyList& properties : items) {
    added.push_back(NewItemData(kind));
    Apply(added.back(), properties);
  }
  const int most = Chosen().bulkAddLimit;
  const bool announced = most < 0 || added.size() <= static_cast<size_t>(most);
  for (const ItemData& data : added) Store().Add(data, false, announced);
}

void AddItemCreatedAt(ItemKind kind, const PropertyList& properties, double created) {
  ItemData data = NewItemData(kind);
  Apply(data, properties);
  data.MarkCreated(created);
  Store().Add(data);
}

void AddItemInFrontAfterItemsCalls(ItemKind kind, const PropertyList& properties, int itemsCalls) {
  ItemData data = NewItemData(kind);
  Apply(data, properties);
  Store().AddInFrontAfterItemsCalls(data, itemsCalls);
}

void SaveItemAfterItemsCalls(int32_t folder, int index, int itemsCalls) {
  Store().SaveAfterItemsCalls(ItemAt(folder, index), itemsCalls);
}

void ChangeItem(int32_t folder, int index, const PropertyList& properties) {
  const StoredItemPtr item = ItemAt(folder, index);
  ItemData data = item->data;
  Apply(data, properties);
  Store().Change(item, data);
}

void SetItemCodepage(int32_t folder, int index, int32_t codepage) {
  const StoredItemPtr item = ItemAt(folder, index);
  if (item->data.Kind() == ItemKind::Note) throw std::invalid_argument("a note has no code page");
  ItemData data = item->data;
  data.Put(kInternetCodepage, Value::Int32(codepage), Today());
  Store().Change(item, data);
}

void RemoveItem(int32_t folder, int index) {
  const StoredItemPtr item = ItemAt(folder, index);
  Store().Remove(item);
}

void RemoveItemsWithoutEvents(int32_t folder, int index, int count) {
  if (count < 0) throw std::invalid_argument("a negative count");
  std::vector<StoredItemPtr> items;
  for (int offset = 0; offset < count; ++offset) items.push_back(ItemAt(folder, index + offset));
  for (const StoredItemPtr& item : items) Store().Remove(item, false);
}

void ReadFolderEmpty(int32_t folder, int times) { Store().ReadEmpty(folder, times); }

void EventDelay(int milliseconds) { Chosen().eventDelayMs = std::max(0, milliseconds); }
void LateChange(int milliseconds, int count, bool newTime) {
  Behaviour& chosen = Chosen();
  chosen.lateChangeMs = milliseconds < 0 ? -1 : milliseconds;
  chosen.lateChangeCount = std::max(0, count);
  chosen.lateChangeStamps = newTime;
}
void BulkAdd(int most) { Chosen().bulkAddLimit = most < 0 ? -1 : most; }
void TimePrecision(std::wstring_view precision) {
  Chosen().wholeSecondTimes = ChoiceOf(precision, L"milliseconds", L"seconds");
}
void DefaultCodepage(int32_t codepage) { Chosen().defaultCodepage = codepage; }
void Guard(std::wstring_view mode, int minutes) {
  Behaviour::Guard guard = Behaviour::Guard::Off;
  if (EqualsIgnoringCase(mode, L"allow")) {
    guard = Behaviour::Guard::Allow;
  } else if (EqualsIgnoringCase(mode, L"deny")) {
    guard = Behaviour::Guard::Deny;
  } else if (EqualsIgnoringCase(mode, L"allow-for")) {
    if (minutes < 1) throw std::invalid_argument("allow-for takes its minutes");
    guard = Behaviour::Guard::AllowFor;
  } else if (!EqualsIgnoringCase(mode, L"off")) {
    throw std::invalid_argument("not a choice of this control");
  }
  Behaviour& chosen = Chosen();
  chosen.guard = guard;
  chosen.guardMinutes = minutes;
  chosen.guardAllowedUntil = 0;
}
long GuardPrompts() { return Chosen().guardPrompts; }
void PassGuardTime(int minutes) {
  unsigned long long& until = Chosen().guardAllowedUntil;
  const unsigned long long passed = static_cast<unsigned long long>(std::max(0, minutes)) * 60 * 1000;
  until = until > passed ? until - passed : 0;
}
void CopyKeepsRecurrence(bool keeps) { Chosen().copyKeepsRecurrence = keeps; }
void ItemsOrder(std::wstring_view order) {
  Behaviour::ItemsOrder chosen = Behaviour::ItemsOrder::Saved;
  if (EqualsIgnoringCase(order, L"reverse")) {
    chosen = Behaviour::ItemsOrder::Reverse;
  } else if (EqualsIgnoringCase(order, L"moved-on-save")) {
    chosen = Behaviour::ItemsOrder::MovedOnSave;
  } else if (!EqualsIgnoringCase(order, L"saved")) {
    throw std::invalid_argument("not a choice of this control");
  }
  Chosen().itemsOrder = chosen;
}
void OpenItemLimit(int most) { Chosen().openItemLimit = std::max(0, most); }
size_t OpenItems() { return OpenItemCount(); }
void NoRemoveForLastItem(bool silent) { Chosen().noRemoveForLastItem = silent; }
void EventsAfterUnadvise(bool late) { Chosen().eventsAfterUnadvise = late; }
size_t PendingEvents() { return Store().PendingEvents(); }

bool PumpMessagesUntil(const std::function<bool()>& done, Milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    const auto left = std::chrono::duration_cast<Milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 50)),
                              QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

bool RaisePostedEvents(Milliseconds timeout) {
  return PumpMessagesUntil([] { return Store().PendingEvents() == 0; }, timeout);
}

void TableIds(std::wstring_view form) { Chosen().shortTermTableIds = ChoiceOf(form, L"long-term", L"short-term"); }
void TableOrder(std::wstring_view order) { Chosen().columnsFirst = ChoiceOf(order, L"rows-first", L"columns-first"); }
void TableRowCountSlack(int rows) { Chosen().rowCountSlack = rows; }
void TableStrictMaxRows(bool strict) { Chosen().strictMaxRows = strict; }
void RowCountFails(bool fails) { Chosen().rowCountFails = fails; }
void TableTextBytes(int bytes) { Chosen().tableTextBytes = std::max(0, bytes); }

ComPtr<IDispatch> CreateApplication() { return NewApplication(); }

InProcessServer::InProcessServer() {
  if (inProcessServed) return;
  result_ = EnsureApplicationProgId();
  if (FAILED(result_)) return;
  registration_ =
      ClassRegistration(kApplicationClsid, NewApplicationFactory().Get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE);
  result_ = registration_.Result();
  inProcessServed = registration_.Ok();
}

InProcessServer::~InProcessServer() {
  if (registration_.Ok()) inProcessServed = false;
}

void RequestQuit() {
  if (quitHandler) quitHandler();
}

void SetQuitHandler(void (*handler)()) { quitHandler = handler; }

}  // namespace outlook_standin

}  // namespace orvane
