// ProcessControl: the one place that ends the process. Code that must end it asks the current
// control; tests put a recording control in its place and observe the ending instead of dying.
#pragma once

#include <windows.h>

namespace orvane {

class ProcessControl {
public:
  virtual ~ProcessControl() = default;
  // Through the run time's normal exit with code 0: static objects are destroyed.
  virtual void ExitNormally() noexcept = 0;
  // At once with code 0: nothing is cleaned up.
  virtual void TerminateAtOnce() noexcept = 0;
  // Hands over to a successor (the main application's window when there is one, else a new
  // plug-in) and ends.
  virtual void HandOff(HWND mainAppWindow) noexcept = 0;
};

// Ends the process for real. Its hand-off only exits; the plug-in installs a control of its own
// that knows how to hand over.
class SystemProcessControl : public ProcessControl {
public:
  void ExitNormally() noexcept override;
  void TerminateAtOnce() noexcept override;
  void HandOff(HWND mainAppWindow) noexcept override;
};

// Thrown by code that asked the current control to end the process and saw the call return,
// which only a test's control does: the work under way stops there, and the callback guards
// end the callback quietly, the process being over as far as that work knows.
struct EndRequested {};

// Terminates the process at once with the given exit code; nothing is cleaned up.
[[noreturn]] void TerminateWithCode(UINT code) noexcept;

// The control in charge now.
ProcessControl& CurrentProcessControl() noexcept;
// Puts a control in charge; null puts the system's back. Answers the one it replaces.
ProcessControl* InstallProcessControl(ProcessControl* control) noexcept;

// Puts a control in charge for the owner's lifetime.
class ScopedProcessControl {
public:
  explicit ScopedProcessControl(ProcessControl& control) noexcept : previous_(InstallProcessControl(&control)) {}
  ScopedProcessControl(const ScopedProcessControl&) = delete;
  ScopedProcessControl& operator=(const ScopedProcessControl&) = delete;
  ~ScopedProcessControl() { InstallProcessControl(previous_); }

private:
  ProcessControl* previous_;
};

}  // namespace orvane
