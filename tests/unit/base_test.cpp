// The shared Win32/COM foundation: owners close what they hold, the callback guards turn what is
// thrown into a report or an HRESULT, a window's class lives exactly as long as its windows, and
// the dispatch wrapper holds its object for as long as a call runs.
#include "base/base_window.h"
#include "base/callback_guard.h"
#include "base/com_error.h"
#include "base/com_object.h"
#include "base/com_scope.h"
#include "base/unique_resource.h"
#include "outlook/dispatch_driver.h"
#include "testbed/outlook/recording_sink.h"
#include "testbed/outlook/standin_control.h"
#include "testbed/outlook/standin_ids.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

namespace orvane {
namespace {

std::string lastReport;
void RecordReport(const char* where, const char* what, const char* member) noexcept {
  lastReport = std::string(where) + "|" + what + (*member ? std::string("|") + member : "");
}

class ReportRecorder {
public:
  ReportRecorder() {
    lastReport.clear();
    SetFailureReporter(&RecordReport);
  }
  ~ReportRecorder() { SetFailureReporter(nullptr); }
};

TEST(BaseTest, HandleOwnerClosesWhatItHoldsOnceAfterAMove) {
  HANDLE kept = nullptr;
  {
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    kept = event.Get();
    UniqueHandle moved(std::move(event));
    EXPECT_FALSE(event);
    EXPECT_EQ(moved.Get(), kept);
  }
  DWORD flags = 0;
  EXPECT_FALSE(GetHandleInformation(kept, &flags)) << "the handle was not closed";
  UniqueFindHandle none;
  EXPECT_FALSE(none) << "a find handle starts as INVALID_HANDLE_VALUE, not as a handle to close";
}

// A resource whose close fails and says so in the thread's last error.
struct FailingClose : resource_traits::ZeroIsEmpty<int> {
  static void Close(int) noexcept { SetLastError(ERROR_INVALID_HANDLE); }
};

TEST(BaseTest, OwnerKeepsTheThreadsLastErrorAcrossTheClose) {
  SetLastError(ERROR_SHARING_VIOLATION);
  {
    UniqueResource<FailingClose> held(7);
    held.Reset(8);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << "Reset";
    UniqueResource<FailingClose> other(9);
    other = std::move(held);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << "move assignment";
  }
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << "destruction";
}

TEST(BaseTest, GuardsReportWindowFailuresAndTurnComFailuresIntoResults) {
  const ReportRecorder recorder;
  EXPECT_EQ(Guarded("Tick", 7, []() -> int { throw std::runtime_error("Outlook went away"); }), 7);
  EXPECT_EQ(lastReport, "Tick|Outlook went away");
  GuardedCall("Itemadded", [] { throw ComError(E_FAIL, "Subject refused", "TaskItem.Subject get"); });
  EXPECT_EQ(lastReport, "Itemadded|Subject refused|TaskItem.Subject get");
  std::string tickFailure;
  GuardedTick([] { throw ComError(E_FAIL, "Outlook is busy", "Items.Count get"); },
              [&](const char* message, const char* member) { tickFailure = std::string(message) + "|" + member; });
  EXPECT_EQ(tickFailure, "Outlook is busy|Items.Count get");
  GuardedCall("Tick", [] { throw std::runtime_error("Outlook went away"); });

  struct Case {
    void (*thrower)();
    HRESULT expected;
  };
  const Case cases[] = {
      {[] { throw ComError(DISP_E_TYPEMISMATCH, "wrong type"); }, DISP_E_TYPEMISMATCH},
      {[] { throw std::bad_alloc(); }, E_OUTOFMEMORY},
      {[] { throw std::logic_error("bug"); }, E_FAIL},
      {[] { throw 42; }, E_UNEXPECTED},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GuardedComMethod("Item", nullptr,
                               [&]() -> HRESULT {
                                 c.thrower();
                                 return S_OK;
                               }),
              c.expected);
  }
  outlook::ExcepInfo exception;
  EXPECT_EQ(
      GuardedComMethod("Item", exception.Receive(), []() -> HRESULT { throw ComError(E_INVALIDARG, "no such item"); }),
      DISP_E_EXCEPTION);
  const EXCEPINFO& info = exception.Get();
  EXPECT_EQ(info.scode, E_INVALIDARG);
  ASSERT_NE(info.bstrDescription, nullptr);
  EXPECT_STREQ(info.bstrDescription, L"no such item");
  EXPECT_EQ(lastReport, "Tick|Outlook went away") << "a COM failure is the caller's to report";
}

// A dispatch object that says when it goes. Its calls answer nothing but run a hook, copied out
// first so that the hook may let the object go.
class Counted final : public ComObject<IDispatch, IConnectionPointContainer> {
public:
  explicit Counted(bool& gone, std::function<void()> onCall = {}) : gone_(gone), onCall_(std::move(onCall)) {}
  STDMETHODIMP GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) noexcept override {
    const std::function<void()> hook = onCall_;
    if (hook) hook();
    return S_OK;
  }
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP FindConnectionPoint(REFIID, IConnectionPoint**) noexcept override { return E_NOINTERFACE; }

private:
  ~Counted() override { gone_ = true; }
  bool& gone_;
  std::function<void()> onCall_;
};

TEST(BaseTest, ComObjectAnswersItsInterfacesAndGoesWithItsLastReference) {
  bool gone = false;
  ComPtr<IDispatch> object = MakeComObject<Counted>(gone);
  ComPtr<IUnknown> unknown = object.As<IUnknown>();
  ComPtr<IConnectionPointContainer> container = object.As<IConnectionPointContainer>();
  EXPECT_TRUE(unknown);
  EXPECT_TRUE(container);
  IUnknown* other = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(object->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&other)), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  // The sink-less container: Connect stops at the point and keeps nothing.
  AdviseConnection connection;
  EXPECT_EQ(connection.Connect(object.Get(), IID_IDispatch, object.Get()), E_NOINTERFACE);
  EXPECT_EQ(connection.Reached(), AdviseConnection::Stage::NoConnectionPoint);
  object.Reset();
  EXPECT_FALSE(gone);
  unknown.Reset();
  container.Reset();
  EXPECT_TRUE(gone);
}

// A nested tick may release the session while an outer call on it still runs.
TEST(DispatchDriverCall, ObjectOutlivesACallDuringWhichItsDriverLetsGo) {
  bool gone = false;
  bool goneInCall = false;
  outlook::DispatchDriver driver;
  driver.AttachDispatch(MakeComObject<Counted>(gone, [&] {
    driver.ReleaseDispatch();
    goneInCall = gone;
  }));
  driver.GetProperty(outlook::kSubject);
  EXPECT_TRUE(driver.IsEmpty());
  EXPECT_FALSE(goneInCall);
  EXPECT_TRUE(gone);
}

TEST(BaseTest, AdviseConnectionUnadvisesWhenItGoes) {
  namespace os = outlook_standin;
  os::ResetStore();
  const outlook::DispatchDriver tasks =
      outlook::DispatchDriver(os::CreateApplication())
          .InvokeForObject(outlook::kGetNamespace, outlook::Variant::Text("MAPI"))
          .InvokeForObject(outlook::kGetDefaultFolder, outlook::Variant::Int32(outlook::kFolderTasks))
          .GetObject(outlook::kItems);
  const ComPtr<os::RecordingSink> sink = os::RecordingSink::Create();
  {
    AdviseConnection connection;
    ASSERT_EQ(connection.Connect(tasks.Get(), os::kItemsEventsIid, sink.Get()), S_OK);
    EXPECT_TRUE(connection.Connected());
    os::AddItem(os::ItemKind::Task, {{outlook::kSubject, os::Value::Text(L"One")}});
    EXPECT_TRUE(os::RaisePostedEvents());
  }
  os::AddItem(os::ItemKind::Task, {{outlook::kSubject, os::Value::Text(L"Two")}});
  EXPECT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(sink->CountOf(outlook::kItemAdd), 1);
}

class ProbeWindow final : public BaseWindow {
public:
  bool Create() { return CreateWindowOf({"OrvaneBaseTestWindow", "probe", WS_OVERLAPPED}); }
  void Destroy() { DestroyOwnWindow(); }

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) throw std::runtime_error("handler failed");
    return DefaultHandling(message, wParam, lParam);
  }
  const char* ReportName() const noexcept override { return "ProbeWindow"; }
};

bool ClassRegistered() {
  WNDCLASSEXA info{};
  info.cbSize = sizeof info;
  return GetClassInfoExA(GetModuleHandleA(nullptr), "OrvaneBaseTestWindow", &info) != FALSE;
}

TEST(BaseTest, WindowClassLivesAsLongAsItsWindowsAndFailuresStayInside) {
  const ReportRecorder recorder;
  {
    ProbeWindow first;
    ProbeWindow second;
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    EXPECT_EQ(SendMessageA(first.Window(), WM_APP, 0, 0), 0);
    EXPECT_EQ(lastReport, "ProbeWindow|handler failed");
    first.Destroy();
    EXPECT_EQ(first.Window(), nullptr);
    EXPECT_TRUE(ClassRegistered()) << "the second window still uses the class";
  }
  EXPECT_FALSE(ClassRegistered());
}

}  // namespace
}  // namespace orvane
