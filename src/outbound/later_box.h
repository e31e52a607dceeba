// LaterBoxes: message boxes shown once the Outlook work under way is over: a box opened inside one
// of Outlook's events would hold Outlook's call, and every inbound record behind it, while it stays.
#pragma once

#include "base/base_window.h"
#include "base/work_scope.h"

#include <windows.h>

#include <string>
#include <vector>

namespace orvane::outbound {

class LaterBoxes final : public BaseWindow {
public:
  explicit LaterBoxes(const WorkUnderWay& work) noexcept : work_(work) {}

  // Queues the box (no owner) and shows it from the thread's message loop when no Outlook work is
  // under way; boxes come in the order they were asked for.
  void Show(std::string text, std::string caption, UINT flags);

private:
  struct Box {
    std::string text;
    std::string caption;
    UINT flags;
  };

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  const char* ReportName() const noexcept override { return "ShowWaitingBoxes"; }
  void ShowWaitingBoxes();

  const WorkUnderWay& work_;
  std::vector<Box> waiting_;
  bool timerArmed_ = false;
};

}  // namespace orvane::outbound
