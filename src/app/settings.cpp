#include "app/settings.h"

#include "app/setting_rule.h"

#include <windows.h>

#include <string>

namespace orvane {

namespace {

constexpr char kSection[] = "Orvane";
constexpr char kIniName[] = "\\Orvane.ini";

// The process's current directory, of any length.
std::string CurrentDirectory() {
  std::string directory(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(directory.size()), directory.data());
    if (length == 0) return {};
    if (length < directory.size()) {
      directory.resize(length);
      return directory;
    }
    directory.resize(length);  // too small: length is the size needed, terminator included
  }
}

}  // namespace

unsigned ReadSetting(const char* key, int defaultValue) {
  const std::string iniPath = CurrentDirectory() + kIniName;
  const unsigned iniValue = GetPrivateProfileIntA(kSection, key, defaultValue, iniPath.c_str());
  return settings::ChooseSetting(iniValue, defaultValue,
                                 [&] { return static_cast<unsigned>(GetProfileIntA(kSection, key, defaultValue)); });
}

}  // namespace orvane
