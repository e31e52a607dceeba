// CreateTaskBuffer, CreateAppsBuffer and CreateNoteBuffer against the stand-in Outlook in this process.
#include "outbound/item_records.h"
#include "inbound/item_lookup.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using V = os::Value;

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
       {kReminderMinutesBeforeStart, V::Int32(30)}, {kAllDayEvent, V::Bool(true)}, {kBillingInformation, V::Text(L"B-7")},
       {kCategories, V::Text(L"Work")}, {kLocation, V::Text(L"Room 4")}, {kMileage, V::Text(L"3")},
       {kImportance, V::Int32(0)}, {kSensitivity, V::Int32(kSensitivityPrivate)}},
      &weekly);
  // clang-format on
  EXPECT_EQ(CreateAppsBuffer(meeting),
            "Team meeting\t7/3/2006*9:0*\t7/3/2006*10:5*\t30\ttrue\tnono\tnono\tnono\tnono\tB-7\tWork\tRoom 4\t3\t0\t"
            "true\t65*nono*1\t0\t4\t65\t10:5\t0\t0\t1\t0\t1\tNoEndDate\t7/3/2006\t0\t9:0\t\n");
  const DispatchDriver note = UserItem(os::ItemKind::Note, kNotePlace, "Call back", {});
  EXPECT_EQ(CreateNoteBuffer(note, ""), "Call back**\n");
}

// A pattern type outside 0 to 6 is logged and shown; the record goes without the pattern.
TEST_F(ItemRecordsTest, UnknownPatternTypeIsReportedAndLeftOut) {
  const os::PropertyList odd{{kRecurrenceType, V::Int32(7)}}, negative{{kRecurrenceType, V::Int32(-1)}};
  const DispatchDriver task = UserItem(os::ItemKind::Task, kTaskPlace, "Odd", {}, &odd);
  const DispatchDriver meeting = UserItem(os::ItemKind::Appointment, kAppointmentPlace, "Odd", {}, &negative);
  std::vector<std::string> records;
  {
    const BoxPresser presser(kUnknownPatternCaption);
    records = {CreateTaskBuffer(task, "5"), CreateAppsBuffer(meeting, "5")};
    EXPECT_EQ(presser.Count(), 2);
    EXPECT_EQ(presser.LastText(), kUnknownPatternText);
    EXPECT_FALSE(presser.LastOwned());
  }

  for (const std::string& record : records) EXPECT_EQ(record.substr(record.size() - 15), "*5*norecurring\n");
  const std::vector<std::string> lines{kUnknownPatternLog + std::string("7"), kUnknownPatternLog + std::string("-1")};
  EXPECT_EQ(LogTexts(), lines);
}

}  // namespace

}  // namespace orvane
