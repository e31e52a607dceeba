#include "app/program_info.h"

#include "base/module_path.h"
#include "base/unique_resource.h"

#include <windows.h>

#include <vector>

namespace orvane::app {

namespace {

constexpr wchar_t kProgramName[] = L"OrvaneOutlook";

// The version resource of this program's file, as the system's version API reads it.
std::vector<BYTE> VersionResource() {
  const std::wstring path = ModulePathWide();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<BYTE> data(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data())) data.clear();
  return data;
}

// A handle the parent gave for output (a pipe or a file), else the parent's console.
bool WriteToParent(const std::wstring& text) {
  const HANDLE given = GetStdHandle(STD_OUTPUT_HANDLE);
  if (given && given != INVALID_HANDLE_VALUE && GetFileType(given) != FILE_TYPE_CHAR &&
      GetFileType(given) != FILE_TYPE_UNKNOWN) {
    const int size =
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    DWORD written = 0;
    return WriteFile(given, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  const UniqueHandle console(
      CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  DWORD written = 0;
  const bool done =
      console && WriteConsoleW(console.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE;
  FreeConsole();
  return done;
}

}  // namespace

std::wstring ProgramVersion() {
  std::vector<BYTE> data = VersionResource();
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (data.empty() || !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return {};
  }
  return std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) +
         L"." + std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
         std::to_wstring(LOWORD(fixed->dwFileVersionLS));
}

std::wstring UsageText() {
  return VersionText() +
         L"\r\n"
         L"Usage: OrvaneOutlook.exe [switch]\r\n"
         L"  (none)         registers the document server and runs the plug-in\r\n"
         L"  /RegServer     registers the document server for the current user, then ends\r\n"
         L"  /UnregServer   removes that registration where it names this program, then ends\r\n"
         L"  /Automation    started by COM as the document server\r\n"
         L"  /Embedding     started by COM for a client\r\n"
         L"  /Version       shows the version, then ends\r\n"
         L"  /Close         ends the plug-in running in this session, then ends\r\n"
         L"  /?             shows this text, then ends\r\n";
}

std::wstring VersionText() {
  const std::wstring version = ProgramVersion();
  return std::wstring(kProgramName) + L" " + (version.empty() ? L"(no version resource)" : version) + L"\r\n";
}

void TellUser(const std::wstring& text) {
  if (!WriteToParent(text)) MessageBoxW(nullptr, text.c_str(), kProgramName, MB_OK | MB_ICONINFORMATION);
}

}  // namespace orvane::app
