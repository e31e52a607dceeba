// DispatchDriver: one Outlook object held through its IDispatch, called by DISPID.
#pragma once

#include "outlook/automation_error.h"
#include "outlook/com_types.h"
#include "outlook/outlook_ids.h"

#include <array>
#include <string>
#include <string_view>

namespace orvane::outlook {

// The automation object registered under progId, made by its server; a server busy at the moment
// is waited for. Answers the result of the step that failed, the object left empty.
HRESULT CreateAutomationObject(const wchar_t* progId, ComPtr<IDispatch>& object);

class DispatchDriver {
public:
  DispatchDriver() = default;
  explicit DispatchDriver(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  // Copies share the object, each with a reference of its own.
  DispatchDriver(const DispatchDriver&) = default;
  DispatchDriver& operator=(const DispatchDriver&) = default;
  DispatchDriver(DispatchDriver&&) noexcept = default;
  DispatchDriver& operator=(DispatchDriver&&) noexcept = default;

  // Creates the automation object registered under progId; false when it cannot be had.
  bool CreateDispatch(const char* progId) { return SUCCEEDED(Create(progId)); }
  // The same, answering why it cannot be had.
  HRESULT Create(const char* progId);
  void AttachDispatch(ComPtr<IDispatch> object) { object_ = std::move(object); }
  void ReleaseDispatch() noexcept { object_.Reset(); }
  bool IsEmpty() const { return !object_; }
  IDispatch* Get() const { return object_.Get(); }

  // Raw calls; every failure throws AutomationError naming the member (MemberOfCall).
  Variant GetProperty(outlook::DispId id) const;
  void SetProperty(outlook::DispId id, const Variant& value) const;
  template <class... Args>
  Variant InvokeMethod(outlook::DispId id, Args&&... args) const {
    std::array<Variant, sizeof...(Args)> argv{std::forward<Args>(args)...};
    return Invoke(id, DISPATCH_METHOD, argv.data(), argv.size());
  }

  // Typed property access: texts in the ANSI code page, dates as OLE Automation dates.
  std::string GetText(outlook::DispId id) const { return GetProperty(id).ToAnsi(); }
  int32_t GetInt32(outlook::DispId id) const { return GetProperty(id).ToInt32(); }
  bool GetBool(outlook::DispId id) const { return GetProperty(id).ToBool(); }
  double GetDate(outlook::DispId id) const { return GetProperty(id).ToDate(); }
  DispatchDriver GetObject(outlook::DispId id) const;
  void SetText(outlook::DispId id, std::string_view ansi) const { SetProperty(id, Variant::Text(ansi)); }
  void SetInt32(outlook::DispId id, int32_t value) const { SetProperty(id, Variant::Int32(value)); }
  void SetBool(outlook::DispId id, bool value) const { SetProperty(id, Variant::Bool(value)); }
  void SetDate(outlook::DispId id, double oleDate) const { SetProperty(id, Variant::Date(oleDate)); }

  // A method whose result is an object.
  template <class... Args>
  DispatchDriver InvokeForObject(outlook::DispId id, Args&&... args) const {
    return ObjectFrom(InvokeMethod(id, std::forward<Args>(args)...), id, DISPATCH_METHOD);
  }

  // One call with the arguments in their written order (IDispatch takes them last to first);
  // DISPATCH_PROPERTYPUT passes its one argument as the value put. Throws AutomationError.
  Variant Invoke(outlook::DispId id, WORD flags, const Variant* args, size_t count) const;

private:
  static DispatchDriver ObjectFrom(const Variant& result, outlook::DispId id, WORD flags);
  ComPtr<IDispatch> object_;
};

}  // namespace orvane::outlook
