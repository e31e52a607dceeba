// The task record of the main application, read into what it asks the task writers to write.
#pragma once

#include "inbound/record_layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::inbound {

// Field numbers of the task record. The change record puts the search subject in front of
// them as field 0.
namespace taskfield {
constexpr int kSearchSubject = 0;
constexpr int kSubject = 1;
constexpr int kStartDate = 2;
constexpr int kDue = 3;  // date "*" first time "*" due time
constexpr int kReminderWanted = 4;
constexpr int kReminderDate = 5;  // sent, never used
constexpr int kReminderOffset = 6;
constexpr int kDateCompleted = 7;
constexpr int kFractionComplete = 8;
constexpr int kTotalWork = 9;
constexpr int kActualWork = 10;
constexpr int kBillingInformation = 11;
constexpr int kCategories = 12;
constexpr int kCompanies = 13;
constexpr int kContactNames = 14;
constexpr int kMileage = 15;
constexpr int kBody = 16;
constexpr int kImportance = 17;
constexpr int kPrivate = 18;
constexpr int kRole = 19;
constexpr int kSchedulePriority = 20;
constexpr int kSensitivityReset = 21;
constexpr int kStatusReset = 22;
constexpr int kLinkId = 23;
constexpr int kRecurrenceType = 24;  // first field of the recurrence block
constexpr int kDayOfWeekMask = 26;
constexpr int kInterval = 31;
constexpr int kEndFlag = 33;
constexpr int kPatternEndDate = 34;
constexpr int kPatternStartDate = 35;
constexpr int kLast = 37;  // later fields are ignored
}  // namespace taskfield

// Placeholder words, compared with their case.
constexpr std::string_view kNoDueDate = "not done";
constexpr std::string_view kNotDone = "not Done";
constexpr std::string_view kNoDueTime = "not added";
constexpr std::string_view kBlank = "blank";

// TaskReminder minutes used for a due time of "not added": 23:59 of the due day.
constexpr long kEndOfDayMinutes = 1439;

// What the fraction-complete field asks for.
enum class Completion {
  Untouched,  // any other text
  Full,       // "1.000"
  None,       // "0.000"
};

using Recurrence = inbound::Recurrence;

struct TaskReminder {
  bool set = false;
  double time = 0.0;  // OLE Automation date; meaningful only when set
};

// Each member is a write the record asks for; an empty one leaves the property as it is.
// Dates are OLE Automation dates; a present date field that forms no real date gives the zero date.
struct TaskRecord {
  std::string subject;
  std::optional<int32_t> linkId;
  std::optional<double> startDate;
  std::optional<double> dueDate;
  std::optional<TaskReminder> reminder;
  std::optional<double> dateCompleted;
  Completion completion = Completion::Untouched;
  std::optional<int32_t> totalWork;
  std::optional<int32_t> actualWork;
  std::optional<std::string> billingInformation;
  std::optional<std::string> categories;
  std::optional<std::string> companies;
  std::optional<std::string> contactNames;
  std::optional<std::string> mileage;
  std::optional<std::string> body;
  bool importanceNormal = false;
  bool makePrivate = false;
  std::optional<std::string> role;
  bool schedulePriorityNormal = false;
  bool resetSensitivity = false;
  bool resetStatus = false;
  std::optional<Recurrence> recurrence;
  // Set when the record ended before a field that the writers read, or when it asked for a
  // reminder at a time outside the dates Outlook can hold (the reminder is then left as it is).
  bool isShort = false;
};

struct TaskChangeRecord {
  std::string searchSubject;
  TaskRecord task;  // without its link id: a change never rewrites the one the task carries
  // The link id the record names, which tells its task from others with the subject.
  std::optional<int32_t> linkId;
};

// Reads a task record (fields 1 to 37); no value when it has no subject field.
std::optional<TaskRecord> ReadTaskRecord(std::string_view record);
// Reads a change record (field 0, then fields 1 to 37); no value without both subject fields.
std::optional<TaskChangeRecord> ReadTaskChangeRecord(std::string_view record);

}  // namespace orvane::inbound
