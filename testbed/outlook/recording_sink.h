// RecordingSink: an ItemsEvents sink for tests that keeps every event it receives; EventConnection:
// one advise of a sink on an Items collection, unadvised when it goes.
#pragma once

#include "outlook/com_types.h"
#include "outlook/outlook_ids.h"

#include <ocidl.h>

#include <functional>
#include <vector>

namespace orvane {

namespace outlook_standin {

struct ReceivedEvent {
  outlook::DispId id = 0;
  UINT argumentCount = 0;
  VARTYPE argumentType = VT_EMPTY;  // of the first argument
  ComPtr<IDispatch> item;           // the item passed, when it was an object
};

class RecordingSink final : public IDispatch {
public:
  // `answersItemsEvents`: whether QueryInterface answers Outlook's ItemsEvents identifier.
  static ComPtr<RecordingSink> Create(bool answersItemsEvents = true);

  const std::vector<ReceivedEvent>& Events() const { return events_; }
  int CountOf(outlook::DispId id) const;
  void Clear() { events_.clear(); }
  // What Invoke answers from now on (S_OK at first); RPC_E_DISCONNECTED plays a sink whose process is gone.
  void AnswerWith(HRESULT result) { answer_ = result; }
  // Called for every event, after it is recorded, with its DISPID and item (null for ItemRemove).
  void OnEvent(std::function<void(outlook::DispId, IDispatch*)> handler) { handler_ = std::move(handler); }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* badArgument) override;

private:
  explicit RecordingSink(bool answersItemsEvents) : answersItemsEvents_(answersItemsEvents) {}
  ~RecordingSink() = default;

  LONG references_ = 1;
  bool answersItemsEvents_;
  HRESULT answer_ = S_OK;
  std::vector<ReceivedEvent> events_;
  std::function<void(outlook::DispId, IDispatch*)> handler_;
};

class EventConnection {
public:
  // Finds the ItemsEvents connection point of `items` and advises `sink` on it.
  EventConnection(IDispatch* items, IUnknown* sink);
  EventConnection(const EventConnection&) = delete;
  EventConnection& operator=(const EventConnection&) = delete;
  ~EventConnection() { Disconnect(); }

  // S_OK when advised, else the HRESULT of the step that failed.
  HRESULT Result() const { return result_; }
  DWORD Cookie() const { return cookie_; }
  IConnectionPoint* Point() const { return point_.Get(); }
  // Unadvises (once) and lets go of the connection point; answers Unadvise's result.
  HRESULT Disconnect();

private:
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
  HRESULT result_ = E_FAIL;
};

}  // namespace outlook_standin

}  // namespace orvane
