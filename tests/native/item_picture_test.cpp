// A folder's picture compared with reads of the folder, as plain data.
#include "outbound/item_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {

namespace {

using outbound::Compare;
using outbound::FolderPicture;
using Lines = std::vector<std::string>;

// "id=subject" is an item read with its subject, "id" one read without.
std::vector<outbound::ReadItem> Read(const Lines& items) {
  std::vector<outbound::ReadItem> read;
  for (const std::string& item : items) {
    const size_t equals = item.find('=');
    read.push_back(
        {item.substr(0, equals), equals == std::string::npos ? std::nullopt : std::optional(item.substr(equals + 1))});
  }
  return read;
}

// Items S1 to Sn, each its id its subject: read with their subjects, or the ids (and subjects) alone.
Lines Numbered(int count, bool withSubjects) {
  Lines items;
  for (int i = 1; i <= count; ++i)
    items.push_back("S" + std::to_string(i) + (withSubjects ? "=S" + std::to_string(i) : ""));
  return items;
}

const std::string kLong(300, 'L');

// Each read after the first reports the subjects of the items gone. Two last empty reads show
// what the picture kept.
struct Case {
  const char* what;
  Lines first;  // the first read, which takes the picture
  Lines taken;  // items a sink reported since, as "id=subject"
  Lines ownDeletions;
  std::vector<Lines> reads;
  std::vector<Lines> reported;  // for each read
};

TEST(ItemPictureTest, EveryItemGoneIsReportedOnceWithItsLastSubject) {
  const Case cases[] = {
      {"gone and kept", {"a=A", "b=B", "c=C"}, {}, {}, {{"c", "a"}, {}, {}}, {{"B"}, {}, {"C", "A"}}},
      // The item added waits to be looked at: the picture takes it only then.
      {"an add and a delete", {"a=A", "b=B"}, {}, {}, {{"a", "n=N"}, {}, {}}, {{"B"}, {}, {"A"}}},
      {"renamed and taken by the sinks", {"a=A", "b=B"}, {"a=A2", "c=C"}, {}, {{"b"}}, {{"A2", "C"}}},
      {"duplicates",
       {"a=Same", "b=Same", "c=Same"},
       {},
       {},
       {{"a", "a", "c"}, {}, {}},
       {{"Same"}, {}, {"Same", "Same"}}},
      {"a long subject", {"a=" + kLong, "b=B"}, {}, {}, {{"a"}, {"a"}, {}, {}}, {{"B"}, {}, {}, {kLong}}},
      {"own deletions", {"a=A", "b=B", "c=C"}, {}, {"c", "z"}, {{"a"}, {}, {}}, {{"B"}, {}, {"A"}}},
      {"own deletion that failed", {"a=A", "b=B"}, {}, {"b"}, {{"a", "b"}, {"a"}}, {{}, {"B"}}},
      // Outlook shows a folder empty while its store loads, whatever the folder holds.
      {"one read empty", Numbered(1, true), {}, {}, {{}}, {{}}},
      {"three read empty twice", Numbered(3, true), {}, {}, {{}, {}}, {{}, Numbered(3, false)}},
      {"three read empty, then back", Numbered(3, true), {}, {}, {{}, Numbered(3, false)}, {{}, {}}},
      // The guard counts what would be reported: the plug-in's own deletion is not among it.
      {"three with an own deletion read empty twice",
       Numbered(3, true),
       {},
       {"S3"},
       {{}, {}},
       {{}, Numbered(2, false)}},
      {"only an own deletion read empty", Numbered(1, true), {}, {"S1"}, {{}, {"n=N"}}, {{}, {}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    outbound::FolderComparison comparison = Compare(outbound::FolderPicture(), Read(c.first));
    EXPECT_TRUE(comparison.gone.empty()) << "the first read reports nothing";
    outbound::FolderPicture picture = comparison.picture;
    for (const outbound::ReadItem& item : Read(c.taken)) picture.Take(item.id, *item.subject);
    for (const std::string& id : c.ownDeletions) picture.NoteOwnDeletion(id);
    for (size_t read = 0; read < c.reads.size(); ++read) {
      comparison = Compare(picture, Read(c.reads[read]));
      EXPECT_EQ(comparison.gone, c.reported[read]) << "read " << read;
      picture = comparison.picture;
    }
  }
}

// An item read again is looked at when it is new or its state moved; a picture kept before states
// were kept takes the state read silently.
TEST(ItemPictureTest, ItemsAppearedOrMovedAreLookedAtAndOnlyWhatIsNewsIsTold) {
  outbound::PictureState kept;
  kept.taken = true;
  kept.entries = {{"old", "Old"}, {"same", "Same", 5, 9}, {"moved", "Moved", 5, 9}};
  const outbound::FolderComparison comparison =
      Compare(outbound::FolderPicture(kept), {{"old", {}, 7}, {"same", {}, 5}, {"moved", {}, 6}, {"new", "New", 6}});
  std::vector<std::string> looked;
  for (const outbound::ReadItem& item : comparison.toExamine) looked.push_back(item.id);
  EXPECT_EQ(looked, (std::vector<std::string>{"moved", "new"}));
  EXPECT_EQ(comparison.picture.Find("old")->lastModified, 7);
  EXPECT_EQ(comparison.picture.Find("moved")->lastModified, 5) << "kept until it is looked at";
  EXPECT_FALSE(comparison.picture.Knows("new"));

  using outbound::ItemNews;
  const outbound::Entry told{"a", "A", 5, 9}, neverTold{"a", "", 5, 0};
  struct News {
    const outbound::Entry* known;
    uint64_t digest;
    bool named, added, changeBeforeFirstRead;
    ItemNews news;
  };
  for (const News& c : std::vector<News>{{nullptr, 9, true, true, false, ItemNews::kNewItem},
                                         {nullptr, 9, true, false, false, ItemNews::kNewItem},
                                         {nullptr, 9, true, false, true, ItemNews::kChangedItem},
                                         {nullptr, 9, false, true, false, ItemNews::kNothing},
                                         {&told, 9, true, true, false, ItemNews::kNothing},
                                         {&told, 8, true, false, false, ItemNews::kChangedItem},
                                         {&told, 8, true, true, false, ItemNews::kChangedItem},
                                         {&told, 8, false, false, false, ItemNews::kNothing},
                                         {&neverTold, 9, true, false, false, ItemNews::kChangedItem},
                                         {&neverTold, 9, true, true, false, ItemNews::kNewItem}}) {
    EXPECT_EQ(outbound::NewsOf(c.known, c.digest, c.named, c.added, c.changeBeforeFirstRead), c.news);
  }
}

// The empty read says nothing of the subjects; a picture that distrusted them before still does.
TEST(ItemPictureTest, APictureHeldBackKeepsItsDistrust) {
  for (const bool distrusted : {false, true}) {
    outbound::FolderPicture picture = Compare(outbound::FolderPicture(), Read(Numbered(11, true))).picture;
    if (distrusted) picture.DistrustSubjects();
    const outbound::FolderComparison held = Compare(picture, {});
    EXPECT_EQ(held.heldBack, 11u);
    EXPECT_EQ(held.picture.NeedsSubject("S1"), distrusted);
  }
}

}  // namespace

}  // namespace orvane
