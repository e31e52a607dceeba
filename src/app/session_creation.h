// ShellSessionCreation: what the plug-in does when Outlook's automation server cannot be created:
// it waits 5 s before the second try, and after a second failure logs why and ends.
#pragma once

#include "outlook/outlook_session.h"

#include <windows.h>

namespace orvane::app {

class ShellSessionCreation final : public outlook::SessionCreation {
public:
  // The wait before the second try.
  explicit ShellSessionCreation(DWORD retryDelayMs = 5000) noexcept : retryDelayMs_(retryDelayMs) {}

  void BeforeSecondTry() noexcept override;
  // Without Outlook the plug-in has nothing to do: one log line, then the process ends normally;
  // the main application starts it again when it needs it.
  void CannotCreate(HRESULT result) noexcept override;

private:
  DWORD retryDelayMs_;
};

}  // namespace orvane::app
