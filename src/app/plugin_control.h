// PluginControl: how the plug-in ends. Exits and terminations are those of the ending it is
// given (the system's in the program); a hand-off first hands over to a successor.
#pragma once

#include "base/process_control.h"

#include <windows.h>

namespace orvane::app {

class PluginControl final : public ProcessControl {
public:
  explicit PluginControl(ProcessControl& ending) noexcept : ending_(ending) {}

protected:
  void EndNormally() noexcept override { ending_.ExitNormally(); }
  void EndAtOnce() noexcept override { ending_.TerminateAtOnce(); }
  // Retitles the frame "stub", tells the main application ("Orvane_Shield") when its window
  // exists or else starts a new plug-in, then exits normally.
  void HandOver(HWND mainAppWindow) noexcept override;

private:
  ProcessControl& ending_;
};

}  // namespace orvane::app
