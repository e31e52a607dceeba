#include "app/plugin_control.h"

#include "app/instance.h"
#include "app/main_frame.h"
#include "mainapp/registered_messages.h"
#include "app/watchdog_rules.h"
#include "mainapp/main_app_window.h"

namespace orvane::app {

namespace {

// A plug-in that fails at every start would otherwise start the next one at once, several a
// second, for as long as the fault lasts.
void WaitOutTheShortestLife() noexcept {
  if (const uint32_t delay = app::RestartDelay(GetTickCount(), startTick)) Sleep(delay);
}

}  // namespace

void PluginControl::HandOver(HWND mainAppWindow) noexcept {
  const UINT shield = RegisterWindowMessageA(mainapp::kShieldMessageName);
  // A new instance must not mistake this one's frame for a running plug-in.
  if (const HWND frame = FindWindowA(nullptr, kFrameTitle)) SetWindowTextA(frame, kFrameHandOffTitle);
  // Whoever starts the successor (the main application once told, or WinExec), it must find the
  // mutex free: this process may still wait on a busy Outlook as it lets go of its sinks.
  ReleaseSingleInstance();
  if (mainAppWindow) {
    // Posted, not sent: it carries nothing and its answer is not read, and a main application
    // busy for a moment must still learn that the plug-in is gone.
    PostMessageA(mainAppWindow, shield, 0, 0);
  } else {
    WaitOutTheShortestLife();
    WinExec("OrvaneOutlook.exe", SW_SHOWNORMAL);
  }
  ending_.ExitNormally();
}

}  // namespace orvane::app
