// A message box shown once the Outlook work under way is over: a box opened inside one of
// Outlook's events would hold Outlook's call, and every inbound record behind it, while it stays.
#pragma once

#include <windows.h>

#include <string>

namespace orvane {

// Queues the box (no owner) and shows it from the thread's message loop when no Outlook work is
// under way; boxes come in the order they were asked for.
void ShowBoxAfterOutlookWork(std::string text, std::string caption, UINT flags);

}  // namespace orvane
