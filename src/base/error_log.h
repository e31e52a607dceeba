// The plug-in's log "OrvaneErrorLog.txt" in the current directory, one time-stamped line per call.
#pragma once

#include <cstdint>

namespace orvane {

// Appends one line with the text's first 150 characters; 1 when written, 0 when the file cannot be opened.
int WriteLog(const char* text);
// Appends one line holding the text immediately followed by the number in decimal.
int WriteLogNumbered(const char* text, int32_t number);
// The plug-in's failure reporter: an exception caught by a callback guard, logged as
// "OrvaneOutlook=><where>::<text>".
void LogCaughtFailure(const char* where, const char* what) noexcept;

}  // namespace orvane
