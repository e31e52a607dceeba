// LateBound: an automation object called by member names, looked up through GetIDsOfNames as a
// script looks them up; the calls themselves go through DispatchDriver.
#pragma once

#include "outlook/dispatch_driver.h"

#include <array>
#include <utility>

namespace orvane::outlook {

class LateBound {
public:
  LateBound() = default;
  explicit LateBound(ComPtr<IDispatch> object) : driver_(std::move(object)) {}

  // The object registered under progId (CLSIDFromProgID + CoCreateInstance); throws AutomationError
  // with the reason it cannot be had.
  static LateBound Create(const wchar_t* progId);

  bool IsEmpty() const { return driver_.IsEmpty(); }
  IDispatch* Get() const { return driver_.Get(); }

  // The member's DISPID; throws AutomationError naming the member when the object does not know it.
  outlook::DispId IdOf(const wchar_t* name) const;

  // Each call looks the name up, then invokes; a failure throws AutomationError with the server's
  // text. Reads and methods are called as both, as scripts call them: the member decides.
  Variant GetProperty(const wchar_t* name) const { return Call(name, nullptr, 0); }
  void SetProperty(const wchar_t* name, const Variant& value) const {
    driver_.Invoke(IdOf(name), DISPATCH_PROPERTYPUT, &value, 1);
  }
  template <class... Args>
  Variant CallMethod(const wchar_t* name, Args&&... args) const {
    std::array<Variant, sizeof...(Args)> argv{std::forward<Args>(args)...};
    return Call(name, argv.data(), argv.size());
  }
  LateBound GetObject(const wchar_t* name) const { return ObjectFrom(GetProperty(name), name); }
  template <class... Args>
  LateBound CallForObject(const wchar_t* name, Args&&... args) const {
    return ObjectFrom(CallMethod(name, std::forward<Args>(args)...), name);
  }

private:
  Variant Call(const wchar_t* name, const Variant* args, size_t count) const;
  static LateBound ObjectFrom(const Variant& result, const wchar_t* name);

  DispatchDriver driver_;
};

}  // namespace orvane::outlook
