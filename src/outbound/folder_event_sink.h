// FolderEventSink: hears the item events of one default folder of Outlook and reports what the
// user added, changed or removed there to the main application.
#pragma once

#include "base/com_object.h"
#include "base/com_ptr.h"
#include "outbound/deleted_items.h"
#include "outbound/known_states.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace orvane {

// Outlook's ItemsEvents dispatch interface, {00063077-0000-0000-C000-000000000046}.
constexpr IID kItemsEventsIid = {0x00063077, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class FolderEventSink final : public IdOnlyDispatch {
public:
  // A sink for the folder of the item kind (task, appointment or note), with its creator's
  // reference; it sends its records from the window `sender`, and its events keep the watch's
  // picture current and run its checks. An item in a state `known` holds is not sent again; a state
  // sent joins them. Throws std::bad_alloc.
  static ComPtr<FolderEventSink> Create(uint32_t kind, std::shared_ptr<DeletionWatch> watch,
                                        std::shared_ptr<KnownStates> known, HWND sender);

  uint32_t Kind() const noexcept { return kind_; }

  // Routes ItemAdd, ItemChange and ItemRemove to their handlers; answers S_OK to every event. One
  // handler runs at a time: an event that comes while a handler waits on Outlook (COM delivers
  // incoming calls meanwhile) is held, with its item, and handled after it, in arrival order.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override;

  // The handlers. The item is the event's: borrowed, not released.
  void Itemadded(IDispatch* item);
  void Itemchanged(IDispatch* item);
  void Itemdeleted();

private:
  template <class T, class... Args>
  friend ComPtr<T> MakeComObject(Args&&... args);
  FolderEventSink(uint32_t kind, std::shared_ptr<DeletionWatch> watch, std::shared_ptr<KnownStates> known, HWND sender)
      : kind_(kind), watch_(std::move(watch)), known_(std::move(known)), sender_(sender) {}
  void* OtherInterface(REFIID iid) noexcept override;
  void Handle(DISPID id, IDispatch* item) noexcept;
  void ReportItem(IDispatch* borrowed, bool changed);

  uint32_t kind_;
  // Shared with the frame: Outlook may keep the sink beyond the frame's life.
  std::shared_ptr<DeletionWatch> watch_;
  std::shared_ptr<KnownStates> known_;
  HWND sender_;
};

}  // namespace orvane
