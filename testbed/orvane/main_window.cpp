#include "testbed/orvane/main_window.h"

#include <cstdint>
#include <string_view>
#include <utility>

#include "base/unique_resource.h"
#include "testbed/orvane/readable_bytes.h"

namespace orvane {

namespace standin {

namespace {

// Ends the process of the window as a crash would: at once, whatever it was doing.
void EndProcessOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  const UniqueHandle handle(OpenProcess(PROCESS_TERMINATE, FALSE, process));
  if (handle) TerminateProcess(handle.Get(), 9);
}

}  // namespace

MainWindow::MainWindow(const MessageLog& log, std::optional<std::uint32_t> endSenderOnKind, DWORD firstAnswerDelayMs)
    : log_(log),
      shieldMessage_(RegisterWindowMessageA("Orvane_Shield")),
      endSenderOnKind_(endSenderOnKind),
      firstAnswerDelayMs_(firstAnswerDelayMs) {}

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

void MainWindow::OnCopyData(HWND sender, const COPYDATASTRUCT* data) {
  if (data == nullptr) return;
  // The text carries no terminating zero: cbData alone says how long it is.
  const std::string_view bytes = data->lpData != nullptr
                                     ? std::string_view(static_cast<const char*>(data->lpData), data->cbData)
                                     : std::string_view();
  log_.Write(CopyDataLine(data->dwData, reinterpret_cast<std::uintptr_t>(sender), bytes));
  // Once: the next sender of such a record, as after a crash, is answered.
  if (endSenderOnKind_ && data->dwData == *endSenderOnKind_ && sender) {
    endSenderOnKind_.reset();
    log_.Write("sender ended");
    EndProcessOf(sender);
  }
  // Taken and logged, answered late: the sender may have stopped waiting by then.
  if (!std::exchange(answeredOnce_, true) && firstAnswerDelayMs_ > 0) Sleep(firstAnswerDelayMs_);
}

}  // namespace standin

}  // namespace orvane
