// Records of the main application built field by field, and OLE dates in readable form, for the
// tests of the record readers and of the writers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

namespace testcommon {

// A record as its fields, numbered from 1: a complete record of neutral values that a test
// changes where it is about something, or cuts short.
class RecordBuilder {
public:
  RecordBuilder(std::vector<std::string> fields) : fields_(std::move(fields)) {}

  RecordBuilder& Set(int number, std::string text);
  // Keeps fields 1 to number.
  RecordBuilder& EndAt(int number);
  // The fields joined by single tabs, or by another separator (such as a command line's "\\t").
  std::string Joined(std::string_view separator = "\t") const;
  // The change record that looks for the item by this subject: it comes first, as field 0.
  std::string JoinedAfter(std::string_view searchSubject) const;

private:
  std::vector<std::string> fields_;
};

// The 37 fields of a task record: a task with a due date, a reminder and no recurrence.
RecordBuilder TaskFields();
// The 31 fields of an appointment record: a single appointment with an end, a reminder and a
// link id.
RecordBuilder AppointmentFields();
// An appointment record made into a series: every second week on Monday, Wednesday and Friday
// from 13/12/2006 to 31/12/2006.
RecordBuilder Weekly(RecordBuilder appointment);

// An OLE date at a calendar date and clock time, and an OLE date shown to the minute.
double Date(int year, int month, int day, int hour = 0, int minute = 0);
std::string Show(double oleDate);

}  // namespace testcommon

}  // namespace orvane
