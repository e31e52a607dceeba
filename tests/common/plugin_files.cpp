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

std::string PerUserLog() {
  std::ifstream file(places::Join(OwnStateFolder(), L"OrvaneErrorLog.txt").c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace testfiles

}  // namespace orvane
