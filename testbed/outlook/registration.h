// Registration of the stand-in's classes under HKLM\Software\Classes (Wine's CLSIDFromProgID reads
// no other place): ProgID -> CLSID -> LocalServer32.
#pragma once

#include <windows.h>

#include <string>

namespace orvane {

namespace outlook_standin {

// Registers "Outlook.Application" and "OutlookStandin.Control" to be served by the program at
// `serverPath`, keeping its store in `storePath` when one is given. Refuses (E_ACCESSDENIED) to
// take over a class that another program serves, so a development machine's real Outlook stays
// registered.
HRESULT RegisterServer(const std::wstring& serverPath, const std::wstring& storePath = L"");
// Removes both registrations, where they name the stand-in.
HRESULT UnregisterServer();
// Makes "Outlook.Application" name Outlook's CLSID if no ProgID is registered yet, so that
// CLSIDFromProgID works for the in-process model.
HRESULT EnsureApplicationProgId();

}  // namespace outlook_standin

}  // namespace orvane
