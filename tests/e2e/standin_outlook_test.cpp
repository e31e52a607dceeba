// The stand-in Outlook out of process, as the plug-in meets Outlook: one running server reached by
// every client, ItemsEvents crossing processes, and the server's lifetime and refusal.
#include "tests/e2e/harness.h"

#include "base/com_scope.h"
#include "base/unique_resource.h"
#include "outlook/late_binding.h"
#include "testbed/outlook/recording_sink.h"
#include "testbed/outlook/standin_ids.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <functional>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace e2e;
namespace os = outlook_standin;

constexpr char kServer[] = "OutlookStandin.exe";

int RunningServers() {
  int count = 0;
  const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = snapshot && Process32First(snapshot.Get(), &entry); more;
       more = Process32Next(snapshot.Get(), &entry)) {
    count += lstrcmpiA(entry.szExeFile, kServer) == 0 ? 1 : 0;
  }
  return count;
}

HWND ServerWindow() { return FindWindowA(outlook::kMainWindowClass, nullptr); }

// Closes every stand-in as the user closes Outlook, and waits until they are gone. Under Wine a COM
// server that is killed stays registered with the RPC service, and every later activation of its
// class fails until the wineserver ends: so a stand-in is always closed, never killed.
bool CloseServers() {
  while (const HWND window = ServerWindow()) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!WaitUntil([window] { return !IsWindow(window); }, 5s)) break;
  }
  return WaitForNoProcess(kServer, 10s);
}

outlook::DispatchDriver TasksOf(const outlook::LateBound& application) {
  return outlook::DispatchDriver(ComPtr<IDispatch>::Share(application.Get()))
      .InvokeForObject(outlook::kGetNamespace, outlook::Variant::Text("MAPI"))
      .InvokeForObject(outlook::kGetDefaultFolder, outlook::Variant::Int32(outlook::kFolderTasks))
      .GetObject(outlook::kItems);
}

class StandinOutlookTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(CloseServers()) << "a stand-in of an earlier test is still running";
    ASSERT_TRUE(apartment_.Ok());
  }
  void TearDown() override { EXPECT_TRUE(CloseServers()); }

  // Runs OutlookClient with the arguments; true when it ended with exit code 0. The test thread keeps
  // pumping, so the server's event calls into this process get through meanwhile.
  static bool RunClient(const std::string& arguments) {
    ChildProcess client("OutlookClient.exe", arguments, "");
    return client.WaitForExit(20s) && client.ExitCode() == 0;
  }

  const orvane::Apartment apartment_;
};

TEST_F(StandinOutlookTest, AnotherClientsChangesReachThisProcesssSinkUntilItUnadvises) {
  ChildProcess server(kServer, "", "");
  ASSERT_NE(WaitForWindow(outlook::kMainWindowClass, nullptr, 10s), nullptr);
  EXPECT_EQ(WindowProcess(ServerWindow()), server.Id());
  {
    const outlook::LateBound application = outlook::LateBound::Create(L"Outlook.Application");
    EXPECT_EQ(RunningServers(), 1) << "the running one was reached, no other was started";
    const ComPtr<os::RecordingSink> sink = os::RecordingSink::Create();
    const outlook::DispatchDriver tasks = TasksOf(application);
    AdviseConnection connection;
    ASSERT_EQ(connection.Connect(tasks.Get(), os::kItemsEventsIid, sink.Get()), S_OK);

    ASSERT_TRUE(RunClient("add task \"Report\" \"Draft\""));
    ASSERT_TRUE(WaitUntil([&] { return !sink->Events().empty(); }, 5s));
    ASSERT_EQ(sink->Events().size(), 1u);
    EXPECT_EQ(sink->Events()[0].id, outlook::kItemAdd);
    EXPECT_EQ(outlook::DispatchDriver(sink->Events()[0].item).GetText(outlook::kSubject), "Report");
    ASSERT_TRUE(RunClient("delete task report"));
    ASSERT_TRUE(WaitUntil([&] { return sink->Events().size() == 2; }, 5s));
    EXPECT_EQ(sink->Events()[1].id, outlook::kItemRemove);

    // The server raises an event after the client's Save has returned, to the sinks advised then:
    // once another sink has heard it, it would have reached this one.
    EXPECT_EQ(connection.Disconnect(), S_OK);
    const ComPtr<os::RecordingSink> witness = os::RecordingSink::Create();
    AdviseConnection witnessConnection;
    ASSERT_EQ(witnessConnection.Connect(tasks.Get(), os::kItemsEventsIid, witness.Get()), S_OK);
    ASSERT_TRUE(RunClient("add task \"Kept\""));
    ASSERT_TRUE(WaitUntil([&] { return !witness->Events().empty(); }, 5s));
    EXPECT_EQ(sink->Events().size(), 2u);
  }
  // The clients are gone; the user's Outlook stays, with its items, until its window is closed.
  EXPECT_EQ(outlook::LateBound::Create(L"OutlookStandin.Control")
                .CallMethod(L"ItemCount", outlook::Variant::Int32(outlook::kFolderTasks))
                .ToInt32(),
            1);
  EXPECT_EQ(WindowProcess(ServerWindow()), server.Id());
  PostMessageA(ServerWindow(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(server.WaitForExit(10s));
  EXPECT_EQ(server.ExitCode(), 0u);
}

TEST_F(StandinOutlookTest, StartedByComItShowsNoWindowAndEndsWhenTheLastClientLetsGo) {
  {
    const outlook::LateBound application = outlook::LateBound::Create(L"Outlook.Application");
    EXPECT_EQ(RunningServers(), 1);
    EXPECT_EQ(ServerWindow(), nullptr);
    TasksOf(application);
  }
  EXPECT_TRUE(WaitForNoProcess(kServer, 10s));
}

// What a client reads of the store: its StoreID, the Tasks folder's EntryID, and each task's
// subject and EntryID.
struct StoreSeen {
  std::string storeId;
  std::string folderId;
  std::vector<std::string> tasks;  // "subject id"
};

StoreSeen SeeStore() {
  const outlook::LateBound application = outlook::LateBound::Create(L"Outlook.Application");
  const outlook::LateBound folder =
      application.CallForObject(L"GetNamespace", outlook::Variant::Wide(L"MAPI"))
          .CallForObject(L"GetDefaultFolder", outlook::Variant::Int32(outlook::kFolderTasks));
  StoreSeen seen{folder.GetProperty(L"StoreID").ToAnsi(), folder.GetProperty(L"EntryID").ToAnsi(), {}};
  const outlook::LateBound items = folder.GetObject(L"Items");
  for (int32_t index = 1; index <= items.GetProperty(L"Count").ToInt32(); ++index) {
    const outlook::LateBound item = items.CallForObject(L"Item", outlook::Variant::Int32(index));
    seen.tasks.push_back(item.GetProperty(L"Subject").ToAnsi() + " " + item.GetProperty(L"EntryID").ToAnsi());
  }
  return seen;
}

// The user's Outlook on a store file, ended by the control's Quit once `use` has run.
void RunOnStore(const std::string& file, const std::function<void()>& use) {
  ChildProcess server(kServer, "/Store \"" + file + "\"", "");
  ASSERT_NE(WaitForWindow(outlook::kMainWindowClass, nullptr, 10s), nullptr);
  use();
  outlook::LateBound::Create(L"OutlookStandin.Control").CallMethod(L"Quit");
  EXPECT_TRUE(server.WaitForExit(10s));
  EXPECT_EQ(server.ExitCode(), 0u);
}

TEST_F(StandinOutlookTest, AStoreFileKeepsItsItemsAndIdsAcrossAQuitAndAnotherFileIsAnotherStore) {
  const std::string directory = FreshWorkDirectory();
  const std::string kept = directory + "\\kept.store";
  StoreSeen first;
  RunOnStore(kept, [&] {
    ASSERT_TRUE(RunClient("add task \"Report\""));
    ASSERT_TRUE(RunClient("add task \"Budget\""));
    ASSERT_TRUE(RunClient("delete task Report"));
    first = SeeStore();
  });
  ASSERT_EQ(first.tasks.size(), 1u);
  EXPECT_FALSE(first.storeId.empty());
  EXPECT_NE(first.folderId, first.storeId);
  StoreSeen again;
  RunOnStore(kept, [&] {
    again = SeeStore();
    ASSERT_TRUE(RunClient("add task \"Later\""));
  });
  EXPECT_EQ(again.storeId, first.storeId);
  EXPECT_EQ(again.folderId, first.folderId);
  EXPECT_EQ(again.tasks, first.tasks);
  StoreSeen other;
  RunOnStore(directory + "\\other.store", [&] { other = SeeStore(); });
  EXPECT_NE(other.storeId, first.storeId);
  EXPECT_NE(other.folderId, first.folderId);
  EXPECT_TRUE(other.tasks.empty());
  // The third run's task took an id of its own, not one of the first run's.
  RunOnStore(kept, [&] {
    const StoreSeen last = SeeStore();
    ASSERT_EQ(last.tasks.size(), 2u);
    EXPECT_EQ(last.tasks[0], first.tasks[0]);
    EXPECT_NE(last.tasks[1].substr(last.tasks[1].find(' ')), first.tasks[0].substr(first.tasks[0].find(' ')));
  });
}

}  // namespace

}  // namespace orvane
