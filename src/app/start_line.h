// The log lines that tell which program wrote a log, and which Outlook it worked with.
#pragma once

#include "outlook/outlook_session.h"

#include <string>

namespace orvane::app {

// "OrvaneOutlook=>Start::Version 1.0.0.7, process 4711, session 2, elevated no".
std::string StartLogLine();
// Logs "OrvaneOutlook=>Outlook version 16.0.0.17928" from the open session, once for each Outlook
// process the plug-in connects its sinks to; a version that cannot be read is logged as the failure.
void LogOutlookVersion(const outlook::OutlookSession& session) noexcept;

}  // namespace orvane::app
