// Owners of COM values: BSTRs and VARIANTs, and the one place where texts change form.
#pragma once

#include "base/com_ptr.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace orvane::outlook {

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
  static Variant Text(std::string_view ansi);
  static Variant Wide(std::wstring_view text);
  static Variant Dispatch(IDispatch* borrowed);  // adds a reference of its own
  // An omitted optional argument: VT_ERROR holding DISP_E_PARAMNOTFOUND.
  static Variant Missing();

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

// The EXCEPINFO an IDispatch::Invoke fills, whose texts are freed when it goes.
class ExcepInfo {
public:
  ExcepInfo() = default;
  ExcepInfo(const ExcepInfo&) = delete;
  ExcepInfo& operator=(const ExcepInfo&) = delete;
  ~ExcepInfo() {
    SysFreeString(info_.bstrSource);
    SysFreeString(info_.bstrDescription);
    SysFreeString(info_.bstrHelpFile);
  }
  EXCEPINFO* Receive() { return &info_; }
  const EXCEPINFO& Get() const { return info_; }

private:
  EXCEPINFO info_{};
};

}  // namespace orvane::outlook
