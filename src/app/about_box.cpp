#include "app/about_box.h"

#include "app/resource_ids.h"
#include "base/callback_guard.h"

namespace orvane::app {

namespace {

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept {
  return Guarded("CAboutDlg", INT_PTR{FALSE}, [&]() -> INT_PTR {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    }
    return FALSE;
  });
}

}  // namespace

void ShowAboutDialog(HWND owner) {
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, AboutProcedure, 0);
}

}  // namespace orvane::app
