// The inbound record in hand when the plug-in is ended for a logoff, a shutdown or an installer:
// kept in a file of its own, so that the next process performs it.
#pragma once

#include "app/intake.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::app {

struct HeldRecord {
  uint32_t kind = 0;
  Action action = Action::None;
  std::string text;
};

// The file's text: a first line naming it, the kind and the action, then the record's bytes.
std::string FormatHeldRecord(const HeldRecord& record);
// The record a file holds; none when the file is not one (cut short, another program's, a record
// that would not fit the record buffer, a kind not accepted, no action).
std::optional<HeldRecord> ParseHeldRecord(std::string_view file);

}  // namespace orvane::app
