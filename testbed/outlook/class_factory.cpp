#include "testbed/outlook/class_factory.h"

#include "base/callback_guard.h"
#include "base/com_object.h"
#include "testbed/outlook/call_ledger.h"
#include "testbed/outlook/control_object.h"
#include "testbed/outlook/outlook_objects.h"
#include "testbed/outlook/server_lifetime.h"
#include "testbed/outlook/standin_ids.h"

namespace orvane {

namespace outlook_standin {
namespace {

class ClassFactory final : public ComObject<IClassFactory> {
public:
  ClassFactory(ComPtr<IDispatch> (*create)(), bool refusable) : create_(create), refusable_(refusable) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) noexcept override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return GuardedComMethod("CreateInstance", nullptr, [&] {
      HRESULT refused = S_OK;
      if (refusable_ && Ledger().TakeRefusal(&refused)) return refused;
      return create_()->QueryInterface(iid, object);
    });
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
    outlook_standin::LockServer(lock != FALSE);
    return S_OK;
  }

private:
  // The controls' factory is the stand-in's own, not Outlook's.
  void* OtherInterface(REFIID iid) noexcept override {
    return !refusable_ && IsEqualIID(iid, kTestControlIid) ? static_cast<IClassFactory*>(this) : nullptr;
  }

  ComPtr<IDispatch> (*create_)();
  bool refusable_;
};

}  // namespace

ComPtr<IClassFactory> NewApplicationFactory() { return MakeComObject<ClassFactory>(&NewApplication, true); }

ComPtr<IClassFactory> NewControlFactory() { return MakeComObject<ClassFactory>(&NewControl, false); }

}  // namespace outlook_standin

}  // namespace orvane
