// What the parts of OrvaneBench share: the clock, waiting on this thread's messages, the table's
// rows, and the stand-in Outlook with its test controls.
#pragma once

#include "outlook/dispatch_driver.h"
#include "outlook/late_binding.h"
#include "outlook/outlook_ids.h"
#include "testbed/outlook/standin_ids.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace orvane {

constexpr int32_t kFolders[] = {outlook::kFolderTasks, outlook::kFolderCalendar, outlook::kFolderNotes};
constexpr DWORD kWaitMs = 30000;

double NowMs();
// Handles this thread's messages (COM's incoming calls among them) until `done` holds; throws when
// it does not within the time.
void PumpUntil(const std::function<bool()>& done, const char* what, DWORD timeoutMs = kWaitMs);
// The nearest-rank percentile.
double Percentile(std::vector<double> values, double fraction);
std::string Format(const char* format, double a, double b = 0, double c = 0);
void PrintRow(const std::string& figure, const std::string& value, const std::string& calls);

// The stand-in Outlook and its test controls.
class Standin {
public:
  Standin();

  template <class... Args>
  int32_t Control(const wchar_t* name, Args&&... args) const {
    return control_.CallMethod(name, std::forward<Args>(args)...).ToInt32();
  }
  long TotalCalls() const { return Control(L"TotalCalls"); }
  void ResetCalls() const { Control(L"ResetCallCounts"); }
  outlook::DispatchDriver Items(int32_t folder) const;
  outlook::DispatchDriver Folder(int32_t folder) const;
  const outlook::DispatchDriver& Session() const { return session_; }
  outlook::DispatchDriver NewItem(int32_t itemType) const;
  bool SinksListen() const;
  // Waits until the calls to Outlook have stopped for a moment: the plug-in's work is done.
  void WaitForCallsToSettle() const;

private:
  outlook::LateBound control_;
  outlook::DispatchDriver application_;
  outlook::DispatchDriver session_;
};

// The two items with every field set that the bench changes, beside the numbered ones.
constexpr char kFullTask[] = "Bench full task";
constexpr char kFullAppointment[] = "Bench full appointment";

// Fills each folder of the running stand-in Outlook with `items` numbered items and the two full
// items, one call at a time.
int Prepare(int items);
// Writes a stand-in Outlook's store file of `items` numbered items in each folder and the two full
// items, for "OutlookStandin /Store FILE".
int WriteStore(const std::string& file, int items);

// With the folders at their present size and the plug-in's link off: each command on the last
// item, found through the folders' tables and item by item.
int Lookups();

// With the folders at their present size: the deleted-item check's read of the three folders
// through their tables, nothing changed since the last, then one item changed unannounced.
int CheckReads();

}  // namespace orvane
