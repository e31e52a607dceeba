#include "testbed/outlook/class_factory.h"

#include "testbed/outlook/call_ledger.h"
#include "testbed/outlook/control_object.h"
#include "testbed/outlook/outlook_objects.h"
#include "testbed/outlook/server_lifetime.h"

#include <new>

namespace orvane {

namespace outlook_standin {
namespace {

class ClassFactory final : public IClassFactory {
public:
  ClassFactory(ComPtr<IDispatch> (*create)(), bool refusable) : create_(create), refusable_(refusable) {}
  ClassFactory(const ClassFactory&) = delete;
  ClassFactory& operator=(const ClassFactory&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    HRESULT refused = S_OK;
    if (refusable_ && Ledger().TakeRefusal(&refused)) return refused;
    try {
      return create_()->QueryInterface(iid, object);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    outlook_standin::LockServer(lock != FALSE);
    return S_OK;
  }

private:
  ~ClassFactory() = default;

  LONG references_ = 1;
  ComPtr<IDispatch> (*create_)();
  bool refusable_;
};

}  // namespace

ComPtr<IClassFactory> NewApplicationFactory() {
  return ComPtr<IClassFactory>::Attach(new ClassFactory(&NewApplication, true));
}

ComPtr<IClassFactory> NewControlFactory() {
  return ComPtr<IClassFactory>::Attach(new ClassFactory(&NewControl, false));
}

}  // namespace outlook_standin

}  // namespace orvane
