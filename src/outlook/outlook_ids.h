// Dispatch identifiers, item types, folder numbers and values of Outlook's object model.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace orvane::outlook {

using DispId = long;

// A member of Outlook's object model that the plug-in calls by its dispatch identifier: the
// interfaces it is called on (Outlook's names, separated by spaces), its name and its identifier.
struct MemberId {
  std::string_view objects;
  std::string_view name;
  DispId id;
};

// Every member the plug-in calls by identifier. The members of Outlook's Table, Columns and Column
// are not here: the plug-in finds those by name.
constexpr MemberId kMemberIds[] = {
    {"Application", "CreateItem", 0x10A},
    {"Application", "GetNamespace", 0x110},
    {"NameSpace", "Logon", 0x2105},
    // GetItemFromID(EntryIDItem, EntryIDStore): an item of any folder by its EntryID.
    {"NameSpace", "GetItemFromID", 0x2109},
    {"NameSpace", "GetDefaultFolder", 0x210B},
    {"Folder", "Items", 0x3100},
    // A folder's store, as text.
    {"Folder", "StoreID", 0x3108},
    // The folder's table of its items (Outlook 2007 and later).
    {"Folder", "GetTable", 0xFB1D},
    {"Items", "Count", 0x50},
    {"Items", "Item", 0x51},
    // Outlook's permanent identifier of a saved item in its store; empty before the first save.
    {"Folder TaskItem AppointmentItem NoteItem", "EntryID", 0xF01E},
    {"TaskItem AppointmentItem NoteItem", "Body", 0x9100},
    {"TaskItem AppointmentItem NoteItem", "Categories", 0x9001},
    // Set by Outlook at every save of an item.
    {"TaskItem AppointmentItem NoteItem", "LastModificationTime", 0x3008},
    // Set by Outlook at an item's first save.
    {"TaskItem AppointmentItem NoteItem", "CreationTime", 0x3007},
    // The item's form, as "IPM.Task".
    {"TaskItem AppointmentItem NoteItem", "MessageClass", 0x1A},
    {"TaskItem AppointmentItem NoteItem", "Close", 0xF023},
    {"TaskItem AppointmentItem NoteItem", "Delete", 0xF04A},
    {"TaskItem AppointmentItem NoteItem", "Save", 0xF048},
    {"TaskItem AppointmentItem", "Subject", 0x37},
    {"TaskItem AppointmentItem", "Importance", 0x17},
    {"TaskItem AppointmentItem", "Sensitivity", 0x36},
    {"TaskItem AppointmentItem", "BillingInformation", 0x8535},
    {"TaskItem AppointmentItem", "Mileage", 0x8534},
    {"TaskItem AppointmentItem", "InternetCodepage", 0x3FDE},
    {"TaskItem AppointmentItem", "ReminderSet", 0x8503},
    {"TaskItem AppointmentItem", "GetRecurrencePattern", 0xF0A4},
    // The item's user-defined properties; UserProperties.Find is on Outlook's protected list, so
    // a property is looked up by Item(name), whose failure means it is absent.
    {"TaskItem AppointmentItem", "UserProperties", 0xF816},
    {"UserProperties", "Item", 0x51},
    {"UserProperties", "Add", 0x66},
    {"UserProperty", "Value", 0x0},
    {"AppointmentItem", "Start", 0x820D},
    {"AppointmentItem", "End", 0x820E},
    {"AppointmentItem", "Duration", 0x8213},
    {"AppointmentItem", "AllDayEvent", 0x8215},
    {"AppointmentItem", "Location", 0x8208},
    {"AppointmentItem", "ReminderMinutesBeforeStart", 0x8501},
    {"AppointmentItem", "RequiredAttendees", 0xE04},
    {"AppointmentItem", "OptionalAttendees", 0xE03},
    {"AppointmentItem", "Resources", 0xE02},
    // The appointment's text field of the main application.
    {"AppointmentItem", "NetMeetingOrganizerAlias", 0x8243},
    {"AppointmentItem", "IsRecurring", 0x8223},
    {"TaskItem", "StartDate", 0x8104},
    {"TaskItem", "DueDate", 0x8105},
    {"TaskItem", "DateCompleted", 0x810F},
    {"TaskItem", "Status", 0x8101},
    {"TaskItem", "PercentComplete", 0xF61F},
    {"TaskItem", "ActualWork", 0x8110},
    {"TaskItem", "TotalWork", 0x8111},
    {"TaskItem", "ReminderTime", 0x8502},
    {"TaskItem", "Role", 0x8127},
    {"TaskItem", "SchedulePlusPriority", 0x812F},
    {"TaskItem", "Companies", 0x853B},
    {"TaskItem", "ContactNames", 0x853C},
    {"TaskItem", "IsRecurring", 0xF617},
    {"NoteItem", "Subject", 0xF7A0},
    {"RecurrencePattern", "RecurrenceType", 0x1007},
    {"RecurrencePattern", "Interval", 0x1004},
    {"RecurrencePattern", "DayOfWeekMask", 0x1001},
    {"RecurrencePattern", "PatternStartDate", 0x1008},
    {"RecurrencePattern", "PatternEndDate", 0x1002},
    {"RecurrencePattern", "NoEndDate", 0x100B},
    {"RecurrencePattern", "StartTime", 0x1009},
    {"RecurrencePattern", "EndTime", 0x100C},
    {"RecurrencePattern", "DayOfMonth", 0x1000},
    {"RecurrencePattern", "MonthOfYear", 0x1006},
    {"RecurrencePattern", "Instance", 0x1003},
    {"RecurrencePattern", "Occurrences", 0x1005},
    {"RecurrencePattern", "Duration", 0x100D},
    {"RecurrencePattern", "Regenerate", 0x100A},
    // ItemsEvents, the event interface of an Items collection; its interface identifier is
    // kItemsEventsIid of outbound/folder_event_sink.h.
    {"ItemsEvents", "ItemAdd", 0xF001},
    {"ItemsEvents", "ItemChange", 0xF002},
    {"ItemsEvents", "ItemRemove", 0xF003},
};

// Whether `object` is one of the space-separated names in `objects`.
constexpr bool NamesObject(std::string_view objects, std::string_view object) {
  while (!objects.empty()) {
    const size_t end = objects.find(' ');
    if (objects.substr(0, end) == object) return true;
    if (end == std::string_view::npos) break;
    objects.remove_prefix(end + 1);
  }
  return false;
}

// The identifier kMemberIds gives `object`'s member `name`. Used for constants only, so that a
// member missing from the table, or named twice (its constant would take whichever came first),
// stops the build.
constexpr DispId MemberIdOf(std::string_view object, std::string_view name) {
  const MemberId* found = nullptr;
  for (const MemberId& member : kMemberIds) {
    if (member.name != name || !NamesObject(member.objects, object)) continue;
    if (found) throw std::logic_error("a member the table names twice");
    found = &member;
  }
  if (!found) throw std::logic_error("not a member the plug-in calls by its identifier");
  return found->id;
}

constexpr DispId kCreateItem = MemberIdOf("Application", "CreateItem");
constexpr DispId kGetNamespace = MemberIdOf("Application", "GetNamespace");

constexpr DispId kLogon = MemberIdOf("NameSpace", "Logon");
constexpr DispId kGetItemFromId = MemberIdOf("NameSpace", "GetItemFromID");
constexpr DispId kGetDefaultFolder = MemberIdOf("NameSpace", "GetDefaultFolder");

constexpr DispId kItems = MemberIdOf("Folder", "Items");
constexpr DispId kStoreId = MemberIdOf("Folder", "StoreID");
constexpr DispId kGetTable = MemberIdOf("Folder", "GetTable");
constexpr DispId kCount = MemberIdOf("Items", "Count");
constexpr DispId kItem = MemberIdOf("Items", "Item");
// The schema name of PR_LONGTERM_ENTRYID_FROM_TABLE: a table column giving an item's long-term
// EntryID as bytes, where a store's EntryID column may give a short-term one.
constexpr wchar_t kLongTermEntryIdColumn[] = L"http://schemas.microsoft.com/mapi/proptag/0x66700102";

// Members of every item kind
constexpr DispId kEntryId = MemberIdOf("TaskItem", "EntryID");  // an item's, and a folder's
constexpr DispId kBody = MemberIdOf("TaskItem", "Body");
constexpr DispId kCategories = MemberIdOf("TaskItem", "Categories");
constexpr DispId kLastModificationTime = MemberIdOf("TaskItem", "LastModificationTime");
constexpr DispId kCreationTime = MemberIdOf("TaskItem", "CreationTime");
constexpr DispId kMessageClass = MemberIdOf("TaskItem", "MessageClass");
constexpr DispId kClose = MemberIdOf("TaskItem", "Close");
constexpr DispId kDelete = MemberIdOf("TaskItem", "Delete");
constexpr DispId kSave = MemberIdOf("TaskItem", "Save");

// Tasks and appointments
constexpr DispId kSubject = MemberIdOf("TaskItem", "Subject");
constexpr DispId kImportance = MemberIdOf("TaskItem", "Importance");
constexpr DispId kSensitivity = MemberIdOf("TaskItem", "Sensitivity");
constexpr DispId kBillingInformation = MemberIdOf("TaskItem", "BillingInformation");
constexpr DispId kMileage = MemberIdOf("TaskItem", "Mileage");
constexpr DispId kInternetCodepage = MemberIdOf("TaskItem", "InternetCodepage");
constexpr DispId kReminderSet = MemberIdOf("TaskItem", "ReminderSet");
constexpr DispId kGetRecurrencePattern = MemberIdOf("TaskItem", "GetRecurrencePattern");
constexpr DispId kUserProperties = MemberIdOf("TaskItem", "UserProperties");

// UserProperties and UserProperty
constexpr DispId kUserPropertiesItem = MemberIdOf("UserProperties", "Item");
constexpr DispId kUserPropertiesAdd = MemberIdOf("UserProperties", "Add");
constexpr DispId kUserPropertyValue = MemberIdOf("UserProperty", "Value");

// AppointmentItem
constexpr DispId kStart = MemberIdOf("AppointmentItem", "Start");
constexpr DispId kEnd = MemberIdOf("AppointmentItem", "End");
constexpr DispId kDuration = MemberIdOf("AppointmentItem", "Duration");
constexpr DispId kAllDayEvent = MemberIdOf("AppointmentItem", "AllDayEvent");
constexpr DispId kLocation = MemberIdOf("AppointmentItem", "Location");
constexpr DispId kReminderMinutesBeforeStart = MemberIdOf("AppointmentItem", "ReminderMinutesBeforeStart");
constexpr DispId kRequiredAttendees = MemberIdOf("AppointmentItem", "RequiredAttendees");
constexpr DispId kOptionalAttendees = MemberIdOf("AppointmentItem", "OptionalAttendees");
constexpr DispId kResources = MemberIdOf("AppointmentItem", "Resources");
constexpr DispId kAppointmentText = MemberIdOf("AppointmentItem", "NetMeetingOrganizerAlias");
constexpr DispId kAppointmentIsRecurring = MemberIdOf("AppointmentItem", "IsRecurring");

// TaskItem
constexpr DispId kStartDate = MemberIdOf("TaskItem", "StartDate");
constexpr DispId kDueDate = MemberIdOf("TaskItem", "DueDate");
constexpr DispId kDateCompleted = MemberIdOf("TaskItem", "DateCompleted");
constexpr DispId kStatus = MemberIdOf("TaskItem", "Status");
constexpr DispId kPercentComplete = MemberIdOf("TaskItem", "PercentComplete");
constexpr DispId kActualWork = MemberIdOf("TaskItem", "ActualWork");
constexpr DispId kTotalWork = MemberIdOf("TaskItem", "TotalWork");
constexpr DispId kReminderTime = MemberIdOf("TaskItem", "ReminderTime");
constexpr DispId kRole = MemberIdOf("TaskItem", "Role");
constexpr DispId kSchedulePlusPriority = MemberIdOf("TaskItem", "SchedulePlusPriority");
constexpr DispId kCompanies = MemberIdOf("TaskItem", "Companies");
constexpr DispId kContactNames = MemberIdOf("TaskItem", "ContactNames");
constexpr DispId kTaskIsRecurring = MemberIdOf("TaskItem", "IsRecurring");

// NoteItem
constexpr DispId kNoteSubject = MemberIdOf("NoteItem", "Subject");

// RecurrencePattern
constexpr DispId kRecurrenceType = MemberIdOf("RecurrencePattern", "RecurrenceType");
constexpr DispId kInterval = MemberIdOf("RecurrencePattern", "Interval");
constexpr DispId kDayOfWeekMask = MemberIdOf("RecurrencePattern", "DayOfWeekMask");
constexpr DispId kPatternStartDate = MemberIdOf("RecurrencePattern", "PatternStartDate");
constexpr DispId kPatternEndDate = MemberIdOf("RecurrencePattern", "PatternEndDate");
constexpr DispId kNoEndDate = MemberIdOf("RecurrencePattern", "NoEndDate");
constexpr DispId kPatternStartTime = MemberIdOf("RecurrencePattern", "StartTime");
constexpr DispId kPatternEndTime = MemberIdOf("RecurrencePattern", "EndTime");
constexpr DispId kDayOfMonth = MemberIdOf("RecurrencePattern", "DayOfMonth");
constexpr DispId kMonthOfYear = MemberIdOf("RecurrencePattern", "MonthOfYear");
constexpr DispId kInstance = MemberIdOf("RecurrencePattern", "Instance");
constexpr DispId kOccurrences = MemberIdOf("RecurrencePattern", "Occurrences");
constexpr DispId kPatternDuration = MemberIdOf("RecurrencePattern", "Duration");
constexpr DispId kRegenerate = MemberIdOf("RecurrencePattern", "Regenerate");

// ItemsEvents
constexpr DispId kItemAdd = MemberIdOf("ItemsEvents", "ItemAdd");
constexpr DispId kItemChange = MemberIdOf("ItemsEvents", "ItemChange");
constexpr DispId kItemRemove = MemberIdOf("ItemsEvents", "ItemRemove");

// Item types for CreateItem
constexpr int32_t kAppointmentItem = 1;
constexpr int32_t kTaskItem = 3;
constexpr int32_t kNoteItem = 5;

// Default folders for GetDefaultFolder
constexpr int32_t kFolderCalendar = 9;
constexpr int32_t kFolderNotes = 12;
constexpr int32_t kFolderTasks = 13;

// Values
constexpr int32_t kCloseSave = 0;
constexpr int32_t kSensitivityNormal = 0;
constexpr int32_t kSensitivityPrivate = 2;
constexpr int32_t kStatusNotStarted = 0;
constexpr int32_t kStatusComplete = 2;
constexpr int32_t kImportanceNormal = 1;
constexpr int32_t kPercentCompleteDone = 100;
constexpr int32_t kRecursWeekly = 1;
// OlUserPropertyType's olInteger: a user property holding a whole number
constexpr int32_t kUserPropertyInteger = 20;

// The ProgID under which Outlook's automation server is registered
constexpr char kProgId[] = "Outlook.Application";
// The class of Outlook's main window
constexpr char kMainWindowClass[] = "rctrl_renwnd32";

}  // namespace orvane::outlook
