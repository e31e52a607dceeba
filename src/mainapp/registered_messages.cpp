#include "mainapp/registered_messages.h"

namespace orvane::mainapp {

// Registered during static initialisation, before the frame exists, so its handler can compare.
const UINT saveNowMessage = RegisterWindowMessageA("Orvane_SaveNow");
const UINT doneNowMessage = RegisterWindowMessageA("Orvane_DoneNow");
const UINT changeNowMessage = RegisterWindowMessageA("Orvane_ChangeNow");
const UINT deleteNowMessage = RegisterWindowMessageA("Orvane_DeleteNow");
const UINT closeStubNowMessage = RegisterWindowMessageA("Orvane_CloseStubNow");

}  // namespace orvane::mainapp
