// The process-wide Outlook session: the Application object and its MAPI NameSpace.
#pragma once

#include "outlook/dispatch_driver.h"

namespace orvane::outlook {

extern DispatchDriver outlookApp;
extern DispatchDriver outlookNamespace;

// Drops any earlier session, creates Outlook's Application object (ending the process with
// exit code 0 when two attempts 5 s apart fail; under a test's control, which returns, the
// AutomationError "Outlook cannot be created" is thrown after the ending was asked), gets the MAPI NameSpace and logs
// on. Answers a copy of the Application object with a reference of its own.
DispatchDriver CreateOutlookSession();
// Releases both session objects.
void ReleaseOutlookSession();

// Whether Outlook's main window is on the desktop: Outlook runs.
bool OutlookWindowExists();
// The process of Outlook's main window; 0 when there is none.
DWORD OutlookProcessId();

}  // namespace orvane::outlook
