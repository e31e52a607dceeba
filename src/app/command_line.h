// The start switches of the plug-in's command line.
#pragma once

#include <string>
#include <string_view>

namespace orvane::app {

struct StartSwitches {
  bool embedding = false;    // "/Embedding" or "-Embedding": started by COM for a client
  bool automation = false;   // "/Automation" or "-Automation": started as an automation server
  bool regServer = false;    // "/RegServer": registers the document server, then ends
  bool unregServer = false;  // "/UnregServer": removes this program's registration, then ends
  bool help = false;         // "/?" or "/Help": shows the usage, then ends
  bool version = false;      // "/Version": shows the version, then ends
  bool close = false;        // "/Close": ends the plug-in running in this session, then ends

  // Started by COM: the server's working directory is then the system's, not the program's.
  bool StartedByCom() const { return embedding || automation; }
  // A switch that does its one job and ends the process without opening anything.
  bool EndsAtOnce() const { return regServer || unregServer || help || version || close; }
};

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
      if (SameWordIgnoringCase(name, "RegServer")) switches.regServer = true;
      if (SameWordIgnoringCase(name, "UnregServer")) switches.unregServer = true;
      if (name == "?" || SameWordIgnoringCase(name, "Help")) switches.help = true;
      if (SameWordIgnoringCase(name, "Version")) switches.version = true;
      if (SameWordIgnoringCase(name, "Close")) switches.close = true;
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

// The program a server command starts: the quoted path, or the command up to its first blank.
inline std::string_view ServerProgram(std::string_view command) {
  if (!command.empty() && command[0] == '"') {
    const size_t close = command.find('"', 1);
    return close == std::string_view::npos ? command.substr(1) : command.substr(1, close - 1);
  }
  return command.substr(0, command.find_first_of(" \t"));
}

}  // namespace orvane::app
