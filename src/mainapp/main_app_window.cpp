#include "mainapp/main_app_window.h"

namespace orvane {

HWND FindMainAppWindow() { return FindWindowA(kMainAppWindowClass, nullptr); }

}  // namespace orvane
