// The type library that describes Outlook's ItemsEvents dispatch interface. COM needs it to carry a
// sink's ItemsEvents interface between processes: registered, the interface is marshalled as IDispatch.
#pragma once

#include <windows.h>

#include <string>

namespace orvane {

namespace outlook_standin {

// Writes the library next to the server (`serverPath` with the extension ".tlb") and registers it.
HRESULT RegisterEventsTypeLibrary(const std::wstring& serverPath);
HRESULT UnregisterEventsTypeLibrary();

}  // namespace outlook_standin

}  // namespace orvane
