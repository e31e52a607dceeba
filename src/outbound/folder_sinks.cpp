#include "app/main_frame.h"

namespace orvane {

void CMainFrame::ConnectSinks() {}

void CMainFrame::DisconnectSinks() {
  tasksSink.Reset();
  notesSink.Reset();
  calendarSink.Reset();
  tasksItems.ReleaseDispatch();
  notesItems.ReleaseDispatch();
  calendarItems.ReleaseDispatch();
  sinksConnected = false;
}

}  // namespace orvane
