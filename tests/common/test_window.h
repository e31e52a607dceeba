// TestWindow: a top-level window of a test, with a class and title of the test's choosing, that
// counts the registered messages it receives and keeps the records sent to it by WM_COPYDATA.
#pragma once

#include "base/base_window.h"

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace orvane {

class TestWindow final : public BaseWindow {
public:
  TestWindow(const char* className, const char* title);
  HWND Get() const { return Window(); }
  // Messages received that were registered under this name.
  int CountOf(const char* registeredName) const;
  // Called while a registered message is being handled (the sender may still be waiting).
  std::function<void(UINT)> onRegisteredMessage;
  // Each WM_COPYDATA received: its dwData and exactly its cbData bytes.
  std::vector<std::pair<ULONG_PTR, std::string>> copies;

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  std::vector<UINT> received_;
};

}  // namespace orvane
