// The appointment record of the main application, read into what it asks the appointment
// writers to write.
#pragma once

#include "inbound/record_layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::inbound {

// Field numbers of the appointment record. The change record puts the lookup subject in front
// of them as field 0. Fields not listed are sent and never read.
namespace appointmentfield {
constexpr int kSearchSubject = 0;
constexpr int kSubject = 1;
constexpr int kStartDate = 2;
constexpr int kStartTime = 3;
constexpr int kEndBlock = 4;  // "not done", or end date "*" start time "*" end time
constexpr int kAllDay = 6;
constexpr int kReminderWanted = 7;
constexpr int kReminderLead = 9;  // hours ":" minutes
constexpr int kText = 10;
constexpr int kBody = 11;
constexpr int kLocation = 12;
constexpr int kImportance = 13;
constexpr int kPrivate = 14;
constexpr int kDuration = 16;  // hours "." hundredths
constexpr int kLinkId = 17;
constexpr int kRecurrenceType = 18;  // first field of the recurrence block
constexpr int kDayOfWeekMask = 20;
constexpr int kInterval = 25;
constexpr int kEndFlag = 27;
constexpr int kPatternEndDate = 28;
constexpr int kPatternStartDate = 29;
constexpr int kLast = 31;  // later fields are ignored
}  // namespace appointmentfield

// The end block field of an appointment without end.
constexpr std::string_view kNoEnd = "not done";

// What a usable end block asks for: the start again, its time of day taken from the block, and
// the end.
struct EndBlock {
  // The start date at the block's start time, or at the start time field when the block has
  // none; the start as it was when that time cannot be read.
  double start = 0.0;
  // The end date at the block's end time (the zero date when that time cannot be read); no
  // value when the block has no end time.
  std::optional<double> end;
};

struct AppointmentReminder {
  bool set = false;
  int32_t minutesBeforeStart = 0;  // only when set; a lead without ":" counts whole hours
};

// Each member is a write the record asks for; an empty one leaves the property as it is.
// Dates are OLE Automation dates.
struct AppointmentRecord {
  std::string subject;
  std::optional<int32_t> linkId;
  // The start date at the start time; the zero date when they form no date and time.
  std::optional<double> start;
  // None when the end block is "not done" or its end date forms no date.
  std::optional<EndBlock> endBlock;
  std::optional<int32_t> durationMinutes;
  std::optional<bool> allDay;
  std::optional<AppointmentReminder> reminder;
  std::optional<std::string> text;  // the appointment's text property 0x8243
  std::optional<std::string> body;
  std::optional<std::string> location;
  std::optional<int32_t> importance;
  bool makePrivate = false;
  std::optional<inbound::Recurrence> recurrence;
  // Set when the record ended before a field that the writers read.
  bool isShort = false;
};

struct AppointmentChangeRecord {
  std::string searchSubject;
  AppointmentRecord appointment;  // without its link id: a change keeps the one the item carries
  // The link id the record names, which tells its appointment from others with the subject.
  std::optional<int32_t> linkId;
};

// Reads an appointment record (fields 1 to 31); pattern dates at midnight. No value without a
// subject field.
std::optional<AppointmentRecord> ReadAppointmentRecord(std::string_view record);
// Reads a change record (field 0, then fields 1 to 31); pattern start date at 10:00, pattern
// end date at 11:00, and no link id. No value without both subject fields.
std::optional<AppointmentChangeRecord> ReadAppointmentChangeRecord(std::string_view record);

// The time of day of a date-time as a pattern time: the zero date at that hour and minute.
double PatternTime(double dateTime);

}  // namespace orvane::inbound
