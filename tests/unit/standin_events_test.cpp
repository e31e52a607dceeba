// ItemsEvents of the stand-in Outlook: which collections hear which change, how often, with what,
// and what becomes of sinks that are unadvised, released or gone.
#include "outlook/dispatch_driver.h"
#include "testbed/outlook/recording_sink.h"
#include "testbed/outlook/standin_control.h"
#include "testbed/outlook/standin_ids.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <memory>
#include <string>
#include <vector>

namespace orvane {

namespace {

namespace os = outlook_standin;
using namespace outlook;

class StandinEventsTest : public testing::Test {
protected:
  void SetUp() override { os::ResetStore(); }
  void TearDown() override { os::ResetStore(); }

  // A client of its own: each has its own Application, NameSpace and collections.
  static DispatchDriver NewClient() {
    const DispatchDriver app(os::CreateApplication());
    return app;
  }
  static DispatchDriver ItemsOf(const DispatchDriver& app, int32_t folder) {
    return app.InvokeForObject(kGetNamespace, Variant::Text("MAPI"))
        .InvokeForObject(kGetDefaultFolder, Variant::Int32(folder))
        .GetObject(kItems);
  }
  static DispatchDriver NewTask(const DispatchDriver& app, const char* subject) {
    DispatchDriver task = app.InvokeForObject(kCreateItem, Variant::Int32(kTaskItem));
    task.SetText(kSubject, subject);
    return task;
  }

  // The counts of ItemAdd, ItemChange and ItemRemove a sink has heard.
  static std::vector<int> Heard(const ComPtr<os::RecordingSink>& sink) {
    return {sink->CountOf(kItemAdd), sink->CountOf(kItemChange), sink->CountOf(kItemRemove)};
  }
};

using Counts = std::vector<int>;

TEST_F(StandinEventsTest, EachSaveAndDeleteRaisesOneEventOnEveryAdvisedCollectionOfItsFolder) {
  const DispatchDriver app = NewClient();
  const DispatchDriver tasksA = ItemsOf(app, kFolderTasks);
  const DispatchDriver tasksB = ItemsOf(NewClient(), kFolderTasks);
  const DispatchDriver notes = ItemsOf(app, kFolderNotes);
  const auto sinkA = os::RecordingSink::Create();
  const auto sinkB = os::RecordingSink::Create();
  const auto noteSink = os::RecordingSink::Create();
  const os::EventConnection a(tasksA.Get(), sinkA.Get());
  const os::EventConnection b(tasksB.Get(), sinkB.Get());
  const os::EventConnection n(notes.Get(), noteSink.Get());
  ASSERT_EQ(a.Result(), S_OK);
  ASSERT_EQ(b.Result(), S_OK);
  ASSERT_EQ(n.Result(), S_OK);

  DispatchDriver task = NewTask(app, "Report");
  EXPECT_EQ(Heard(sinkA), (Counts{0, 0, 0}));  // a new item is nobody's business until saved
  task.InvokeMethod(kSave);
  EXPECT_EQ(Heard(sinkA), (Counts{1, 0, 0}));
  EXPECT_EQ(Heard(sinkB), (Counts{1, 0, 0}));
  task.SetText(kBody, "more");
  task.InvokeMethod(kClose, Variant::Int32(kCloseSave));
  EXPECT_EQ(Heard(sinkA), (Counts{1, 1, 0}));
  EXPECT_EQ(Heard(sinkB), (Counts{1, 1, 0}));
  task.InvokeMethod(kDelete);
  EXPECT_EQ(Heard(sinkA), (Counts{1, 1, 1}));
  EXPECT_EQ(Heard(sinkB), (Counts{1, 1, 1}));
  EXPECT_EQ(Heard(noteSink), (Counts{0, 0, 0}));

  // ItemAdd and ItemChange carry the item as their one argument; ItemRemove carries nothing.
  for (const os::ReceivedEvent& event : sinkA->Events()) {
    const bool removal = event.id == kItemRemove;
    EXPECT_EQ(event.argumentCount, removal ? 0u : 1u) << event.id;
    EXPECT_EQ(event.argumentType, removal ? VT_EMPTY : VT_DISPATCH) << event.id;
  }
}

TEST_F(StandinEventsTest, TheEventsItemIsAFreshWorkingCopyOfWhatWasSaved) {
  const DispatchDriver app = NewClient();
  const DispatchDriver tasks = ItemsOf(app, kFolderTasks);
  const auto sink = os::RecordingSink::Create();
  const os::EventConnection connection(tasks.Get(), sink.Get());
  DispatchDriver task = NewTask(app, "Report");
  task.InvokeMethod(kSave);
  task.SetText(kSubject, "Report v2");
  task.InvokeMethod(kSave);

  ASSERT_EQ(sink->Events().size(), 2u);
  const DispatchDriver added(sink->Events()[0].item);
  const DispatchDriver changed(sink->Events()[1].item);
  EXPECT_NE(added.Get(), task.Get());
  EXPECT_NE(added.Get(), changed.Get());
  EXPECT_EQ(added.GetText(kSubject), "Report");
  EXPECT_EQ(changed.GetText(kSubject), "Report v2");
  changed.SetText(kSubject, "not saved");
  EXPECT_EQ(os::FolderItems(kFolderTasks)[0].Get(kSubject).AsText(), L"Report v2");
}

TEST_F(StandinEventsTest, NoEventsAfterUnadviseOrOnceTheCollectionIsReleased) {
  const DispatchDriver app = NewClient();
  const auto unadvised = os::RecordingSink::Create();
  const auto released = os::RecordingSink::Create();
  const DispatchDriver tasks = ItemsOf(app, kFolderTasks);
  os::EventConnection connection(tasks.Get(), unadvised.Get());
  {
    DispatchDriver dropped = ItemsOf(app, kFolderTasks);
    ComPtr<IConnectionPointContainer> container =
        ComPtr<IDispatch>::Share(dropped.Get()).As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(os::kItemsEventsIid, point.Receive()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(released.Get(), &cookie), S_OK);
  }  // the client lets go of the collection without unadvising: its sinks go with it
  EXPECT_EQ(connection.Disconnect(), S_OK);

  NewTask(app, "Report").InvokeMethod(kSave);
  EXPECT_TRUE(unadvised->Events().empty());
  EXPECT_TRUE(released->Events().empty());
}

TEST_F(StandinEventsTest, ChangesFromAnyClientAndFromTheUserReachTheSinks) {
  const DispatchDriver listener = NewClient();
  const DispatchDriver tasks = ItemsOf(listener, kFolderTasks);
  const auto sink = os::RecordingSink::Create();
  const os::EventConnection connection(tasks.Get(), sink.Get());
  os::ResetCallCounts();

  NewTask(NewClient(), "from another client").InvokeMethod(kSave);
  os::AddItem(os::ItemKind::Task, {{kSubject, os::Value::Text(L"from the user")}});
  os::ChangeItem(kFolderTasks, 2, {{kPercentComplete, os::Value::Int32(100)}});
  os::RemoveItem(kFolderTasks, 1);
  EXPECT_EQ(Heard(sink), (Counts{2, 1, 1}));
  ASSERT_EQ(os::FolderItems(kFolderTasks).size(), 1u);
  EXPECT_EQ(os::FolderItems(kFolderTasks)[0].Get(kStatus).AsInt32(), kStatusComplete);
  EXPECT_EQ(os::TotalCalls(), 3);  // the other client's CreateItem, Subject and Save; the user makes no call
}

TEST_F(StandinEventsTest, DuringItemRemoveTheFolderNoLongerHoldsTheItem) {
  const DispatchDriver app = NewClient();
  NewTask(app, "one").InvokeMethod(kSave);
  NewTask(app, "two").InvokeMethod(kSave);
  const DispatchDriver tasks = ItemsOf(app, kFolderTasks);
  const auto sink = os::RecordingSink::Create();
  int32_t countSeen = -1;
  std::string firstSeen;
  sink->OnEvent([&](DispId id, IDispatch*) {
    if (id != kItemRemove) return;
    countSeen = tasks.GetInt32(kCount);
    firstSeen = tasks.InvokeForObject(kItem, Variant::Int32(1)).GetText(kSubject);
  });
  const os::EventConnection connection(tasks.Get(), sink.Get());
  tasks.InvokeForObject(kItem, Variant::Int32(1)).InvokeMethod(kDelete);
  EXPECT_EQ(countSeen, 1);
  EXPECT_EQ(firstSeen, "two");
}

TEST_F(StandinEventsTest, ASinkWhoseProcessHasGoneIsDroppedAndOthersStay) {
  const DispatchDriver app = NewClient();
  const DispatchDriver tasks = ItemsOf(app, kFolderTasks);
  const HRESULT kAnswers[] = {RPC_E_DISCONNECTED, HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE), E_FAIL, S_OK};
  std::vector<ComPtr<os::RecordingSink>> sinks;
  std::vector<std::unique_ptr<os::EventConnection>> connections;
  for (const HRESULT answer : kAnswers) {
    sinks.push_back(os::RecordingSink::Create());
    sinks.back()->AnswerWith(answer);
    connections.push_back(std::make_unique<os::EventConnection>(tasks.Get(), sinks.back().Get()));
  }
  DispatchDriver task = NewTask(app, "Report");
  task.InvokeMethod(kSave);
  task.InvokeMethod(kSave);
  const int kHeardTwice[] = {1, 1, 2, 2};
  for (size_t i = 0; i < sinks.size(); ++i) EXPECT_EQ(sinks[i]->Events().size(), kHeardTwice[i]) << i;
  // The dropped ones are no longer connected.
  EXPECT_EQ(connections[0]->Disconnect(), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(connections[2]->Disconnect(), S_OK);
}

TEST_F(StandinEventsTest, ConnectionPointFollowsTheStandardProtocol) {
  const DispatchDriver tasks = ItemsOf(NewClient(), kFolderTasks);
  const ComPtr<IConnectionPointContainer> container =
      ComPtr<IDispatch>::Share(tasks.Get()).As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ASSERT_TRUE(container);
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.Receive()), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(container->FindConnectionPoint(os::kItemsEventsIid, point.Receive()), S_OK);
  IID iid{};
  EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
  EXPECT_TRUE(IsEqualIID(iid, os::kItemsEventsIid));

  // A sink must answer the ItemsEvents identifier.
  DWORD cookie = 0;
  EXPECT_EQ(point->Advise(os::RecordingSink::Create(false).Get(), &cookie), CONNECT_E_CANNOTCONNECT);
  const auto first = os::RecordingSink::Create();
  const auto second = os::RecordingSink::Create();
  DWORD firstCookie = 0;
  DWORD secondCookie = 0;
  ASSERT_EQ(point->Advise(first.Get(), &firstCookie), S_OK);
  ASSERT_EQ(point->Advise(second.Get(), &secondCookie), S_OK);
  EXPECT_NE(firstCookie, secondCookie);

  ComPtr<IEnumConnections> connections;
  ASSERT_EQ(point->EnumConnections(connections.Receive()), S_OK);
  CONNECTDATA data[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(data[0].dwCookie, firstCookie);
  EXPECT_EQ(data[1].dwCookie, secondCookie);
  for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();

  EXPECT_EQ(point->Unadvise(firstCookie), S_OK);
  EXPECT_EQ(point->Unadvise(firstCookie), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(point->Unadvise(secondCookie), S_OK);
}

}  // namespace

}  // namespace orvane
