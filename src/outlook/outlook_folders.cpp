#include "outlook/outlook_folders.h"

#include "outlook/com_types.h"
#include "outlook/outlook_session.h"

namespace orvane::outlook {

DispatchDriver RetryAfterReconnect(const std::function<DispatchDriver()>& call) {
  try {
    return call();
  } catch (const AutomationError&) {
    // Outlook may have been restarted since the session was opened; a fresh session usually
    // serves the call. The first failure says nothing more than that.
    CreateOutlookSession();
    return call();
  }
}

DispatchDriver DefaultFolderOnce(int32_t folder) {
  return outlookNamespace.InvokeForObject(outlook::kGetDefaultFolder, Variant::Int32(folder));
}

DispatchDriver GetDefaultFolder(int32_t folder) {
  return RetryAfterReconnect([folder] { return DefaultFolderOnce(folder); });
}

}  // namespace orvane::outlook
