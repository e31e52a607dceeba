// The about box, opened from the Help menu.
#pragma once

#include <windows.h>

namespace orvane::app {

void ShowAboutDialog(HWND owner);

}  // namespace orvane::app
