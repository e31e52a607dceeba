#include "testbed/outlook/main_window.h"

#include "base/base_window.h"
#include "testbed/outlook/object_model_ids.h"

#include <memory>

namespace orvane {

namespace outlook_standin {
namespace {

constexpr char kMainWindowTitle[] = "Inbox - Outlook stand-in";

void (*closedHandler)() = nullptr;

class OutlookWindow final : public BaseWindow {
public:
  bool Create() {
    if (!CreateWindowOf({kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW, 0, nullptr, CW_USEDEFAULT,
                         CW_USEDEFAULT, 640, 480})) {
      return false;
    }
    // Shown, but not in front: the plug-in's watchdog reads the foreground window's title.
    ShowWindow(Window(), SW_SHOWNOACTIVATE);
    return true;
  }

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message != WM_CLOSE) return DefaultHandling(message, wParam, lParam);
    // The user closes Outlook: the window goes, and the server decides whether to end.
    DestroyOwnWindow();
    if (closedHandler) closedHandler();
    return 0;
  }
  const char* ReportName() const noexcept override { return "OutlookStandinWindow"; }
};

std::unique_ptr<OutlookWindow> mainWindow;

}  // namespace

bool ShowMainWindow() {
  if (MainWindow()) return true;
  mainWindow = std::make_unique<OutlookWindow>();
  if (mainWindow->Create()) return true;
  mainWindow.reset();
  return false;
}

void CloseMainWindow() { mainWindow.reset(); }

HWND MainWindow() { return mainWindow ? mainWindow->Window() : nullptr; }

void SetMainWindowClosedHandler(void (*handler)()) { closedHandler = handler; }

}  // namespace outlook_standin

}  // namespace orvane
