#include "testbed/outlook/recording_sink.h"

#include "base/callback_guard.h"
#include "testbed/outlook/standin_ids.h"

namespace orvane {

namespace outlook_standin {

ComPtr<RecordingSink> RecordingSink::Create(bool answersItemsEvents) {
  return MakeComObject<RecordingSink>(answersItemsEvents);
}

int RecordingSink::CountOf(DispId id) const {
  int count = 0;
  for (const ReceivedEvent& event : events_) count += event.id == id ? 1 : 0;
  return count;
}

void* RecordingSink::OtherInterface(REFIID iid) noexcept {
  return answersItemsEvents_ && IsEqualIID(iid, kItemsEventsIid) ? static_cast<IDispatch*>(this) : nullptr;
}

HRESULT RecordingSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO* exception,
                              UINT*) noexcept {
  return GuardedComMethod("RecordingSink", exception, [&] {
    Record(id, params);
    return S_OK;
  });
}

void RecordingSink::Record(DISPID id, const DISPPARAMS* params) {
  ReceivedEvent event;
  event.id = id;
  if (params && params->cArgs > 0 && params->rgvarg) {
    const VARIANT& first = params->rgvarg[params->cArgs - 1];
    event.argumentCount = params->cArgs;
    event.argumentType = first.vt;
    if (first.vt == VT_DISPATCH) event.item = ComPtr<IDispatch>::Share(first.pdispVal);
  }
  events_.push_back(event);
  // The handler may make more events happen; it gets the item by its own reference.
  const ComPtr<IDispatch> item = event.item;
  if (handler_) handler_(id, item.Get());
}

}  // namespace outlook_standin

}  // namespace orvane
