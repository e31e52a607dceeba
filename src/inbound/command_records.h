// The short records of the delete, done and link-id commands, read into subject and value.
#pragma once

#include <optional>
#include <string_view>

namespace orvane::inbound {

// What a done record's state word asks for.
enum class DoneState {
  Complete,    // "Done"
  NotStarted,  // "UnDone"
  Unknown,     // any other word: nothing changes
};

struct DoneRecord {
  DoneState state = DoneState::Unknown;
  std::string_view subject;
};

// A done record: state word, tab, subject; later fields are ignored. No value without a subject.
std::optional<DoneRecord> ReadDoneRecord(std::string_view record);

struct LinkRecord {
  std::string_view subject;
  std::optional<std::string_view> linkId;  // absent when the record carries none
};

// A link-id record: subject "*" link id. The record is cut at its last run of "*", so a subject
// keeps its own asterisks; leading and trailing asterisks are skipped. No value without a subject.
std::optional<LinkRecord> ReadLinkRecord(std::string_view record);

}  // namespace orvane::inbound
