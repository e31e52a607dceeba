#include "base/process_control.h"

#include <atomic>
#include <cstdlib>

namespace orvane {
namespace {

SystemProcessControl& SystemControl() noexcept {
  static SystemProcessControl control;
  return control;
}

std::atomic<ProcessControl*> current{nullptr};

}  // namespace

void SystemProcessControl::EndNormally() noexcept { std::exit(0); }

void TerminateWithCode(UINT code) noexcept {
  TerminateProcess(GetCurrentProcess(), code);
  std::abort();  // not reached: TerminateProcess on the own process does not return
}

void SystemProcessControl::EndAtOnce() noexcept { TerminateWithCode(0); }

void SystemProcessControl::HandOver(HWND) noexcept { EndNormally(); }

ProcessControl& CurrentProcessControl() noexcept {
  ProcessControl* control = current.load();
  return control ? *control : SystemControl();
}

ProcessControl* InstallProcessControl(ProcessControl* control) noexcept { return current.exchange(control); }

}  // namespace orvane
