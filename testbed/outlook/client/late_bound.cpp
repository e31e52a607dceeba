#include "testbed/outlook/client/late_bound.h"

#include <vector>

namespace orvane {

LateBound LateBound::Create(const wchar_t* progId) {
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(progId, &clsid);
  if (FAILED(hr)) throw AutomationError::FromResult(hr);
  ComPtr<IDispatch> object;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, reinterpret_cast<void**>(object.Receive()));
  if (FAILED(hr)) throw AutomationError::FromResult(hr);
  return LateBound(std::move(object));
}

DISPID LateBound::IdOf(const wchar_t* name) const {
  if (!object_) throw AutomationError::FromResult(E_POINTER);
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) {
    const std::wstring wide(name);
    throw AutomationError(hr, "Unknown member " + WideToAnsi(wide.data(), wide.size()) + ": " + DescribeResult(hr));
  }
  return id;
}

Variant LateBound::Invoke(DISPID id, WORD flags, const Variant* args, size_t count) const {
  // IDispatch takes its arguments last to first; the VARIANTs stay owned by args.
  std::vector<VARIANTARG> reversed(count);
  for (size_t i = 0; i < count; ++i) reversed[count - 1 - i] = args[i].Get();
  DISPID namedPut = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(count);
  const bool put = flags == DISPATCH_PROPERTYPUT;
  if (put) {
    params.rgdispidNamedArgs = &namedPut;
    params.cNamedArgs = 1;
  }
  Variant result;
  EXCEPINFO info{};
  UINT badArgument = 0;
  const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                     put ? nullptr : result.Receive(), &info, &badArgument);
  if (FAILED(hr)) throw AutomationError::FromInvoke(hr, info);
  return result;
}

Variant LateBound::GetProperty(const wchar_t* name) const {
  return Invoke(IdOf(name), DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, 0);
}

void LateBound::SetProperty(const wchar_t* name, const Variant& value) const {
  Invoke(IdOf(name), DISPATCH_PROPERTYPUT, &value, 1);
}

LateBound LateBound::ObjectFrom(const Variant& result) {
  ComPtr<IDispatch> object = result.ToDispatch();
  if (!object) throw AutomationError(E_NOINTERFACE, "The member returned no object");
  return LateBound(std::move(object));
}

}  // namespace orvane
