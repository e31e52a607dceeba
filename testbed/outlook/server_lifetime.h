// How long the stand-in's server process is needed: live objects plus LockServer locks.
#pragma once

namespace orvane {

namespace outlook_standin {

void ServerObjectCreated();
void ServerObjectDestroyed();
void LockServer(bool lock);
// Objects and locks alive now.
long ServerUsers();
// Called (once per time) when the last object or lock goes; the server ends itself from it.
void SetServerIdleHandler(void (*handler)());

}  // namespace outlook_standin

}  // namespace orvane
