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

// Items with the subject, as (created, EntryID, link id); "0" and "" carry none.
TEST(LookupChoice, TheItemTheRecordMeansAmongThoseWithItsSubject) {
  using inbound::Candidate;
  using inbound::ItemMeant;
  const std::vector<Candidate> kOldLinkedNewUnlinked = {{46000.25, "E1", "45"}, {46001.5, "E2", "0"}};
  const std::vector<Candidate> kTwoUnlinked = {
      {46000.25, "E1", "45"}, {46001.5, "E2", "0"}, {46003.0, "E3", "0"}, {46002.0, "E4", ""}};
  const std::vector<Candidate> kAllLinked = {{46002.0, "E1", "45"}, {46000.5, "E2", "46"}, {46000.5, "E0", "47"}};
  const std::vector<Candidate> kNewestTied = {{46000.0, "E1", "45"}, {46002.0, "E9", "0"}, {46002.0, "E3", "0"}};
  const struct {
    const char* name;
    std::vector<Candidate> candidates;
    ItemMeant meant;
    std::optional<size_t> chosen;
  } kCases[] = {
      {"no candidates", {}, ItemMeant::WithoutLinkId(), std::nullopt},
      {"a single match whatever its link id", {{46000.0, "E1", "45"}}, ItemMeant::WithoutLinkId(), 0},
      {"a single match of another link id", {{46000.0, "E1", "45"}}, ItemMeant::Carrying("99"), 0},
      {"link record: the unlinked one, not the earliest", kOldLinkedNewUnlinked, ItemMeant::WithoutLinkId(), 1},
      {"link record: the newest of several unlinked", kTwoUnlinked, ItemMeant::WithoutLinkId(), 2},
      {"link record: the newest tied, the first EntryID", kNewestTied, ItemMeant::WithoutLinkId(), 2},
      {"link record, all linked: the earliest, then the first EntryID", kAllLinked, ItemMeant::WithoutLinkId(), 2},
      {"link record whose id one carries already: that one", kOldLinkedNewUnlinked, ItemMeant::WithoutLinkId("45"), 0},
      {"link record whose id none carries: the newest unlinked", kTwoUnlinked, ItemMeant::WithoutLinkId("99"), 2},
      {"link record giving 0: the newest unlinked", kTwoUnlinked, ItemMeant::WithoutLinkId("0"), 2},
      {"change: the one carrying its link id", kOldLinkedNewUnlinked, ItemMeant::Carrying("45"), 0},
      {"change: the later one carrying it", kAllLinked, ItemMeant::Carrying("45"), 0},
      {"change whose id none carries: the earliest unlinked", kTwoUnlinked, ItemMeant::Carrying("99"), 1},
      {"change whose id none carries, all linked: the earliest", kAllLinked, ItemMeant::Carrying("99"), 2},
      {"change with link id 0 means the subject only", kOldLinkedNewUnlinked, ItemMeant::Carrying("0"), 0},
      {"subject only: the earliest", kTwoUnlinked, ItemMeant::BySubject(), 0},
      {"subject only, tied: the first EntryID", kAllLinked, ItemMeant::BySubject(), 2},
  };
  for (const auto& c : kCases) EXPECT_EQ(inbound::ChooseCandidate(c.candidates, c.meant), c.chosen) << c.name;
}

}  // namespace

}  // namespace orvane
