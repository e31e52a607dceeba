// The frame's folder sinks: connected to the Tasks, Calendar and Notes folders while Outlook runs
// and the link is on, disconnected while the plug-in itself writes into Outlook.
#include "app/error_log.h"
#include "app/intake.h"
#include "app/main_frame.h"
#include "inbound/item_lookup.h"

#include <cstdio>
#include <new>

namespace orvane {

ComPtr<FolderEventSink> CMainFrame::CreateFolderSink(uint32_t kind) {
  return FolderEventSink::Create(kind, deletedItems);
}

void CMainFrame::ConnectSinks() {
  // A sink still held is unadvised, never overwritten while Outlook holds it.
  CMainFrame::DisconnectSinks();
  ConnectFolder(outlook::kFolderTasks, intake::kTaskKind, tasksItems, tasksSink);
  ConnectFolder(outlook::kFolderCalendar, intake::kAppointmentKind, calendarItems, calendarSink);
  ConnectFolder(outlook::kFolderNotes, intake::kNoteKind, notesItems, notesSink);
}

void CMainFrame::ConnectFolder(int32_t folder, uint32_t kind, DispatchDriver& items, ComPtr<FolderEventSink>& sink) {
  items = GetDefaultFolder(folder).GetObject(outlook::kItems);
  // Counted as connected from here, so that a sink that cannot be made is not tried again on
  // every tick of the connection timer.
  sinksConnected = true;
  try {
    sink = CreateFolderSink(kind);
  } catch (const std::bad_alloc&) {
    items.ReleaseDispatch();
    char line[100];
    std::snprintf(line, sizeof line, "OrvaneOutlook=>ConnectSinks::Out of memory, folder %ld is not watched",
                  static_cast<long>(folder));
    WriteLog(line);
    return;
  }
  // A refused advise has been shown to the user; the sink stays, as if connected.
  if (sink) AdviseSink(*sink.Get(), items.Get());
}

void CMainFrame::DisconnectSinks() {
  for (ComPtr<FolderEventSink>* sink : {&tasksSink, &calendarSink, &notesSink}) {
    if (*sink) UnadviseSink(*sink->Get());
    sink->Reset();
  }
  tasksItems.ReleaseDispatch();
  calendarItems.ReleaseDispatch();
  notesItems.ReleaseDispatch();
  sinksConnected = false;
}

}  // namespace orvane
