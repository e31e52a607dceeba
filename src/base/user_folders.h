// The folders the system names for the current user and the machine, and the plug-in's own one.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// The user's local application data folder; empty when the system names none.
std::wstring LocalAppDataFolder();
// The plug-in's own per-user folder (made when missing); empty when there is no local application data.
std::wstring OwnStateFolder();
// The folders whose writes the system redirects to the VirtualStore for a legacy program.
std::vector<std::wstring> VirtualizedFolders();
// The process's current directory, of any length.
std::wstring CurrentDirectoryWide();

}  // namespace orvane
