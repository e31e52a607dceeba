#include "testbed/outlook/main_window.h"

#include "testbed/outlook/standin_ids.h"

namespace orvane {

namespace outlook_standin {
namespace {

HWND mainWindow = nullptr;
void (*closedHandler)() = nullptr;

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      if (closedHandler) closedHandler();
      return 0;
    case WM_DESTROY:
      if (window == mainWindow) mainWindow = nullptr;
      return 0;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterMainWindowClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = MainWindowProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kMainWindowClass;
  registered = RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

}  // namespace

bool ShowMainWindow() {
  if (mainWindow) return true;
  if (!RegisterMainWindowClass()) return false;
  mainWindow = CreateWindowExW(0, kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                               640, 480, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!mainWindow) return false;
  // Shown, but not in front: the plug-in's watchdog reads the foreground window's title.
  ShowWindow(mainWindow, SW_SHOWNOACTIVATE);
  return true;
}

void CloseMainWindow() {
  if (mainWindow) DestroyWindow(mainWindow);
}

HWND MainWindow() { return mainWindow; }

void SetMainWindowClosedHandler(void (*handler)()) { closedHandler = handler; }

}  // namespace outlook_standin

}  // namespace orvane
