#include "app/held_record.h"

#include <cstdio>

namespace orvane::app {

namespace {

constexpr char kFirstLine[] = "OrvaneOutlook held record\n";

struct ActionWord {
  Action action;
  const char* word;
};
constexpr ActionWord kActionWords[] = {
    {Action::Save, "Save"}, {Action::Change, "Change"}, {Action::Delete, "Delete"}, {Action::Done, "Done"}};

const char* WordOf(Action action) {
  for (const ActionWord& entry : kActionWords) {
    if (entry.action == action) return entry.word;
  }
  return "None";
}

Action ActionNamed(std::string_view word) {
  for (const ActionWord& entry : kActionWords) {
    if (word == entry.word) return entry.action;
  }
  return Action::None;
}

// Takes the line up to its line feed off the front of the text; none when there is no line feed.
std::optional<std::string_view> TakeLine(std::string_view& text) {
  const size_t end = text.find('\n');
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end + 1);
  return line;
}

std::optional<uint32_t> KindIn(std::string_view line) {
  constexpr std::string_view kPrefix = "kind=0x";
  if (line.substr(0, kPrefix.size()) != kPrefix || line.size() != kPrefix.size() + 8) return std::nullopt;
  uint32_t kind = 0;
  for (const char c : line.substr(kPrefix.size())) {
    uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<uint32_t>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<uint32_t>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    kind = kind << 4 | digit;
  }
  return kind;
}

}  // namespace

std::string FormatHeldRecord(const HeldRecord& record) {
  char kind[32];
  std::snprintf(kind, sizeof kind, "kind=0x%08lX\n", static_cast<unsigned long>(record.kind));
  return std::string(kFirstLine) + kind + "action=" + WordOf(record.action) + "\n" + record.text;
}

std::optional<HeldRecord> ParseHeldRecord(std::string_view file) {
  const std::optional<std::string_view> first = TakeLine(file);
  if (!first || std::string(*first) + "\n" != kFirstLine) return std::nullopt;
  const std::optional<std::string_view> kindLine = TakeLine(file);
  const std::optional<std::string_view> actionLine = TakeLine(file);
  if (!kindLine || !actionLine) return std::nullopt;
  const std::optional<uint32_t> kind = KindIn(*kindLine);
  constexpr std::string_view kActionPrefix = "action=";
  if (!kind || !IsAcceptedKind(*kind) || actionLine->substr(0, kActionPrefix.size()) != kActionPrefix) {
    return std::nullopt;
  }
  const Action action = ActionNamed(actionLine->substr(kActionPrefix.size()));
  // The record goes back into the record buffer with its terminator, as it came.
  if (action == Action::None || file.size() >= kRecordBufferSize || file.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  return HeldRecord{*kind, action, std::string(file)};
}

}  // namespace orvane::app
