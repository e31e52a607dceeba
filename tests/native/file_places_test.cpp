// Where the plug-in's files go: its own folder, the VirtualStore copy of a settings file.
#include "base/file_places.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

namespace {

const std::vector<std::wstring> kVirtualized = {L"C:\\Program Files", L"C:\\Program Files (x86)\\", L"C:\\Windows",
                                                L"C:\\ProgramData"};
constexpr wchar_t kLocal[] = L"C:\\Users\\ann\\AppData\\Local";

TEST(FilePlaces, VirtualStoreCopyOnlyForPathsInsideAVirtualizedFolder) {
  struct Case {
    const wchar_t* path;
    std::optional<std::wstring> store;
  };
  const Case cases[] = {
      {L"C:\\Program Files (x86)\\Orvane\\Orvane.ini",
       L"C:\\Users\\ann\\AppData\\Local\\VirtualStore\\Program Files (x86)\\Orvane\\Orvane.ini"},
      // Letters compared without case, either separator.
      {L"c:/program files/Orvane/Orvane.ini",
       L"C:\\Users\\ann\\AppData\\Local\\VirtualStore\\program files/Orvane/Orvane.ini"},
      {L"C:\\Windows\\Orvane.ini", L"C:\\Users\\ann\\AppData\\Local\\VirtualStore\\Windows\\Orvane.ini"},
      // A folder whose name only begins like a virtualized one.
      {L"C:\\Program Files Old\\Orvane.ini", std::nullopt},
      {L"C:\\WindowsApps\\Orvane.ini", std::nullopt},
      {L"C:\\Users\\ann\\Orvane\\Orvane.ini", std::nullopt},
      // Another drive, a share, a relative path.
      {L"D:\\Program Files\\Orvane\\Orvane.ini", std::nullopt},
      {L"\\\\server\\Program Files\\Orvane.ini", std::nullopt},
      {L"Orvane.ini", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path, c.path + std::wcslen(c.path)));
    EXPECT_EQ(places::VirtualStorePath(c.path, kLocal, kVirtualized), c.store);
  }
  EXPECT_EQ(places::VirtualStorePath(L"C:\\Windows\\Orvane.ini", L"", kVirtualized), std::nullopt);
}

TEST(FilePlaces, SettingsReadFromTheVirtualStoreCopyFirst) {
  using Paths = std::vector<std::wstring>;
  EXPECT_EQ(places::SettingsFileCandidates(L"C:\\Program Files\\O\\Orvane.ini", kLocal, kVirtualized),
            (Paths{L"C:\\Users\\ann\\AppData\\Local\\VirtualStore\\Program Files\\O\\Orvane.ini",
                   L"C:\\Program Files\\O\\Orvane.ini"}));
  EXPECT_EQ(places::SettingsFileCandidates(L"D:\\Work\\Orvane.ini", kLocal, kVirtualized),
            (Paths{L"D:\\Work\\Orvane.ini"}));
}

TEST(FilePlaces, JoinsAndSplitsWithOneSeparator) {
  EXPECT_EQ(places::PerUserFolder(kLocal), L"C:\\Users\\ann\\AppData\\Local\\Orvane");
  EXPECT_EQ(places::PerUserFolder(L"C:\\Users\\ann\\AppData\\Local\\"), L"C:\\Users\\ann\\AppData\\Local\\Orvane");
  EXPECT_EQ(places::Join(L"C:\\", L"\\a.txt"), L"C:\\a.txt");
  EXPECT_EQ(places::DirectoryOf(L"C:\\Program Files\\Orvane\\OrvaneOutlook.exe"), L"C:\\Program Files\\Orvane");
  EXPECT_EQ(places::DirectoryOf(L"OrvaneOutlook.exe"), L"");
  EXPECT_TRUE(places::IsInside(L"C:\\Windows", L"c:\\windows\\"));
  EXPECT_FALSE(places::IsInside(L"C:\\Window", L"C:\\Windows"));
}

}  // namespace

}  // namespace orvane
