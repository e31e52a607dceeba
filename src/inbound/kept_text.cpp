#include "inbound/kept_text.h"

#include "mainapp/record_text.h"

#include <string>

namespace orvane::inbound {

namespace {

// What an empty text goes out as.
constexpr std::string_view kNoText = "nono";

}  // namespace

bool RecordCarriesText(std::string_view outlookText, std::string_view recordText) {
  const std::string carried = mainapp::OutboundText(outlookText);
  return carried == recordText || (carried.empty() && recordText == kNoText);
}

}  // namespace orvane::inbound
