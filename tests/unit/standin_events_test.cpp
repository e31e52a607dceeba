// ItemsEvents of the stand-in Outlook: which collections hear which change, with what, and what
// becomes of sinks that are unadvised or gone with their process.
#include "base/com_scope.h"
#include "outlook/dispatch_driver.h"
#include "testbed/outlook/recording_sink.h"
#include "testbed/outlook/standin_control.h"
#include "testbed/outlook/standin_ids.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <string>
#include <vector>

namespace orvane {

namespace {

namespace os = outlook_standin;
using namespace outlook;

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
  static DispatchDriver ItemsOf(int32_t folder) {
    return DispatchDriver(os::CreateApplication())
        .InvokeForObject(kGetNamespace, Variant::Text("MAPI"))
        .InvokeForObject(kGetDefaultFolder, Variant::Int32(folder))
        .GetObject(kItems);
  }
  // A sink advised on the collection; the connection lasts as long as the fixture.
  ComPtr<os::RecordingSink> Advised(const DispatchDriver& items) {
    ComPtr<os::RecordingSink> sink = os::RecordingSink::Create();
    connections_.emplace_back();
    EXPECT_EQ(connections_.back().Connect(items.Get(), os::kItemsEventsIid, sink.Get()), S_OK);
    return sink;
  }

  const DispatchDriver app_{os::CreateApplication()};
  std::vector<AdviseConnection> connections_;
};

TEST_F(StandinEventsTest, EachChangeReachesTheAdvisedCollectionsOfItsFolderUntilUnadvised) {
  const DispatchDriver tasks = ItemsOf(kFolderTasks);
  const auto sink = Advised(tasks);
  const auto noteSink = Advised(ItemsOf(kFolderNotes));
  const DispatchDriver task = app_.InvokeForObject(kCreateItem, Variant::Int32(kTaskItem));
  task.SetText(kSubject, "Report");
  EXPECT_EQ(Heard(sink), (Counts{0, 0, 0})) << "a new item is nobody's business until saved";
  task.InvokeMethod(kSave);
  task.SetText(kSubject, "Report v2");
  task.InvokeMethod(kClose, Variant::Int32(kCloseSave));
  // ItemAdd and ItemChange carry a fresh copy of the item as saved.
  const std::vector<os::ReceivedEvent>& events = sink->Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(DispatchDriver(events[0].item).GetText(kSubject), "Report");
  EXPECT_EQ(DispatchDriver(events[1].item).GetText(kSubject), "Report v2");
  EXPECT_NE(events[1].item.Get(), task.Get());

  task.InvokeMethod(kDelete);
  EXPECT_EQ(Heard(sink), (Counts{1, 1, 1}));
  EXPECT_EQ(events.back().argumentCount, 0u) << "ItemRemove carries nothing";
  EXPECT_EQ(Heard(noteSink), (Counts{0, 0, 0}));

  EXPECT_EQ(connections_[0].Disconnect(), S_OK);
  os::AddItem(os::ItemKind::Task, {{kSubject, os::Value::Text(L"after")}});
  EXPECT_EQ(events.size(), 3u);
}

TEST_F(StandinEventsTest, TheUsersChangesReachTheSinksWithoutCountingCallsAndRemovalComesAfter) {
  const DispatchDriver tasks = ItemsOf(kFolderTasks);
  const auto sink = Advised(tasks);
  os::ResetCallCounts();
  os::AddItem(os::ItemKind::Task, {{kSubject, os::Value::Text(L"one")}});
  os::AddItem(os::ItemKind::Task, {{kSubject, os::Value::Text(L"two")}});
  os::ChangeItem(kFolderTasks, 2, {{kPercentComplete, os::Value::Int32(100)}});
  EXPECT_EQ(os::TotalCalls(), 0);
  // During ItemRemove the folder no longer holds the item.
  std::string firstSeen;
  sink->OnEvent([&](DispId id, IDispatch*) {
    if (id == kItemRemove) firstSeen = tasks.InvokeForObject(kItem, Variant::Int32(1)).GetText(kSubject);
  });
  os::RemoveItem(kFolderTasks, 1);
  EXPECT_EQ(firstSeen, "two");
  EXPECT_EQ(Heard(sink), (Counts{2, 1, 1}));
  EXPECT_EQ(os::FolderItems(kFolderTasks).at(0).Get(kStatus).AsInt32(), kStatusComplete);
}

TEST_F(StandinEventsTest, OnlyASinkWhoseProcessHasGoneIsDropped) {
  const DispatchDriver tasks = ItemsOf(kFolderTasks);
  const struct {
    HRESULT answer;
    size_t heard;  // of two saves
  } kCases[] = {{RPC_E_DISCONNECTED, 1}, {HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), 1}, {E_FAIL, 2}, {S_OK, 2}};
  std::vector<ComPtr<os::RecordingSink>> sinks;
  for (const auto& c : kCases) {
    sinks.push_back(Advised(tasks));
    sinks.back()->AnswerWith(c.answer);
  }
  const DispatchDriver task = app_.InvokeForObject(kCreateItem, Variant::Int32(kTaskItem));
  task.InvokeMethod(kSave);
  task.InvokeMethod(kSave);
  for (size_t i = 0; i < sinks.size(); ++i) EXPECT_EQ(sinks[i]->Events().size(), kCases[i].heard) << i;
  EXPECT_EQ(connections_[0].Disconnect(), CONNECT_E_NOCONNECTION) << "the dropped sink is no longer connected";
}

}  // namespace

}  // namespace orvane
