// Outlook's default folders, asked of the session, with one more try on a fresh session.
#pragma once

#include "outlook/dispatch_driver.h"
#include "outlook/outlook_session.h"

#include <cstdint>

namespace orvane::outlook {

// The session's default folder of the number (9, 12, 13), asked once.
DispatchDriver DefaultFolderOnce(const OutlookSession& session, int32_t folder);
// The same, tried once more on a fresh session.
DispatchDriver GetDefaultFolder(OutlookSession& session, int32_t folder);

}  // namespace orvane::outlook
