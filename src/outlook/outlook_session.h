// OutlookSession: the one owner of the Outlook session, the Application object and its MAPI
// NameSpace, opened for a piece of work and released when the last work that holds it ends.
#pragma once

#include "outlook/dispatch_driver.h"

#include <vector>

namespace orvane::outlook {

// What the shell decides when Outlook's automation server cannot be created: the session reports,
// the shell waits and ends the process.
class SessionCreation {
public:
  // The first creation failed; answers once the second may be tried.
  virtual void BeforeSecondTry() noexcept = 0;
  // The second failed too, for the result. In the program this ends the process; a test's
  // ending returns, and the work that wanted Outlook stops.
  virtual void CannotCreate(HRESULT result) noexcept = 0;

protected:
  ~SessionCreation() = default;
};

class OutlookSession {
public:
  explicit OutlookSession(SessionCreation& creation) noexcept : creation_(creation) {}
  OutlookSession(const OutlookSession&) = delete;
  OutlookSession& operator=(const OutlookSession&) = delete;

  // A piece of work that holds the session: the first opens it afresh, those inside it share it,
  // and the last to end releases it.
  class Hold {
  public:
    explicit Hold(OutlookSession& session);
    ~Hold() { session_.Let(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

  private:
    OutlookSession& session_;
  };

  // Creates Outlook's Application object (two tries, the shell deciding what comes between and
  // after), gets the MAPI NameSpace and logs on; nothing when a session is open. Throws
  // AutomationError, "Outlook cannot be created" when the shell's ending returned.
  void Open();
  // A fresh session for a call that failed on this one: Outlook may have been restarted. The
  // objects of the old one stay alive for the work that holds them until the last hold ends.
  void Reopen();
  // Lets go of the session now, unless work holds it; then the last hold lets go.
  void Release() noexcept;
  // Lets go of a gone Outlook's session, without a call to it; work that holds it keeps its objects
  // alive to its end.
  void Abandon();

  bool IsOpen() const noexcept { return !outlookNamespace.IsEmpty(); }
  // Copies with references of their own: a reopen meanwhile leaves them working.
  DispatchDriver Application() const { return outlookApp; }
  DispatchDriver Namespace() const { return outlookNamespace; }

private:
  void Let() noexcept;
  void CreateApplication();
  void Retire();

  SessionCreation& creation_;
  DispatchDriver outlookApp;
  DispatchDriver outlookNamespace;
  // Sessions replaced by a reopen while work held them.
  std::vector<DispatchDriver> retired_;
  int holds_ = 0;
};

// Runs an Outlook call; when it fails, opens the session anew and runs it once more, letting a
// second failure pass on.
template <class Call>
auto RetryAfterReconnect(OutlookSession& session, Call&& call) -> decltype(call()) {
  try {
    return call();
  } catch (const AutomationError&) {
    // Outlook may have been restarted since the session was opened; a fresh session usually
    // serves the call. The first failure says nothing more than that.
    session.Reopen();
    return call();
  }
}

// Whether Outlook's main window is on the desktop: Outlook runs.
bool OutlookWindowExists();
// The process of Outlook's main window; 0 when there is none.
DWORD OutlookProcessId();

}  // namespace orvane::outlook
