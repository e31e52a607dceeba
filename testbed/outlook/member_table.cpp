#include "testbed/outlook/member_table.h"

#include <windows.h>

namespace orvane {

namespace outlook_standin {
namespace {

constexpr ValueType kText = ValueType::Text;
constexpr ValueType kDate = ValueType::Date;
constexpr ValueType kInt = ValueType::Int32;
constexpr ValueType kBool = ValueType::Bool;

Member Property(const wchar_t* name, DispId id, ValueType type) { return {name, id, Access::GetPut, type}; }
Member ReadOnly(const wchar_t* name, DispId id, ValueType type) { return {name, id, Access::Get, type}; }
Member Method(const wchar_t* name, DispId id) { return {name, id, Access::Method, kInt}; }

std::vector<Member> Join(std::vector<Member> first, const std::vector<Member>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

const std::vector<Member>& CommonItemMembers() {
  static const std::vector<Member> members = {
      Property(L"Body", kBody, kText),
      Property(L"Categories", kCategories, kText),
      Method(L"Close", kClose),
      Method(L"Delete", kDelete),
      Method(L"Save", kSave),
      ReadOnly(L"EntryID", kEntryId, kText),
      ReadOnly(L"LastModificationTime", kLastModificationTime, kDate),
      ReadOnly(L"CreationTime", kCreationTime, kDate),
      ReadOnly(L"MessageClass", kMessageClass, kText),
  };
  return members;
}

// Members that tasks and appointments share.
const std::vector<Member>& ScheduledItemMembers() {
  static const std::vector<Member> members = Join(
      {
          Property(L"Subject", kSubject, kText),
          Property(L"Importance", kImportance, kInt),
          Property(L"Sensitivity", kSensitivity, kInt),
          Property(L"BillingInformation", kBillingInformation, kText),
          Property(L"Mileage", kMileage, kText),
          Property(L"InternetCodepage", kInternetCodepage, kInt),
          Property(L"ReminderSet", kReminderSet, kBool),
          Method(L"GetRecurrencePattern", kGetRecurrencePattern),
          ReadOnly(L"UserProperties", kUserProperties, kInt),
      },
      CommonItemMembers());
  return members;
}

std::vector<Member> BuildMembers(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Application:
      return {Method(L"CreateItem", kCreateItem), Method(L"GetNamespace", kGetNamespace),
              ReadOnly(L"Version", kVersion, kText)};
    case ObjectKind::NameSpace:
      return {Method(L"GetDefaultFolder", kGetDefaultFolder), Method(L"Logon", kLogon),
              Method(L"GetItemFromID", kGetItemFromId)};
    case ObjectKind::Folder:
      return {ReadOnly(L"Items", kItems, kInt), Method(L"GetTable", kGetTable), ReadOnly(L"StoreID", kStoreId, kText),
              ReadOnly(L"EntryID", kEntryId, kText)};
    case ObjectKind::Items: return {ReadOnly(L"Count", kCount, kInt), Method(L"Item", kItem)};
    case ObjectKind::TaskItem:
      return Join(
          {
              Property(L"StartDate", kStartDate, kDate),
              Property(L"DueDate", kDueDate, kDate),
              Property(L"DateCompleted", kDateCompleted, kDate),
              Property(L"Status", kStatus, kInt),
              Property(L"PercentComplete", kPercentComplete, kInt),
              Property(L"ActualWork", kActualWork, kInt),
              Property(L"TotalWork", kTotalWork, kInt),
              Property(L"ReminderTime", kReminderTime, kDate),
              Property(L"Role", kRole, kText),
              Property(L"SchedulePlusPriority", kSchedulePlusPriority, kText),
              Property(L"Companies", kCompanies, kText),
              Property(L"ContactNames", kContactNames, kText),
              ReadOnly(L"IsRecurring", kTaskIsRecurring, kBool),
              Method(L"MarkComplete", kMarkComplete),
          },
          ScheduledItemMembers());
    case ObjectKind::AppointmentItem:
      return Join(
          {
              Property(L"Start", kStart, kDate),
              Property(L"End", kEnd, kDate),
              Property(L"Duration", kDuration, kInt),
              Property(L"AllDayEvent", kAllDayEvent, kBool),
              Property(L"Location", kLocation, kText),
              Property(L"ReminderMinutesBeforeStart", kReminderMinutesBeforeStart, kInt),
              Property(L"RequiredAttendees", kRequiredAttendees, kText),
              Property(L"OptionalAttendees", kOptionalAttendees, kText),
              Property(L"Resources", kResources, kText),
              Property(L"NetMeetingOrganizerAlias", kNetMeetingOrganizerAlias, kText),
              ReadOnly(L"IsRecurring", kAppointmentIsRecurring, kBool),
          },
          ScheduledItemMembers());
    case ObjectKind::NoteItem: return Join({ReadOnly(L"Subject", kNoteSubject, kText)}, CommonItemMembers());
    case ObjectKind::RecurrencePattern:
      return {
          Property(L"RecurrenceType", kRecurrenceType, kInt),
          Property(L"Interval", kInterval, kInt),
          Property(L"DayOfWeekMask", kDayOfWeekMask, kInt),
          Property(L"PatternStartDate", kPatternStartDate, kDate),
          Property(L"PatternEndDate", kPatternEndDate, kDate),
          Property(L"NoEndDate", kNoEndDate, kBool),
          Property(L"StartTime", kPatternStartTime, kDate),
          Property(L"EndTime", kPatternEndTime, kDate),
          Property(L"DayOfMonth", kDayOfMonth, kInt),
          Property(L"MonthOfYear", kMonthOfYear, kInt),
          Property(L"Instance", kInstance, kInt),
          Property(L"Occurrences", kOccurrences, kInt),
          Property(L"Duration", kPatternDuration, kInt),
          Property(L"Regenerate", kRegenerate, kBool),
      };
    case ObjectKind::Table:
      return {ReadOnly(L"Columns", kTableColumns, kInt), Method(L"GetArray", kTableGetArray),
              Method(L"GetRowCount", kTableGetRowCount), ReadOnly(L"EndOfTable", kTableEndOfTable, kBool)};
    case ObjectKind::Columns:
      return {Method(L"Add", kColumnsAdd), Method(L"Remove", kColumnsRemove), Method(L"RemoveAll", kColumnsRemoveAll),
              ReadOnly(L"Count", kCount, kInt), Method(L"Item", kItem)};
    case ObjectKind::Column: return {ReadOnly(L"Name", kColumnName, kText)};
    case ObjectKind::UserProperties:
      return {ReadOnly(L"Count", kCount, kInt), Method(L"Item", kItem), Method(L"Add", kUserPropertiesAdd),
              Method(L"Find", kUserPropertiesFind), Method(L"Remove", kUserPropertiesRemove)};
    case ObjectKind::UserProperty:
      // Value's type is the property's own; the object serves it.
      return {Property(L"Value", kUserPropertyValue, kInt), ReadOnly(L"Name", kUserPropertyName, kText),
              ReadOnly(L"Type", kUserPropertyType, kInt)};
    case ObjectKind::Control:  // the control object keeps its own table
    case ObjectKind::Any: break;
  }
  return {};
}

struct KindName {
  ObjectKind kind;
  const wchar_t* name;
};

constexpr KindName kKindNames[] = {
    {ObjectKind::Any, L"Any"},
    {ObjectKind::Application, L"Application"},
    {ObjectKind::NameSpace, L"NameSpace"},
    {ObjectKind::Folder, L"Folder"},
    {ObjectKind::Items, L"Items"},
    {ObjectKind::TaskItem, L"TaskItem"},
    {ObjectKind::AppointmentItem, L"AppointmentItem"},
    {ObjectKind::NoteItem, L"NoteItem"},
    {ObjectKind::RecurrencePattern, L"RecurrencePattern"},
    {ObjectKind::Table, L"Table"},
    {ObjectKind::Columns, L"Columns"},
    {ObjectKind::Column, L"Column"},
    {ObjectKind::UserProperties, L"UserProperties"},
    {ObjectKind::UserProperty, L"UserProperty"},
    {ObjectKind::Control, L"Control"},
};

// The members the stand-in serves that Microsoft's "Protected Properties and Methods" lists.
struct GuardedMember {
  ObjectKind kind;
  DispId id;
  CallKind call;
};

constexpr GuardedMember kGuarded[] = {
    {ObjectKind::TaskItem, kBody, CallKind::Get},
    {ObjectKind::TaskItem, kContactNames, CallKind::Get},
    {ObjectKind::AppointmentItem, kBody, CallKind::Get},
    {ObjectKind::AppointmentItem, kRequiredAttendees, CallKind::Get},
    {ObjectKind::AppointmentItem, kOptionalAttendees, CallKind::Get},
    {ObjectKind::AppointmentItem, kResources, CallKind::Get},
    {ObjectKind::NoteItem, kBody, CallKind::Get},
    {ObjectKind::Columns, kColumnsAdd, CallKind::Method},
    {ObjectKind::UserProperties, kUserPropertiesFind, CallKind::Method},
};

}  // namespace

bool IsGuarded(ObjectKind kind, DispId id, CallKind call) {
  for (const GuardedMember& member : kGuarded) {
    if (member.kind == kind && member.id == id && member.call == call) return true;
  }
  return false;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  if (a.empty()) return true;
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

const std::vector<Member>& MembersOf(ObjectKind kind) {
  static const std::vector<Member> tables[] = {
      BuildMembers(ObjectKind::Any),
      BuildMembers(ObjectKind::Application),
      BuildMembers(ObjectKind::NameSpace),
      BuildMembers(ObjectKind::Folder),
      BuildMembers(ObjectKind::Items),
      BuildMembers(ObjectKind::TaskItem),
      BuildMembers(ObjectKind::AppointmentItem),
      BuildMembers(ObjectKind::NoteItem),
      BuildMembers(ObjectKind::RecurrencePattern),
      BuildMembers(ObjectKind::Table),
      BuildMembers(ObjectKind::Columns),
      BuildMembers(ObjectKind::Column),
      BuildMembers(ObjectKind::UserProperties),
      BuildMembers(ObjectKind::UserProperty),
      BuildMembers(ObjectKind::Control),
  };
  return tables[static_cast<int>(kind)];
}

const Member* FindMember(ObjectKind kind, DispId id) {
  for (const Member& member : MembersOf(kind)) {
    if (member.id == id) return &member;
  }
  return nullptr;
}

const Member* FindMember(ObjectKind kind, std::wstring_view name) {
  for (const Member& member : MembersOf(kind)) {
    if (EqualsIgnoringCase(member.name, name)) return &member;
  }
  return nullptr;
}

const wchar_t* ObjectKindName(ObjectKind kind) {
  for (const KindName& entry : kKindNames) {
    if (entry.kind == kind) return entry.name;
  }
  return L"?";
}

bool ParseObjectKind(std::wstring_view name, ObjectKind* kind) {
  if (name.empty()) {
    *kind = ObjectKind::Any;
    return true;
  }
  for (const KindName& entry : kKindNames) {
    if (EqualsIgnoringCase(entry.name, name)) {
      *kind = entry.kind;
      return true;
    }
  }
  return false;
}

bool ParseCallKind(std::wstring_view name, CallKind* kind) {
  struct CallName {
    CallKind kind;
    const wchar_t* name;
  };
  static constexpr CallName kNames[] = {
      {CallKind::Any, L""},    {CallKind::Any, L"any"},       {CallKind::Get, L"get"},
      {CallKind::Put, L"put"}, {CallKind::Method, L"method"},
  };
  for (const CallName& entry : kNames) {
    if (EqualsIgnoringCase(entry.name, name)) {
      *kind = entry.kind;
      return true;
    }
  }
  return false;
}

}  // namespace outlook_standin

}  // namespace orvane
