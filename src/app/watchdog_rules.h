// The watchdog's decision from what it sees on the desktop.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::app {

constexpr uint32_t kAgeLimitMs = 900000;  // 15 minutes
// A plug-in that starts its own successor lives at least this long first.
constexpr uint32_t kShortestLifeMs = 10000;

constexpr char kInstallerClass[] = "MsiDialogCloseClass";
constexpr char kInstallerTitle[] = "Orvane - InstallShield Wizard";
constexpr char kUpdaterPackageTitle[] = "WinZip Self-Extractor - orvaneupdater20060806.exe";
constexpr char kUpdaterFileName[] = "orvaneupdater20060806.exe";

constexpr char kCaption[] = "Orvane Outlook Plug-in";
constexpr char kInstallerText[] =
    "In order to run the Orvane Installer, the Orvane Outlook Plug-in cannot be running. "
    "Click OK to close the Orvane Outlook Plug-in.";
constexpr char kUpdaterPackageText[] =
    "In order to run the Orvane Updater, the Orvane Outlook Plug-in cannot be running.\n\n"
    "If Orvane is running, close Orvane first.\nThen, click OK to close the Orvane Outlook Plug-in.";
constexpr char kUpdaterInFrontText[] =
    "In order to run the Orvane Updater, the Orvane Outlook Plug-in cannot be running. "
    "Click OK to close the Orvane Outlook Plug-in.";

// What one tick sees. The link setting is read only when the decision needs it.
struct Desktop {
  bool mainAppWindow = false;
  std::function<unsigned()> readOutlookLink;
  bool installerWindow = false;
  bool updaterPackageWindow = false;
  uint32_t now = 0;
  uint32_t startTick = 0;
  bool foregroundWindow = false;
  std::string foregroundTitle;
  // A record waits for its action or is being written, or a tick is at work on Outlook.
  bool outlookWorkPending = false;
};

enum class Verdict {
  Continue,
  ExitNoMainApp,           // normal exit
  CloseForInstaller,       // box, then normal exit
  CloseForUpdaterPackage,  // box, then immediate termination
  HandOff,                 // restart hand-off (never while Outlook work is pending)
  CloseForUpdaterInFront,  // box owned by the foreground window, then immediate termination
};

Verdict Decide(const Desktop& desktop);

// The start tick of a plug-in made to hand off `handOffAfterMs` after `now` instead of after the
// age limit (test builds only); `now` itself for none, or for a time not shorter than the limit.
uint32_t StartTickForHandOff(uint32_t now, std::optional<uint32_t> handOffAfterMs);
// Age since start in wrap-safe unsigned arithmetic.
bool AgeLimitReached(uint32_t now, uint32_t startTick);
// How long a hand-off that starts its successor itself waits before doing so: what is left of the
// shortest life, so that a plug-in failing at every start cannot restart several times a second.
uint32_t RestartDelay(uint32_t now, uint32_t startTick);
// The foreground title names the updater: "OrvaneUpdater" or "orvaneupdater" from its second
// character on, or its last 25 characters are the updater's file name.
bool TitleNamesUpdater(std::string_view title);

}  // namespace orvane::app
