// RecordingControl: a process control that notes how the code under test would have ended the
// process, instead of ending it.
#pragma once

#include "base/process_control.h"

#include <vector>

namespace orvane {

enum class Ending { ExitNormally, TerminateAtOnce, HandOff };

class RecordingControl final : public ProcessControl {
public:
  std::vector<Ending> endings;

protected:
  void EndNormally() noexcept override { endings.push_back(Ending::ExitNormally); }
  void EndAtOnce() noexcept override { endings.push_back(Ending::TerminateAtOnce); }
  void HandOver(HWND) noexcept override { endings.push_back(Ending::HandOff); }
};

}  // namespace orvane
