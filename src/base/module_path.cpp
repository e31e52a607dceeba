#include "base/module_path.h"

#include <windows.h>

namespace orvane {
namespace {

// GetModuleFileName cuts the path silently when the buffer is too small, so it is read into
// larger buffers until it fits.
template <class Char, class Read>
std::basic_string<Char> ReadModulePath(Read read) {
  std::basic_string<Char> path(MAX_PATH, Char{});
  for (;;) {
    const DWORD length = read(path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::string ModulePath() {
  return ReadModulePath<char>([](char* buffer, DWORD size) { return GetModuleFileNameA(nullptr, buffer, size); });
}

std::wstring ModulePathWide() {
  return ReadModulePath<wchar_t>([](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
}

std::string ModuleDirectory() {
  const std::string path = ModulePath();
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

}  // namespace orvane
