// The kept pictures on disk: what a new process finds after an earlier one ended at some point of
// its work, and the files it leaves.
#include "base/error_log.h"
#include "base/unique_resource.h"
#include "outbound/picture_file.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace orvane {

namespace {

using outbound::JournalEntry;
using outbound::KeptPictures;
using Lines = std::vector<std::string>;

std::string FileText(const char* name) {
  std::ifstream file(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFileText(const char* name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

bool Exists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

// The items of the kept Tasks folder (the only one here), as "id subject".
Lines TasksOf(const KeptPictures& pictures) {
  Lines items;
  for (const outbound::Entry& entry : pictures.folders.at(0).picture.State().entries) {
    items.push_back(entry.id + " " + entry.subject);
  }
  return items;
}

KeptPictures TasksPicture(std::uint64_t generation, const Lines& ids) {
  outbound::PictureState state;
  state.taken = true;
  for (const std::string& id : ids) state.entries.push_back({id, "S" + id});
  return {generation, {{"store", "tasks", outbound::FolderPicture(state)}}, {}, 1};
}

std::string Taken(std::uint64_t generation, const std::string& id) {
  return outbound::EncodeJournalEntry(generation, {outbound::JournalEntry::Kind::kTaken, 0, id, "S" + id});
}

class PictureFileTest : public testing::Test {
protected:
  void SetUp() override {
    char path[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, path);
    previous_ = path;
    GetTempPathA(MAX_PATH, path);
    directory_ = std::string(path) + "picture_file_test_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(directory_.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(directory_.c_str()));
    Clear();
  }
  void TearDown() override {
    Clear();
    SetCurrentDirectoryA(previous_.c_str());
    RemoveDirectoryA(directory_.c_str());
  }
  static void Clear() {
    for (const char* name : {"OrvanePictures.dat", "OrvanePictures.journal", "OrvanePictures.tmp", "OrvanePictures.bad",
                             "OrvanePictures.bad2", "OrvaneErrorLog.txt"}) {
      DeleteFileA(name);
      DeleteFileA((std::string(kStateFolder) + "\\" + name).c_str());
    }
    RemoveDirectoryA(kStateFolder);
  }
  std::wstring Here() const { return std::wstring(directory_.begin(), directory_.end()); }
  // The per-user folder of a newer plug-in, inside the test's directory.
  static constexpr char kStateFolder[] = "state";
  // The log's lines without their time stamps.
  static Lines LogTexts() {
    Lines lines;
    std::istringstream log(FileText("OrvaneErrorLog.txt"));
    for (std::string line; std::getline(log, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line.substr(std::min<size_t>(line.size(), 19)));
    }
    return lines;
  }

  std::string previous_;
  std::string directory_;
};

// What an earlier process left, as the files it ended with; what the next one starts from.
TEST_F(PictureFileTest, ANewProcessStartsFromWhatTheLastOneKeptWhereverItEnded) {
  const std::string snapshot = outbound::EncodeSnapshot(TasksPicture(5, {"a", "b"}));
  const std::string setAside =
      "OrvaneOutlook=>PictureFile::The kept pictures cannot be read; set aside as "
      "OrvanePictures.bad";
  struct Case {
    const char* what;
    std::string snapshot;  // "" for none
    std::string journal;
    std::string temp;
    bool loads;
    Lines tasks;
    Lines log;
  };
  const Case cases[] = {
      {"nothing kept yet", "", "", "", false, {}, {}},
      {"ended after items were journalled, the last entry torn",
       snapshot,
       Taken(5, "c") + Taken(5, "d") + Taken(5, "e").substr(0, 9),
       "",
       true,
       Lines{"a Sa", "b Sb", "c Sc", "d Sd"},
       {}},
      {"ended while writing the next snapshot",
       snapshot,
       Taken(5, "c"),
       "half a snapshot",
       true,
       Lines{"a Sa", "b Sb", "c Sc"},
       {}},
      {"ended after the next snapshot was moved in, before its journal was emptied",
       snapshot,
       Taken(4, "old") + Taken(5, "c"),
       "",
       true,
       Lines{"a Sa", "b Sb", "c Sc"},
       {}},
      {"a torn snapshot", snapshot.substr(0, snapshot.size() - 1), Taken(5, "c"), "", false, {}, Lines{setAside}},
      {"not a snapshot at all", "OrvanePictures but not really", "", "", false, {}, Lines{setAside}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    if (!c.snapshot.empty()) WriteFileText("OrvanePictures.dat", c.snapshot);
    if (!c.journal.empty()) WriteFileText("OrvanePictures.journal", c.journal);
    if (!c.temp.empty()) WriteFileText("OrvanePictures.tmp", c.temp);
    const std::string before = c.snapshot;
    {
      outbound::PictureFile file;
      const outbound::PictureFile::Loaded loaded = file.Load();
      ASSERT_EQ(loaded.status == outbound::PictureFile::LoadStatus::kLoaded, c.loads);
      ASSERT_EQ(loaded.pictures.has_value(), c.loads);
      if (loaded.pictures) {
        EXPECT_EQ(TasksOf(*loaded.pictures), c.tasks);
      }
    }
    EXPECT_EQ(LogTexts(), c.log);
    // The journal is empty again; what was read is kept as a new snapshot, or set aside.
    EXPECT_EQ(FileText("OrvanePictures.journal"), "");
    if (c.loads) {
      const std::optional<KeptPictures> kept = outbound::DecodeSnapshot(FileText("OrvanePictures.dat"));
      ASSERT_TRUE(kept.has_value());
      EXPECT_EQ(kept->generation, 6u);
      EXPECT_EQ(TasksOf(*kept), c.tasks);
    } else {
      EXPECT_FALSE(Exists("OrvanePictures.dat"));
      EXPECT_EQ(FileText("OrvanePictures.bad"), before);
    }
  }
}

// Each change is on disk when Append returns, and a snapshot replaces the journal's entries.
TEST_F(PictureFileTest, ChangesAppendedAndSnapshotsReplacedReadBackInAnotherProcess) {
  {
    outbound::PictureFile first;
    ASSERT_FALSE(first.Load().pictures.has_value());
    KeptPictures pictures = TasksPicture(0, {"a"});
    first.Replace(pictures);
    EXPECT_EQ(pictures.generation, 1u);
    first.Append({outbound::JournalEntry::Kind::kTaken, 0, "b", "Sb"});
    first.Append({outbound::JournalEntry::Kind::kNoReportDue, 0, "a", ""});
    // Nothing changed since the snapshot but the journal: it is written again.
    KeptPictures same = TasksPicture(0, {"a"});
    first.Replace(same);
    EXPECT_EQ(same.generation, 2u);
    EXPECT_EQ(FileText("OrvanePictures.journal"), "");
    const std::string written = FileText("OrvanePictures.dat");
    // Nothing changed at all: no new generation, no write.
    first.Replace(same);
    EXPECT_EQ(same.generation, 2u);
    EXPECT_EQ(FileText("OrvanePictures.dat"), written);
    first.Append({outbound::JournalEntry::Kind::kTaken, 0, "c", "Sc"});
  }
  outbound::PictureFile second;
  const std::optional<KeptPictures> loaded = second.Load().pictures;
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(TasksOf(*loaded), (Lines{"a Sa", "c Sc"}));
  EXPECT_EQ(loaded->generation, 3u);
  EXPECT_EQ(LogTexts(), Lines{});
}

// An older plug-in kept its pictures in its current directory; the first newer one to start takes
// them up into its own folder, and only that one.
TEST_F(PictureFileTest, PicturesLeftInTheCurrentDirectoryAreTakenUpOnce) {
  const std::string snapshot = outbound::EncodeSnapshot(TasksPicture(5, {"a", "b"}));
  const std::string otherSnapshot = outbound::EncodeSnapshot(TasksPicture(9, {"x"}));
  struct Case {
    const char* what;
    std::string oldSnapshot, oldJournal, newSnapshot, newJournal;
    Lines tasks;   // what the new folder then holds
    bool oldLeft;  // the current directory's snapshot is still there
  };
  const Case cases[] = {
      {"an older plug-in's snapshot and journal", snapshot, Taken(5, "c"), "", "", Lines{"a Sa", "b Sb", "c Sc"},
       false},
      {"the new folder has its own already", snapshot, Taken(5, "c"), otherSnapshot, "", Lines{"x Sx"}, true},
      {"an ending after the journal was moved", snapshot, "", "", Taken(5, "c"), Lines{"a Sa", "b Sb", "c Sc"}, false},
  };
  const std::wstring state = Here() + L"\\state";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clear();
    ASSERT_TRUE(CreateDirectoryA(kStateFolder, nullptr));
    WriteFileText("OrvanePictures.dat", c.oldSnapshot);
    if (!c.oldJournal.empty()) WriteFileText("OrvanePictures.journal", c.oldJournal);
    if (!c.newSnapshot.empty()) WriteFileText("state\\OrvanePictures.dat", c.newSnapshot);
    if (!c.newJournal.empty()) WriteFileText("state\\OrvanePictures.journal", c.newJournal);
    outbound::TakeUpKeptPictures(Here(), state);
    EXPECT_EQ(Exists("OrvanePictures.dat"), c.oldLeft);
    // A second start finds the new folder's own snapshot and takes up nothing more.
    WriteFileText("OrvanePictures.dat", otherSnapshot);
    outbound::TakeUpKeptPictures(Here(), state);
    EXPECT_EQ(FileText("OrvanePictures.dat"), otherSnapshot);
    outbound::PictureFile file(state);
    const std::optional<KeptPictures> loaded = file.Load().pictures;
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(TasksOf(*loaded), c.tasks);
    EXPECT_EQ(LogTexts(), Lines{});
  }
}

// Held by another process without sharing, as an open that the system refuses.
UniqueHandle HoldExclusively(const char* name) {
  return UniqueHandle(CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A file that cannot be read now is not a torn one: nothing is set aside or emptied, and once it
// is free the snapshot and its journal are taken up together.
TEST_F(PictureFileTest, AFileThatCannotBeReadNowIsLeftAsItIsAndReadOnceFree) {
  const std::string snapshot = outbound::EncodeSnapshot(TasksPicture(5, {"a"}));
  const std::string journal = Taken(5, "b");
  const std::string busy =
      "OrvaneOutlook=>PictureFile::The kept pictures cannot be read now (error 32); nothing is compared until they can";
  for (const char* held : {"OrvanePictures.dat", "OrvanePictures.journal"}) {
    SCOPED_TRACE(held);
    Clear();
    WriteFileText("OrvanePictures.dat", snapshot);
    WriteFileText("OrvanePictures.journal", journal);
    outbound::PictureFile file;
    {
      const UniqueHandle holder = HoldExclusively(held);
      ASSERT_TRUE(holder.IsValid());
      EXPECT_EQ(file.Load().status, outbound::PictureFile::LoadStatus::kBusy);
      EXPECT_EQ(file.Load().status, outbound::PictureFile::LoadStatus::kBusy);
    }
    EXPECT_EQ(FileText("OrvanePictures.dat"), snapshot);
    EXPECT_EQ(FileText("OrvanePictures.journal"), journal);
    EXPECT_FALSE(Exists("OrvanePictures.bad"));
    const outbound::PictureFile::Loaded loaded = file.Load();
    ASSERT_EQ(loaded.status, outbound::PictureFile::LoadStatus::kLoaded);
    EXPECT_EQ(TasksOf(*loaded.pictures), (Lines{"a Sa", "b Sb"}));
    EXPECT_EQ(LogTexts(), (Lines{busy, "OrvaneOutlook=>PictureFile::The kept pictures can be read again"}));
  }
}

// While one process keeps the pictures, another can neither take them up nor write to them.
TEST_F(PictureFileTest, OneProcessAtATimeWritesThePictures) {
  outbound::PictureFile first;
  first.Load();
  KeptPictures pictures = TasksPicture(0, {"a"});
  first.Replace(pictures);
  ASSERT_TRUE(first.Append({outbound::JournalEntry::Kind::kTaken, 0, "b", "Sb"}));
  outbound::PictureFile second;
  EXPECT_EQ(second.Load().status, outbound::PictureFile::LoadStatus::kBusy);
  EXPECT_FALSE(second.Append({outbound::JournalEntry::Kind::kTaken, 0, "x", "Sx"}));
  EXPECT_EQ(FileText("OrvanePictures.journal"), Taken(1, "b"));
}

// Torn bytes are set aside under a name of their own, never over those set aside before.
TEST_F(PictureFileTest, TornSnapshotsAreSetAsideWithoutWritingOverEarlierOnes) {
  WriteFileText("OrvanePictures.bad", "the first");
  WriteFileText("OrvanePictures.dat", "the second");
  {
    outbound::PictureFile file;
    EXPECT_EQ(file.Load().status, outbound::PictureFile::LoadStatus::kNothing);
  }
  EXPECT_EQ(FileText("OrvanePictures.bad"), "the first");
  EXPECT_EQ(FileText("OrvanePictures.bad2"), "the second");
  EXPECT_EQ(LogTexts(),
            Lines{"OrvaneOutlook=>PictureFile::The kept pictures cannot be read; set aside as OrvanePictures.bad2"});
}

// A torn entry left behind when the snapshot could not be written hides nothing appended after it.
TEST_F(PictureFileTest, ATornEntryIsCutOffBeforeTheNextAppend) {
  WriteFileText("OrvanePictures.dat", outbound::EncodeSnapshot(TasksPicture(5, {"a"})));
  WriteFileText("OrvanePictures.journal", Taken(5, "b") + Taken(5, "c").substr(0, 7));
  WriteFileText("OrvanePictures.tmp", "");
  {
    // The snapshot of the load cannot be written: the journal keeps its entries, and its tear.
    const UniqueHandle holder = HoldExclusively("OrvanePictures.tmp");
    outbound::PictureFile file;
    ASSERT_EQ(file.Load().status, outbound::PictureFile::LoadStatus::kLoaded);
    ASSERT_TRUE(file.Append({outbound::JournalEntry::Kind::kTaken, 0, "d", "Sd"}));
  }
  outbound::PictureFile next;
  const std::optional<KeptPictures> loaded = next.Load().pictures;
  ASSERT_TRUE(loaded.has_value());
  EXPECT_EQ(TasksOf(*loaded), (Lines{"a Sa", "b Sb", "d Sd"}));
}

}  // namespace

}  // namespace orvane
