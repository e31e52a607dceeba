// Outlook's dispatch identifiers and values as Outlook's own type library gives them, transcribed
// for the stand-in (the transcription used is named in README.md). The stand-in serves these
// numbers and never takes them from the plug-in's sources, so that a wrong number in the plug-in
// fails against the stand-in as it would against Outlook.
#pragma once

#include <cstdint>

namespace orvane {

namespace outlook_standin {

using DispId = long;

// _Application
constexpr DispId kCreateItem = 0x10A;
constexpr DispId kGetNamespace = 0x110;
constexpr DispId kVersion = 0x116;

// _NameSpace
constexpr DispId kLogon = 0x2105;
constexpr DispId kGetItemFromId = 0x2109;
constexpr DispId kGetDefaultFolder = 0x210B;

// MAPIFolder
constexpr DispId kItems = 0x3100;
constexpr DispId kStoreId = 0x3108;
constexpr DispId kGetTable = 0xFB1D;

// _Items
constexpr DispId kCount = 0x50;
constexpr DispId kItem = 0x51;

// Members of every item interface (_TaskItem, _AppointmentItem, _NoteItem); EntryID is a folder's
// member too.
constexpr DispId kEntryId = 0xF01E;
constexpr DispId kBody = 0x9100;
constexpr DispId kCategories = 0x9001;
constexpr DispId kLastModificationTime = 0x3008;
constexpr DispId kCreationTime = 0x3007;
constexpr DispId kMessageClass = 0x1A;
constexpr DispId kClose = 0xF023;
constexpr DispId kDelete = 0xF04A;
constexpr DispId kSave = 0xF048;

// Members _TaskItem and _AppointmentItem share
constexpr DispId kSubject = 0x37;
constexpr DispId kImportance = 0x17;
constexpr DispId kSensitivity = 0x36;
constexpr DispId kBillingInformation = 0x8535;
constexpr DispId kMileage = 0x8534;
constexpr DispId kCompanies = 0x853B;
constexpr DispId kInternetCodepage = 0x3FDE;
constexpr DispId kReminderSet = 0x8503;
constexpr DispId kGetRecurrencePattern = 0xF0A4;
constexpr DispId kUserProperties = 0xF816;

// _AppointmentItem
constexpr DispId kStart = 0x820D;
constexpr DispId kEnd = 0x820E;
constexpr DispId kDuration = 0x8213;
constexpr DispId kAllDayEvent = 0x8215;
constexpr DispId kLocation = 0x8208;
constexpr DispId kReminderMinutesBeforeStart = 0x8501;
constexpr DispId kRequiredAttendees = 0xE04;
constexpr DispId kOptionalAttendees = 0xE03;
constexpr DispId kResources = 0xE02;
constexpr DispId kNetMeetingOrganizerAlias = 0x8243;
constexpr DispId kAppointmentIsRecurring = 0x8223;

// _TaskItem
constexpr DispId kStatus = 0x8101;
constexpr DispId kStartDate = 0x8104;
constexpr DispId kDueDate = 0x8105;
constexpr DispId kDateCompleted = 0x810F;
constexpr DispId kActualWork = 0x8110;
constexpr DispId kTotalWork = 0x8111;
constexpr DispId kRole = 0x8127;
constexpr DispId kSchedulePlusPriority = 0x812F;
constexpr DispId kReminderTime = 0x8502;
constexpr DispId kContactNames = 0x853C;
constexpr DispId kTaskIsRecurring = 0xF617;
constexpr DispId kPercentComplete = 0xF61F;
constexpr DispId kMarkComplete = 0xF60D;

// _NoteItem: its Subject is its own member, read-only, taken from the body.
constexpr DispId kNoteSubject = 0xF7A0;

// RecurrencePattern
constexpr DispId kDayOfMonth = 0x1000;
constexpr DispId kDayOfWeekMask = 0x1001;
constexpr DispId kPatternEndDate = 0x1002;
constexpr DispId kInstance = 0x1003;
constexpr DispId kInterval = 0x1004;
constexpr DispId kOccurrences = 0x1005;
constexpr DispId kMonthOfYear = 0x1006;
constexpr DispId kRecurrenceType = 0x1007;
constexpr DispId kPatternStartDate = 0x1008;
constexpr DispId kPatternStartTime = 0x1009;  // StartTime
constexpr DispId kRegenerate = 0x100A;
constexpr DispId kNoEndDate = 0x100B;
constexpr DispId kPatternEndTime = 0x100C;   // EndTime
constexpr DispId kPatternDuration = 0x100D;  // Duration

// UserProperties (Count and Item as _Items) and UserProperty
constexpr DispId kUserPropertiesAdd = 0x66;
constexpr DispId kUserPropertiesFind = 0x67;
constexpr DispId kUserPropertiesRemove = 0x52;
constexpr DispId kUserPropertyValue = 0x0;
constexpr DispId kUserPropertyName = 0x70;
constexpr DispId kUserPropertyType = 0x6D;

// _Table (Outlook 2007 and later)
constexpr DispId kTableGetRowCount = 0x50;
constexpr DispId kTableColumns = 0xFB93;
constexpr DispId kTableGetArray = 0xFBCF;
constexpr DispId kTableEndOfTable = 0xFB1F;

// _Columns and _Column
constexpr DispId kColumnsRemove = 0x52;
constexpr DispId kColumnsRemoveAll = 0x53;
constexpr DispId kColumnsAdd = 0x5F;
constexpr DispId kColumnName = 0x2102;

// ItemsEvents, {00063077-0000-0000-C000-000000000046}
constexpr DispId kItemAdd = 0xF001;
constexpr DispId kItemChange = 0xF002;
constexpr DispId kItemRemove = 0xF003;

struct EventMember {
  DispId id;
  const wchar_t* name;
  bool passesItem;
};
constexpr EventMember kItemsEvents[] = {
    {kItemAdd, L"ItemAdd", true},
    {kItemChange, L"ItemChange", true},
    {kItemRemove, L"ItemRemove", false},
};

// OlItemType
constexpr int32_t kAppointmentItem = 1;
constexpr int32_t kTaskItem = 3;
constexpr int32_t kNoteItem = 5;

// OlDefaultFolders
constexpr int32_t kFolderCalendar = 9;
constexpr int32_t kFolderNotes = 12;
constexpr int32_t kFolderTasks = 13;

// OlInspectorClose
constexpr int32_t kCloseSave = 0;
constexpr int32_t kCloseDiscard = 1;
constexpr int32_t kClosePromptForSave = 2;

// OlImportance, OlSensitivity, OlTaskStatus, OlRecurrenceType
constexpr int32_t kImportanceNormal = 1;
constexpr int32_t kSensitivityNormal = 0;
constexpr int32_t kSensitivityPrivate = 2;
constexpr int32_t kStatusNotStarted = 0;
constexpr int32_t kStatusComplete = 2;
constexpr int32_t kRecursDaily = 0;
constexpr int32_t kRecursWeekly = 1;
constexpr int32_t kRecursMonthly = 2;
constexpr int32_t kRecursMonthNth = 3;
constexpr int32_t kRecursYearly = 5;
constexpr int32_t kRecursYearNth = 6;

// OlUserPropertyType: the types the stand-in keeps
constexpr int32_t kUserPropertyText = 1;
constexpr int32_t kUserPropertyDateTime = 5;
constexpr int32_t kUserPropertyYesNo = 6;
constexpr int32_t kUserPropertyInteger = 20;

// A task's PercentComplete when it is done
constexpr int32_t kPercentCompleteDone = 100;

// PR_LONGTERM_ENTRYID_FROM_TABLE by its schema name: a table column giving an item's long-term
// EntryID as bytes.
constexpr wchar_t kLongTermEntryIdColumn[] = L"http://schemas.microsoft.com/mapi/proptag/0x66700102";

// The class of Outlook's main window
constexpr char kMainWindowClass[] = "rctrl_renwnd32";

}  // namespace outlook_standin

}  // namespace orvane
