// RecordingControl: a process control that notes how the code under test would have ended the
// process, instead of ending it.
#pragma once

#include "base/process_control.h"

#include <vector>

namespace orvane {

enum class Ending { ExitNormally, TerminateAtOnce, HandOff };

class RecordingControl final : public ProcessControl {
public:
  void ExitNormally() noexcept override { endings.push_back(Ending::ExitNormally); }
  void TerminateAtOnce() noexcept override { endings.push_back(Ending::TerminateAtOnce); }
  void HandOff(HWND) noexcept override { endings.push_back(Ending::HandOff); }

  std::vector<Ending> endings;
};

}  // namespace orvane
