#include "tests/common/record_builder.h"

#include "inbound/appointment_record.h"
#include "outlook/ole_date.h"

#include <cstdio>

namespace orvane {

namespace testcommon {

RecordBuilder& RecordBuilder::Set(int number, std::string text) {
  fields_.at(static_cast<size_t>(number - 1)) = std::move(text);
  return *this;
}

RecordBuilder& RecordBuilder::EndAt(int number) {
  fields_.resize(static_cast<size_t>(number));
  return *this;
}

std::string RecordBuilder::Joined(std::string_view separator) const {
  std::string text;
  for (const std::string& field : fields_) {
    if (&field != &fields_.front()) text += separator;
    text += field;
  }
  return text;
}

std::string RecordBuilder::JoinedAfter(std::string_view searchSubject) const {
  return std::string(searchSubject) + '\t' + Joined();
}

RecordBuilder TaskFields() {
  // clang-format off
  return RecordBuilder({"Call the bank", "5/11/2006", "10/11/2006*9:00am*9:30am", "True", "10/11/2006", "0:15",
                        "not Done", "0.500", "120", "not Done", "blank", "blank", "blank", "blank", "blank", "blank",
                        "High", "False", "blank", "high", "blank", "blank", "57", "norecurring", "0", "0", "0", "0",
                        "0", "0", "0", "0", "0", "0", "0", "0", "0"});
  // clang-format on
}

RecordBuilder AppointmentFields() {
  // clang-format off
  return RecordBuilder({"Dentist", "12/12/2006", "9:00am", "12/12/2006*9:00am*10:00am", "0", "False", "True", "0",
                        "0:15", "Orvane", "Bring the card", "Harbour Street 4/2", "2", "False", "0", "1.00", "4711",
                        "norecurring", "0", "0", "0", "0", "0", "0", "1", "0", "0", "0", "12/12/2006", "0", "0"});
  // clang-format on
}

RecordBuilder Weekly(RecordBuilder appointment) {
  namespace field = inbound::appointmentfield;
  return appointment.Set(field::kRecurrenceType, "1")
      .Set(field::kDayOfWeekMask, "42")
      .Set(field::kInterval, "2")
      .Set(field::kEndFlag, "1")
      .Set(field::kPatternEndDate, "31/12/2006")
      .Set(field::kPatternStartDate, "13/12/2006");
}

double Date(int year, int month, int day, int hour, int minute) {
  return outlook::FromDateTime({year, month, day, hour, minute}).value();
}

std::string Show(double oleDate) {
  const auto value = outlook::ToDateTime(oleDate);
  if (!value) return "no date";
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", value->year, value->month, value->day, value->hour,
                value->minute);
  return text;
}

}  // namespace testcommon

}  // namespace orvane
