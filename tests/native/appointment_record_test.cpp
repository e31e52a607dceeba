#include "inbound/appointment_record.h"

#include <gtest/gtest.h>

#include <string>

#include "inbound/record_fields.h"
#include "tests/common/record_builder.h"

namespace orvane {

namespace {

using inbound::AppointmentRecord;
using testcommon::AppointmentFields;
using testcommon::RecordBuilder;
namespace field = inbound::appointmentfield;

constexpr char kZero[] = "1899-12-30 00:00";
constexpr char kNone[] = "none";

inbound::AppointmentRecord Read(const RecordBuilder& fields) {
  return inbound::ReadAppointmentRecord(fields.Joined()).value();
}

std::string Show(const std::optional<double>& date) { return date ? testcommon::Show(*date) : kNone; }

struct StartCase {
  const char* startTime;
  const char* block;
  const char* start;
  const char* blockStart;  // kNone: the block is not used
  const char* end;
};

TEST(AppointmentRecord, StartAndEndComeFromTheStartFieldsAndTheEndBlock) {
  const StartCase kCases[] = {
      {"12:30pm", "12/12/2006*10:00am*11:30am", "2006-12-12 12:30", "2006-12-12 10:00", "2006-12-12 11:30"},
      // The start keeps the start date; the end has the block's date.
      {"12:05am", "13/12/2006*12:30pm*12:05am", "2006-12-12 00:05", "2006-12-12 12:30", "2006-12-13 00:05"},
      // A run of "*" is one separator: 3:00pm is the start time, and there is no end.
      {"9:00am", "25/12/2006**3:00pm", "2006-12-12 09:00", "2006-12-12 15:00", kNone},
      // A start time that cannot be read leaves the start as it was.
      {"9:00am", "12/12/2006*10:00*11:30am", "2006-12-12 09:00", "2006-12-12 09:00", "2006-12-12 11:30"},
      // An end time that cannot be read gives the zero date; the end time is the rest of the block.
      {"9:00am", "12/12/2006*10:00am*11:30", "2006-12-12 09:00", "2006-12-12 10:00", kZero},
      {"9:00am", "12/12/2006*10:00am*11:30am*later", "2006-12-12 09:00", "2006-12-12 10:00", kZero},
      // "not done", or an end date that is no date, sets neither the start nor the end again.
      {"9:00am", "not done", "2006-12-12 09:00", kNone, kNone},
      {"9:00am", "31/2/2006*10:00am*11:30am", "2006-12-12 09:00", kNone, kNone},
  };
  for (const auto& c : kCases) {
    const inbound::AppointmentRecord appointment =
        Read(AppointmentFields().Set(field::kStartTime, c.startTime).Set(field::kEndBlock, c.block));
    SCOPED_TRACE(std::string(c.startTime) + " " + c.block);
    EXPECT_EQ(Show(appointment.start), c.start);
    EXPECT_EQ(appointment.endBlock ? Show(appointment.endBlock->start) : kNone, c.blockStart);
    EXPECT_EQ(appointment.endBlock ? Show(appointment.endBlock->end) : kNone, c.end);
  }
  EXPECT_EQ(Show(Read(AppointmentFields().Set(field::kStartDate, "31/2/2006")).start), kZero);
}

TEST(AppointmentRecord, ShortOnlyWhenAFieldTheWritersReadIsMissing) {
  const auto isShort = [](const char* type, int lastField) {
    return Read(AppointmentFields().Set(field::kRecurrenceType, type).EndAt(lastField)).isShort;
  };
  EXPECT_FALSE(isShort("norecurring", 18));
  EXPECT_TRUE(isShort("norecurring", 17));
  EXPECT_FALSE(isShort("1", 29));
  EXPECT_TRUE(isShort("1", 28));
  EXPECT_FALSE(Read(AppointmentFields().EndAt(3)).reminder);
  EXPECT_FALSE(Read(AppointmentFields().EndAt(2)).start);
}

TEST(AppointmentRecord, SubjectMarkerAndReminderLeadWithoutColon) {
  EXPECT_EQ(Read(AppointmentFields().Set(field::kSubject, std::string(inbound::kBlankSubject))).subject, "");
  const auto reminder = Read(AppointmentFields().Set(field::kReminderLead, "15")).reminder;
  EXPECT_TRUE(reminder->set);
  EXPECT_EQ(reminder->minutesBeforeStart, 15 * 60);
}

}  // namespace

}  // namespace orvane
