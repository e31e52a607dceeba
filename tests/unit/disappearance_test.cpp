// Items a folder's read lacks, believed gone only once the folder has looked the same for a while:
// the plug-in's own sequences against the stand-in Outlook of this process, the watchdog's ticks
// driven on a clock of the test's own.
#include "testbed/outlook/item_store.h"
#include "tests/unit/roads.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using DisappearanceTest = RoadsTest;

constexpr std::uint64_t kTickMs = 500;

// The plug-in's clock, which the test moves on.
struct Clock {
  std::uint64_t now = 13'400'000'000'000;
};

// A plug-in process on the test's clock, with the waits it has in use.
std::unique_ptr<Roads> StartPlugin(Clock& clock) {
  auto roads = std::make_unique<Roads>();
  outbound::DisappearanceConfirmation& confirmation = roads->link.Disappearances();
  confirmation.UseClock([&clock] { return clock.now; });
  confirmation.ConfirmAfter(3000);
  confirmation.ConfirmManyAfter(30000);
  return roads;
}

// The watchdog's ticks for a while: a hold that is due asks for a check, and so does a folder whose
// count moved. Answers how many ticks asked for a check to confirm a hold.
int Watch(Roads& roads, Clock& clock, std::uint64_t seconds) {
  int asked = 0;
  for (std::uint64_t tick = 0; tick < seconds * 1000 / kTickMs; ++tick) {
    clock.now += kTickMs;
    if (roads.link.Disappearances().Due()) {
      ++asked;
      roads.CheckDeletedItems();
    }
    roads.link.CheckWhenFolderCountsMoved();
    roads.LookAtWhatComparisonsFound();
  }
  return asked;
}

void AddTasks(int count) {
  for (int i = 1; i <= count; ++i) {
    os::AddItem(os::ItemKind::Task, {{kSubject, os::Value::Text(L"Task " + std::to_wstring(i))}});
  }
  EXPECT_TRUE(os::RaisePostedEvents());
}

Lines Deleted(int from, int to) {
  Lines deleted;
  for (int i = from; i <= to; ++i) deleted.push_back("1 Task " + std::to_string(i));
  return deleted;
}

// The user keeps 40 tasks the main application knows. Outlook rebuilds its offline store, and the
// Tasks folder reads empty for its first five seconds; the plug-in hands over to its successor two
// seconds into them. Neither process reports a task deleted, and once the folder is back nothing is
// reported either: the main application keeps all 40.
TEST_F(DisappearanceTest, AStoreStillLoadingWhenThePluginRestartsReportsNothing) {
  AddTasks(40);
  Clock clock;
  {
    const std::unique_ptr<Roads> first = StartPlugin(clock);
    ASSERT_NO_FATAL_FAILURE(Connect(*first));
    os::ReadFolderEmpty(kFolderTasks, os::FaultRule::kAlways);
    Watch(*first, clock, 2);
  }
  const std::unique_ptr<Roads> next = StartPlugin(clock);
  ASSERT_NO_FATAL_FAILURE(Connect(*next));
  Watch(*next, clock, 3);
  EXPECT_EQ(Received(), Lines{});
  os::ReadFolderEmpty(kFolderTasks, 0);
  Watch(*next, clock, 120);
  next->CheckDeletedItems();
  EXPECT_EQ(Received(), Lines{});
  const std::string heldBack =
      "OrvaneOutlook=>CheckDeletedItemsInOutlook::The Tasks folder reads empty, 40 deletions held back";
  EXPECT_EQ(DetectionLog(), (Lines{heldBack, heldBack})) << "once by each process";
}

struct MassDeletion {
  const char* what;
  // Seconds into the confirmation when the plug-in hands over to its successor; 0: it does not.
  std::uint64_t restartAfter;
};

// The user selects 30 of 40 tasks and deletes them (Outlook raises no ItemRemove for so many). The
// main application learns of each deletion once, half a minute later, also when the plug-in hands
// over meanwhile; a single deletion after them is reported at once, as ever.
// The main application's command looks its item up in a folder that Outlook shows empty for a
// while, though the plug-in knows items there: the command waits for the folder to show them.
// An empty folder the plug-in knows as empty makes nothing wait.
TEST_F(DisappearanceTest, AFolderShownEmptyWhileItsPictureHoldsItemsMakesACommandWait) {
  const size_t tasks = items::IndexOf(items::kTaskItems);
  const size_t notes = items::IndexOf(items::kNoteItems);
  AddItem(os::ItemKind::Task, "Report");
  Roads roads;
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  EXPECT_FALSE(roads.link.FolderReadsEmptyForNow(tasks));
  os::ReadFolderEmpty(kFolderTasks, 2);
  os::ReadFolderEmpty(kFolderNotes, 2);
  EXPECT_TRUE(roads.link.FolderReadsEmptyForNow(tasks));
  EXPECT_FALSE(roads.link.FolderReadsEmptyForNow(notes)) << "the plug-in knows no note";
  EXPECT_TRUE(roads.link.FolderReadsEmptyForNow(tasks));
  EXPECT_FALSE(roads.link.FolderReadsEmptyForNow(tasks)) << "the folder shows its items again";
}

TEST_F(DisappearanceTest, ARealMassDeletionIsReportedOnceAfterTheConfirmation) {
  for (const MassDeletion& c : {MassDeletion{"one process", 0}, MassDeletion{"handed over meanwhile", 10}}) {
    SCOPED_TRACE(c.what);
    StartOver(), mainApp_.copies.clear();
    AddTasks(40);
    Clock clock;
    std::unique_ptr<Roads> roads = StartPlugin(clock);
    ASSERT_NO_FATAL_FAILURE(Connect(*roads));
    os::RemoveItemsWithoutEvents(kFolderTasks, 1, 30);
    Watch(*roads, clock, 1);
    if (c.restartAfter > 0) {
      Watch(*roads, clock, c.restartAfter - 1);
      roads.reset();
      roads = StartPlugin(clock);
      ASSERT_NO_FATAL_FAILURE(Connect(*roads));
    }
    // The successor's own half minute.
    Watch(*roads, clock, 29);
    EXPECT_EQ(Received(), Lines{}) << "held back while the confirmation lasts";
    Watch(*roads, clock, 2);
    EXPECT_EQ(Received(), Deleted(1, 30));
    Watch(*roads, clock, 120);
    roads->CheckDeletedItems();
    EXPECT_EQ(Received(), Deleted(1, 30)) << "each once";
    RemoveTask(1);
    EXPECT_EQ(Received(), Deleted(1, 31));
  }
}

// Outlook shows the 40 tasks' folder empty, and the user switches to another profile before the
// read is confirmed. The first store's hold ends with it: the watchdog does not ask for a check
// every few seconds for as long as the other profile is open, and nothing is reported.
TEST_F(DisappearanceTest, AHoldOfAStoreNoLongerShownDoesNotKeepAskingForChecks) {
  AddTasks(40);
  Clock clock;
  const std::unique_ptr<Roads> roads = StartPlugin(clock);
  ASSERT_NO_FATAL_FAILURE(Connect(*roads));
  os::ReadFolderEmpty(kFolderTasks, os::FaultRule::kAlways);
  Watch(*roads, clock, 1);
  ASSERT_EQ(DetectionLog().size(), 1u) << "held back";
  // Outlook opens the other profile's store.
  const std::wstring otherStore = L"other_profile_store.txt";
  ASSERT_TRUE(os::Store().KeepIn(otherStore));
  os::ReadFolderEmpty(kFolderTasks, 0);
  roads->link.DisconnectSinks();
  roads->ConnectWhenOutlookRuns();
  EXPECT_EQ(Watch(*roads, clock, 120), 0);
  EXPECT_EQ(Received(), Lines{});
  os::Store().KeepIn(L"");
  DeleteFileW(otherStore.c_str());
}

}  // namespace

}  // namespace orvane
