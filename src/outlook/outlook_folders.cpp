#include "outlook/outlook_folders.h"

#include "outlook/com_types.h"

namespace orvane::outlook {

DispatchDriver DefaultFolderOnce(const OutlookSession& session, int32_t folder) {
  return session.Namespace().InvokeForObject(outlook::kGetDefaultFolder, Variant::Int32(folder));
}

DispatchDriver GetDefaultFolder(OutlookSession& session, int32_t folder) {
  return RetryAfterReconnect(session, [&] { return DefaultFolderOnce(session, folder); });
}

}  // namespace orvane::outlook
