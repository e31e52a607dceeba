#include "testbed/outlook/recording_sink.h"

#include "testbed/outlook/standin_ids.h"

namespace orvane {

namespace outlook_standin {

ComPtr<RecordingSink> RecordingSink::Create(bool answersItemsEvents) {
  return ComPtr<RecordingSink>::Attach(new RecordingSink(answersItemsEvents));
}

int RecordingSink::CountOf(outlook::DispId id) const {
  int count = 0;
  for (const ReceivedEvent& event : events_) count += event.id == id ? 1 : 0;
  return count;
}

STDMETHODIMP RecordingSink::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  const bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
                     (answersItemsEvents_ && IsEqualIID(iid, kItemsEventsIid));
  if (!known) return E_NOINTERFACE;
  *object = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) RecordingSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) RecordingSink::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

STDMETHODIMP RecordingSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP RecordingSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP RecordingSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP RecordingSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
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
  return answer_;
}

EventConnection::EventConnection(IDispatch* items, IUnknown* sink) {
  const ComPtr<IConnectionPointContainer> container =
      ComPtr<IDispatch>::Share(items).As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  if (!container) {
    result_ = E_NOINTERFACE;
    return;
  }
  result_ = container->FindConnectionPoint(kItemsEventsIid, point_.Receive());
  if (FAILED(result_)) return;
  result_ = point_->Advise(sink, &cookie_);
  if (FAILED(result_)) point_.Reset();
}

HRESULT EventConnection::Disconnect() {
  if (!point_) return S_FALSE;
  const HRESULT result = point_->Unadvise(cookie_);
  point_.Reset();
  return result;
}

}  // namespace outlook_standin

}  // namespace orvane
