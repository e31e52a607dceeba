#include "outbound/folder_event_sink.h"

#include "base/callback_guard.h"
#include "base/error_log.h"
#include "outbound/deleted_items.h"
#include "outlook/dispatch_driver.h"

#include <cstdio>
#include <optional>
#include <string>

namespace orvane::outbound {

namespace {

using namespace outlook;

// The first argument of an event; null when it has none. Arguments arrive last first.
const VARIANT* FirstArgument(const DISPPARAMS* params) {
  if (!params || params->cArgs < 1 || !params->rgvarg) return nullptr;
  return &params->rgvarg[params->cArgs - 1];
}

// The item an event carries as its one argument, by value or by reference; null when it carries
// none.
IDispatch* EventItem(const VARIANT* argument) {
  if (!argument) return nullptr;
  if (argument->vt == VT_DISPATCH) return argument->pdispVal;
  if (argument->vt == (VT_DISPATCH | VT_BYREF) && argument->ppdispVal) return *argument->ppdispVal;
  return nullptr;
}

// One line for an ItemAdd or ItemChange that carries no item: nothing can be reported for it.
void LogEventWithoutItem(const char* handler, const VARIANT* argument) {
  char line[120];
  if (argument) {
    std::snprintf(line, sizeof line, "OrvaneOutlook=>%s::event without its item (argument of type 0x%04X), dropped",
                  handler, static_cast<unsigned>(argument->vt));
  } else {
    std::snprintf(line, sizeof line, "OrvaneOutlook=>%s::event without its item (no argument), dropped", handler);
  }
  WriteLog(line);
}

const char* HandlerName(DISPID id) {
  switch (id) {
    case outlook::kItemAdd: return "Itemadded";
    case outlook::kItemChange: return "Itemchanged";
    case outlook::kItemRemove: return "Itemdeleted";
    default: return nullptr;
  }
}

}  // namespace

ComPtr<FolderEventSink> FolderEventSink::Create(const items::ItemKind& kind, std::shared_ptr<SinkCommon> common) {
  return MakeComObject<FolderEventSink>(kind, std::move(common));
}

void* FolderEventSink::OtherInterface(REFIID iid) noexcept {
  return IsEqualIID(iid, kItemsEventsIid) ? static_cast<IDispatch*>(this) : nullptr;
}

HRESULT FolderEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                UINT*) noexcept {
  const char* name = HandlerName(id);
  if (!name || letGo_) return S_OK;
  IDispatch* item = nullptr;
  if (id != outlook::kItemRemove) {
    const VARIANT* argument = FirstArgument(params);
    item = EventItem(argument);
    if (!item) {
      GuardedCall(name, [&] { LogEventWithoutItem(name, argument); });
      return S_OK;
    }
  }
  SinkCommon& line = *common_;
  if (line.handlerUnderWay) {
    // Handled now, its record would overtake the one of the handler under way.
    GuardedCall(name, [&] {
      line.held.push_back({ComPtr<FolderEventSink>::Share(this), id, ComPtr<IDispatch>::Share(item)});
    });
    return S_OK;
  }
  // The sink stays alive to the end of its event, whatever the handler lets go of.
  const ComPtr<FolderEventSink> self = ComPtr<FolderEventSink>::Share(this);
  line.handlerUnderWay = true;
  Handle(id, item);
  while (!line.held.empty()) {
    const HeldEvent next = std::move(line.held.front());
    line.held.pop_front();
    next.sink->Handle(next.id, next.item.Get());
  }
  line.handlerUnderWay = false;
  return S_OK;
}

void FolderEventSink::Handle(DISPID id, IDispatch* item) noexcept {
  // Held behind another handler while its link let go of it.
  if (letGo_) return;
  // So that no timer tick dispatched while the handler waits disconnects the sinks or drops the
  // session under it; the event's record is dropped on a failure, and Outlook never sees it.
  common_->RunGuarded(HandlerName(id), [&] {
    switch (id) {
      case outlook::kItemAdd: Itemadded(item); break;
      case outlook::kItemChange: Itemchanged(item); break;
      case outlook::kItemRemove: Itemdeleted(); break;
      default: break;
    }
  });
}

void FolderEventSink::Itemadded(IDispatch* item) { ReportItem(item, false); }

void FolderEventSink::Itemchanged(IDispatch* item) { ReportItem(item, true); }

void FolderEventSink::Itemdeleted() {
  WriteLog("Itemdeleted()::Step 1::Itemdeleted Called Successfully");
  common_->watch.CheckDeletedItemsInOutlook();
}

void FolderEventSink::ReportItem(IDispatch* borrowed, bool changed) {
  // A reference of the handler's own, released when the report is done.
  const outlook::DispatchDriver item(ComPtr<IDispatch>::Share(borrowed));
  common_->watch.LookAtItem(kind_, item, changed ? DeletionWatch::Seen::kChanged : DeletionWatch::Seen::kAdded,
                            &common_->boxes);
}

}  // namespace orvane::outbound
