// The bench's lookups: the main application's commands on the last item of a large folder, the
// item found through the folder's table and item by item, and the same command on a folder of that
// item alone. Each is timed from the action message to Outlook's event of the item changed or
// deleted (raised once the plug-in's call has returned).
#include "base/com_scope.h"
#include "mainapp/kinds.h"
#include "testbed/bench/bench_support.h"
#include "testbed/outlook/recording_sink.h"
#include "tests/common/record_builder.h"

#include <stdexcept>
#include <string>

namespace orvane {

namespace {

using namespace outlook;

struct Command {
  const char* name;
  const char* item;
  int32_t folder;
  uint32_t kind;
  const char* action;
  std::string (*record)(const std::string& subject);
  DispId event;
};

const Command kCommands[] = {
    {"change", "task", kFolderTasks, kinds::kTask, "Orvane_ChangeNow",
     [](const std::string& s) { return testcommon::TaskFields().Set(1, s).JoinedAfter(s); }, kItemChange},
    {"deletion", "task", kFolderTasks, kinds::kTask, "Orvane_DeleteNow", [](const std::string& s) { return s; },
     kItemRemove},
    {"done", "task", kFolderTasks, kinds::kTask, "Orvane_DoneNow", [](const std::string& s) { return "UnDone\t" + s; },
     kItemChange},
    {"change", "appointment", kFolderCalendar, kinds::kAppointment, "Orvane_ChangeNow",
     [](const std::string& s) { return testcommon::AppointmentFields().Set(1, s).JoinedAfter(s); }, kItemChange},
};

struct Timing {
  double ms;
  long calls;
};

class LookupRun {
public:
  LookupRun() : plugin_(FindWindowA(nullptr, "Untitled - stub")) {
    if (!plugin_) throw std::runtime_error("the plug-in's window is not there");
  }

  Timing Time(const Command& command, bool tables) {
    outlook_.Control(L"HideMember", Variant::Wide(L"Folder"), Variant::Int32(kGetTable), Variant::Int32(!tables));
    const DispatchDriver items = outlook_.Items(command.folder);
    const int32_t count = items.GetInt32(kCount);
    const DispatchDriver last = items.InvokeForObject(kItem, Variant::Int32(count));
    const std::string record = command.record(last.GetText(kSubject));

    const ComPtr<outlook_standin::RecordingSink> sink = outlook_standin::RecordingSink::Create();
    double eventAt = 0;
    sink->OnEvent([&](DispId id, IDispatch*) {
      if (id == command.event && eventAt == 0) eventAt = NowMs();
    });
    AdviseConnection connection;
    if (FAILED(connection.Connect(items.Get(), outlook_standin::kItemsEventsIid, sink.Get()))) {
      throw std::runtime_error("cannot listen to the folder");
    }
    COPYDATASTRUCT data{command.kind, static_cast<DWORD>(record.size()), const_cast<char*>(record.data())};
    SendMessageA(plugin_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    outlook_.ResetCalls();
    const double sent = NowMs();
    PostMessageA(plugin_, RegisterWindowMessageA(command.action), 0, 0);
    PumpUntil([&] { return eventAt != 0; }, command.name, 600000);
    const Timing timing{eventAt - sent, outlook_.TotalCalls()};
    outlook_.Control(L"HideMember", Variant::Wide(L"Folder"), Variant::Int32(kGetTable), Variant::Int32(0));
    return timing;
  }

  // Leaves the last item alone in the tasks and the calendar, deleted without events.
  void KeepLastItemsOnly() {
    for (const int32_t folder : {kFolderTasks, kFolderCalendar}) {
      const int32_t extra = outlook_.Control(L"ItemCount", Variant::Int32(folder)) - 1;
      if (extra > 0) {
        outlook_.Control(L"DeleteWithoutEvents", Variant::Int32(folder), Variant::Int32(1), Variant::Int32(extra));
      }
    }
  }

  // The plug-in, the main application and Outlook end.
  void Finish() {
    PostMessageA(plugin_, RegisterWindowMessageA("Orvane_CloseStubNow"), 0, 0);
    if (const HWND mainApp = FindWindowA("Orvane Main", nullptr)) PostMessageA(mainApp, WM_CLOSE, 0, 0);
    outlook_.Control(L"Quit");
  }

  int32_t ItemCount(int32_t folder) const { return outlook_.Control(L"ItemCount", Variant::Int32(folder)); }

private:
  HWND plugin_;
  Standin outlook_;
};

}  // namespace

int Lookups() {
  LookupRun run;
  for (const Command& command : kCommands) {
    const std::string size = std::to_string(run.ItemCount(command.folder));
    const Timing tables = run.Time(command, true);
    const Timing walked = run.Time(command, false);
    PrintRow(std::string(command.name) + " of the last of " + size + " " + command.item + "s: tables / item by item",
             Format("%.0f ms / %.0f ms (%.1f×)", tables.ms, walked.ms, walked.ms / tables.ms),
             Format("%.0f / %.0f (%.0f×)", static_cast<double>(tables.calls), static_cast<double>(walked.calls),
                    static_cast<double>(walked.calls) / static_cast<double>(tables.calls)));
  }
  run.KeepLastItemsOnly();
  // The deletion last: the one item left serves the other commands first.
  for (const bool deletion : {false, true}) {
    for (const Command& command : kCommands) {
      if ((command.event == kItemRemove) != deletion) continue;
      const Timing alone = run.Time(command, true);
      PrintRow(std::string(command.name) + " of a " + command.item + " alone in its folder",
               Format("%.0f ms", alone.ms), Format("%.0f", static_cast<double>(alone.calls)));
    }
  }
  run.Finish();
  return 0;
}

}  // namespace orvane
