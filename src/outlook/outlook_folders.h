// Outlook's default folders, asked of the session, with one more try on a fresh session.
#pragma once

#include "outlook/dispatch_driver.h"

#include <cstdint>
#include <functional>

namespace orvane::outlook {

// Runs an Outlook call; when it fails, opens the session anew and runs it once more, letting a
// second failure pass on.
DispatchDriver RetryAfterReconnect(const std::function<DispatchDriver()>& call);

// The session's default folder of the number (9, 12, 13), asked once.
DispatchDriver DefaultFolderOnce(int32_t folder);
// The same, tried once more on a fresh session.
DispatchDriver GetDefaultFolder(int32_t folder);

}  // namespace orvane::outlook
