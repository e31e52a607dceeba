// The plug-in's log "OrvaneErrorLog.txt" in the current directory, one time-stamped line per call;
// where that cannot be written, the same log in the plug-in's per-user folder.
#pragma once

#include <cstdint>

namespace orvane {

// Appends one line with the text's first 150 characters; 1 when written, 0 when neither log can
// be written (the line then goes to the debugger's output).
int WriteLog(const char* text);
// Appends one line holding the text immediately followed by the number in decimal.
int WriteLogNumbered(const char* text, int32_t number);
// The plug-in's failure reporter: an exception caught by a callback guard, logged as
// "OrvaneOutlook=><where>::<text> (<member>)" (WithFailedMember).
void LogCaughtFailure(const char* where, const char* what, const char* member) noexcept;

}  // namespace orvane
