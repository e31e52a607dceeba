// Runs the unit tests inside a single-threaded COM apartment, as the plug-in's own thread is.
// No test may end the process: an ending asked of the process control fails the test that asked,
// and one that bypassed the control fails the whole run.
#include "base/com_scope.h"
#include "base/process_control.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr UINT kEndedEarly = 3;
bool runnerReturned = false;

// Tests that expect an ending put a control of their own in charge.
class EndingIsAFailure final : public orvane::ProcessControl {
protected:
  void EndNormally() noexcept override { Fail("a normal exit"); }
  void EndAtOnce() noexcept override { Fail("an immediate termination"); }
  void HandOver(HWND) noexcept override { Fail("a hand-off"); }

private:
  static void Fail(const char* ending) noexcept { ADD_FAILURE() << "the code under test asked for " << ending; }
};

void FailIfTheRunnerDidNotReturn() {
  if (runnerReturned) return;
  std::fputs("unit_tests: the process is ending before every test has run; the run fails\n", stderr);
  std::fflush(stderr);
  orvane::TerminateWithCode(kEndedEarly);
}

}  // namespace

int main(int argc, char** argv) {
  // Unbuffered, so that a run that ends early still shows how far it came.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  testing::InitGoogleTest(&argc, argv);
  std::atexit(FailIfTheRunnerDidNotReturn);
  const orvane::Apartment apartment;
  EndingIsAFailure control;
  const orvane::ScopedProcessControl inCharge(control);
  const int result = RUN_ALL_TESTS();
  runnerReturned = true;
  return result;
}
