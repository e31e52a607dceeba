// Test controls of the stand-in Outlook: failing chosen calls with Outlook's kind of error, exact
// call counts, refused creation through the registered in-process server, the controls over COM,
// and Outlook's main window.
#include "testbed/outlook/standin_control.h"
#include "outlook/dispatch_driver.h"
#include "testbed/outlook/client/late_bound.h"
#include "testbed/outlook/control_object.h"
#include "testbed/outlook/standin_ids.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {

namespace {

namespace os = outlook_standin;
using namespace outlook;

class StandinControlTest : public testing::Test {
protected:
  void SetUp() override {
    os::ResetStore();
    app_ = DispatchDriver(os::CreateApplication());
    mapi_ = app_.InvokeForObject(kGetNamespace, Variant::Text("MAPI"));
    os::ResetCallCounts();
  }
  void TearDown() override {
    os::ResetStore();
    os::CloseMainWindow();
  }

  DispatchDriver NewTask() const { return app_.InvokeForObject(kCreateItem, Variant::Int32(kTaskItem)); }
  DispatchDriver Tasks() const {
    return mapi_.InvokeForObject(kGetDefaultFolder, Variant::Int32(kFolderTasks)).GetObject(kItems);
  }

  DispatchDriver app_;
  DispatchDriver mapi_;
};

TEST_F(StandinControlTest, AFailedCallCarriesItsMessageForTheNextNCallsOrAlways) {
  const struct {
    int times;
    int failures;  // of five calls
  } kCases[] = {{1, 1}, {2, 2}, {os::FaultRule::kAlways, 5}, {0, 0}};
  for (const auto& c : kCases) {
    os::ClearFailures();
    os::FailCall(os::ObjectKind::TaskItem, kSubject, os::CallKind::Put, L"Subject refused é", c.times);
    const DispatchDriver task = NewTask();
    int failures = 0;
    for (int call = 0; call < 5; ++call) {
      try {
        task.SetText(kSubject, "x");
      } catch (const AutomationError& error) {
        ++failures;
        EXPECT_STREQ(error.what(), "Subject refused \xE9");
        EXPECT_EQ(error.Result(), E_FAIL);
      }
    }
    EXPECT_EQ(failures, c.failures) << c.times;
  }
}

TEST_F(StandinControlTest, AFailureAnswersDispExceptionWithTheTextInExcepInfo) {
  os::FailCall(os::ObjectKind::Any, kCreateItem, os::CallKind::Method, L"Outlook is busy", 1, E_ABORT);
  VARIANT argument;
  argument.vt = VT_I4;
  argument.lVal = kTaskItem;
  DISPPARAMS params{&argument, nullptr, 1, 0};
  EXCEPINFO exception{};
  VARIANT result;
  VariantInit(&result);
  const HRESULT hr = app_.Get()->Invoke(kCreateItem, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                                        &exception, nullptr);
  EXPECT_EQ(hr, DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_ABORT);
  ASSERT_NE(exception.bstrDescription, nullptr);
  EXPECT_STREQ(exception.bstrDescription, L"Outlook is busy");
  EXPECT_EQ(result.vt, VT_EMPTY);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrHelpFile);
}

TEST_F(StandinControlTest, FailuresAreNarrowedByObjectAndCallKindAndChangeNothing) {
  os::FailCall(os::ObjectKind::AppointmentItem, kSubject, os::CallKind::Get, L"no appointment subject",
               os::FaultRule::kAlways);
  os::FailCall(kSave, os::CallKind::Method, L"disk full");
  const DispatchDriver task = NewTask();
  task.SetText(kSubject, "Report");
  EXPECT_EQ(task.GetText(kSubject), "Report");
  const DispatchDriver appointment = app_.InvokeForObject(kCreateItem, Variant::Int32(kAppointmentItem));
  appointment.SetText(kSubject, "Meeting");  // a put is not a get
  EXPECT_THROW(appointment.GetText(kSubject), AutomationError);

  EXPECT_THROW(task.InvokeMethod(kSave), AutomationError);
  EXPECT_TRUE(os::FolderItems(kFolderTasks).empty());
  task.InvokeMethod(kSave);
  EXPECT_EQ(os::FolderItems(kFolderTasks).size(), 1u);
}

TEST_F(StandinControlTest, CallsAreCountedExactlyByDispidObjectAndKind) {
  for (const char* subject : {"one", "two", "three"}) {
    const DispatchDriver task = NewTask();
    task.SetText(kSubject, subject);
    task.InvokeMethod(kClose, Variant::Int32(kCloseSave));
  }
  os::ResetCallCounts();
  os::FailCall(kCount, os::CallKind::Get, L"once", 1);

  const DispatchDriver items = Tasks();
  EXPECT_THROW(items.GetInt32(kCount), AutomationError);  // failed calls count too
  const int32_t count = items.GetInt32(kCount);
  for (int32_t index = 1; index <= count; ++index) {
    items.InvokeForObject(kItem, Variant::Int32(index)).GetText(kSubject);
  }

  const struct {
    DispId id;
    os::ObjectKind object;
    os::CallKind call;
    long expected;
  } kCases[] = {
      {kGetDefaultFolder, os::ObjectKind::NameSpace, os::CallKind::Method, 1},
      {kItems, os::ObjectKind::Folder, os::CallKind::Get, 1},
      {kCount, os::ObjectKind::Items, os::CallKind::Get, 2},
      {kItem, os::ObjectKind::Items, os::CallKind::Method, 3},
      {kSubject, os::ObjectKind::TaskItem, os::CallKind::Get, 3},
      {kSubject, os::ObjectKind::TaskItem, os::CallKind::Put, 0},
      {kSubject, os::ObjectKind::AppointmentItem, os::CallKind::Any, 0},
      {kSubject, os::ObjectKind::Any, os::CallKind::Any, 3},
      {kClose, os::ObjectKind::Any, os::CallKind::Any, 0},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(os::CallCount(c.object, c.id, c.call), c.expected) << std::hex << c.id;
  }
  EXPECT_EQ(os::CallCount(kItem), 3);
  EXPECT_EQ(os::TotalCalls(), 10);
  os::ResetCallCounts();
  EXPECT_EQ(os::TotalCalls(), 0);
  EXPECT_EQ(os::CallCount(kSubject), 0);
}

TEST_F(StandinControlTest, TheRegisteredInProcessServerCanRefuseCreation) {
  const os::InProcessServer server;
  ASSERT_EQ(server.Result(), S_OK);
  const struct {
    int refusals;
    std::vector<bool> created;  // of three attempts
  } kCases[] = {
      {0, {true, true, true}},
      {1, {false, true, true}},
      {2, {false, false, true}},
      {os::FaultRule::kAlways, {false, false, false}},
  };
  for (const auto& c : kCases) {
    os::RefuseCreation(c.refusals);
    std::vector<bool> created;
    for (int attempt = 0; attempt < 3; ++attempt) {
      DispatchDriver outlook;
      created.push_back(outlook.CreateDispatch(kProgId));
    }
    EXPECT_EQ(created, c.created) << c.refusals;
  }
  os::RefuseCreation(0);

  // What CreateDispatch reaches is the model of this process.
  DispatchDriver outlook;
  ASSERT_TRUE(outlook.CreateDispatch(kProgId));
  const DispatchDriver task = outlook.InvokeForObject(kCreateItem, Variant::Int32(kTaskItem));
  task.SetText(kSubject, "through the class object");
  task.InvokeMethod(kSave);
  ASSERT_EQ(os::FolderItems(kFolderTasks).size(), 1u);
}

TEST_F(StandinControlTest, ResetStoreClearsFoldersFailuresRefusalCountsAndLogons) {
  NewTask().InvokeMethod(kSave);
  mapi_.InvokeMethod(kLogon);
  os::FailCall(kCount, os::CallKind::Any, L"failing", os::FaultRule::kAlways);
  os::RefuseCreation();
  os::ResetStore();
  EXPECT_EQ(os::TotalCalls(), 0);
  EXPECT_EQ(os::LogonCount(), 0);
  EXPECT_EQ(Tasks().GetInt32(kCount), 0);
  const os::InProcessServer server;
  DispatchDriver outlook;
  EXPECT_TRUE(outlook.CreateDispatch(kProgId));
}

TEST_F(StandinControlTest, TheControlsOverComWorkByNameAndAreNotCounted) {
  const LateBound control(os::NewControl());
  control.CallMethod(L"FailCall", Variant::Text("taskitem"), Variant::Int32(kSubject), Variant::Text("put"),
                     Variant::Text("Not now"));
  const DispatchDriver task = NewTask();
  try {
    task.SetText(kSubject, "Report");
    ADD_FAILURE() << "the put went through";
  } catch (const AutomationError& error) {
    EXPECT_STREQ(error.what(), "Not now");
  }
  task.SetText(kSubject, "Report");
  task.InvokeMethod(kSave);
  mapi_.InvokeMethod(kLogon, Variant::Missing(), Variant::Missing(), Variant::Missing(), Variant::Missing());

  EXPECT_EQ(control.CallMethod(L"CallCount", Variant::Int32(kSubject), Variant::Text("TaskItem"), Variant::Text("put"))
                .ToInt32(),
            2);
  EXPECT_EQ(control.CallMethod(L"TotalCalls").ToInt32(), 5);  // CreateItem, two puts, Save, Logon
  EXPECT_EQ(control.CallMethod(L"ItemCount", Variant::Int32(kFolderTasks)).ToInt32(), 1);
  EXPECT_EQ(
      control.CallMethod(L"ItemProperty", Variant::Int32(kFolderTasks), Variant::Int32(1), Variant::Text("subject"))
          .ToAnsi(),
      "Report");
  EXPECT_EQ(
      control.CallMethod(L"ItemProperty", Variant::Int32(kFolderTasks), Variant::Int32(1), Variant::Int32(kImportance))
          .ToInt32(),
      kImportanceNormal);
  EXPECT_THROW(
      control.CallMethod(L"ItemProperty", Variant::Int32(kFolderTasks), Variant::Int32(2), Variant::Text("Subject")),
      AutomationError);
  EXPECT_EQ(control.CallMethod(L"LogonCount").ToInt32(), 1);
  EXPECT_EQ(control.CallMethod(L"LogonArgumentCount").ToInt32(), 4);
  const Variant omitted = control.CallMethod(L"LogonArgument", Variant::Int32(0));
  ASSERT_EQ(omitted.Type(), VT_ERROR);
  EXPECT_EQ(omitted.Get().scode, DISP_E_PARAMNOTFOUND);

  control.CallMethod(L"Reset");
  EXPECT_EQ(control.CallMethod(L"ItemCount", Variant::Int32(kFolderTasks)).ToInt32(), 0);
  EXPECT_EQ(control.CallMethod(L"TotalCalls").ToInt32(), 0);
  EXPECT_THROW(control.CallMethod(L"NoSuchControl"), AutomationError);
}

TEST_F(StandinControlTest, OutlooksMainWindowComesAndGoesOnRequest) {
  EXPECT_EQ(FindWindowW(os::kMainWindowClass, nullptr), nullptr);
  ASSERT_TRUE(os::ShowMainWindow());
  const HWND window = FindWindowW(os::kMainWindowClass, nullptr);
  EXPECT_EQ(window, os::MainWindow());
  EXPECT_NE(window, GetForegroundWindow());
  os::CloseMainWindow();
  EXPECT_EQ(FindWindowW(os::kMainWindowClass, nullptr), nullptr);

  const LateBound control(os::NewControl());
  EXPECT_TRUE(control.CallMethod(L"ShowMainWindow").ToBool());
  EXPECT_NE(FindWindowW(os::kMainWindowClass, nullptr), nullptr);
  control.CallMethod(L"CloseMainWindow");
  EXPECT_EQ(os::MainWindow(), nullptr);
}

}  // namespace

}  // namespace orvane
