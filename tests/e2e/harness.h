// Helpers for the end-to-end tests: programs of the build started and always ended, windows,
// message boxes, the plug-in's log and settings, each test in a working directory of its own.
#pragma once

#include "base/com_scope.h"
#include "base/unique_resource.h"
#include "outlook/dispatch_driver.h"
#include "tests/common/test_window.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

namespace e2e {

using namespace std::chrono_literals;
using Milliseconds = std::chrono::milliseconds;

// A fresh, empty working directory for the current test.
std::string FreshWorkDirectory();

// A program of the build started by the test; ended by its handle when the test is done.
class ChildProcess {
public:
  ChildProcess() = default;
  // `environment`, when given, is a whole block (name=value strings ending in an empty one) in place of the test's.
  ChildProcess(const std::string& program, const std::string& arguments, const std::string& workDirectory,
               const std::string* environment = nullptr);
  // A program elsewhere than the build's directory, by its full path.
  static ChildProcess AtPath(const std::string& path, const std::string& arguments, const std::string& workDirectory,
                             const std::string* environment = nullptr);
  // The process that owns the window (started by a program under test), ended like one the test started.
  static ChildProcess OfWindow(HWND window);
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  bool Started() const { return process_.IsValid(); }
  DWORD Id() const { return id_; }
  // True when the process ended within the time; its exit code is then in ExitCode().
  bool WaitForExit(Milliseconds timeout);
  // The same without handling the test thread's messages meanwhile, as a busy program would not.
  bool WaitForExitBusy(Milliseconds timeout) const;
  // True when the process has finished starting: its message loop waits for input.
  bool WaitForInputIdle(Milliseconds timeout) const;
  bool Running() const;
  DWORD ExitCode() const;
  // How long the process lived, once it has ended.
  Milliseconds Lifetime() const;
  void Terminate();

private:
  void Start(std::string commandLine, const std::string& workDirectory, const std::string* environment);

  UniqueHandle process_;
  DWORD id_ = 0;
};

// Polls until the condition holds or the time is up; answers the condition's last value.
bool WaitUntil(const std::function<bool()>& condition, Milliseconds timeout, Milliseconds step = 20ms);
HWND WaitForWindow(const char* className, const char* title, Milliseconds timeout);
// The id of the process that owns a window.
DWORD WindowProcess(HWND window);

// A message box (class "#32770") of the plug-in, and its text.
struct MessageBoxSeen {
  HWND box = nullptr;
  std::string text;
  HWND owner = nullptr;
  bool topmost = false;
};
// The plug-in shows its box with the given text, and ends with exit code 0 once it is dismissed.
MessageBoxSeen ExpectBoxThenExit(ChildProcess& plugin, const char* text);

// A window whose title names the updater, in front of the desktop. The plug-in's watchdog
// answers it with a box owned by it, so its box is also the sign that a watchdog tick ran.
class UpdaterInFront {
public:
  UpdaterInFront();
  HWND Get() const { return window_.Get(); }
  bool InFront() const { return GetForegroundWindow() == window_.Get(); }

private:
  TestWindow window_;
};

// Handles the test thread's pending messages for a while (the test's own windows need it).
void PumpMessages(Milliseconds duration);

// The plug-in's setting in the work directory's "Orvane.ini" and in WIN.INI.
void WriteIniSetting(const std::string& workDirectory, const char* key, int value);
void WriteWinIniSetting(const char* key, const char* valueOrNull);
// The whole text of a file, empty when it is missing.
std::string ReadFileText(const std::string& path);

// The plug-in started in a work directory, with "OutlookToOrvane" set in its "Orvane.ini".
ChildProcess StartPlugin(const std::string& workDirectory, const std::string& arguments = "");
// Sends the plug-in a record of a kind and an action message, as the main application does.
bool SendRecord(HWND plugin, DWORD kind, const std::string& record);
bool SendAction(HWND plugin, const char* actionMessageName);
// Ends every plug-in process still running on the desktop (left over from a failed test).
void EndStrayPlugins();
// Waits until no process of that program runs; false when one is still there after the time.
// A COM server that is ending still takes new clients for a moment, and such a client waits on it.
bool WaitForNoProcess(const char* program, Milliseconds timeout);
// The ids of the processes of that program running now.
std::vector<DWORD> ProcessesOf(const char* program);

constexpr char kStandinProgram[] = "OutlookStandin.exe";
// Ends the stand-in Outlook's processes by their ids (every one when `process` is 0), so that the
// next client of its classes starts a fresh one; false when one could not be ended.
bool EndStandin(DWORD process = 0);
// A stand-in Outlook an earlier test left behind, given `wait` to end as its last client lets go;
// one still running after it (hung, or held by a client that never let go) is ended, since every
// later client would wait on it. Empty when none was left, else what was found and done.
std::string EndLeftoverStandin(Milliseconds wait = 15s);

// Ends the stand-in when one call to it has gone unanswered for kLongest: COM waits for an
// out-of-process answer without end, and the test then fails at that call instead.
class UnansweredCallWatch {
public:
  static constexpr Milliseconds kLongest = 30s;
  explicit UnansweredCallWatch(Milliseconds longest = kLongest);
  UnansweredCallWatch(const UnansweredCallWatch&) = delete;
  UnansweredCallWatch& operator=(const UnansweredCallWatch&) = delete;
  ~UnansweredCallWatch();
  // The stand-in's process once known; until then every stand-in process is the one called.
  void SetProcess(DWORD process);
  // Around each call to the stand-in. CallEnded answers true when the call outlived kLongest and
  // the stand-in was ended under it.
  void CallStarts();
  bool CallEnded();
  Milliseconds Longest() const { return longest_; }

private:
  Milliseconds longest_;
  struct State;
  std::unique_ptr<State> state_;
};

// The stand-in Outlook's test controls, reached over COM ("OutlookStandin.Control"). Creating it
// starts the stand-in server (or reaches the running one), which the plug-in then shares. A call
// the stand-in leaves unanswered ends it and throws AutomationError saying so.
class StandinControl {
public:
  explicit StandinControl(Milliseconds longestCall = UnansweredCallWatch::kLongest);
  bool Available() const { return !control_.IsEmpty(); }
  // Calls a control method by name with the arguments in their natural order.
  template <class... Args>
  outlook::Variant Call(const wchar_t* name, Args&&... args) const {
    watch_->CallStarts();
    try {
      outlook::Variant result = control_.InvokeMethod(IdOf(name), std::forward<Args>(args)...);
      if (!watch_->CallEnded()) return result;
    } catch (const outlook::AutomationError&) {
      if (!watch_->CallEnded()) throw;
    }
    throw Unanswered(name);
  }
  // Puts the stand-in back to its defaults, with its events as late as Outlook's may be: each
  // comes kEventDelay after its call (longer than the plug-in takes to listen again after one of
  // its writes), and one more ItemChange comes kLateChange after every add or save.
  static constexpr int kEventDelayMs = 300;
  static constexpr int kLateChangeMs = 1500;
  void ResetWithLateEvents() const;
  // Outlook's events come late, as they may: the store is kept.
  void DelayEvents() const;
  int ItemCount(int folder) const;
  std::string ItemText(int folder, int index, const wchar_t* member) const;

private:
  outlook::DispId IdOf(const wchar_t* name) const;
  outlook::AutomationError Unanswered(const wchar_t* name) const;

  std::unique_ptr<UnansweredCallWatch> watch_;
  outlook::DispatchDriver control_;
};

}  // namespace e2e

}  // namespace orvane
