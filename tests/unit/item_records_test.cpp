// The outbound records against the stand-in Outlook in this process: the three builders, and the
// folder sinks sending them to a main application's window of this thread.
#include "outbound/item_records.h"
#include "inbound/writer_common.h"
#include "inbound/writers.h"
#include "outbound/folder_link.h"
#include "outbound/known_states.h"
#include "outlook/outlook_work.h"
#include "app/intake.h"
#include "inbound/item_lookup.h"
#include "tests/common/test_window.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <utility>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using V = os::Value;

struct BoxesSeen {
  int count = 0;
  std::string text;
  bool owned = false;
} boxesSeen;

// Run by a timer that the box's own message loop dispatches: presses OK on every box of this
// thread once its text is in place, noting the boxes with the pattern box's caption.
void CALLBACK PressOkOnBoxes(HWND, UINT, UINT_PTR, DWORD) {
  for (HWND box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr;) {
    char caption[64] = "", text[128] = "";
    if (GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId() ||
        !GetDlgItemTextA(box, 0xFFFF, text, sizeof text)) {
      continue;
    }
    GetWindowTextA(box, caption, sizeof caption);
    if (std::string(caption) == kUnknownPatternCaption)
      boxesSeen = {boxesSeen.count + 1, text, GetWindow(box, GW_OWNER) != nullptr};
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
}

class ItemRecordsTest : public WriterTest {
protected:
  // The item as the user saved it, with a pattern of the given puts when given any.
  static DispatchDriver UserItem(os::ItemKind kind, const ItemPlace& place, const char* subject,
                                 const os::PropertyList& properties, const os::PropertyList* pattern = nullptr) {
    AddItem(kind, subject, properties);
    const DispatchDriver item = FindItemBySubject(place, subject);
    if (pattern) {
      const DispatchDriver opened = item.InvokeForObject(kGetRecurrencePattern);
      for (const auto& [id, value] : *pattern) {
        Variant put;
        value.ToVariant(put.Receive());
        opened.SetProperty(id, put);
      }
      item.InvokeMethod(kSave);
    }
    os::ResetCallCounts();
    return item;
  }
};

TEST_F(ItemRecordsTest, TaskWithEveryFieldSet) {
  // clang-format off
  const os::PropertyList pattern{{kInterval, V::Int32(2)}, {kDayOfWeekMask, V::Int32(20)}, {kOccurrences, V::Int32(10)},
      {kNoEndDate, V::Bool(false)}, {kPatternEndDate, V::Date(Date(2006, 5, 9))}};
  const DispatchDriver task = UserItem(os::ItemKind::Task, kTaskPlace, "Call the bank",
      {{kStartDate, V::Date(Date(2006, 3, 5))}, {kDueDate, V::Date(Date(2006, 3, 20))}, {kReminderSet, V::Bool(true)},
       {kReminderTime, V::Date(Date(2006, 2, 1, 7, 5))}, {kDateCompleted, V::Date(Date(2006, 3, 21))},
       {kTotalWork, V::Int32(120)}, {kActualWork, V::Int32(60)}, {kBillingInformation, V::Text(L"B-7")},
       {kCategories, V::Text(L"Work")}, {kCompanies, V::Text(L"Acme")}, {kContactNames, V::Text(L"Ann")},
       {kMileage, V::Text(L"12 km")}, {kBody, V::Text(L"never sent")}, {kImportance, V::Int32(2)},
       {kSensitivity, V::Int32(kSensitivityPrivate)}, {kRole, V::Text(L"Lead")}, {kSchedulePlusPriority, V::Text(L"high")}},
      &pattern);
  // clang-format on

  EXPECT_EQ(CreateTaskBuffer(task, "-42"),
            "Call the bank\t5/3/2006\t20/3/2006\t1/2/2006*7:5*\t21/3/2006\t1.000\t120\t60\tB-7\tWork\tAcme\tnono\t"
            "12 km\tNo Notes\t2\t2\tLead\thigh\t2\t2*-42*1\t0\t20\t0\t0:0\t10\t0\t2\t0\t0\t9/5/2006\t5/3/2006\t0\t"
            "0:0\t\n");
  EXPECT_EQ(os::CallCount(os::ObjectKind::TaskItem, kSensitivity, os::CallKind::Get), 2);
  EXPECT_EQ(os::CallCount(os::ObjectKind::RecurrencePattern, kNoEndDate, os::CallKind::Get), 2);
  EXPECT_EQ(os::CallCount(kGetRecurrencePattern), 1);
  EXPECT_EQ(os::CallCount(kBody) + os::CallCount(kContactNames), 0);
}

TEST_F(ItemRecordsTest, AppointmentWithEveryFieldSetAndNote) {
  const os::PropertyList weekly;  // as Outlook fills a new pattern: weekly on its Tuesday, no end
  // clang-format off
  const DispatchDriver meeting = UserItem(os::ItemKind::Appointment, kAppointmentPlace, "Team meeting",
      {{kStart, V::Date(Date(2006, 3, 7, 9, 0))}, {kEnd, V::Date(Date(2006, 3, 7, 10, 5))}, {kReminderSet, V::Bool(true)},
       {kReminderMinutesBeforeStart, V::Int32(30)}, {kAllDayEvent, V::Bool(false)}, {kBillingInformation, V::Text(L"B-7")},
       {kCategories, V::Text(L"Work")}, {kLocation, V::Text(L"Room 4")}, {kMileage, V::Text(L"3")},
       {kImportance, V::Int32(0)}, {kSensitivity, V::Int32(kSensitivityPrivate)}},
      &weekly);
  // clang-format on
  EXPECT_EQ(CreateAppsBuffer(meeting),
            "Team meeting\t7/3/2006*9:0*\t7/3/2006*10:5*\t30\tfalse\tnono\tnono\tnono\tnono\tB-7\tWork\tRoom 4\t3\t0\t"
            "true\t65*nono*1\t0\t4\t65\t10:5\t0\t0\t1\t0\t1\tNoEndDate\t7/3/2006\t0\t9:0\t\n");
  const DispatchDriver note = UserItem(os::ItemKind::Note, kNotePlace, "Call back", {});
  EXPECT_EQ(CreateNoteBuffer(note, ""), "Call back**\n");
}

// A pattern type outside 0 to 6 is logged and shown once the Outlook work is over; the record goes
// without the pattern.
TEST_F(ItemRecordsTest, UnknownPatternTypeIsReportedAndLeftOut) {
  const os::PropertyList odd{{kRecurrenceType, V::Int32(7)}}, negative{{kRecurrenceType, V::Int32(-1)}};
  const DispatchDriver task = UserItem(os::ItemKind::Task, kTaskPlace, "Odd", {}, &odd);
  const DispatchDriver meeting = UserItem(os::ItemKind::Appointment, kAppointmentPlace, "Odd", {}, &negative);
  boxesSeen = {};
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, PressOkOnBoxes);
  std::vector<std::string> records;
  {
    const OutlookWork event;
    records = {CreateTaskBuffer(task, "5"), CreateAppsBuffer(meeting, "5")};
    os::PumpMessagesUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(boxesSeen.count, 0) << "no box while Outlook waits for its event";
  }
  os::PumpMessagesUntil([] { return boxesSeen.count == 2; });
  KillTimer(nullptr, timer);

  for (const std::string& record : records) EXPECT_EQ(record.substr(record.size() - 15), "*5*norecurring\n");
  EXPECT_EQ(boxesSeen.count, 2);
  EXPECT_EQ(boxesSeen.text, kUnknownPatternText);
  EXPECT_FALSE(boxesSeen.owned);
  const std::vector<std::string> lines{kUnknownPatternLog + std::string("7"), kUnknownPatternLog + std::string("-1")};
  EXPECT_EQ(LogTexts(), lines);
}

class FolderSinksTest : public ItemRecordsTest {
protected:
  // Each record received as the last hex digit of its kind, its first field and its link id.
  std::vector<std::string> Received() const {
    std::vector<std::string> seen;
    for (const auto& [kind, r] : mainApp_.copies) {
      const size_t linkEnd = r.rfind('*'), linkStart = r.rfind('*', linkEnd - 1);
      seen.push_back("0123456789ABCDEF"[kind & 0xF] + (" " + r.substr(0, r.find_first_of("\t*"))) + " " +
                     r.substr(linkStart + 1, linkEnd - linkStart - 1));
    }
    return seen;
  }

  TestWindow mainApp_{"Orvane Main", "Orvane"};
};

TEST_F(FolderSinksTest, SinkAnswersEveryEventWithSuccessReportingEachStateOfAnItemOnce) {
  const ComPtr<FolderEventSink> sink = FolderEventSink::Create(kinds::kTask, std::make_shared<DeletionWatch>(),
                                                               std::make_shared<KnownStates>(), nullptr);
  const DispatchDriver item = UserItem(os::ItemKind::Task, kTaskPlace, "Report", {});
  IDispatch* byReference = item.Get();
  const ULONG references = (item.Get()->AddRef(), item.Get()->Release());
  os::FailCall(os::ObjectKind::TaskItem, kSubject, os::CallKind::Get, L"Outlook is busy");
  // Outlook fails the first; the next three carry no item; the item by reference is the item, and
  // once it is reported its state is no news.
  // clang-format off
  const std::tuple<DISPID, VARTYPE, UINT> events[] = {{kItemAdd, VT_DISPATCH, 1}, {0xF004, VT_DISPATCH, 1},
      {kItemChange, VT_I4, 1}, {kItemAdd, VT_DISPATCH, 0}, {kItemAdd, VT_DISPATCH | VT_BYREF, 1},
      {kItemChange, VT_DISPATCH, 1}, {kItemChange, VT_DISPATCH | VT_BYREF, 1}};
  // clang-format on
  for (const auto& [id, type, count] : events) {
    VARIANT argument{};
    argument.vt = type;
    if (type == VT_DISPATCH) argument.pdispVal = item.Get();
    if (type == (VT_DISPATCH | VT_BYREF)) argument.ppdispVal = &byReference;
    DISPPARAMS params{&argument, nullptr, count, 0};
    EXPECT_EQ(sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
  }
  EXPECT_EQ(Received(), std::vector<std::string>{"6 Report nono"});
  EXPECT_EQ(LogTexts(), (std::vector<std::string>{
                            "OrvaneOutlook=>Itemadded::Outlook is busy",
                            "OrvaneOutlook=>Itemchanged::event without its item (argument of type 0x0003), dropped",
                            "OrvaneOutlook=>Itemadded::event without its item (no argument), dropped"}));
  EXPECT_EQ((item.Get()->AddRef(), item.Get()->Release()), references) << "the event's item is only borrowed";
}

// The sink of the tasks folder, advised as the frame advises it, with the states it shares.
class TaskSinkTest : public FolderSinksTest {
protected:
  void Connect() {
    link_.Connect(kFolderTasks, [this] {
      sink_ = FolderEventSink::Create(kinds::kTask, std::make_shared<DeletionWatch>(), known_, nullptr);
      return sink_;
    });
  }

  const std::shared_ptr<KnownStates> known_ = std::make_shared<KnownStates>();
  ComPtr<FolderEventSink> sink_;
  FolderLink link_;
};

TEST_F(TaskSinkTest, OwnWritesAndOutlooksRepeatsAreNoNewsButEachChangeOfTheUserIsReportedOnce) {
  Connect();
  os::LateChange(0);
  {
    const OwnWritesListener listening(*known_);
    std::string record = testcommon::TaskFields().Joined();
    inbound::SaveOutlookTask(record.data());
    record = testcommon::TaskFields().Set(1, "Call the bank again").JoinedAfter("Call the bank");
    SubjectLookup lookup;
    inbound::ChangeOutlookTask(record.data(), lookup);
  }
  ASSERT_TRUE(os::RaisePostedEvents());
  EXPECT_TRUE(Received().empty()) << "the write and Outlook's later change of it";
  os::ChangeItem(kFolderTasks, 1, {{kPercentComplete, V::Int32(50)}});
  ASSERT_TRUE(os::RaisePostedEvents());
  os::ChangeItem(kFolderTasks, 1, {{kPercentComplete, V::Int32(60)}});
  ASSERT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(Received(), (std::vector<std::string>{"9 Call the bank again 57", "9 Call the bank again 57"}));
}

// An item whose first call lets COM deliver the events waiting meanwhile, as an out-of-process
// call does while it waits for Outlook's answer.
class PumpingItem final : public DispatchWithoutTypeInfo<> {
public:
  explicit PumpingItem(ComPtr<IDispatch> inner) : inner_(std::move(inner)) {}
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) noexcept override {
    return inner_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument) noexcept override {
    if (!std::exchange(pumped_, true)) os::RaisePostedEvents();
    return inner_->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }

private:
  ComPtr<IDispatch> inner_;
  bool pumped_ = false;
};

TEST_F(TaskSinkTest, EventsThatComeWhileAHandlerWaitsOnOutlookAreHandledAfterItInTheirOrder) {
  AddItem(os::ItemKind::Task, "Old");
  const DispatchDriver asItWas = FindItemBySubject(kTaskPlace, "Old");
  Connect();
  os::ChangeItem(kFolderTasks, 1, {{kSubject, V::Text(L"New")}});
  os::AddItem(os::ItemKind::Task, {{kSubject, V::Text(L"Other")}});
  const ComPtr<IDispatch> item = MakeComObject<PumpingItem>(ComPtr<IDispatch>::Share(asItWas.Get()));
  VARIANT argument{};
  argument.vt = VT_DISPATCH;
  argument.pdispVal = item.Get();
  DISPPARAMS params{&argument, nullptr, 1, 0};
  EXPECT_EQ(sink_->Invoke(kItemChange, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
  // The user's newer subject comes last, so the main application keeps it.
  EXPECT_EQ(Received(), (std::vector<std::string>{"9 Old 0", "9 New 0", "6 Other nono"}));
  EXPECT_EQ(os::PendingEvents(), 0u);
}

// A frame that has no memory for the calendar's sink the first time.
class ShortOfMemoryFrame final : public CMainFrame {
  ComPtr<FolderEventSink> CreateFolderSink(uint32_t kind) override {
    if (kind == kinds::kAppointment && std::exchange(shortOfMemory_, false)) throw std::bad_alloc();
    return CMainFrame::CreateFolderSink(kind);
  }
  bool shortOfMemory_ = true;
};

TEST_F(FolderSinksTest, ConnectedFrameReportsEachFolderWithItsKindAndLinkIdUntilDisconnected) {
  ShortOfMemoryFrame frame;
  frame.ConnectSinks();
  EXPECT_EQ(os::SinkCount(kFolderTasks) + os::SinkCount(kFolderNotes), 2u);
  EXPECT_TRUE(sinksConnected && os::SinkCount(kFolderCalendar) == 0) << "skipped, not tried again on every tick";
  frame.ConnectSinks();
  EXPECT_EQ(os::SinkCount(kFolderTasks) + os::SinkCount(kFolderCalendar) + os::SinkCount(kFolderNotes), 3u);
  // Each event is raised once the user's change has returned, before the next change.
  const auto change = [](int32_t folder, const os::PropertyList& properties) {
    os::ChangeItem(folder, 1, properties);
    EXPECT_TRUE(os::RaisePostedEvents());
  };
  AddItem(os::ItemKind::Task, "Report", {{kInternetCodepage, V::Int32(42)}});
  change(kFolderTasks, {{kInternetCodepage, V::Int32(-7)}});
  AddItem(os::ItemKind::Appointment, "Dentist");
  change(kFolderCalendar, {{kLocation, V::Text(L"Room 4")}});
  AddItem(os::ItemKind::Note, "Call back", {{kCategories, V::Text(L"17")}});
  change(kFolderNotes, {{kCategories, V::Text(L"")}});
  AddItem(os::ItemKind::Task, "");
  os::ChangeItem(kFolderTasks, 2, {{kSubject, V::Text(L"Named")}});
  EXPECT_TRUE(os::RaisePostedEvents());
  os::FailCall(os::ObjectKind::TaskItem, kSubject, os::CallKind::Get, L"Outlook is busy");
  AddItem(os::ItemKind::Task, "Lost");
  AddItem(os::ItemKind::Task, std::string(3000, 'L'));
  os::RemoveItem(kFolderTasks, 1);
  EXPECT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(Received(), (std::vector<std::string>{"6 Report nono", "9 Report -7", "7 Dentist nono", "A Dentist 0",
                                                  "8 Call back nono", "B Call back ", "9 Named 0",
                                                  "6 " + std::string(3000, 'L') + " nono"}));
  EXPECT_EQ(LogTexts(), (std::vector<std::string>{"OrvaneOutlook=>ConnectSinks::Out of memory, folder 9 is not watched",
                                                  "OrvaneOutlook=>Itemadded::Outlook is busy",
                                                  "Itemdeleted()::Step 1::Itemdeleted Called Successfully"}));
  frame.DisconnectSinks();
  frame.DisconnectSinks();
  EXPECT_FALSE(sinksConnected);
  EXPECT_EQ(os::SinkCount(kFolderTasks) + os::SinkCount(kFolderCalendar) + os::SinkCount(kFolderNotes), 0u);
}

}  // namespace

}  // namespace orvane
