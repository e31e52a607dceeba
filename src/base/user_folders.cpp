#include "base/user_folders.h"

#include "base/file_places.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace orvane {

namespace {

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring folder;
  // The folder as it is now, without creating it: a missing one is no place to look in.
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path) folder = path;
  CoTaskMemFree(path);
  return folder;
}

}  // namespace

std::wstring LocalAppDataFolder() { return KnownFolder(FOLDERID_LocalAppData); }

std::wstring OwnStateFolder() {
  const std::wstring localAppData = LocalAppDataFolder();
  if (localAppData.empty()) return {};
  const std::wstring folder = places::PerUserFolder(localAppData);
  CreateDirectoryW(folder.c_str(), nullptr);  // already there most times
  return folder;
}

std::vector<std::wstring> VirtualizedFolders() {
  // Microsoft, "How User Account Control works", Virtualization: a legacy program's writes to
  // these folders go to the user's VirtualStore.
  std::vector<std::wstring> folders;
  for (const KNOWNFOLDERID* id :
       {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_Windows, &FOLDERID_ProgramData}) {
    std::wstring folder = KnownFolder(*id);
    if (!folder.empty()) folders.push_back(std::move(folder));
  }
  return folders;
}

std::wstring CurrentDirectoryWide() {
  std::wstring directory(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
    if (length == 0) return {};
    if (length < directory.size()) {
      directory.resize(length);
      return directory;
    }
    directory.resize(length);  // too small: length is the size needed, terminator included
  }
}

}  // namespace orvane
