// DeleteOutlookItem, DoneOutlookItem, SetOutlookLinkId and ReplaceChar against the stand-in
// Outlook in this process.
#include "app/intake.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using Lines = std::vector<std::string>;

struct Kind {
  uint32_t kind;
  os::ItemKind itemKind;
  int32_t folder;
};

const Kind kItemKinds[] = {
    {intake::kTaskKind, os::ItemKind::Task, kFolderTasks},
    {intake::kAppointmentKind, os::ItemKind::Appointment, kFolderCalendar},
    {intake::kNoteKind, os::ItemKind::Note, kFolderNotes},
};

class ItemCommandsTest : public WriterTest {
protected:
  void Delete(std::string record, uint32_t kind) { frame_.DeleteOutlookItem(record.data(), kind); }
  void Done(std::string record, uint32_t kind) { frame_.DoneOutlookItem(record.data(), kind); }
  void SetLinkId(std::string record, uint32_t kind) { frame_.SetOutlookLinkId(record.data(), kind); }

  // An item with a subject and a mark of its own, so items of the same subject can be told apart.
  static void AddMarked(os::ItemKind kind, const std::string& subject, const std::string& mark) {
    if (kind == os::ItemKind::Note) {
      AddItem(kind, subject + "\r\n" + mark);
    } else {
      AddItem(kind, subject, {{kBody, os::Value::Text(Wide(mark))}});
    }
  }
  static std::string MarkOf(const os::ItemData& item) {
    const std::string body = TextOf(item, kBody);
    return body.substr(body.find_first_of('\n') + 1);
  }
  static std::vector<std::string> Marks(int32_t folder) {
    std::vector<std::string> marks;
    for (const os::ItemData& item : Items(folder)) marks.push_back(MarkOf(item));
    return marks;
  }
  // Property writes on items of every kind.
  static long Puts() {
    long puts = 0;
    for (const os::ObjectKind kind :
         {os::ObjectKind::TaskItem, os::ObjectKind::AppointmentItem, os::ObjectKind::NoteItem}) {
      for (const os::Member& member : os::MembersOf(kind)) puts += os::CallCount(kind, member.id, os::CallKind::Put);
    }
    return puts;
  }
};

// --- Delete -----------------------------------------------------------------------------------

TEST_F(ItemCommandsTest, DeleteRemovesTheFirstSubjectMatchOfEachKind) {
  for (const Kind& k : kItemKinds) {
    AddMarked(k.itemKind, "Milk", "first");
    AddMarked(k.itemKind, "Bread", "other");
    AddMarked(k.itemKind, "milk", "second");
    Delete("MILK", k.kind);
    EXPECT_EQ(Marks(k.folder), (Lines{"other", "second"})) << k.folder;
    Delete("Milk", k.kind);
    EXPECT_EQ(Marks(k.folder), Lines{"other"}) << k.folder;
  }
  EXPECT_TRUE(LogTexts().empty());
}

TEST_F(ItemCommandsTest, DeleteComparesTheWholeRecord) {
  AddMarked(os::ItemKind::Task, "Milk", "kept");
  Delete("Milk\tmore fields", intake::kTaskKind);
  Delete("Milk ", intake::kTaskKind);
  Delete("Mil", intake::kTaskKind);
  EXPECT_EQ(Marks(kFolderTasks), Lines{"kept"});
}

TEST_F(ItemCommandsTest, DeleteDoesNothingForOtherKindsOrAnEmptyFolder) {
  AddMarked(os::ItemKind::Task, "Milk", "kept");
  for (const uint32_t kind : {0x2BB7B2A9u, intake::kTaskLinkKind, 0u}) Delete("Milk", kind);
  EXPECT_EQ(os::TotalCalls(), 0);
  Delete("Milk", intake::kNoteKind);
  EXPECT_EQ(Marks(kFolderTasks), Lines{"kept"});
  EXPECT_TRUE(LogTexts().empty());
}

// --- Done and undone --------------------------------------------------------------------------

struct DoneCase {
  const char* word;
  bool startsComplete;
  int32_t status;
  int32_t percent;
  long closes;
};

TEST_F(ItemCommandsTest, DoneCompletesAndUndoneReopensATask) {
  const DoneCase kCases[] = {
      {"Done", false, kStatusComplete, 100, 1},    {"DONE", false, kStatusComplete, 100, 1},
      {"done", false, kStatusComplete, 100, 1},    {"UnDone", true, kStatusNotStarted, 0, 1},
      {"undone", true, kStatusNotStarted, 0, 1},   {"UNDONE", true, kStatusNotStarted, 0, 1},
      {"Finished", true, kStatusComplete, 100, 0}, {"Finished", false, kStatusNotStarted, 0, 0},
  };
  for (const auto& c : kCases) {
    os::ResetStore();
    const int32_t startStatus = c.startsComplete ? kStatusComplete : kStatusNotStarted;
    AddItem(os::ItemKind::Task, "Call the bank", {{kStatus, os::Value::Int32(startStatus)}});
    Done(Record({c.word, "call the BANK"}), intake::kTaskKind);
    const auto tasks = Items(kFolderTasks);
    SCOPED_TRACE(c.word);
    ASSERT_EQ(tasks.size(), 1u);
    EXPECT_EQ(tasks[0].Get(kStatus).AsInt32(), c.status);
    EXPECT_EQ(tasks[0].Get(kPercentComplete).AsInt32(), c.percent);
    EXPECT_EQ(os::CallCount(kClose), c.closes);
  }
  EXPECT_TRUE(LogTexts().empty());
}

TEST_F(ItemCommandsTest, DoneChangesOnlyTheFirstTaskOfTheSubject) {
  AddMarked(os::ItemKind::Task, "Call the bank", "first");
  AddMarked(os::ItemKind::Task, "Call the bank", "second");
  Done(Record({"Done", "Call the bank", "ignored"}), intake::kTaskKind);
  const auto tasks = Items(kFolderTasks);
  EXPECT_EQ(tasks[0].Get(kStatus).AsInt32(), kStatusComplete);
  EXPECT_EQ(tasks[1].Get(kStatus).AsInt32(), kStatusNotStarted);
}

TEST_F(ItemCommandsTest, DoneLeavesAppointmentsAndNotesAlone) {
  AddMarked(os::ItemKind::Appointment, "Dentist", "a");
  AddMarked(os::ItemKind::Note, "Dentist", "n");
  Done(Record({"Done", "Dentist"}), intake::kAppointmentKind);
  Done(Record({"Done", "Dentist"}), intake::kNoteKind);
  // Each was looked up, and neither written nor saved.
  EXPECT_EQ(os::CallCount(kGetDefaultFolder), 2);
  EXPECT_EQ(Puts(), 0);
  EXPECT_EQ(os::CallCount(kClose), 0);
}

TEST_F(ItemCommandsTest, DoneRecordWithoutSubjectIsRefusedWithOneLine) {
  AddItem(os::ItemKind::Task, "Done");
  Done("Done", intake::kTaskKind);
  Done("Done\tCall the bank", 0x2BB7B2A9u);  // a kind outside the table says nothing
  EXPECT_EQ(os::TotalCalls(), 0);
  EXPECT_EQ(LogTexts(), Lines{"DoneOutlookItem: record without a subject, nothing written"});
}

// --- Link id ----------------------------------------------------------------------------------

struct LinkCase {
  uint32_t kind;
  os::ItemKind itemKind;
  const char* subject;
  const char* record;
  DispId member;
  os::Value before;
  os::Value after;
};

TEST_F(ItemCommandsTest, LinkIdGoesWhereEachKindKeepsIt) {
  const LinkCase kCases[] = {
      {intake::kTaskLinkKind, os::ItemKind::Task, "Call the bank", "call the bank*57", kInternetCodepage,
       os::Value::Int32(0), os::Value::Int32(57)},
      {intake::kTaskLinkKind, os::ItemKind::Task, "Call the bank", "Call the bank*abc", kInternetCodepage,
       os::Value::Int32(99), os::Value::Int32(0)},
      {intake::kTaskLinkKind, os::ItemKind::Task, "Buy *milk", "Buy *milk*57", kInternetCodepage, os::Value::Int32(0),
       os::Value::Int32(57)},
      {intake::kAppointmentLinkKind, os::ItemKind::Appointment, "Dentist", "DENTIST**58", kInternetCodepage,
       os::Value::Int32(0), os::Value::Int32(58)},
      {intake::kNoteLinkKind, os::ItemKind::Note, "Shopping", "Shopping*512", kCategories, os::Value::Text(L"Personal"),
       os::Value::Text(L"512")},
  };
  for (const auto& c : kCases) {
    os::ResetStore();
    AddItem(c.itemKind, c.subject, {{c.member, c.before}});
    SetLinkId(c.record, c.kind);
    const auto items = Items(DefaultFolderOf(c.itemKind));
    SCOPED_TRACE(c.record);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].Get(c.member), c.after);
    EXPECT_EQ(os::CallCount(kClose), 1);
  }
  EXPECT_TRUE(LogTexts().empty());
}

TEST_F(ItemCommandsTest, LinkIdGoesToTheFirstMatchOnly) {
  AddMarked(os::ItemKind::Task, "Call the bank", "first");
  AddMarked(os::ItemKind::Task, "Call the bank", "second");
  SetLinkId("Call the bank*57", intake::kTaskLinkKind);
  const auto tasks = Items(kFolderTasks);
  EXPECT_EQ(tasks[0].Get(kInternetCodepage).AsInt32(), 57);
  EXPECT_EQ(tasks[1].Get(kInternetCodepage).AsInt32(), 0);
}

TEST_F(ItemCommandsTest, LinkIdWithoutMatchOrForOtherKindsWritesNothing) {
  AddItem(os::ItemKind::Task, "Call the bank");
  SetLinkId("Call the bank now*57", intake::kTaskLinkKind);
  SetLinkId("Call the bank*57", intake::kNoteLinkKind);
  EXPECT_EQ(Puts(), 0);
  os::ResetCallCounts();
  for (const uint32_t kind : {intake::kTaskKind, intake::kNoteKind, 0x2BB7B2AFu}) SetLinkId("Call the bank*57", kind);
  EXPECT_EQ(os::TotalCalls(), 0);
  EXPECT_TRUE(LogTexts().empty());
}

TEST_F(ItemCommandsTest, LinkRecordWithoutSubjectOrLinkIdIsRefusedWithOneLine) {
  AddItem(os::ItemKind::Task, "Call the bank");
  SetLinkId("Call the bank", intake::kTaskLinkKind);
  SetLinkId("**", intake::kTaskLinkKind);
  EXPECT_EQ(os::TotalCalls(), 0);
  EXPECT_EQ(LogTexts(),
            (Lines{"SetOutlookLinkId: short record, the properties of its missing fields were left as they were",
                   "SetOutlookLinkId: record without a subject, nothing written"}));
}

TEST_F(ItemCommandsTest, LookupRetriesTheFolderOnceOnAFreshSession) {
  AddItem(os::ItemKind::Task, "Call the bank");
  os::FailCall(os::ObjectKind::NameSpace, kGetDefaultFolder, os::CallKind::Method, L"Folder not ready");
  SetLinkId("Call the bank*57", intake::kTaskLinkKind);
  EXPECT_EQ(Items(kFolderTasks)[0].Get(kInternetCodepage).AsInt32(), 57);
  EXPECT_EQ(os::LogonCount(), 2);
  EXPECT_TRUE(LogTexts().empty());
}

TEST_F(ItemCommandsTest, LookupReadsTheCountOnceAndStopsAtTheFirstMatch) {
  for (const char* subject : {"a", "b", "Target", "Target", "c"}) AddItem(os::ItemKind::Task, subject);
  Delete("target", intake::kTaskKind);
  EXPECT_EQ(os::CallCount(kCount), 1);
  EXPECT_EQ(os::CallCount(kItem), 3);
}

// --- ReplaceChar ------------------------------------------------------------------------------

TEST_F(ItemCommandsTest, ReplaceCharReplacesEveryOccurrenceAndCountsThem) {
  struct Case {
    std::string text;
    char from;
    char to;
    std::string result;
    int count;
  };
  const Case kCases[] = {
      {"25/12/2006", '/', '-', "25-12-2006", 2},
      {"25-12-2006", '/', '-', "25-12-2006", 0},
      {"", '/', '-', "", 0},
      {"///", '/', '/', "///", 3},
  };
  for (Case c : kCases) {
    EXPECT_EQ(frame_.ReplaceChar(c.text.data(), c.from, c.to), c.count) << c.result;
    EXPECT_EQ(c.text, c.result);
  }
}

}  // namespace

}  // namespace orvane
