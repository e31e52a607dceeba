// The start switches of the plug-in's command line.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

struct StartSwitches {
  bool embedding = false;   // "/Embedding" or "-Embedding": started by COM for a client
  bool automation = false;  // "/Automation" or "-Automation": started as an automation server
};

namespace commandline {

inline bool SameWordIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Reads the switches among the blank-separated words of a command line (program name excluded).
inline StartSwitches ParseStartSwitches(std::string_view line) {
  StartSwitches switches;
  size_t position = 0;
  while (position < line.size()) {
    while (position < line.size() && (line[position] == ' ' || line[position] == '\t')) ++position;
    size_t end = position;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    const std::string_view word = line.substr(position, end - position);
    if (word.size() > 1 && (word[0] == '/' || word[0] == '-')) {
      const std::string_view name = word.substr(1);
      if (SameWordIgnoringCase(name, "Embedding")) switches.embedding = true;
      if (SameWordIgnoringCase(name, "Automation")) switches.automation = true;
    }
    position = end;
  }
  return switches;
}

// The command COM runs to start a local server: the program's path in quotes, so that a path with
// blanks ("C:\Program Files\...") names that program and no other, then the switch.
inline std::string ServerCommand(std::string_view programPath, std::string_view startSwitch) {
  std::string command;
  command.reserve(programPath.size() + startSwitch.size() + 3);
  command.append("\"").append(programPath).append("\" ").append(startSwitch);
  return command;
}

}  // namespace commandline

}  // namespace orvane
