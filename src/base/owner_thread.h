// OwnerThread: the thread a piece of the program was made on. The plug-in has one thread; every
// entry into it (a window's message, an Outlook event, a COM call) must come on it, as nothing it
// keeps is guarded by a lock.
#pragma once

#include <windows.h>

#include <cassert>

namespace orvane {

class OwnerThread {
public:
  OwnerThread() noexcept : id_(GetCurrentThreadId()) {}
  bool IsCurrent() const noexcept { return GetCurrentThreadId() == id_; }

private:
  DWORD id_;
};

// A debug build stops at an entry that came on another thread than its owner's.
inline void AssertOnOwnerThread(const OwnerThread& owner) noexcept {
  assert(owner.IsCurrent() && "entered on another thread than the one it was made on");
  (void)owner;
}

}  // namespace orvane
