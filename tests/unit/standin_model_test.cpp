// The stand-in Outlook's object model as the plug-in meets it: folders, items as working copies,
// Outlook's defaults and rules for dates and progress, notes' subjects, recurrence, names.
#include "outlook/dispatch_driver.h"
#include "testbed/outlook/model_error.h"
#include "testbed/outlook/standin_control.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {

namespace {

namespace os = outlook_standin;
using namespace outlook;

constexpr double kNoneDate = 949998.0;
constexpr double k10Nov2006 = 39031.0;

std::string Ansi(const wchar_t* text) {
  const std::wstring wide(text);
  return WideToAnsi(wide.data(), wide.size());
}

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
  }
  void TearDown() override { os::ResetStore(); }

  DispatchDriver ItemsOf(int32_t folder) const {
    return mapi_.InvokeForObject(kGetDefaultFolder, Variant::Int32(folder)).GetObject(kItems);
  }
  DispatchDriver NewItem(int32_t type) const { return app_.InvokeForObject(kCreateItem, Variant::Int32(type)); }
  DispatchDriver SavedTask(const char* subject) const {
    DispatchDriver task = NewItem(kTaskItem);
    task.SetText(kSubject, subject);
    task.InvokeMethod(kSave);
    return task;
  }
  DispatchDriver ItemAt(int32_t folder, int32_t index) const {
    return ItemsOf(folder).InvokeForObject(kItem, Variant::Int32(index));
  }
  std::string TaskSubjectAt(int32_t index) const { return ItemAt(kFolderTasks, index).GetText(kSubject); }
  int32_t CountOf(int32_t folder) const { return ItemsOf(folder).GetInt32(kCount); }

  DispatchDriver app_;
  DispatchDriver mapi_;
};

TEST_F(StandinModelTest, ThreeDefaultFoldersAndNoOther) {
  for (const int32_t folder : {kFolderCalendar, kFolderNotes, kFolderTasks}) {
    EXPECT_EQ(CountOf(folder), 0) << folder;
  }
  for (const int32_t folder : {0, 6, 10, 99, -1}) {
    const std::string failure = FailureOf([&] { mapi_.InvokeForObject(kGetDefaultFolder, Variant::Int32(folder)); });
    EXPECT_EQ(failure, Ansi(os::kBadParameterMessage)) << folder;
  }
}

TEST_F(StandinModelTest, CreateItemMakesTheKindAskedForAndNoOther) {
  // Each kind answers its own members: a task's StartDate, an appointment's Start, a note's own Subject.
  EXPECT_EQ(NewItem(kTaskItem).GetDate(kStartDate), kNoneDate);
  EXPECT_EQ(NewItem(kAppointmentItem).GetDate(kStart), kNoneDate);
  EXPECT_EQ(NewItem(kNoteItem).GetText(kNoteSubject), "");
  EXPECT_THROW(NewItem(kNoteItem).GetText(kSubject), AutomationError);
  for (const int32_t type : {0, 2, 4, 6, 99}) {
    EXPECT_EQ(FailureOf([&] { NewItem(type); }), Ansi(os::kBadParameterMessage)) << type;
  }
}

TEST_F(StandinModelTest, NewItemJoinsItsFolderOnlyWhenSaved) {
  const struct {
    int32_t type;
    int32_t folder;
  } kCases[] = {{kTaskItem, kFolderTasks}, {kAppointmentItem, kFolderCalendar}, {kNoteItem, kFolderNotes}};
  for (const auto& c : kCases) {
    DispatchDriver item = NewItem(c.type);
    item.SetText(kBody, "text");
    EXPECT_EQ(CountOf(c.folder), 0) << c.type;
    item.InvokeMethod(kClose, Variant::Int32(kCloseSave));
    EXPECT_EQ(CountOf(c.folder), 1) << c.type;
    ASSERT_EQ(os::FolderItems(c.folder).size(), 1u);
    EXPECT_EQ(os::FolderItems(c.folder)[0].Get(kBody).AsText(), L"text");
  }
}

TEST_F(StandinModelTest, ItemsKeepTheOrderOfTheirFirstSaveAndCountFromOne) {
  DispatchDriver first = SavedTask("one");
  SavedTask("two");
  SavedTask("three");
  first.SetText(kSubject, "one again");
  first.InvokeMethod(kSave);  // a later save keeps the place
  EXPECT_EQ(TaskSubjectAt(1), "one again");
  EXPECT_EQ(TaskSubjectAt(2), "two");
  EXPECT_EQ(TaskSubjectAt(3), "three");

  ItemAt(kFolderTasks, 2).InvokeMethod(kDelete);
  EXPECT_EQ(CountOf(kFolderTasks), 2);
  EXPECT_EQ(TaskSubjectAt(2), "three");
  for (const int32_t outside : {0, 3, -1}) {
    EXPECT_EQ(FailureOf([&] { ItemAt(kFolderTasks, outside); }), Ansi(os::kIndexOutOfBoundsMessage)) << outside;
  }
}

TEST_F(StandinModelTest, ItemTakesOtherIntegerVariantsAndASubject) {
  SavedTask("one");
  SavedTask("Two");
  const DispatchDriver items = ItemsOf(kFolderTasks);
  EXPECT_EQ(items.InvokeForObject(kItem, Variant::Double(2.0)).GetText(kSubject), "Two");
  Variant shortIndex;
  shortIndex.Receive()->iVal = 1;
  shortIndex.Receive()->vt = VT_I2;
  EXPECT_EQ(items.InvokeForObject(kItem, std::move(shortIndex)).GetText(kSubject), "one");
  EXPECT_EQ(items.InvokeForObject(kItem, Variant::Text("two")).GetText(kSubject), "Two");
}

TEST_F(StandinModelTest, EachItemReadIsAWorkingCopyOfItsOwn) {
  SavedTask("stored");
  DispatchDriver a = ItemAt(kFolderTasks, 1);
  DispatchDriver b = ItemAt(kFolderTasks, 1);
  EXPECT_NE(a.Get(), b.Get());
  a.SetText(kSubject, "changed in a");
  EXPECT_EQ(b.GetText(kSubject), "stored");
  EXPECT_EQ(TaskSubjectAt(1), "stored");
  a.InvokeMethod(kSave);
  EXPECT_EQ(TaskSubjectAt(1), "changed in a");
  EXPECT_EQ(b.GetText(kSubject), "stored");  // a copy taken earlier keeps what it held
}

TEST_F(StandinModelTest, UnsavedChangesAreLostOnReleaseAndOnCloseWithoutSaving) {
  SavedTask("kept");
  {
    DispatchDriver copy = ItemAt(kFolderTasks, 1);
    copy.SetText(kSubject, "released unsaved");
  }
  EXPECT_EQ(TaskSubjectAt(1), "kept");

  DispatchDriver closed = ItemAt(kFolderTasks, 1);
  closed.SetText(kSubject, "closed unsaved");
  closed.InvokeMethod(kClose, Variant::Int32(1));
  EXPECT_EQ(TaskSubjectAt(1), "kept");
  EXPECT_EQ(closed.GetText(kSubject), "kept");

  DispatchDriver fresh = NewItem(kTaskItem);
  fresh.SetText(kSubject, "never saved");
  fresh.InvokeMethod(kClose, Variant::Int32(1));
  EXPECT_EQ(CountOf(kFolderTasks), 1);
}

TEST_F(StandinModelTest, NoteSubjectIsTheBodyUpToTheFirstLineBreak) {
  const struct {
    const char* body;
    const char* subject;
  } kCases[] = {
      {"Buy milk", "Buy milk"},
      {"Line one\r\nLine two", "Line one"},
      {"A\nB", "A"},
      {"A\rB", "A"},
      {"", ""},
      {"\r\nsecond", ""},
      {"50% done", "50% done"},
  };
  for (const auto& c : kCases) {
    DispatchDriver note = NewItem(kNoteItem);
    note.SetText(kBody, c.body);
    EXPECT_EQ(note.GetText(kNoteSubject), c.subject) << c.body;
  }
  EXPECT_THROW(NewItem(kNoteItem).SetText(kNoteSubject, "read-only"), AutomationError);
}

TEST_F(StandinModelTest, NewItemsReadOutlooksDefaultsInOutlooksTypes) {
  const struct {
    int32_t type;
    DispId id;
    VARTYPE vt;
    double number;  // date, integer or flag
  } kCases[] = {
      {kTaskItem, kStartDate, VT_DATE, kNoneDate},
      {kTaskItem, kDueDate, VT_DATE, kNoneDate},
      {kTaskItem, kDateCompleted, VT_DATE, kNoneDate},
      {kTaskItem, kReminderTime, VT_DATE, kNoneDate},
      {kTaskItem, kStatus, VT_I4, 0},
      {kTaskItem, kPercentComplete, VT_I4, 0},
      {kTaskItem, kImportance, VT_I4, 1},
      {kTaskItem, kSensitivity, VT_I4, 0},
      {kTaskItem, kTotalWork, VT_I4, 0},
      {kTaskItem, kInternetCodepage, VT_I4, 0},
      {kTaskItem, kReminderSet, VT_BOOL, 0},
      {kTaskItem, kTaskIsRecurring, VT_BOOL, 0},
      {kAppointmentItem, kStart, VT_DATE, kNoneDate},
      {kAppointmentItem, kEnd, VT_DATE, kNoneDate},
      {kAppointmentItem, kDuration, VT_I4, 30},
      {kAppointmentItem, kReminderMinutesBeforeStart, VT_I4, 15},
      {kAppointmentItem, kAllDayEvent, VT_BOOL, 0},
      {kAppointmentItem, kReminderSet, VT_BOOL, VARIANT_TRUE},
      {kAppointmentItem, kImportance, VT_I4, 1},
      {kAppointmentItem, kSensitivity, VT_I4, 0},
      {kAppointmentItem, kAppointmentIsRecurring, VT_BOOL, 0},
  };
  for (const auto& c : kCases) {
    const Variant value = NewItem(c.type).GetProperty(c.id);
    ASSERT_EQ(value.Type(), c.vt) << std::hex << c.id;
    EXPECT_EQ(value.ToDouble(), c.number) << std::hex << c.id;
  }
  for (const DispId text : {kSubject, kBody, kCategories, kBillingInformation, kMileage, kRole, kCompanies}) {
    const Variant value = NewItem(kTaskItem).GetProperty(text);
    EXPECT_EQ(value.Type(), VT_BSTR) << std::hex << text;
    EXPECT_EQ(value.ToAnsi(), "") << std::hex << text;
  }
}

TEST_F(StandinModelTest, PutValuesAreCoercedToTheMembersType) {
  DispatchDriver task = NewItem(kTaskItem);
  task.SetProperty(kImportance, Variant::Text("2"));
  EXPECT_EQ(task.GetProperty(kImportance).Type(), VT_I4);
  EXPECT_EQ(task.GetInt32(kImportance), 2);
  task.SetProperty(kSubject, Variant::Int32(512));
  EXPECT_EQ(task.GetText(kSubject), "512");
  task.SetProperty(kReminderSet, Variant::Int32(1));
  EXPECT_TRUE(task.GetBool(kReminderSet));
  task.SetProperty(kStartDate, Variant::Double(k10Nov2006));
  EXPECT_EQ(task.GetProperty(kStartDate).Type(), VT_DATE);
  EXPECT_THROW(task.SetProperty(kImportance, Variant::Text("high")), AutomationError);
  EXPECT_EQ(task.GetInt32(kImportance), 2);
}

TEST_F(StandinModelTest, AppointmentEndFollowsStartAndDurationAndMayNotPrecedeStart) {
  constexpr double kNine = k10Nov2006 + 9.0 / 24;
  DispatchDriver appointment = NewItem(kAppointmentItem);
  appointment.SetInt32(kDuration, 90);
  appointment.SetDate(kStart, kNine);
  EXPECT_NEAR(appointment.GetDate(kEnd), kNine + 90.0 / 1440, 1e-9);
  appointment.SetDate(kEnd, kNine + 2.0 / 24);
  EXPECT_EQ(appointment.GetInt32(kDuration), 120);
  appointment.SetDate(kStart, kNine + 1.0 / 24);  // moving the start keeps the length
  EXPECT_NEAR(appointment.GetDate(kEnd), kNine + 3.0 / 24, 1e-9);

  EXPECT_EQ(FailureOf([&] { appointment.SetDate(kEnd, kNine); }), Ansi(os::kEndBeforeStartMessage));
  appointment.SetDate(kEnd, kNine + 1.0 / 24);  // an end equal to the start is taken
  EXPECT_EQ(appointment.GetInt32(kDuration), 0);
}

TEST_F(StandinModelTest, TaskDatesAreWholeDaysAndTheDueDateMayNotPrecedeTheStart) {
  DispatchDriver task = NewItem(kTaskItem);
  task.SetDate(kDueDate, k10Nov2006 - 5);
  task.SetDate(kStartDate, k10Nov2006 + 0.75);
  EXPECT_EQ(task.GetDate(kStartDate), k10Nov2006);
  EXPECT_EQ(task.GetDate(kDueDate), k10Nov2006);  // pushed to the start
  EXPECT_EQ(FailureOf([&] { task.SetDate(kDueDate, k10Nov2006 - 1); }), Ansi(os::kDueBeforeStartMessage));
  task.SetDate(kDueDate, k10Nov2006 + 3.5);
  EXPECT_EQ(task.GetDate(kDueDate), k10Nov2006 + 3);

  DispatchDriver noStart = NewItem(kTaskItem);
  noStart.SetDate(kDueDate, k10Nov2006);
  EXPECT_EQ(noStart.GetDate(kStartDate), kNoneDate);
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
      {"status 2 then status 0", {{kStatus, 2}, {kStatus, 0}}, 0, 0, false},
      {"status 0 then percent 0", {{kStatus, 0}, {kPercentComplete, 0}}, 0, 0, false},
      {"status 2 then percent 100", {{kStatus, 2}, {kPercentComplete, 100}}, 2, 100, true},
      {"percent 50", {{kPercentComplete, 50}}, 1, 50, false},
      {"complete then percent 50", {{kStatus, 2}, {kPercentComplete, 50}}, 1, 50, false},
      {"waiting keeps its status", {{kStatus, 3}, {kPercentComplete, 20}}, 3, 20, false},
  };
  for (const auto& c : kCases) {
    DispatchDriver task = NewItem(kTaskItem);
    for (const auto& [id, value] : c.writes) task.SetInt32(id, value);
    EXPECT_EQ(task.GetInt32(kStatus), c.status) << c.name;
    EXPECT_EQ(task.GetInt32(kPercentComplete), c.percent) << c.name;
    EXPECT_EQ(task.GetDate(kDateCompleted) != kNoneDate, c.completed) << c.name;
  }
  DispatchDriver task = NewItem(kTaskItem);
  task.SetDate(kDateCompleted, k10Nov2006);
  EXPECT_EQ(task.GetInt32(kStatus), 2);
  EXPECT_EQ(task.GetDate(kDateCompleted), k10Nov2006);
  EXPECT_THROW(task.SetInt32(kPercentComplete, 101), AutomationError);
}

TEST_F(StandinModelTest, RecurrencePatternKeepsItsValuesAndMakesTheItemRecurringOnceSaved) {
  const struct {
    DispId id;
    Variant (*make)();
  } kWrites[] = {
      {kRecurrenceType, [] { return Variant::Int32(2); }},
      {kInterval, [] { return Variant::Int32(3); }},
      {kDayOfWeekMask, [] { return Variant::Int32(2 + 8); }},
      {kPatternStartDate, [] { return Variant::Date(k10Nov2006); }},
      {kPatternEndDate, [] { return Variant::Date(k10Nov2006 + 30); }},
      {kNoEndDate, [] { return Variant::Bool(false); }},
      {kPatternStartTime, [] { return Variant::Date(0.375); }},
      {kPatternEndTime, [] { return Variant::Date(0.5); }},
      {kDayOfMonth, [] { return Variant::Int32(10); }},
      {kMonthOfYear, [] { return Variant::Int32(11); }},
      {kInstance, [] { return Variant::Int32(2); }},
      {kOccurrences, [] { return Variant::Int32(7); }},
      {kPatternDuration, [] { return Variant::Int32(45); }},
      {kRegenerate, [] { return Variant::Bool(true); }},
  };
  for (const int32_t type : {kTaskItem, kAppointmentItem}) {
    os::ResetStore();
    const int32_t folder = type == kTaskItem ? kFolderTasks : kFolderCalendar;
    const DispId isRecurring = type == kTaskItem ? kTaskIsRecurring : kAppointmentIsRecurring;
    DispatchDriver item = NewItem(type);
    {
      const DispatchDriver pattern = item.InvokeForObject(kGetRecurrencePattern);
      for (const auto& write : kWrites) pattern.SetProperty(write.id, write.make());
    }
    EXPECT_FALSE(item.GetBool(isRecurring)) << type;
    item.InvokeMethod(kClose, Variant::Int32(kCloseSave));

    const DispatchDriver saved = ItemAt(folder, 1);
    EXPECT_TRUE(saved.GetBool(isRecurring)) << type;
    const DispatchDriver pattern = saved.InvokeForObject(kGetRecurrencePattern);
    for (const auto& write : kWrites) {
      EXPECT_EQ(pattern.GetProperty(write.id).ToDouble(), write.make().ToDouble()) << type << std::hex << write.id;
    }
  }
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

TEST_F(StandinModelTest, PatternWritesOfAnUnsavedCopyAreLostWithIt) {
  SavedTask("plain");
  {
    const DispatchDriver copy = ItemAt(kFolderTasks, 1);
    copy.InvokeForObject(kGetRecurrencePattern).SetInt32(kRecurrenceType, 5);
  }
  EXPECT_FALSE(ItemAt(kFolderTasks, 1).GetBool(kTaskIsRecurring));
  EXPECT_FALSE(os::FolderItems(kFolderTasks)[0].HasPattern());
}

TEST_F(StandinModelTest, LogonRecordsWhatItReceived) {
  mapi_.InvokeMethod(kLogon, Variant::Missing(), Variant::Missing(), Variant::Missing(), Variant::Missing());
  ASSERT_EQ(os::LogonCount(), 1);
  const auto arguments = os::LastLogonArguments();
  ASSERT_EQ(arguments.size(), 4u);
  for (const auto& argument : arguments) {
    EXPECT_EQ(argument.type, VT_ERROR);
    EXPECT_EQ(argument.error, DISP_E_PARAMNOTFOUND);
  }
  mapi_.InvokeMethod(kLogon, Variant::Text("Profile"));
  EXPECT_EQ(os::LogonCount(), 2);
  ASSERT_EQ(os::LastLogonArguments().size(), 1u);
  EXPECT_EQ(os::LastLogonArguments()[0].text, L"Profile");
}

TEST_F(StandinModelTest, ADeletedItemAnswersNoMore) {
  SavedTask("doomed");
  const DispatchDriver deleting = ItemAt(kFolderTasks, 1);
  const DispatchDriver other = ItemAt(kFolderTasks, 1);
  deleting.InvokeMethod(kDelete);
  EXPECT_EQ(CountOf(kFolderTasks), 0);
  for (const DispatchDriver* copy : {&deleting, &other}) {
    EXPECT_EQ(FailureOf([&] { copy->GetText(kSubject); }), Ansi(os::kItemGoneMessage));
    EXPECT_EQ(FailureOf([&] { copy->InvokeMethod(kSave); }), Ansi(os::kItemGoneMessage));
  }
  EXPECT_EQ(CountOf(kFolderTasks), 0);
}

TEST_F(StandinModelTest, NamesAreFoundIgnoringCaseAndCallsMustUseTheMembersWay) {
  const DispatchDriver task = NewItem(kTaskItem);
  const DispatchDriver note = NewItem(kNoteItem);
  const struct {
    IDispatch* object;
    const wchar_t* name;
    DISPID id;
  } kCases[] = {
      {task.Get(), L"Subject", kSubject},
      {task.Get(), L"SUBJECT", kSubject},
      {note.Get(), L"subject", kNoteSubject},
      {task.Get(), L"isrecurring", kTaskIsRecurring},
      {task.Get(), L"GetRecurrencePattern", kGetRecurrencePattern},
      {task.Get(), L"Location", DISPID_UNKNOWN},
      {note.Get(), L"StartDate", DISPID_UNKNOWN},
  };
  for (const auto& c : kCases) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(c.name)};
    const HRESULT hr = c.object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    EXPECT_EQ(hr, c.id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK) << Ansi(c.name);
    EXPECT_EQ(id, c.id) << Ansi(c.name);
  }
  EXPECT_THROW(task.GetProperty(kSave), AutomationError);  // a method read as a property
  EXPECT_THROW(task.InvokeMethod(kSubject), AutomationError);
  EXPECT_THROW(task.SetBool(kTaskIsRecurring, true), AutomationError);
  EXPECT_THROW(task.GetProperty(0x7FFF), AutomationError);
}

}  // namespace

}  // namespace orvane
