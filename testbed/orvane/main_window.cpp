#include "testbed/orvane/main_window.h"

#include <cstdint>
#include <string_view>

#include "testbed/orvane/readable_bytes.h"

namespace orvane {

namespace standin {
namespace {

constexpr char kClassName[] = "Orvane Main";
constexpr char kTitle[] = "Orvane";

}  // namespace

MainWindow::MainWindow(const MessageLog& log) : log_(log), shieldMessage_(RegisterWindowMessageA("Orvane_Shield")) {}

MainWindow::~MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

bool MainWindow::Create(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MainWindow::WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  if (RegisterClassExA(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return false;
  }
  // Never shown: the plug-in finds the window by its class, which needs no visible window.
  return CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, nullptr, nullptr, instance, this) != nullptr;
}

// Keeps the object in the window's user data from WM_NCCREATE on and hands every message to
// it; nothing thrown may cross back into the system's dispatcher.
LRESULT CALLBACK MainWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
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
  const HWND window = window_;
  if (message == WM_NCDESTROY) {
    // The window is gone: the program's message loop ends with it.
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    window_ = nullptr;
    PostQuitMessage(0);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void MainWindow::OnCopyData(HWND sender, const COPYDATASTRUCT* data) const {
  if (data == nullptr) return;
  // The text carries no terminating zero: cbData alone says how long it is.
  const std::string_view bytes = data->lpData != nullptr
                                     ? std::string_view(static_cast<const char*>(data->lpData), data->cbData)
                                     : std::string_view();
  log_.Write(CopyDataLine(static_cast<std::uint32_t>(data->dwData), reinterpret_cast<std::uintptr_t>(sender), bytes));
}

}  // namespace standin

}  // namespace orvane
