#include "inbound/writers.h"
namespace orvane::inbound {

int ReplaceChar(char* text, char from, char to) {
  if (!text) return 0;
  int replaced = 0;
  for (char* at = text; *at != '\0'; ++at) {
    if (*at == from) {
      *at = to;
      ++replaced;
    }
  }
  return replaced;
}

}  // namespace orvane::inbound
