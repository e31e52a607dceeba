// Whether a text Outlook holds already says, as a record carries it, what a record's text says.
// Records travel in the system's ANSI code page, Outlook keeps Unicode: a text the main
// application got as "Plan ?" comes back as "Plan ?", and writing it would destroy the "Plan ★"
// Outlook holds.
#pragma once

#include <string_view>

namespace orvane::inbound {

// True when `outlookText` (Outlook's text in the ANSI code page, as the item gives it) goes out in
// a record as `recordText`: its record text (OutboundText), or "nono" for an empty one. The
// comparison heeds letter case, so a real change of case is written.
bool RecordCarriesText(std::string_view outlookText, std::string_view recordText);

}  // namespace orvane::inbound
