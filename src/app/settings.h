// The plug-in's integer settings: section "Orvane" of "Orvane.ini" in the current directory (its
// VirtualStore copy first, where there is one), then of WIN.INI.
#pragma once

namespace orvane::app {

constexpr char kOutlookToOrvane[] = "OutlookToOrvane";

unsigned ReadSetting(const char* key, int defaultValue);

}  // namespace orvane::app
