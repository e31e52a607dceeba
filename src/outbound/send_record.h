// Delivery of one outbound record to the main application's window.
#pragma once

#include <windows.h>

#include "outbound/delivery_rule.h"

#include <cstdint>
#include <string_view>

namespace orvane::outbound {

// Sends the text (without a terminating zero) as WM_COPYDATA of the kind from the plug-in's window
// `sender` to the main application's window, starting the main application first when its window
// is missing. Answers how the hand-over ended: taken within the time-out, no window, refused at
// once (a hung receiver), or given up after the whole time-out (the receiver may run it still).
SendOutcome SendRecordToMain(std::string_view text, uint32_t kind, HWND sender);

}  // namespace orvane::outbound
