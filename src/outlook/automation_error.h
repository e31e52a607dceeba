// The exception raised by a failed Outlook call: Outlook's own message text, or the HRESULT in words.
#pragma once

#include "base/com_error.h"

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace orvane::outlook {

class ExcepInfo;

class AutomationError : public ComError {
public:
  AutomationError(HRESULT result, const std::string& message) : ComError(result, message) {}

  // Builds the error of a failed IDispatch::Invoke, taking Outlook's description when it gave one.
  static AutomationError FromInvoke(HRESULT result, ExcepInfo& exception);
  static AutomationError FromResult(HRESULT result);
};

// Whether a call failed because its server is gone (it ended, crashed or cut its objects off):
// every object of that server is dead, and a call on one can only fail.
bool IsServerGone(HRESULT result) noexcept;

// The HRESULT in words, as the system words it, with its number.
std::string DescribeResult(HRESULT result);

}  // namespace orvane::outlook
