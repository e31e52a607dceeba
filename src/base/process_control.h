// ProcessControl: the one place that ends the process. Code that must end it asks the current
// control; tests put a recording control in its place and observe the ending instead of dying.
#pragma once

#include <windows.h>

namespace orvane {

// Each ending is first marked as asked for, then carried out. In the program none returns; a test's
// control returns, and the code that asked then stops its work as if the process were gone. The
// callback guards let every failure after an asked ending pass without a report: the process is
// over as far as that work knows.
class ProcessControl {
public:
  virtual ~ProcessControl() = default;
  // Through the run time's normal exit with code 0: static objects are destroyed.
  void ExitNormally() noexcept { Mark(&ProcessControl::EndNormally); }
  // At once with code 0: nothing is cleaned up.
  void TerminateAtOnce() noexcept { Mark(&ProcessControl::EndAtOnce); }
  // Hands over to a successor (the main application's window when there is one, else a new
  // plug-in) and ends.
  void HandOff(HWND mainAppWindow) noexcept {
    endAsked_ = true;
    HandOver(mainAppWindow);
  }
  // Whether an ending has been asked of this control.
  bool EndAsked() const noexcept { return endAsked_; }

protected:
  virtual void EndNormally() noexcept = 0;
  virtual void EndAtOnce() noexcept = 0;
  virtual void HandOver(HWND mainAppWindow) noexcept = 0;

private:
  void Mark(void (ProcessControl::*end)() noexcept) noexcept {
    endAsked_ = true;
    (this->*end)();
  }
  bool endAsked_ = false;
};

// Ends the process for real. Its hand-off only exits; the plug-in installs a control of its own
// that knows how to hand over.
class SystemProcessControl : public ProcessControl {
protected:
  void EndNormally() noexcept override;
  void EndAtOnce() noexcept override;
  void HandOver(HWND mainAppWindow) noexcept override;
};

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
