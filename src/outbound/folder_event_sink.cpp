#include "outbound/folder_event_sink.h"

#include "base/error_log.h"
#include "mainapp/kinds.h"
#include "outlook/outlook_work.h"
#include "base/callback_guard.h"
#include "outbound/deleted_items.h"
#include "outbound/item_records.h"
#include "mainapp/kinds.h"
#include "outbound/record_forms.h"
#include "outbound/send_record.h"
#include "outlook/dispatch_driver.h"

#include <optional>
#include <string>

namespace orvane {

namespace {

using namespace outlook;

using RecordBuilder = std::string (*)(DispatchDriver, std::optional<std::string_view>);

// What a sink of one folder reads from an item and sends for it.
struct FolderReport {
  uint32_t sinkKind;
  DispId subject;
  RecordBuilder build;
  uint32_t newKind;
  uint32_t changedKind;
};

constexpr FolderReport kFolderReports[] = {
    {kinds::kTask, kSubject, &CreateTaskBuffer, kinds::kTask, kinds::kChangedTask},
    {kinds::kAppointment, kSubject, &CreateAppsBuffer, kinds::kAppointment, kinds::kChangedAppointment},
    {kinds::kNote, kNoteSubject, &CreateNoteBuffer, kinds::kNote, kinds::kChangedNote},
};

const FolderReport* ReportOf(uint32_t sinkKind) {
  for (const FolderReport& report : kFolderReports) {
    if (report.sinkKind == sinkKind) return &report;
  }
  return nullptr;
}

// The main application's id of the item, as the inbound writers stored it: a note keeps it in
// its categories, tasks and appointments in InternetCodepage.
std::string LinkIdOf(const DispatchDriver& item, uint32_t sinkKind) {
  if (sinkKind == kinds::kNote) return item.GetText(kCategories);
  return outrecord::Decimal(item.GetInt32(kInternetCodepage));
}

// The item an event carries as its one argument; null when it carries none.
IDispatch* EventItem(const DISPPARAMS* params) {
  if (!params || params->cArgs < 1 || !params->rgvarg) return nullptr;
  // Arguments arrive last first.
  const VARIANT& first = params->rgvarg[params->cArgs - 1];
  return first.vt == VT_DISPATCH ? first.pdispVal : nullptr;
}

// Runs one handler as Outlook work, so that no timer tick dispatched while it waits disconnects
// the sinks or drops the session under it. What it throws is logged under its name; the event's
// record is dropped and Outlook never sees the failure.
template <class Handler>
void HandleEvent(const char* name, Handler&& handler) noexcept {
  const OutlookWork work;
  GuardedCall(name, handler);
}

}  // namespace

ComPtr<FolderEventSink> FolderEventSink::Create(uint32_t kind, std::shared_ptr<DeletionWatch> watch, HWND sender) {
  return MakeComObject<FolderEventSink>(kind, std::move(watch), sender);
}

void* FolderEventSink::OtherInterface(REFIID iid) noexcept {
  return IsEqualIID(iid, kItemsEventsIid) ? static_cast<IDispatch*>(this) : nullptr;
}

HRESULT FolderEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                UINT*) noexcept {
  // The sink stays alive to the end of its event, whatever the handler lets go of.
  const ComPtr<FolderEventSink> self = ComPtr<FolderEventSink>::Share(this);
  switch (id) {
    case kItemAdd:
      if (IDispatch* item = EventItem(params)) HandleEvent("Itemadded", [&] { Itemadded(item); });
      break;
    case kItemChange:
      if (IDispatch* item = EventItem(params)) HandleEvent("Itemchanged", [&] { Itemchanged(item); });
      break;
    case kItemRemove: HandleEvent("Itemdeleted", [&] { Itemdeleted(); }); break;
    default: break;
  }
  return S_OK;
}

void FolderEventSink::Itemadded(IDispatch* item) { ReportItem(item, false); }

void FolderEventSink::Itemchanged(IDispatch* item) { ReportItem(item, true); }

void FolderEventSink::Itemdeleted() {
  WriteLog("Itemdeleted()::Step 1::Itemdeleted Called Successfully");
  watch_->CheckDeletedItemsInOutlook();
}

void FolderEventSink::ReportItem(IDispatch* borrowed, bool changed) {
  const FolderReport* report = ReportOf(kind_);
  if (!report) return;
  // A reference of the handler's own, released when the report is done.
  const DispatchDriver item(ComPtr<IDispatch>::Share(borrowed));
  const std::string subject = item.GetText(report->subject);
  // Items without a subject are never reported; one named later arrives as changed.
  if (!subject.empty()) {
    std::optional<std::string> linkId;
    if (changed) linkId = LinkIdOf(item, kind_);
    const std::string record = report->build(item, linkId);
    SendRecordToMain(record, changed ? report->changedKind : report->newKind, sender_);
  }
  // Named or not, the item is followed, so that its deletion is reported with its last subject.
  watch_->TakeItem(kind_, item.GetText(kEntryId), subject);
}

}  // namespace orvane
