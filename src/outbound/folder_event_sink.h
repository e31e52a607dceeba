// FolderEventSink: hears the item events of one default folder of Outlook and reports what the
// user added, changed or removed there to the main application.
#pragma once

#include "base/callback_guard.h"
#include "base/com_object.h"
#include "base/com_ptr.h"
#include "base/owner_thread.h"
#include "base/work_scope.h"
#include "items/item_kinds.h"
#include "outbound/disappearances.h"
#include "outbound/folder_comparer.h"
#include "outbound/item_news.h"
#include "outbound/kept_state.h"
#include "outbound/later_box.h"
#include "outbound/look_at_queue.h"
#include "outbound/outbox.h"
#include "outbound/store_slots.h"
#include "outlook/automation_error.h"
#include "outlook/outlook_session.h"

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

// What the sinks of one connection to Outlook share with the link that made them: the rooms of the
// outbound road, the mark of Outlook work, the boxes that wait and the line of events. Outlook may
// keep a sink beyond the link's life, so each sink holds it too, until the link lets go of it.
struct SinkCommon {
  explicit SinkCommon(outlook::OutlookSession& outlook) noexcept : session(outlook) {}

  outlook::OutlookSession& session;
  // Everything runs on the thread that made the link.
  OwnerThread thread;
  // Work with Outlook under way. Ticks that would open, release or disconnect the objects it uses
  // return at once, their timers still armed.
  WorkUnderWay work{"timer ticks that would open, release or disconnect the Outlook objects in use"};
  // Boxes that wait until Outlook has its event back.
  LaterBoxes boxes{work};
  KeptState kept;
  StoreSlots slots{kept};
  DisappearanceConfirmation disappearances{kept, slots};
  Outbox outbox{kept};
  LookAtQueue toLookAt;
  FolderComparer comparer{session, kept, slots, disappearances, outbox, toLookAt};
  NewsWatch news{session, kept, slots, comparer, outbox, toLookAt};
  // The sinks' events pass one at a time: a handler under way holds the others back, in order.
  WorkUnderWay handling{"another event's handler: the event waits in line behind it"};
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

  // The link lets go of the sink: an event Outlook still delivers, as a notification already on its
  // way may come after Unadvise, changes nothing; the comparison after the next connection tells.
  void LetGo() noexcept { common_.reset(); }

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
  void Handle(SinkCommon& common, DISPID id, IDispatch* item) noexcept;
  void ReportItem(IDispatch* borrowed, bool changed);

  const items::ItemKind& kind_;
  std::shared_ptr<SinkCommon> common_;
};

template <class Work>
void SinkCommon::RunGuarded(const char* name, Work&& outlookWork) noexcept {
  const WorkScope mark(work);
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
