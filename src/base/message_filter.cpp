#include "base/message_filter.h"

namespace orvane {

DWORD MessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, INTERFACEINFO*) noexcept { return SERVERCALL_ISHANDLED; }

DWORD MessageFilter::RetryRejectedCall(HTASK, DWORD, DWORD) noexcept { return kCancelCall; }

DWORD MessageFilter::MessagePending(HTASK, DWORD, DWORD) noexcept { return PENDINGMSG_WAITDEFPROCESS; }

MessageFilterRegistration::MessageFilterRegistration(IMessageFilter* filter) noexcept {
  Answered(CoRegisterMessageFilter(filter, previous_.Receive()));
}

MessageFilterRegistration::~MessageFilterRegistration() {
  if (!Ok()) return;
  // The filter put back is COM's to hold again; ours goes with the reference COM gives back.
  ComPtr<IMessageFilter> ours;
  CoRegisterMessageFilter(previous_.Get(), ours.Receive());
}

}  // namespace orvane
