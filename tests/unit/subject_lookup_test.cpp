// SubjectLookup: items found through their folder's table, under every table Outlook may give, as
// the item-by-item walk finds them; the walk where the table fails; several items with one subject.
#include "inbound/item_lookup.h"
#include "inbound/task_record.h"
#include "mainapp/kinds.h"
#include "outlook/outlook_ids.h"
#include "tests/common/record_builder.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using Lines = std::vector<std::string>;

constexpr const items::ItemKind* kPlaces[] = {&items::kTaskItems, &items::kAppointmentItems, &items::kNoteItems};

os::ItemKind KindAt(const items::ItemKind& place) {
  return place.folder == kFolderTasks      ? os::ItemKind::Task
         : place.folder == kFolderCalendar ? os::ItemKind::Appointment
                                           : os::ItemKind::Note;
}

std::string IdOf(const outlook::DispatchDriver& item) { return item.IsEmpty() ? "none" : item.GetText(kEntryId); }

std::string Numbered(int n) { return "Item " + std::to_string(n); }

class SubjectLookupTest : public WriterTest {
protected:
  static void Fill(int count) {
    for (const items::ItemKind* row : kPlaces) {
      const items::ItemKind& place = *row;
      for (int n = 1; n <= count; ++n) AddItem(KindAt(place), Numbered(n));
    }
  }
  static void AddItemCreatedAt(const items::ItemKind& place, const std::string& subject, double created,
                               os::PropertyList more = {}) {
    const DispId subjectMember = place.folder == kFolderNotes ? kBody : kSubject;
    more.insert(more.begin(), {subjectMember, os::Value::Text(outlook::AnsiToWide(subject))});
    os::AddItemCreatedAt(KindAt(place), more, created);
  }
  static long ItemsReadByIndex() { return os::CallCount(os::ObjectKind::Items, kItem, os::CallKind::Any); }
};

TEST_F(SubjectLookupTest, UnderEveryTableOutlookMayGiveTheLookupFindsWhatTheWalkFinds) {
  constexpr int kItems = 300;
  const struct {
    const char* name;
    void (*choose)();
  } kTables[] = {
      {"Outlook's usual table", [] {}},
      {"short-term ids", [] { os::TableIds(L"short-term"); }},
      {"columns first", [] { os::TableOrder(L"columns-first"); }},
      {"a count too high", [] { os::TableRowCountSlack(7); }},
      {"a count too low", [] { os::TableRowCountSlack(-150); }},
      {"strict MaxRows", [] { os::TableStrictMaxRows(true); }},
      {"a count that fails", [] { os::RowCountFails(true); }},
      {"strict MaxRows and a count that fails", [] { os::TableStrictMaxRows(true), os::RowCountFails(true); }},
      {"texts cut at 255 bytes", [] { os::TableTextBytes(255); }},
  };
  const std::string kSought[] = {"Item 1", "ITEM 150", "item 300", "Item 301", "Item 30 "};
  for (const auto& table : kTables) {
    SCOPED_TRACE(table.name);
    StartOver();
    Fill(kItems);
    table.choose();
    os::ResetCallCounts();
    for (const items::ItemKind* row : kPlaces) {
      const items::ItemKind& place = *row;
      for (const std::string& subject : kSought) {
        const long before = ItemsReadByIndex();
        const std::string found = IdOf(lookup_.Find(place, subject));
        EXPECT_EQ(ItemsReadByIndex(), before) << "read through the table";
        EXPECT_EQ(found, IdOf(inbound::FindItemBySubject(session_, place, subject)))
            << place.folderName << ": " << subject;
      }
    }
    // Each lookup's table loses the default columns not read (five of a task's or appointment's
    // eight, two of a note's five); none is added.
    EXPECT_EQ(os::CallCount(os::ObjectKind::Columns, os::kColumnsRemove, os::CallKind::Method),
              static_cast<long>(std::size(kSought)) * (5 + 5 + 2));
    EXPECT_EQ(os::CallCount(os::ObjectKind::Columns, os::kColumnsAdd, os::CallKind::Method), 0);
    // A command acts on the item found: the last task goes, and only it.
    std::string record = "item " + std::to_string(kItems);
    inbound::DeleteOutlookItem(record.data(), mainapp::kTask, context_);
    const std::vector<os::ItemData> tasks = Items(kFolderTasks);
    ASSERT_EQ(tasks.size(), static_cast<size_t>(kItems - 1));
    EXPECT_EQ(TextOf(tasks.back(), kSubject), Numbered(kItems - 1));
    EXPECT_TRUE(LogTexts().empty());
  }
}

TEST_F(SubjectLookupTest, AFailingTableOrAnIdThatDoesNotOpenLeadsToTheWalkLoggedOncePerFolderWhileItLasts) {
  Fill(3);
  const std::string kTasksLine =
      "OrvaneOutlook=>FindItemBySubject::The Tasks folder is read item by item: No table today";
  os::FailCall(os::ObjectKind::Folder, kGetTable, os::CallKind::Method, L"No table today", os::FaultRule::kAlways);
  EXPECT_EQ(IdOf(lookup_.Find(items::kTaskItems, "item 2")), TextOf(Items(kFolderTasks)[1], kEntryId));
  EXPECT_EQ(IdOf(lookup_.Find(items::kTaskItems, "Item 4")), "none");
  EXPECT_EQ(LogTexts(), Lines{kTasksLine}) << "once while the table fails alike";
  os::ClearFailures();
  os::FailCall(os::ObjectKind::NameSpace, kGetItemFromId, os::CallKind::Method, L"The operation failed.");
  EXPECT_EQ(IdOf(lookup_.Find(items::kAppointmentItems, "Item 3")),
            IdOf(inbound::FindItemBySubject(session_, items::kAppointmentItems, "Item 3")));
  EXPECT_EQ(IdOf(lookup_.Find(items::kTaskItems, "Item 1")),
            IdOf(inbound::FindItemBySubject(session_, items::kTaskItems, "Item 1")));
  os::FailCall(os::ObjectKind::Folder, kGetTable, os::CallKind::Method, L"No table today");
  lookup_.Find(items::kTaskItems, "Item 1");
  EXPECT_EQ(LogTexts(), (Lines{kTasksLine,
                               "OrvaneOutlook=>FindItemBySubject::The Calendar folder is read item by item: The "
                               "operation failed.",
                               kTasksLine}))
      << "the Tasks table answered well in between";
  os::HideMember(os::ObjectKind::Folder, kGetTable);
  EXPECT_EQ(IdOf(lookup_.Find(items::kNoteItems, "Item 2")), TextOf(Items(kFolderNotes)[1], kEntryId));
  EXPECT_EQ(LogTexts().back(),
            "OrvaneOutlook=>FindItemBySubject::The Notes folder is read item by item: Outlook's table is not "
            "offered by this Outlook");
}

TEST_F(SubjectLookupTest, OfSeveralItemsWithTheSubjectTheEarliestCreatedIsTakenWhateverTheirOrder) {
  for (const items::ItemKind* row : kPlaces) {
    const items::ItemKind& place = *row;
    // The walk takes the first in Items order, which is not the one created earliest.
    AddItemCreatedAt(place, "Report", 46000.5);
    AddItemCreatedAt(place, "REPORT", 46000.25);
    AddItemCreatedAt(place, "report", 46000.75);
    const std::vector<os::ItemData> items = Items(place.folder);
    const std::string walked = IdOf(inbound::FindItemBySubject(session_, place, "Report"));
    EXPECT_EQ(walked, TextOf(items[0], kEntryId));
    EXPECT_EQ(IdOf(lookup_.Find(place, "report")), TextOf(items[1], kEntryId)) << place.folderName;
    // Created at the same moment: the one whose EntryID comes first.
    AddItemCreatedAt(place, "Report", 46000.25);
    EXPECT_EQ(IdOf(lookup_.Find(place, "report")), TextOf(items[1], kEntryId)) << place.folderName;
  }
  EXPECT_TRUE(LogTexts().empty());
}

// The main application saved the task "Call" (link id 45). The user adds a second "Call" in
// Outlook, which goes out as new, and the main application answers "Call*99": 99 lands on the
// user's new task, not on the older one. Later changes of each, carrying its link id, reach it.
// The same through the table and item by item, and for a note, whose link id is its categories.
TEST_F(SubjectLookupTest, RepeatedSubjectsKeepEachItemItsOwnLinkId) {
  const struct {
    const char* name;
    void (*choose)();
  } kReads[] = {
      {"through the table", [] {}},
      {"item by item",
       [] {
         os::FailCall(os::ObjectKind::Folder, kGetTable, os::CallKind::Method, L"No table today",
                      os::FaultRule::kAlways);
       }},
  };
  const auto changeDue = [this](const char* due, const char* linkId) {
    std::string record = testcommon::TaskFields()
                             .Set(inbound::taskfield::kSubject, "Call")
                             .Set(inbound::taskfield::kDue, due)
                             .Set(inbound::taskfield::kLinkId, linkId)
                             .JoinedAfter("call");
    inbound::ChangeOutlookTask(record.data(), context_);
  };
  for (const auto& read : kReads) {
    SCOPED_TRACE(read.name);
    StartOver();
    os::ClearFailures();
    read.choose();
    AddItemCreatedAt(items::kTaskItems, "Call", 46000.25, {{kInternetCodepage, os::Value::Int32(45)}});
    AddItemCreatedAt(items::kTaskItems, "Call", 46001.5);
    std::string link = "Call*99";
    inbound::SetOutlookLinkId(link.data(), mainapp::kTaskLink, context_);
    std::vector<os::ItemData> tasks = Items(kFolderTasks);
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(tasks[0].Get(kInternetCodepage).AsInt32(), 45);
    EXPECT_EQ(tasks[1].Get(kInternetCodepage).AsInt32(), 99);

    changeDue("20/11/2006*9:00am*9:30am", "99");
    changeDue("21/11/2006*9:00am*9:30am", "45");
    tasks = Items(kFolderTasks);
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(tasks[0].Get(kDueDate).AsDate(), Date(2006, 11, 21));
    EXPECT_EQ(tasks[1].Get(kDueDate).AsDate(), Date(2006, 11, 20));

    AddItemCreatedAt(items::kNoteItems, "Buy milk", 46000.25, {{kCategories, os::Value::Text(L"512")}});
    AddItemCreatedAt(items::kNoteItems, "Buy milk", 46001.5);
    AddItemCreatedAt(items::kNoteItems, "Buy milk", 46000.75);
    std::string noteLink = "buy milk*600";
    inbound::SetOutlookLinkId(noteLink.data(), mainapp::kNoteLink, context_);
    const std::vector<os::ItemData> notes = Items(kFolderNotes);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(TextOf(notes[0], kCategories), "512");
    EXPECT_EQ(TextOf(notes[1], kCategories), "600") << "the newest without a link id";
    EXPECT_EQ(TextOf(notes[2], kCategories), "");
  }
}

TEST_F(SubjectLookupTest, ASubjectTheTableCutIsReadWholeFromItsItem) {
  const std::string head(250, 'A');
  for (const items::ItemKind* row : kPlaces) {
    const items::ItemKind& place = *row;
    AddItem(KindAt(place), head + " the first ending");
    AddItem(KindAt(place), head + " the second ending");
    AddItem(KindAt(place), "Short");
    const std::vector<os::ItemData> items = Items(place.folder);
    const long opened = os::CallCount(kGetItemFromId);
    EXPECT_EQ(IdOf(lookup_.Find(place, head + " THE SECOND ENDING")), TextOf(items[1], kEntryId)) << place.folderName;
    EXPECT_EQ(os::CallCount(kGetItemFromId) - opened, 3) << "both long subjects read, the one found opened";
    EXPECT_EQ(IdOf(lookup_.Find(place, head)), "none");
  }
  EXPECT_TRUE(LogTexts().empty());
}

}  // namespace

}  // namespace orvane
