// Items: a live view of one default folder, and the source of its ItemsEvents through a standard
// connection point.
#include "testbed/outlook/dispatch_object.h"
#include "testbed/outlook/outlook_objects.h"
#include "testbed/outlook/server_lifetime.h"
#include "testbed/outlook/standin_ids.h"

#include <ocidl.h>
#include <olectl.h>

#include <vector>

namespace orvane {

namespace outlook_standin {
namespace {

using namespace outlook;

constexpr wchar_t kNotFoundMessage[] = L"The attempted operation failed.  An object could not be found.";

struct Connection {
  DWORD cookie;
  ComPtr<IDispatch> sink;
};

// A snapshot of the connections, handed out by EnumConnections.
class ConnectionEnumerator final : public IEnumConnections {
public:
  explicit ConnectionEnumerator(std::vector<Connection> connections, size_t position = 0)
      : connections_(std::move(connections)), position_(position) {
    ServerObjectCreated();
  }
  ConnectionEnumerator(const ConnectionEnumerator&) = delete;
  ConnectionEnumerator& operator=(const ConnectionEnumerator&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IEnumConnections)) return E_NOINTERFACE;
    *object = static_cast<IEnumConnections*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  STDMETHODIMP Next(ULONG wanted, CONNECTDATA* out, ULONG* fetched) override {
    if (!out || (wanted > 1 && !fetched)) return E_POINTER;
    ULONG count = 0;
    for (; count < wanted && position_ < connections_.size(); ++count, ++position_) {
      IDispatch* sink = connections_[position_].sink.Get();
      sink->AddRef();
      out[count].pUnk = sink;
      out[count].dwCookie = connections_[position_].cookie;
    }
    if (fetched) *fetched = count;
    return count == wanted ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const size_t left = connections_.size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumConnections** copy) override {
    if (!copy) return E_POINTER;
    *copy = MakeObject<ConnectionEnumerator>(connections_, position_).Detach();
    return S_OK;
  }

private:
  ~ConnectionEnumerator() { ServerObjectDestroyed(); }

  LONG references_ = 1;
  std::vector<Connection> connections_;
  size_t position_;
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

class Items;

// The connection point of an Items collection: part of it, sharing its reference count.
class EventConnectionPoint : public IConnectionPoint {
public:
  explicit EventConnectionPoint(Items& owner) : owner_(owner) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP GetConnectionInterface(IID* iid) override {
    if (!iid) return E_POINTER;
    *iid = kItemsEventsIid;
    return S_OK;
  }
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    // The sink must be an ItemsEvents dispatch interface, as Outlook asks of it.
    ComPtr<IDispatch> events = ComPtr<IUnknown>::Share(sink).As<IDispatch>(kItemsEventsIid);
    if (!events) return CONNECT_E_CANNOTCONNECT;
    connections_.push_back({++lastCookie_, std::move(events)});
    *cookie = lastCookie_;
    return S_OK;
  }
  STDMETHODIMP Unadvise(DWORD cookie) override { return Drop(cookie) ? S_OK : CONNECT_E_NOCONNECTION; }
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override {
    if (!connections) return E_POINTER;
    *connections = MakeObject<ConnectionEnumerator>(connections_).Detach();
    return S_OK;
  }

  bool HasSinks() const { return !connections_.empty(); }

  // Calls every sink advised now with the event; the item each gets is a fresh working copy.
  void Raise(ItemsEvent event, const StoredItemPtr& item) {
    const std::vector<Connection> connections = connections_;
    for (const Connection& connection : connections) {
      if (SinkHasGone(Deliver(connection.sink.Get(), event, item))) Drop(connection.cookie);
    }
  }

private:
  static HRESULT Deliver(IDispatch* sink, ItemsEvent event, const StoredItemPtr& item) {
    VARIANT argument;
    VariantInit(&argument);
    DISPPARAMS params{};
    ComPtr<IDispatch> copy;
    if (event != ItemsEvent::Remove) {
      copy = NewWorkingCopy(item);
      argument.pdispVal = copy.Get();
      argument.vt = VT_DISPATCH;
      params.rgvarg = &argument;
      params.cArgs = 1;
    }
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT result = sink->Invoke(EventIdOf(event), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                        nullptr, &exception, &badArgument);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return result;
  }

  bool Drop(DWORD cookie) {
    for (auto connection = connections_.begin(); connection != connections_.end(); ++connection) {
      if (connection->cookie == cookie) {
        connections_.erase(connection);
        return true;
      }
    }
    return false;
  }

  Items& owner_;
  std::vector<Connection> connections_;
  DWORD lastCookie_ = 0;
};

class Items : public DispatchObject, public IConnectionPointContainer, public ItemsListener {
public:
  explicit Items(int32_t folder) : DispatchObject(ObjectKind::Items), folder_(folder), point_(*this) {
    Store().Listen(folder_, this);
  }

  // IUnknown through the IDispatch base, for every interface of the object.
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    return DispatchObject::QueryInterface(iid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return DispatchObject::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return DispatchObject::Release(); }

  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override {
    if (points) *points = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (!IsEqualIID(iid, kItemsEventsIid)) return CONNECT_E_NOCONNECTION;
    *point = &point_;
    point_.AddRef();
    return S_OK;
  }

  void HoldListener() override { AddRef(); }
  void LetGoListener() override { Release(); }
  void OnItemsEvent(ItemsEvent event, const StoredItemPtr& item) override {
    if (point_.HasSinks()) point_.Raise(event, item);
  }

protected:
  ~Items() override { Store().StopListening(folder_, this); }

  void* OtherInterface(REFIID iid) override {
    return IsEqualIID(iid, IID_IConnectionPointContainer) ? static_cast<IConnectionPointContainer*>(this) : nullptr;
  }

  // DISPID_VALUE is Item, the collection's default member.
  const Member* Lookup(DISPID id) const override { return DispatchObject::Lookup(id == DISPID_VALUE ? kItem : id); }
  using DispatchObject::Lookup;

  void Serve(const Member& member, CallKind, const Arguments& args, VARIANT* result) override {
    const std::vector<StoredItemPtr>& items = Store().FolderItems(folder_);
    if (member.id == kCount) {
      args.Expect(0, 0);
      ReturnValue(Value::Int32(static_cast<int32_t>(items.size())), result);
      return;
    }
    args.Expect(1, 1);
    ReturnObject(NewWorkingCopy(Find(items, args)).Get(), result);
  }

private:
  // Item(index), 1-based; or Item(text), the first item whose subject is the text.
  static StoredItemPtr Find(const std::vector<StoredItemPtr>& items, const Arguments& args) {
    const VARTYPE type = static_cast<VARTYPE>(args.At(0).vt & ~VT_BYREF);
    if (type == VT_BSTR) {
      const std::wstring subject = args.Get(0, ValueType::Text).AsText();
      for (const StoredItemPtr& item : items) {
        if (EqualsIgnoringCase(SubjectOf(*item), subject)) return item;
      }
      throw ModelError(kNotFoundMessage, E_FAIL);
    }
    const int32_t index = args.Get(0, ValueType::Int32).AsInt32();
    if (index < 1 || static_cast<size_t>(index) > items.size())
      throw ModelError(kIndexOutOfBoundsMessage, DISP_E_BADINDEX);
    return items[static_cast<size_t>(index) - 1];
  }

  static std::wstring SubjectOf(const StoredItem& item) {
    return item.data.Get(item.data.Kind() == ItemKind::Note ? kNoteSubject : kSubject).AsText();
  }

  int32_t folder_;
  EventConnectionPoint point_;
};

STDMETHODIMP EventConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint)) return E_NOINTERFACE;
  *object = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) EventConnectionPoint::AddRef() { return owner_.AddRef(); }
STDMETHODIMP_(ULONG) EventConnectionPoint::Release() { return owner_.Release(); }

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = &owner_;
  owner_.AddRef();
  return S_OK;
}

}  // namespace

ComPtr<IDispatch> NewItems(int32_t folder) { return MakeDispatch<Items>(folder); }

}  // namespace outlook_standin

}  // namespace orvane
