// The states of items the main application knows: one per item, the last remembered, and a bounded
// number of items.
#include "outbound/known_states.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {

namespace {

TEST(KnownStatesTest, AnItemIsKnownInTheLastStateRememberedOnly) {
  outbound::KnownStates known;
  known.Remember("A", 1.5);
  known.Remember("B", 1.5);
  known.Remember("A", 2.5);
  struct Row {
    const char* id;
    double lastModified;
    bool knows;
  };
  const Row rows[] = {{"A", 2.5, true}, {"A", 1.5, false}, {"B", 1.5, true}, {"B", 2.5, false}, {"C", 1.5, false}};
  for (const Row& row : rows) EXPECT_EQ(known.Knows(row.id, row.lastModified), row.knows) << row.id << row.lastModified;
  EXPECT_EQ(known.Size(), 2u);
  // An item without an id is never taken for another.
  known.NoteOwnWrite("", 1.5);
  EXPECT_FALSE(known.Knows("", 1.5));
}

TEST(KnownStatesTest, TheItemRememberedLongestAgoIsForgottenFirst) {
  outbound::KnownStates known;
  for (size_t i = 0; i < outbound::KnownStates::kCapacity; ++i) known.Remember(std::to_string(i), 1.0);
  known.Remember("0", 2.0);  // remembered again: now the newest
  known.Remember("new", 1.0);
  EXPECT_EQ(known.Size(), outbound::KnownStates::kCapacity);
  EXPECT_TRUE(known.Knows("0", 2.0));
  EXPECT_FALSE(known.Knows("1", 1.0));
  EXPECT_TRUE(known.Knows("2", 1.0));
  EXPECT_TRUE(known.Knows("new", 1.0));
}

}  // namespace

}  // namespace orvane
