// ComObject: reference counting and QueryInterface for a COM object implementing one interface.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace orvane {

template <class Interface>
class ComObject : public Interface {
public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || Answers(iid)) {
      *object = static_cast<Interface*>(this);
      this->AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

protected:
  virtual ~ComObject() = default;
  // The interfaces besides IUnknown that the object answers for.
  virtual bool Answers(REFIID iid) const = 0;

private:
  ULONG references_ = 1;
};

}  // namespace orvane
