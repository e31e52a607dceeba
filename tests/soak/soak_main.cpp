// OrvaneSoak.exe: the randomized run of the plug-in under Wine (scripts/soak.sh starts it).
//   --seed N       the run's every choice follows from it (default 20261208)
//   --seconds S    how long the actions go on before the sides settle and are compared
//   --dir PATH     the run's folder (default: soak-<seed> beside the program)
#include "base/module_path.h"
#include "tests/soak/soak_run.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  orvane::soak::SoakOptions options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--seed") {
      options.seed = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
    } else if (name == "--seconds") {
      options.seconds = std::atoi(value);
    } else if (name == "--dir") {
      options.runDirectory = value;
    } else {
      std::fprintf(stderr, "usage: OrvaneSoak.exe [--seed N] [--seconds S] [--dir PATH]\n");
      return 2;
    }
  }
  if (options.runDirectory.empty()) {
    options.runDirectory = orvane::ModuleDirectory() + "\\soak-" + std::to_string(options.seed);
  }
  return orvane::soak::RunSoak(options);
}
