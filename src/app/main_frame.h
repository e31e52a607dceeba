// CMainFrame: the plug-in's one hidden window, which takes the main application's messages, runs
// the timers, and hands each piece of work to its road: the writers that put records into Outlook,
// the folder sinks and the deleted-item check that report Outlook's changes.
#pragma once

#include "base/base_window.h"
#include "inbound/item_lookup.h"
#include "outbound/deleted_items.h"
#include "outbound/folder_event_sink.h"
#include "outbound/folder_link.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace orvane {

// The frame's timers: perform the pending record, connect the folder sinks, watch the desktop,
// look for deletions Outlook did not announce while the sinks are connected.
constexpr UINT_PTR kRecordTimer = 9990;
constexpr UINT_PTR kSinkTimer = 8888;
constexpr UINT_PTR kWatchdogTimer = 5555;
constexpr UINT_PTR kDeletedItemsTimer = 7777;
constexpr UINT kDeletedItemsPeriodMs = 60000;

class CMainFrame : public BaseWindow {
public:
  CMainFrame();
  ~CMainFrame() override;

  // Creates the hidden top-level window titled "Untitled - stub"; false when it cannot be made.
  bool Create();

  // Writers: each takes the record as a writable zero-terminated text.
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
  virtual void ConnectSinks();
  virtual void DisconnectSinks();
  // Replaces every `from` in text by `to`; answers how many were replaced.
  virtual int ReplaceChar(char* text, char from, char to);

protected:
  // A new sink for the folder of the item kind; throws std::bad_alloc when there is no memory.
  virtual ComPtr<FolderEventSink> CreateFolderSink(uint32_t kind);

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

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  const char* ReportName() const noexcept override { return "CMainFrame"; }
  LRESULT OnActionMessage(UINT action);
  void OpenSessionAtStart();
  void PerformPendingRecord();
  void ConnectSinksWhenOutlookRuns();
  // Timer 8888 at the period, unless it runs with it already; stopped.
  void ArmSinkTimer(UINT periodMs);
  void StopSinkTimer();
  void WatchDesktop();
  void CheckDeletedItemsEveryMinute();
  void LetGoOfOutlookWhenGone();
  void LetGoOfOutlook();
  void LetGoOfLinks(bool outlookGone);
  void CloseAfterBox(HWND owner, const char* text, UINT modality, bool atOnce);
  void CallWriter(const char* parked);
  void ListItemsInOutlook();

  // The watched default folders, each with its Items, sink and advise while the sinks listen.
  FolderLink tasksLink;
  FolderLink notesLink;
  FolderLink calendarLink;
  // The period timer 8888 runs with; 0 while it is stopped.
  UINT sinkTimerPeriodMs = 0;
  // The process of the Outlook the sinks were connected to.
  DWORD outlookProcess = 0;
  // Survives the sinks' disconnections, so that what goes while they are down is still found.
  const std::shared_ptr<DeletionWatch> deletedItems = std::make_shared<DeletionWatch>();
  // What the main application knows of each item: the writers tell it their saves, the sinks
  // send only what it does not know yet.
  const std::shared_ptr<KnownStates> knownStates = std::make_shared<KnownStates>();
  // Finds the items the inbound commands act on, remembering its table failures between them.
  SubjectLookup subjectLookup;
};

// Milliseconds from GetTickCount when the frame was made; the watchdog measures the age from it.
extern DWORD startTick;
// Set while the folder sinks are connected.
extern bool sinksConnected;

// The plug-in's frame title, and the one it takes when it hands over to a successor.
constexpr char kFrameTitle[] = "Untitled - stub";
constexpr char kFrameHandOffTitle[] = "stub";

}  // namespace orvane
