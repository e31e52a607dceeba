// The single-instance rule: the named mutex "INSTANCE_CHECK" and the frame's title.
#pragma once

namespace orvane::app {

// True when no other instance runs; takes the mutex for the life of the process.
bool ClaimSingleInstance();
// Lets the mutex go, so a successor started by the restart hand-off can claim it.
void ReleaseSingleInstance();

}  // namespace orvane::app
