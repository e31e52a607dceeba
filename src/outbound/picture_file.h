// PictureFile: the watched folders' pictures kept on disk in the plug-in's per-user folder: a
// snapshot replaced whole and a journal of the changes made since it was written.
#pragma once

#include "base/unique_resource.h"
#include "outbound/kept_picture.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

// The files' names in the directory.
constexpr wchar_t kPictureSnapshotName[] = L"OrvanePictures.dat";
constexpr wchar_t kPictureJournalName[] = L"OrvanePictures.journal";
constexpr wchar_t kPictureTempName[] = L"OrvanePictures.tmp";
constexpr wchar_t kPictureSetAsideName[] = L"OrvanePictures.bad";

// The largest file read back: far above three folders of 10,000 items, and far below what would
// exhaust the plug-in's memory.
constexpr std::uint64_t kPictureFileLimit = 256u << 20;

// Moves the kept pictures an earlier process left in `from` (its current directory) to `to`, once:
// only while `to` has no snapshot of its own. A failure is logged; what is not moved stays where it was.
void TakeUpKeptPictures(const std::wstring& from, const std::wstring& to);

class PictureFile {
public:
  // The files in that directory, a full path.
  explicit PictureFile(const std::wstring& directory);
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;

  // The kept pictures: the snapshot with the journal's entries of its generation applied, kept
  // again at once as a new snapshot so that the journal starts empty. No value when there is no
  // snapshot, or when it is torn or unreadable: it is then set aside with one log line, and the
  // journal, which belongs to it, is emptied.
  std::optional<kept::KeptPictures> Load();
  // Replaces the snapshot by the pictures, written as a new generation (which `pictures` takes),
  // then empties the journal; nothing when they are as last written and the journal is empty. A failure is logged and
  // leaves the snapshot and the journal as they were, which together still hold every change.
  void Replace(kept::KeptPictures& pictures);
  // Appends one change to the journal of the present snapshot, written through before it returns.
  void Append(const kept::JournalEntry& entry);

private:
  bool OpenJournal();
  void EmptyJournal();
  void LogFailure(const char* what);

  std::wstring snapshotPath_;
  std::wstring journalPath_;
  std::wstring tempPath_;
  std::wstring setAsidePath_;
  std::uint64_t generation_ = 0;
  // What the last snapshot written shows (its generation apart), and whether the journal took a
  // change since.
  std::optional<std::uint64_t> keptContent_;
  bool appendedSinceKept_ = false;
  UniqueHandle journal_;
  // One line for a run of failures, so that a full disk does not fill the log as well.
  bool failureLogged_ = false;
};

}  // namespace orvane
