// Waiting out a busy Outlook: while a dialog of its own is open, or while it synchronises, Outlook
// turns incoming calls away. Such a call is tried again until kBusyWaitLimitMs after it was first
// made, and only then fails with Outlook's last answer.
#pragma once

#include "base/message_filter.h"

#include <windows.h>

#include <optional>

namespace orvane::outlook {

constexpr DWORD kBusyWaitLimitMs = 10000;
constexpr DWORD kBusyRetryDelayMs = 100;

// True for the answers of a server that turns calls away while it is busy.
bool IsBusyAnswer(HRESULT result) noexcept;

// How long to wait before trying again a call that was turned away `elapsedMs` after it was first
// made; nothing once the limit is reached.
std::optional<DWORD> BusyRetryDelay(DWORD elapsedMs, DWORD limitMs = kBusyWaitLimitMs) noexcept;

// Waits as COM does while a call is under way: messages sent to the thread (the main
// application's records) and incoming calls (Outlook's events) are handled meanwhile.
void WaitHandlingMessages(DWORD milliseconds) noexcept;

// The system's milliseconds, the clock CallWhileBusy reads unless it is given another.
inline DWORD MillisecondsNow() noexcept { return GetTickCount(); }

// Makes call() (which answers an HRESULT) until Outlook takes it or `limitMs` have passed since
// the first try by `now`; answers the last result. The time is counted from the first try, so a
// wait that COM already did inside the call (BusyRetryFilter, where COM honours it) is not done
// again.
template <class Call, class Clock = DWORD (*)() noexcept>
HRESULT CallWhileBusy(Call&& call, DWORD limitMs = kBusyWaitLimitMs, Clock now = &MillisecondsNow) {
  const DWORD started = now();
  for (;;) {
    const HRESULT result = call();
    if (!IsBusyAnswer(result)) return result;
    const std::optional<DWORD> delay = BusyRetryDelay(now() - started, limitMs);
    if (!delay) return result;
    WaitHandlingMessages(*delay);
  }
}

// The plug-in's message filter: when Outlook turns a call away, COM asks it whether to try again,
// and it answers as CallWhileBusy decides.
class BusyRetryFilter final : public MessageFilter {
public:
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD elapsedMs, DWORD rejectType) noexcept override;
};

}  // namespace orvane::outlook
