#include "testbed/orvane/main_window.h"

#include <cstdint>
#include <string_view>

#include "testbed/orvane/readable_bytes.h"

namespace orvane {

namespace standin {

MainWindow::MainWindow(const MessageLog& log) : log_(log), shieldMessage_(RegisterWindowMessageA("Orvane_Shield")) {}

bool MainWindow::Create() {
  // Never shown: the plug-in finds the window by its class, which needs no visible window.
  return CreateWindowOf({"Orvane Main", "Orvane"});
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    return TRUE;
  }
  if (message == shieldMessage_ && shieldMessage_ != 0) {
    log_.Write("Orvane_Shield");
    return 0;
  }
  // The window is gone: the program's message loop ends with it.
  if (message == WM_NCDESTROY) PostQuitMessage(0);
  return DefaultHandling(message, wParam, lParam);
}

void MainWindow::OnCopyData(HWND sender, const COPYDATASTRUCT* data) const {
  if (data == nullptr) return;
  // The text carries no terminating zero: cbData alone says how long it is.
  const std::string_view bytes = data->lpData != nullptr
                                     ? std::string_view(static_cast<const char*>(data->lpData), data->cbData)
                                     : std::string_view();
  log_.Write(CopyDataLine(data->dwData, reinterpret_cast<std::uintptr_t>(sender), bytes));
}

}  // namespace standin

}  // namespace orvane
