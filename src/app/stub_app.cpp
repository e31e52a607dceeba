#include "app/stub_app.h"

#include "app/instance.h"
#include "app/resource_ids.h"
#include "base/com_object.h"

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
    if (RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  void SetText(const char* name, const std::string& value) const {
    if (key_) {
      RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
    }
  }
  std::string GetText(const char* name) const {
    DWORD type = 0;
    DWORD size = 0;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
      return {};
    }
    std::string value(size, '\0');
    RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
    value.resize(value.find('\0') == std::string::npos ? size : value.find('\0'));
    return value;
  }

private:
  HKEY key_ = nullptr;
};

std::string ModulePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The document's automation object: no methods and no properties. While one exists the
// application stays alive for its client.
class StubDocument final : public ComObject<IDispatch> {
public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
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
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!TheApp().OpenDocument()) return E_FAIL;
    const ComPtr<IDispatch> document = ComPtr<IDispatch>::Attach(new StubDocument);
    return document->QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? CoAddRefServerProcess() : CoReleaseServerProcess();
    return S_OK;
  }
};

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

LRESULT CALLBACK ViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);  // the view draws nothing
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
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
  WNDCLASSEXA viewClass{};
  viewClass.cbSize = sizeof viewClass;
  viewClass.lpfnWndProc = ViewProcedure;
  viewClass.hInstance = GetModuleHandleA(nullptr);
  viewClass.lpszClassName = kViewClassName;
  RegisterClassExA(&viewClass);
  RECT client{};
  GetClientRect(frame, &client);
  window_ = CreateWindowExA(0, kViewClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom, frame,
                            nullptr, viewClass.hInstance, nullptr);
  return window_ != nullptr;
}

int CStubApp::Run(HINSTANCE instance, const char* commandLine) {
  instance_ = instance;
  if (!InitInstance(commandLine ? commandLine : "")) return 0;
  return MessageLoop();
}

bool CStubApp::InitInstance(const char* commandLine) {
  if (FAILED(OleInitialize(nullptr))) {
    char text[256] = "";
    LoadStringA(instance_, IDS_OLE_INIT_FAILED, text, static_cast<int>(sizeof text));
    MessageBoxA(nullptr, text, nullptr, MB_OK);
    return false;
  }
  if (!ClaimSingleInstance()) {
    TerminateProcess(GetCurrentProcess(), 0);
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
  RegistryKey(HKEY_CURRENT_USER, clsidKey + "\\LocalServer32").SetText(nullptr, ModulePath() + " /Automation");
}

bool CStubApp::RegisterClassFactory() {
  classFactory_ = ComPtr<IClassFactory>::Attach(new DocumentFactory);
  // One client per process: each further client starts an instance of its own.
  return SUCCEEDED(CoRegisterClassObject(kDocumentClsid, classFactory_.Get(), CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE,
                                         &classFactoryCookie_));
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
