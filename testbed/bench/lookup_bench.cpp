// The bench's lookups: the main application's commands on the last item of a folder, the item
// found through the folder's table and item by item. Each is timed from the action message to Outlook's event of the
// item changed or deleted (raised once the plug-in's call has returned).
#include "base/com_scope.h"
#include "mainapp/kinds.h"
#include "testbed/bench/bench_support.h"
#include "testbed/outlook/recording_sink.h"
#include "tests/common/record_builder.h"

#include <stdexcept>
#include <iterator>
#include <string>
#include <vector>

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
    {"change", "task", kFolderTasks, mainapp::kTask, "Orvane_ChangeNow",
     [](const std::string& s) { return testcommon::TaskFields().Set(1, s).JoinedAfter(s); }, kItemChange},
    {"done", "task", kFolderTasks, mainapp::kTask, "Orvane_DoneNow",
     [](const std::string& s) { return "UnDone\t" + s; }, kItemChange},
    {"change", "appointment", kFolderCalendar, mainapp::kAppointment, "Orvane_ChangeNow",
     [](const std::string& s) { return testcommon::AppointmentFields().Set(1, s).JoinedAfter(s); }, kItemChange},
    // Last: it leaves one task fewer.
    {"deletion", "task", kFolderTasks, mainapp::kTask, "Orvane_DeleteNow", [](const std::string& s) { return s; },
     kItemRemove},
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
    outlook_.Control(L"HideMember", outlook::Variant::Wide(L"Folder"), outlook::Variant::Int32(kGetTable),
                     outlook::Variant::Int32(!tables));
    const outlook::DispatchDriver items = outlook_.Items(command.folder);
    const int32_t count = items.GetInt32(kCount);
    const outlook::DispatchDriver last = items.InvokeForObject(kItem, outlook::Variant::Int32(count));
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
    outlook_.Control(L"HideMember", outlook::Variant::Wide(L"Folder"), outlook::Variant::Int32(kGetTable),
                     outlook::Variant::Int32(0));
    return timing;
  }

  // A first lookup in the folder, of a subject it does not hold: the plug-in looks its table's
  // members up and checks its columns, as it does once in its life.
  void WarmUp(uint32_t kind) {
    const std::string record = "Done\tNo such subject";
    COPYDATASTRUCT data{kind, static_cast<DWORD>(record.size()), const_cast<char*>(record.data())};
    SendMessageA(plugin_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    outlook_.ResetCalls();
    PostMessageA(plugin_, RegisterWindowMessageA("Orvane_DoneNow"), 0, 0);
    PumpUntil([this] { return outlook_.TotalCalls() > 0; }, "the first lookup");
    outlook_.WaitForCallsToSettle();
  }

  // The plug-in, the main application and Outlook end.
  void Finish() {
    PostMessageA(plugin_, RegisterWindowMessageA("Orvane_CloseStubNow"), 0, 0);
    if (const HWND mainApp = FindWindowA("Orvane Main", nullptr)) PostMessageA(mainApp, WM_CLOSE, 0, 0);
    outlook_.Control(L"Quit");
  }

  int32_t ItemCount(int32_t folder) const { return outlook_.Control(L"ItemCount", outlook::Variant::Int32(folder)); }

private:
  HWND plugin_;
  Standin outlook_;
};

}  // namespace

int Lookups() {
  LookupRun run;
  // Every command through the tables first: a folder's columns are checked at its first lookup
  // and again after each walk, which a failed table causes.
  run.WarmUp(mainapp::kTask);
  run.WarmUp(mainapp::kAppointment);
  std::vector<Timing> tables;
  std::vector<std::string> sizes;
  for (const Command& command : kCommands) {
    sizes.push_back(std::to_string(run.ItemCount(command.folder)));
    tables.push_back(run.Time(command, true));
  }
  for (size_t i = 0; i < std::size(kCommands); ++i) {
    const Command& command = kCommands[i];
    const Timing walked = run.Time(command, false);
    PrintRow(
        std::string(command.name) + " of the last of " + sizes[i] + " " + command.item + "s: tables / item by item",
        Format("%.0f ms / %.0f ms (%.1f×)", tables[i].ms, walked.ms, walked.ms / tables[i].ms),
        Format("%.0f / %.0f (%.1f×)", static_cast<double>(tables[i].calls), static_cast<double>(walked.calls),
               static_cast<double>(walked.calls) / static_cast<double>(tables[i].calls)));
  }
  run.Finish();
  return 0;
}

}  // namespace orvane
