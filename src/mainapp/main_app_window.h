// The main application's window, the address of every record the plug-in sends.
#pragma once

#include <windows.h>

namespace orvane::mainapp {

constexpr char kMainAppWindowClass[] = "Orvane Main";

// The main application's window, found by its class; null while it does not run.
HWND FindMainAppWindow();

}  // namespace orvane::mainapp
