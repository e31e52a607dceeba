// The about box, opened from the Help menu.
#pragma once

#include <windows.h>

namespace orvane {

void ShowAboutDialog(HWND owner);

}  // namespace orvane
