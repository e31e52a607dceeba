#include "testbed/orvane/message_log.h"

#include <cstdio>
#include <fstream>

namespace orvane {

namespace standin {

void MessageLog::Write(const std::string& line) const {
  std::ofstream file(path_, std::ios::binary | std::ios::app);
  file << line << "\r\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace standin

}  // namespace orvane
