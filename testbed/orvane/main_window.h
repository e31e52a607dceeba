// The stand-in main application's window: class "Orvane Main", hidden, recording what the
// plug-in sends it.
#pragma once

#include <windows.h>

#include "testbed/orvane/message_log.h"

namespace orvane {

namespace standin {

class MainWindow {
public:
  explicit MainWindow(const MessageLog& log);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Registers the class and creates the hidden top-level window; false when either fails.
  bool Create(HINSTANCE instance);
  HWND Handle() const { return window_; }

private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCopyData(HWND sender, const COPYDATASTRUCT* data) const;

  const MessageLog& log_;
  UINT shieldMessage_ = 0;
  HWND window_ = nullptr;
};

}  // namespace standin

}  // namespace orvane
