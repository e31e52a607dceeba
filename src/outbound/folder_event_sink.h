// FolderEventSink: hears the item events of one default folder of Outlook and reports what the
// user added, changed or removed there to the main application.
#pragma once

#include "base/com_object.h"
#include "base/callback_guard.h"
#include "base/com_ptr.h"
#include "items/item_kinds.h"
#include "outbound/deleted_items.h"
#include "outbound/later_box.h"
#include "outlook/automation_error.h"
#include "outlook/outlook_work.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>

namespace orvane::outbound {

// Outlook's ItemsEvents dispatch interface, {00063077-0000-0000-C000-000000000046}.
constexpr IID kItemsEventsIid = {0x00063077, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class FolderEventSink;

// An event that came while another handler was under way, with references of its own.
struct HeldEvent {
  ComPtr<FolderEventSink> sink;
  DISPID id;
  ComPtr<IDispatch> item;
};

// What the sinks of one connection to Outlook share with the link that made them. Outlook may keep
// a sink beyond the link's life, so each sink holds it too.
struct SinkCommon {
  explicit SinkCommon(HWND from) noexcept : sender(from) {}

  // The window the records are sent from.
  HWND sender;
  // The mark of Outlook work under way on the plug-in's thread.
  outlook::OutlookWorkMark work;
  // Boxes that wait until Outlook has its event back.
  LaterBoxes boxes{work};
  // The watch whose pictures the sinks keep current, which decides what of an item is news to the
  // main application, and whose check an ItemRemove runs.
  DeletionWatch watch;
  // The sinks' events pass one at a time: a handler under way holds the others back, in order.
  bool handlerUnderWay = false;
  std::deque<HeldEvent> held;
  // Set when an Outlook call answered that Outlook's server is gone.
  bool serverGone = false;

  // Runs work with Outlook under the mark: what it throws is logged under `name` and goes no
  // further, and a call that found Outlook's server gone is noted in serverGone.
  template <class Work>
  void RunGuarded(const char* name, Work&& outlookWork) noexcept;
};

class FolderEventSink final : public IdOnlyDispatch {
public:
  // A sink for the folder of the item kind, with its creator's reference. Throws std::bad_alloc.
  static ComPtr<FolderEventSink> Create(const items::ItemKind& kind, std::shared_ptr<SinkCommon> common);

  // Routes ItemAdd, ItemChange and ItemRemove to their handlers; answers S_OK to every event. One
  // handler runs at a time: an event that comes while a handler waits on Outlook (COM delivers
  // incoming calls meanwhile) is held, with its item, and handled after it, in arrival order.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override;

  // The link let go of the sink: an event Outlook still delivers, as a notification already on its
  // way may come after Unadvise, changes nothing; the comparison after the next connection tells.
  void LetGo() noexcept { letGo_ = true; }

  // The handlers. The item is the event's: borrowed, not released.
  void Itemadded(IDispatch* item);
  void Itemchanged(IDispatch* item);
  void Itemdeleted();

private:
  template <class T, class... Args>
  friend ComPtr<T> orvane::MakeComObject(Args&&... args);
  FolderEventSink(const items::ItemKind& kind, std::shared_ptr<SinkCommon> common)
      : kind_(kind), common_(std::move(common)) {}
  void* OtherInterface(REFIID iid) noexcept override;
  void Handle(DISPID id, IDispatch* item) noexcept;
  void ReportItem(IDispatch* borrowed, bool changed);

  const items::ItemKind& kind_;
  std::shared_ptr<SinkCommon> common_;
  bool letGo_ = false;
};

template <class Work>
void SinkCommon::RunGuarded(const char* name, Work&& outlookWork) noexcept {
  const outlook::OutlookWork mark(work);
  GuardedCall(name, [&] {
    try {
      outlookWork();
    } catch (const outlook::AutomationError& error) {
      if (outlook::IsServerGone(error.Result())) serverGone = true;
      throw;
    }
  });
}

}  // namespace orvane::outbound
