#include "mainapp/main_app_window.h"

namespace orvane::mainapp {

HWND FindMainAppWindow() { return FindWindowA(kMainAppWindowClass, nullptr); }

}  // namespace orvane::mainapp
