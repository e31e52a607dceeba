// The exception raised by a failed Outlook call: Outlook's own message text, or the HRESULT in words.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <stdexcept>
#include <string>

namespace orvane {

class AutomationError : public std::runtime_error {
public:
  AutomationError(HRESULT result, const std::string& message) : std::runtime_error(message), result_(result) {}
  HRESULT Result() const { return result_; }

  // Builds the error of a failed IDispatch::Invoke, taking Outlook's description when it gave one.
  static AutomationError FromInvoke(HRESULT result, EXCEPINFO& info);
  static AutomationError FromResult(HRESULT result);

private:
  HRESULT result_;
};

// The HRESULT in words, as the system words it, with its number.
std::string DescribeResult(HRESULT result);

}  // namespace orvane
