// Where the stand-in main application writes what it receives: a log file and the console.
#pragma once

#include <string>
#include <utility>

namespace orvane {

namespace standin {

class MessageLog {
public:
  explicit MessageLog(std::string path) : path_(std::move(path)) {}

  // Appends one line to the file (opened and closed each time, so a test can read it while
  // the program runs, and two instances may share it) and prints it to stdout at once.
  void Write(const std::string& line) const;

private:
  std::string path_;
};

}  // namespace standin

}  // namespace orvane
