// CStubApp: the plug-in's start-up, its document with its view and frame, and its message loop.
#pragma once

#include "app/command_line.h"
#include "app/document_server.h"
#include "app/main_frame.h"
#include "app/stub_view.h"
#include "base/com_scope.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace orvane::app {

class CStubApp final : public DocumentHost {
public:
  // Runs the plug-in from start to the end of its message loop; answers the exit code.
  int Run(HINSTANCE instance, const char* commandLine);

  // Creates the document with its view and hidden frame (once); false when the frame fails.
  bool OpenDocument() override;
  // The document and everything it holds goes; in automation mode the process then ends.
  void DocumentReleased() override;
  // The hidden frame's window, the plug-in's own main window; null while there is none.
  HWND MainWindow() const { return frame_ ? frame_->Window() : nullptr; }

private:
  // The switches that do one job and end: registration, usage, version.
  int RunSwitchJob() const;
  int RunPlugin();
  bool InitInstance();
  bool RegisterClassFactory();
  void LoadRecentFileList(int entries);
  int MessageLoop();
  // Lets go of the windows, the class factory and Outlook while COM still runs.
  void CloseDocument();

  HINSTANCE instance_ = nullptr;
  HACCEL accelerators_ = nullptr;
  StartSwitches switches_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<CStubView> view_;
  ClassRegistration classFactory_;
  std::vector<std::string> recentFiles_;
};

// The one application object of the process.
CStubApp& TheApp();

}  // namespace orvane::app
