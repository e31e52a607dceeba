#include "tests/e2e/harness.h"

#include "app/watchdog_rules.h"
#include "base/module_path.h"
#include "tests/common/plugin_files.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

namespace orvane {

namespace e2e {

std::string FreshWorkDirectory() {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "e2e";
  std::replace(name.begin(), name.end(), '/', '_');
  const std::string directory = ModuleDirectory() + "\\e2e-work\\" + name;
  std::error_code ignored;
  std::filesystem::remove_all(directory, ignored);
  std::filesystem::create_directories(directory, ignored);
  // The plug-in keeps its pictures per user: each test starts from none, as from an empty directory.
  testfiles::RemovePerUserFiles();
  return directory;
}

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments, const std::string& workDirectory,
                           const std::string* environment) {
  Start("\"" + ModuleDirectory() + "\\" + program + "\"" + (arguments.empty() ? "" : " " + arguments), workDirectory,
        environment);
}

ChildProcess ChildProcess::AtPath(const std::string& path, const std::string& arguments,
                                  const std::string& workDirectory, const std::string* environment) {
  ChildProcess child;
  child.Start("\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments), workDirectory, environment);
  return child;
}

void ChildProcess::Start(std::string commandLine, const std::string& workDirectory, const std::string* environment) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  void* block = environment ? const_cast<char*>(environment->c_str()) : nullptr;
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, block,
                     workDirectory.empty() ? nullptr : workDirectory.c_str(), &startup, &info)) {
    const UniqueHandle thread(info.hThread);
    process_.Reset(info.hProcess);
    id_ = info.dwProcessId;
  }
}

ChildProcess ChildProcess::OfWindow(HWND window) {
  ChildProcess child;
  child.id_ = WindowProcess(window);
  child.process_.Reset(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, child.id_));
  return child;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::move(other.process_)), id_(std::exchange(other.id_, 0)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Terminate();
    process_ = std::move(other.process_);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

ChildProcess::~ChildProcess() { Terminate(); }

bool ChildProcess::WaitForExit(Milliseconds timeout) {
  // Keeps the test's own windows answering meanwhile: the program may send them messages.
  return process_ && WaitUntil([this] { return !Running(); }, timeout, 10ms);
}

bool ChildProcess::WaitForExitBusy(Milliseconds timeout) const {
  return process_ && WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

bool ChildProcess::WaitForInputIdle(Milliseconds timeout) const {
  return process_ && ::WaitForInputIdle(process_.Get(), static_cast<DWORD>(timeout.count())) == 0;
}

bool ChildProcess::Running() const { return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_.Get(), &code);
  return code;
}

Milliseconds ChildProcess::Lifetime() const {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!process_ || !GetProcessTimes(process_.Get(), &created, &exited, &kernel, &user)) return Milliseconds(0);
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  // FILETIME counts 100-nanosecond steps.
  return Milliseconds((ticks(exited) - ticks(created)) / 10000);
}

void ChildProcess::Terminate() {
  if (Running()) {
    TerminateProcess(process_.Get(), 99);
    WaitForSingleObject(process_.Get(), 5000);
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

// The box's text control has the same id on every system.
constexpr int kMessageBoxTextId = 0xFFFF;

MessageBoxSeen WaitForMessageBox(const char* caption, Milliseconds timeout) {
  MessageBoxSeen seen;
  seen.box = WaitForWindow("#32770", caption, timeout);
  if (!seen.box) return seen;
  // The text control may be filled a moment after the box appears.
  char text[512] = "";
  WaitUntil([&] { return GetDlgItemTextA(seen.box, kMessageBoxTextId, text, sizeof text) > 0; }, 2000ms);
  seen.text = text;
  seen.owner = GetWindow(seen.box, GW_OWNER);
  seen.topmost = (GetWindowLongA(seen.box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  return seen;
}

void DismissMessageBox(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

}  // namespace

MessageBoxSeen ExpectBoxThenExit(ChildProcess& plugin, const char* text) {
  MessageBoxSeen seen = WaitForMessageBox(app::kCaption, 10s);
  EXPECT_NE(seen.box, nullptr);
  EXPECT_EQ(seen.text, text);
  if (seen.box) DismissMessageBox(seen.box);
  EXPECT_TRUE(plugin.WaitForExit(5s));
  EXPECT_EQ(plugin.ExitCode(), 0u);
  return seen;
}

UpdaterInFront::UpdaterInFront() : window_("UpdaterSetup", "Setup - OrvaneUpdater") {
  ShowWindow(window_.Get(), SW_SHOW);
  SetForegroundWindow(window_.Get());
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

void EndStrayPlugins() {
  while (const HWND frame = FindWindowA("OrvaneOutlookFrame", nullptr)) {
    const UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, WindowProcess(frame)));
    // A frame whose process cannot be ended would be found again and again.
    if (!process || !TerminateProcess(process.Get(), 98) || WaitForSingleObject(process.Get(), 5000) != WAIT_OBJECT_0) {
      return;
    }
  }
}

std::vector<DWORD> ProcessesOf(const char* program) {
  std::vector<DWORD> processes;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return processes;
  const UniqueHandle owner(snapshot);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, program) == 0) processes.push_back(entry.th32ProcessID);
  }
  return processes;
}

bool WaitForNoProcess(const char* program, Milliseconds timeout) {
  return WaitUntil([program] { return ProcessesOf(program).empty(); }, timeout, 50ms);
}

namespace {

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

bool WaitForServiceState(SC_HANDLE service, DWORD state, Milliseconds timeout) {
  return WaitUntil(
      [service, state] {
        SERVICE_STATUS status{};
        return QueryServiceStatus(service, &status) && status.dwCurrentState == state;
      },
      timeout, 50ms);
}

// Wine's COM service keeps the class objects a server registered until the server revokes them,
// also when the server has been ended: every later activation of those classes then fails with
// REGDB_E_CLASSNOTREG. Started afresh, the service has none, and activation starts the server
// again. (Windows drops an ended server's classes by itself, and its service cannot be stopped.)
bool ForgetEndedServersClasses() {
  if (!UnderWine()) return true;
  const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!manager) return false;
  const SC_HANDLE service = OpenServiceA(manager, "RpcSs", SERVICE_STOP | SERVICE_START | SERVICE_QUERY_STATUS);
  bool restarted = false;
  if (service) {
    SERVICE_STATUS status{};
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    restarted = WaitForServiceState(service, SERVICE_STOPPED, 10s) &&
                (StartServiceA(service, 0, nullptr) || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING) &&
                WaitForServiceState(service, SERVICE_RUNNING, 10s);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
  return restarted;
}

}  // namespace

bool EndStandin(DWORD process) {
  const std::vector<DWORD> processes = process ? std::vector<DWORD>{process} : ProcessesOf(kStandinProgram);
  bool ended = true;
  for (const DWORD id : processes) {
    const UniqueHandle standin(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    // One that has ended meanwhile cannot be opened any more.
    if (!standin) continue;
    TerminateProcess(standin.Get(), 97);
    ended = WaitForSingleObject(standin.Get(), 5000) == WAIT_OBJECT_0 && ended;
  }
  return !processes.empty() ? ForgetEndedServersClasses() && ended : ended;
}

std::string EndLeftoverStandin(Milliseconds wait) {
  const std::vector<DWORD> left =
      WaitForNoProcess(kStandinProgram, wait) ? std::vector<DWORD>() : ProcessesOf(kStandinProgram);
  // One that went just after the wait is gone all the same.
  if (left.empty()) return std::string();
  std::string message = "a stand-in Outlook of an earlier test was still running " +
                        std::to_string(std::chrono::duration_cast<std::chrono::seconds>(wait).count()) +
                        " s after it, hung or held by a client that never let go (process";
  for (const DWORD id : left) message += " " + std::to_string(id);
  message += "): ";
  message += EndStandin() && ProcessesOf(kStandinProgram).empty() ? "ended" : "it could not be ended";
  return message;
}

struct UnansweredCallWatch::State {
  std::mutex mutex;
  std::condition_variable changed;
  bool stopping = false;
  bool calling = false;
  bool ended = false;
  DWORD process = 0;
  std::chrono::steady_clock::time_point deadline;
  std::thread watcher;
};

UnansweredCallWatch::UnansweredCallWatch(Milliseconds longest) : longest_(longest), state_(std::make_unique<State>()) {
  State& state = *state_;
  state.watcher = std::thread([&state] {
    std::unique_lock<std::mutex> lock(state.mutex);
    while (!state.stopping) {
      if (!state.calling) {
        state.changed.wait(lock);
      } else if (state.changed.wait_until(lock, state.deadline) == std::cv_status::timeout && state.calling &&
                 std::chrono::steady_clock::now() >= state.deadline) {
        // The call under way fails once its server has gone.
        const DWORD process = state.process;
        state.ended = true;
        state.calling = false;
        lock.unlock();
        EndStandin(process);
        lock.lock();
      }
    }
  });
}

UnansweredCallWatch::~UnansweredCallWatch() {
  {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopping = true;
  }
  state_->changed.notify_all();
  state_->watcher.join();
}

void UnansweredCallWatch::SetProcess(DWORD process) {
  const std::lock_guard<std::mutex> lock(state_->mutex);
  state_->process = process;
}

void UnansweredCallWatch::CallStarts() {
  {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->calling = true;
    state_->ended = false;
    state_->deadline = std::chrono::steady_clock::now() + longest_;
  }
  state_->changed.notify_all();
}

bool UnansweredCallWatch::CallEnded() {
  const std::lock_guard<std::mutex> lock(state_->mutex);
  state_->calling = false;
  return std::exchange(state_->ended, false);
}

StandinControl::StandinControl(Milliseconds longestCall) : watch_(std::make_unique<UnansweredCallWatch>(longestCall)) {
  // Activation too waits on a server that does not answer.
  watch_->CallStarts();
  control_.CreateDispatch("OutlookStandin.Control");
  if (watch_->CallEnded()) control_.ReleaseDispatch();
  if (Available()) watch_->SetProcess(static_cast<DWORD>(Call(L"ProcessId").ToInt32()));
}

outlook::AutomationError StandinControl::Unanswered(const wchar_t* name) const {
  char text[160];
  std::snprintf(text, sizeof text, "the stand-in Outlook left Control.%ls unanswered for %lld s and was ended", name,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(watch_->Longest()).count()));
  return outlook::AutomationError(RPC_E_TIMEOUT, text);
}

outlook::DispId StandinControl::IdOf(const wchar_t* name) const {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (!control_.Get() || FAILED(control_.Get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
    throw outlook::AutomationError(DISP_E_UNKNOWNNAME, "no control member named so");
  }
  return id;
}

void StandinControl::ResetWithLateEvents() const {
  Call(L"Reset");
  DelayEvents();
}

void StandinControl::DelayEvents() const {
  Call(L"EventDelay", outlook::Variant::Int32(kEventDelayMs));
  Call(L"LateChange", outlook::Variant::Int32(kLateChangeMs));
}

int StandinControl::ItemCount(int folder) const {
  return Call(L"ItemCount", outlook::Variant::Int32(folder)).ToInt32();
}

std::string StandinControl::ItemText(int folder, int index, const wchar_t* member) const {
  return Call(L"ItemProperty", outlook::Variant::Int32(folder), outlook::Variant::Int32(index),
              outlook::Variant::Wide(member))
      .ToAnsi();
}

}  // namespace e2e

}  // namespace orvane
