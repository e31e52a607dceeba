#include "testbed/outlook/server_lifetime.h"

#include <windows.h>

namespace orvane {

namespace outlook_standin {
namespace {

LONG users = 0;
void (*idleHandler)() = nullptr;

void Release() {
  if (InterlockedDecrement(&users) == 0 && idleHandler) idleHandler();
}

}  // namespace

void ServerObjectCreated() { InterlockedIncrement(&users); }
void ServerObjectDestroyed() { Release(); }

void LockServer(bool lock) {
  if (lock) {
    InterlockedIncrement(&users);
  } else {
    Release();
  }
}

long ServerUsers() { return users; }
void SetServerIdleHandler(void (*handler)()) { idleHandler = handler; }

}  // namespace outlook_standin

}  // namespace orvane
