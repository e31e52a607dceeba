// The kept pictures as bytes: what is written reads back whole, and nothing torn, altered or of
// another version reads at all.
#include "outbound/kept_picture.h"
#include "outbound/byte_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace orvane {

namespace {

using outbound::FolderPicture;
using outbound::JournalEntry;
using outbound::KeptFolder;
using outbound::KeptPictures;
using outbound::PictureState;

const std::string kHostile("\t\n\r\0*\xff id", 9);
const std::string kStore("store\0one", 9);

// Two folders whose ids and subjects hold every byte that could confuse a reader, with an own
// deletion, distrusted subjects and a disappearance held back.
KeptPictures HostilePictures() {
  outbound::PictureState tasks;
  tasks.entries = {{"a", "A", 45000.25, 77},
                   {kHostile, kHostile, -1e300, ~0ull},
                   {"long", std::string(3000, 'L')},
                   {"empty", "", 1, 0}};
  tasks.ownDeletions = {"a"};
  tasks.taken = true;
  tasks.subjectsDistrusted = true;
  outbound::PictureState notes;
  notes.taken = true;
  notes.hold = outbound::HeldBack{{0, 1, ~0ull}, ~0ull, true};
  notes.entries = {{std::string(1, '\0'), "nul"}};
  return {7,
          {{kStore, "tasks", outbound::FolderPicture(tasks)}, {kHostile, "", outbound::FolderPicture(notes)}},
          {{3, 0x2BB7B2B1, kHostile, 0, "gone", false}, {9, 0x2BB7B2A6, "", 1, "", false}},
          10};
}

std::vector<std::string> Outbox(const KeptPictures& pictures) {
  std::vector<std::string> records;
  for (const outbound::OutboundRecord& r : pictures.outbox) {
    records.push_back(std::to_string(r.number) + " " + std::to_string(r.kind) + " " + r.text + " " +
                      std::to_string(r.folder) + " " + r.goneId + (r.offered ? " offered" : ""));
  }
  return records;
}

void ExpectSame(const KeptPictures& a, const KeptPictures& b) {
  EXPECT_EQ(a.generation, b.generation);
  ASSERT_EQ(a.folders.size(), b.folders.size());
  for (size_t i = 0; i < a.folders.size(); ++i) {
    EXPECT_EQ(a.folders[i].storeId, b.folders[i].storeId);
    EXPECT_EQ(a.folders[i].folderId, b.folders[i].folderId);
    EXPECT_TRUE(a.folders[i].picture.State() == b.folders[i].picture.State()) << "folder " << i;
  }
  EXPECT_EQ(Outbox(a), Outbox(b));
  EXPECT_EQ(a.nextRecord, b.nextRecord);
}

TEST(KeptPicture, SnapshotReadsBackWhole) {
  const KeptPictures pictures = HostilePictures();
  const std::string bytes = outbound::EncodeSnapshot(pictures);
  const auto back = outbound::DecodeSnapshot(bytes);
  ASSERT_TRUE(back.has_value());
  ExpectSame(*back, pictures);
  EXPECT_EQ(outbound::EncodeSnapshot(*back), bytes);
  EXPECT_TRUE(outbound::DecodeSnapshot(outbound::EncodeSnapshot({})).has_value());
}

// What decides whether a snapshot must be written again: the pictures, never the generation.
TEST(KeptPicture, ContentChecksumSeesThePicturesAndNotTheGeneration) {
  KeptPictures pictures = HostilePictures();
  const std::uint64_t content = outbound::ContentChecksum(outbound::EncodeSnapshot(pictures));
  pictures.generation = 8;
  EXPECT_EQ(outbound::ContentChecksum(outbound::EncodeSnapshot(pictures)), content);
  pictures.folders[1].picture.Take("new", "New");
  EXPECT_NE(outbound::ContentChecksum(outbound::EncodeSnapshot(pictures)), content);
}

TEST(KeptPicture, TornOrAlteredSnapshotsDoNotRead) {
  const std::string bytes = outbound::EncodeSnapshot(HostilePictures());
  for (size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_FALSE(outbound::DecodeSnapshot(bytes.substr(0, size)).has_value()) << "cut at " << size;
  }
  for (size_t at = 0; at < bytes.size(); ++at) {
    std::string altered = bytes;
    altered[at] = static_cast<char>(altered[at] ^ 0x20);
    EXPECT_FALSE(outbound::DecodeSnapshot(altered).has_value()) << "byte " << at;
  }
  EXPECT_FALSE(outbound::DecodeSnapshot(bytes + '\0').has_value());
}

// A snapshot of another version is refused even with a trailer that proves it whole; one written
// before records were kept reads with none waiting.
// Each earlier version as its process wrote it: version 1 ends with the folders, and versions 1
// and 2 keep each entry as its id and subject alone.
std::string SealedSnapshot(uint32_t version, bool withRecords, std::uint8_t flags = 1) {
  outbound::Writer out;
  out.Raw("OrvanePictures");
  out.Fixed(version, 4);
  out.Fixed(7, 8);
  out.Varint(1);
  out.Text(kStore);
  out.Text("tasks");
  out.Byte(flags);  // taken, and what else the case says
  out.Varint(2);
  for (const char* item : {"a", "b"}) {
    out.Text(item);
    out.Text(std::string(item) + " subject");
    if (version >= 3) out.Raw(std::string(16, '\0'));
  }
  out.Varint(0);
  if (withRecords) out.Raw(std::string("\x01\x00", 2));  // the next record's number, no records
  const std::string body = out.Bytes();
  out.Fixed(body.size(), 8);
  out.Fixed(outbound::Checksum(body), 8);
  return std::move(out.Bytes());
}

TEST(KeptPicture, OnlyItsOwnVersionsReadAndAnEarlierOneIsTakenUpWithoutAReport) {
  for (const auto& [version, withRecords, reads] : std::vector<std::tuple<uint32_t, bool, bool>>{{1, false, true},
                                                                                                 {1, true, false},
                                                                                                 {2, true, true},
                                                                                                 {2, false, false},
                                                                                                 {3, true, true},
                                                                                                 {4, true, true},
                                                                                                 {5, true, false}}) {
    SCOPED_TRACE(version);
    const auto kept = outbound::DecodeSnapshot(SealedSnapshot(version, withRecords));
    ASSERT_EQ(kept.has_value(), reads);
    if (!kept) continue;
    // The first read gives each item its state, silently; a state that moves after it is looked at.
    const FolderPicture& picture = kept->folders[0].picture;
    outbound::FolderComparison first = outbound::Compare(picture, {{"a", {}, 100}, {"b", {}, 200}});
    EXPECT_TRUE(first.gone.empty());
    EXPECT_TRUE(first.toExamine.empty());
    const outbound::FolderComparison next = outbound::Compare(first.picture, {{"a", {}, 101}});
    EXPECT_EQ(next.gone, std::vector<std::string>{"b subject"});
    ASSERT_EQ(next.toExamine.size(), 1u);
    EXPECT_EQ(next.toExamine[0].id, "a");
  }
}

// Up to version 3 a held empty read was kept without its start: a process taking it up holds the
// next read afresh rather than taking it as the confirming one.
TEST(KeptPicture, AnEmptyReadHeldInAnEarlierVersionIsTakenUpWithoutItsHold) {
  const auto kept = outbound::DecodeSnapshot(SealedSnapshot(3, true, 1 | 4));
  ASSERT_TRUE(kept.has_value());
  const FolderPicture& picture = kept->folders[0].picture;
  EXPECT_EQ(picture.Held(), nullptr);
  const outbound::FolderComparison next = outbound::Compare(picture, {});
  EXPECT_TRUE(next.gone.empty());
  EXPECT_TRUE(next.holdStarted);
}

// What the next process finds of a record, wherever the one delivering it ended: it sends the
// record itself when the record was never offered, its hand-over failed, or its hand-over's end is
// unknown and the main application may get it twice without harm; and it never finds the reported
// item gone again.
TEST(KeptPicture, ARecordOfferedGoesAgainOnlyWhereTwiceDoesNoHarmAndOneNotOfferedIsNeverLost) {
  const outbound::OutboundRecord deleted{10, 0x2BB7B2B1, "Gone task", 0, kHostile, false};
  const outbound::OutboundRecord added{11, 0x2BB7B2A6, "New task\n", 0, "", false};
  const auto entry = [](const outbound::JournalEntry& e) { return outbound::EncodeJournalEntry(7, e); };
  const std::string queued = entry(outbound::QueuedEntry(deleted)) + entry(outbound::QueuedEntry(added));
  const std::string offered = entry(outbound::OfferedEntry(10));
  const std::string returned = entry(outbound::ReturnedEntry(10));
  const std::string delivered = entry(outbound::DeliveredEntry(10));
  const std::string addedOffered = entry(outbound::OfferedEntry(11));
  const std::vector<std::string> before = Outbox(HostilePictures());
  const auto waiting = [&](std::vector<std::string> records) {
    records.insert(records.begin(), before.begin(), before.end());
    return records;
  };
  const std::string kDeleted = "10 733459121 Gone task 0 " + kHostile, kAdded = "11 733459110 New task\n 0 ";
  struct Case {
    const char* endedAt;
    std::string journal;
    std::vector<std::string> waiting;
  };
  const Case cases[] = {
      {"before the records were queued", "", waiting({})},
      {"before the mark", queued, waiting({kDeleted, kAdded})},
      {"during the send of a deletion no other item's subject shares", queued + offered, waiting({kDeleted, kAdded})},
      {"after the deletion was taken", queued + offered + delivered, waiting({kAdded})},
      {"during the send of a new item", queued + offered + delivered + addedOffered, waiting({})},
      {"after a send that failed", queued + offered + returned, waiting({kDeleted, kAdded})},
      {"offered again after a send that failed", queued + offered + returned + offered, waiting({kDeleted, kAdded})},
      {"with the queued entries written twice", queued + queued, waiting({kDeleted, kAdded})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.endedAt);
    KeptPictures pictures = HostilePictures();
    outbound::ApplyJournal(pictures, c.journal);
    EXPECT_EQ(Outbox(pictures), c.waiting);
    EXPECT_EQ(pictures.nextRecord, c.journal.empty() ? 10u : 12u);
    const outbound::FolderComparison comparison = outbound::Compare(pictures.folders[0].picture, {{"long", {}}});
    const bool foundGone =
        std::find(comparison.goneIds.begin(), comparison.goneIds.end(), kHostile) != comparison.goneIds.end();
    EXPECT_EQ(foundGone, c.journal.empty());
    // What waits is kept by the next snapshot as it is.
    const auto back = outbound::DecodeSnapshot(outbound::EncodeSnapshot(pictures));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(Outbox(*back), c.waiting);
  }
}

// A new item's record and the state it makes known are one entry: a process ending anywhere in
// its writing leaves both or neither, so the next process never knows the item without the
// record that told of it, nor sends a record whose item it would report again.
TEST(KeptPicture, ANewItemsRecordAndItsStateAreKeptTogetherOrNotAtAll) {
  const outbound::OutboundRecord added{10, 0x2BB7B2A6, kHostile + "\n", 0, "", false};
  const outbound::Entry taken{"new id", kHostile, 46000.5, 0x1234};
  const std::string whole = outbound::EncodeJournalEntry(7, outbound::QueuedWithStateEntry(added, taken));
  for (size_t length = 0; length <= whole.size(); ++length) {
    SCOPED_TRACE(length);
    KeptPictures pictures = HostilePictures();
    const size_t waitingBefore = pictures.outbox.size();
    EXPECT_EQ(outbound::ApplyJournal(pictures, whole.substr(0, length)), length == whole.size() ? 1u : 0u);
    const outbound::Entry* known = pictures.folders[0].picture.Find("new id");
    const bool queued = pictures.outbox.size() == waitingBefore + 1;
    EXPECT_EQ(known != nullptr, queued);
    if (!known) continue;
    EXPECT_EQ(known->subject, kHostile);
    EXPECT_EQ(known->lastModified, 46000.5);
    EXPECT_EQ(known->known, 0x1234u);
    EXPECT_EQ(Outbox(pictures).back(), "10 733459110 " + kHostile + "\n 0 ") << "it names no item gone";
    EXPECT_EQ(pictures.nextRecord, 11u);
  }
  // Its item's part alone is the entry a reader takes while the kept pictures cannot be read yet.
  const JournalEntry part = outbound::TakenPartOf(outbound::QueuedWithStateEntry(added, taken));
  KeptPictures pictures = HostilePictures();
  EXPECT_EQ(outbound::ApplyJournal(pictures, outbound::EncodeJournalEntry(7, part)), 1u);
  EXPECT_NE(pictures.folders[0].picture.Find("new id"), nullptr);
  EXPECT_EQ(pictures.outbox.size(), HostilePictures().outbox.size());
}

// A deletion of "a" while the task "A" is still there: sent twice, it could delete that one too.
// A change sets what it sets and goes again.
TEST(KeptPicture, ARecordOfferedThatTwiceCouldHarmCountsAsDelivered) {
  const auto entry = [](const outbound::JournalEntry& e) { return outbound::EncodeJournalEntry(7, e); };
  KeptPictures pictures = HostilePictures();
  const std::vector<std::string> before = Outbox(pictures);
  outbound::ApplyJournal(pictures, entry(outbound::QueuedEntry({10, 0x2BB7B2B1, "a", 0, "long", false})) +
                                       entry(outbound::QueuedEntry({11, 0x2BB7B2A9, "A\tnono\n", 0, "", false})) +
                                       entry(outbound::OfferedEntry(10)) + entry(outbound::OfferedEntry(11)));
  std::vector<std::string> waiting = before;
  waiting.push_back("11 733459113 A\tnono\n 0 ");
  EXPECT_EQ(Outbox(pictures), waiting);
}

TEST(KeptPicture, AFolderIsComparedOnlyWithItself) {
  const outbound::KeptFolder folder = HostilePictures().folders[0];
  EXPECT_TRUE(outbound::SameFolder(folder, kStore, "tasks"));
  EXPECT_FALSE(outbound::SameFolder(folder, "store", "tasks"));
  EXPECT_FALSE(outbound::SameFolder(folder, kStore, "notes"));
}

std::vector<std::string> Journal(uint64_t generation) {
  return {outbound::EncodeJournalEntry(generation, {outbound::JournalEntry::Kind::kTaken, 0, "new", kHostile}),
          outbound::EncodeJournalEntry(generation, {outbound::JournalEntry::Kind::kNoReportDue, 0, kHostile, ""}),
          outbound::EncodeJournalEntry(generation, {outbound::JournalEntry::Kind::kTaken, 1, "renamed", "R"})};
}

// The pictures after the first `count` entries of the journal, applied by hand.
KeptPictures AppliedByHand(size_t count) {
  KeptPictures pictures = HostilePictures();
  if (count > 0) pictures.folders[0].picture.Take("new", kHostile);
  if (count > 1) pictures.folders[0].picture.NoteOwnDeletion(kHostile);
  if (count > 2) pictures.folders[1].picture.Take("renamed", "R");
  return pictures;
}

// A crash while an entry is appended leaves a torn tail: every whole entry before it counts.
TEST(KeptPicture, JournalAppliesEveryWholeEntryBeforeATear) {
  std::string journal;
  std::vector<size_t> ends;
  for (const std::string& entry : Journal(7)) ends.push_back((journal += entry).size());
  for (size_t size = 0; size <= journal.size(); ++size) {
    size_t whole = 0;
    while (whole < ends.size() && ends[whole] <= size) ++whole;
    KeptPictures pictures = HostilePictures();
    EXPECT_EQ(outbound::ApplyJournal(pictures, journal.substr(0, size)), whole) << "cut at " << size;
    ExpectSame(pictures, AppliedByHand(whole));
  }
}

TEST(KeptPicture, JournalStopsAtABadEntryAndPassesOverEarlierGenerations) {
  const std::vector<std::string> entries = Journal(7);
  std::string altered = entries[1];
  altered[altered.size() / 2] = static_cast<char>(altered[altered.size() / 2] ^ 1);
  const std::string unknownFolder =
      outbound::EncodeJournalEntry(7, {outbound::JournalEntry::Kind::kTaken, 2, "x", "X"});
  struct Case {
    const char* what;
    std::string journal;
    size_t applied;
  };
  const Case cases[] = {
      {"an altered entry", entries[0] + altered + entries[2], 1},
      {"an entry for a folder the snapshot lacks", entries[0] + unknownFolder + entries[1], 1},
      {"entries of the snapshot before", Journal(6)[0] + entries[0] + Journal(6)[1] + entries[1], 2},
  };
  for (const Case& c : cases) {
    KeptPictures pictures = HostilePictures();
    EXPECT_EQ(outbound::ApplyJournal(pictures, c.journal), c.applied) << c.what;
    ExpectSame(pictures, AppliedByHand(c.applied));
  }
}

// A process that starts from the kept pictures reports what left while none ran, and not the
// plug-in's own deletion.
TEST(KeptPicture, ARestoredPictureReportsWhatLeftMeanwhile) {
  const outbound::FolderComparison first =
      outbound::Compare(outbound::FolderPicture(), {{"a", "A"}, {"b", "B"}, {"c", "C"}});
  KeptPictures pictures{1, {{"s", "f", first.picture}}, {}, 1};
  const std::string journal = outbound::EncodeJournalEntry(1, {outbound::JournalEntry::Kind::kTaken, 0, "d", "D"}) +
                              outbound::EncodeJournalEntry(1, {outbound::JournalEntry::Kind::kNoReportDue, 0, "c", ""});
  auto restored = outbound::DecodeSnapshot(outbound::EncodeSnapshot(pictures));
  ASSERT_TRUE(restored.has_value());
  ASSERT_EQ(outbound::ApplyJournal(*restored, journal), 2u);
  EXPECT_EQ(outbound::Compare(restored->folders[0].picture, {{"a", std::nullopt}}).gone,
            (std::vector<std::string>{"B", "D"}));
}

}  // namespace

}  // namespace orvane
