// The stand-in's message filter: while the test controls make it busy, it turns away calls to
// Outlook's objects as Outlook does while a dialog of its own is open.
#pragma once

#include "base/com_ptr.h"

#include <windows.h>
#include <objidl.h>

namespace orvane {

namespace outlook_standin {

ComPtr<IMessageFilter> NewBusyFilter();

}  // namespace outlook_standin

}  // namespace orvane
