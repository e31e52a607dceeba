// DeleteOutlookItem, DoneOutlookItem, SetOutlookLinkId and ReplaceChar against the stand-in
// Outlook in this process.
#include "app/intake.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using Lines = std::vector<std::string>;

const std::pair<uint32_t, os::ItemKind> kItemKinds[] = {{mainapp::kTask, os::ItemKind::Task},
                                                        {mainapp::kAppointment, os::ItemKind::Appointment},
                                                        {mainapp::kNote, os::ItemKind::Note}};

class ItemCommandsTest : public WriterTest {
protected:
  void Delete(std::string record, uint32_t kind) { inbound::DeleteOutlookItem(record.data(), kind, context_); }
  void Done(std::string record, uint32_t kind) { inbound::DoneOutlookItem(record.data(), kind, context_); }
  void SetLinkId(std::string record, uint32_t kind) { inbound::SetOutlookLinkId(record.data(), kind, context_); }

  static Lines Subjects(int32_t folder) {
    Lines subjects;
    // A note's subject is its text.
    for (const os::ItemData& item : Items(folder)) {
      subjects.push_back(TextOf(item, item.Kind() == os::ItemKind::Note ? kBody : kSubject));
    }
    return subjects;
  }
};

// --- Delete -----------------------------------------------------------------------------------

TEST_F(ItemCommandsTest, DeleteRemovesTheFirstSubjectMatchOfEachKind) {
  for (const auto& [kind, itemKind] : kItemKinds) {
    for (const char* subject : {"Milk", "Bread", "milk"}) AddItem(itemKind, subject);
    const int32_t folder = os::DefaultFolderOf(itemKind);
    Delete("MILK", kind);
    EXPECT_EQ(Subjects(folder), (Lines{"Bread", "milk"})) << folder;
    Delete("Milk", kind);
    EXPECT_EQ(Subjects(folder), Lines{"Bread"}) << folder;
  }
  EXPECT_TRUE(LogTexts().empty());
}

TEST_F(ItemCommandsTest, DeleteComparesTheWholeRecord) {
  AddItem(os::ItemKind::Task, "Milk");
  Delete("Milk\tmore fields", mainapp::kTask);
  Delete("Milk ", mainapp::kTask);
  Delete("Mil", mainapp::kTask);
  EXPECT_EQ(Subjects(kFolderTasks), Lines{"Milk"});
}

// The main application knows a subject as it was sent: a TAB, CR or LF as a space, a NUL left out.
TEST_F(ItemCommandsTest, SubjectsAreComparedAsTheyWereSent) {
  AddItem(os::ItemKind::Task, std::string("Pay\tthe\r\nrent\0!", 15));
  AddItem(os::ItemKind::Task, "Pay the bill");
  Done("Done\tPay the  rent!", mainapp::kTask);
  EXPECT_EQ(Items(kFolderTasks)[0].Get(kStatus).AsInt32(), kStatusComplete);
  Delete("PAY THE  RENT!", mainapp::kTask);
  EXPECT_EQ(Subjects(kFolderTasks), Lines{"Pay the bill"});
}

TEST_F(ItemCommandsTest, DeleteDoesNothingForOtherKindsOrAnEmptyFolder) {
  AddItem(os::ItemKind::Task, "Milk");
  for (const uint32_t kind : {uint32_t{mainapp::kChangedTask}, uint32_t{mainapp::kTaskLink}, 0u}) Delete("Milk", kind);
  EXPECT_EQ(os::TotalCalls(), 0);
  Delete("Milk", mainapp::kNote);
  EXPECT_EQ(Subjects(kFolderTasks), Lines{"Milk"});
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
      {"done", false, kStatusComplete, 100, 1},
      {"UnDone", true, kStatusNotStarted, 0, 1},
      {"Finished", true, kStatusComplete, 100, 0},  // other words change and save nothing
  };
  for (const auto& c : kCases) {
    os::ResetStore();
    const int32_t startStatus = c.startsComplete ? kStatusComplete : kStatusNotStarted;
    AddItem(os::ItemKind::Task, "Call the bank", {{kStatus, os::Value::Int32(startStatus)}});
    Done(std::string(c.word) + "\tcall the BANK", mainapp::kTask);
    const os::ItemData task = Items(kFolderTasks).at(0);
    SCOPED_TRACE(c.word);
    EXPECT_EQ(task.Get(kStatus).AsInt32(), c.status);
    EXPECT_EQ(task.Get(kPercentComplete).AsInt32(), c.percent);
    EXPECT_EQ(os::CallCount(kClose), c.closes);
  }
  EXPECT_TRUE(LogTexts().empty());
}

TEST_F(ItemCommandsTest, DoneLeavesAppointmentsAndNotesAloneAndRefusesARecordWithoutSubject) {
  AddItem(os::ItemKind::Appointment, "Dentist");
  AddItem(os::ItemKind::Note, "Dentist");
  Done("Done\tDentist", mainapp::kAppointment);
  Done("Done\tDentist", mainapp::kNote);
  // Each was looked up and not saved (neither has a member of a task's completion to write).
  EXPECT_EQ(os::CallCount(kGetDefaultFolder), 2);
  EXPECT_EQ(os::CallCount(kClose), 0);

  os::ResetCallCounts();
  Done("Done", mainapp::kTask);
  Done("Done\tDentist", 0x2BB7B2A9u);  // a kind outside the table says nothing
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
      {mainapp::kTaskLink, os::ItemKind::Task, "Call the bank", "call the bank*57", kInternetCodepage,
       os::Value::Int32(0), os::Value::Int32(57)},
      {mainapp::kTaskLink, os::ItemKind::Task, "Call the bank", "Call the bank*abc", kInternetCodepage,
       os::Value::Int32(99), os::Value::Int32(0)},
      {mainapp::kTaskLink, os::ItemKind::Task, "Buy *milk", "Buy *milk*57", kInternetCodepage, os::Value::Int32(0),
       os::Value::Int32(57)},
      {mainapp::kAppointmentLink, os::ItemKind::Appointment, "Dentist", "DENTIST**58", kInternetCodepage,
       os::Value::Int32(0), os::Value::Int32(58)},
      {mainapp::kNoteLink, os::ItemKind::Note, "Shopping", "Shopping*512", kCategories, os::Value::Text(L"Personal"),
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

// A change made "Follow up" anew with the main application's link id 57 while the user's task of
// that subject waited for its link record: the link record that follows must not give 57 to a
// second item.
TEST_F(ItemCommandsTest, LinkRecordWhoseIdAnItemOfTheSubjectCarriesGivesItToNoOther) {
  AddItem(os::ItemKind::Task, "Follow up", {{kInternetCodepage, os::Value::Int32(57)}});
  AddItem(os::ItemKind::Task, "Follow up");
  SetLinkId("Follow up*57", mainapp::kTaskLink);
  const auto items = Items(outlook::kFolderTasks);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].Get(kInternetCodepage), os::Value::Int32(57));
  EXPECT_EQ(items[1].Get(kInternetCodepage), os::Value::Int32(0));
}

TEST_F(ItemCommandsTest, LinkIdWithoutMatchOrForOtherKindsWritesNothing) {
  AddItem(os::ItemKind::Task, "Call the bank");
  SetLinkId("Call the bank now*57", mainapp::kTaskLink);
  EXPECT_EQ(os::CallCount(kClose), 0);
  os::ResetCallCounts();
  for (const uint32_t kind : {uint32_t{mainapp::kTask}, uint32_t{mainapp::kNote}, uint32_t{mainapp::kDeletedNote}})
    SetLinkId("Call the bank*57", kind);
  EXPECT_EQ(os::TotalCalls(), 0);
  EXPECT_TRUE(LogTexts().empty());
}

TEST_F(ItemCommandsTest, LinkRecordWithoutSubjectOrLinkIdIsRefusedWithOneLine) {
  AddItem(os::ItemKind::Task, "Call the bank");
  SetLinkId("Call the bank", mainapp::kTaskLink);
  SetLinkId("**", mainapp::kTaskLink);
  EXPECT_EQ(os::TotalCalls(), 0);
  EXPECT_EQ(LogTexts(),
            (Lines{"SetOutlookLinkId: short record, the properties of its missing fields were left as they were",
                   "SetOutlookLinkId: record without a subject, nothing written"}));
}

TEST_F(ItemCommandsTest, LookupRetriesTheFolderOnceOnAFreshSession) {
  AddItem(os::ItemKind::Task, "Call the bank");
  os::FailCall(os::ObjectKind::NameSpace, kGetDefaultFolder, os::CallKind::Method, L"Folder not ready");
  SetLinkId("Call the bank*57", mainapp::kTaskLink);
  EXPECT_EQ(Items(kFolderTasks)[0].Get(kInternetCodepage).AsInt32(), 57);
  EXPECT_EQ(os::LogonCount(), 2);
  EXPECT_TRUE(LogTexts().empty());
  os::FailCall(os::ObjectKind::NameSpace, kGetDefaultFolder, os::CallKind::Method, L"Folder not ready", 2);
  EXPECT_THROW(SetLinkId("Call the bank*58", mainapp::kTaskLink), outlook::AutomationError);
}

TEST_F(ItemCommandsTest, LookupWithoutATableReadsTheCountOnceAndStopsAtTheFirstMatch) {
  for (const char* subject : {"a", "b", "Target", "Target", "c"}) AddItem(os::ItemKind::Task, subject);
  os::FailCall(os::ObjectKind::Folder, kGetTable, os::CallKind::Method, L"No table today");
  Delete("target", mainapp::kTask);
  EXPECT_EQ(os::CallCount(os::ObjectKind::Items, kCount, os::CallKind::Get), 1);
  EXPECT_EQ(os::CallCount(os::ObjectKind::Items, kItem, os::CallKind::Method), 3);
  EXPECT_EQ(Subjects(kFolderTasks), (Lines{"a", "b", "Target", "c"}));
}

// --- ReplaceChar ------------------------------------------------------------------------------

TEST_F(ItemCommandsTest, ReplaceCharReplacesEveryOccurrenceAndCountsThem) {
  std::string date = "25/12/2006";
  EXPECT_EQ(inbound::ReplaceChar(date.data(), '/', '-'), 2);
  EXPECT_EQ(date, "25-12-2006");
  EXPECT_EQ(inbound::ReplaceChar(date.data(), '/', '-'), 0);
  std::string same = "///";
  EXPECT_EQ(inbound::ReplaceChar(same.data(), '/', '/'), 3);
  EXPECT_EQ(same, "///");
}

}  // namespace

}  // namespace orvane
