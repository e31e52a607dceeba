// The stand-in Outlook's object model and test controls, as the plug-in's tests rely on them:
// items are working copies saved into their folder, Outlook's defaults and refusals, failures
// injected with a message, exact call counts and the controls over COM.
#include "outlook/dispatch_driver.h"
#include "outlook/late_binding.h"
#include "testbed/outlook/control_object.h"
#include "testbed/outlook/model_error.h"
#include "testbed/outlook/standin_control.h"
#include "testbed/outlook/store_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {

namespace {

namespace os = outlook_standin;
using namespace outlook;

constexpr double k10Nov2006 = 39031.0;

std::string Ansi(const wchar_t* text) { return outlook::WideToAnsi(text, wcslen(text)); }

// The message of the AutomationError a call throws; empty when it does not throw.
template <class Call>
std::string FailureOf(Call call) {
  try {
    call();
  } catch (const outlook::AutomationError& error) {
    return error.what();
  }
  return {};
}

class StandinModelTest : public testing::Test {
protected:
  void SetUp() override {
    os::ResetStore();
    app_ = outlook::DispatchDriver(os::CreateApplication());
    mapi_ = app_.InvokeForObject(kGetNamespace, outlook::Variant::Text("MAPI"));
    os::ResetCallCounts();
  }
  void TearDown() override {
    os::ResetStore();
    os::CloseMainWindow();
  }

  outlook::DispatchDriver ItemsOf(int32_t folder) const {
    return mapi_.InvokeForObject(kGetDefaultFolder, outlook::Variant::Int32(folder)).GetObject(kItems);
  }
  outlook::DispatchDriver NewItem(int32_t type) const {
    return app_.InvokeForObject(kCreateItem, outlook::Variant::Int32(type));
  }
  outlook::DispatchDriver TaskAt(int32_t index) const {
    return ItemsOf(kFolderTasks).InvokeForObject(kItem, outlook::Variant::Int32(index));
  }

  outlook::DispatchDriver app_;
  outlook::DispatchDriver mapi_;
};

TEST_F(StandinModelTest, ItemsAreWorkingCopiesSavedIntoTheirKindsFolder) {
  const struct {
    int32_t type;
    int32_t folder;
  } kKinds[] = {{kAppointmentItem, kFolderCalendar}, {kNoteItem, kFolderNotes}, {kTaskItem, kFolderTasks}};
  for (const auto& kind : kKinds) {
    const outlook::DispatchDriver item = NewItem(kind.type);
    item.SetText(kBody, "kept");
    EXPECT_TRUE(os::FolderItems(kind.folder).empty()) << kind.type;
    item.InvokeMethod(kClose, outlook::Variant::Int32(kCloseSave));
    EXPECT_EQ(os::FolderItems(kind.folder).size(), 1u) << kind.type;
  }
  {
    const outlook::DispatchDriver released = TaskAt(1);
    released.SetText(kBody, "released unsaved");
  }
  const outlook::DispatchDriver copy = TaskAt(1);
  const outlook::DispatchDriver other = TaskAt(1);
  copy.SetText(kBody, "closed unsaved");
  EXPECT_EQ(other.GetText(kBody), "kept") << "each read is a copy of its own";
  copy.InvokeMethod(kClose, outlook::Variant::Int32(1));
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
    const outlook::Variant value = NewItem(c.type).GetProperty(c.id);
    ASSERT_EQ(value.Type(), c.vt) << std::hex << c.id;
    EXPECT_EQ(value.ToDouble(), c.number) << std::hex << c.id;
  }
  const outlook::Variant subject = NewItem(kTaskItem).GetProperty(kSubject);
  EXPECT_EQ(subject.Type(), VT_BSTR);
  EXPECT_EQ(subject.ToAnsi(), "");
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
    const outlook::DispatchDriver task = NewItem(kTaskItem);
    for (const auto& [id, value] : c.writes) task.SetInt32(id, value);
    EXPECT_EQ(task.GetInt32(kStatus), c.status) << c.name;
    EXPECT_EQ(task.GetInt32(kPercentComplete), c.percent) << c.name;
    EXPECT_EQ(task.GetDate(kDateCompleted) != os::kNoDate, c.completed) << c.name;
  }
  EXPECT_THROW(NewItem(kTaskItem).SetInt32(kPercentComplete, 101), outlook::AutomationError);
}

TEST_F(StandinModelTest, GettingThePatternMakesTheItemRecurringAndSavingKeepsIt) {
  const outlook::DispatchDriver item = NewItem(kTaskItem);
  EXPECT_FALSE(item.GetBool(kTaskIsRecurring));
  item.InvokeForObject(kGetRecurrencePattern).SetInt32(kInterval, 3);
  EXPECT_TRUE(item.GetBool(kTaskIsRecurring)) << "GetRecurrencePattern sets IsRecurring";
  item.InvokeMethod(kClose, outlook::Variant::Int32(kCloseSave));
  const std::vector<os::ItemData> saved = os::FolderItems(kFolderTasks);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_TRUE(saved[0].IsRecurring());
  EXPECT_EQ(saved[0].PatternGet(kInterval).AsInt32(), 3);
}

// Completing a recurring task completes its occurrence: a completed copy joins the folder and the
// series moves on; with no occurrence left the series itself is complete.
TEST_F(StandinModelTest, ACompletedRecurringTaskLeavesACompletedCopyAndMovesOn) {
  for (const bool ends : {false, true}) {
    os::ResetStore();
    const outlook::DispatchDriver task = NewItem(kTaskItem);
    task.SetText(kSubject, "Weekly");
    task.SetDate(kDueDate, k10Nov2006);  // a Friday
    const outlook::DispatchDriver pattern = task.InvokeForObject(kGetRecurrencePattern);
    pattern.SetInt32(kRecurrenceType, kRecursWeekly);
    if (ends) {
      pattern.SetBool(kNoEndDate, false);
      pattern.SetDate(kPatternEndDate, k10Nov2006 + 3);
    }
    task.InvokeMethod(kSave);
    task.InvokeMethod(os::kMarkComplete);
    task.InvokeMethod(kSave);
    const std::vector<os::ItemData> saved = os::FolderItems(kFolderTasks);
    ASSERT_EQ(saved.size(), ends ? 1u : 2u) << ends;
    EXPECT_EQ(saved[0].IsRecurring(), true);
    EXPECT_EQ(saved[0].Get(os::kStatus).AsInt32(), ends ? kStatusComplete : kStatusNotStarted);
    EXPECT_EQ(saved[0].Get(os::kDueDate).AsDate(), ends ? k10Nov2006 : k10Nov2006 + 7);
    if (ends) continue;
    EXPECT_FALSE(saved[1].IsRecurring());
    EXPECT_EQ(saved[1].Get(os::kStatus).AsInt32(), kStatusComplete);
    EXPECT_EQ(saved[1].Get(os::kDueDate).AsDate(), k10Nov2006);
    EXPECT_EQ(ItemsOf(kFolderTasks).InvokeForObject(kItem, outlook::Variant::Int32(2)).GetText(kSubject), "Weekly");
  }
}

// The pattern holds a series' times: its StartTime, EndTime and Duration move the series' own
// Start and End to the first occurrence; the appointment's Duration goes into the pattern.
TEST_F(StandinModelTest, ASeriesTakesItsTimesFromItsPattern) {
  constexpr double kHour = 1.0 / 24;
  const outlook::DispatchDriver series = NewItem(kAppointmentItem);
  series.SetDate(kStart, k10Nov2006 + 9 * kHour);  // a Friday, 9:00 to 10:00
  series.SetInt32(kDuration, 60);
  const outlook::DispatchDriver pattern = series.InvokeForObject(kGetRecurrencePattern);
  pattern.SetInt32(kRecurrenceType, kRecursWeekly);
  pattern.SetInt32(kDayOfWeekMask, 2);                            // Mondays
  pattern.SetDate(kPatternStartDate, k10Nov2006 + 2.6);           // a Sunday, with a time
  EXPECT_EQ(pattern.GetDate(kPatternStartDate), k10Nov2006 + 2);  // the day only
  series.InvokeMethod(kSave);
  // As the main application changes the series to 10:00-11:00.
  pattern.SetDate(kPatternStartTime, 10 * kHour);
  pattern.SetDate(kPatternEndTime, 11 * kHour);
  series.SetInt32(kDuration, 60);
  EXPECT_NEAR(series.GetDate(kStart), k10Nov2006 + 3 + 10 * kHour, 1e-9) << "Monday 13 November, 10:00";
  EXPECT_NEAR(series.GetDate(kEnd), k10Nov2006 + 3 + 11 * kHour, 1e-9);
  EXPECT_NEAR(pattern.GetDate(kPatternStartTime), 10 * kHour, 1e-9);
  EXPECT_NEAR(pattern.GetDate(kPatternEndTime), 11 * kHour, 1e-9);
  // The appointment's Duration: the pattern's length and end time follow, its start time stays.
  series.SetInt32(kDuration, 90);
  EXPECT_EQ(pattern.GetInt32(kPatternDuration), 90);
  EXPECT_NEAR(pattern.GetDate(kPatternStartTime), 10 * kHour, 1e-9);
  EXPECT_NEAR(pattern.GetDate(kPatternEndTime), 11.5 * kHour, 1e-9);
  // The mask belongs before the pattern dates: written after one, it puts both back.
  pattern.SetDate(kPatternEndDate, k10Nov2006 + 30);
  pattern.SetInt32(kDayOfWeekMask, 4);
  EXPECT_EQ(pattern.GetDate(kPatternEndDate), os::kNoDate);
  EXPECT_EQ(pattern.GetDate(kPatternStartDate), k10Nov2006 + 3) << "the series' own day again";
}

TEST_F(StandinModelTest, InjectedFailuresCarryTheirMessageAndEveryCallIsCounted) {
  for (const int times : {1, os::FaultRule::kAlways}) {
    os::ClearFailures();
    os::ResetCallCounts();
    os::FailCall(os::ObjectKind::TaskItem, kSubject, os::CallKind::Put, L"Subject refused \u00E9", times);
    const outlook::DispatchDriver task = NewItem(kTaskItem);
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
  const outlook::DispatchDriver task = NewItem(kTaskItem);
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
  outlook::DispatchDriver appointment = NewItem(kAppointmentItem);
  appointment.SetDate(kStart, k10Nov2006 + 0.375);  // a Friday, 9:00
  const outlook::DispatchDriver pattern = appointment.InvokeForObject(kGetRecurrencePattern);
  pattern.SetDate(kPatternStartDate, k10Nov2006 + 7);
  pattern.SetBool(kNoEndDate, false);
  pattern.SetInt32(kDayOfWeekMask, 2);
  pattern.SetInt32(kRecurrenceType, 0);
  EXPECT_EQ(pattern.GetInt32(kRecurrenceType), 0);
  EXPECT_EQ(pattern.GetDate(kPatternStartDate), k10Nov2006);
  EXPECT_TRUE(pattern.GetBool(kNoEndDate));
  EXPECT_EQ(pattern.GetInt32(kDayOfWeekMask), 32);
}

// Protected members prompt under the guard and fail when denied; an item keeps its user
// properties; a table's short-term id is opaque and opens its item; Outlook's re-encoding is a save.
TEST_F(StandinModelTest, GuardUserPropertiesShortTermIdsAndCodePages) {
  os::DefaultCodepage(1252);
  const outlook::DispatchDriver task = NewItem(kTaskItem);
  EXPECT_EQ(task.GetInt32(kInternetCodepage), 1252);
  const outlook::DispatchDriver properties = task.GetObject(kUserProperties);
  EXPECT_EQ(properties.InvokeMethod(os::kUserPropertiesFind, outlook::Variant::Text("Link")).Get().vt, VT_DISPATCH);
  EXPECT_FALSE(
      FailureOf([&] { properties.InvokeForObject(kUserPropertiesItem, outlook::Variant::Text("Link")); }).empty());
  properties
      .InvokeForObject(kUserPropertiesAdd, outlook::Variant::Text("Link"),
                       outlook::Variant::Int32(kUserPropertyInteger))
      .SetInt32(kUserPropertyValue, 4712);
  task.InvokeMethod(kSave);
  EXPECT_EQ(os::FolderItems(kFolderTasks)[0].Fields().at(0).value.AsInt32(), 4712);
  EXPECT_EQ(TaskAt(1)
                .GetObject(kUserProperties)
                .InvokeForObject(kUserPropertiesItem, outlook::Variant::Text("link"))
                .GetInt32(kUserPropertyValue),
            4712);

  // The store file keeps them, names with spaces too.
  os::StoreImage image;
  image.storeTag = 1;
  image.items.push_back(os::FolderItems(kFolderTasks)[0].Image());
  image.items[0].userFields.push_back({L"Two words", os::kUserPropertyText, os::Value::Text(L"a b\\c")});
  os::StoreImage read;
  ASSERT_TRUE(os::ReadStoreText(os::WriteStoreText(image), &read));
  ASSERT_EQ(read.items.at(0).userFields.size(), 2u);
  EXPECT_EQ(read.items[0].userFields[1].name, L"Two words");
  EXPECT_EQ(read.items[0].userFields[1].value, os::Value::Text(L"a b\\c"));
  EXPECT_EQ(read.items[0].userFields[0].value, os::Value::Int32(4712));

  const double saved = os::FolderItems(kFolderTasks)[0].Get(os::kLastModificationTime).AsDate();
  os::SetItemCodepage(kFolderTasks, 1, 65001);
  EXPECT_EQ(TaskAt(1).GetInt32(kInternetCodepage), 65001);
  EXPECT_GT(TaskAt(1).GetDate(kLastModificationTime), saved);

  os::Guard(L"deny");
  EXPECT_EQ(FailureOf([&] { TaskAt(1).GetText(kBody); }), Ansi(os::kGuardDeniedMessage));
  TaskAt(1).SetText(kBody, "a write asks nothing");
  os::Guard(L"allow");
  TaskAt(1).GetText(kContactNames);
  EXPECT_EQ(os::GuardPrompts(), 2);
  os::Guard(L"off");
  TaskAt(1).GetText(kBody);
  EXPECT_EQ(os::GuardPrompts(), 2);

  os::TableIds(L"short-term");
  const outlook::Variant rows = mapi_.InvokeForObject(kGetDefaultFolder, outlook::Variant::Int32(kFolderTasks))
                                    .InvokeForObject(kGetTable)
                                    .InvokeMethod(outlook::DispId{0xFBCF}, outlook::Variant::Int32(1));
  VARIANT cell;
  VariantInit(&cell);
  LONG at[] = {0, 0};
  ASSERT_EQ(SafeArrayGetElement(rows.Get().parray, at, &cell), S_OK);
  const std::wstring shortId(cell.bstrVal);
  VariantClear(&cell);
  EXPECT_EQ(shortId.size(), 48u);
  EXPECT_EQ(shortId.substr(0, 8), L"EF000000");
  EXPECT_EQ(shortId.find(os::FolderItems(kFolderTasks)[0].Get(os::kEntryId).AsText().substr(2)), std::wstring::npos);
  EXPECT_EQ(mapi_.InvokeForObject(kGetItemFromId, outlook::Variant::Wide(shortId)).GetText(kEntryId),
            Ansi(os::FolderItems(kFolderTasks)[0].Get(os::kEntryId).AsText().c_str()));
  os::ResetStore();
  EXPECT_EQ(os::GuardPrompts(), 0);
}

}  // namespace

}  // namespace orvane
