#include "outbound/outlook_link.h"

#include "outlook/outlook_session.h"

namespace orvane::outbound {

bool sinksConnected = false;

OutlookLink::OutlookLink() : common_(std::make_shared<SinkCommon>()) {}

void OutlookLink::SendFrom(HWND sender) noexcept { common_->watch.SendFrom(sender); }

void OutlookLink::FollowRunningOutlook() {
  // Whatever was of an earlier Outlook has been let go of by now.
  common_->serverGone = false;
  outlookProcess_ = outlook::OutlookProcessId();
}

void OutlookLink::ConnectSinks() {
  DisconnectSinks();
  for (size_t index = 0; index < items::kItemKindCount; ++index) {
    const items::ItemKind& kind = *items::kItemKinds[index];
    links_[index].Connect(
        kind.folder, [&] { return FolderEventSink::Create(kind, common_); }, common_->boxes);
    // Counted as connected once a folder was taken, so that a sink that could not be made is not
    // tried again on every tick of the connection timer.
    sinksConnected = true;
  }
}

void OutlookLink::DisconnectSinks() { LetGoOfLinks(common_->serverGone); }

void OutlookLink::Abandon() {
  LetGoOfLinks(true);
  outlook::ReleaseOutlookSession();
  common_->serverGone = false;
}

bool OutlookLink::OutlookLeft() const { return common_->serverGone || outlook::OutlookProcessId() != outlookProcess_; }

void OutlookLink::ListItemsInOutlook() {
  // A failed comparison keeps the pictures for the next one: the plug-in carries on.
  common_->RunGuarded("ListItemsInOutlook", [this] { common_->watch.ListItemsInOutlook(); });
}

void OutlookLink::CheckDeletedItems() {
  common_->RunGuarded("CheckDeletedItemsInOutlook", [this] { common_->watch.CheckDeletedItemsInOutlook(); });
}

bool OutlookLink::FolderCountsMoved() {
  bool moved = false;
  common_->RunGuarded("FolderCountsMoved", [&] {
    for (size_t kind = 0; kind < items::kItemKindCount && !moved; ++kind) {
      const std::optional<size_t> read = common_->watch.LastReadCount(kind);
      const std::optional<int32_t> now = links_[kind].ItemCount();
      moved = read && now && static_cast<size_t>(*now) != *read;
    }
  });
  return moved;
}

// A portion at a time, so that the message loop runs between portions: an inbound record waits at
// most about one portion.
bool OutlookLink::LookAtWaitingItems() {
  constexpr DWORD kPortionMs = 250;
  bool more = false;
  common_->RunGuarded("LookAtWaitingItems",
                      [&] { more = common_->watch.LookAtWaitingItems(kPortionMs, common_->boxes); });
  return more || common_->watch.ItemsToLookAt() > 0;
}

// Not a call more to a gone Outlook's objects: its links are only let go of.
void OutlookLink::LetGoOfLinks(bool outlookGone) {
  for (FolderLink& link : links_) {
    if (outlookGone) {
      link.Abandon();
    } else {
      link.Disconnect();
    }
  }
  sinksConnected = false;
}

}  // namespace orvane::outbound
