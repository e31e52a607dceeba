// Delivery of one outbound record to the main application's window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace orvane::outbound {

// Sends the text (without a terminating zero) as WM_COPYDATA of the kind from the plug-in's window
// `sender` to the main application's window, starting the main application first when its window
// is missing. True when its window
// took the message within the time-out; false when the window was not there or did not answer.
bool SendRecordToMain(std::string_view text, uint32_t kind, HWND sender);

}  // namespace orvane::outbound
