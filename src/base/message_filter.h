// MessageFilter: this thread's COM message filter, answering as COM does without one; a program
// overrides the answer it needs. MessageFilterRegistration puts one in place for its lifetime.
#pragma once

#include "base/com_object.h"
#include "base/com_ptr.h"
#include "base/com_scope.h"

#include <windows.h>
#include <objidl.h>

namespace orvane {

class MessageFilter : public ComObject<IMessageFilter> {
public:
  // Every incoming call is taken.
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                             INTERFACEINFO* call) noexcept override;
  // A call the server turned away fails at once.
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) noexcept override;
  // Messages that arrive while a call waits are dispatched.
  DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) noexcept override;

  // RetryRejectedCall's answer that cancels the call.
  static constexpr DWORD kCancelCall = static_cast<DWORD>(-1);

protected:
  MessageFilter() = default;
  ~MessageFilter() override = default;
};

// A filter registered for this thread's apartment; the filter it replaced comes back when the
// owner goes. Only a single-threaded apartment takes a filter.
class MessageFilterRegistration : public ComOutcome {
public:
  explicit MessageFilterRegistration(IMessageFilter* filter) noexcept;
  ~MessageFilterRegistration();

private:
  ComPtr<IMessageFilter> previous_;
};

}  // namespace orvane
