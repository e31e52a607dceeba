// OrvaneBench.exe: the timing half of scripts/bench.sh. Against the running stand-in Outlook and
// plug-in it plays the user and the main application, and prints rows of a Markdown table: each
// figure with the calls to Outlook the stand-in counted.
//
//   OrvaneBench prepare ITEMS   fills each folder with ITEMS items, and adds one task and one
//                               appointment with every field set (before the plug-in listens)
//   OrvaneBench sinks           waits until the plug-in's sinks listen to the three folders
//   OrvaneBench calls           prints the Outlook calls counted since the last count, and counts
//                               afresh
//   OrvaneBench timed RECORDS CHANGES   takes over the main application's window and times
//                               RECORDS inbound task records, CHANGES changes in Outlook and a
//                               deletion check at the folders' size and at 100 items, through the
//                               folders' tables and item by item
//   OrvaneBench store FILE ITEMS   writes a stand-in Outlook's store file with ITEMS items in each
//                               folder and the two full items, for "OutlookStandin /Store FILE":
//                               far faster than adding them one call at a time
//   OrvaneBench lookups         with the folders at their present size and the link off: a change,
//                               a deletion and a done mark of the last task and a change of the
//                               last appointment, found through the folders' tables and item by item
//   OrvaneBench checks          with the folders at their present size: the deleted-item check's
//                               read of the three folders, nothing changed, then one task changed
//                               unannounced, in the bench's own process
//   OrvaneBench kept CHANGES    with the folders at their present size (10,000 items each in
//                               bench.sh) and the pictures kept on disk: a deletion check through
//                               the tables, CHANGES changes in Outlook with the picture kept
//                               current, and the plug-in's private bytes
#include "base/base_window.h"
#include "base/com_scope.h"
#include "base/file_places.h"
#include "base/unique_resource.h"
#include "base/user_folders.h"
#include "mainapp/kinds.h"
#include "outlook/late_binding.h"
#include "testbed/outlook/item_store.h"
#include "testbed/outlook/recording_sink.h"
#include "testbed/bench/bench_support.h"
#include "testbed/outlook/standin_ids.h"

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {
namespace {

using namespace outlook;

// The main application's window: keeps each record the plug-in sends, with the time it came.
class MainAppWindow final : public BaseWindow {
public:
  struct Record {
    ULONG_PTR kind;
    std::string text;
    double atMs;
  };
  bool Create() { return CreateWindowOf({"Orvane Main", "Orvane bench"}); }
  std::vector<Record> records;

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message != WM_COPYDATA) return DefaultHandling(message, wParam, lParam);
    const double at = NowMs();
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    records.push_back({data->dwData, std::string(static_cast<const char*>(data->lpData), data->cbData), at});
    return TRUE;
  }
};

// A task record of the main application: every field of the layout, the subject numbered.
std::string TaskRecord(int number) {
  std::string record = "Bench inbound " + std::to_string(number) +
                       "\t1/12/2026\t15/12/2026*9:00am*10:30am\tTrue\t15/12/2026\t0:15\tnot Done\t0.000\t120\tnot "
                       "Done\tblank\tWork\tblank\tAnn\tblank\tFigures\tNormal\tFalse\tOwner\tnormal\tblank\tblank\t"
                       "4711\tnorecurring";
  for (int field = 25; field <= 37; ++field) record += "\t0";
  return record;
}

// Outlook calls counted and milliseconds taken by one piece of the plug-in's work.
struct Timing {
  long calls;
  double ms;
};

class TimedRun {
public:
  TimedRun() : plugin_(FindWindowA(nullptr, "Untitled - stub")) {
    if (!plugin_) throw std::runtime_error("the plug-in's window is not there");
    TakeOverMainApplication();
    PumpUntil([this] { return outlook_.SinksListen(); }, "the plug-in's sinks");
    outlook_.WaitForCallsToSettle();
  }

  void Inbound(int records) {
    const ComPtr<outlook_standin::RecordingSink> sink = outlook_standin::RecordingSink::Create();
    std::vector<double> saved;
    sink->OnEvent([&](DispId id, IDispatch*) {
      if (id == kItemAdd) saved.push_back(NowMs());
    });
    const outlook::DispatchDriver tasks = outlook_.Items(kFolderTasks);
    AdviseConnection connection;
    if (FAILED(connection.Connect(tasks.Get(), outlook_standin::kItemsEventsIid, sink.Get()))) {
      throw std::runtime_error("cannot listen to the tasks");
    }
    std::vector<double> latencies;
    std::vector<double> writeCalls;
    std::vector<double> allCalls;
    for (int i = 0; i < records; ++i) {
      outlook_.ResetCalls();
      const std::string record = TaskRecord(i + 1);
      COPYDATASTRUCT data{mainapp::kTask, static_cast<DWORD>(record.size()), const_cast<char*>(record.data())};
      SendMessageA(plugin_, WM_COPYDATA, reinterpret_cast<WPARAM>(window_.Window()), reinterpret_cast<LPARAM>(&data));
      const double sent = NowMs();
      PostMessageA(plugin_, RegisterWindowMessageA("Orvane_SaveNow"), 0, 0);
      PumpUntil([&] { return saved.size() == static_cast<size_t>(i + 1); }, "the task to be saved");
      latencies.push_back(saved.back() - sent);
      writeCalls.push_back(static_cast<double>(outlook_.TotalCalls()));
      // The sinks come back and the pictures are compared before the next record.
      PumpUntil([this] { return outlook_.SinksListen(); }, "the plug-in's sinks");
      outlook_.WaitForCallsToSettle();
      allCalls.push_back(static_cast<double>(outlook_.TotalCalls()));
    }
    PrintRow(Format("inbound: action message → task saved in Outlook, %.0f records", records),
             Format("p50 %.0f ms, p95 %.0f ms", Percentile(latencies, 0.5), Percentile(latencies, 0.95)),
             Format("%.0f to write, %.0f with the sinks reconnected and the folders compared",
                    Percentile(writeCalls, 0.5), Percentile(allCalls, 0.5)));
  }

  // Timed from the Save's call, or from its return where the stand-in spends the call writing its
  // store file.
  void Outbound(int changes, const std::string& where = "", bool fromSaveReturn = false) {
    struct Changed {
      outlook::DispatchDriver items;
      const char* subject;
      ULONG_PTR kind;
      std::vector<double> calls;
    };
    Changed changed[] = {{outlook_.Items(kFolderTasks), kFullTask, mainapp::kChangedTask, {}},
                         {outlook_.Items(kFolderCalendar), kFullAppointment, mainapp::kChangedAppointment, {}}};
    std::vector<double> latencies;
    std::vector<double> journalled;
    for (int i = 0; i < changes; ++i) {
      Changed& next = changed[i % 2];
      const outlook::DispatchDriver item = next.items.InvokeForObject(kItem, outlook::Variant::Text(next.subject));
      // A field of the record: a change the main application is told of.
      item.SetText(kMileage, "Change " + std::to_string(i + 1));
      const size_t before = window_.records.size();
      const long long journalBefore = JournalSize();
      outlook_.ResetCalls();
      double saved = NowMs();
      item.InvokeMethod(kSave);
      if (fromSaveReturn) saved = NowMs();
      PumpUntil([&] { return window_.records.size() > before; }, "the changed item's record");
      if (journalBefore >= 0) {
        // Grown, or emptied by a snapshot that took the change in meanwhile.
        PumpUntil([&] { return JournalSize() != journalBefore; }, "the change in the pictures' journal");
        journalled.push_back(NowMs() - saved);
      }
      const MainAppWindow::Record& record = window_.records[before];
      if (record.kind != next.kind) throw std::runtime_error("a record of another kind came: " + record.text);
      latencies.push_back(record.atMs - saved);
      // The Save is the user's own call.
      next.calls.push_back(static_cast<double>(outlook_.TotalCalls() - 1));
    }
    std::string value = Format("p50 %.0f ms, p95 %.0f ms", Percentile(latencies, 0.5), Percentile(latencies, 0.95));
    if (!journalled.empty()) {
      value += Format("; in the journal: p50 %.0f ms, p95 %.0f ms", Percentile(journalled, 0.5),
                      Percentile(journalled, 0.95));
    }
    PrintRow(
        Format("outbound: item changed in Outlook → record received by the main application, %.0f changes", changes) +
            where,
        value,
        Format("%.0f per task record, %.0f per appointment record", Percentile(changed[0].calls, 0.5),
               Percentile(changed[1].calls, 0.5)));
  }

  // One deletion at the folders' present size, through the tables and item by item.
  void DeletionChecks() {
    const int32_t size = outlook_.Control(L"ItemCount", outlook::Variant::Int32(kFolderNotes));
    Timing checks[2] = {};
    for (const bool tables : {true, false}) {
      outlook_.Control(L"HideMember", outlook::Variant::Wide(L"Folder"), outlook::Variant::Int32(kGetTable),
                       outlook::Variant::Int32(!tables));
      checks[tables ? 0 : 1] = TimeOneDeletion();
    }
    outlook_.Control(L"HideMember", outlook::Variant::Wide(L"Folder"), outlook::Variant::Int32(kGetTable),
                     outlook::Variant::Int32(0));
    const std::string figure = "deleted-item check, " + std::to_string(size) + " items per folder, one deleted";
    PrintRow(figure + ": folder tables", Format("%.0f ms", checks[0].ms), Format("%.0f", checks[0].calls));
    PrintRow(figure + ": item by item", Format("%.0f ms", checks[1].ms), Format("%.0f", checks[1].calls));
    PrintRow(figure + ": item by item / tables", Format("%.1f× the time", checks[1].ms / checks[0].ms),
             Format("%.1f× the calls", static_cast<double>(checks[1].calls) / static_cast<double>(checks[0].calls)));
  }

  // At the folders' present size, with the pictures kept on disk beside the plug-in's log.
  void KeptPictures(int changes) {
    const int32_t size = outlook_.Control(L"ItemCount", outlook::Variant::Int32(kFolderNotes));
    const std::string at = std::to_string(size) + " items per folder";
    const FILETIME keptBefore = SnapshotWritten();
    const double start = NowMs();
    const Timing check = TimeOneDeletion();
    PumpUntil(
        [&] {
          const FILETIME now = SnapshotWritten();
          return CompareFileTime(&keptBefore, &now) != 0;
        },
        "the pictures' snapshot");
    const double kept = NowMs() - start;
    PrintRow("deleted-item check, " + at + ", one deleted, pictures kept on disk: folder tables",
             Format("%.0f ms to the record, %.0f ms until the snapshot is replaced", check.ms, kept),
             Format("%.0f", static_cast<double>(check.calls)));
    Outbound(changes, ", " + at + ", picture kept current, from the Save's return", true);
    PrintRow("plug-in's private bytes, three folders of " + at + " pictured", PluginPrivateBytes(), "0");
    Import(1000, at);
  }

  // `count` tasks imported in one operation under BulkAdd(16): Outlook raises no ItemAdd, and the
  // plug-in finds them when it sees the folder's count move. Halfway through their records the main
  // application sends a task record: how long it waits for its save while the reports go on.
  void Import(int count, const std::string& at) {
    outlook_.Control(L"BulkAdd", outlook::Variant::Int32(16));
    const size_t before = window_.records.size();
    const auto imported = [&] {
      return static_cast<int>(std::count_if(window_.records.begin() + static_cast<std::ptrdiff_t>(before),
                                            window_.records.end(), [](const MainAppWindow::Record& record) {
                                              return record.kind == mainapp::kTask &&
                                                     record.text.rfind("Imported ", 0) == 0;
                                            }));
    };
    const ComPtr<outlook_standin::RecordingSink> sink = outlook_standin::RecordingSink::Create();
    double saved = 0;
    sink->OnEvent([&](DispId id, IDispatch*) {
      if (id == kItemAdd) saved = NowMs();
    });
    AdviseConnection connection;
    if (FAILED(connection.Connect(outlook_.Items(kFolderTasks).Get(), outlook_standin::kItemsEventsIid, sink.Get()))) {
      throw std::runtime_error("cannot listen to the tasks");
    }
    outlook_.ResetCalls();
    const double start = NowMs();
    outlook_.Control(L"AddItems", outlook::Variant::Int32(kFolderTasks), outlook::Variant::Int32(count),
                     outlook::Variant::Wide(L"Imported "));
    PumpUntil([&] { return imported() >= count / 2; }, "half of the imported items' records", 120000);
    const std::string record = TaskRecord(0);
    COPYDATASTRUCT data{mainapp::kTask, static_cast<DWORD>(record.size()), const_cast<char*>(record.data())};
    SendMessageA(plugin_, WM_COPYDATA, reinterpret_cast<WPARAM>(window_.Window()), reinterpret_cast<LPARAM>(&data));
    const double sent = NowMs();
    PostMessageA(plugin_, RegisterWindowMessageA("Orvane_SaveNow"), 0, 0);
    PumpUntil([&] { return saved > 0; }, "the inbound task to be saved", 60000);
    const double waited = saved - sent;
    PumpUntil([&] { return imported() >= count; }, "every imported item's record", 300000);
    const double done = window_.records.back().atMs - start;
    outlook_.WaitForCallsToSettle();
    PrintRow(Format("outbound: import of %.0f tasks under BulkAdd(16) (Outlook raises no ItemAdd), ", count) + at +
                 ", from the import",
             Format("%.1f s to the last new-task record, ", done / 1000) +
                 (imported() == count ? "each once" : "NOT each once") +
                 Format("; inbound task record sent halfway saved %.0f ms after its action message", waited),
             Format("%.0f", static_cast<double>(outlook_.TotalCalls())));
  }

  // Leaves `count` items in each folder, deleted without events, and waits until every deletion
  // (and that of the task it deletes) has been reported, lest the next figures wait behind them. So
  // many deletions at once are reported only once the folders have looked the same for half a
  // minute.
  void ShrinkFolders(int count) {
    const size_t before = window_.records.size();
    size_t deleted = 1;
    for (const int32_t folder : kFolders) {
      const int32_t left = folder == kFolderTasks ? count + 1 : count;
      const int32_t extra = outlook_.Control(L"ItemCount", outlook::Variant::Int32(folder)) - left;
      if (extra > 0) {
        outlook_.Control(L"DeleteWithoutEvents", outlook::Variant::Int32(folder), outlook::Variant::Int32(1),
                         outlook::Variant::Int32(extra));
        deleted += static_cast<size_t>(extra);
      }
    }
    TimeOneDeletion(kWaitMs + 60000);
    PumpUntil([&] { return window_.records.size() >= before + deleted; }, "every deletion's record");
  }

  void Finish() {
    PostMessageA(plugin_, RegisterWindowMessageA("Orvane_CloseStubNow"), 0, 0);
    outlook_.Control(L"Quit");
  }

private:
  // The size of the pictures' journal in the plug-in's per-user folder; -1 when there is none.
  static long long JournalSize() {
    WIN32_FILE_ATTRIBUTE_DATA data;
    const std::wstring path = places::Join(OwnStateFolder(), L"OrvanePictures.journal");
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }

  // When the pictures' snapshot in the plug-in's per-user folder was last replaced.
  static FILETIME SnapshotWritten() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(places::Join(OwnStateFolder(), L"OrvanePictures.dat").c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
  }

  std::string PluginPrivateBytes() const {
    DWORD id = 0;
    GetWindowThreadProcessId(plugin_, &id);
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!process ||
        !GetProcessMemoryInfo(process.Get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
      return "unknown";
    }
    // Wine leaves PrivateUsage at 0; the commit charge it does count is the same figure on Windows.
    const SIZE_T privateBytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    constexpr double kMegabyte = 1024.0 * 1024.0;
    return Format("%.1f MB private (%.1f MB working set)", static_cast<double>(privateBytes) / kMegabyte,
                  static_cast<double>(counters.WorkingSetSize) / kMegabyte);
  }

  // The main application's window is the bench's own from here: Orvane.exe is asked to close.
  void TakeOverMainApplication() {
    if (const HWND other = FindWindowA("Orvane Main", nullptr)) PostMessageA(other, WM_CLOSE, 0, 0);
    PumpUntil([] { return FindWindowA("Orvane Main", nullptr) == nullptr; }, "Orvane.exe to close");
    if (!window_.Create()) throw std::runtime_error("cannot create the main application's window");
  }

  // The user deletes the first task; the plug-in's check reports it to the main application.
  Timing TimeOneDeletion(DWORD timeoutMs = kWaitMs) {
    const outlook::DispatchDriver item =
        outlook_.Items(kFolderTasks).InvokeForObject(kItem, outlook::Variant::Int32(1));
    const std::string subject = item.GetText(kSubject);
    const auto reported = [&] {
      return std::any_of(window_.records.begin(), window_.records.end(), [&](const MainAppWindow::Record& record) {
        return record.kind == mainapp::kDeletedTask && record.text == subject;
      });
    };
    outlook_.ResetCalls();
    const double deleted = NowMs();
    item.InvokeMethod(kDelete);
    PumpUntil(reported, "the deletion's record", timeoutMs);
    const double at = window_.records.back().atMs;
    // The Delete is the user's own call.
    return {outlook_.TotalCalls() - 1, at - deleted};
  }

  HWND plugin_;
  Standin outlook_;
  MainAppWindow window_;
};

int Timed(int records, int changes) {
  TimedRun run;
  run.Inbound(records);
  run.Outbound(changes);
  run.DeletionChecks();
  run.ShrinkFolders(100);
  run.DeletionChecks();
  run.Finish();
  return 0;
}

int Run(const std::vector<std::string>& args) {
  const auto number = [&](size_t index, int fallback) {
    return args.size() > index ? std::stoi(args[index]) : fallback;
  };
  if (args.size() >= 1 && args[0] == "prepare") return Prepare(number(1, 1000));
  if (args.size() == 1 && args[0] == "sinks") {
    const Standin outlook;
    PumpUntil([&] { return outlook.SinksListen(); }, "the plug-in's sinks");
    return 0;
  }
  if (args.size() == 1 && args[0] == "calls") {
    const outlook::LateBound control = outlook::LateBound::Create(outlook_standin::kControlProgId);
    std::printf("%d\n", control.CallMethod(L"TotalCalls").ToInt32());
    control.CallMethod(L"ResetCallCounts");
    return 0;
  }
  if (args.size() >= 1 && args[0] == "timed") return Timed(number(1, 50), number(2, 100));
  if (args.size() == 3 && args[0] == "store") return WriteStore(args[1], number(2, 10000));
  if (args.size() == 1 && args[0] == "lookups") return Lookups();
  if (args.size() == 1 && args[0] == "checks") return CheckReads();
  if (args.size() >= 1 && args[0] == "kept") {
    TimedRun run;
    run.KeptPictures(number(1, 20));
    run.Finish();
    return 0;
  }
  std::fputs(
      "Usage: OrvaneBench prepare ITEMS | sinks | calls | timed RECORDS CHANGES | store FILE ITEMS | lookups | checks "
      "| kept CHANGES\n",
      stderr);
  return 2;
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
  using namespace orvane;
  const Apartment apartment;
  if (!apartment.Ok()) return 1;
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "OrvaneBench: %s\n", error.what());
    return 1;
  }
}
