// The plug-in as an administrator deploys it: its registration switches, what "/?" and "/Version"
// leave behind (nothing), its version resource, and its settings under Program Files.
#include "tests/e2e/harness.h"

#include "app/watchdog_rules.h"
#include "base/file_places.h"
#include "base/module_path.h"
#include "base/user_folders.h"
#include "tests/common/plugin_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace e2e;

constexpr char kClassKey[] = "Software\\Classes\\CLSID\\{6C1F3A52-2B7E-4E0C-9A61-3D0B5E7A9C14}";
constexpr char kProgIdKey[] = "Software\\Classes\\Stub.Document";

std::string DefaultValue(const std::string& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return "(missing)";
  const UniqueRegistryKey owner(opened);
  char value[1024] = "";
  DWORD size = sizeof value;
  if (RegGetValueA(opened, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return "(no value)";
  }
  return value;
}

// Every key the program writes, with its value.
std::vector<std::string> Registration() {
  const std::string classKey = kClassKey;
  const std::string progIdKey = kProgIdKey;
  std::vector<std::string> values;
  for (const std::string& key :
       {progIdKey, progIdKey + "\\CLSID", classKey, classKey + "\\ProgID", classKey + "\\LocalServer32"}) {
    values.push_back(key + " = " + DefaultValue(key));
  }
  return values;
}

void RemoveRegistration() {
  const std::string classKey = kClassKey;
  const std::string progIdKey = kProgIdKey;
  for (const std::string& key :
       {classKey + "\\LocalServer32", classKey + "\\ProgID", classKey, progIdKey + "\\CLSID", progIdKey}) {
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  }
}

class DeployTest : public testing::Test {
protected:
  void SetUp() override {
    EndStrayPlugins();
    // A plug-in with the link on reaches Outlook: one left hung by an earlier test would hold it.
    EXPECT_EQ(EndLeftoverStandin(), "");
    WriteWinIniSetting("OutlookToOrvane", nullptr);
    workDirectory_ = FreshWorkDirectory();
  }
  void TearDown() override {
    EndStrayPlugins();
    // The build's own program stays registered for the tests that follow.
    RunToEnd("OrvaneOutlook.exe", "/RegServer");
  }

  // Runs a copy of the program to its end; its exit code, or -1 when it did not end. A box it
  // shows (no console to write to) is read and dismissed.
  int RunToEnd(const std::string& program, const std::string& arguments, std::string* boxText = nullptr) {
    ChildProcess process(program, arguments, workDirectory_);
    if (!process.Started()) return -1;
    const bool ended = WaitUntil(
        [&] {
          if (const HWND box = FindWindowA("#32770", "OrvaneOutlook")) {
            char text[2048] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            if (boxText) *boxText = text;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
          }
          return !process.Running();
        },
        10s);
    return ended && process.WaitForExit(1s) ? static_cast<int>(process.ExitCode()) : -1;
  }
  // The program copied to a directory of the test's own, as a second installation; its path from
  // the build's directory, as ChildProcess starts it.
  std::string SecondCopy() const {
    const std::string bin = ModuleDirectory();
    const std::string copy = workDirectory_ + "\\second\\OrvaneOutlook.exe";
    std::filesystem::create_directories(workDirectory_ + "\\second");
    EXPECT_TRUE(CopyFileA((bin + "\\OrvaneOutlook.exe").c_str(), copy.c_str(), FALSE));
    return copy.substr(bin.size() + 1);
  }
  std::vector<std::string> WorkFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(workDirectory_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  std::string workDirectory_;
};

TEST_F(DeployTest, RegServerThenUnregServerLeaveTheRegistryAsBeforeAndAnotherCopysRegistrationAlone) {
  const std::string copy = SecondCopy();
  RemoveRegistration();
  const std::vector<std::string> before = Registration();
  ASSERT_EQ(RunToEnd(copy, "/RegServer"), 0);
  const std::vector<std::string> registered = Registration();
  EXPECT_NE(registered, before);
  EXPECT_NE(registered.back().find("\\second\\OrvaneOutlook.exe\" /Automation"), std::string::npos)
      << registered.back();
  ASSERT_EQ(RunToEnd(copy, "/UnregServer"), 0);
  EXPECT_EQ(Registration(), before);

  // The build's program registered; the second copy's removal leaves that registration alone.
  ASSERT_EQ(RunToEnd("OrvaneOutlook.exe", "/RegServer"), 0);
  const std::vector<std::string> buildRegistered = Registration();
  ASSERT_EQ(RunToEnd(copy, "/UnregServer"), 0);
  EXPECT_EQ(Registration(), buildRegistered);
  // No window, no log: the switches do their job and end.
  EXPECT_EQ(WorkFiles(), std::vector<std::string>{"second"});
}

TEST_F(DeployTest, HelpAndVersionTellTheVersionAndLeaveNeitherKeyNorFile) {
  RemoveRegistration();
  const std::vector<std::string> before = Registration();
  for (const char* word : {"/?", "/Version"}) {
    SCOPED_TRACE(word);
    std::string boxText;
    EXPECT_EQ(RunToEnd("OrvaneOutlook.exe", word, &boxText), 0);
    if (!boxText.empty()) {
      EXPECT_NE(boxText.find(std::string("OrvaneOutlook ") + ORVANE_VERSION_TEXT), std::string::npos) << boxText;
    }
  }
  EXPECT_EQ(Registration(), before);
  EXPECT_EQ(WorkFiles(), std::vector<std::string>{});
  EXPECT_EQ(testfiles::PerUserLog(), "");
}

TEST_F(DeployTest, VersionResourceCarriesTheProjectVersionAndSaysTheProgramRegistersItself) {
  const std::string program = ModuleDirectory() + "\\OrvaneOutlook.exe";
  DWORD ignored = 0;
  std::vector<BYTE> data(GetFileVersionInfoSizeA(program.c_str(), &ignored));
  ASSERT_FALSE(data.empty());
  ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
  const auto text = [&](const char* name) -> std::string {
    char* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) {
      return "(missing)";
    }
    return std::string(value, length > 0 ? length - 1 : 0);
  };
  EXPECT_EQ(text("FileVersion"), ORVANE_VERSION_TEXT);
  EXPECT_EQ(text("ProductVersion"), ORVANE_VERSION_TEXT);
  EXPECT_EQ(text("OriginalFilename"), "OrvaneOutlook.exe");
  EXPECT_NE(text("OLESelfRegister"), "(missing)");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  const std::string numbers =
      std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
      std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(numbers, ORVANE_VERSION_TEXT);
}

// A legacy 32-bit main application under Program Files wrote its "Orvane.ini" into the user's
// VirtualStore and sees only that copy; the plug-in reads the same. The watchdog tells which link
// it read: with the link on and no main application it goes on (and answers the updater), with
// the link off it ends.
TEST_F(DeployTest, SettingsUnderProgramFilesAreReadFromTheVirtualStoreCopyFirst) {
  struct Case {
    const char* what;
    int installed;  // -1: no file
    int virtualStore;
    bool goesOn;
  };
  const Case cases[] = {
      {"the VirtualStore copy turns the link on", 0, 1, true},
      {"the VirtualStore copy turns the link off", 1, 0, false},
      {"no VirtualStore copy: the file itself", 1, -1, true},
  };
  wchar_t folder[MAX_PATH] = L"";
  ASSERT_TRUE(GetEnvironmentVariableW(L"ProgramFiles", folder, MAX_PATH));
  const std::filesystem::path installed = std::filesystem::path(folder) / L"OrvaneDeployTest";
  const std::wstring store = *places::VirtualStorePath(installed.wstring(), LocalAppDataFolder(), VirtualizedFolders());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(installed);
    std::filesystem::remove_all(store);
    std::filesystem::create_directories(installed);
    std::filesystem::create_directories(store);
    if (c.installed >= 0) WriteIniSetting(installed.string(), "OutlookToOrvane", c.installed);
    if (c.virtualStore >= 0) WriteIniSetting(std::filesystem::path(store).string(), "OutlookToOrvane", c.virtualStore);
    ChildProcess plugin("OrvaneOutlook.exe", "", installed.string());
    ASSERT_NE(WaitForWindow("OrvaneOutlookFrame", "Untitled - stub", 10s), nullptr);
    if (c.goesOn) {
      const UpdaterInFront updater;
      ExpectBoxThenExit(plugin, app::kUpdaterInFrontText);
    } else {
      EXPECT_TRUE(plugin.WaitForExit(3s));
    }
  }
  std::filesystem::remove_all(installed);
  std::filesystem::remove_all(store);
}

}  // namespace

}  // namespace orvane
