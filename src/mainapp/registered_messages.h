// The window messages the main application and the plug-in exchange, registered by name.
#pragma once

#include <windows.h>

namespace orvane::mainapp {

extern const UINT saveNowMessage;
extern const UINT doneNowMessage;
extern const UINT changeNowMessage;
extern const UINT deleteNowMessage;
extern const UINT closeStubNowMessage;

constexpr char kShieldMessageName[] = "Orvane_Shield";

}  // namespace orvane::mainapp
