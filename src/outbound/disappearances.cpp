#include "outbound/disappearances.h"

#include "items/item_kinds.h"

namespace orvane::outbound {

namespace {

// Milliseconds since 1601 (UTC).
std::uint64_t SystemTimeMs() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return ((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000;
}

}  // namespace

DisappearanceConfirmation::DisappearanceConfirmation(KeptState& kept, const StoreSlots& slots)
    : kept_(kept), slots_(slots), clock_(SystemTimeMs) {}

void DisappearanceConfirmation::NoteConnection(DWORD outlookProcess) noexcept {
  if (outlookProcess_ && *outlookProcess_ != outlookProcess) ++connection_;
  outlookProcess_ = outlookProcess;
}

Confirmation DisappearanceConfirmation::Now() const { return {clock_(), connection_, emptyReadWait_, manyWait_}; }

void DisappearanceConfirmation::EndOtherStoresHolds(size_t kind, size_t slot) {
  for (size_t at = kind; at < KeptState::kFolderSlots; at += items::kItemKindCount) {
    if (at != slot) kept_.Folder(at).picture.EndHold();
  }
}

// Only the folders this process compared: a hold kept by an earlier one starts afresh at the first
// comparison anyway.
bool DisappearanceConfirmation::Due() {
  const Confirmation now = Now();
  bool due = false;
  for (size_t kind = 0; kind < items::kItemKindCount; ++kind) {
    if (!slots_.LastReadCount(kind)) continue;
    const size_t slot = slots_.Active(kind);
    const HeldBack* hold = kept_.Folder(slot).picture.Held();
    if (!hold) continue;
    const std::uint64_t wait = WaitOf(*hold, now);
    // A clock set back is due at once: the comparison starts the wait again.
    const auto waited = [&](std::uint64_t since) { return now.now < since || now.now - since >= wait; };
    if (!waited(hold->since) || (askedAt_[slot] && !waited(*askedAt_[slot]))) continue;
    askedAt_[slot] = now.now;
    due = true;
  }
  return due;
}

}  // namespace orvane::outbound
