#include "outbound/outlook_link.h"

#include <utility>

namespace orvane::outbound {

bool sinksConnected = false;

namespace {

// A portion of the items the comparisons found at a time, so that the message loop runs between
// portions: an inbound record waits at most about one portion.
constexpr DWORD kPortionMs = 250;

}  // namespace

OutlookLink::OutlookLink(outlook::OutlookSession& session)
    : session_(session), common_(std::make_shared<SinkCommon>(session)) {}

void OutlookLink::ConnectAndCompare(bool compare, SinkOperations& sinks) {
  if (WorkUnderWay()) return;
  const WorkScope work(common_->work);
  // Whatever was of an earlier Outlook has been let go of by now.
  common_->serverGone = false;
  const DWORD process = outlook::OutlookProcessId();
  if (process != std::exchange(outlookProcess_, process)) common_->comparer.ForgetOutlooksSession();
  const outlook::OutlookSession::Hold session(session_);
  sinks.ConnectSinks();
  // A failed comparison keeps the pictures for the next one: the plug-in carries on.
  if (compare) common_->RunGuarded("ListItemsInOutlook", [this] { common_->comparer.ListItemsInOutlook(); });
}

// Only while Outlook runs: asking for its session would start it again after the user closed it.
void OutlookLink::CheckEveryMinute() {
  if (WorkUnderWay() || !sinksConnected || !outlook::OutlookWindowExists()) return;
  common_->RunGuarded("CheckDeletedItemsInOutlook", [this] { common_->comparer.CheckDeletedItemsInOutlook(); });
}

// While the sinks are down (an inbound record, Outlook gone) the items wait for the comparison
// that follows.
bool OutlookLink::ReportWhatComparisonsFound() {
  if (!sinksConnected || !outlook::OutlookWindowExists()) return false;
  if (WorkUnderWay()) return true;
  bool more = false;
  common_->RunGuarded("LookAtWaitingItems",
                      [&] { more = common_->news.LookAtWaitingItems(kPortionMs, common_->boxes); });
  return more || common_->news.ItemsToLookAt() > 0;
}

bool OutlookLink::PerformWithSinksDown(const std::function<void()>& write, SinkOperations& sinks) {
  if (WorkUnderWay()) return false;
  const WorkScope work(common_->work);
  if (sinksConnected) sinks.DisconnectSinks();
  const outlook::OutlookSession::Hold session(session_);
  write();
  return true;
}

// Three calls every few seconds, on the Items the sinks hold.
void OutlookLink::CheckWhenFolderCountsMoved() {
  if (WorkUnderWay() || !sinksConnected || !outlook::OutlookWindowExists()) return;
  if (FolderCountsMoved()) CheckEveryMinute();
}

void OutlookLink::SendWaitingRecords() {
  if (!WorkUnderWay()) common_->outbox.SendWaitingRecords();
}

void OutlookLink::ConfirmEmptyReads() {
  if (common_->disappearances.Due()) CheckEveryMinute();
}

void OutlookLink::ConnectSinks() {
  DisconnectSinks();
  for (size_t index = 0; index < items::kItemKindCount; ++index) {
    const items::ItemKind& kind = *items::kItemKinds[index];
    links_[index].Connect(
        session_, kind.folder, [&] { return FolderEventSink::Create(kind, common_); }, common_->boxes);
    // Counted as connected once a folder was taken, so that a sink that could not be made is not
    // tried again on every tick of the connection timer.
    sinksConnected = true;
  }
}

void OutlookLink::DisconnectSinks() { LetGoOfLinks(common_->serverGone); }

void OutlookLink::Abandon() {
  LetGoOfLinks(true);
  session_.Abandon();
  common_->comparer.ForgetOutlooksSession();
  common_->serverGone = false;
}

bool OutlookLink::FolderReadsEmptyForNow(size_t kind) {
  if (!sinksConnected || kind >= items::kItemKindCount) return false;
  if (common_->kept.Folder(common_->slots.Active(kind)).picture.Entries().empty()) return false;
  bool empty = false;
  common_->RunGuarded("FolderReadsEmptyForNow", [&] {
    const std::optional<int32_t> count = links_[kind].ItemCount();
    empty = count && *count == 0;
  });
  return empty;
}

bool OutlookLink::OutlookLeft() const { return common_->serverGone || outlook::OutlookProcessId() != outlookProcess_; }

bool OutlookLink::FolderCountsMoved() {
  bool moved = false;
  common_->RunGuarded("FolderCountsMoved", [&] {
    for (size_t kind = 0; kind < items::kItemKindCount && !moved; ++kind) {
      const std::optional<size_t> read = common_->slots.LastReadCount(kind);
      const std::optional<int32_t> now = links_[kind].ItemCount();
      moved = read && now && static_cast<size_t>(*now) != *read;
    }
  });
  return moved;
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
