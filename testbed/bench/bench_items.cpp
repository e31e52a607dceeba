// The bench's folders: filled through the running stand-in Outlook, or written as a store file.
#include "outlook/com_types.h"
#include "testbed/bench/bench_support.h"
#include "testbed/outlook/item_store.h"

#include <stdexcept>
#include <string>

namespace orvane {

namespace {

using namespace outlook;

int32_t ItemTypeOf(int32_t folder) {
  if (folder == kFolderTasks) return kTaskItem;
  return folder == kFolderCalendar ? kAppointmentItem : kNoteItem;
}

void AddItem(const Standin& outlook, int32_t folder, const std::string& subject) {
  const outlook::DispatchDriver item = outlook.NewItem(ItemTypeOf(folder));
  item.SetText(folder == kFolderNotes ? kBody : kSubject, subject);
  item.InvokeMethod(kSave);
}

// What tasks and appointments share, every one set.
void SetCommonFields(const outlook::DispatchDriver& item, const char* subject) {
  item.SetText(kSubject, subject);
  item.SetText(kBody, "Every field set, for the benchmark");
  item.SetText(kCategories, "Bench");
  item.SetInt32(kImportance, 2);
  item.SetInt32(kSensitivity, kSensitivityPrivate);
  item.SetText(kBillingInformation, "Account 7");
  item.SetText(kMileage, "12 km");
  item.SetInt32(kInternetCodepage, 4711);
  item.SetBool(kReminderSet, true);
}

void AddFullItems(const Standin& outlook) {
  constexpr double kToday = 46000;  // 9 December 2025
  const outlook::DispatchDriver task = outlook.NewItem(kTaskItem);
  SetCommonFields(task, kFullTask);
  task.SetDate(kStartDate, kToday);
  task.SetDate(kDueDate, kToday + 7);
  task.SetDate(kReminderTime, kToday + 6.375);
  task.SetInt32(kStatus, 1);
  task.SetInt32(kPercentComplete, 40);
  task.SetInt32(kActualWork, 120);
  task.SetInt32(kTotalWork, 300);
  task.SetText(kRole, "Owner");
  task.SetText(kSchedulePlusPriority, "High");
  task.SetText(kCompanies, "Orvane Ltd");
  task.SetText(kContactNames, "Ann; Bo");
  task.InvokeMethod(kSave);

  const outlook::DispatchDriver appointment = outlook.NewItem(kAppointmentItem);
  SetCommonFields(appointment, kFullAppointment);
  appointment.SetDate(kStart, kToday + 0.375);
  appointment.SetDate(kEnd, kToday + 0.4375);
  appointment.SetText(kLocation, "Room 4");
  appointment.SetInt32(kReminderMinutesBeforeStart, 30);
  appointment.SetText(kRequiredAttendees, "Ann");
  appointment.SetText(kOptionalAttendees, "Bo");
  appointment.SetText(kResources, "Projector");
  const outlook::DispatchDriver pattern = appointment.InvokeForObject(kGetRecurrencePattern);
  pattern.SetInt32(kRecurrenceType, kRecursWeekly);
  pattern.SetInt32(kDayOfWeekMask, 2);
  pattern.SetInt32(kInterval, 1);
  pattern.SetInt32(kOccurrences, 10);
  appointment.InvokeMethod(kSave);
}

bool WaitForWindowClass(const char* className) {
  try {
    PumpUntil([className] { return FindWindowA(className, nullptr) != nullptr; }, className, 10000);
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

}  // namespace

int Prepare(int items) {
  if (!WaitForWindowClass(kMainWindowClass)) throw std::runtime_error("the stand-in Outlook is not running");
  const Standin outlook;
  outlook.Control(L"Reset");
  for (const int32_t folder : kFolders) {
    for (int i = 1; i <= items; ++i) AddItem(outlook, folder, "Bench " + std::to_string(i));
  }
  AddFullItems(outlook);
  return 0;
}

int WriteStore(const std::string& file, int items) {
  namespace os = outlook_standin;
  os::ItemStore& store = os::Store();
  store.Clear();
  const auto add = [&](os::ItemKind kind, const std::string& subject) {
    os::ItemData data(kind);
    data.Put(kind == os::ItemKind::Note ? kBody : kSubject, os::Value::Text(outlook::AnsiToWide(subject)), 0);
    store.Add(data);
  };
  for (const os::ItemKind kind : {os::ItemKind::Task, os::ItemKind::Appointment, os::ItemKind::Note}) {
    for (int i = 1; i <= items; ++i) add(kind, "Bench " + std::to_string(i));
  }
  add(os::ItemKind::Task, kFullTask);
  add(os::ItemKind::Appointment, kFullAppointment);
  DeleteFileW(outlook::AnsiToWide(file).c_str());
  if (!store.KeepIn(outlook::AnsiToWide(file))) throw std::runtime_error("the store file cannot be written");
  return 0;
}

}  // namespace orvane
