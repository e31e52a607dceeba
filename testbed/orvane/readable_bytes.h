// Shows received bytes on one line of text, exactly and unambiguously.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

namespace standin {

// Printable ASCII as it is, a backslash doubled, tab as "\t", any other byte as "\xNN"
// (upper-case hex), so a line feed or a code-page letter is visible in the log.
std::string ReadableBytes(std::string_view bytes);

// What a kind of record from the plug-in is: "new task", "changed note", "deleted appointment", ...;
// "unknown kind" for any other dwData.
const char* KindName(std::uintptr_t kind);

// The log line of one WM_COPYDATA: its kind in hex (all of dwData, at least eight digits) and by
// name, its byte count, the sending window and the bytes, for example
// "WM_COPYDATA kind=0x2BB7B2A6 (new task) bytes=5 sender=0x1005A data=Call\x0A".
std::string CopyDataLine(std::uintptr_t kind, std::uintptr_t sender, std::string_view bytes);

}  // namespace standin

}  // namespace orvane
