// The texts of records sent to the main application: each record is one line of TAB-separated
// fields, so no text may hold a field's or a line's end.
#pragma once

#include <string>
#include <string_view>

namespace orvane::mainapp {

// The text as it goes into a record: a TAB, CR or LF becomes one space and a NUL is left out.
std::string OutboundText(std::string_view text);

}  // namespace orvane::mainapp
