// The outbound records against the stand-in Outlook in this process: the three builders.
#include "outbound/item_records.h"
#include "outlook/outlook_session.h"
#include "base/work_scope.h"
#include "inbound/item_lookup.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <string>

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
    if (std::string(caption) == outbound::kUnknownPatternCaption)
      boxesSeen = {boxesSeen.count + 1, text, GetWindow(box, GW_OWNER) != nullptr};
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }
}

class ItemRecordsTest : public WriterTest {
protected:
  WorkUnderWay work_{"boxes while Outlook waits for its event"};
  outbound::LaterBoxes boxes_{work_};
};

TEST_F(ItemRecordsTest, TaskWithEveryFieldSet) {
  // clang-format off
  const os::PropertyList pattern{{kInterval, V::Int32(2)}, {kDayOfWeekMask, V::Int32(20)}, {kOccurrences, V::Int32(10)},
      {kNoEndDate, V::Bool(false)}, {kPatternEndDate, V::Date(Date(2006, 5, 9))}};
  const outlook::DispatchDriver task = UserItem(os::ItemKind::Task, items::kTaskItems, "Call the bank",
      {{kStartDate, V::Date(Date(2006, 3, 5))}, {kDueDate, V::Date(Date(2006, 3, 20))}, {kReminderSet, V::Bool(true)},
       {kReminderTime, V::Date(Date(2006, 2, 1, 7, 5))}, {kDateCompleted, V::Date(Date(2006, 3, 21))},
       {kTotalWork, V::Int32(120)}, {kActualWork, V::Int32(60)}, {kBillingInformation, V::Text(L"B-7")},
       {kCategories, V::Text(L"Work")}, {kCompanies, V::Text(L"Acme")}, {kContactNames, V::Text(L"Ann")},
       {kMileage, V::Text(L"12 km")}, {kBody, V::Text(L"never sent")}, {kImportance, V::Int32(2)},
       {kSensitivity, V::Int32(kSensitivityPrivate)}, {kRole, V::Text(L"Lead")}, {kSchedulePlusPriority, V::Text(L"high")}},
      &pattern);
  // clang-format on

  // Saved complete, the series moved on to its next occurrence (Tuesday 21 March, the week of the
  // pattern's start being the first of every other one) beside a completed copy of the occurrence.
  EXPECT_EQ(outbound::CreateTaskBuffer(task, boxes_, "-42"),
            "Call the bank\t6/3/2006\t21/3/2006\t1/2/2006*7:5*\tnono\t0.000\t120\t60\tB-7\tWork\tAcme\tnono\t"
            "12 km\tNo Notes\t2\t2\tLead\thigh\t2\t0*-42*1\t0\t20\t0\t0:0\t10\t0\t2\t0\t0\t9/5/2006\t21/3/2006\t0\t"
            "0:0\t\n");
  EXPECT_EQ(os::CallCount(os::ObjectKind::TaskItem, kSensitivity, os::CallKind::Get), 2);
  EXPECT_EQ(os::CallCount(os::ObjectKind::RecurrencePattern, kNoEndDate, os::CallKind::Get), 2);
  EXPECT_EQ(os::CallCount(kGetRecurrencePattern), 1);
  EXPECT_EQ(os::CallCount(kBody) + os::CallCount(kContactNames), 0);

  const std::vector<os::ItemData> tasks = os::FolderItems(kFolderTasks);
  ASSERT_EQ(tasks.size(), 2u);
  const std::wstring doneId = tasks[1].Get(os::kEntryId).AsText();
  const outlook::DispatchDriver done = session_.Namespace().InvokeForObject(kGetItemFromId, Variant::Wide(doneId));
  EXPECT_EQ(outbound::CreateTaskBuffer(done, boxes_, "-42"),
            "Call the bank\t5/3/2006\t20/3/2006\t1/2/2006*7:5*\t21/3/2006\t1.000\t120\t60\tB-7\tWork\tAcme\tnono\t"
            "12 km\tNo Notes\t2\t2\tLead\thigh\t2\t2*-42*norecurring\t\n");
}

TEST_F(ItemRecordsTest, AppointmentWithEveryFieldSetAndNote) {
  const os::PropertyList weekly;  // as Outlook fills a new pattern: weekly on its Tuesday, no end
  // clang-format off
  const outlook::DispatchDriver meeting = UserItem(os::ItemKind::Appointment, items::kAppointmentItems, "Team meeting",
      {{kStart, V::Date(Date(2006, 3, 7, 9, 0))}, {kEnd, V::Date(Date(2006, 3, 7, 10, 5))}, {kReminderSet, V::Bool(true)},
       {kReminderMinutesBeforeStart, V::Int32(30)}, {kAllDayEvent, V::Bool(false)}, {kBillingInformation, V::Text(L"B-7")},
       {kCategories, V::Text(L"Work")}, {kLocation, V::Text(L"Room 4")}, {kMileage, V::Text(L"3")},
       {kImportance, V::Int32(0)}, {kSensitivity, V::Int32(kSensitivityPrivate)}},
      &weekly);
  // clang-format on
  EXPECT_EQ(outbound::CreateAppsBuffer(meeting, boxes_),
            "Team meeting\t7/3/2006*9:0*\t7/3/2006*10:5*\t30\tfalse\tnono\tnono\tnono\tnono\tB-7\tWork\tRoom 4\t3\t0\t"
            "true\t65*nono*1\t0\t4\t65\t10:5\t0\t0\t1\t0\t1\tNoEndDate\t7/3/2006\t0\t9:0\t\n");
  const outlook::DispatchDriver note = UserItem(os::ItemKind::Note, items::kNoteItems, "Call back", {});
  EXPECT_EQ(outbound::CreateNoteBuffer(note, boxes_, ""), "Call back**\n");
}

// A pattern type outside 0 to 6 is logged and shown once the Outlook work is over; the record goes
// without the pattern.
TEST_F(ItemRecordsTest, UnknownPatternTypeIsReportedAndLeftOut) {
  const os::PropertyList odd{{kRecurrenceType, V::Int32(7)}}, negative{{kRecurrenceType, V::Int32(-1)}};
  const outlook::DispatchDriver task = UserItem(os::ItemKind::Task, items::kTaskItems, "Odd", {}, &odd);
  const outlook::DispatchDriver meeting =
      UserItem(os::ItemKind::Appointment, items::kAppointmentItems, "Odd", {}, &negative);
  boxesSeen = {};
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, PressOkOnBoxes);
  std::vector<std::string> records;
  {
    const WorkScope event(work_);
    records = {outbound::CreateTaskBuffer(task, boxes_, "5"), outbound::CreateAppsBuffer(meeting, boxes_, "5")};
    os::PumpMessagesUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(boxesSeen.count, 0) << "no box while Outlook waits for its event";
  }
  os::PumpMessagesUntil([] { return boxesSeen.count == 2; });
  KillTimer(nullptr, timer);

  for (const std::string& record : records) EXPECT_EQ(record.substr(record.size() - 15), "*5*norecurring\n");
  EXPECT_EQ(boxesSeen.count, 2);
  EXPECT_EQ(boxesSeen.text, outbound::kUnknownPatternText);
  EXPECT_FALSE(boxesSeen.owned);
  const std::vector<std::string> lines{outbound::kUnknownPatternLog + std::string("7"),
                                       outbound::kUnknownPatternLog + std::string("-1")};
  EXPECT_EQ(LogTexts(), lines);
}

}  // namespace

}  // namespace orvane
