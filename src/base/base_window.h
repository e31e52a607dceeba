// BaseWindow: a window of the program's own. Its class is registered while any window of it
// exists, and every message reaches HandleMessage through one guarded procedure.
#pragma once

#include "base/owner_thread.h"

#include <windows.h>

#include <string>

namespace orvane {

class BaseWindow {
public:
  BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;
  // Destroys the window if it is still there.
  virtual ~BaseWindow();

  HWND Window() const noexcept { return window_; }

protected:
  struct Creation {
    const char* className = nullptr;
    const char* title = "";
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
  };
  // Registers the class when needed and creates the window; false when either fails.
  bool CreateWindowOf(const Creation& creation);
  void DestroyOwnWindow() noexcept;

  // One message; what it throws is reported and the message answered with 0.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) const noexcept {
    return DefWindowProcA(window_, message, wParam, lParam);
  }
  // Names the window in reports of caught exceptions.
  virtual const char* ReportName() const noexcept { return "WindowProcedure"; }

private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void ReleaseClass() noexcept;

  HWND window_ = nullptr;
  std::string className_;
  OwnerThread thread_;
};

}  // namespace orvane
