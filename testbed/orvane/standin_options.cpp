#include "testbed/orvane/standin_options.h"

namespace orvane {

namespace standin {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

int DigitValue(char c, int base) {
  int value = 99;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Digits only, the whole text, at most 32 bits.
std::optional<std::uint32_t> ParseUnsigned(std::string_view digits, int base) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return std::nullopt;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

// Two hex digits at a position, when the text holds them.
std::optional<std::uint32_t> HexByteAt(std::string_view text, std::size_t at) {
  return at + 2 <= text.size() ? ParseUnsigned(text.substr(at, 2), 16) : std::nullopt;
}

// Appends the character or escape at a position; answers how many characters it took.
std::size_t DecodeOne(std::string_view text, std::size_t at, std::string& decoded) {
  const char escape = at + 1 < text.size() && text[at] == '\\' ? text[at + 1] : '\0';
  if (escape == 't' || escape == 'n' || escape == '\\') {
    decoded += escape == 't' ? '\t' : escape == 'n' ? '\n' : '\\';
    return 2;
  }
  if (escape == 'x') {
    if (const auto byte = HexByteAt(text, at + 2)) {
      decoded += static_cast<char>(*byte);
      return 4;
    }
  }
  decoded += text[at];
  return 1;
}

// A switch is "/name" or "-name", in any letter case.
bool IsSwitch(std::string_view arg, std::string_view name) {
  return arg.size() > 1 && (arg[0] == '/' || arg[0] == '-') && SameWord(arg.substr(1), name);
}

// Walks the arguments; each switch takes the values it needs from the front.
class OptionReader {
public:
  explicit OptionReader(const std::vector<std::string>& args) : args_(args) {}

  ParsedOptions Read() {
    while (next_ < args_.size() && error_.empty()) ReadOne(args_[next_++]);
    if (!error_.empty()) return {std::nullopt, error_};
    // Without anything to deliver the program is the main window; /log or /stay keep it up
    // after its deliveries too.
    if (options_.deliveries.empty()) options_.runMainWindow = true;
    return {options_, std::string()};
  }

private:
  void ReadOne(std::string_view arg) {
    if (IsSwitch(arg, "?") || IsSwitch(arg, "help")) {
      options_.showHelp = true;
    } else if (IsSwitch(arg, "log")) {
      if (const auto path = Value("/log needs a file path")) {
        options_.logPath = *path;
        options_.runMainWindow = true;
      }
    } else if (IsSwitch(arg, "stay")) {
      options_.runMainWindow = true;
    } else if (IsSwitch(arg, "wait")) {
      ReadWait();
    } else if (IsSwitch(arg, "send")) {
      ReadSend();
    } else if (IsSwitch(arg, "action")) {
      ReadAction();
    } else if (IsSwitch(arg, "endsender")) {
      ReadEndSender();
    } else if (IsSwitch(arg, "answerafter")) {
      ReadMilliseconds("/answerafter", options_.firstAnswerDelayMs);
    } else if (IsSwitch(arg, "stoppumping")) {
      ReadMilliseconds("/stoppumping", options_.stopPumpingMs);
    } else {
      error_ = "unknown argument: " + std::string(arg);
    }
  }

  void ReadWait() {
    const auto text = Value("/wait needs a number of seconds");
    if (!text) return;
    const auto seconds = ParseUnsigned(*text, 10);
    if (!seconds || *seconds > 3600) {
      error_ = "/wait takes 0 to 3600 seconds, not " + *text;
      return;
    }
    options_.waitSeconds = static_cast<int>(*seconds);
  }

  void ReadSend() {
    const auto kindText = Value("/send needs a kind, an action and a record");
    const auto actionText = Value("/send needs an action and a record after the kind");
    const auto record = Value("/send needs a record after the action");
    if (!record) return;
    const auto kind = ParseKind(*kindText);
    const auto action = ParseAction(*actionText);
    if (!kind) error_ = "not a 32-bit kind: " + *kindText;
    if (!action) error_ = "not an action: " + *actionText;
    if (kind && action) options_.deliveries.push_back({kind, *record, *action});
  }

  // Milliseconds up to ten minutes; both switches keep the main window up.
  void ReadMilliseconds(const std::string& name, std::uint32_t& into) {
    const auto text = Value("a switch needs a number of milliseconds");
    if (!text) return;
    const auto milliseconds = ParseUnsigned(*text, 10);
    if (!milliseconds || *milliseconds > 600000) {
      error_ = name + " takes 0 to 600000 milliseconds, not " + *text;
      return;
    }
    into = *milliseconds;
    options_.runMainWindow = true;
  }

  void ReadEndSender() {
    const auto kindText = Value("/endsender needs a kind");
    if (!kindText) return;
    options_.endSenderOnKind = ParseKind(*kindText);
    if (!options_.endSenderOnKind) error_ = "not a 32-bit kind: " + *kindText;
  }

  void ReadAction() {
    const auto actionText = Value("/action needs an action");
    if (!actionText) return;
    const auto action = ParseAction(*actionText);
    if (!action || *action == Action::kNone) {
      error_ = "not an action: " + *actionText;
      return;
    }
    options_.deliveries.push_back({std::nullopt, std::string(), *action});
  }

  // The next argument, or an error when there is none (only the first error is kept).
  std::optional<std::string> Value(const char* missing) {
    if (!error_.empty()) return std::nullopt;
    if (next_ < args_.size()) return args_[next_++];
    error_ = missing;
    return std::nullopt;
  }

  const std::vector<std::string>& args_;
  std::size_t next_ = 0;
  Options options_;
  std::string error_;
};

struct ActionName {
  Action action;
  std::string_view word;
  std::string_view message;
};

constexpr ActionName kActionNames[] = {
    {Action::kNone, "none", ""},
    {Action::kSave, "save", "Orvane_SaveNow"},
    {Action::kChange, "change", "Orvane_ChangeNow"},
    {Action::kDelete, "delete", "Orvane_DeleteNow"},
    {Action::kDone, "done", "Orvane_DoneNow"},
    {Action::kClose, "close", "Orvane_CloseStubNow"},
};

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& args) { return OptionReader(args).Read(); }

std::optional<std::uint32_t> ParseKind(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && LowerAscii(text[1]) == 'x') {
    return ParseUnsigned(text.substr(2), 16);
  }
  return ParseUnsigned(text, 10);
}

std::optional<Action> ParseAction(std::string_view text) {
  for (const auto& name : kActionNames) {
    if (SameWord(text, name.word)) return name.action;
  }
  return std::nullopt;
}

std::string_view ActionMessageName(Action action) {
  for (const auto& name : kActionNames) {
    if (name.action == action) return name.message;
  }
  return {};
}

std::string DecodeEscapes(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) at += DecodeOne(text, at, decoded);
  return decoded;
}

const char kUsage[] =
    "Orvane.exe - stand-in for the Orvane main application\n"
    "\n"
    "  Orvane.exe [/log <path>] [/stay] [/wait <seconds>] [/endsender <kind>]\n"
    "             [/answerafter <ms>] [/stoppumping <ms>]\n"
    "             [/send <kind> <action> <record>]... [/action <action>]...\n"
    "\n"
    "Without /send or /action it runs as the main window (class \"Orvane Main\", title\n"
    "\"Orvane\") until it is closed, writing each WM_COPYDATA and \"Orvane_Shield\" it\n"
    "receives as one line to the log (default OrvaneMain.log) and to the console.\n"
    "\n"
    "  /send <kind> <action> <record>  sends the record to the plug-in's window\n"
    "      (\"Untitled - stub\") as WM_COPYDATA of that kind, then the action message.\n"
    "      kind:   hex (0x2BB7B2A6) or decimal\n"
    "      action: save, change, delete, done, close, or none (the record alone)\n"
    "      record: @<file> for the file's bytes, or text where \\t is a tab, \\n a line\n"
    "              feed, \\\\ a backslash and \\xNN any byte\n"
    "  /action <action>   sends the action message alone\n"
    "  /wait <seconds>    how long to wait for the plug-in's window (default 10)\n"
    "  /log <path>        log file; also keeps the main window up after the deliveries\n"
    "  /stay              keeps the main window up after the deliveries\n"
    "  /endsender <kind>  ends the process that sends the first record of that kind,\n"
    "                     once it is logged, before the send returns (as a crash would)\n"
    "  /answerafter <ms>  answers the first WM_COPYDATA only that long after it is\n"
    "                     logged (a main application busy starting up)\n"
    "  /stoppumping <ms>  once the main window is up, takes no message for that long\n"
    "                     (a hung main application)\n"
    "\n"
    "Deliveries run in the order given. Exit code: 0 delivered (or closed normally),\n"
    "1 wrong command line or unreadable record file, 2 plug-in window not found,\n"
    "3 a message was not delivered.\n";

}  // namespace standin

}  // namespace orvane
