#include "mainapp/record_text.h"

namespace orvane::mainapp {

std::string OutboundText(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  for (const char c : text) {
    if (c == '\t' || c == '\r' || c == '\n') {
      clean += ' ';
    } else if (c != '\0') {
      clean += c;
    }
  }
  return clean;
}

}  // namespace orvane::mainapp
