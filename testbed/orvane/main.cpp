// Orvane.exe, the stand-in for the Orvane main application.
//
//   Orvane.exe [/log <path>] [/stay] [/wait <seconds>] [/answerafter <ms>] [/stoppumping <ms>]
//              [/send <kind> <action> <record>]... [/action <action>]...
//
// Without deliveries it is the main window (class "Orvane Main") until it is closed, and logs
// every WM_COPYDATA and "Orvane_Shield" it receives to OrvaneMain.log (or /log's path) and to
// stdout. With /send or /action it finds the plug-in's window ("Untitled - stub", waiting up
// to /wait seconds) and delivers in the order given: /send hands over the record as
// WM_COPYDATA and then posts the action's registered message; /action posts the message
// alone. With /log or /stay it does both: the main window comes up first (and is the
// WM_COPYDATA's wParam), the deliveries follow, and it keeps running. "Orvane.exe /?" prints
// the details; kUsage in standin_options.cpp holds them.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "testbed/orvane/main_window.h"
#include "testbed/orvane/message_log.h"
#include "testbed/orvane/plugin_link.h"
#include "testbed/orvane/standin_options.h"

namespace orvane {
namespace {

enum ExitCode : int {
  kExitOk = 0,
  kExitUsage = 1,
  kExitNoPluginWindow = 2,
  kExitNotDelivered = 3,
};

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The bytes a /send hands over: a file's raw content after "@", else the decoded literal.
std::optional<std::string> RecordBytes(const std::string& argument) {
  if (!argument.empty() && argument[0] == '@') return ReadWholeFile(argument.substr(1));
  return standin::DecodeEscapes(argument);
}

// Resolves every record up front, so that a missing file stops the program before anything
// reaches the plug-in.
bool LoadRecords(std::vector<standin::Delivery>& deliveries) {
  for (auto& delivery : deliveries) {
    if (!delivery.kind) continue;
    const auto bytes = RecordBytes(delivery.record);
    if (!bytes) {
      std::fprintf(stderr, "Orvane.exe: cannot read the record file %s\n", delivery.record.c_str() + 1);
      return false;
    }
    delivery.record = *bytes;
  }
  return true;
}

ExitCode DeliverOne(HWND plugin, HWND sender, const standin::Delivery& delivery) {
  if (delivery.kind) {
    if (!standin::SendRecord(plugin, sender, *delivery.kind, delivery.record)) {
      std::fprintf(stderr, "Orvane.exe: the plug-in did not take the record of kind 0x%08lX\n",
                   static_cast<unsigned long>(*delivery.kind));
      return kExitNotDelivered;
    }
    std::printf("sent kind=0x%08lX bytes=%zu\n", static_cast<unsigned long>(*delivery.kind), delivery.record.size());
  }
  const std::string messageName(standin::ActionMessageName(delivery.action));
  if (!messageName.empty()) {
    if (!standin::PostAction(plugin, delivery.action)) {
      std::fprintf(stderr, "Orvane.exe: could not post %s\n", messageName.c_str());
      return kExitNotDelivered;
    }
    std::printf("posted %s\n", messageName.c_str());
  }
  std::fflush(stdout);
  return kExitOk;
}

ExitCode DeliverAll(const standin::Options& options, HWND sender) {
  const HWND plugin = standin::WaitForPluginWindow(static_cast<DWORD>(options.waitSeconds) * 1000);
  if (plugin == nullptr) {
    std::fprintf(stderr, "Orvane.exe: the plug-in's window \"Untitled - stub\" was not found\n");
    return kExitNoPluginWindow;
  }
  for (const auto& delivery : options.deliveries) {
    const ExitCode result = DeliverOne(plugin, sender, delivery);
    if (result != kExitOk) return result;
  }
  return kExitOk;
}

void RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int Run(standin::Options options) {
  if (options.showHelp) {
    std::fputs(standin::kUsage, stdout);
    return kExitOk;
  }
  if (!LoadRecords(options.deliveries)) return kExitUsage;

  const standin::MessageLog log(options.logPath);
  std::optional<standin::MainWindow> window;
  if (options.runMainWindow) {
    window.emplace(log, options.endSenderOnKind, options.firstAnswerDelayMs);
    if (!window->Create()) {
      std::fprintf(stderr, "Orvane.exe: could not create the main window\n");
      return kExitUsage;
    }
    std::ostringstream started;
    started << "Orvane started pid=" << GetCurrentProcessId();
    log.Write(started.str());
    if (options.stopPumpingMs > 0) {
      // Hung: no message is taken, so Windows soon takes the window for one that does not respond.
      Sleep(options.stopPumpingMs);
      log.Write("Orvane pumps messages again");
    }
  }

  ExitCode result = kExitOk;
  if (!options.deliveries.empty()) result = DeliverAll(options, window ? window->Window() : nullptr);
  if (window) RunMessageLoop();
  return result;
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
  using namespace orvane;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const standin::ParsedOptions parsed = standin::ParseOptions(args);
  if (!parsed.options) {
    std::fprintf(stderr, "Orvane.exe: %s\n\n%s", parsed.error.c_str(), standin::kUsage);
    return kExitUsage;
  }
  return Run(*parsed.options);
}
