// Handing records and action messages to the plug-in's window, as the main application does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "testbed/orvane/standin_options.h"

namespace orvane {

namespace standin {

// The plug-in's hidden frame, found by its title. Waits up to the given time, handling the
// own thread's messages meanwhile so that a main window of this thread stays responsive;
// nullptr when it did not appear (or the program was asked to quit while waiting).
HWND WaitForPluginWindow(DWORD waitMilliseconds);

// WM_COPYDATA with the kind in dwData and the record's bytes without a terminating zero;
// true when the plug-in's window procedure answered within 5 seconds.
bool SendRecord(HWND plugin, HWND sender, std::uint32_t kind, std::string_view record);

// Posts the registered message that names the action; true when it was queued.
bool PostAction(HWND plugin, Action action);

}  // namespace standin

}  // namespace orvane
