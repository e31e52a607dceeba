// The randomized run: the plug-in between the stand-in Outlook, acted on by a simulated user, and a
// model main application, with faults at random; at the end the two sides must agree.
#pragma once

#include <cstdint>
#include <string>

namespace orvane::soak {

struct SoakOptions {
  uint32_t seed = 20261208;
  int seconds = 150;         // how long the actions go on, before the settling and the check
  std::string runDirectory;  // where the store, the logs and the plug-in's files of the run are kept
};

// Answers 0 when both sides agree and the plug-in is alive and bounded at the end, 1 otherwise,
// 2 when the run could not start. Its last line of output sums the run up.
int RunSoak(const SoakOptions& options);

}  // namespace orvane::soak
