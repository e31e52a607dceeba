// The two roads of the plug-in driven through the sequences its timers run, against the stand-in Outlook of
// this process, with a main application's window on this thread.
#pragma once

#include "inbound/item_lookup.h"
#include "inbound/writers.h"
#include "outbound/outlook_link.h"
#include "outlook/outlook_session.h"
#include "tests/common/test_window.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace orvane {

namespace writertest {

using Lines = std::vector<std::string>;

// A record the main application received as the last hex digit of its kind, its first field and
// its link id (the field before the last star).
inline std::string KindSubjectAndLink(ULONG_PTR kind, const std::string& record) {
  const size_t linkEnd = record.rfind('*'), linkStart = record.rfind('*', linkEnd - 1);
  return "0123456789ABCDEF"[kind & 0xF] + (" " + record.substr(0, record.find_first_of("\t*"))) + " " +
         record.substr(linkStart + 1, linkEnd - linkStart - 1);
}

// Both roads through the link's own sequences, in the order the plug-in's timers run them: the
// sinks connected once Outlook's window is up, the minute's check, the portions of what the
// comparisons found, and the main application's records written while the sinks are down.
class Roads {
public:
  // An empty read is confirmed by the next one here, however soon it comes.
  Roads() {
    link.StartFromKeptPictures();
    link.Disappearances().ConfirmAfter(0);
  }

  void ConnectWhenOutlookRuns() {
    if (!outlook::OutlookWindowExists()) return;
    link.ConnectAndCompare(true);
    LookAtWhatComparisonsFound();
  }
  void CheckDeletedItems() {
    link.CheckEveryMinute();
    LookAtWhatComparisonsFound();
  }
  // The report timer's ticks, until nothing waits. A tick that looks at nothing (its look failed,
  // and is logged) would tick for ever here, where the timer would tick again later: it ends.
  void LookAtWhatComparisonsFound() {
    size_t waiting = link.News().ItemsToLookAt();
    while (waiting > 0 && link.ReportWhatComparisonsFound()) {
      const size_t left = link.News().ItemsToLookAt();
      if (left >= waiting) break;
      waiting = left;
    }
  }
  // The main application's task record, performed with the sinks down; the user does `meanwhile`
  // before they are connected again.
  void MainApplicationSends(
      const char* action, std::string record, const std::function<void()>& meanwhile = [] {}) {
    link.PerformWithSinksDown([&] {
      if (std::string(action) == "Orvane_DeleteNow") {
        inbound::DeleteOutlookItem(record.data(), mainapp::kTask, context);
      } else if (std::string(action) == "Orvane_DoneNow") {
        inbound::DoneOutlookItem(record.data(), mainapp::kTask, context);
      } else if (std::string(action) == "Orvane_SaveNow") {
        inbound::SaveOutlookTask(record.data(), context);
      } else {
        inbound::ChangeOutlookTask(record.data(), context);
      }
    });
    // Outlook raises the write's events once the write has returned, before the sinks come back.
    EXPECT_TRUE(os::RaisePostedEvents());
    meanwhile();
    ConnectWhenOutlookRuns();
  }

  TestSessionCreation creation;
  outlook::OutlookSession session{creation};
  outbound::OutlookLink link{session};
  inbound::SubjectLookup lookup{session};
  const inbound::WriterContext context{session, link.News(), link.News(), lookup};
};

class RoadsTest : public WriterTest {
protected:
  void SetUp() override {
    WriterTest::SetUp();
    std::ofstream("Orvane.ini") << "[Orvane]\nOutlookToOrvane=1\n";
    os::ShowMainWindow();
  }
  void TearDown() override {
    os::CloseMainWindow();
    DeleteFileA("Orvane.ini");
    WriterTest::TearDown();
  }
  // The plug-in connects to Outlook; the items there are taken silently.
  static void Connect(Roads& roads) {
    roads.ConnectWhenOutlookRuns();
    ASSERT_TRUE(outbound::sinksConnected);
  }
  // Each record as the last hex digit of its kind and, for a deletion, its whole text, else its
  // first field.
  Lines Received() const {
    Lines seen;
    for (const auto& [kind, r] : mainApp_.copies) {
      const bool deleted = kind >= 0x2BB7B2AF;
      seen.push_back("0123456789ABCDEF"[kind & 0xF] + (" " + (deleted ? r : r.substr(0, r.find_first_of("\t*")))));
    }
    return seen;
  }
  // The lines of the checks and comparisons, and of failures.
  Lines DetectionLog() const {
    Lines lines = LogTexts();
    const auto other = [](const std::string& line) {
      return line.find("ItemsInOutlook::") == std::string::npos && line.find("=>") == std::string::npos;
    };
    lines.erase(std::remove_if(lines.begin(), lines.end(), other), lines.end());
    return lines;
  }

  TestWindow mainApp_{"Orvane Main", "Orvane"};
};

// The user's deletion, with its ItemRemove raised once the call has returned.
inline void RemoveTask(int index) {
  os::RemoveItem(outlook::kFolderTasks, index);
  EXPECT_TRUE(os::RaisePostedEvents());
}

}  // namespace writertest

}  // namespace orvane
