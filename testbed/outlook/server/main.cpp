// OutlookStandin.exe: serves the stand-in Outlook out of process, as Outlook's automation server.
//   /RegServer, /UnregServer   register or remove "Outlook.Application" and "OutlookStandin.Control"
//   /Store <file>              keeps the store in the file across runs; with /RegServer, every
//                              server COM starts keeps it there
//   /LoadStore <file>          reads the store from the file and writes nothing back (the bench's
//                              large stores: a save costs what it costs Outlook, not a whole file)
//   (no switch)                runs as the user's Outlook: main window, until it is closed or told to quit
//   /Embedding, -Embedding     started by COM: no window; ends when the last client lets go
//   /Refuse                    runs with its window but refuses to create the Application object
#include "base/com_scope.h"
#include "base/message_filter.h"
#include "base/module_path.h"
#include "base/unique_resource.h"
#include "testbed/outlook/busy_filter.h"
#include "testbed/outlook/class_factory.h"
#include "testbed/outlook/interface_pins.h"
#include "testbed/outlook/item_store.h"
#include "testbed/outlook/main_window.h"
#include "testbed/outlook/registration.h"
#include "testbed/outlook/server_lifetime.h"
#include "testbed/outlook/standin_control.h"
#include "testbed/outlook/standin_ids.h"

#include <shellapi.h>

namespace orvane {
namespace {

struct Options {
  bool registerServer = false;
  bool unregisterServer = false;
  bool embedding = false;
  bool refuse = false;
  bool storeMissing = false;   // /Store without a file
  std::wstring store;          // full path; empty: nothing is kept
  bool storeReadOnly = false;  // /LoadStore: read from the file, nothing written back
};

std::wstring FullPath(const wchar_t* path) {
  wchar_t full[MAX_PATH * 2] = {};
  const DWORD length = GetFullPathNameW(path, MAX_PATH * 2, full, nullptr);
  return length > 0 && length < MAX_PATH * 2 ? std::wstring(full, length) : std::wstring();
}

Options ReadOptions() {
  Options options;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const UniqueLocalMemory owner(arguments);
  for (int i = 1; arguments && i < count; ++i) {
    const wchar_t* text = arguments[i];
    if (*text == L'/' || *text == L'-') ++text;
    if (lstrcmpiW(text, L"RegServer") == 0) options.registerServer = true;
    if (lstrcmpiW(text, L"UnregServer") == 0) options.unregisterServer = true;
    if (lstrcmpiW(text, L"Embedding") == 0 || lstrcmpiW(text, L"Automation") == 0) options.embedding = true;
    if (lstrcmpiW(text, L"Refuse") == 0) options.refuse = true;
    if (lstrcmpiW(text, L"Store") == 0 || lstrcmpiW(text, L"LoadStore") == 0) {
      options.storeReadOnly = lstrcmpiW(text, L"LoadStore") == 0;
      options.store = i + 1 < count ? FullPath(arguments[++i]) : std::wstring();
      options.storeMissing = options.store.empty();
    }
  }
  return options;
}

void Quit() { PostQuitMessage(0); }

// The last client has let go: a server without its window is no longer needed.
void EndWhenIdle() {
  if (!outlook_standin::MainWindow()) Quit();
}

int Serve(const Options& options) {
  // The store is there before any client can reach it.
  if (!options.store.empty() && !(options.storeReadOnly ? outlook_standin::Store().LoadFrom(options.store)
                                                        : outlook_standin::Store().KeepIn(options.store))) {
    return 1;
  }
  if (options.refuse) outlook_standin::RefuseCreation();
  outlook_standin::SetQuitHandler(&Quit);
  outlook_standin::SetMainWindowClosedHandler(&Quit);
  outlook_standin::SetServerIdleHandler(&EndWhenIdle);
  const ClassRegistration application(outlook_standin::kApplicationClsid,
                                      outlook_standin::NewApplicationFactory().Get(), CLSCTX_LOCAL_SERVER,
                                      REGCLS_MULTIPLEUSE);
  const ClassRegistration control(outlook_standin::kControlClsid, outlook_standin::NewControlFactory().Get(),
                                  CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE);
  // Turns calls away while the test controls make Outlook busy.
  const MessageFilterRegistration busyFilter(outlook_standin::NewBusyFilter().Get());
  if (!application.Ok() || !control.Ok()) return 1;
  const outlook_standin::InterfacePins pins;
  // The window comes last: whoever sees it may create the Application at once, and must reach
  // this process rather than make COM start another one.
  if (!options.embedding && !outlook_standin::ShowMainWindow()) return 1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  outlook_standin::CloseMainWindow();
  return 0;
}

}  // namespace
}  // namespace orvane

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace orvane;
  const Options options = ReadOptions();
  const Apartment apartment;
  if (!apartment.Ok() || options.storeMissing) return 1;
  if (options.registerServer) {
    return SUCCEEDED(outlook_standin::RegisterServer(ModulePathWide(), options.store)) ? 0 : 1;
  }
  if (options.unregisterServer) return SUCCEEDED(outlook_standin::UnregisterServer()) ? 0 : 1;
  return Serve(options);
}
