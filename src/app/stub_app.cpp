#include "app/stub_app.h"

#include "base/error_log.h"
#include "app/instance.h"
#include "app/plugin_control.h"
#include "app/resource_ids.h"
#include "base/callback_guard.h"
#include "base/com_object.h"
#include "base/module_path.h"
#include "base/process_control.h"
#include "base/unique_resource.h"
#include "outlook/busy_retry.h"
#include "outlook/outlook_session.h"

#include <cstdio>

namespace orvane {

namespace {

constexpr char kDocumentProgId[] = "Stub.Document";
constexpr char kDocumentName[] = "Stub Document";
constexpr char kRegistryKey[] = "Software\\Local AppWizard-Generated Applications\\stub";
constexpr char kViewClassName[] = "OrvaneOutlookView";
// The document's class and its own dispatch interface.
// {6C1F3A52-2B7E-4E0C-9A61-3D0B5E7A9C14}
constexpr CLSID kDocumentClsid = {0x6c1f3a52, 0x2b7e, 0x4e0c, {0x9a, 0x61, 0x3d, 0x0b, 0x5e, 0x7a, 0x9c, 0x14}};
constexpr char kDocumentClsidText[] = "{6C1F3A52-2B7E-4E0C-9A61-3D0B5E7A9C14}";
// {6C1F3A53-2B7E-4E0C-9A61-3D0B5E7A9C14}
constexpr IID kDocumentDispatchIid = {0x6c1f3a53, 0x2b7e, 0x4e0c, {0x9a, 0x61, 0x3d, 0x0b, 0x5e, 0x7a, 0x9c, 0x14}};

// One open registry key.
class RegistryKey {
public:
  RegistryKey(HKEY parent, const std::string& path) {
    if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key_.Receive(), nullptr) !=
        ERROR_SUCCESS) {
      key_.Reset();
    }
  }

  void SetText(const char* name, const std::string& value) const {
    if (key_) {
      RegSetValueExA(key_.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
    }
  }
  std::string GetText(const char* name) const {
    DWORD type = 0;
    DWORD size = 0;
    if (!key_ || RegQueryValueExA(key_.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return {};
    }
    std::string value(size, '\0');
    RegQueryValueExA(key_.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
    value.resize(value.find('\0') == std::string::npos ? size : value.find('\0'));
    return value;
  }

private:
  UniqueRegistryKey key_;
};

// The document's automation object: no methods and no properties. While one exists the
// application stays alive for its client.
class StubDocument final : public ComObject<IDispatch> {
public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    return GuardedComMethod("CStubDoc::GetTypeInfoCount", nullptr, [&] {
      if (!count) return E_POINTER;
      *count = 0;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    return GuardedComMethod("CStubDoc::GetTypeInfo", nullptr, [&] {
      if (info) *info = nullptr;
      return E_NOTIMPL;
    });
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) noexcept override {
    return GuardedComMethod("CStubDoc::GetIDsOfNames", nullptr, [&] {
      if (!ids) return E_POINTER;
      for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    });
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* exception,
                                   UINT*) noexcept override {
    return GuardedComMethod("CStubDoc::Invoke", exception, [] { return DISP_E_MEMBERNOTFOUND; });
  }

private:
  ~StubDocument() override { TheApp().DocumentReleased(); }
  void* OtherInterface(REFIID iid) noexcept override {
    return IsEqualIID(iid, kDocumentDispatchIid) ? static_cast<IDispatch*>(this) : nullptr;
  }
};

// Makes the document (with its frame) for an automation client.
class DocumentFactory final : public ComObject<IClassFactory> {
public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) noexcept override {
    return GuardedComMethod("DocumentFactory::CreateInstance", nullptr, [&] {
      if (!object) return E_POINTER;
      *object = nullptr;
      if (outer) return CLASS_E_NOAGGREGATION;
      if (!TheApp().OpenDocument()) return E_FAIL;
      const ComPtr<IDispatch> document = MakeComObject<StubDocument>();
      return document->QueryInterface(iid, object);
    });
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
    return GuardedComMethod("DocumentFactory::LockServer", nullptr, [&] {
      lock ? CoAddRefServerProcess() : CoReleaseServerProcess();
      return S_OK;
    });
  }
};

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) noexcept {
  return Guarded("CAboutDlg", INT_PTR{FALSE}, [&]() -> INT_PTR {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    }
    return FALSE;
  });
}

}  // namespace

void ShowAboutDialog(HWND owner) {
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, AboutProcedure, 0);
}

CStubApp& TheApp() {
  static CStubApp app;
  return app;
}

bool CStubView::Create(HWND frame) {
  RECT client{};
  GetClientRect(frame, &client);
  Creation creation;
  creation.className = kViewClassName;
  creation.style = WS_CHILD | WS_VISIBLE;
  creation.parent = frame;
  creation.x = 0;
  creation.y = 0;
  creation.width = client.right;
  creation.height = client.bottom;
  return CreateWindowOf(creation);
}

LRESULT CStubView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(Window(), &paint);  // the view draws nothing
    EndPaint(Window(), &paint);
    return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

int CStubApp::Run(HINSTANCE instance, const char* commandLine) {
  instance_ = instance;
  SetFailureReporter(&LogCaughtFailure);
  SystemProcessControl system;
  PluginControl control(system);
  const ScopedProcessControl inCharge(control);
  const Apartment ole(Apartment::Kind::Ole);
  if (!ole.Ok()) {
    char text[256] = "";
    LoadStringA(instance_, IDS_OLE_INIT_FAILED, text, static_cast<int>(sizeof text));
    MessageBoxA(nullptr, text, nullptr, MB_OK);
    return 0;
  }
  // Outlook turns calls away while it is busy; the filter has COM wait and try again, for the
  // plug-in's whole life.
  const MessageFilterRegistration busyRetry(MakeComObject<BusyRetryFilter>().Get());
  const int code = InitInstance(commandLine ? commandLine : "") ? MessageLoop() : 0;
  CloseDocument();
  return code;
}

bool CStubApp::InitInstance(const char* commandLine) {
  if (!ClaimSingleInstance()) {
    CurrentProcessControl().TerminateAtOnce();
    return false;
  }
  LoadRecentFileList(4);
  accelerators_ = LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(IDR_MAINFRAME));
  switches_ = commandline::ParseStartSwitches(commandLine);
  if (!switches_.embedding && !switches_.automation) {
    RegisterAutomationServer();
    return OpenDocument();
  }
  // Started for a client: only the class factory; the frame comes with the client's document.
  return RegisterClassFactory();
}

void CStubApp::RegisterAutomationServer() const {
  // Under the current user's classes, so no administrator rights are needed.
  const std::string classes = "Software\\Classes\\";
  const RegistryKey progId(HKEY_CURRENT_USER, classes + kDocumentProgId);
  progId.SetText(nullptr, kDocumentName);
  RegistryKey(HKEY_CURRENT_USER, classes + kDocumentProgId + "\\CLSID").SetText(nullptr, kDocumentClsidText);
  const std::string clsidKey = classes + "CLSID\\" + kDocumentClsidText;
  RegistryKey(HKEY_CURRENT_USER, clsidKey).SetText(nullptr, kDocumentName);
  RegistryKey(HKEY_CURRENT_USER, clsidKey + "\\ProgID").SetText(nullptr, kDocumentProgId);
  RegistryKey(HKEY_CURRENT_USER, clsidKey + "\\LocalServer32")
      .SetText(nullptr, commandline::ServerCommand(ModulePath(), "/Automation"));
}

bool CStubApp::RegisterClassFactory() {
  const ComPtr<IClassFactory> factory = MakeComObject<DocumentFactory>();
  // One client per process: each further client starts an instance of its own.
  classFactory_ = ClassRegistration(kDocumentClsid, factory.Get(), CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE);
  return classFactory_.Ok();
}

void CStubApp::LoadRecentFileList(int entries) {
  const RegistryKey list(HKEY_CURRENT_USER, std::string(kRegistryKey) + "\\Recent File List");
  recentFiles_.clear();
  for (int i = 1; i <= entries; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "File%d", i);
    std::string file = list.GetText(name);
    if (!file.empty()) recentFiles_.push_back(std::move(file));
  }
}

bool CStubApp::OpenDocument() {
  if (frame_) return true;
  auto frame = std::make_unique<CMainFrame>();
  if (!frame->Create()) return false;
  auto view = std::make_unique<CStubView>();
  view->Create(frame->Window());
  SetMenu(frame->Window(), LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_MAINFRAME)));
  ShowWindow(frame->Window(), SW_HIDE);
  frame_ = std::move(frame);
  view_ = std::move(view);
  return true;
}

void CStubApp::DocumentReleased() {
  if (switches_.embedding || switches_.automation) PostQuitMessage(0);
}

void CStubApp::CloseDocument() {
  view_.reset();
  frame_.reset();
  classFactory_.Revoke();
  ReleaseOutlookSession();
}

int CStubApp::MessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    const HWND frame = frame_ ? frame_->Window() : nullptr;
    if (frame && accelerators_ && TranslateAcceleratorA(frame, accelerators_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace orvane
