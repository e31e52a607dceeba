// The appointment and note writers are not written yet: each says so in the log and returns,
// leaving Outlook as it is.
#include "app/error_log.h"
#include "app/main_frame.h"

namespace orvane {

void CMainFrame::SaveOutlookApps(char*) { WriteLog("SaveOutlookApps: appointments and notes are not written yet"); }

void CMainFrame::ChangeOutlookApps(char*) { WriteLog("ChangeOutlookApps: appointments and notes are not written yet"); }

void CMainFrame::SaveOutlookNote(char*, int) {
  WriteLog("SaveOutlookNote: appointments and notes are not written yet");
}

void CMainFrame::ChangeOutlookNote(char*, int) {
  WriteLog("ChangeOutlookNote: appointments and notes are not written yet");
}

}  // namespace orvane
