// Dispatch identifiers, item types, folder numbers and values of Outlook's object model.
#pragma once

#include <cstdint>

namespace orvane {

namespace outlook {

using DispId = long;

// Application
constexpr DispId kCreateItem = 0x10A;
constexpr DispId kGetNamespace = 0x110;

// NameSpace
constexpr DispId kGetDefaultFolder = 0x210B;
constexpr DispId kLogon = 0x2105;
// GetItemFromID(EntryIDItem, EntryIDStore): an item of any folder by its EntryID.
constexpr DispId kGetItemFromId = 0x2109;

// MAPIFolder and Items
constexpr DispId kItems = 0x3100;
constexpr DispId kCount = 0x50;
constexpr DispId kItem = 0x51;
// The folder's table of its items (Outlook 2007 and later); the table's own members are found by
// name.
constexpr DispId kGetTable = 0xFB1D;

// Members of every item kind
constexpr DispId kBody = 0x9100;
constexpr DispId kCategories = 0x9001;
constexpr DispId kClose = 0xF023;
constexpr DispId kDelete = 0xF04A;
// Outlook's permanent identifier of a saved item in its store; empty before the first save.
constexpr DispId kEntryId = 0xF01E;  // an item's, and a folder's
// Set by Outlook at every save of an item.
constexpr DispId kLastModificationTime = 0x3008;
// Set by Outlook at an item's first save.
constexpr DispId kCreationTime = 0x3007;
// The item's form, as "IPM.Task".
constexpr DispId kMessageClass = 0x1A;
// A folder's store, as text.
constexpr DispId kStoreId = 0x3108;
// The schema name of PR_LONGTERM_ENTRYID_FROM_TABLE: a table column giving an item's long-term
// EntryID as bytes, where a store's EntryID column may give a short-term one.
constexpr wchar_t kLongTermEntryIdColumn[] = L"http://schemas.microsoft.com/mapi/proptag/0x66700102";
constexpr DispId kSave = 0xF048;

// Tasks and appointments
constexpr DispId kSubject = 0x37;
constexpr DispId kImportance = 0x17;
constexpr DispId kSensitivity = 0x36;
constexpr DispId kBillingInformation = 0x8535;
constexpr DispId kMileage = 0x8534;
constexpr DispId kInternetCodepage = 0x3FDE;
constexpr DispId kReminderSet = 0x8503;
constexpr DispId kGetRecurrencePattern = 0xF0A4;

// AppointmentItem
constexpr DispId kStart = 0x820D;
constexpr DispId kEnd = 0x820E;
constexpr DispId kDuration = 0x8213;
constexpr DispId kAllDayEvent = 0x8215;
constexpr DispId kLocation = 0x8208;
constexpr DispId kReminderMinutesBeforeStart = 0x8501;
constexpr DispId kRequiredAttendees = 0xE04;
constexpr DispId kOptionalAttendees = 0xE03;
constexpr DispId kResources = 0xE02;
constexpr DispId kAppointmentText = 0x8243;
constexpr DispId kAppointmentIsRecurring = 0x8223;

// TaskItem
constexpr DispId kStartDate = 0x8104;
constexpr DispId kDueDate = 0x8105;
constexpr DispId kDateCompleted = 0x810F;
constexpr DispId kStatus = 0x8101;
constexpr DispId kPercentComplete = 0xF61F;
constexpr DispId kActualWork = 0x8110;
constexpr DispId kTotalWork = 0x8111;
constexpr DispId kReminderTime = 0x8502;
constexpr DispId kRole = 0x8127;
constexpr DispId kSchedulePlusPriority = 0x812F;
constexpr DispId kCompanies = 0x853B;
constexpr DispId kContactNames = 0x853C;
constexpr DispId kTaskIsRecurring = 0xF617;

// NoteItem
constexpr DispId kNoteSubject = 0xF7A0;

// RecurrencePattern
constexpr DispId kRecurrenceType = 0x1007;
constexpr DispId kInterval = 0x1004;
constexpr DispId kDayOfWeekMask = 0x1001;
constexpr DispId kPatternStartDate = 0x1008;
constexpr DispId kPatternEndDate = 0x1002;
constexpr DispId kNoEndDate = 0x100B;
constexpr DispId kPatternStartTime = 0x1009;
constexpr DispId kPatternEndTime = 0x100C;
constexpr DispId kDayOfMonth = 0x1000;
constexpr DispId kMonthOfYear = 0x1006;
constexpr DispId kInstance = 0x1003;
constexpr DispId kOccurrences = 0x1005;
constexpr DispId kPatternDuration = 0x100D;
constexpr DispId kRegenerate = 0x100A;

// ItemsEvents, the event interface of an Items collection
constexpr DispId kItemAdd = 0xF001;
constexpr DispId kItemChange = 0xF002;
constexpr DispId kItemRemove = 0xF003;
// Its interface identifier is kItemsEventsIid of outbound/folder_event_sink.h.

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

// The ProgID under which Outlook's automation server is registered
constexpr char kProgId[] = "Outlook.Application";
// The class of Outlook's main window
constexpr char kMainWindowClass[] = "rctrl_renwnd32";

}  // namespace outlook

}  // namespace orvane
