// OutlookLink: the plug-in's connection to the running Outlook: a sink on each watched folder, the
// Outlook process they listen to, and the rooms of the outbound road that outlive them. It runs
// the sequences the frame's timers drive, each under the mark of Outlook work on a session it
// holds for that work.
#pragma once

#include "items/item_kinds.h"
#include "outbound/folder_event_sink.h"
#include "outbound/folder_link.h"
#include "outlook/outlook_session.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace orvane::outbound {

// Set while the folder sinks are connected.
extern bool sinksConnected;

// What the sequences connect and disconnect the sinks through: the link's own operations, or the
// frame's, which it keeps as operations of its own.
class SinkOperations {
public:
  virtual void ConnectSinks() = 0;
  virtual void DisconnectSinks() = 0;

protected:
  ~SinkOperations() = default;
};

class OutlookLink final : public SinkOperations {
public:
  explicit OutlookLink(outlook::OutlookSession& session);
  OutlookLink(const OutlookLink&) = delete;
  OutlookLink& operator=(const OutlookLink&) = delete;
  ~OutlookLink() { LetGoOfLinks(common_->serverGone); }

  // The window the reports go out from.
  void SendFrom(HWND sender) noexcept { common_->outbox.SendFrom(sender); }
  // Whether Outlook shows the kind's folder (items::IndexOf) empty while its picture holds items,
  // as while a store loads: a command that looks an item up there finds nothing for now. One call,
  // on the Items the sink holds; false while the sinks are down.
  bool FolderReadsEmptyForNow(size_t kind);
  // The reports wait while the main application's command does.
  void YieldTo(std::function<bool()> commandWaiting) { common_->outbox.YieldTo(std::move(commandWaiting)); }
  // Keeps the pictures and the outbox on disk, starting from those an earlier process kept.
  void StartFromKeptPictures(const std::wstring& directory = {}) { common_->kept.Start(directory); }
  // The process hands over: its pictures are closed and nothing more is written to them.
  void StopKeepingPictures() { common_->kept.Stop(); }

  // Whether work with Outlook is under way: a tick that would open, release or disconnect what it
  // uses does nothing now, and comes again.
  bool WorkUnderWay() const noexcept { return common_->work.Now(); }

  // The timers' sequences. Each does nothing while other Outlook work is under way.
  // Connects a sink to each watched folder of the Outlook whose window is up now, then, unless
  // `compare` is false (the process hands over), compares the folders with their pictures.
  void ConnectAndCompare(bool compare, SinkOperations& sinks);
  void ConnectAndCompare(bool compare) { ConnectAndCompare(compare, *this); }
  // The minute's check for deletions no event announced, while the sinks are connected and
  // Outlook runs; a failure is logged.
  void CheckEveryMinute();
  // Looks at some of the items the comparisons found, while the sinks are connected and Outlook
  // runs; answers whether some still wait for the next portion.
  bool ReportWhatComparisonsFound();
  // Takes the sinks down, so that the plug-in's own writes are not heard as the user's, and runs
  // `write` on a session held for it. False when other Outlook work was under way: nothing ran.
  bool PerformWithSinksDown(const std::function<void()>& write, SinkOperations& sinks);
  bool PerformWithSinksDown(const std::function<void()>& write) { return PerformWithSinksDown(write, *this); }
  // Compares the folders at once when a watched folder holds another number of items than its
  // last read found: Outlook raises no ItemAdd or ItemRemove when many come or go at once.
  void CheckWhenFolderCountsMoved();
  // Whether a watched folder holds another number of items than its last read found: one call per
  // folder, on the Items the sinks hold; a failure is logged and counts as no.
  bool FolderCountsMoved();
  // The records that wait go, in order, when the main application's window is there; not in the
  // middle of Outlook work, which sends its own records through the same line.
  void SendWaitingRecords();
  // A folder watched now whose deletions are held back is compared again once its hold is due
  // rather than at the minute's check: the last item of a folder is reported a few seconds after
  // its deletion, many deletions at once half a minute after the folder last changed.
  void ConfirmEmptyReads();

  // Connects a sink to each watched folder, on the session. A folder whose sink could not be made
  // still counts as connected, so that it is not tried again at every tick.
  void ConnectSinks() override;
  // Unadvises the sinks and lets go of them; without a call to them when Outlook is gone.
  void DisconnectSinks() override;
  // Outlook's server is gone: its sinks and the session are let go of without a call to them.
  void Abandon();
  // Whether a call found Outlook's server gone, or Outlook's window is gone or belongs to
  // another process than the one the sinks were connected to.
  bool OutlookLeft() const;

  LaterBoxes& Boxes() noexcept { return common_->boxes; }
  Outbox& Records() noexcept { return common_->outbox; }
  NewsWatch& News() noexcept { return common_->news; }
  DisappearanceConfirmation& Disappearances() noexcept { return common_->disappearances; }
  const KeptState& Kept() const noexcept { return common_->kept; }

private:
  void LetGoOfLinks(bool outlookGone);

  outlook::OutlookSession& session_;
  std::shared_ptr<SinkCommon> common_;
  // One per watched folder, in the order of the item kinds.
  FolderLink links_[items::kItemKindCount];
  DWORD outlookProcess_ = 0;
};

}  // namespace orvane::outbound
