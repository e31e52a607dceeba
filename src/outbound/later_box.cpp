#include "outbound/later_box.h"

#include <utility>

namespace orvane::outbound {

namespace {

constexpr char kBoxWindowClass[] = "OrvaneOutlookLaterBoxes";
constexpr UINT_PTR kBoxTimer = 1;
// Soon after the event returns, without spinning while Outlook work goes on.
constexpr UINT kBoxPeriodMs = USER_TIMER_MINIMUM;

}  // namespace

void LaterBoxes::Show(std::string text, std::string caption, UINT flags) {
  // A message-only window of its own carries the timer, made when the first box is asked for.
  if (!Window() && !CreateWindowOf({kBoxWindowClass, "", 0, 0, HWND_MESSAGE, 0, 0, 0, 0})) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
    return;
  }
  waiting_.push_back({std::move(text), std::move(caption), flags});
  if (!timerArmed_) timerArmed_ = SetTimer(Window(), kBoxTimer, kBoxPeriodMs, nullptr) != 0;
}

LRESULT LaterBoxes::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kBoxTimer) {
    ShowWaitingBoxes();
    return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

void LaterBoxes::ShowWaitingBoxes() {
  if (work_.Now()) return;
  KillTimer(Window(), kBoxTimer);
  timerArmed_ = false;
  // A box's own message loop may run another event that asks for a box: that one waits for the
  // next round.
  for (const Box& box : std::exchange(waiting_, {})) {
    MessageBoxA(nullptr, box.text.c_str(), box.caption.c_str(), box.flags);
  }
}

}  // namespace orvane::outbound
