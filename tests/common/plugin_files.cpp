#include "tests/common/plugin_files.h"

#include "base/file_places.h"
#include "base/user_folders.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace orvane {

namespace testfiles {

namespace {

constexpr const wchar_t* kPerUserFiles[] = {L"OrvanePictures.dat", L"OrvanePictures.journal", L"OrvanePictures.tmp",
                                            L"OrvanePictures.bad", L"OrvaneErrorLog.txt"};

}  // namespace

void RemovePerUserFiles() {
  const std::wstring folder = OwnStateFolder();
  for (const wchar_t* name : kPerUserFiles) DeleteFileW(places::Join(folder, name).c_str());
}

bool PicturesKept() {
  return GetFileAttributesW(places::Join(OwnStateFolder(), L"OrvanePictures.dat").c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string PerUserLog() {
  std::ifstream file(places::Join(OwnStateFolder(), L"OrvaneErrorLog.txt").c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void CopyPerUserFiles(const std::string& folder) {
  const std::wstring from = OwnStateFolder();
  const std::wstring to(folder.begin(), folder.end());
  for (const wchar_t* name : kPerUserFiles) {
    CopyFileW(places::Join(from, name).c_str(), places::Join(to, name).c_str(), FALSE);
  }
}

}  // namespace testfiles

}  // namespace orvane
