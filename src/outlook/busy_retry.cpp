#include "outlook/busy_retry.h"

#include "base/callback_guard.h"
#include "base/unique_resource.h"

namespace orvane::outlook {

bool IsBusyAnswer(HRESULT result) noexcept {
  return result == RPC_E_CALL_REJECTED || result == RPC_E_SERVERCALL_RETRYLATER;
}

std::optional<DWORD> BusyRetryDelay(DWORD elapsedMs, DWORD limitMs) noexcept {
  if (elapsedMs >= limitMs) return std::nullopt;
  return kBusyRetryDelayMs;
}

void WaitHandlingMessages(DWORD milliseconds) noexcept {
  // An event nobody sets: the wait ends by its time-out, and COM's wait handles the messages.
  const UniqueHandle never(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE handle = never.Get();
  DWORD index = 0;
  if (!never || CoWaitForMultipleHandles(0, milliseconds, 1, &handle, &index) != RPC_S_CALLPENDING) {
    Sleep(milliseconds);
  }
}

DWORD BusyRetryFilter::RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) noexcept {
  return Guarded("BusyRetryFilter::RetryRejectedCall", kCancelCall, [&] {
    if (rejectType != SERVERCALL_RETRYLATER && rejectType != SERVERCALL_REJECTED) return kCancelCall;
    return BusyRetryDelay(elapsedMs).value_or(kCancelCall);
  });
}

}  // namespace orvane::outlook
