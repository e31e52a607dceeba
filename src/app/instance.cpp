#include "app/instance.h"

#include "app/main_frame.h"

#include <windows.h>

namespace orvane {

namespace {

constexpr char kMutexName[] = "INSTANCE_CHECK";

// Held for the life of the process; closed only on the restart hand-off.
HANDLE instanceMutex = nullptr;

}  // namespace

bool ClaimSingleInstance() {
  instanceMutex = CreateMutexA(nullptr, FALSE, kMutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) return false;
  return FindWindowA(nullptr, kFrameTitle) == nullptr;
}

void ReleaseSingleInstance() {
  if (instanceMutex) CloseHandle(instanceMutex);
  instanceMutex = nullptr;
}

}  // namespace orvane
