// Where the stand-in Outlook is as hard as Outlook can be: the completed copy that stays
// recurring, texts cut by bytes, a row count that fails, items in another order, a limit on open
// items, the guard's own answer and "allow access for", and events that do not come or come late.
#include "base/com_scope.h"
#include "outlook/dispatch_driver.h"
#include "outlook/late_binding.h"
#include "testbed/outlook/model_error.h"
#include "testbed/outlook/control_object.h"
#include "testbed/outlook/recording_sink.h"
#include "testbed/outlook/standin_behaviour.h"
#include "testbed/outlook/standin_control.h"
#include "testbed/outlook/standin_ids.h"
#include "testbed/outlook/store_file.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {

namespace {

namespace os = outlook_standin;
using namespace outlook;

constexpr double k10Nov2006 = 39031.0;  // a Friday

class StandinLimitsTest : public testing::Test {
protected:
  void SetUp() override { os::ResetStore(); }
  void TearDown() override { os::ResetStore(); }

  outlook::DispatchDriver Folder(int32_t folder) const {
    return mapi_.InvokeForObject(kGetDefaultFolder, outlook::Variant::Int32(folder));
  }
  outlook::DispatchDriver TaskAt(int32_t index) const {
    return Folder(kFolderTasks).GetObject(kItems).InvokeForObject(kItem, outlook::Variant::Int32(index));
  }
  static void AddTasks(const std::vector<std::wstring>& subjects) {
    for (const std::wstring& subject : subjects)
      os::AddItem(os::ItemKind::Task, {{os::kSubject, os::Value::Text(subject)}});
  }
  // The table's members by name, as the plug-in finds them.
  static outlook::DispId Member(const outlook::DispatchDriver& object, const wchar_t* name) {
    return LateBound(ComPtr<IDispatch>::Share(object.Get())).IdOf(name);
  }
  // The Subject cell of the tasks table's first row.
  std::wstring FirstSubjectCell() const {
    const outlook::DispatchDriver table = Folder(kFolderTasks).InvokeForObject(kGetTable);
    const outlook::Variant rows = table.InvokeMethod(Member(table, L"GetArray"), outlook::Variant::Int32(1));
    VARIANT cell;
    VariantInit(&cell);
    LONG at[] = {0, 1};
    EXPECT_EQ(SafeArrayGetElement(rows.Get().parray, at, &cell), S_OK);
    std::wstring text = cell.vt == VT_BSTR ? std::wstring(cell.bstrVal, SysStringLen(cell.bstrVal)) : L"";
    VariantClear(&cell);
    return text;
  }

  const outlook::DispatchDriver app_{os::CreateApplication()};
  const outlook::DispatchDriver mapi_{app_.InvokeForObject(kGetNamespace, outlook::Variant::Text("MAPI"))};
};

// The copy keeps the series' pattern and is marked a dead occurrence, only for a series that does
// not regenerate; saved again, it stays what it is. The store file keeps the mark.
TEST_F(StandinLimitsTest, TheCompletedCopyKeepsTheRecurrenceOfASeriesThatDoesNotRegenerate) {
  for (const bool regenerates : {false, true}) {
    os::ResetStore();
    os::CopyKeepsRecurrence(true);
    const outlook::DispatchDriver task = app_.InvokeForObject(kCreateItem, outlook::Variant::Int32(kTaskItem));
    task.SetText(kSubject, "Weekly");
    task.SetDate(kDueDate, k10Nov2006);
    const outlook::DispatchDriver pattern = task.InvokeForObject(kGetRecurrencePattern);
    pattern.SetInt32(kRecurrenceType, kRecursWeekly);
    if (regenerates) pattern.SetBool(os::kRegenerate, true);
    task.InvokeMethod(kSave);
    task.InvokeMethod(os::kMarkComplete);
    task.InvokeMethod(kSave);
    const std::vector<os::ItemData> saved = os::FolderItems(kFolderTasks);
    ASSERT_EQ(saved.size(), 2u);
    const os::ItemData& copy = saved[1];
    EXPECT_EQ(copy.Get(os::kStatus).AsInt32(), kStatusComplete);
    EXPECT_EQ(copy.IsRecurring(), !regenerates) << regenerates;
    EXPECT_EQ(copy.IsDeadOccurrence(), !regenerates);
    EXPECT_EQ(TaskAt(2).GetBool(kTaskIsRecurring), !regenerates);
    if (regenerates) continue;
    EXPECT_EQ(copy.PatternGet(os::kRecurrenceType).AsInt32(), kRecursWeekly);
    EXPECT_EQ(saved[0].Get(os::kStatus).AsInt32(), kStatusNotStarted) << "the series moved on";
    // Saved again, the dead copy makes no copy of its own.
    const outlook::DispatchDriver again = TaskAt(2);
    again.SetText(kSubject, "Weekly done");
    again.InvokeMethod(kSave);
    EXPECT_EQ(os::FolderItems(kFolderTasks).size(), 2u);
    os::StoreImage image;
    image.storeTag = 1;
    image.items.push_back(os::FolderItems(kFolderTasks)[1].Image());
    os::StoreImage read;
    ASSERT_TRUE(os::ReadStoreText(os::WriteStoreText(image), &read));
    EXPECT_TRUE(read.items.at(0).deadOccurrence);
    EXPECT_TRUE(read.items[0].recurring);
  }
}

// A cut by bytes counts UTF-16 bytes and the terminating zero; the EntryID is never cut.
TEST_F(StandinLimitsTest, TableTextsAreCutAtTheChosenBytes) {
  const std::wstring subject(300, L'\u00E9');
  AddTasks({subject});
  struct Case {
    int bytes;
    size_t kept;
  };
  for (const Case& test : {Case{0, 255}, Case{255, 126}, Case{510, 254}}) {
    os::TableTextBytes(test.bytes);
    EXPECT_EQ(FirstSubjectCell(), subject.substr(0, test.kept)) << test.bytes;
  }
  EXPECT_EQ(TaskAt(1).GetText(kSubject).size(), 300u) << "the item itself keeps it whole";
}

TEST_F(StandinLimitsTest, GetRowCountFailsWhileTheRowsStillCome) {
  AddTasks({L"A", L"B"});
  os::RowCountFails(true);
  const outlook::DispatchDriver table = Folder(kFolderTasks).InvokeForObject(kGetTable);
  try {
    table.InvokeMethod(Member(table, L"GetRowCount"));
    ADD_FAILURE() << "GetRowCount answered";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.Result(), E_FAIL);
  }
  EXPECT_FALSE(table.GetBool(Member(table, L"EndOfTable")));
  table.InvokeMethod(Member(table, L"GetArray"), outlook::Variant::Int32(5));
  EXPECT_TRUE(table.GetBool(Member(table, L"EndOfTable")));
  os::RowCountFails(false);
  EXPECT_EQ(table.InvokeMethod(Member(table, L"GetRowCount")).ToInt32(), 2);
}

// Reverse: Items counts from the last saved; moved-on-save: a save sends the item to the end.
TEST_F(StandinLimitsTest, ItemsComeInTheChosenOrder) {
  AddTasks({L"A", L"B", L"C"});
  const auto order = [this] {
    std::string subjects;
    for (int32_t index = 1; index <= 3; ++index) subjects += TaskAt(index).GetText(kSubject);
    return subjects;
  };
  EXPECT_EQ(order(), "ABC");
  os::ItemsOrder(L"reverse");
  EXPECT_EQ(order(), "CBA");
  EXPECT_EQ(
      Folder(kFolderTasks).GetObject(kItems).InvokeForObject(kItem, outlook::Variant::Text("b")).GetText(kSubject),
      "B");
  os::ItemsOrder(L"moved-on-save");
  TaskAt(1).InvokeMethod(kSave);
  EXPECT_EQ(order(), "BCA");
  os::ChangeItem(kFolderTasks, 1, {{os::kSubject, os::Value::Text(L"D")}});
  EXPECT_EQ(order(), "CAD");
  EXPECT_THROW(os::ItemsOrder(L"sorted"), std::invalid_argument);
}

// An item counts while any reference to it is held, its pattern's too; released, it frees its place.
TEST_F(StandinLimitsTest, OpeningMoreItemsThanTheLimitFails) {
  AddTasks({L"A", L"B", L"C"});
  os::OpenItemLimit(2);
  std::vector<outlook::DispatchDriver> held{TaskAt(1)};
  const outlook::DispatchDriver pattern = TaskAt(2).InvokeForObject(kGetRecurrencePattern);
  EXPECT_EQ(os::OpenItems(), 2u);
  try {
    TaskAt(3);
    ADD_FAILURE() << "a third item opened";
  } catch (const AutomationError& error) {
    EXPECT_NE(std::string(error.what()).find("limited the number of items you can open"), std::string::npos);
  }
  EXPECT_THROW(app_.InvokeForObject(kCreateItem, outlook::Variant::Int32(kTaskItem)), AutomationError);
  held.clear();
  EXPECT_EQ(TaskAt(3).GetText(kSubject), "C");
  os::OpenItemLimit(0);
}

// Denied, a guarded call answers MAPI_E_NOT_SUPPORTED; "allow-for" asks once for its minutes.
TEST_F(StandinLimitsTest, TheGuardDeniesWithNotSupportedAndAllowsForMinutes) {
  AddTasks({L"A"});
  os::Guard(L"deny");
  try {
    TaskAt(1).GetText(kBody);
    ADD_FAILURE() << "a denied read answered";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.Result(), os::kMapiNotSupported);
  }
  os::Guard(L"allow-for", 10);
  for (int call = 0; call < 3; ++call) TaskAt(1).GetText(kBody);
  EXPECT_EQ(os::GuardPrompts(), 2) << "one for the denial, one for the ten minutes";
  os::PassGuardTime(11);
  TaskAt(1).GetText(kContactNames);
  TaskAt(1).GetText(kBody);
  EXPECT_EQ(os::GuardPrompts(), 3);
  EXPECT_THROW(os::Guard(L"allow-for", 0), std::invalid_argument);
}

// A folder's last item leaves without ItemRemove; a sink unadvised hears what was on its way.
TEST_F(StandinLimitsTest, NoRemoveForTheLastItemAndEventsAfterUnadvise) {
  const outlook::DispatchDriver items = Folder(kFolderTasks).GetObject(kItems);
  const ComPtr<os::RecordingSink> sink = os::RecordingSink::Create();
  AdviseConnection connection;
  ASSERT_EQ(connection.Connect(items.Get(), os::kItemsEventsIid, sink.Get()), S_OK);
  AddTasks({L"A", L"B"});
  os::NoRemoveForLastItem(true);
  os::RemoveItem(kFolderTasks, 1);
  os::RemoveItem(kFolderTasks, 1);
  ASSERT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(sink->CountOf(kItemRemove), 1);

  for (const bool late : {false, true}) {
    os::EventsAfterUnadvise(late);
    AdviseConnection again;
    const ComPtr<os::RecordingSink> heard = os::RecordingSink::Create();
    ASSERT_EQ(again.Connect(items.Get(), os::kItemsEventsIid, heard.Get()), S_OK);
    AddTasks({L"C"});
    ASSERT_EQ(again.Disconnect(), S_OK);
    AddTasks({L"D"});
    ASSERT_TRUE(os::RaisePostedEvents());
    EXPECT_EQ(heard->CountOf(kItemAdd), late ? 1 : 0) << late;
  }
}

// Scripts in other processes choose the same through "OutlookStandin.Control"; Reset undoes all.
TEST_F(StandinLimitsTest, TheControlsAnswerByNameOverCom) {
  const LateBound control(os::NewControl());
  control.CallMethod(L"CopyKeepsRecurrence", outlook::Variant::Bool(true));
  control.CallMethod(L"TableTextBytes", outlook::Variant::Int32(510));
  control.CallMethod(L"RowCountFails", outlook::Variant::Bool(true));
  control.CallMethod(L"ItemsOrder", outlook::Variant::Text("moved-on-save"));
  control.CallMethod(L"OpenItemLimit", outlook::Variant::Int32(5));
  control.CallMethod(L"Guard", outlook::Variant::Text("allow-for"), outlook::Variant::Int32(3));
  control.CallMethod(L"NoRemoveForLastItem", outlook::Variant::Bool(true));
  control.CallMethod(L"EventsAfterUnadvise", outlook::Variant::Bool(true));
  const os::Behaviour& chosen = os::Chosen();
  EXPECT_TRUE(chosen.copyKeepsRecurrence && chosen.rowCountFails && chosen.noRemoveForLastItem &&
              chosen.eventsAfterUnadvise);
  EXPECT_EQ(chosen.tableTextBytes, 510);
  EXPECT_EQ(chosen.itemsOrder, os::Behaviour::ItemsOrder::MovedOnSave);
  EXPECT_EQ(chosen.openItemLimit, 5);
  EXPECT_EQ(chosen.guard, os::Behaviour::Guard::AllowFor);
  EXPECT_EQ(chosen.guardMinutes, 3);
  EXPECT_THROW(control.CallMethod(L"ItemsOrder", outlook::Variant::Text("sorted")), AutomationError);
  EXPECT_THROW(control.CallMethod(L"Guard", outlook::Variant::Text("allow-for")), AutomationError);
  AddTasks({L"A"});
  const outlook::DispatchDriver held = TaskAt(1);
  EXPECT_EQ(control.CallMethod(L"OpenItems").ToInt32(), 1);
  control.CallMethod(L"Reset");
  EXPECT_FALSE(chosen.copyKeepsRecurrence || chosen.rowCountFails || chosen.noRemoveForLastItem ||
               chosen.eventsAfterUnadvise);
  EXPECT_EQ(chosen.openItemLimit, 0);
  EXPECT_EQ(chosen.guard, os::Behaviour::Guard::Off);
}

}  // namespace

}  // namespace orvane
