// RecordingSink: an ItemsEvents sink for tests that keeps every event it receives.
#pragma once

#include "base/com_object.h"
#include "outlook/com_types.h"
#include "testbed/outlook/object_model_ids.h"

#include <functional>
#include <vector>

namespace orvane {

namespace outlook_standin {

struct ReceivedEvent {
  DispId id = 0;
  UINT argumentCount = 0;
  VARTYPE argumentType = VT_EMPTY;  // of the first argument
  ComPtr<IDispatch> item;           // the item passed, when it was an object
};

class RecordingSink final : public IdOnlyDispatch {
public:
  // `answersItemsEvents`: whether QueryInterface answers Outlook's ItemsEvents identifier.
  static ComPtr<RecordingSink> Create(bool answersItemsEvents = true);

  const std::vector<ReceivedEvent>& Events() const { return events_; }
  int CountOf(DispId id) const;
  // Called for every event, after it is recorded, with its DISPID and item (null for ItemRemove).
  void OnEvent(std::function<void(DispId, IDispatch*)> handler) { handler_ = std::move(handler); }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* badArgument) noexcept override;

private:
  template <class T, class... Args>
  friend ComPtr<T> orvane::MakeComObject(Args&&... args);
  explicit RecordingSink(bool answersItemsEvents) : answersItemsEvents_(answersItemsEvents) {}
  void* OtherInterface(REFIID iid) noexcept override;
  void Record(DISPID id, const DISPPARAMS* params);

  bool answersItemsEvents_;
  std::vector<ReceivedEvent> events_;
  std::function<void(DispId, IDispatch*)> handler_;
};

}  // namespace outlook_standin

}  // namespace orvane
