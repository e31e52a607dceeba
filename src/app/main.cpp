// OrvaneOutlook.exe: keeps Orvane's tasks, appointments and notes in step with Outlook.
#include "app/stub_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  return orvane::app::TheApp().Run(instance, commandLine);
}
