// OutlookStandin.exe: serves the stand-in Outlook out of process, as Outlook's automation server.
//   /RegServer, /UnregServer   register or remove "Outlook.Application" and "OutlookStandin.Control"
//   (no switch)                runs as the user's Outlook: main window, until it is closed or told to quit
//   /Embedding, -Embedding     started by COM: no window; ends when the last client lets go
//   /Refuse                    runs with its window but refuses to create the Application object
#include "testbed/outlook/class_factory.h"
#include "testbed/outlook/main_window.h"
#include "testbed/outlook/registration.h"
#include "testbed/outlook/server_lifetime.h"
#include "testbed/outlook/standin_control.h"
#include "testbed/outlook/standin_ids.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace orvane {
namespace {

struct Options {
  bool registerServer = false;
  bool unregisterServer = false;
  bool embedding = false;
  bool refuse = false;
};

Options ReadOptions() {
  Options options;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return options;
  for (int i = 1; i < count; ++i) {
    const wchar_t* text = arguments[i];
    if (*text == L'/' || *text == L'-') ++text;
    if (lstrcmpiW(text, L"RegServer") == 0) options.registerServer = true;
    if (lstrcmpiW(text, L"UnregServer") == 0) options.unregisterServer = true;
    if (lstrcmpiW(text, L"Embedding") == 0 || lstrcmpiW(text, L"Automation") == 0) options.embedding = true;
    if (lstrcmpiW(text, L"Refuse") == 0) options.refuse = true;
  }
  LocalFree(arguments);
  return options;
}

std::wstring OwnPath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return std::wstring(path.data(), length);
    path.resize(path.size() * 2);
  }
}

void Quit() { PostQuitMessage(0); }

// The last client has let go: a server without its window is no longer needed.
void EndWhenIdle() {
  if (!outlook_standin::MainWindow()) Quit();
}

// One class object registered with COM for the life of the server.
class ClassRegistration {
public:
  ClassRegistration(const CLSID& clsid, const ComPtr<IClassFactory>& factory) {
    result_ = CoRegisterClassObject(clsid, factory.Get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  }
  ClassRegistration(const ClassRegistration&) = delete;
  ClassRegistration& operator=(const ClassRegistration&) = delete;
  ~ClassRegistration() {
    if (SUCCEEDED(result_)) CoRevokeClassObject(cookie_);
  }
  HRESULT Result() const { return result_; }

private:
  DWORD cookie_ = 0;
  HRESULT result_;
};

// COM for this thread, a single-threaded apartment.
class ComApartment {
public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  HRESULT Result() const { return result_; }

private:
  HRESULT result_;
};

int Serve(const Options& options) {
  if (options.refuse) outlook_standin::RefuseCreation();
  outlook_standin::SetQuitHandler(&Quit);
  outlook_standin::SetMainWindowClosedHandler(&Quit);
  outlook_standin::SetServerIdleHandler(&EndWhenIdle);
  const ClassRegistration application(outlook_standin::kApplicationClsid, outlook_standin::NewApplicationFactory());
  const ClassRegistration control(outlook_standin::kControlClsid, outlook_standin::NewControlFactory());
  if (FAILED(application.Result()) || FAILED(control.Result())) return 1;
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
  const ComApartment apartment;
  if (FAILED(apartment.Result())) return 1;
  if (options.registerServer) return SUCCEEDED(outlook_standin::RegisterServer(OwnPath())) ? 0 : 1;
  if (options.unregisterServer) return SUCCEEDED(outlook_standin::UnregisterServer()) ? 0 : 1;
  return Serve(options);
}
