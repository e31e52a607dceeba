#include "outlook/late_binding.h"

#include <string>

namespace orvane::outlook {
namespace {

std::string AnsiName(const wchar_t* name) { return WideToAnsi(name, std::char_traits<wchar_t>::length(name)); }

}  // namespace

LateBound LateBound::Create(const wchar_t* progId) {
  ComPtr<IDispatch> object;
  const HRESULT hr = CreateAutomationObject(progId, object);
  if (FAILED(hr)) throw AutomationError::FromResult(hr);
  return LateBound(std::move(object));
}

outlook::DispId LateBound::IdOf(const wchar_t* name) const {
  if (IsEmpty()) throw AutomationError::FromResult(E_POINTER);
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT hr = Get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) throw AutomationError(hr, "Unknown member " + AnsiName(name) + ": " + DescribeResult(hr));
  return id;
}

Variant LateBound::Call(const wchar_t* name, const Variant* args, size_t count) const {
  return driver_.Invoke(IdOf(name), DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, count);
}

LateBound LateBound::ObjectFrom(const Variant& result, const wchar_t* name) {
  ComPtr<IDispatch> object = result.ToDispatch();
  if (!object) throw AutomationError(E_NOINTERFACE, "Member " + AnsiName(name) + " returned no object");
  return LateBound(std::move(object));
}

}  // namespace orvane::outlook
