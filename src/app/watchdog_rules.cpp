#include "app/watchdog_rules.h"

namespace orvane::app {

uint32_t StartTickForHandOff(uint32_t now, std::optional<uint32_t> handOffAfterMs) {
  if (!handOffAfterMs || *handOffAfterMs >= kAgeLimitMs) return now;
  return now - (kAgeLimitMs - *handOffAfterMs);
}

bool AgeLimitReached(uint32_t now, uint32_t startTick) { return static_cast<uint32_t>(now - startTick) >= kAgeLimitMs; }

uint32_t RestartDelay(uint32_t now, uint32_t startTick) {
  const uint32_t age = static_cast<uint32_t>(now - startTick);
  return age < kShortestLifeMs ? kShortestLifeMs - age : 0;
}

bool TitleNamesUpdater(std::string_view title) {
  // The search starts at the second character: a title that begins with the name is not matched.
  if (title.size() > 1) {
    const std::string_view rest = title.substr(1);
    if (rest.find("OrvaneUpdater") != std::string_view::npos) return true;
    if (rest.find("orvaneupdater") != std::string_view::npos) return true;
  }
  const std::string_view fileName = kUpdaterFileName;
  return title.size() >= fileName.size() && title.substr(title.size() - fileName.size()) == fileName;
}

Verdict Decide(const Desktop& desktop) {
  if (!desktop.mainAppWindow && (!desktop.readOutlookLink || desktop.readOutlookLink() == 0)) {
    return Verdict::ExitNoMainApp;
  }
  if (desktop.installerWindow) return Verdict::CloseForInstaller;
  if (desktop.updaterPackageWindow) return Verdict::CloseForUpdaterPackage;
  // The replacement would drop the record, so it waits for the work to end; later ticks look again.
  if (AgeLimitReached(desktop.now, desktop.startTick) && !desktop.outlookWorkPending) return Verdict::HandOff;
  if (desktop.foregroundWindow && TitleNamesUpdater(desktop.foregroundTitle)) return Verdict::CloseForUpdaterInFront;
  return Verdict::Continue;
}

}  // namespace orvane::app
