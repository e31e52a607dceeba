// The document server's registration under the current user's classes: its ProgID, its class and
// the command COM starts it with.
#pragma once

#include <windows.h>

namespace orvane::app {

constexpr char kDocumentProgId[] = "Stub.Document";
// The document's class and its own dispatch interface.
// {6C1F3A52-2B7E-4E0C-9A61-3D0B5E7A9C14}
constexpr CLSID kDocumentClsid = {0x6c1f3a52, 0x2b7e, 0x4e0c, {0x9a, 0x61, 0x3d, 0x0b, 0x5e, 0x7a, 0x9c, 0x14}};
constexpr char kDocumentClsidText[] = "{6C1F3A52-2B7E-4E0C-9A61-3D0B5E7A9C14}";
// {6C1F3A53-2B7E-4E0C-9A61-3D0B5E7A9C14}
constexpr IID kDocumentDispatchIid = {0x6c1f3a53, 0x2b7e, 0x4e0c, {0x9a, 0x61, 0x3d, 0x0b, 0x5e, 0x7a, 0x9c, 0x14}};

// Writes the ProgID and class keys, with LocalServer32 naming this program; true when it does.
bool RegisterAutomationServer();
// Removes the keys RegisterAutomationServer writes, but only while LocalServer32 names this
// program: another copy's registration stays. True when nothing of this program's is left.
bool UnregisterAutomationServer();

}  // namespace orvane::app
