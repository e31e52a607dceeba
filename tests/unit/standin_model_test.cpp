// The stand-in Outlook's object model and test controls, as the plug-in's tests rely on them:
// items are working copies saved into their folder, Outlook's defaults and refusals, failures
// injected with a message, exact call counts and the controls over COM.
#include "outlook/dispatch_driver.h"
#include "outlook/late_binding.h"
#include "testbed/outlook/control_object.h"
#include "testbed/outlook/model_error.h"
#include "testbed/outlook/standin_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {

namespace {

namespace os = outlook_standin;
using namespace outlook;

constexpr double k10Nov2006 = 39031.0;

std::string Ansi(const wchar_t* text) { return WideToAnsi(text, wcslen(text)); }

// The message of the AutomationError a call throws; empty when it does not throw.
template <class Call>
std::string FailureOf(Call call) {
  try {
    call();
  } catch (const AutomationError& error) {
    return error.what();
  }
  return {};
}

class StandinModelTest : public testing::Test {
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

  DispatchDriver ItemsOf(int32_t folder) const {
    return mapi_.InvokeForObject(kGetDefaultFolder, Variant::Int32(folder)).GetObject(kItems);
  }
  DispatchDriver NewItem(int32_t type) const { return app_.InvokeForObject(kCreateItem, Variant::Int32(type)); }
  DispatchDriver TaskAt(int32_t index) const {
    return ItemsOf(kFolderTasks).InvokeForObject(kItem, Variant::Int32(index));
  }

  DispatchDriver app_;
  DispatchDriver mapi_;
};

TEST_F(StandinModelTest, ItemsAreWorkingCopiesSavedIntoTheirKindsFolder) {
  const struct {
    int32_t type;
    int32_t folder;
  } kKinds[] = {{kAppointmentItem, kFolderCalendar}, {kNoteItem, kFolderNotes}, {kTaskItem, kFolderTasks}};
  for (const auto& kind : kKinds) {
    const DispatchDriver item = NewItem(kind.type);
    item.SetText(kBody, "kept");
    EXPECT_TRUE(os::FolderItems(kind.folder).empty()) << kind.type;
    item.InvokeMethod(kClose, Variant::Int32(kCloseSave));
    EXPECT_EQ(os::FolderItems(kind.folder).size(), 1u) << kind.type;
  }
  {
    const DispatchDriver released = TaskAt(1);
    released.SetText(kBody, "released unsaved");
  }
  const DispatchDriver copy = TaskAt(1);
  const DispatchDriver other = TaskAt(1);
  copy.SetText(kBody, "closed unsaved");
  EXPECT_EQ(other.GetText(kBody), "kept") << "each read is a copy of its own";
  copy.InvokeMethod(kClose, Variant::Int32(1));
  EXPECT_EQ(copy.GetText(kBody), "kept");
  copy.SetText(kBody, "saved");
  copy.InvokeMethod(kSave);
  EXPECT_EQ(os::FolderItems(kFolderTasks).at(0).Get(kBody).AsText(), L"saved");
  EXPECT_EQ(other.GetText(kBody), "kept") << "a copy taken earlier keeps what it held";

  copy.InvokeMethod(kDelete);
  EXPECT_TRUE(os::FolderItems(kFolderTasks).empty());
  EXPECT_EQ(FailureOf([&] { other.GetText(kBody); }), Ansi(os::kItemGoneMessage));
  EXPECT_EQ(FailureOf([&] { TaskAt(1); }), Ansi(os::kIndexOutOfBoundsMessage));
}

TEST_F(StandinModelTest, NewItemsReadOutlooksDefaultsInOutlooksTypes) {
  const struct {
    int32_t type;
    DispId id;
    VARTYPE vt;
    double number;  // date, integer or flag
  } kCases[] = {
      {kTaskItem, kStartDate, VT_DATE, os::kNoDate},
      {kTaskItem, kReminderTime, VT_DATE, os::kNoDate},
      {kTaskItem, kImportance, VT_I4, kImportanceNormal},
      {kTaskItem, kReminderSet, VT_BOOL, 0},
      {kAppointmentItem, kDuration, VT_I4, 30},
      {kAppointmentItem, kReminderMinutesBeforeStart, VT_I4, 15},
      {kAppointmentItem, kReminderSet, VT_BOOL, VARIANT_TRUE},
      {kAppointmentItem, kAllDayEvent, VT_BOOL, 0},
  };
  for (const auto& c : kCases) {
    const Variant value = NewItem(c.type).GetProperty(c.id);
    ASSERT_EQ(value.Type(), c.vt) << std::hex << c.id;
    EXPECT_EQ(value.ToDouble(), c.number) << std::hex << c.id;
  }
  const Variant subject = NewItem(kTaskItem).GetProperty(kSubject);
  EXPECT_EQ(subject.Type(), VT_BSTR);
  EXPECT_EQ(subject.ToAnsi(), "");
}

TEST_F(StandinModelTest, DatesBeforeTheStartAreRefusedWithOutlooksWords) {
  constexpr double kNine = k10Nov2006 + 9.0 / 24;
  const DispatchDriver appointment = NewItem(kAppointmentItem);
  appointment.SetInt32(kDuration, 90);
  appointment.SetDate(kStart, kNine);
  EXPECT_NEAR(appointment.GetDate(kEnd), kNine + 90.0 / 1440, 1e-9) << "the end follows start and duration";
  EXPECT_EQ(FailureOf([&] { appointment.SetDate(kEnd, kNine - 1.0 / 24); }), Ansi(os::kEndBeforeStartMessage));

  const DispatchDriver task = NewItem(kTaskItem);
  task.SetDate(kStartDate, k10Nov2006 + 0.75);
  EXPECT_EQ(task.GetDate(kStartDate), k10Nov2006) << "a task's dates are whole days";
  EXPECT_EQ(FailureOf([&] { task.SetDate(kDueDate, k10Nov2006 - 1); }), Ansi(os::kDueBeforeStartMessage));
  task.SetDate(kDueDate, k10Nov2006);
  EXPECT_EQ(task.GetDate(kDueDate), k10Nov2006);
}

TEST_F(StandinModelTest, StatusAndPercentCompleteAgreeAsOutlookKeepsThem) {
  const struct {
    const char* name;
    std::vector<std::pair<DispId, int32_t>> writes;
    int32_t status;
    int32_t percent;
    bool completed;  // DateCompleted set
  } kCases[] = {
      {"status complete", {{kStatus, 2}}, 2, 100, true},
      {"percent 100", {{kPercentComplete, 100}}, 2, 100, true},
      {"percent 100 then status 0", {{kPercentComplete, 100}, {kStatus, 0}}, 0, 0, false},
      {"percent 50", {{kPercentComplete, 50}}, 1, 50, false},
      {"complete then percent 50", {{kStatus, 2}, {kPercentComplete, 50}}, 1, 50, false},
      {"waiting keeps its status", {{kStatus, 3}, {kPercentComplete, 20}}, 3, 20, false},
  };
  for (const auto& c : kCases) {
    const DispatchDriver task = NewItem(kTaskItem);
    for (const auto& [id, value] : c.writes) task.SetInt32(id, value);
    EXPECT_EQ(task.GetInt32(kStatus), c.status) << c.name;
    EXPECT_EQ(task.GetInt32(kPercentComplete), c.percent) << c.name;
    EXPECT_EQ(task.GetDate(kDateCompleted) != os::kNoDate, c.completed) << c.name;
  }
  EXPECT_THROW(NewItem(kTaskItem).SetInt32(kPercentComplete, 101), AutomationError);
}

TEST_F(StandinModelTest, NoteSubjectIsTheBodyUpToTheFirstLineBreak) {
  const struct {
    const char* body;
    const char* subject;
  } kCases[] = {{"Buy milk", "Buy milk"}, {"Line one\r\nLine two", "Line one"}, {"A\nB", "A"}, {"\rB", ""}};
  for (const auto& c : kCases) {
    const DispatchDriver note = NewItem(kNoteItem);
    note.SetText(kBody, c.body);
    EXPECT_EQ(note.GetText(kNoteSubject), c.subject) << c.body;
  }
}

TEST_F(StandinModelTest, APatternMakesTheItemRecurringOnlyOnceSaved) {
  {
    const DispatchDriver dropped = NewItem(kTaskItem);
    dropped.InvokeForObject(kGetRecurrencePattern).SetInt32(kRecurrenceType, 5);
  }
  const DispatchDriver item = NewItem(kTaskItem);
  item.InvokeForObject(kGetRecurrencePattern).SetInt32(kInterval, 3);
  EXPECT_FALSE(item.GetBool(kTaskIsRecurring));
  item.InvokeMethod(kClose, Variant::Int32(kCloseSave));
  const std::vector<os::ItemData> saved = os::FolderItems(kFolderTasks);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_TRUE(saved[0].IsRecurring());
  EXPECT_EQ(saved[0].PatternGet(kInterval).AsInt32(), 3);
}

TEST_F(StandinModelTest, InjectedFailuresCarryTheirMessageAndEveryCallIsCounted) {
  for (const int times : {1, os::FaultRule::kAlways}) {
    os::ClearFailures();
    os::ResetCallCounts();
    os::FailCall(os::ObjectKind::TaskItem, kSubject, os::CallKind::Put, L"Subject refused \u00E9", times);
    const DispatchDriver task = NewItem(kTaskItem);
    int failures = 0;
    for (int call = 0; call < 3; ++call) {
      failures += FailureOf([&] { task.SetText(kSubject, "x"); }) == "Subject refused \xE9" ? 1 : 0;
    }
    EXPECT_EQ(failures, times == 1 ? 1 : 3);
    EXPECT_EQ(os::CallCount(os::ObjectKind::TaskItem, kSubject, os::CallKind::Put), 3) << "failed calls count too";
  }
  os::ClearFailures();
  os::ResetCallCounts();
  os::FailCall(kSave, os::CallKind::Method, L"disk full");
  const DispatchDriver task = NewItem(kTaskItem);
  task.SetText(kSubject, "Report");
  EXPECT_EQ(task.GetText(kSubject), "Report");
  EXPECT_EQ(FailureOf([&] { task.InvokeMethod(kSave); }), "disk full");
  EXPECT_TRUE(os::FolderItems(kFolderTasks).empty()) << "a failed call changes nothing";
  task.InvokeMethod(kSave);
  EXPECT_EQ(os::FolderItems(kFolderTasks).size(), 1u);

  const struct {
    DispId id;
    os::ObjectKind object;
    os::CallKind call;
    long expected;
  } kCounts[] = {
      {kSubject, os::ObjectKind::TaskItem, os::CallKind::Get, 1},
      {kSubject, os::ObjectKind::Any, os::CallKind::Any, 2},
      {kSubject, os::ObjectKind::AppointmentItem, os::CallKind::Any, 0},
      {kSave, os::ObjectKind::Any, os::CallKind::Method, 2},
  };
  for (const auto& c : kCounts) EXPECT_EQ(os::CallCount(c.object, c.id, c.call), c.expected) << std::hex << c.id;
  EXPECT_EQ(os::TotalCalls(), 5);  // CreateItem, the put, the get and two saves
}

TEST_F(StandinModelTest, SettingTheRecurrenceTypeResetsThePatternsOtherProperties) {
  DispatchDriver appointment = NewItem(kAppointmentItem);
  appointment.SetDate(kStart, k10Nov2006 + 0.375);  // a Friday, 9:00
  const DispatchDriver pattern = appointment.InvokeForObject(kGetRecurrencePattern);
  pattern.SetDate(kPatternStartDate, k10Nov2006 + 7);
  pattern.SetBool(kNoEndDate, false);
  pattern.SetInt32(kDayOfWeekMask, 2);
  pattern.SetInt32(kRecurrenceType, 0);
  EXPECT_EQ(pattern.GetInt32(kRecurrenceType), 0);
  EXPECT_EQ(pattern.GetDate(kPatternStartDate), k10Nov2006);
  EXPECT_TRUE(pattern.GetBool(kNoEndDate));
  EXPECT_EQ(pattern.GetInt32(kDayOfWeekMask), 32);
}

TEST_F(StandinModelTest, TheControlsOverComWorkByNameAndAreNotCounted) {
  const LateBound control(os::NewControl());
  const auto number = [&control](const wchar_t* name, auto... args) {
    return control.CallMethod(name, std::move(args)...).ToInt32();
  };
  control.CallMethod(L"FailCall", Variant::Text("taskitem"), Variant::Int32(kSubject), Variant::Text("put"),
                     Variant::Text("Not now"), Variant::Int32(os::FaultRule::kAlways));
  const DispatchDriver task = NewItem(kTaskItem);
  EXPECT_EQ(FailureOf([&] { task.SetText(kSubject, "Report"); }), "Not now");
  task.SetText(kBody, "Report");
  task.InvokeMethod(kSave);
  mapi_.InvokeMethod(kLogon);

  EXPECT_EQ(number(L"CallCount", Variant::Int32(kSubject), Variant::Text("TaskItem"), Variant::Text("put")), 1);
  EXPECT_EQ(number(L"LogonCount"), 1);
  EXPECT_EQ(number(L"ItemCount", Variant::Int32(kFolderTasks)), 1);
  EXPECT_EQ(control.CallMethod(L"ItemProperty", Variant::Int32(kFolderTasks), Variant::Int32(1), Variant::Text("body"))
                .ToAnsi(),
            "Report");
  control.CallMethod(L"Reset");
  EXPECT_EQ(number(L"ItemCount", Variant::Int32(kFolderTasks)) + number(L"TotalCalls") + number(L"LogonCount"), 0);
  EXPECT_NO_THROW(NewItem(kTaskItem).SetText(kSubject, "Report")) << "the reset cleared the failure";
}

TEST_F(StandinModelTest, OutlooksMainWindowComesAndGoesOnRequest) {
  const LateBound control(os::NewControl());
  EXPECT_EQ(FindWindowA(kMainWindowClass, nullptr), nullptr);
  EXPECT_TRUE(control.CallMethod(L"ShowMainWindow").ToBool());
  const HWND window = FindWindowA(kMainWindowClass, nullptr);
  EXPECT_EQ(window, os::MainWindow());
  EXPECT_NE(window, GetForegroundWindow());
  control.CallMethod(L"CloseMainWindow");
  EXPECT_EQ(FindWindowA(kMainWindowClass, nullptr), nullptr);
  EXPECT_TRUE(control.CallMethod(L"ShowMainWindow").ToBool()) << "it comes again after it was closed";
  EXPECT_NE(FindWindowA(kMainWindowClass, nullptr), nullptr);
}

}  // namespace

}  // namespace orvane
