#include "tests/e2e/harness.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

namespace orvane {

namespace e2e {

std::string ProgramDirectory() {
  char path[MAX_PATH * 4] = "";
  const DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(sizeof path));
  std::string directory(path, length);
  return directory.substr(0, directory.find_last_of("\\/"));
}

namespace {

void RemoveTree(const std::string& directory) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = directory + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(directory.c_str());
}

}  // namespace

std::string FreshWorkDirectory() {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "e2e";
  std::replace(name.begin(), name.end(), '/', '_');
  const std::string root = ProgramDirectory() + "\\e2e-work";
  CreateDirectoryA(root.c_str(), nullptr);
  const std::string directory = root + "\\" + name;
  RemoveTree(directory);
  CreateDirectoryA(directory.c_str(), nullptr);
  return directory;
}

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments, const std::string& workDirectory) {
  std::string commandLine = "\"" + ProgramDirectory() + "\\" + program + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     workDirectory.empty() ? nullptr : workDirectory.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Terminate();
    if (process_) CloseHandle(process_);
    process_ = std::exchange(other.process_, nullptr);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

ChildProcess::~ChildProcess() {
  Terminate();
  if (process_) CloseHandle(process_);
}

bool ChildProcess::WaitForExit(Milliseconds timeout) {
  // Keeps the test's own windows answering meanwhile: the program may send them messages.
  return process_ && WaitUntil([this] { return !Running(); }, timeout, 10ms);
}

bool ChildProcess::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

void ChildProcess::Terminate() {
  if (Running()) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
}

bool WaitUntil(const std::function<bool()>& condition, Milliseconds timeout, Milliseconds step) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    PumpMessages(step);
  }
}

HWND WaitForWindow(const char* className, const char* title, Milliseconds timeout) {
  HWND window = nullptr;
  WaitUntil([&] { return (window = FindWindowA(className, title)) != nullptr; }, timeout);
  return window;
}

DWORD WindowProcess(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

namespace {

struct BoxSearch {
  const char* caption;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<BoxSearch*>(parameter);
  char className[64] = "";
  char title[256] = "";
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, title, sizeof title);
  if (std::string(className) == "#32770" && std::string(title) == search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM parameter) {
  auto* text = reinterpret_cast<std::string*>(parameter);
  char className[64] = "";
  GetClassNameA(child, className, sizeof className);
  if (lstrcmpiA(className, "Static") != 0) return TRUE;
  const int length = GetWindowTextLengthA(child);
  if (length <= 0) return TRUE;
  std::string part(static_cast<size_t>(length) + 1, '\0');
  part.resize(static_cast<size_t>(GetWindowTextA(child, part.data(), length + 1)));
  *text += part;
  return TRUE;
}

}  // namespace

MessageBoxSeen WaitForMessageBox(const char* caption, Milliseconds timeout) {
  MessageBoxSeen seen;
  WaitUntil(
      [&] {
        BoxSearch search{caption, nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        seen.box = search.found;
        return seen.box != nullptr;
      },
      timeout);
  if (!seen.box) return seen;
  // The text control may be filled a moment after the box appears.
  WaitUntil(
      [&] {
        seen.text.clear();
        EnumChildWindows(seen.box, CollectStaticText, reinterpret_cast<LPARAM>(&seen.text));
        return !seen.text.empty();
      },
      2000ms);
  seen.owner = GetWindow(seen.box, GW_OWNER);
  seen.topmost = (GetWindowLongA(seen.box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  return seen;
}

void DismissMessageBox(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

TestWindow::TestWindow(const char* className, const char* title) : className_(className) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  RegisterClassExA(&windowClass);
  window_ = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                            windowClass.hInstance, this);
}

TestWindow::~TestWindow() {
  if (window_) DestroyWindow(window_);
  UnregisterClassA(className_.c_str(), GetModuleHandleA(nullptr));
}

int TestWindow::CountOf(const char* registeredName) const {
  const UINT message = RegisterWindowMessageA(registeredName);
  return static_cast<int>(std::count(received_.begin(), received_.end(), message));
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrA(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && message >= 0xC000 && message <= 0xFFFF) {
    self->received_.push_back(message);
    if (self->onRegisteredMessage) self->onRegisteredMessage(message);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void PumpMessages(Milliseconds duration) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (std::chrono::steady_clock::now() < deadline);
}

void WriteIniSetting(const std::string& workDirectory, const char* key, int value) {
  WritePrivateProfileStringA("Orvane", key, std::to_string(value).c_str(), (workDirectory + "\\Orvane.ini").c_str());
}

void WriteWinIniSetting(const char* key, const char* valueOrNull) { WriteProfileStringA("Orvane", key, valueOrNull); }

std::string ReadFileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

ChildProcess StartPlugin(const std::string& workDirectory, const std::string& arguments) {
  return ChildProcess("OrvaneOutlook.exe", arguments, workDirectory);
}

bool SendRecord(HWND plugin, DWORD kind, const std::string& record) {
  COPYDATASTRUCT data{};
  data.dwData = kind;
  data.cbData = static_cast<DWORD>(record.size());
  data.lpData = const_cast<char*>(record.data());
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(plugin, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                             &answer) != 0;
}

bool SendAction(HWND plugin, const char* actionMessageName) {
  return PostMessageA(plugin, RegisterWindowMessageA(actionMessageName), 0, 0) != 0;
}

namespace {

BOOL CALLBACK EndPluginWindow(HWND window, LPARAM) {
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) == "OrvaneOutlookFrame") {
    if (const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, WindowProcess(window))) {
      TerminateProcess(process, 98);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }
  return TRUE;
}

}  // namespace

void EndStrayPlugins() { EnumWindows(EndPluginWindow, 0); }

namespace {

bool ProcessRuns(const char* program) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
    found = lstrcmpiA(entry.szExeFile, program) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

}  // namespace

bool WaitForNoProcess(const char* program, Milliseconds timeout) {
  return WaitUntil([program] { return !ProcessRuns(program); }, timeout, 50ms);
}

StandinControl::StandinControl() { control_.CreateDispatch("OutlookStandin.Control"); }

outlook::DispId StandinControl::IdOf(const wchar_t* name) const {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (!control_.Get() || FAILED(control_.Get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
    throw AutomationError(DISP_E_UNKNOWNNAME, "no control member named so");
  }
  return id;
}

int StandinControl::ItemCount(int folder) const { return Call(L"ItemCount", Variant::Int32(folder)).ToInt32(); }

std::string StandinControl::ItemText(int folder, int index, const wchar_t* member) const {
  return Call(L"ItemProperty", Variant::Int32(folder), Variant::Int32(index), Variant::Wide(member)).ToAnsi();
}

}  // namespace e2e

}  // namespace orvane
