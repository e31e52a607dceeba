// The files the plug-in leaves in its per-user folder, for tests that start from none.
#pragma once

#include <string>

namespace orvane {

namespace testfiles {

// The per-user folder's kept pictures and log, removed.
void RemovePerUserFiles();
// Whether the per-user folder holds a snapshot of the pictures: a plug-in finished its first look.
bool PicturesKept();
// The text of the per-user folder's log; empty when there is none.
std::string PerUserLog();
// Copies the per-user folder's files that exist into the folder (an ANSI path), to be kept.
void CopyPerUserFiles(const std::string& folder);

}  // namespace testfiles

}  // namespace orvane
