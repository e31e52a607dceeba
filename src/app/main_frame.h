// CMainFrame: the plug-in's one hidden window, which takes the main application's messages, runs
// the timers, and hands each piece of work to its road: the writers that put records into Outlook,
// the folder sinks and the deleted-item check that report Outlook's changes.
#pragma once

#include "app/held_record.h"
#include "app/intake.h"
#include "app/session_creation.h"
#include "base/base_window.h"
#include "inbound/writers.h"
#include "outbound/outlook_link.h"
#include "outlook/outlook_session.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace orvane::app {

// The frame's timers: perform the pending record, connect the folder sinks, watch the desktop,
// look for deletions Outlook did not announce while the sinks are connected, and look at the items
// the comparisons found added or changed, a portion at a time.
constexpr UINT_PTR kRecordTimer = 9990;
constexpr UINT_PTR kSinkTimer = 8888;
constexpr UINT_PTR kWatchdogTimer = 5555;
constexpr UINT_PTR kDeletedItemsTimer = 7777;
constexpr UINT_PTR kReportTimer = 6666;
constexpr UINT kDeletedItemsPeriodMs = 60000;
constexpr UINT kReportPeriodMs = 100;
// How often, in watchdog ticks, the folders' item counts are looked at for items that came or went
// without an event.
constexpr int kCountProbeTicks = 10;

class CMainFrame : public BaseWindow, public outbound::SinkOperations {
public:
  CMainFrame();
  ~CMainFrame() override;

  // Creates the hidden top-level window titled "Untitled - stub"; false when it cannot be made.
  bool Create();

  // Writers: each takes the record as a writable zero-terminated text. The notes' flag is part of
  // the frame's operations only: the frame passes 0 and no writer reads it.
  virtual void SaveOutlookApps(char* record);
  virtual void SaveOutlookTask(char* record);
  virtual void SaveOutlookNote(char* record, int flag);
  virtual void ChangeOutlookApps(char* record);
  virtual void ChangeOutlookTask(char* record);
  virtual void ChangeOutlookNote(char* record, int flag);
  virtual void DeleteOutlookItem(char* record, uint32_t kind);
  virtual void DoneOutlookItem(char* record, uint32_t kind);
  virtual void SetOutlookLinkId(char* record, uint32_t kind);
  // Folder sinks.
  void ConnectSinks() override;
  void DisconnectSinks() override;
  // Replaces every `from` in text by `to`; answers how many were replaced.
  virtual int ReplaceChar(char* text, char from, char to);

  // The connection to Outlook the frame's timers drive, and the session its work holds.
  outbound::OutlookLink& Link() noexcept { return link_; }
  const outlook::OutlookSession& Session() const noexcept { return session_; }

protected:
  // Message handlers.
  int OnCreate(CREATESTRUCTA* create);
  BOOL OnCopyData(HWND sender, const COPYDATASTRUCT* data);
  void OnTimer(UINT_PTR id);
  void RunTimer(UINT_PTR id);
  LRESULT OnSaveNow(WPARAM, LPARAM);
  LRESULT OnDoneNow(WPARAM, LPARAM);
  LRESULT OnChangeNow(WPARAM, LPARAM);
  LRESULT OnDeleteNow(WPARAM, LPARAM);
  LRESULT OnCloseStubNow(WPARAM, LPARAM);
  // Whether the main application's command waits to be performed: the reports wait for it.
  bool CommandWaits() const;

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  const char* ReportName() const noexcept override { return "CMainFrame"; }
  LRESULT OnActionMessage(UINT action);
  void OpenSessionAtStart();
  // A command as it left the intake, its record and its action both come: the next record and
  // action (COM's wait lets them in during a write) neither change it nor are performed under it.
  struct TakenCommand {
    HeldRecord held;  // as a session's end would keep it
    app::Writer writer = app::Writer::None;
  };
  void PerformPendingRecord();
  void TakeCommandFromIntake();
  bool WaitsForItsFolder(const TakenCommand& command);
  // The commands not yet performed, in their order, as the next process would take them up.
  std::vector<HeldRecord> CommandsInHand() const;
  void LogDroppedCommands() const;
  void ConnectSinksWhenOutlookRuns();
  // Timer 8888 at the period, unless it runs with it already; stopped.
  void ArmSinkTimer(UINT periodMs);
  void StopSinkTimer();
  void WatchDesktop();
  void CheckDeletedItemsEveryMinute();
  void LetGoOfOutlookWhenGone();
  void LetGoOfOutlook();
  bool IsThePluginsFrame() const;
  void CloseAfterBox(HWND owner, const char* text, UINT modality, bool atOnce);
  void CallWriter(const TakenCommand& command);
  void ReportWhatComparisonsFound();
  void ArmReportTimerWhenItemsWait();
  void StopReportTimer();
  void CheckWhenFolderCountsMoved();

  // What is done when Outlook cannot be created, and the one owner of the Outlook session.
  ShellSessionCreation sessionCreation_;
  outlook::OutlookSession session_{sessionCreation_};
  outbound::OutlookLink link_{session_};
  // The period timer 8888 runs with; 0 while it is stopped.
  UINT sinkTimerPeriodMs = 0;
  // Set while the report timer runs.
  bool reportTimerArmed_ = false;
  // An action message armed the record timer and its record waits: the reports wait for it.
  bool commandArmed_ = false;
  // The commands taken from the intake, in the order they came, the first to be performed next.
  // While it waits for its folder the intake is free for the next command, which would otherwise
  // replace it. Past kMostCommandsWaiting the first waits no more.
  std::deque<TakenCommand> commands_;
  static constexpr size_t kMostCommandsWaiting = 50;
  // The record timer's ticks a command has waited for its folder to show its items.
  static constexpr int kFolderWaitTicks = 30;
  int folderWaits_ = 0;
  // Watchdog ticks since the folders' counts were last looked at.
  int ticksSinceCountProbe_ = 0;
  // Set once Outlook's going is logged, until the sinks are connected again.
  bool outlookGoneLogged_ = false;
  // Finds the items the inbound commands act on, remembering its table failures between them.
  inbound::SubjectLookup subjectLookup_{session_};
  // The session the writers work on, whom they tell of their own work (so that the outbound road
  // leaves it out), and how they find an item.
  const inbound::WriterContext writerContext_{session_, link_.News(), link_.News(), subjectLookup_};
};

// Milliseconds from GetTickCount when the frame was made; the watchdog measures the age from it.
extern DWORD startTick;

// The plug-in's frame title, and the one it takes when it hands over to a successor.
constexpr char kFrameTitle[] = "Untitled - stub";
constexpr char kFrameHandOffTitle[] = "stub";

}  // namespace orvane::app
