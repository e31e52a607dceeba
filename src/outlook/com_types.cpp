#include "outlook/com_types.h"

#include "outlook/automation_error.h"

namespace orvane::outlook {

std::wstring AnsiToWide(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  return wide;
}

std::string WideToAnsi(const wchar_t* wide, size_t length) {
  if (!wide || length == 0) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), ansi.data(), size, nullptr, nullptr);
  return ansi;
}

Bstr::Bstr(std::string_view ansi) {
  const std::wstring wide = AnsiToWide(ansi);
  str_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (!str_) throw AutomationError::FromResult(E_OUTOFMEMORY);
}

Bstr& Bstr::operator=(Bstr&& other) noexcept {
  if (this != &other) {
    Reset();
    str_ = std::exchange(other.str_, nullptr);
  }
  return *this;
}

void Bstr::Reset() {
  if (BSTR s = std::exchange(str_, nullptr)) SysFreeString(s);
}

std::string Bstr::ToAnsi() const { return WideToAnsi(str_, SysStringLen(str_)); }

Variant::Variant(Variant&& other) noexcept {
  var_ = other.var_;
  VariantInit(&other.var_);
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    VariantClear(&var_);
    var_ = other.var_;
    VariantInit(&other.var_);
  }
  return *this;
}

Variant Variant::Int32(int32_t value) {
  Variant v;
  v.var_.lVal = value;
  v.var_.vt = VT_I4;
  return v;
}

Variant Variant::Bool(bool value) {
  Variant v;
  v.var_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  v.var_.vt = VT_BOOL;
  return v;
}

Variant Variant::Date(double oleDate) {
  Variant v;
  v.var_.date = oleDate;
  v.var_.vt = VT_DATE;
  return v;
}

Variant Variant::Text(std::string_view ansi) {
  Bstr text(ansi);
  Variant v;
  v.var_.bstrVal = text.Detach();
  v.var_.vt = VT_BSTR;
  return v;
}

Variant Variant::Wide(std::wstring_view text) {
  BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!s) throw AutomationError::FromResult(E_OUTOFMEMORY);
  Variant v;
  v.var_.bstrVal = s;
  v.var_.vt = VT_BSTR;
  return v;
}

Variant Variant::Dispatch(IDispatch* borrowed) {
  Variant v;
  if (borrowed) borrowed->AddRef();
  v.var_.pdispVal = borrowed;
  v.var_.vt = VT_DISPATCH;
  return v;
}

Variant Variant::Missing() {
  Variant v;
  v.var_.scode = DISP_E_PARAMNOTFOUND;
  v.var_.vt = VT_ERROR;
  return v;
}

namespace {

// The value converted to one type, or AutomationError when it has no such form.
Variant Converted(const VARIANT& source, VARTYPE type) {
  Variant result;
  const HRESULT hr = VariantChangeType(result.Receive(), const_cast<VARIANT*>(&source), 0, type);
  if (FAILED(hr)) throw AutomationError::FromResult(hr);
  return result;
}

}  // namespace

int32_t Variant::ToInt32() const { return Converted(var_, VT_I4).Get().lVal; }
bool Variant::ToBool() const { return Converted(var_, VT_BOOL).Get().boolVal != VARIANT_FALSE; }
double Variant::ToDate() const { return Converted(var_, VT_DATE).Get().date; }
double Variant::ToDouble() const { return Converted(var_, VT_R8).Get().dblVal; }

std::wstring Variant::ToWide() const {
  if (var_.vt == VT_EMPTY || var_.vt == VT_NULL) return {};
  const Variant text = Converted(var_, VT_BSTR);
  const BSTR s = text.Get().bstrVal;
  return std::wstring(s ? s : L"", SysStringLen(s));
}

std::string Variant::ToAnsi() const {
  const std::wstring wide = ToWide();
  return WideToAnsi(wide.data(), wide.size());
}

ComPtr<IDispatch> Variant::ToDispatch() const {
  if (var_.vt == VT_DISPATCH) return ComPtr<IDispatch>::Share(var_.pdispVal);
  if (var_.vt == (VT_DISPATCH | VT_BYREF) && var_.ppdispVal) return ComPtr<IDispatch>::Share(*var_.ppdispVal);
  if (var_.vt == VT_UNKNOWN && var_.punkVal) {
    return ComPtr<IUnknown>::Share(var_.punkVal).As<IDispatch>();
  }
  return {};
}

}  // namespace orvane::outlook
