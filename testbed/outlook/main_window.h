// The stand-in's main window: a top-level window of Outlook's main-window class "rctrl_renwnd32",
// which tells the plug-in that Outlook runs.
#pragma once

#include <windows.h>

namespace orvane {

namespace outlook_standin {

// Creates the window (shown without taking the foreground) if it is absent; false when it cannot be made.
bool ShowMainWindow();
// Destroys the window if it exists.
void CloseMainWindow();
// The window, or null.
HWND MainWindow();
// What a WM_CLOSE (the user closing Outlook) does after the window is gone; the server ends itself there.
void SetMainWindowClosedHandler(void (*handler)());

}  // namespace outlook_standin

}  // namespace orvane
