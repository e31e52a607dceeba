#include "app/settings.h"

#include "app/setting_rule.h"
#include "base/file_places.h"
#include "base/user_folders.h"

#include <windows.h>

#include <string>

namespace orvane::app {

namespace {

constexpr wchar_t kSection[] = L"Orvane";
constexpr wchar_t kIniName[] = L"Orvane.ini";

std::wstring Widened(const char* ascii) {
  std::wstring wide;
  for (const char* c = ascii; *c; ++c) wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  return wide;
}

// "Orvane.ini" as the main application sees it. A legacy 32-bit main application that writes it
// under Program Files has the write redirected to the user's VirtualStore, and from then on sees
// only that copy (Microsoft, "How User Account Control works", Virtualization); so that copy
// comes first, then the file itself.
std::wstring SettingsFile() {
  const std::wstring file = places::Join(CurrentDirectoryWide(), kIniName);
  for (const std::wstring& candidate :
       places::SettingsFileCandidates(file, LocalAppDataFolder(), VirtualizedFolders())) {
    if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
  }
  return file;
}

}  // namespace

unsigned ReadSetting(const char* key, int defaultValue) {
  const std::wstring name = Widened(key);
  const unsigned iniValue = GetPrivateProfileIntW(kSection, name.c_str(), defaultValue, SettingsFile().c_str());
  return app::ChooseSetting(iniValue, defaultValue, [&] {
    return static_cast<unsigned>(GetProfileIntW(kSection, name.c_str(), defaultValue));
  });
}

}  // namespace orvane::app
