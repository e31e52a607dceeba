#include "outlook/dispatch_driver.h"

#include "outlook/busy_retry.h"

#include <vector>

namespace orvane::outlook {

HRESULT CreateAutomationObject(const wchar_t* progId, ComPtr<IDispatch>& object) {
  object.Reset();
  CLSID clsid;
  HRESULT result = CLSIDFromProgID(progId, &clsid);
  if (FAILED(result)) return result;
  ComPtr<IUnknown> unknown;
  result = CallWhileBusy([&] {
    return CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IUnknown, reinterpret_cast<void**>(unknown.Receive()));
  });
  if (FAILED(result)) return result;
  object = unknown.As<IDispatch>();
  return object ? S_OK : E_NOINTERFACE;
}

HRESULT DispatchDriver::Create(const char* progId) {
  return CreateAutomationObject(AnsiToWide(progId).c_str(), object_);
}

Variant DispatchDriver::Invoke(outlook::DispId id, WORD flags, const Variant* args, size_t count) const {
  // A reference of the call's own: whatever runs while the call waits (a nested tick releasing
  // the session, say) may let this driver go, but not the object under the call.
  const ComPtr<IDispatch> object = object_;
  if (!object) throw AutomationError::FromResult(E_POINTER, MemberOfCall(id, flags));
  // IDispatch takes its arguments last to first; the VARIANTs stay owned by args.
  std::vector<VARIANTARG> reversed(count);
  for (size_t i = 0; i < count; ++i) reversed[count - 1 - i] = args[i].Get();
  DISPID namedPut = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(count);
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &namedPut;
    params.cNamedArgs = 1;
  }
  Variant result;
  // Freed whatever the answer: a server may leave texts in it even when the call did not fail.
  ExcepInfo exception;
  UINT badArgument = 0;
  const HRESULT hr = CallWhileBusy([&] {
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                          flags == DISPATCH_PROPERTYPUT ? nullptr : result.Receive(), exception.Receive(),
                          &badArgument);
  });
  if (FAILED(hr)) throw AutomationError::FromInvoke(hr, exception, MemberOfCall(id, flags));
  return result;
}

Variant DispatchDriver::GetProperty(outlook::DispId id) const { return Invoke(id, DISPATCH_PROPERTYGET, nullptr, 0); }

void DispatchDriver::SetProperty(outlook::DispId id, const Variant& value) const {
  Invoke(id, DISPATCH_PROPERTYPUT, &value, 1);
}

DispatchDriver DispatchDriver::GetObject(outlook::DispId id) const {
  return ObjectFrom(GetProperty(id), id, DISPATCH_PROPERTYGET);
}

DispatchDriver DispatchDriver::ObjectFrom(const Variant& result, outlook::DispId id, WORD flags) {
  ComPtr<IDispatch> object = result.ToDispatch();
  if (!object) {
    char text[80];
    wsprintfA(text, "Member 0x%lX returned no object", static_cast<unsigned long>(id));
    throw AutomationError(E_NOINTERFACE, text, MemberOfCall(id, flags));
  }
  return DispatchDriver(std::move(object));
}

}  // namespace orvane::outlook
