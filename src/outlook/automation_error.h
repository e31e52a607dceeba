// The exception raised by a failed Outlook call: Outlook's own message text, or the HRESULT in words.
#pragma once

#include "base/com_error.h"
#include "outlook/outlook_ids.h"

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <string_view>

namespace orvane::outlook {

class ExcepInfo;

class AutomationError : public ComError {
public:
  // `member` names the call that failed (MemberOfCall), when the error is one call's.
  AutomationError(HRESULT result, const std::string& message, std::string_view member = {})
      : ComError(result, message, member) {}

  // Builds the error of a failed IDispatch::Invoke, taking Outlook's description when it gave one.
  static AutomationError FromInvoke(HRESULT result, ExcepInfo& exception, std::string_view member = {});
  static AutomationError FromResult(HRESULT result, std::string_view member = {});
};

// The call of a member by its DISPID in words, as "TaskItem.Subject put": the interfaces the
// member table lists the DISPID under (joined by "/" where several have it, as the plug-in does not
// know which of them an object is), the member's name, and "get", "put" or "call". A DISPID the
// table does not list is given in hexadecimal.
std::string MemberOfCall(DispId id, WORD flags);

// Whether a call failed because its server is gone (it ended, crashed or cut its objects off):
// every object of that server is dead, and a call on one can only fail.
bool IsServerGone(HRESULT result) noexcept;

// The HRESULT in words, as the system words it, with its number.
std::string DescribeResult(HRESULT result);

}  // namespace orvane::outlook
