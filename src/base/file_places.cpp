#include "base/file_places.h"

namespace orvane {

namespace places {

namespace {

constexpr wchar_t kOwnFolder[] = L"Orvane";
constexpr wchar_t kVirtualStore[] = L"VirtualStore";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

wchar_t FoldCase(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool SameIgnoringCase(wchar_t a, wchar_t b) { return FoldCase(a) == FoldCase(b) || (IsSeparator(a) && IsSeparator(b)); }

std::wstring_view WithoutTrailingSeparators(std::wstring_view path) {
  while (!path.empty() && IsSeparator(path.back())) path.remove_suffix(1);
  return path;
}

// "X:\..." only: a drive letter, a colon and a separator.
bool HasDrive(std::wstring_view path) {
  return path.size() >= 3 && FoldCase(path[0]) >= L'A' && FoldCase(path[0]) <= L'Z' && path[1] == L':' &&
         IsSeparator(path[2]);
}

}  // namespace

std::wstring Join(std::wstring_view directory, std::wstring_view name) {
  while (!name.empty() && IsSeparator(name.front())) name.remove_prefix(1);
  std::wstring joined(WithoutTrailingSeparators(directory));
  joined += L'\\';
  joined += name;
  return joined;
}

std::wstring PerUserFolder(std::wstring_view localAppData) { return Join(localAppData, kOwnFolder); }

std::wstring DirectoryOf(std::wstring_view path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, separator));
}

bool IsInside(std::wstring_view path, std::wstring_view folder) {
  folder = WithoutTrailingSeparators(folder);
  if (folder.empty() || path.size() < folder.size()) return false;
  for (size_t i = 0; i < folder.size(); ++i) {
    if (!SameIgnoringCase(path[i], folder[i])) return false;
  }
  return path.size() == folder.size() || IsSeparator(path[folder.size()]);
}

std::optional<std::wstring> VirtualStorePath(std::wstring_view path, std::wstring_view localAppData,
                                             const std::vector<std::wstring>& virtualizedFolders) {
  if (!HasDrive(path) || localAppData.empty()) return std::nullopt;
  for (const std::wstring& folder : virtualizedFolders) {
    if (HasDrive(folder) && IsInside(path, folder)) {
      return Join(Join(localAppData, kVirtualStore), path.substr(2));
    }
  }
  return std::nullopt;
}

std::vector<std::wstring> SettingsFileCandidates(std::wstring_view path, std::wstring_view localAppData,
                                                 const std::vector<std::wstring>& virtualizedFolders) {
  std::vector<std::wstring> candidates;
  if (std::optional<std::wstring> store = VirtualStorePath(path, localAppData, virtualizedFolders)) {
    candidates.push_back(std::move(*store));
  }
  candidates.emplace_back(path);
  return candidates;
}

}  // namespace places

}  // namespace orvane
