#include "inbound/command_records.h"

#include "inbound/record_fields.h"

#include <vector>

namespace orvane::inbound {

namespace {

constexpr std::string_view kDoneWord = "Done";
constexpr std::string_view kUndoneWord = "UnDone";
constexpr char kLinkSeparator = '*';

DoneState ReadDoneState(std::string_view word) {
  if (inbound::EqualsIgnoringCase(word, kDoneWord)) return DoneState::Complete;
  if (inbound::EqualsIgnoringCase(word, kUndoneWord)) return DoneState::NotStarted;
  return DoneState::Unknown;
}

std::string_view TrimSeparators(std::string_view text) {
  const size_t first = text.find_first_not_of(kLinkSeparator);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kLinkSeparator) - first + 1);
}

}  // namespace

std::optional<DoneRecord> ReadDoneRecord(std::string_view record) {
  const std::vector<std::string_view> fields = inbound::SplitRecord(record);
  if (fields.size() < 2) return std::nullopt;
  return DoneRecord{ReadDoneState(fields[0]), fields[1]};
}

std::optional<LinkRecord> ReadLinkRecord(std::string_view record) {
  const std::string_view text = TrimSeparators(record);
  if (text.empty()) return std::nullopt;
  const size_t lastRunEnd = text.find_last_of(kLinkSeparator);
  if (lastRunEnd == std::string_view::npos) return LinkRecord{text, std::nullopt};
  const size_t lastRunStart = text.find_last_not_of(kLinkSeparator, lastRunEnd) + 1;
  return LinkRecord{text.substr(0, lastRunStart), text.substr(lastRunEnd + 1)};
}

}  // namespace orvane::inbound
