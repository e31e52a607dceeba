// The command line of the stand-in main application.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

namespace standin {

enum class Action { kNone, kSave, kChange, kDelete, kDone, kClose };

// One thing to hand to the plug-in: a record of a kind, an action message, or both in turn.
struct Delivery {
  std::optional<std::uint32_t> kind;  // absent: no record, the action alone
  std::string record;                 // "@path" (the file's raw bytes) or escaped literal text
  Action action = Action::kNone;
};

struct Options {
  bool showHelp = false;
  bool runMainWindow = false;  // stay up as the main application's window
  std::string logPath = "OrvaneMain.log";
  int waitSeconds = 10;  // how long to wait for the plug-in's window
  // Ends the process of the window that sends the first record of this kind, once it is logged.
  std::optional<std::uint32_t> endSenderOnKind;
  // Holds the first record's WM_COPYDATA this long before answering, as a main application busy
  // starting up does: the sender may give up meanwhile while the record is still taken.
  std::uint32_t firstAnswerDelayMs = 0;
  // Once the main window is up, takes no message for this long, as a hung main application.
  std::uint32_t stopPumpingMs = 0;
  std::vector<Delivery> deliveries;
};

struct ParsedOptions {
  std::optional<Options> options;  // absent when the command line is wrong
  std::string error;
};

// The arguments after the program name.
ParsedOptions ParseOptions(const std::vector<std::string>& args);

// A kind in hex ("0x2BB7B2A6") or decimal ("733459110"); no value unless it fits 32 bits.
std::optional<std::uint32_t> ParseKind(std::string_view text);
// "save", "change", "delete", "done", "close" or "none", in any letter case.
std::optional<Action> ParseAction(std::string_view text);
// The registered window message that names an action; empty for Action::kNone.
std::string_view ActionMessageName(Action action);
// A literal record: "\t" tab, "\n" line feed, "\\" backslash, "\xNN" any byte; any other
// backslash stays as it is.
std::string DecodeEscapes(std::string_view text);

// What "Orvane.exe /?" prints.
extern const char kUsage[];

}  // namespace standin

}  // namespace orvane
