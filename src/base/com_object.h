// ComObject: IUnknown for an object of the program's own, over a list of the interfaces it
// implements, with an atomic reference count. The creator holds the first reference.
// IdOnlyDispatch: the IDispatch of an event sink.
#pragma once

#include "base/com_ptr.h"

#include <windows.h>
#include <oaidl.h>
#include <unknwn.h>

#include <atomic>
#include <utility>

namespace orvane {

template <class First, class... Rest>
class ComObject : public First, public Rest... {
public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
    if (!object) return E_POINTER;
    *object = IsEqualIID(iid, IID_IUnknown) ? static_cast<First*>(this) : FindInterface<First, Rest...>(iid);
    if (!*object) *object = OtherInterface(iid);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

protected:
  virtual ~ComObject() = default;
  // A further identifier the object answers to (an event interface it serves through IDispatch,
  // say), as the interface pointer to hand out; null for none.
  virtual void* OtherInterface(REFIID) noexcept { return nullptr; }

private:
  template <class Interface, class... More>
  void* FindInterface(REFIID iid) noexcept {
    if (IsEqualIID(iid, __uuidof(Interface))) return static_cast<Interface*>(this);
    if constexpr (sizeof...(More) > 0) {
      return FindInterface<More...>(iid);
    } else {
      return nullptr;
    }
  }

  std::atomic<ULONG> references_{1};
};

// The one way a COM object of the program's own is made: a new T with the one reference its
// creator owns. T may keep its constructors private and befriend this. Throws std::bad_alloc.
template <class T, class... Args>
ComPtr<T> MakeComObject(Args&&... args) {
  return ComPtr<T>::Attach(new T(std::forward<Args>(args)...));
}

// An IDispatch that offers no type information, over the further interfaces listed.
template <class... More>
class DispatchWithoutTypeInfo : public ComObject<IDispatch, More...> {
public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
};

// An IDispatch called by DISPID alone, as Outlook calls an event sink: no type information and no
// names.
class IdOnlyDispatch : public DispatchWithoutTypeInfo<> {
public:
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
    return E_NOTIMPL;
  }
};

}  // namespace orvane
