// Items: a live view of one default folder, and the source of its ItemsEvents through a standard
// connection point.
#include "base/callback_guard.h"
#include "testbed/outlook/dispatch_object.h"
#include "testbed/outlook/outlook_objects.h"
#include "testbed/outlook/standin_behaviour.h"
#include "testbed/outlook/standin_ids.h"

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <vector>

namespace orvane {

namespace outlook_standin {
namespace {

constexpr wchar_t kNotFoundMessage[] = L"The attempted operation failed.  An object could not be found.";

struct Connection {
  DWORD cookie;
  ComPtr<IDispatch> sink;
};

// Whether a sink's call failed because its process has gone: such a sink is dropped.
bool SinkHasGone(HRESULT result) {
  return result == RPC_E_DISCONNECTED || result == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
         result == RPC_E_SERVER_DIED || result == RPC_E_SERVER_DIED_DNE || result == CO_E_OBJNOTCONNECTED ||
         result == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED);
}

DispId EventIdOf(ItemsEvent event) {
  switch (event) {
    case ItemsEvent::Add: return kItemAdd;
    case ItemsEvent::Change: return kItemChange;
    case ItemsEvent::Remove: break;
  }
  return kItemRemove;
}

}  // namespace

// Calls one sink with the event; the item it gets is a fresh working copy. A session at its limit
// of open items cannot open the item the event names: the event is lost.
HRESULT DeliverItemsEvent(IDispatch* sink, ItemsEvent event, const StoredItemPtr& item) {
  VARIANT argument;
  VariantInit(&argument);
  DISPPARAMS params{};
  ComPtr<IDispatch> copy;
  if (event != ItemsEvent::Remove) {
    if (!CanOpenItem()) return S_OK;
    copy = NewWorkingCopy(item);
    argument.pdispVal = copy.Get();
    argument.vt = VT_DISPATCH;
    params.rgvarg = &argument;
    params.cArgs = 1;
  }
  outlook::ExcepInfo exception;
  UINT badArgument = 0;
  return sink->Invoke(EventIdOf(event), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                      exception.Receive(), &badArgument);
}

namespace {

class Items final : public DispatchObject<IConnectionPointContainer>, public ItemsListener {
public:
  explicit Items(int32_t folder) : DispatchObject(ObjectKind::Items), folder_(folder) { Store().Listen(folder_, this); }

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) noexcept override {
    if (points) *points = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) noexcept override;

  // The connection point's work: the sinks live here, as long as the collection.
  HRESULT Advise(IUnknown* sink, DWORD* cookie) {
    // The sink must be an ItemsEvents dispatch interface, as Outlook asks of it.
    ComPtr<IDispatch> events = ComPtr<IUnknown>::Share(sink).AsDispInterface(kItemsEventsIid);
    if (!events) return CONNECT_E_CANNOTCONNECT;
    connections_.push_back({lastCookie_ + 1, std::move(events)});
    *cookie = ++lastCookie_;
    return S_OK;
  }
  // The sink of the connection dropped; null when there was none of that cookie.
  ComPtr<IDispatch> Drop(DWORD cookie) {
    const auto found = std::find_if(connections_.begin(), connections_.end(),
                                    [cookie](const Connection& connection) { return connection.cookie == cookie; });
    if (found == connections_.end()) return nullptr;
    ComPtr<IDispatch> sink = std::move(found->sink);
    connections_.erase(found);
    return sink;
  }
  // Unadvise: a notification already on its way may still reach the sink.
  bool Unadvise(DWORD cookie) {
    const ComPtr<IDispatch> sink = Drop(cookie);
    if (!sink) return false;
    Store().KeepLateSink(folder_, sink);
    return true;
  }

  void HoldListener() override { AddRef(); }
  void LetGoListener() override { Release(); }
  // Every sink advised now hears the event; one whose process has gone is dropped.
  void OnItemsEvent(ItemsEvent event, const StoredItemPtr& item) override {
    const std::vector<Connection> connections = connections_;
    for (const Connection& connection : connections) {
      if (SinkHasGone(DeliverItemsEvent(connection.sink.Get(), event, item))) Drop(connection.cookie);
    }
  }
  size_t SinkCount() const override { return connections_.size(); }

protected:
  ~Items() override { Store().StopListening(folder_, this); }

  // DISPID_VALUE is Item, the collection's default member.
  const Member* Lookup(DISPID id) const override { return MemberServer::Lookup(id == DISPID_VALUE ? kItem : id); }
  using MemberServer::Lookup;

  void Serve(const Member& member, CallKind, const Arguments& args, VARIANT* result) override {
    ServeCall(member, args, result);
    Store().CountItemsCall(folder_);
  }

private:
  void ServeCall(const Member& member, const Arguments& args, VARIANT* result) const {
    const std::vector<StoredItemPtr>& items = Store().FolderItems(folder_);
    if (member.id == kCount) {
      args.Expect(0, 0);
      const size_t count = Store().TakeEmptyRead(folder_) ? 0 : items.size();
      ReturnValue(Value::Int32(static_cast<int32_t>(count)), result);
      return;
    }
    args.Expect(1, 1);
    ReturnObject(NewWorkingCopy(Find(items, args)).Get(), result);
  }

  // Item(index), 1-based; or Item(text), the first item whose subject is the text. An offline
  // store gives the items in the reverse of the order they were saved in.
  static StoredItemPtr Find(const std::vector<StoredItemPtr>& items, const Arguments& args) {
    const bool reverse = Chosen().itemsOrder == Behaviour::ItemsOrder::Reverse;
    const VARTYPE type = static_cast<VARTYPE>(args.At(0).vt & ~VT_BYREF);
    if (type == VT_BSTR) {
      const std::wstring subject = args.Get(0, ValueType::Text).AsText();
      const auto named = [&](const StoredItemPtr& item) { return EqualsIgnoringCase(SubjectOf(*item), subject); };
      if (reverse) {
        const auto found = std::find_if(items.rbegin(), items.rend(), named);
        if (found != items.rend()) return *found;
      } else {
        const auto found = std::find_if(items.begin(), items.end(), named);
        if (found != items.end()) return *found;
      }
      throw ModelError(kNotFoundMessage, E_FAIL);
    }
    const int32_t index = args.Get(0, ValueType::Int32).AsInt32();
    if (index < 1 || static_cast<size_t>(index) > items.size())
      throw ModelError(kIndexOutOfBoundsMessage, DISP_E_BADINDEX);
    return reverse ? items[items.size() - static_cast<size_t>(index)] : items[static_cast<size_t>(index) - 1];
  }

  static std::wstring SubjectOf(const StoredItem& item) {
    return item.data.Get(item.data.Kind() == ItemKind::Note ? kNoteSubject : kSubject).AsText();
  }

  int32_t folder_;
  std::vector<Connection> connections_;
  DWORD lastCookie_ = 0;
};

// The ItemsEvents connection point of one collection; it keeps the collection alive while a
// client holds it.
class ItemsConnectionPoint final : public ComObject<IConnectionPoint> {
public:
  explicit ItemsConnectionPoint(ComPtr<Items> owner) : owner_(std::move(owner)) {}

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override {
    if (!iid) return E_POINTER;
    *iid = kItemsEventsIid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) noexcept override {
    if (!container) return E_POINTER;
    *container = owner_.Get();
    owner_->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    return GuardedComMethod("IConnectionPoint::Advise", nullptr, [&] { return owner_->Advise(sink, cookie); });
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override {
    return owner_->Unadvise(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
  }
  // The plug-in never lists the sinks; enumerating them is optional in the protocol.
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) noexcept override {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
  }

private:
  ComPtr<Items> owner_;
};

HRESULT STDMETHODCALLTYPE Items::FindConnectionPoint(REFIID iid, IConnectionPoint** point) noexcept {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(iid, kItemsEventsIid)) return CONNECT_E_NOCONNECTION;
  return GuardedComMethod("IConnectionPointContainer::FindConnectionPoint", nullptr, [&] {
    *point = MakeObject<ItemsConnectionPoint>(ComPtr<Items>::Share(this)).Detach();
    return S_OK;
  });
}

}  // namespace

ComPtr<IDispatch> NewItems(int32_t folder) { return MakeDispatch<Items>(folder); }

}  // namespace outlook_standin

}  // namespace orvane
