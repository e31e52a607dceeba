#include "outbound/later_box.h"

#include "base/callback_guard.h"
#include "outlook/outlook_work.h"

#include <utility>
#include <vector>

namespace orvane {

namespace {

struct LaterBox {
  std::string text;
  std::string caption;
  UINT flags;
};

std::vector<LaterBox> waitingBoxes;
UINT_PTR boxTimer = 0;
// Soon after the event returns, without spinning while Outlook work goes on.
constexpr UINT kBoxPeriodMs = USER_TIMER_MINIMUM;

void CALLBACK ShowWaitingBoxes(HWND, UINT, UINT_PTR, DWORD) noexcept {
  GuardedCall("ShowWaitingBoxes", [] {
    if (OutlookWork::InProgress()) return;
    KillTimer(nullptr, std::exchange(boxTimer, 0));
    // A box's own message loop may run another event that asks for a box: that one waits for
    // the next round.
    for (const LaterBox& box : std::exchange(waitingBoxes, {})) {
      MessageBoxA(nullptr, box.text.c_str(), box.caption.c_str(), box.flags);
    }
  });
}

}  // namespace

void ShowBoxAfterOutlookWork(std::string text, std::string caption, UINT flags) {
  waitingBoxes.push_back({std::move(text), std::move(caption), flags});
  if (boxTimer == 0) boxTimer = SetTimer(nullptr, 0, kBoxPeriodMs, ShowWaitingBoxes);
}

}  // namespace orvane
