// LateBound: an automation object called by member names through GetIDsOfNames, as a script calls it.
#pragma once

#include "outlook/automation_error.h"
#include "outlook/com_types.h"

#include <array>
#include <utility>

namespace orvane {

class LateBound {
public:
  LateBound() = default;
  explicit LateBound(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  // The object registered under progId (CLSIDFromProgID + CoCreateInstance); throws AutomationError.
  static LateBound Create(const wchar_t* progId);

  bool IsEmpty() const { return !object_; }
  IDispatch* Get() const { return object_.Get(); }

  // Each call looks the name up, then invokes; a failure throws AutomationError with the server's text.
  Variant GetProperty(const wchar_t* name) const;
  void SetProperty(const wchar_t* name, const Variant& value) const;
  template <class... Args>
  Variant CallMethod(const wchar_t* name, Args&&... args) const {
    std::array<Variant, sizeof...(Args)> argv{std::forward<Args>(args)...};
    return Invoke(IdOf(name), DISPATCH_METHOD | DISPATCH_PROPERTYGET, argv.data(), argv.size());
  }
  LateBound GetObject(const wchar_t* name) const { return ObjectFrom(GetProperty(name)); }
  template <class... Args>
  LateBound CallForObject(const wchar_t* name, Args&&... args) const {
    return ObjectFrom(CallMethod(name, std::forward<Args>(args)...));
  }

private:
  DISPID IdOf(const wchar_t* name) const;
  Variant Invoke(DISPID id, WORD flags, const Variant* args, size_t count) const;
  static LateBound ObjectFrom(const Variant& result);

  ComPtr<IDispatch> object_;
};

}  // namespace orvane
