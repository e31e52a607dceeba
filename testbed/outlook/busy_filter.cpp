#include "testbed/outlook/busy_filter.h"

#include "base/callback_guard.h"
#include "base/message_filter.h"
#include "testbed/outlook/call_ledger.h"
#include "testbed/outlook/standin_ids.h"

namespace orvane {

namespace outlook_standin {
namespace {

// Outlook is created and called through these two; COM's own traffic (reference counts,
// activation) and the test controls pass even while it is busy.
bool CallsOutlook(const INTERFACEINFO& call) {
  if (!IsEqualIID(call.iid, IID_IDispatch) && !IsEqualIID(call.iid, IID_IClassFactory)) return false;
  if (!call.pUnk) return true;
  ComPtr<IUnknown> control;
  call.pUnk->QueryInterface(kTestControlIid, reinterpret_cast<void**>(control.Receive()));
  return !control;
}

class BusyFilter final : public MessageFilter {
public:
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount,
                                             INTERFACEINFO* call) noexcept override {
    return Guarded("BusyFilter::HandleInComingCall", DWORD{SERVERCALL_ISHANDLED}, [&]() -> DWORD {
      // Outlook answers "retry later"; Wine's COM takes the call all the same on that answer, and
      // a client without a filter of its own sees the call rejected either way: so, rejected.
      if (call && CallsOutlook(*call) && Ledger().Busy()) return SERVERCALL_REJECTED;
      return MessageFilter::HandleInComingCall(callType, caller, tickCount, call);
    });
  }
};

}  // namespace

ComPtr<IMessageFilter> NewBusyFilter() { return MakeComObject<BusyFilter>(); }

}  // namespace outlook_standin

}  // namespace orvane
