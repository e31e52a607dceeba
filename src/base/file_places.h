// Where the plug-in's files go: the rules alone, from the folders the system names (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

namespace places {

// The folder of the plug-in's own state (the kept pictures, and the log when the current
// directory cannot take it), inside the user's local application data.
std::wstring PerUserFolder(std::wstring_view localAppData);

// The path joined with a name, with exactly one separator between them.
std::wstring Join(std::wstring_view directory, std::wstring_view name);

// The directory part of a file's path, without its last separator; empty when there is none.
std::wstring DirectoryOf(std::wstring_view path);

// Whether the path is the folder or lies inside it (letters compared without case, either separator).
bool IsInside(std::wstring_view path, std::wstring_view folder);

// Where the system keeps a legacy program's write to the path when it virtualizes files:
// "<localAppData>\VirtualStore\<path without its drive>", for a path on a drive inside one of
// the virtualized folders. No value for any other path (a share, another folder, a relative one).
std::optional<std::wstring> VirtualStorePath(std::wstring_view path, std::wstring_view localAppData,
                                             const std::vector<std::wstring>& virtualizedFolders);

// The copies of a settings file to read, first one first: the VirtualStore copy when the system
// may have put the main application's writes there, then the file itself.
std::vector<std::wstring> SettingsFileCandidates(std::wstring_view path, std::wstring_view localAppData,
                                                 const std::vector<std::wstring>& virtualizedFolders);

}  // namespace places

}  // namespace orvane
