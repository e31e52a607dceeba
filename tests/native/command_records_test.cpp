#include "inbound/command_records.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace orvane {

namespace {

using commandrecord::DoneState;

struct DoneCase {
  std::string record;
  DoneState state;
  const char* subject;
};

TEST(DoneRecord, StateWordIgnoresCaseAndSubjectFollows) {
  const DoneCase kCases[] = {
      {"Done\tCall the bank", DoneState::Complete, "Call the bank"},
      {"done\tCall the bank", DoneState::Complete, "Call the bank"},
      {"DONE\t\tCall the bank", DoneState::Complete, "Call the bank"},
      {"UnDone\tCall the bank", DoneState::NotStarted, "Call the bank"},
      {"undone\tCall the bank", DoneState::NotStarted, "Call the bank"},
      {"UNDONE\tCall the bank\tignored", DoneState::NotStarted, "Call the bank"},
      {"Don\tCall the bank", DoneState::Unknown, "Call the bank"},
      {"Done \tCall the bank", DoneState::Unknown, "Call the bank"},
      {"\tDone\tCall the bank", DoneState::Complete, "Call the bank"},
  };
  for (const auto& c : kCases) {
    const auto done = commandrecord::ReadDoneRecord(c.record);
    ASSERT_TRUE(done) << c.record;
    EXPECT_EQ(done->state, c.state) << c.record;
    EXPECT_EQ(done->subject, c.subject) << c.record;
  }
}

TEST(DoneRecord, WithoutSubjectIsRefused) {
  for (const char* record : {"", "Done", "Done\t", "\t\tUnDone\t\t"}) {
    EXPECT_FALSE(commandrecord::ReadDoneRecord(record)) << record;
  }
}

struct LinkCase {
  const char* record;
  const char* subject;
  std::optional<std::string> linkId;
};

TEST(LinkRecord, CutAtTheLastRunOfAsterisks) {
  const LinkCase kCases[] = {
      {"Call the bank*57", "Call the bank", "57"},
      {"Call the bank***57", "Call the bank", "57"},
      {"**Call the bank*57", "Call the bank", "57"},
      {"Call the bank*57*", "Call the bank", "57"},
      {"Buy *milk*57", "Buy *milk", "57"},
      {"a*b*c*d", "a*b*c", "d"},
      {"Note*not a number", "Note", "not a number"},
      {"Call the bank", "Call the bank", std::nullopt},
      {"*Call the bank*", "Call the bank", std::nullopt},
  };
  for (const auto& c : kCases) {
    const auto link = commandrecord::ReadLinkRecord(c.record);
    ASSERT_TRUE(link) << c.record;
    EXPECT_EQ(link->subject, c.subject) << c.record;
    EXPECT_EQ(link->linkId, c.linkId) << c.record;
  }
}

TEST(LinkRecord, WithoutSubjectIsRefused) {
  for (const char* record : {"", "*", "****"}) {
    EXPECT_FALSE(commandrecord::ReadLinkRecord(record)) << record;
  }
}

}  // namespace

}  // namespace orvane
