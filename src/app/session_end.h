// How the plug-in ends when Windows ends the session (logoff, shutdown) or an installer asks it to
// close (the Restart Manager's WM_ENDSESSION with ENDSESSION_CLOSEAPP, or "/Close"), and how the
// next process takes up the record that was in hand.
#pragma once

#include "app/held_record.h"
#include "outbound/outlook_link.h"

#include <windows.h>

#include <string>
#include <vector>

namespace orvane::app {

// The exit codes of "/Close".
constexpr int kClosedPlugin = 0;
constexpr int kNoPluginRunning = 1;
constexpr int kPluginWouldNotEnd = 2;
// How long "/Close" waits for the plug-in to end.
constexpr DWORD kCloseTimeoutMs = 15000;

// WM_QUERYENDSESSION: yes, at once and without a box; nothing the plug-in holds needs the user.
LRESULT OnQueryEndSession() noexcept;
// WM_ENDSESSION: when the session does end, the plug-in ends in its orderly way: the first of the
// commands in hand (`inHand`, in their order) is kept for the next process, any after it logged as
// lost, the pictures and the outbox are closed on disk, and one log line says why. Answers once an
// ending is asked of the process control (a test's returns).
void OnEndSession(WPARAM ending, LPARAM reasons, outbound::OutlookLink& link, const std::vector<HeldRecord>& inHand);
// The log line that says why the session's end ends the plug-in.
std::string EndSessionLogLine(LPARAM reasons);

// A record an ended process kept is parked as if it had just come, and its action asked of the
// frame; the file is gone afterwards. Called once the frame exists.
void TakeUpHeldRecord(HWND frame);

// "/Close": asks the plug-in running in the caller's session to end, as the Restart Manager does,
// and waits for it; answers one of the exit codes above.
int CloseRunningPlugin();

}  // namespace orvane::app
