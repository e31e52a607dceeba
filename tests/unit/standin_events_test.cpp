// ItemsEvents of the stand-in Outlook: raised after the call that caused them, in the order they
// happened, to the sinks advised when they are raised; delayed and repeated on request; and what
// becomes of sinks that are unadvised or gone with their process.
#include "base/com_scope.h"
#include "outlook/dispatch_driver.h"
#include "testbed/outlook/recording_sink.h"
#include "testbed/outlook/standin_control.h"
#include "testbed/outlook/standin_ids.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <chrono>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {

namespace {

namespace os = outlook_standin;
using namespace outlook;
using namespace std::chrono_literals;

using Counts = std::vector<int>;

// The counts of ItemAdd, ItemChange and ItemRemove a sink has heard.
Counts Heard(const ComPtr<os::RecordingSink>& sink) {
  return {sink->CountOf(kItemAdd), sink->CountOf(kItemChange), sink->CountOf(kItemRemove)};
}

class StandinEventsTest : public testing::Test {
protected:
  void SetUp() override { os::ResetStore(); }
  void TearDown() override { os::ResetStore(); }

  // Each call is a client of its own, with its own Application, NameSpace and collection.
  static outlook::DispatchDriver ItemsOf(int32_t folder) {
    return outlook::DispatchDriver(os::CreateApplication())
        .InvokeForObject(kGetNamespace, outlook::Variant::Text("MAPI"))
        .InvokeForObject(kGetDefaultFolder, outlook::Variant::Int32(folder))
        .GetObject(kItems);
  }
  // A sink advised on the collection; the connection lasts as long as the fixture.
  ComPtr<os::RecordingSink> Advised(const outlook::DispatchDriver& items) {
    ComPtr<os::RecordingSink> sink = os::RecordingSink::Create();
    connections_.emplace_back();
    EXPECT_EQ(connections_.back().Connect(items.Get(), os::kItemsEventsIid, sink.Get()), S_OK);
    return sink;
  }
  outlook::DispatchDriver NewTask(const char* subject) const {
    const outlook::DispatchDriver task = app_.InvokeForObject(kCreateItem, outlook::Variant::Int32(kTaskItem));
    task.SetText(kSubject, subject);
    return task;
  }

  const outlook::DispatchDriver app_{os::CreateApplication()};
  std::vector<AdviseConnection> connections_;
};

TEST_F(StandinEventsTest, EachChangeIsRaisedAfterItsCallToTheCollectionsOfItsFolderAdvisedThen) {
  const outlook::DispatchDriver tasks = ItemsOf(kFolderTasks);
  const auto sink = Advised(tasks);
  const auto noteSink = Advised(ItemsOf(kFolderNotes));
  const outlook::DispatchDriver task = NewTask("Report");
  task.InvokeMethod(kSave);
  EXPECT_EQ(Heard(sink), (Counts{0, 0, 0})) << "nothing inside the Save";
  EXPECT_EQ(os::PendingEvents(), 1u);
  ASSERT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(Heard(sink), (Counts{1, 0, 0}));
  // ItemAdd and ItemChange carry a fresh copy of the item as saved.
  task.SetText(kSubject, "Report v2");
  task.InvokeMethod(kClose, outlook::Variant::Int32(kCloseSave));
  ASSERT_TRUE(os::RaisePostedEvents());
  const std::vector<os::ReceivedEvent>& events = sink->Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(outlook::DispatchDriver(events[0].item).GetText(kSubject), "Report");
  EXPECT_EQ(outlook::DispatchDriver(events[1].item).GetText(kSubject), "Report v2");
  EXPECT_NE(events[1].item.Get(), task.Get());

  // In the order they happened, to the sinks connected when they are raised.
  const outlook::DispatchDriver other = NewTask("Other");
  other.InvokeMethod(kSave);
  task.InvokeMethod(kDelete);
  const auto lateSink = Advised(ItemsOf(kFolderTasks));
  EXPECT_EQ(connections_[0].Disconnect(), S_OK);
  ASSERT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(Heard(sink), (Counts{1, 1, 0}));
  EXPECT_EQ(Heard(lateSink), (Counts{1, 0, 1}));
  EXPECT_EQ(lateSink->Events()[0].id, kItemAdd);
  EXPECT_EQ(lateSink->Events().back().argumentCount, 0u) << "ItemRemove carries nothing";
  EXPECT_EQ(Heard(noteSink), (Counts{0, 0, 0}));

  // A reset drops what was not raised yet.
  NewTask("Dropped").InvokeMethod(kSave);
  os::ResetStore();
  EXPECT_EQ(os::PendingEvents(), 0u);
}

TEST_F(StandinEventsTest, EventsComeAsLateAsChosenAndALateChangeFollowsEverySave) {
  const auto sink = Advised(ItemsOf(kFolderTasks));
  os::EventDelay(300);
  os::LateChange(600);
  const auto saved = std::chrono::steady_clock::now();
  const auto since = [&saved] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - saved).count();
  };
  const outlook::DispatchDriver task = NewTask("Report");
  task.InvokeMethod(kSave);
  const double modified = task.GetDate(os::kLastModificationTime);
  ASSERT_TRUE(os::PumpMessagesUntil([&] { return !sink->Events().empty(); }));
  EXPECT_GE(since(), 250);
  EXPECT_EQ(Heard(sink), (Counts{1, 0, 0}));
  ASSERT_TRUE(os::PumpMessagesUntil([&] { return sink->Events().size() == 2; }));
  EXPECT_GE(since(), 850);
  EXPECT_EQ(sink->Events()[1].id, kItemChange);
  EXPECT_EQ(outlook::DispatchDriver(sink->Events()[1].item).GetDate(os::kLastModificationTime), modified);
  EXPECT_EQ(os::PendingEvents(), 0u);

  os::LateChange(-1);
  os::EventDelay(0);
  task.InvokeMethod(kSave);
  ASSERT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(Heard(sink), (Counts{1, 2, 0})) << "late changes off again";
}

// Outlook raises no ItemAdd for many items added at once, may change an item several times after
// a save (with a new LastModificationTime each), and may keep times in whole seconds.
TEST_F(StandinEventsTest, BulkAddsAreSilentAndLateChangesRepeatWithNewTimes) {
  const auto sink = Advised(ItemsOf(kFolderTasks));
  os::BulkAdd(2);
  os::AddItems(os::ItemKind::Task, {{}, {}, {}});
  ASSERT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(Heard(sink), (Counts{0, 0, 0})) << "three at once is more than two";
  os::AddItems(os::ItemKind::Task, {{}, {}});
  ASSERT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(Heard(sink), (Counts{2, 0, 0}));
  EXPECT_EQ(os::FolderItems(kFolderTasks).size(), 5u);

  os::LateChange(10, 2, true);
  const outlook::DispatchDriver task = NewTask("Report");
  task.InvokeMethod(kSave);
  const double saved = task.GetDate(os::kLastModificationTime);
  ASSERT_TRUE(os::RaisePostedEvents());
  ASSERT_EQ(sink->Events().size(), 5u);
  const double first = outlook::DispatchDriver(sink->Events()[3].item).GetDate(os::kLastModificationTime);
  const double second = outlook::DispatchDriver(sink->Events()[4].item).GetDate(os::kLastModificationTime);
  EXPECT_LT(saved, first);
  EXPECT_LT(first, second);

  os::TimePrecision(L"seconds");
  task.InvokeMethod(kSave);
  const double seconds = task.GetDate(os::kLastModificationTime) * 86400;
  EXPECT_NEAR(seconds, std::round(seconds), 1e-3) << "whole seconds";
  os::ResetStore();
  EXPECT_THROW(os::TimePrecision(L"minutes"), std::invalid_argument);
}

}  // namespace

}  // namespace orvane
