// ComPtr: one reference to a COM interface; copying adds a reference, destruction releases it.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <unknwn.h>

#include <cstddef>
#include <type_traits>
#include <utility>

namespace orvane {

template <class T>
class ComPtr {
public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) { AddRefHeld(); }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  // The same reference, held through a base interface.
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  ComPtr(ComPtr<U> other) noexcept : ptr_(other.Detach()) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  // Takes over a reference the caller already owns.
  static ComPtr Attach(T* p) noexcept {
    ComPtr result;
    result.ptr_ = p;
    return result;
  }
  // Adds a reference of its own to a borrowed pointer.
  static ComPtr Share(T* p) noexcept {
    ComPtr result;
    result.ptr_ = p;
    result.AddRefHeld();
    return result;
  }

  void Reset() noexcept {
    if (T* p = std::exchange(ptr_, nullptr)) p->Release();
  }
  T* Detach() noexcept { return std::exchange(ptr_, nullptr); }
  T* Get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }
  // Address for an out-parameter; anything held is released first.
  T** Receive() noexcept {
    Reset();
    return &ptr_;
  }

  // The object's interface U, or empty when it has none.
  template <class U>
  ComPtr<U> As() const noexcept {
    ComPtr<U> result;
    if (ptr_) ptr_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(result.Receive()));
    return result;
  }
  // The object's dispatch interface `iid` (an event interface known by its identifier alone),
  // held as the IDispatch it is; empty when it has none.
  ComPtr<IDispatch> AsDispInterface(REFIID iid) const noexcept {
    ComPtr<IDispatch> result;
    if (ptr_) ptr_->QueryInterface(iid, reinterpret_cast<void**>(result.Receive()));
    return result;
  }

private:
  void AddRefHeld() noexcept {
    if (ptr_) ptr_->AddRef();
  }
  T* ptr_ = nullptr;
};

}  // namespace orvane
