#include "tests/common/test_window.h"

#include <algorithm>

namespace orvane {

namespace {

constexpr UINT kFirstRegisteredMessage = 0xC000;

}  // namespace

TestWindow::TestWindow(const char* className, const char* title) {
  Creation creation;
  creation.className = className;
  creation.title = title;
  creation.x = 0;
  creation.y = 0;
  creation.width = 200;
  creation.height = 100;
  CreateWindowOf(creation);
}

int TestWindow::CountOf(const char* registeredName) const {
  const UINT message = RegisterWindowMessageA(registeredName);
  return static_cast<int>(std::count(received_.begin(), received_.end(), message));
}

LRESULT TestWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    copies.emplace_back(data->dwData, std::string(static_cast<const char*>(data->lpData), data->cbData));
    return TRUE;
  }
  if (message >= kFirstRegisteredMessage && message <= 0xFFFF) {
    received_.push_back(message);
    if (onRegisteredMessage) onRegisteredMessage(message);
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace orvane
