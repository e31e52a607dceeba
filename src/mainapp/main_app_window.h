// The main application's window, the address of every record the plug-in sends.
#pragma once

#include <windows.h>

namespace orvane {

constexpr char kMainAppWindowClass[] = "Orvane Main";

// The main application's window, found by its class; null while it does not run.
HWND FindMainAppWindow();

}  // namespace orvane
