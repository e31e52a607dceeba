// An appointment record built field by field, for the tests of its reading and of its writers.
#pragma once

#include "inbound/appointment_record.h"
#include "outlook/ole_date.h"

#include <cstdio>
#include <string>
#include <vector>

namespace orvane {

namespace recordtest {

// A complete record of a single appointment with neutral values, which a test changes where it
// is about something or cuts short. Field numbers are those of the appointment record.
class AppointmentFields {
public:
  // clang-format off
  AppointmentFields()
      : fields_{"Dentist", "12/12/2006", "9:00am", "12/12/2006*9:00am*10:00am", "0", "False", "True", "0", "0:15",
                "Orvane", "Bring the card", "Harbour Street 4/2", "2", "False", "0", "1.00", "4711", "norecurring",
                "0", "0", "0", "0", "0", "0", "1", "0", "0", "0", "12/12/2006", "0", "0"} {}
  // clang-format on

  AppointmentFields& Set(int number, std::string value) {
    fields_.at(static_cast<size_t>(number - 1)) = std::move(value);
    return *this;
  }
  // Keeps fields 1 to number.
  AppointmentFields& EndAt(int number) {
    fields_.resize(static_cast<size_t>(number));
    return *this;
  }
  // Every second week on Monday, Wednesday and Friday (mask 42) from 13/12/2006 to 31/12/2006.
  AppointmentFields& Weekly() {
    namespace field = appointmentrecord::field;
    return Set(field::kRecurrenceType, "1")
        .Set(field::kDayOfWeekMask, "42")
        .Set(field::kInterval, "2")
        .Set(field::kEndFlag, "1")
        .Set(field::kPatternEndDate, "31/12/2006")
        .Set(field::kPatternStartDate, "13/12/2006");
  }

  // The fields joined by tabs, or by another separator (such as the "\\t" of a command line).
  std::string Text(const std::string& separator = "\t") const {
    std::string text;
    for (const std::string& f : fields_) text += (text.empty() ? "" : separator) + f;
    return text;
  }
  // The change record that looks for the appointment by this subject.
  std::string ChangeText(const std::string& searchSubject) const { return searchSubject + "\t" + Text(); }

private:
  std::vector<std::string> fields_;
};

// An OLE date to the minute, so that a wrong minute shows as a wrong minute.
inline std::string ShowDate(double oleDate) {
  const auto value = oledate::ToDateTime(oleDate);
  if (!value) return "no date";
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", value->year, value->month, value->day, value->hour,
                value->minute);
  return text;
}

}  // namespace recordtest

}  // namespace orvane
