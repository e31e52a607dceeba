// The outbound road's pure decisions under random work: a model of the road (comparisons, items
// looked at, records queued and handed over, the journal written entry by entry and the snapshot
// after each comparison) driven by seeded random steps, killed between any two writes or in the
// middle of one, and restarted from what the disk holds. A failing case prints its seed and the
// fewest steps that still fail.
#include "mainapp/kinds.h"
#include "outbound/delivery_rule.h"
#include "outbound/item_picture.h"
#include "outbound/kept_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace outbound;

enum class Op { kAdd, kChange, kDelete, kRead, kLookAt, kMainApp, kSend, kArmCrash, kCrashNow };
constexpr const char* kOpNames[] = {"add",      "change", "delete",    "read",     "look-at",
                                    "main-app", "send",   "arm-crash", "crash-now"};
struct Step {
  Op op;
  std::uint32_t a, b;
};

// How the main application answers a hand-over.
enum class MainApp { kTakes, kClosed, kHung, kSlowTakes, kSlowLoses };

constexpr std::uint32_t kKinds[2][3] = {{mainapp::kTask, mainapp::kChangedTask, mainapp::kDeletedTask},
                                        {mainapp::kNote, mainapp::kChangedNote, mainapp::kDeletedNote}};
const std::string kSubjects[] = {"Call",          "call",
                                 "CALL",          "Z\xc3\xbcrich",
                                 "z\xc3\xbcrich", "",
                                 "\t\n\r",        std::string("a\0b", 3),
                                 "\xff\xfe",      std::string(300, 'x'),
                                 "\xe5\x8f\xb0"};

struct Item {
  std::string id, subject;
  double lastModified;
};

struct Sent {
  std::uint32_t kind;
  std::string text, id;
  std::uint32_t folder;
};

class Road {
public:
  std::optional<std::string> Run(const std::vector<Step>& steps) {
    KeptPictures first;
    first.generation = 1;
    first.folders = {{std::string("store\0", 6), "tasks", {}}, {"\xff", std::string(1, '\0'), {}}};
    snapshot_ = EncodeSnapshot(first);
    onDisk_ = live_ = first;
    for (const Step& step : steps) {
      Do(step);
      if (dead_) Restart();
      if (failure_) return failure_;
      CheckDiskAgrees();
      if (failure_) return failure_;
    }
    Settle();
    return failure_;
  }

private:
  void Fail(const std::string& what) {
    if (!failure_) failure_ = what;
  }

  // The disk: each write may be the last the process makes, or be cut short.
  bool Write() {
    if (dead_) return false;
    if (crashIn_ == 0) {
      dead_ = true;
      return false;
    }
    if (crashIn_ > 0) --crashIn_;
    return true;
  }
  bool Append(const JournalEntry& entry) {
    const std::string bytes = EncodeJournalEntry(live_.generation, entry);
    if (!dead_ && crashIn_ == 0 && torn_ > 0) journal_ += bytes.substr(0, torn_ % bytes.size());
    if (!Write()) return false;
    journal_ += bytes;
    if (entry.kind == JournalEntry::Kind::kOffered) offered_.insert(entry.record);
    return true;
  }
  void Keep() {
    if (!Write()) return;
    ++live_.generation;
    snapshot_ = EncodeSnapshot(live_);
    journal_.clear();
    onDisk_ = DecodeSnapshot(snapshot_);
    if (!onDisk_ || EncodeSnapshot(*onDisk_) != snapshot_)
      return Fail("the snapshot written does not read back the same");
    for (std::uint32_t f = 0; f < 2; ++f) {
      if (!(onDisk_->folders[f].picture.State() == live_.folders[f].picture.State()))
        Fail("the snapshot written reads another picture of folder " + std::to_string(f));
    }
  }

  void Restart() {
    auto kept = DecodeSnapshot(snapshot_);
    if (!kept) return Fail("the snapshot on disk does not read");
    ApplyJournal(*kept, journal_);
    journal_.resize(WholeEntriesLength(journal_));
    live_ = std::move(*kept);
    toLookAt_.clear();
    timeOuts_.clear();
    dead_ = false;
    crashIn_ = -1;
  }

  // What a new process would take up is what this one holds.
  void CheckDiskAgrees() {
    if (journal_.empty()) return;  // the snapshot just written, checked as it was
    auto kept = onDisk_;
    if (!kept) return Fail("the snapshot on disk does not read");
    ApplyJournal(*kept, journal_);
    for (std::uint32_t f = 0; f < 2; ++f) {
      if (!(kept->folders[f].picture.State() == live_.folders[f].picture.State()))
        return Fail("the journal replayed gives another picture of folder " + std::to_string(f));
    }
    if (kept->outbox.size() != live_.outbox.size() || kept->nextRecord != live_.nextRecord)
      return Fail("the journal replayed gives another outbox");
    for (std::size_t i = 0; i < kept->outbox.size(); ++i) {
      const OutboundRecord &a = kept->outbox[i], &b = live_.outbox[i];
      if (a.number != b.number || a.kind != b.kind || a.text != b.text || a.folder != b.folder || a.goneId != b.goneId)
        return Fail("the journal replayed gives another record " + std::to_string(b.number));
    }
  }

  Item* InFolder(std::uint32_t f, const std::string& id) {
    for (Item& item : folders_[f])
      if (item.id == id) return &item;
    return nullptr;
  }

  void Do(const Step& s) {
    const std::uint32_t f = s.a % 2;
    std::vector<Item>& folder = folders_[f];
    switch (s.op) {
      case Op::kAdd: {
        std::string id = (s.b & 2 ? std::string("\0\xff", 2) : std::string("id")) + std::to_string(++ids_);
        const std::size_t pick = (s.b >> 2) % (std::size(kSubjects) + 3);
        folder.push_back({id, pick < std::size(kSubjects) ? kSubjects[pick] : "s" + std::to_string(ids_), NextTime()});
        everIn_[f].insert(id);
        if (s.b & 1) LookAt(f, id, true, false);  // its ItemAdd came
        break;
      }
      case Op::kChange: {
        if (folder.empty()) break;
        Item& item = folder[(s.b >> 1) % folder.size()];
        const std::size_t pick = (s.b >> 8) % (std::size(kSubjects) + 1);
        if (pick < std::size(kSubjects)) item.subject = kSubjects[pick];
        // A store that keeps whole seconds gives a save within the second of the last its time.
        if ((s.b >> 16) % 4 != 0) item.lastModified = NextTime();
        if (s.b & 1) LookAt(f, item.id, false, true);  // its ItemChange came
        break;
      }
      case Op::kDelete:
        if (!folder.empty()) folder.erase(folder.begin() + static_cast<std::ptrdiff_t>(s.b % folder.size()));
        break;
      case Op::kRead: Read(f, s.b % 3); break;
      case Op::kLookAt:
        for (std::uint32_t n = s.b % 4 + 1; n > 0 && !toLookAt_.empty() && !dead_; --n) {
          const auto [slot, id] = toLookAt_.front();
          toLookAt_.erase(toLookAt_.begin());
          if (InFolder(slot, id)) LookAt(slot, id, false, false);  // else deleted since: the next read tells
        }
        break;
      case Op::kMainApp: mainApp_ = static_cast<MainApp>(s.b % 5); break;
      case Op::kSend: SendInOrder(); break;
      case Op::kArmCrash:
        crashIn_ = static_cast<int>(s.a % 8);
        torn_ = s.b % 3 == 0 ? 0 : s.b;
        break;
      case Op::kCrashNow: dead_ = true; break;
    }
  }

  double NextTime() { return 45000.0 + static_cast<double>(++clock_) / 1024; }

  // mode 0: every item with its subject and state; 1: the store still loading, nothing;
  // 2: subjects only where the picture needs them, some states not taken.
  void Read(std::uint32_t f, std::uint32_t mode) {
    FolderPicture& picture = live_.folders[f].picture;
    std::vector<ReadItem> read;
    // An empty read after one held back is believed, be it of a store loading again: the wait
    // that confirms a mass disappearance belongs to the Windows side, so here a loading store
    // never reads empty twice in a row (nor after a restart that took up an empty read held).
    if (mode == 1 && picture.Held()) mode = 0;
    if (mode != 1) {
      for (const Item& item : folders_[f]) {
        const bool partial = mode == 2;
        read.push_back(
            {item.id,
             !partial || picture.NeedsSubject(item.id) ? std::optional<std::string>(item.subject) : std::nullopt,
             partial && Stated(picture, item.id) && (clock_ + read.size()) % 3 == 0 ? 0 : item.lastModified});
      }
    }
    const FolderPicture before = picture;
    FolderComparison comparison = Compare(before, read);
    picture = std::move(comparison.picture);
    for (std::size_t i = 0; i < comparison.gone.size(); ++i) {
      Deliver(kKinds[f][2], comparison.gone[i], f, comparison.goneIds[i], nullptr);
    }
    for (const ReadItem& item : comparison.toExamine) toLookAt_.push_back({f, item.id});
    Keep();
    // The main application holds what the plug-in's first read kept finds, where the plug-in
    // told it nothing else.
    if (!before.Taken() && !dead_) {
      for (const ReadItem& item : read) {
        if (!before.Knows(item.id)) Tell(f, item.id, InFolder(f, item.id)->subject);
      }
    }
  }

  // Whether the picture knows the item with a state. One known without a state takes the next
  // state read silently, whatever changed meanwhile: a read that leaves the state out of an item
  // it lets in without one would hide the item's next change, so the model's reads do not.
  static bool Stated(const FolderPicture& picture, const std::string& id) {
    const Entry* known = picture.Find(id);
    return known && known->lastModified != 0;
  }

  // As the sinks and the queue of items to look at do.
  void LookAt(std::uint32_t f, const std::string& id, bool added, bool changed) {
    if (dead_) return;
    const Item item = *InFolder(f, id);
    FolderPicture& picture = live_.folders[f].picture;
    const Entry* known = picture.Find(id);
    const std::uint64_t digest = RecordDigest(item.subject);
    const ItemNews news = NewsOf(known, digest, !item.subject.empty(), added, changed && !picture.Taken());
    if (news == ItemNews::kNothing) {
      const Entry entry = UntoldEntry(known, id, item.subject, item.lastModified);
      if (Append(TakenEntry(f, entry))) picture.TakeState(entry);
      return;
    }
    const Entry taken{id, item.subject, item.lastModified, digest};
    picture.TakeState(taken);
    Deliver(kKinds[f][news == ItemNews::kChangedItem ? 1 : 0], item.subject, f, {}, &taken);
  }

  void Deliver(std::uint32_t kind, const std::string& text, std::uint32_t f, const std::string& goneId,
               const Entry* taken) {
    if (dead_) return;
    const OutboundRecord record{live_.nextRecord++, kind, text, f, goneId, false};
    if (!Append(taken ? QueuedWithStateEntry(record, *taken) : QueuedEntry(record))) return;
    sent_[record.number] = {kind, text, taken ? taken->id : goneId, f};
    lastRecordOf_[{f, taken ? taken->id : goneId}] = record.number;
    recordsOf_[{f, taken ? taken->id : goneId}].push_back(record.number);
    if (!goneId.empty()) live_.folders[f].picture.NoteOwnDeletion(goneId);
    live_.outbox.push_back(record);
    SendInOrder();
  }

  void SendInOrder() {
    while (!live_.outbox.empty() && !dead_) {
      OutboundRecord& record = live_.outbox.front();
      const std::uint64_t number = record.number;
      if (!Append(OfferedEntry(number))) return;
      record.offered = true;
      const bool safe =
          SafeToRepeat(record.kind, SubjectElsewhere(live_.folders[record.folder].picture, record.text, record.goneId));
      const SendOutcome outcome = mainApp_ == MainApp::kTakes    ? SendOutcome::kTaken
                                  : mainApp_ == MainApp::kClosed ? SendOutcome::kNotThere
                                  : mainApp_ == MainApp::kHung   ? SendOutcome::kRefused
                                                                 : SendOutcome::kTimedOut;
      if (mainApp_ == MainApp::kTakes || mainApp_ == MainApp::kSlowTakes) Receive(number);
      const AfterSend after = DecideAfterSend(outcome, safe, timeOuts_[number]);
      if (outcome == SendOutcome::kTimedOut) ++timeOuts_[number];
      if (after == AfterSend::kSendAgain) {
        record.offered = false;
        Append(ReturnedEntry(number));
        return;
      }
      if (!Append(DeliveredEntry(number))) return;
      live_.outbox.erase(live_.outbox.begin());
      if (after == AfterSend::kCountedDelivered) return;
    }
  }

  // The main application's side: what it was told, and whether it could be told it harmfully.
  void Receive(std::uint64_t number) {
    const Sent& r = sent_.at(number);
    auto& told = told_[r.folder];
    const bool deletion = r.kind == kKinds[r.folder][2];
    const std::string n = "record " + std::to_string(number) + " ";
    if (++received_[number] > 1) {
      if (r.kind == kKinds[r.folder][0]) Fail(n + "of a new item reached the main application twice");
      if (deletion) {
        for (const auto& [id, subject] : told) {
          // One going as well may be taken in its place: nothing the user kept is lost.
          if (id != r.id && InFolder(r.folder, id) && Loose(subject) == Loose(r.text))
            Fail(n + "of a deletion reached the main application twice while another item bears its subject");
        }
      }
    }
    if (!deletion) {
      Tell(r.folder, r.id, r.text);
      return;
    }
    if (InFolder(r.folder, r.id) || everIn_[r.folder].count(r.id) == 0) Fail(n + "reports a deletion never made");
    const auto known = told.find(r.id);
    if (known != told.end() && known->second != r.text && !EarlierRecordLostByRule(number))
      Fail(n + "names a deletion by a subject the main application was never told");
    if (reportedGone_[r.folder].insert({r.id, number}).second &&
        std::count_if(reportedGone_[r.folder].begin(), reportedGone_[r.folder].end(),
                      [&](const auto& g) { return g.first == r.id; }) > 1)
      Fail(n + "reports a deletion reported before");
    told.erase(r.id);
  }

  void Tell(std::uint32_t f, const std::string& id, const std::string& subject) {
    told_[f][id] = subject;
    everTold_[f].insert(id);
  }

  static std::string Loose(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
  }

  // A record the plug-in may have handed over and counted delivered without its reaching the
  // main application: after a time-out, or a process ending while it was offered. Its loss is
  // the price of never giving a new item twice.
  bool LostByRule(std::uint32_t f, const std::string& id) {
    const auto last = lastRecordOf_.find({f, id});
    return last != lastRecordOf_.end() && offered_.count(last->second) > 0 && received_[last->second] == 0;
  }

  bool EarlierRecordLostByRule(std::uint64_t number) {
    const Sent& r = sent_.at(number);
    for (const std::uint64_t earlier : recordsOf_[{r.folder, r.id}]) {
      if (earlier < number && offered_.count(earlier) > 0 && received_[earlier] == 0) return true;
    }
    return false;
  }

  // The work stops, the main application answers, and the folders are read until nothing moves.
  void Settle() {
    if (failure_) return;
    mainApp_ = MainApp::kTakes;
    crashIn_ = -1;
    for (int round = 0; round < 3; ++round) {
      for (std::uint32_t f = 0; f < 2; ++f) Read(f, 0);
      while (!toLookAt_.empty()) Do({Op::kLookAt, 0, 3});
      SendInOrder();
    }
    if (!live_.outbox.empty()) Fail("records wait after the main application took everything");
    for (std::uint32_t f = 0; f < 2; ++f) {
      std::set<std::string> inPicture, inFolder;
      for (const Entry& e : live_.folders[f].picture.Entries()) inPicture.insert(e.id);
      for (const Item& item : folders_[f]) {
        inFolder.insert(item.id);
        const auto told = told_[f].find(item.id);
        if (!item.subject.empty() && (told == told_[f].end() || told->second != item.subject) &&
            !LostByRule(f, item.id))
          Fail("the main application was never told of item " + std::to_string(f) + ":" + item.id.substr(2));
      }
      if (inPicture != inFolder) Fail("the picture of folder " + std::to_string(f) + " does not follow the folder");
      for (const std::string& id : everTold_[f]) {
        const bool reported =
            std::any_of(reportedGone_[f].begin(), reportedGone_[f].end(), [&](const auto& g) { return g.first == id; });
        if (!inFolder.count(id) && !reported && !LostByRule(f, id))
          Fail("the deletion of item " + std::to_string(f) + ":" + id.substr(2) + " was never reported");
      }
    }
  }

  std::vector<Item> folders_[2];
  std::set<std::string> everIn_[2], everTold_[2];
  std::map<std::string, std::string> told_[2];
  std::set<std::pair<std::string, std::uint64_t>> reportedGone_[2];
  std::map<std::uint64_t, Sent> sent_;
  std::map<std::uint64_t, int> received_;
  std::map<std::pair<std::uint32_t, std::string>, std::uint64_t> lastRecordOf_;
  std::map<std::pair<std::uint32_t, std::string>, std::vector<std::uint64_t>> recordsOf_;
  std::set<std::uint64_t> offered_;
  std::map<std::uint64_t, std::uint32_t> timeOuts_;
  std::vector<std::pair<std::uint32_t, std::string>> toLookAt_;
  KeptPictures live_;
  std::string snapshot_, journal_;
  std::optional<KeptPictures> onDisk_;  // the snapshot decoded
  MainApp mainApp_ = MainApp::kTakes;
  int crashIn_ = -1;
  std::uint32_t torn_ = 0;
  bool dead_ = false;
  std::uint64_t ids_ = 0, clock_ = 0;
  std::optional<std::string> failure_;
};

std::vector<Step> RandomSteps(std::uint64_t seed) {
  std::mt19937_64 random(seed);
  // Weights of the operations, in the order of Op.
  std::discrete_distribution<int> op({20, 14, 12, 14, 12, 5, 6, 5, 2});
  std::vector<Step> steps(std::uniform_int_distribution<std::size_t>(1, 32)(random));
  for (Step& step : steps) {
    step = {static_cast<Op>(op(random)), static_cast<std::uint32_t>(random()), static_cast<std::uint32_t>(random())};
  }
  return steps;
}

std::optional<std::string> RunSteps(const std::vector<Step>& steps) { return Road().Run(steps); }

// The fewest steps that still fail: chunks dropped while the failure stays.
std::vector<Step> Shrink(std::vector<Step> steps) {
  for (std::size_t chunk = steps.size() / 2; chunk > 0; chunk /= 2) {
    for (std::size_t at = 0; at + chunk <= steps.size();) {
      std::vector<Step> fewer = steps;
      fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(at),
                  fewer.begin() + static_cast<std::ptrdiff_t>(at + chunk));
      if (RunSteps(fewer)) {
        steps = std::move(fewer);
      } else {
        at += chunk;
      }
    }
  }
  return steps;
}

std::string Describe(const std::vector<Step>& steps) {
  std::ostringstream out;
  for (const Step& s : steps) out << "  {" << kOpNames[static_cast<int>(s.op)] << ", " << s.a << ", " << s.b << "}\n";
  return out.str();
}

// Found by the random road: an item the main application was told of by its event, deleted
// before its folder's first read, was dropped by that read without a report.
TEST(OutboundProperty, AnItemToldBeforeTheFirstReadAndDeletedIsReportedGone) {
  FolderPicture picture;
  picture.TakeState({"told", "Call", 45000, RecordDigest("Call")});
  picture.TakeState({"silent", "", 45000, 0});  // never told: nothing to report
  FolderComparison other = Compare(picture, {{"new", std::string("New"), 45001}});
  EXPECT_EQ(other.gone, std::vector<std::string>{"Call"});
  FolderComparison held = Compare(picture, {});
  EXPECT_TRUE(held.gone.empty()) << "a first read that finds the folder empty is held back too";
  EXPECT_EQ(held.heldBack, 1u);
  EXPECT_EQ(Compare(held.picture, {}).goneIds, std::vector<std::string>{"told"});
}

// Found by the random road: a read took the new subject of a changed item before the main
// application was told it, so a deletion of another item bearing the old subject seemed safe to
// send twice, and the second could delete the changed item in the main application. Later, by the
// randomized run and this road: an item renamed within the second of its last save, emptied of its
// subject, or renamed before the folder's first read took the new subject untold, and its deletion
// named a subject the main application never had.
TEST(OutboundProperty, AChangedItemKeepsItsToldSubjectUntilItIsLookedAt) {
  PictureState state;
  state.taken = true;
  state.entries = {{"kept", "Z\xc3\xbcrich", 45000, RecordDigest("Z\xc3\xbcrich")},
                   {"gone", "Z\xc3\xbcrich", 45000, RecordDigest("Z\xc3\xbcrich")}};
  const FolderComparison comparison = Compare(FolderPicture(state), {{"kept", std::string("Renamed"), 45002}});
  ASSERT_EQ(comparison.goneIds, std::vector<std::string>{"gone"});
  ASSERT_EQ(comparison.toExamine.size(), 1u);
  EXPECT_EQ(comparison.picture.Find("kept")->subject, "Z\xc3\xbcrich");
  EXPECT_FALSE(SafeToRepeat(mainapp::kDeletedTask, SubjectElsewhere(comparison.picture, comparison.gone[0], "gone")));
  // A store that keeps whole seconds gives a rename within the second of the last save the same
  // state: the subject read tells.
  const FolderComparison sameSecond = Compare(FolderPicture(state), {{"kept", std::string("Renamed"), 45000}});
  EXPECT_EQ(sameSecond.toExamine.size(), 1u);
  EXPECT_EQ(sameSecond.picture.Find("kept")->subject, "Z\xc3\xbcrich");
  // Emptied, it is never reported, and its deletion still names the subject told.
  const FolderComparison emptied = Compare(FolderPicture(state), {{"kept", std::string(), 45000}});
  EXPECT_TRUE(emptied.toExamine.empty());
  EXPECT_EQ(emptied.picture.Find("kept")->subject, "Z\xc3\xbcrich");
  EXPECT_EQ(UntoldEntry(&state.entries[0], "kept", "", 45003).subject, "Z\xc3\xbcrich");
  // Reported by its event before the folder's first read, then renamed: the first read looks at it.
  PictureState beforeFirstRead = state;
  beforeFirstRead.taken = false;
  EXPECT_EQ(Compare(FolderPicture(beforeFirstRead), {{"kept", std::string("Renamed"), 45002}}).toExamine.size(), 1u);
}

TEST(OutboundProperty, RandomWorkKilledAtAnyWriteLosesNothingAndInventsNothing) {
  // Another first seed explores further: ORVANE_PROPERTY_SEED=N.
  const char* first = std::getenv("ORVANE_PROPERTY_SEED");
  const std::uint64_t base = first ? std::strtoull(first, nullptr, 10) : 20261208;
  constexpr int kCases = 3000;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kCases; ++i) {
    const std::uint64_t seed = base + static_cast<std::uint64_t>(i);
    const std::vector<Step> steps = RandomSteps(seed);
    if (const auto failure = RunSteps(steps)) {
      const std::vector<Step> shrunk = Shrink(steps);
      FAIL() << "seed " << seed << ": " << *failure << "\nshrunk to " << shrunk.size() << " steps ("
             << RunSteps(shrunk).value_or("") << "):\n"
             << Describe(shrunk);
    }
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%d cases in %.2f s\n", kCases, took.count());
}

}  // namespace

}  // namespace orvane
