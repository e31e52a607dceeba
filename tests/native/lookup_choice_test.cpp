// Which of several items bearing the subject sought a command acts on.
#include "inbound/lookup_choice.h"

#include <gtest/gtest.h>

namespace orvane {

namespace {

using inbound::Match;
using Positions = std::vector<size_t>;

TEST(LookupChoice, TheEarliestCreatedWhateverTheOrderOfTheRows) {
  const struct {
    const char* name;
    std::vector<inbound::Match> matches;
    Positions earliest;
  } kCases[] = {
      {"none", {}, {}},
      {"one", {{"A1", 46000.5}}, {0}},
      {"the earliest last", {{"A1", 46000.5}, {"A2", 46000.75}, {"A3", 46000.25}}, {2}},
      {"the earliest first", {{"A1", 46000.25}, {"A2", 46000.75}}, {0}},
      {"two at the same moment", {{"A1", 46000.5}, {"A2", 46000.25}, {"A3", 46000.25}}, {1, 2}},
      {"an earlier one after a tie", {{"A1", 46000.5}, {"A2", 46000.5}, {"A3", 46000.25}}, {2}},
      {"a date before 1899", {{"A1", 10.0}, {"A2", -3.5}}, {1}},
  };
  for (const auto& c : kCases) EXPECT_EQ(inbound::EarliestCreated(c.matches), c.earliest) << c.name;
}

TEST(LookupChoice, OfItemsCreatedAtTheSameMomentTheFirstEntryId) {
  EXPECT_EQ(inbound::FirstEntryId({}), 0u);
  EXPECT_EQ(inbound::FirstEntryId({"00000000AB0000000002"}), 0u);
  EXPECT_EQ(inbound::FirstEntryId({"00000000AB0000000009", "00000000AB000000000A", "00000000AB0000000002"}), 2u);
  EXPECT_EQ(inbound::FirstEntryId({"00000000AB000000000A", "00000000AB0000000009"}), 1u);
}

}  // namespace

}  // namespace orvane
