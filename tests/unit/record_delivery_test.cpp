// Every outbound record reaches the main application once: kept while it cannot be delivered,
// never sent twice by a process that ended while handing it over, never made up from a folder
// read empty for a moment, and left to the successor by a process that hands over.
#include "tests/unit/roads.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using RecordDeliveryTest = RoadsTest;

constexpr const char* kPictureFiles[] = {"OrvanePictures.dat", "OrvanePictures.journal"};

// The kept pictures as they are on disk at one moment, to be put back as a process that ended
// then would have left them.
class Disk {
public:
  static Disk Now() {
    Disk disk;
    for (const char* name : kPictureFiles) {
      std::ifstream file(name, std::ios::binary);
      disk.files_.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return disk;
  }
  bool operator==(const Disk& other) const { return files_ == other.files_; }
  void PutBack() const {
    for (size_t i = 0; i < files_.size(); ++i) {
      std::ofstream(kPictureFiles[i], std::ios::binary | std::ios::trunc) << files_[i];
    }
  }

private:
  std::vector<std::string> files_;
};

// A record as "kind digit text" where the text is the first field.
std::string Shown(std::string_view text, uint32_t kind) {
  const std::string record(text);
  return std::string(1, "0123456789ABCDEF"[kind & 0xF]) + " " + record.substr(0, record.find_first_of("\t*"));
}

// Records the main application did not take wait, also for the next process, and go in the order
// they were made once it answers.
TEST_F(RecordDeliveryTest, RecordsTheMainApplicationDidNotTakeGoInOrderOnceItAnswers) {
  for (const char* subject : {"A", "B", "C"}) AddItem(os::ItemKind::Task, subject);
  {
    Roads first;
    first.link.Records().SendThrough([](std::string_view, uint32_t) { return outbound::SendOutcome::kNotThere; });
    ASSERT_NO_FATAL_FAILURE(Connect(first));
    RemoveTask(1), RemoveTask(1);
    AddItem(os::ItemKind::Task, "N");
    EXPECT_TRUE(os::RaisePostedEvents());
    EXPECT_EQ(first.link.Records().RecordsWaiting(), 3u);
  }
  EXPECT_EQ(Received(), Lines{});
  Roads next;
  ASSERT_NO_FATAL_FAILURE(Connect(next));
  next.CheckDeletedItems();
  EXPECT_EQ(Received(), (Lines{"1 A", "1 B", "6 N"}));
  EXPECT_EQ(next.link.Records().RecordsWaiting(), 0u);
}

// Within one process: the watchdog's tick sends what waits once the window is there.
TEST_F(RecordDeliveryTest, TheTickSendsWhatWaitsOnceTheMainApplicationAnswers) {
  AddItem(os::ItemKind::Task, "A"), AddItem(os::ItemKind::Task, "B");
  Roads roads;
  bool answers = false;
  Lines taken;
  roads.link.Records().SendThrough([&](std::string_view text, uint32_t kind) {
    if (answers) taken.push_back(Shown(text, kind));
    return answers ? outbound::SendOutcome::kTaken : outbound::SendOutcome::kNotThere;
  });
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  RemoveTask(1);
  roads.link.SendWaitingRecords();
  EXPECT_EQ(taken, Lines{});
  answers = true;
  roads.link.SendWaitingRecords();
  roads.link.SendWaitingRecords();
  EXPECT_EQ(taken, Lines{"1 A"});
}

// A slow main application may take the whole time-out over each record: while its own command
// waits to be performed, the reports wait rather than hold the command up, then go in their order.
TEST_F(RecordDeliveryTest, ReportsWaitWhileTheMainApplicationsCommandWaits) {
  AddItem(os::ItemKind::Task, "A"), AddItem(os::ItemKind::Task, "B");
  Roads roads;
  bool commandWaits = true;
  Lines taken;
  roads.link.Records().SendThrough([&](std::string_view text, uint32_t kind) {
    taken.push_back(Shown(text, kind));
    return outbound::SendOutcome::kTaken;
  });
  roads.link.YieldTo([&] { return commandWaits; });
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  RemoveTask(1);
  AddItem(os::ItemKind::Task, "N");
  EXPECT_TRUE(os::RaisePostedEvents());
  roads.link.SendWaitingRecords();
  EXPECT_EQ(taken, Lines{});
  EXPECT_EQ(roads.link.Records().RecordsWaiting(), 2u);
  commandWaits = false;
  roads.link.SendWaitingRecords();
  EXPECT_EQ(taken, (Lines{"1 A", "6 N"}));
}

struct TimedOutSends {
  const char* what;
  std::function<void()> user;
  int timeOuts;           // the sends, one after another, that use their whole time-out
  int sends;              // how many the plug-in makes
  Lines taken;            // what the main application took in time
  bool countedDelivered;  // whether the record was given up with its log line
};

// A main application that stops pumping for a while cancels a send it never took, one time-out a
// pause: a changed record goes again after each, up to a bound, so pauses in a row do not lose it.
// A new item's record may have been taken and would make a second item: it never goes again.
TEST_F(RecordDeliveryTest, AChangeGoesAgainAfterEachTimeOutUpToABound) {
  const auto rename = [] {
    os::ChangeItem(kFolderTasks, 1, {{kSubject, os::Value::Text(L"A2")}});
    EXPECT_TRUE(os::RaisePostedEvents());
  };
  const TimedOutSends cases[] = {
      {"a change over one pause", rename, 1, 2, {"9 A2"}, false},
      {"a change over three pauses in a row", rename, 3, 4, {"9 A2"}, false},
      {"a change the main application is too slow for every time", rename, 99, 4, {}, true},
      {"a new item", [] { AddItem(os::ItemKind::Task, "N"), os::RaisePostedEvents(); }, 1, 1, {}, true},
  };
  for (const TimedOutSends& c : cases) {
    SCOPED_TRACE(c.what);
    StartOver(), mainApp_.copies.clear();
    AddItem(os::ItemKind::Task, "A"), AddItem(os::ItemKind::Task, "B");
    Roads roads;
    int sends = 0;
    Lines taken;
    roads.link.Records().SendThrough([&](std::string_view text, uint32_t kind) {
      if (++sends <= c.timeOuts) return outbound::SendOutcome::kTimedOut;
      taken.push_back(Shown(text, kind));
      return outbound::SendOutcome::kTaken;
    });
    ASSERT_NO_FATAL_FAILURE(Connect(roads));
    c.user();
    for (int tick = 0; tick < 6; ++tick) roads.link.SendWaitingRecords();
    EXPECT_EQ(sends, c.sends);
    EXPECT_EQ(taken, c.taken);
    EXPECT_EQ(roads.link.Records().RecordsWaiting(), 0u);
    const Lines log = LogTexts();
    const bool givenUp = std::any_of(log.begin(), log.end(), [](const std::string& line) {
      return line.find("may have reached it, not sent again") != std::string::npos;
    });
    EXPECT_EQ(givenUp, c.countedDelivered);
  }
}

// After a time-out the next record comes from an Outlook event: it waits behind the first for the
// tick, so that Outlook, waiting on its event, is not held for another time-out.
TEST_F(RecordDeliveryTest, AnOutlookEventAfterATimeOutLeavesTheSendToTheTick) {
  AddItem(os::ItemKind::Task, "A"), AddItem(os::ItemKind::Task, "B");
  Roads roads;
  int sends = 0;
  Lines taken;
  roads.link.Records().SendThrough([&](std::string_view text, uint32_t kind) {
    if (++sends == 1) return outbound::SendOutcome::kTimedOut;
    taken.push_back(Shown(text, kind));
    return outbound::SendOutcome::kTaken;
  });
  ASSERT_NO_FATAL_FAILURE(Connect(roads));
  os::ChangeItem(kFolderTasks, 1, {{kSubject, os::Value::Text(L"A2")}});
  EXPECT_TRUE(os::RaisePostedEvents());
  AddItem(os::ItemKind::Task, "N");
  EXPECT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(sends, 1);
  EXPECT_EQ(roads.link.Records().RecordsWaiting(), 2u);
  roads.link.SendWaitingRecords();
  EXPECT_EQ(taken, (Lines{"9 A2", "6 N"}));
}

struct EndedAtSend {
  const char* what;
  std::function<void()> user;       // what the user does while the first process runs
  std::function<void()> meanwhile;  // what the user does while no process runs
  Lines reportedNext;               // what the next process reports
};

// A process that ends while it hands a record over, with the disk as it was at that moment: the
// next one never sends the record again, and follows the item it told of.
TEST_F(RecordDeliveryTest, AProcessEndingWhileItHandsARecordOverNeverSendsItAgain) {
  const EndedAtSend cases[] = {
      {"a deletion", [] { RemoveTask(1); }, [] {}, {}},
      {"a new item, deleted while no process ran",
       [] { AddItem(os::ItemKind::Task, "New"), os::RaisePostedEvents(); },
       [] { os::RemoveItemsWithoutEvents(kFolderTasks, 3, 1); },
       {"1 New"}},
  };
  for (const EndedAtSend& c : cases) {
    SCOPED_TRACE(c.what);
    StartOver(), mainApp_.copies.clear();
    AddItem(os::ItemKind::Task, "A"), AddItem(os::ItemKind::Task, "B");
    Disk atSend;
    {
      Roads first;
      first.link.Records().SendThrough([&](std::string_view, uint32_t) {
        atSend = Disk::Now();
        return outbound::SendOutcome::kTaken;
      });
      ASSERT_NO_FATAL_FAILURE(Connect(first));
      c.user();
    }
    atSend.PutBack();
    c.meanwhile();
    Roads next;
    ASSERT_NO_FATAL_FAILURE(Connect(next));
    next.CheckDeletedItems();
    EXPECT_EQ(Received(), c.reportedNext);
  }
}

// Outlook shows a small folder empty right after connecting, while its store loads; and an empty
// read confirmed at once is no more believed than one alone.
TEST_F(RecordDeliveryTest, AFolderReadEmptyRightAfterConnectingReportsNothing) {
  for (const char* subject : {"A", "B", "C"}) AddItem(os::ItemKind::Task, subject);
  {
    Roads first;
    ASSERT_NO_FATAL_FAILURE(Connect(first));
  }
  Roads next;
  next.link.Disappearances().ConfirmAfter(60000);
  os::ReadFolderEmpty(kFolderTasks, 1);
  ASSERT_NO_FATAL_FAILURE(Connect(next));
  next.CheckDeletedItems();
  os::ReadFolderEmpty(kFolderTasks, 2);
  next.CheckDeletedItems(), next.CheckDeletedItems();
  EXPECT_EQ(Received(), Lines{});
}

// A process handing over to its successor leaves the pictures as they are, free for the successor,
// and still sends what its sinks report.
TEST_F(RecordDeliveryTest, AProcessHandingOverLeavesThePicturesToItsSuccessor) {
  AddItem(os::ItemKind::Task, "A"), AddItem(os::ItemKind::Task, "B");
  Roads first;
  ASSERT_NO_FATAL_FAILURE(Connect(first));
  const Disk before = Disk::Now();
  first.link.StopKeepingPictures();
  AddItem(os::ItemKind::Task, "N");
  EXPECT_TRUE(os::RaisePostedEvents());
  RemoveTask(1);
  first.CheckDeletedItems();
  EXPECT_TRUE(Disk::Now() == before);
  Roads next;
  ASSERT_NO_FATAL_FAILURE(Connect(next));
  EXPECT_EQ(Received(), (Lines{"1 A", "6 N"})) << "each once, from the successor";
}

}  // namespace

}  // namespace orvane
