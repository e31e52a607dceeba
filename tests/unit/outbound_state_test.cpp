// What Outlook raises is a hint: whatever it leaves out, repeats or raises late, each item the user
// adds or changes reaches the main application once, and the plug-in's own writes never come back.
#include "inbound/task_record.h"
#include "tests/common/record_builder.h"
#include "tests/unit/roads.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using V = os::Value;
namespace field = inbound::taskfield;

class OutboundStateTest : public RoadsTest {};

TEST_F(OutboundStateTest, AnImportWithoutItemAddArrivesOnceEachAtTheNextCheck) {
  os::BulkAdd(16);
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  std::vector<os::PropertyList> imported;
  for (int i = 1; i <= 100; ++i) imported.push_back({{kSubject, V::Text(L"Imported " + std::to_wstring(i))}});
  os::AddItems(os::ItemKind::Task, imported);
  EXPECT_TRUE(os::RaisePostedEvents());
  EXPECT_TRUE(Received().empty()) << "Outlook raised no ItemAdd";
  EXPECT_TRUE(roads.link.FolderCountsMoved()) << "the count the watchdog looks at moved";
  roads.CheckDeletedItems();
  EXPECT_FALSE(roads.link.FolderCountsMoved());
  roads.CheckDeletedItems();
  std::map<std::string, int> seen;
  for (const std::string& record : Received()) ++seen[record];
  EXPECT_EQ(seen.size(), 100u);
  for (const auto& [record, times] : seen) EXPECT_EQ(times, 1) << record;
  EXPECT_EQ(seen.count("6 Imported 100"), 1u);
  RemoveTask(1);
  EXPECT_FALSE(roads.link.FolderCountsMoved()) << "the check the deletion ran read the folder again";
}

TEST_F(OutboundStateTest, LateChangesWithNewTimesAndTheCopyOfAFinishedOccurrenceBringNothingBack) {
  os::LateChange(0, 2, true);
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  roads.MainApplicationSends("Orvane_SaveNow", testcommon::TaskFields()
                                                   .Set(1, "Water the plants")
                                                   .Set(field::kRecurrenceType, "1")
                                                   .Set(field::kDayOfWeekMask, "2")
                                                   .Set(field::kInterval, "1")
                                                   .Set(field::kPatternStartDate, "7/12/2026")
                                                   .Joined());
  // Done with the sinks listening, so that they hear the copy's ItemAdd too.
  std::string done = "done\tWater the plants";
  {
    const outlook::OutlookSession::Hold hold(roads.session);
    inbound::DoneOutlookItem(done.data(), mainapp::kTask, roads.context);
  }
  EXPECT_TRUE(os::RaisePostedEvents());
  roads.CheckDeletedItems();
  EXPECT_EQ(os::FolderItems(kFolderTasks).size(), 2u) << "the series and Outlook's finished copy";
  // The user's own add, with Outlook's two later changes of it.
  os::AddItem(os::ItemKind::Task, {{kSubject, V::Text(L"Mine")}});
  EXPECT_TRUE(os::RaisePostedEvents());
  roads.CheckDeletedItems();
  EXPECT_EQ(Received(), Lines{"6 Mine"});
}

TEST_F(OutboundStateTest, TwoChangesWithinOneSecondBothArriveWhereOutlookKeepsWholeSeconds) {
  os::TimePrecision(L"seconds");
  AddItem(os::ItemKind::Task, "Report");
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  for (const wchar_t* subject : {L"Report v2", L"Report v3"}) {
    os::ChangeItem(kFolderTasks, 1, {{kSubject, V::Text(subject)}});
    EXPECT_TRUE(os::RaisePostedEvents());
  }
  roads.CheckDeletedItems();
  EXPECT_EQ(Received(), (Lines{"9 Report v2", "9 Report v3"}));
}

// Renamed within the second of its last save, the item reads in the state the plug-in knows, and
// its ItemChange comes only after it is gone: the check between is what tells of the rename, and
// the deletion names the subject the main application was told.
TEST_F(OutboundStateTest, ARenameInTheSecondOfTheLastSaveIsToldBeforeTheDeletionNamesIt) {
  os::TimePrecision(L"seconds");
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  os::AddItem(os::ItemKind::Task, {{kSubject, V::Text(L"Pay the rent")}});
  EXPECT_TRUE(os::RaisePostedEvents());
  os::EventDelay(60 * 60 * 1000);
  os::ChangeItem(kFolderTasks, 1, {{kSubject, V::Text(L"Pay the rent v2")}});
  roads.CheckDeletedItems();
  os::RemoveItemsWithoutEvents(kFolderTasks, 1, 1);
  roads.CheckDeletedItems();
  roads.CheckDeletedItems();
  EXPECT_EQ(Received(), (Lines{"6 Pay the rent", "9 Pay the rent v2", "1 Pay the rent v2"}));
}

// Ten minutes of the plug-in's work, its checks driven directly, ask Outlook for nothing it guards.
TEST_F(OutboundStateTest, WhereOutlookDeniesGuardedCallsTheWorkPromptsNever) {
  os::Guard(L"deny");
  AddItem(os::ItemKind::Task, "Call the bank");
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  for (int minute = 0; minute < 10; ++minute) {
    os::AddItem(os::ItemKind::Task, {{kSubject, V::Text(L"Added " + std::to_wstring(minute))}});
    EXPECT_TRUE(os::RaisePostedEvents());
    roads.MainApplicationSends(
        "Orvane_ChangeNow",
        testcommon::TaskFields()
            .Set(1, "Call the bank " + std::to_string(minute + 1))
            .JoinedAfter(minute == 0 ? "Call the bank" : "Call the bank " + std::to_string(minute)));
    roads.CheckDeletedItems();
  }
  RemoveTask(1);
  EXPECT_EQ(os::GuardPrompts(), 0);
  EXPECT_EQ(Received().size(), 11u);
  EXPECT_EQ(Received().back(), "1 Call the bank 10");
}

}  // namespace

}  // namespace orvane
