// CStubApp: the plug-in's start-up, its document and view, and its automation class factory.
#pragma once

#include "app/command_line.h"
#include "app/main_frame.h"
#include "base/base_window.h"
#include "base/com_scope.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace orvane {

// The document: no data of its own; an automation object with an empty dispatch interface.
class CStubDoc;

// The view: a child window of the frame that draws nothing.
class CStubView : public BaseWindow {
public:
  bool Create(HWND frame);

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  const char* ReportName() const noexcept override { return "CStubView"; }
};

class CStubApp {
public:
  // Runs the plug-in from start to the end of its message loop; answers the exit code.
  int Run(HINSTANCE instance, const char* commandLine);

  // Creates the document with its view and hidden frame (once); false when the frame fails.
  bool OpenDocument();
  // The document and everything it holds goes; in automation mode the process then ends.
  void DocumentReleased();
  // The hidden frame's window, the plug-in's own main window; null while there is none.
  HWND MainWindow() const { return frame_ ? frame_->Window() : nullptr; }

private:
  bool InitInstance(const char* commandLine);
  void RegisterAutomationServer() const;
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

// The about box, opened from the Help menu.
void ShowAboutDialog(HWND owner);

// The one application object of the process.
CStubApp& TheApp();

}  // namespace orvane
