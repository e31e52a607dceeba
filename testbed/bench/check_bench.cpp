// The deleted-item check's read of the three folders, timed in the bench's own process against the
// stand-in Outlook: the plug-in's reader, as its check runs it, each folder's picture known.
#include "items/item_kinds.h"
#include "outbound/folder_reading.h"
#include "testbed/bench/bench_support.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {

namespace {

struct Timing {
  double ms;
  long calls;
};

class CheckRun {
public:
  CheckRun() : pictures_(items::kItemKindCount) {
    for (size_t i = 0; i < items::kItemKindCount; ++i) pictures_[i] = outbound::Compare({}, Read(i)).picture;
  }

  // One read of the three folders, each compared with its picture, which it replaces.
  Timing Check() {
    outlook_.ResetCalls();
    const double start = NowMs();
    size_t gone = 0;
    for (size_t i = 0; i < items::kItemKindCount; ++i) {
      outbound::FolderComparison comparison = outbound::Compare(pictures_[i], Read(i));
      gone += comparison.gone.size();
      pictures_[i] = std::move(comparison.picture);
    }
    const Timing timing{NowMs() - start, outlook_.TotalCalls()};
    if (gone != 0) throw std::runtime_error("a check found an item gone");
    return timing;
  }

  // The user changes the subject of the folder's first task; its event reaches nobody.
  void ChangeATask() const {
    const outlook::DispatchDriver item =
        outlook_.Items(outlook::kFolderTasks).InvokeForObject(outlook::kItem, outlook::Variant::Int32(1));
    item.SetText(outlook::kSubject, item.GetText(outlook::kSubject) + " changed");
    item.InvokeMethod(outlook::kSave);
  }

  // Outlook's tables answer GetRowCount with an error, or a count again.
  void FailRowCounts(bool fail) const { outlook_.Control(L"RowCountFails", outlook::Variant::Bool(fail)); }

  size_t Size() const {
    return static_cast<size_t>(outlook_.Control(L"ItemCount", outlook::Variant::Int32(outlook::kFolderNotes)));
  }

private:
  // The folder of the item kind at `index`, read as the check reads it against its picture.
  std::vector<outbound::ReadItem> Read(size_t index) {
    const items::ItemKind& kind = *items::kItemKinds[index];
    const outlook::DispatchDriver folder = outlook_.Folder(kind.folder);
    auto read = reader_.ReadFolder(outlook_.Session(), folder, folder.GetText(outlook::kStoreId), kind.subjectMember,
                                   pictures_[index], kind.folderName);
    if (!read) throw std::runtime_error("a folder kept changing while it was read");
    return std::move(*read);
  }

  Standin outlook_;
  outbound::FolderTableReader reader_;
  std::vector<outbound::FolderPicture> pictures_;
};

}  // namespace

int CheckReads() {
  constexpr int kRuns = 5;
  CheckRun run;
  const std::string at = std::to_string(run.Size()) + " items per folder";
  // The first check after the pictures were taken is left out: the reader learns its tables then.
  run.Check();
  std::vector<double> ms[2];
  std::vector<double> calls[2];
  for (int i = 0; i < kRuns; ++i) {
    for (const bool change : {false, true}) {
      if (change) run.ChangeATask();
      const Timing timing = run.Check();
      ms[change].push_back(timing.ms);
      calls[change].push_back(static_cast<double>(timing.calls));
    }
  }
  const char* const figures[2] = {"nothing changed", "one item changed and none raised"};
  for (const int change : {0, 1}) {
    PrintRow("deleted-item check, " + at + ", " + figures[change] + ": the folders' read, " + std::to_string(kRuns) +
                 " checks",
             Format("p50 %.0f ms, max %.0f ms", Percentile(ms[change], 0.5), Percentile(ms[change], 1.0)),
             Format("%.0f", Percentile(calls[change], 0.5)));
  }
  // A store whose tables have only an approximate count answers GetRowCount with an error: the
  // tables are still read, the folders' Items counting for them.
  run.FailRowCounts(true);
  std::vector<double> uncountedMs;
  std::vector<double> uncountedCalls;
  for (int i = 0; i < kRuns; ++i) {
    const Timing timing = run.Check();
    uncountedMs.push_back(timing.ms);
    uncountedCalls.push_back(static_cast<double>(timing.calls));
  }
  run.FailRowCounts(false);
  PrintRow("deleted-item check, " + at + ", nothing changed, tables that cannot count their rows: the folders' read, " +
               std::to_string(kRuns) + " checks",
           Format("p50 %.0f ms, max %.0f ms", Percentile(uncountedMs, 0.5), Percentile(uncountedMs, 1.0)),
           Format("%.0f", Percentile(uncountedCalls, 0.5)));
  return 0;
}

}  // namespace orvane
