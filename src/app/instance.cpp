#include "app/instance.h"

#include "app/main_frame.h"
#include "base/unique_resource.h"

#include <windows.h>

namespace orvane::app {

namespace {

constexpr char kMutexName[] = "INSTANCE_CHECK";

// Held for the life of the process; let go only on the restart hand-off.
UniqueHandle instanceMutex;

}  // namespace

bool ClaimSingleInstance() {
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  instanceMutex.Reset(mutex);
  if (existed) return false;
  return FindWindowA(nullptr, kFrameTitle) == nullptr;
}

void ReleaseSingleInstance() { instanceMutex.Reset(); }

}  // namespace orvane::app
