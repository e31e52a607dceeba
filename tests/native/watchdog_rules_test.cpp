#include "app/watchdog_rules.h"

#include <gtest/gtest.h>

#include <optional>

namespace orvane {

namespace {

using app::Verdict;

// A desktop where the main application runs and nothing else is going on.
app::Desktop QuietDesktop() {
  app::Desktop desktop;
  desktop.mainAppWindow = true;
  desktop.readOutlookLink = [] { return 0u; };
  desktop.now = 1000;
  desktop.startTick = 0;
  return desktop;
}

TEST(WatchdogDecide, MissingMainApplicationEndsThePlugInOnlyWhenTheLinkIsOff) {
  int reads = 0;
  unsigned link = 0;
  auto desktop = QuietDesktop();
  desktop.readOutlookLink = [&] {
    ++reads;
    return link;
  };
  EXPECT_EQ(app::Decide(desktop), app::Verdict::Continue);
  EXPECT_EQ(reads, 0) << "the link setting is read only when the main application is missing";
  desktop.mainAppWindow = false;
  EXPECT_EQ(app::Decide(desktop), app::Verdict::ExitNoMainApp);
  link = 1;
  EXPECT_EQ(app::Decide(desktop), app::Verdict::Continue);
}

TEST(WatchdogDecide, EarlierRowsWinAndOnlyTheReplacementWaitsForOutlookWork) {
  auto desktop = QuietDesktop();
  desktop.outlookWorkPending = true;
  desktop.installerWindow = true;
  desktop.updaterPackageWindow = true;
  desktop.now = 2000000;
  desktop.foregroundWindow = true;
  desktop.foregroundTitle = "xOrvaneUpdater";
  EXPECT_EQ(app::Decide(desktop), app::Verdict::CloseForInstaller);
  desktop.installerWindow = false;
  EXPECT_EQ(app::Decide(desktop), app::Verdict::CloseForUpdaterPackage);
  desktop.updaterPackageWindow = false;
  EXPECT_EQ(app::Decide(desktop), app::Verdict::CloseForUpdaterInFront);
  desktop.foregroundWindow = false;
  EXPECT_EQ(app::Decide(desktop), app::Verdict::Continue);
  desktop.outlookWorkPending = false;
  EXPECT_EQ(app::Decide(desktop), app::Verdict::HandOff);
  desktop.now = 1000;
  desktop.foregroundWindow = true;
  EXPECT_EQ(app::Decide(desktop), app::Verdict::CloseForUpdaterInFront);
  desktop.mainAppWindow = false;
  EXPECT_EQ(app::Decide(desktop), app::Verdict::ExitNoMainApp);
}

struct AgeCase {
  uint32_t startTick;
  uint32_t now;
  bool limitReached;
  uint32_t restartDelay;
};

// The tick counter wraps after 49.7 days: the last three start just before it wraps.
TEST(WatchdogAge, LimitAndRestartDelayInWrapSafeArithmetic) {
  const AgeCase kCases[] = {{500, 500, false, 10000},
                            {0, 9999, false, 1},
                            {0, 10000, false, 0},
                            {0, 899999, false, 0},
                            {0, 900000, true, 0},
                            {0xFFFFF000u, 0x1000u, false, 1808},
                            {0xFFFFF000u, 900000u - 0x1000u - 1, false, 0},
                            {0xFFFFF000u, 900000u - 0x1000u, true, 0}};
  for (const auto& c : kCases) {
    EXPECT_EQ(app::AgeLimitReached(c.now, c.startTick), c.limitReached) << c.startTick << " " << c.now;
    EXPECT_EQ(app::RestartDelay(c.now, c.startTick), c.restartDelay) << c.startTick << " " << c.now;
  }
}

// A test build told to hand off sooner: the age limit comes that long after the start, the
// shortest life already behind it; a time not shorter than the limit, or none, changes nothing.
TEST(WatchdogAge, ASoonerHandOffMovesTheStartBack) {
  const struct {
    uint32_t now;
    std::optional<uint32_t> after;
    uint32_t startTick;
  } kCases[] = {{1000000, std::nullopt, 1000000},
                {1000000, 900000, 1000000},
                {1000000, 30000, 1000000 - 870000},
                {5, 0, 5u - 900000u}};
  for (const auto& c : kCases) {
    const uint32_t start = app::StartTickForHandOff(c.now, c.after);
    EXPECT_EQ(start, c.startTick) << c.now;
    if (!c.after || *c.after >= app::kAgeLimitMs) continue;
    EXPECT_FALSE(app::AgeLimitReached(c.now + *c.after - 1, start) && *c.after > 0);
    EXPECT_TRUE(app::AgeLimitReached(c.now + *c.after, start));
    EXPECT_EQ(app::RestartDelay(c.now, start), 0u);
  }
}

TEST(WatchdogUpdaterTitle, FromTheSecondCharacterOrByFileName) {
  const std::pair<const char*, bool> kCases[] = {{"Setup - OrvaneUpdater", true},
                                                 {"xorvaneupdater", true},
                                                 {"OrvaneUpdater", false},
                                                 {"ORVANEUPDATER running", false},
                                                 {"", false},
                                                 {"O", false},
                                                 {"orvaneupdater20060806.exe", true},
                                                 {"C:\\temp\\orvaneupdater20060806.exe", true},
                                                 {"ORVANEUPDATER20060806.EXE", false},
                                                 {"orvaneupdater20060806.exe - x", false},
                                                 {"Orvaneupdater20060806.ex", false}};
  for (const auto& [title, namesUpdater] : kCases) EXPECT_EQ(app::TitleNamesUpdater(title), namesUpdater) << title;
}

}  // namespace

}  // namespace orvane
