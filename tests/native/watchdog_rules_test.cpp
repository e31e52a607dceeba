#include "app/watchdog_rules.h"

#include <gtest/gtest.h>

namespace orvane {

namespace {

using watchdog::Verdict;

// A desktop where the main application runs and nothing else is going on.
watchdog::Desktop QuietDesktop() {
  watchdog::Desktop desktop;
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
  EXPECT_EQ(watchdog::Decide(desktop), Verdict::Continue);
  EXPECT_EQ(reads, 0) << "the link setting is read only when the main application is missing";
  desktop.mainAppWindow = false;
  EXPECT_EQ(watchdog::Decide(desktop), Verdict::ExitNoMainApp);
  link = 1;
  EXPECT_EQ(watchdog::Decide(desktop), Verdict::Continue);
}

TEST(WatchdogDecide, EarlierRowsWinAndOnlyTheReplacementWaitsForOutlookWork) {
  auto desktop = QuietDesktop();
  desktop.outlookWorkPending = true;
  desktop.installerWindow = true;
  desktop.updaterPackageWindow = true;
  desktop.now = 2000000;
  desktop.foregroundWindow = true;
  desktop.foregroundTitle = "xOrvaneUpdater";
  EXPECT_EQ(watchdog::Decide(desktop), Verdict::CloseForInstaller);
  desktop.installerWindow = false;
  EXPECT_EQ(watchdog::Decide(desktop), Verdict::CloseForUpdaterPackage);
  desktop.updaterPackageWindow = false;
  EXPECT_EQ(watchdog::Decide(desktop), Verdict::CloseForUpdaterInFront);
  desktop.foregroundWindow = false;
  EXPECT_EQ(watchdog::Decide(desktop), Verdict::Continue);
  desktop.outlookWorkPending = false;
  EXPECT_EQ(watchdog::Decide(desktop), Verdict::HandOff);
  desktop.now = 1000;
  desktop.foregroundWindow = true;
  EXPECT_EQ(watchdog::Decide(desktop), Verdict::CloseForUpdaterInFront);
  desktop.mainAppWindow = false;
  EXPECT_EQ(watchdog::Decide(desktop), Verdict::ExitNoMainApp);
}

struct AgeCase {
  uint32_t startTick;
  uint32_t now;
  bool limitReached;
  uint32_t restartDelay;
};

class Age : public testing::TestWithParam<AgeCase> {};

TEST_P(Age, LimitAndRestartDelayInWrapSafeArithmetic) {
  EXPECT_EQ(watchdog::AgeLimitReached(GetParam().now, GetParam().startTick), GetParam().limitReached);
  EXPECT_EQ(watchdog::RestartDelay(GetParam().now, GetParam().startTick), GetParam().restartDelay);
}

INSTANTIATE_TEST_SUITE_P(
    Ages, Age,
    testing::Values(AgeCase{500, 500, false, 10000}, AgeCase{0, 9999, false, 1}, AgeCase{0, 10000, false, 0},
                    AgeCase{0, 899999, false, 0}, AgeCase{0, 900000, true, 0}, AgeCase{100, 900099, false, 0},
                    AgeCase{100, 900100, true, 0},
                    // The tick counter wraps after 49.7 days.
                    AgeCase{0xFFFFF000u, 0x1000u, false, 1808}, AgeCase{0xFFFFF000u, 900000u - 0x1000u - 1, false, 0},
                    AgeCase{0xFFFFF000u, 900000u - 0x1000u, true, 0}, AgeCase{0xFFFFFFFFu, 5, false, 9994}));

struct TitleCase {
  const char* title;
  bool namesUpdater;
};

class UpdaterTitle : public testing::TestWithParam<TitleCase> {};

TEST_P(UpdaterTitle, FromTheSecondCharacterOrByFileName) {
  EXPECT_EQ(watchdog::TitleNamesUpdater(GetParam().title), GetParam().namesUpdater) << GetParam().title;
}

INSTANTIATE_TEST_SUITE_P(Titles, UpdaterTitle,
                         testing::Values(TitleCase{"Setup - OrvaneUpdater", true}, TitleCase{"xorvaneupdater", true},
                                         TitleCase{"OrvaneUpdater", false}, TitleCase{"ORVANEUPDATER running", false},
                                         TitleCase{"", false}, TitleCase{"O", false},
                                         TitleCase{"orvaneupdater20060806.exe", true},
                                         TitleCase{"C:\\temp\\orvaneupdater20060806.exe", true},
                                         TitleCase{"ORVANEUPDATER20060806.EXE", false},
                                         TitleCase{"orvaneupdater20060806.exe - x", false},
                                         TitleCase{"Orvaneupdater20060806.ex", false}));

}  // namespace

}  // namespace orvane
