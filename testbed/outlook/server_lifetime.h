// How long the stand-in's server process is needed: live objects plus LockServer locks.
#pragma once

namespace orvane {

namespace outlook_standin {

// One use of the server for the owner's lifetime: every object the server hands out holds one.
class ServerUse {
public:
  ServerUse() noexcept;
  ServerUse(const ServerUse&) = delete;
  ServerUse& operator=(const ServerUse&) = delete;
  ~ServerUse();
};

void LockServer(bool lock) noexcept;
// Objects and locks alive now.
long ServerUsers();
// Called (once per time) when the last object or lock goes; the server ends itself from it.
void SetServerIdleHandler(void (*handler)());

}  // namespace outlook_standin

}  // namespace orvane
