#include "testbed/orvane/plugin_link.h"

#include <limits>
#include <string>

namespace orvane {

namespace standin {
namespace {

constexpr char kPluginTitle[] = "Untitled - stub";
constexpr DWORD kSendTimeoutMilliseconds = 5000;
constexpr DWORD kPollMilliseconds = 50;

// Dispatches what is queued for this thread; false when WM_QUIT came, which is put back so
// the main loop still sees it.
bool PumpPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

}  // namespace

HWND WaitForPluginWindow(DWORD waitMilliseconds) {
  const ULONGLONG deadline = GetTickCount64() + waitMilliseconds;
  for (;;) {
    if (HWND plugin = FindWindowA(nullptr, kPluginTitle)) return plugin;
    if (GetTickCount64() >= deadline || !PumpPendingMessages()) return nullptr;
    // Wakes early for a message sent or posted to this thread.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMilliseconds, QS_ALLINPUT);
  }
}

bool SendRecord(HWND plugin, HWND sender, std::uint32_t kind, std::string_view record) {
  if (record.size() > std::numeric_limits<DWORD>::max()) return false;
  // The receiver only reads the bytes, but the structure's pointer is not const.
  std::string bytes(record);
  COPYDATASTRUCT data = {};
  data.dwData = kind;
  data.cbData = static_cast<DWORD>(bytes.size());
  data.lpData = bytes.empty() ? nullptr : &bytes[0];
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(plugin, WM_COPYDATA, reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, kSendTimeoutMilliseconds, &answer) != 0;
}

bool PostAction(HWND plugin, Action action) {
  const std::string name(ActionMessageName(action));
  if (name.empty()) return true;
  const UINT message = RegisterWindowMessageA(name.c_str());
  return message != 0 && PostMessageA(plugin, message, 0, 0) != FALSE;
}

}  // namespace standin

}  // namespace orvane
