// TestWindow: a top-level window of a test, with a class and title of the test's choosing, that
// counts the registered messages it receives and keeps the records sent to it by WM_COPYDATA.
#pragma once

#include "base/base_window.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvane {

// One WM_COPYDATA received: its dwData, its wParam and exactly its cbData bytes.
struct CopyDataSeen {
  ULONG_PTR kind = 0;
  HWND sender = nullptr;
  std::string bytes;
  bool operator==(const CopyDataSeen& other) const {
    return kind == other.kind && sender == other.sender && bytes == other.bytes;
  }
};

class TestWindow final : public BaseWindow {
public:
  TestWindow(const char* className, const char* title);
  HWND Get() const { return Window(); }
  // Messages received that were registered under this name.
  int CountOf(const char* registeredName) const;
  // Called while a registered message is being handled (the sender may still be waiting).
  std::function<void(UINT)> onRegisteredMessage;
  std::vector<CopyDataSeen> copies;

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  std::vector<UINT> received_;
};

}  // namespace orvane
