#include "testbed/outlook/interface_pins.h"

#include "base/com_object.h"

#include <ocidl.h>

namespace orvane {

namespace outlook_standin {
namespace {

// Every interface a client reaches the stand-in's objects through (IUnknown aside), on an object
// of no use but to be marshalled: it answers nothing and holds no use of the server, which still
// ends when its last client lets go.
class Placeholder final : public ComObject<IDispatch, IConnectionPointContainer, IConnectionPoint, IClassFactory> {
public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID, IConnectionPoint**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown*, DWORD*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) noexcept override { return E_NOTIMPL; }
};

const IID* const kServed[] = {&IID_IUnknown, &IID_IDispatch, &IID_IConnectionPointContainer, &IID_IConnectionPoint,
                              &IID_IClassFactory};

}  // namespace

// Wine's COM registers an interface with its RPC runtime while a stub of it exists, and when the
// last stub of one goes (its object's last client let go) it unregisters the interface on the
// thread that let go, waiting there for every call of that interface under way to end. In a
// single-threaded server those calls wait for that same thread, and the server stops answering
// for good. A table-strong marshal keeps one stub of each interface from start to end: it is never
// released, the apartment's end takes it with the server's other stubs.
InterfacePins::InterfacePins() {
  const ComPtr<Placeholder> placeholder = MakeComObject<Placeholder>();
  for (const IID* iid : kServed) {
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()))) continue;
    if (SUCCEEDED(CoMarshalInterface(stream.Get(), *iid, static_cast<IDispatch*>(placeholder.Get()), MSHCTX_LOCAL,
                                     nullptr, MSHLFLAGS_TABLESTRONG))) {
      pins_.push_back(std::move(stream));
    }
  }
}

}  // namespace outlook_standin

}  // namespace orvane
