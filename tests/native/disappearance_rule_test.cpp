// When the items a folder's read lacks are believed gone: sizes, shares, times, connections, and a
// hold kept across a restart, as plain data on a clock of the test's own.
#include "outbound/disappearance_rule.h"
#include "outbound/item_picture.h"
#include "outbound/kept_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

namespace {

using outbound::Confirmation;
using outbound::Disappearance;
using outbound::HeldBack;

constexpr std::uint64_t kSecond = 1000;
constexpr std::uint64_t kStart = 13'400'000'000'000;  // some moment of the clock

TEST(DisappearanceRule, ManyIsMoreThanTenAndMoreThanAQuarterOfTheFolder) {
  struct Share {
    size_t gone, known;
    bool many;
  };
  for (const Share& c : std::vector<Share>{{0, 0, false},
                                           {1, 1, false},
                                           {10, 10, false},
                                           {11, 11, true},
                                           {11, 40, true},
                                           {11, 44, false},
                                           {12, 44, true},
                                           {2500, 10000, false},
                                           {2501, 10000, true},
                                           {40, 40, true}}) {
    EXPECT_EQ(outbound::ManyDeletions(c.gone, c.known), c.many) << c.gone << " of " << c.known;
  }
}

enum class Outcome { kReported, kHeld, kStarted };

// One read of a folder whose picture knows 40 items: how many it found, how many of the known it
// lacked (which ones: the digest), when and in which connection.
struct Read {
  std::uint64_t itemsRead, gone, which;
  std::uint64_t at;  // seconds after kStart
  std::uint64_t connection;
  Outcome outcome;
};

struct Sequence {
  const char* what;
  std::vector<Read> reads;
};

TEST(DisappearanceRule, ReadsThatLackManyItemsAreBelievedOnlyOnceTheFolderLooksTheSameForAWhile) {
  using O = Outcome;
  const Sequence sequences[] = {
      {"a single deletion, announced or not, is reported at once", {{39, 1, 1, 0, 1, O::kReported}}},
      {"ten at once are still few", {{30, 10, 1, 0, 1, O::kReported}}},
      {"a small folder read empty is believed 3 s later",
       {{0, 3, 1, 0, 1, O::kStarted}, {0, 3, 1, 2, 1, O::kHeld}, {0, 3, 1, 3, 1, O::kReported}}},
      {"40 read empty while the store loads for 5 s: nothing",
       {{0, 40, 1, 0, 1, O::kStarted}, {0, 40, 1, 3, 1, O::kHeld}, {40, 0, 0, 5, 1, O::kReported}}},
      {"a real mass deletion is believed after 30 s",
       {{10, 30, 1, 0, 1, O::kStarted},
        {10, 30, 1, 15, 1, O::kHeld},
        {10, 30, 1, 29, 1, O::kHeld},
        {10, 30, 1, 30, 1, O::kReported}}},
      {"a folder loading over minutes: each read shows more, nothing is believed until it stops",
       {{10, 30, 1, 0, 1, O::kStarted},
        {20, 20, 2, 20, 1, O::kStarted},
        {35, 5, 3, 40, 1, O::kStarted},
        {35, 5, 3, 69, 1, O::kHeld},
        {40, 0, 0, 80, 1, O::kReported}}},
      {"a load that stops short: the rest is believed 30 s after the last change",
       {{10, 30, 1, 0, 1, O::kStarted},
        {38, 2, 2, 10, 1, O::kStarted},
        {38, 2, 2, 39, 1, O::kHeld},
        {38, 2, 2, 40, 1, O::kReported}}},
      {"the count moved between: the wait starts again",
       {{10, 30, 1, 0, 1, O::kStarted},
        {11, 30, 1, 20, 1, O::kStarted},
        {11, 30, 1, 49, 1, O::kHeld},
        {11, 30, 1, 50, 1, O::kReported}}},
      {"as many gone but other items: the wait starts again",
       {{10, 30, 1, 0, 1, O::kStarted}, {10, 30, 2, 30, 1, O::kStarted}, {10, 30, 2, 60, 1, O::kReported}}},
      {"a new connection starts afresh, however long ago the hold began",
       {{0, 40, 1, 0, 1, O::kStarted},
        {0, 40, 1, 600, 2, O::kStarted},
        {0, 40, 1, 603, 2, O::kHeld},
        {0, 40, 1, 630, 2, O::kReported}}},
      {"a clock set back starts afresh",
       {{10, 30, 1, 100, 1, O::kStarted}, {10, 30, 1, 50, 1, O::kStarted}, {10, 30, 1, 80, 1, O::kReported}}},
  };
  const Confirmation waits{0, 0, 3 * kSecond, 30 * kSecond};
  for (const Sequence& sequence : sequences) {
    SCOPED_TRACE(sequence.what);
    std::optional<HeldBack> held;
    for (size_t i = 0; i < sequence.reads.size(); ++i) {
      const Read& read = sequence.reads[i];
      Confirmation at = waits;
      at.now = kStart + read.at * kSecond;
      at.connection = read.connection;
      const outbound::Judgement judgement = outbound::Judge(held, {read.itemsRead, read.gone, read.which}, 40, at);
      const Outcome outcome = judgement.report ? O::kReported : judgement.started ? O::kStarted : O::kHeld;
      EXPECT_EQ(static_cast<int>(outcome), static_cast<int>(read.outcome)) << "read " << i;
      EXPECT_EQ(judgement.hold.has_value(), !judgement.report) << "read " << i;
      held = judgement.hold;
    }
  }
}

// Items S1 to Sn, each its id and subject.
std::vector<outbound::ReadItem> Items(int from, int to) {
  std::vector<outbound::ReadItem> read;
  for (int i = from; i <= to; ++i) read.push_back({"S" + std::to_string(i), "S" + std::to_string(i), 1});
  return read;
}

// The picture as a restarted process takes it up from its snapshot.
outbound::FolderPicture Restarted(const outbound::FolderPicture& picture) {
  const auto kept = outbound::DecodeSnapshot(outbound::EncodeSnapshot({1, {{"store", "tasks", picture}}, {}, 1}));
  EXPECT_TRUE(kept.has_value());
  return kept ? kept->folders[0].picture : outbound::FolderPicture();
}

struct Restart {
  const char* what;
  std::vector<outbound::ReadItem> heldRead;  // what the first process read, and held back
  std::uint64_t restartedAfter;              // seconds
  std::vector<outbound::ReadItem> nextRead;  // what the restarted process reads, again and again
  std::vector<size_t> reportedAt;            // how many deletions each read of it reports: at 0, 1, 31, 32 s
};

// A hold is kept with its picture: the restarted process holds what its predecessor held, and
// believes it only after a wait of its own.
TEST(DisappearanceRule, AHoldKeptAcrossARestartIsConfirmedOnlyByTheRestartedProcess) {
  const Restart restarts[] = {
      {"40 read empty, restarted, then back", {}, 2, Items(1, 40), {0, 0, 0, 0}},
      {"40 read empty, restarted a minute later while still empty", {}, 60, {}, {0, 0, 40, 0}},
      {"30 deleted, restarted within the wait", Items(31, 40), 10, Items(31, 40), {0, 0, 30, 0}},
      {"half loaded, restarted: the 5 still missing are held too", Items(1, 20), 10, Items(1, 35), {0, 0, 5, 0}},
  };
  for (const Restart& c : restarts) {
    SCOPED_TRACE(c.what);
    const Confirmation waits{kStart, 1, 3 * kSecond, 30 * kSecond};
    outbound::FolderPicture picture = outbound::Compare({}, Items(1, 40), waits).picture;
    outbound::FolderComparison held = outbound::Compare(picture, c.heldRead, waits);
    ASSERT_TRUE(held.gone.empty());
    ASSERT_TRUE(held.holdStarted);
    ASSERT_NE(held.picture.Held(), nullptr);
    picture = Restarted(held.picture);
    ASSERT_NE(picture.Held(), nullptr) << "the hold is kept";
    EXPECT_EQ(picture.Entries().size(), 40u) << "and so are the items it holds";
    const std::uint64_t restartedAt = kStart + c.restartedAfter * kSecond;
    std::vector<size_t> reported;
    for (const std::uint64_t after : {0u, 1u, 31u, 32u}) {
      const outbound::FolderComparison comparison =
          outbound::Compare(picture, c.nextRead, {restartedAt + after * kSecond, 1, 3 * kSecond, 30 * kSecond});
      reported.push_back(comparison.gone.size());
      picture = comparison.picture;
    }
    EXPECT_EQ(reported, c.reportedAt);
  }
}

}  // namespace

}  // namespace orvane
