// Owners of COM resources: interface pointers, BSTRs and VARIANTs.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace orvane {

// One reference to a COM interface; copying adds a reference, destruction releases it.
template <class T>
class ComPtr {
public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) { AddRefHeld(); }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  // Takes over a reference the caller already owns.
  static ComPtr Attach(T* p) {
    ComPtr result;
    result.ptr_ = p;
    return result;
  }
  // Adds a reference of its own to a borrowed pointer.
  static ComPtr Share(T* p) {
    ComPtr result;
    result.ptr_ = p;
    result.AddRefHeld();
    return result;
  }

  void Reset() {
    if (T* p = std::exchange(ptr_, nullptr)) p->Release();
  }
  T* Detach() { return std::exchange(ptr_, nullptr); }
  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  // Address for an out-parameter; anything held is released first.
  T** Receive() {
    Reset();
    return &ptr_;
  }

  template <class U>
  ComPtr<U> As(REFIID iid) const {
    ComPtr<U> result;
    if (ptr_) ptr_->QueryInterface(iid, reinterpret_cast<void**>(result.Receive()));
    return result;
  }

private:
  void AddRefHeld() {
    if (ptr_) ptr_->AddRef();
  }
  T* ptr_ = nullptr;
};

// ANSI code page text <-> UTF-16, the one place where Outlook's texts change form.
std::wstring AnsiToWide(std::string_view ansi);
std::string WideToAnsi(const wchar_t* wide, size_t length);

// One BSTR; move-only.
class Bstr {
public:
  Bstr() = default;
  explicit Bstr(std::string_view ansi);
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : str_(std::exchange(other.str_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept;
  ~Bstr() { Reset(); }

  static Bstr Attach(BSTR s) {
    Bstr result;
    result.str_ = s;
    return result;
  }
  void Reset();
  BSTR Get() const { return str_; }
  BSTR Detach() { return std::exchange(str_, nullptr); }
  BSTR* Receive() {
    Reset();
    return &str_;
  }
  std::string ToAnsi() const;

private:
  BSTR str_ = nullptr;
};

// One VARIANT; move-only. Its type is set only once its value is in place.
class Variant {
public:
  Variant() { VariantInit(&var_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant&& other) noexcept;
  ~Variant() { VariantClear(&var_); }

  static Variant Int32(int32_t value);
  static Variant Bool(bool value);
  static Variant Date(double oleDate);
  static Variant Double(double value);
  static Variant Text(std::string_view ansi);
  static Variant Wide(std::wstring_view text);
  static Variant Dispatch(IDispatch* borrowed);  // adds a reference of its own
  // An omitted optional argument: VT_ERROR holding DISP_E_PARAMNOTFOUND.
  static Variant Missing();
  // Deep copy of any VARIANT.
  static Variant CopyOf(const VARIANT& source);

  VARTYPE Type() const { return var_.vt; }
  const VARIANT& Get() const { return var_; }
  VARIANT* Receive() {
    VariantClear(&var_);
    return &var_;
  }
  // Conversions through VariantChangeType; each throws AutomationError when the value does not convert.
  int32_t ToInt32() const;
  bool ToBool() const;
  double ToDate() const;
  double ToDouble() const;
  std::string ToAnsi() const;
  std::wstring ToWide() const;
  // The dispatch pointer inside, with a reference of its own (empty when there is none).
  ComPtr<IDispatch> ToDispatch() const;

private:
  VARIANT var_;
};

}  // namespace orvane
