#include "testbed/outlook/server_lifetime.h"

#include <windows.h>

namespace orvane {

namespace outlook_standin {
namespace {

LONG users = 0;
void (*idleHandler)() = nullptr;

void Acquire() noexcept { InterlockedIncrement(&users); }

void Release() noexcept {
  if (InterlockedDecrement(&users) == 0 && idleHandler) idleHandler();
}

}  // namespace

ServerUse::ServerUse() noexcept { Acquire(); }
ServerUse::~ServerUse() { Release(); }

void LockServer(bool lock) noexcept {
  if (lock) {
    Acquire();
  } else {
    Release();
  }
}

long ServerUsers() { return users; }
void SetServerIdleHandler(void (*handler)()) { idleHandler = handler; }

}  // namespace outlook_standin

}  // namespace orvane
