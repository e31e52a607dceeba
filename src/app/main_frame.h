// CMainFrame: the plug-in's one hidden window, which takes the main application's messages,
// runs the timers and carries the writers that put records into Outlook.
#pragma once

#include "outlook/dispatch_driver.h"

#include <windows.h>

#include <cstdint>

namespace orvane {

class CMainFrame {
public:
  CMainFrame();
  virtual ~CMainFrame();
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // Creates the hidden top-level window titled "Untitled - stub"; false when it cannot be made.
  bool Create();
  HWND Window() const { return window_; }

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
  // Message handlers.
  int OnCreate(CREATESTRUCTA* create);
  BOOL OnCopyData(HWND sender, const COPYDATASTRUCT* data);
  void OnTimer(UINT_PTR id);
  LRESULT OnSaveNow(WPARAM, LPARAM);
  LRESULT OnDoneNow(WPARAM, LPARAM);
  LRESULT OnChangeNow(WPARAM, LPARAM);
  LRESULT OnDeleteNow(WPARAM, LPARAM);
  LRESULT OnCloseStubNow(WPARAM, LPARAM);

private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnActionMessage(UINT action);
  void OpenSessionAtStart();
  void PerformPendingRecord();
  void ConnectSinksWhenOutlookRuns();
  void WatchDesktop();
  void CallWriter(const char* parked);

  // The Items collections of the default folders while the sinks listen: tasks, notes, calendar.
  DispatchDriver tasksItems;
  DispatchDriver notesItems;
  DispatchDriver calendarItems;
  // The folder event sinks, each held through its IDispatch; empty while none is connected.
  ComPtr<IDispatch> tasksSink;
  ComPtr<IDispatch> notesSink;
  ComPtr<IDispatch> calendarSink;

  HWND window_ = nullptr;
  bool performingRecord_ = false;
  bool connectingSinks_ = false;
};

// Milliseconds from GetTickCount when the frame was made; the watchdog measures the age from it.
extern DWORD startTick;
// Set while the folder sinks are connected.
extern bool sinksConnected;

// The plug-in's frame title, and the class names of the windows it looks for.
constexpr char kFrameTitle[] = "Untitled - stub";
constexpr char kFrameHandOffTitle[] = "stub";
constexpr char kMainAppWindowClass[] = "Orvane Main";

// Ends the process after handing over: tells the main application ("Orvane_Shield") when its
// window exists, else starts a new plug-in; the frame is retitled "stub" first.
[[noreturn]] void HandOffAndExit(HWND mainAppWindow);

}  // namespace orvane
