// The stand-in Outlook out of process, as the plug-in meets Outlook: one running server reached by
// every client, ItemsEvents crossing processes, and the server's lifetime and refusal.
#include "tests/e2e/harness.h"

#include "outlook/com_types.h"
#include "outlook/outlook_ids.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <ocidl.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace e2e;

constexpr char kServer[] = "OutlookStandin.exe";
constexpr char kClient[] = "OutlookClient.exe";
// {00063077-0000-0000-C000-000000000046}
constexpr IID kItemsEventsIid = {0x00063077, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The ids of the stand-in processes running now (servers, and clients when asked).
std::vector<DWORD> RunningProcesses(bool clientsToo) {
  std::vector<DWORD> ids;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, kServer) == 0 || (clientsToo && lstrcmpiA(entry.szExeFile, kClient) == 0)) {
      ids.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return ids;
}

int RunningServers() { return static_cast<int>(RunningProcesses(false).size()); }

// Asks every stand-in with a main window to close, as the user closes Outlook. Under Wine a COM
// server that is killed stays registered with the RPC service, and every later activation of its
// class fails with RPC_S_SERVER_UNAVAILABLE until the wineserver ends: so a stand-in is closed, and
// killed only when it does not go.
void CloseServerWindows() {
  while (const HWND window = FindWindowA("rctrl_renwnd32", nullptr)) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!WaitUntil([window] { return !IsWindow(window); }, 5s)) break;
  }
}

// Ends the stand-in processes left on the desktop by an earlier failed run: closed first, then,
// by their handles, whatever is still there.
void EndStrayServers() {
  CloseServerWindows();
  WaitUntil([] { return RunningServers() == 0; }, 3s);
  for (const DWORD id : RunningProcesses(true)) {
    if (const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
      TerminateProcess(process, 99);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
}

// An ItemsEvents sink that keeps the DISPID and item of each event.
class EventLog final : public IDispatch {
public:
  static ComPtr<EventLog> Create() { return ComPtr<EventLog>::Attach(new EventLog); }
  struct Event {
    DISPID id;
    ComPtr<IDispatch> item;
  };
  const std::vector<Event>& Events() const { return events_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, kItemsEventsIid)) {
      return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    Event event{id, {}};
    if (params && params->cArgs == 1 && params->rgvarg[0].vt == VT_DISPATCH) {
      event.item = ComPtr<IDispatch>::Share(params->rgvarg[0].pdispVal);
    }
    events_.push_back(event);
    return S_OK;
  }

private:
  EventLog() = default;
  ~EventLog() = default;
  LONG references_ = 1;
  std::vector<Event> events_;
};

// One IDispatch call by DISPID; the result in `result`, the HRESULT answered.
HRESULT Call(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  VariantInit(result);
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

VARIANT Int(int32_t value) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

ComPtr<IDispatch> ObjectFrom(HRESULT hr, VARIANT& result) {
  ComPtr<IDispatch> object;
  if (SUCCEEDED(hr) && result.vt == VT_DISPATCH)
    object = ComPtr<IDispatch>::Attach(result.pdispVal);
  else
    VariantClear(&result);
  return object;
}

class StandinOutlookTest : public testing::Test {
protected:
  void SetUp() override {
    EndStrayServers();
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    comReady_ = true;
    ChildProcess registration(kServer, "/RegServer", "");
    ASSERT_TRUE(registration.WaitForExit(10s));
    ASSERT_EQ(registration.ExitCode(), 0u);
    ASSERT_TRUE(SUCCEEDED(CLSIDFromProgID(L"Outlook.Application", &applicationClsid_)));
    ASSERT_TRUE(SUCCEEDED(CLSIDFromProgID(L"OutlookStandin.Control", &controlClsid_)));
  }
  void TearDown() override {
    if (comReady_) CoUninitialize();
    EndStrayServers();
  }

  ComPtr<IDispatch> Create(const CLSID& clsid, HRESULT* result = nullptr) {
    ComPtr<IDispatch> object;
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                        reinterpret_cast<void**>(object.Receive()));
    if (result) *result = hr;
    return object;
  }

  static ComPtr<IDispatch> TasksItems(IDispatch* application) {
    VARIANT result;
    VARIANT mapi;
    mapi.vt = VT_BSTR;
    mapi.bstrVal = SysAllocString(L"MAPI");
    const ComPtr<IDispatch> space =
        ObjectFrom(Call(application, outlook::kGetNamespace, DISPATCH_METHOD, {mapi}, &result), result);
    SysFreeString(mapi.bstrVal);
    if (!space) return {};
    const ComPtr<IDispatch> folder = ObjectFrom(
        Call(space.Get(), outlook::kGetDefaultFolder, DISPATCH_METHOD, {Int(outlook::kFolderTasks)}, &result), result);
    if (!folder) return {};
    return ObjectFrom(Call(folder.Get(), outlook::kItems, DISPATCH_PROPERTYGET, {}, &result), result);
  }

  static std::wstring SubjectOf(IDispatch* item) {
    VARIANT result;
    if (FAILED(Call(item, outlook::kSubject, DISPATCH_PROPERTYGET, {}, &result)) || result.vt != VT_BSTR) return L"?";
    std::wstring subject(result.bstrVal, SysStringLen(result.bstrVal));
    VariantClear(&result);
    return subject;
  }

  // Runs OutlookClient with the arguments; true when it ended with exit code 0. The test thread keeps
  // pumping, so the server's event calls into this process get through meanwhile.
  static bool RunClient(const std::string& arguments) {
    ChildProcess client(kClient, arguments, "");
    return client.WaitForExit(20s) && client.ExitCode() == 0;
  }

  CLSID applicationClsid_{};
  CLSID controlClsid_{};
  bool comReady_ = false;
};

TEST_F(StandinOutlookTest, AChangeByAnotherClientReachesThisProcesssSink) {
  ChildProcess server(kServer, "", "");
  ASSERT_NE(WaitForWindow("rctrl_renwnd32", nullptr, 10s), nullptr);
  EXPECT_EQ(WindowProcess(FindWindowA("rctrl_renwnd32", nullptr)), server.Id());
  {
    HRESULT created = S_OK;
    const ComPtr<IDispatch> application = Create(applicationClsid_, &created);
    ASSERT_TRUE(application) << std::hex << created;
    EXPECT_EQ(RunningServers(), 1);  // the running one was reached, no other was started
    const ComPtr<IDispatch> items = TasksItems(application.Get());
    ASSERT_TRUE(items);
    const ComPtr<IConnectionPointContainer> container =
        items.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ASSERT_TRUE(container);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(kItemsEventsIid, point.Receive()), S_OK);
    const ComPtr<EventLog> sink = EventLog::Create();
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(sink.Get(), &cookie), S_OK);

    ASSERT_TRUE(RunClient("add task \"Report\" \"Draft\""));
    ASSERT_TRUE(WaitUntil([&] { return !sink->Events().empty(); }, 5s));
    ASSERT_EQ(sink->Events().size(), 1u);
    EXPECT_EQ(sink->Events()[0].id, outlook::kItemAdd);
    ASSERT_TRUE(sink->Events()[0].item);
    EXPECT_EQ(SubjectOf(sink->Events()[0].item.Get()), L"Report");

    ASSERT_TRUE(RunClient("delete task report"));
    ASSERT_TRUE(WaitUntil([&] { return sink->Events().size() == 2; }, 5s));
    EXPECT_EQ(sink->Events()[1].id, outlook::kItemRemove);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
  }
  // Clients gone, the user's Outlook stays until its window is closed.
  PumpMessages(200ms);
  EXPECT_TRUE(server.Running());
  PostMessageA(FindWindowA("rctrl_renwnd32", nullptr), WM_CLOSE, 0, 0);
  EXPECT_TRUE(server.WaitForExit(10s));
  EXPECT_EQ(server.ExitCode(), 0u);
}

TEST_F(StandinOutlookTest, StartedByComItShowsNoWindowAndEndsWhenTheLastClientLetsGo) {
  {
    HRESULT created = S_OK;
    const ComPtr<IDispatch> application = Create(applicationClsid_, &created);
    ASSERT_TRUE(application) << std::hex << created;
    EXPECT_EQ(RunningServers(), 1);
    EXPECT_EQ(FindWindowA("rctrl_renwnd32", nullptr), nullptr);
    const ComPtr<IDispatch> items = TasksItems(application.Get());
    ASSERT_TRUE(items);
  }
  EXPECT_TRUE(WaitUntil([] { return RunningServers() == 0; }, 10s));
}

TEST_F(StandinOutlookTest, RefusingItRefusesTheApplicationButNotItsControls) {
  ChildProcess server(kServer, "/Refuse", "");
  ASSERT_NE(WaitForWindow("rctrl_renwnd32", nullptr, 10s), nullptr);
  HRESULT refused = S_OK;
  EXPECT_FALSE(Create(applicationClsid_, &refused));
  EXPECT_TRUE(FAILED(refused));

  HRESULT created = S_OK;
  const ComPtr<IDispatch> control = Create(controlClsid_, &created);
  ASSERT_TRUE(control) << std::hex << created;
  DISPID refuseCreation = DISPID_UNKNOWN;
  LPOLESTR name = const_cast<LPOLESTR>(L"RefuseCreation");
  ASSERT_EQ(control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &refuseCreation), S_OK);
  VARIANT result;
  ASSERT_EQ(Call(control.Get(), refuseCreation, DISPATCH_METHOD, {Int(0)}, &result), S_OK);
  EXPECT_TRUE(Create(applicationClsid_));
  CloseServerWindows();
  EXPECT_TRUE(server.WaitForExit(10s));
}

}  // namespace

}  // namespace orvane
