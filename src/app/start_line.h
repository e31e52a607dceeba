// The log line every start of the plug-in writes, so that a log tells which program wrote it.
#pragma once

#include <string>

namespace orvane::app {

// "OrvaneOutlook=>Start::Version 1.0.0.7, process 4711, session 2, elevated no".
std::string StartLogLine();

}  // namespace orvane::app
