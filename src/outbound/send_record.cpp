#include "outbound/send_record.h"

#include "mainapp/main_app_window.h"

#include <shellapi.h>

#include <string>

namespace orvane::outbound {

namespace {

constexpr char kMainAppProgram[] = "Orvane.exe";
constexpr DWORD kStartWaitMs = 2000;
// A little shorter than the 5 s after which Windows counts a thread that asks for no message hung
// (OutcomeOfSend): a receiver that took the record in the wait and is still at it is not hung yet
// when the wait ends, unless the wait returns 0.1 s late; one that stopped asking 0.1 s or more
// before the send, and so never took it, is.
constexpr UINT kDeliveryTimeoutMs = 4900;

// Started through the shell, which finds the program as the user's shell would.
bool StartMainApplication() {
  const HINSTANCE result = ShellExecuteA(nullptr, nullptr, kMainAppProgram, nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

// Waits while the main application starts. Messages other programs send to this thread are
// answered meanwhile, so nobody waiting on the plug-in hangs; nothing posted is dispatched, so
// no timer tick and no queued action runs inside the Outlook event that sends the record.
void WaitAnsweringSentMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (DWORD elapsed = 0; elapsed < milliseconds; elapsed = GetTickCount() - start) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_SENDMESSAGE);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

SendOutcome SendRecordToMain(std::string_view text, uint32_t kind, HWND sender) {
  // The sender's own copy: the message hands the receiver a pointer into it.
  std::string record(text);
  if (!mainapp::FindMainAppWindow()) {
    if (!StartMainApplication()) return SendOutcome::kNotThere;
    WaitAnsweringSentMessages(kStartWaitMs);
  }
  const HWND mainApp = mainapp::FindMainAppWindow();
  if (!mainApp) return SendOutcome::kNotThere;
  COPYDATASTRUCT data{};
  data.dwData = kind;
  data.cbData = static_cast<DWORD>(record.size());
  data.lpData = record.data();
  // Sent, never posted: the text lives only for the duration of the call. How long the call took
  // tells a refusal at once from a time-out.
  const DWORD start = GetTickCount();
  const bool answered =
      SendMessageTimeoutA(mainApp, WM_COPYDATA, reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&data),
                          SMTO_ABORTIFHUNG, kDeliveryTimeoutMs, nullptr) != 0;
  const DWORD elapsed = GetTickCount() - start;
  // Asked at once: a receiver that pumps again afterwards no longer counts as hung.
  const bool hung = !answered && IsHungAppWindow(mainApp);
  return OutcomeOfSend(answered, elapsed, kDeliveryTimeoutMs, hung);
}

}  // namespace orvane::outbound
