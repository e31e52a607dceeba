// PictureFile: the watched folders' pictures kept on disk, in the plug-in's per-user folder (or a
// directory a caller names): a snapshot replaced whole and a journal of the changes made since it
// was written.
#pragma once

#include "base/unique_resource.h"
#include "outbound/kept_picture.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvane::outbound {

// The files' names in the directory. Snapshots that failed their checks are set aside under the
// first free name of "OrvanePictures.bad", "OrvanePictures.bad2", ... up to kPictureSetAsideKept.
constexpr wchar_t kPictureSnapshotName[] = L"OrvanePictures.dat";
constexpr wchar_t kPictureJournalName[] = L"OrvanePictures.journal";
constexpr wchar_t kPictureTempName[] = L"OrvanePictures.tmp";
constexpr wchar_t kPictureSetAsideName[] = L"OrvanePictures.bad";
constexpr int kPictureSetAsideKept = 5;

// The largest file read back: far above three folders of 10,000 items, and far below what would
// exhaust the plug-in's memory.
constexpr std::uint64_t kPictureFileLimit = 256u << 20;

// Moves the kept pictures an earlier process left in `from` (its current directory) to `to`, once:
// only while `to` has no snapshot of its own. A failure is logged; what is not moved stays where it was.
void TakeUpKeptPictures(const std::wstring& from, const std::wstring& to);

class PictureFile {
public:
  enum class LoadStatus {
    kLoaded,   // the pictures kept, with the journal's changes
    kNothing,  // nothing kept, or a snapshot whose bytes failed their checks (set aside)
    kBusy,     // the snapshot or the journal cannot be opened or read now; both are left as they are
  };
  struct Loaded {
    LoadStatus status = LoadStatus::kNothing;
    std::optional<outbound::KeptPictures> pictures;
  };

  // The files of the directory (the current one when empty), taken as full paths now: a later
  // change of the current directory moves nothing.
  explicit PictureFile(const std::wstring& directory = {});
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;

  // The kept pictures: the snapshot with the journal's entries of its generation applied, kept
  // again at once as a new snapshot so that the journal starts empty. The journal stays open,
  // written by this process alone, until the PictureFile goes. Busy leaves both files untouched
  // (one log line for a run of busy loads); Load may be called again.
  Loaded Load();
  // Replaces the snapshot by the pictures, written as a new generation (which `pictures` takes),
  // then empties the journal; nothing when they are as last written and the journal is empty. A
  // failure is logged and leaves the snapshot and the journal as they were, which together still
  // hold every change.
  void Replace(outbound::KeptPictures& pictures);
  // Appends one change to the journal of the present snapshot, written through before it returns.
  // False when it could not be written; what a failed append left is cut off before the next one.
  bool Append(const outbound::JournalEntry& entry);

private:
  // ERROR_SUCCESS, or why the journal cannot be opened.
  unsigned long OpenJournal();
  bool CutJournal(std::uint64_t length);
  void SetAside();
  void LogFailure(const char* what, unsigned long error);

  std::wstring snapshotPath_;
  std::wstring journalPath_;
  std::wstring tempPath_;
  std::wstring setAsidePath_;
  std::uint64_t generation_ = 0;
  // What the last snapshot written shows (its generation apart), and whether the journal took a
  // change since.
  std::optional<std::uint64_t> keptContent_;
  bool appendedSinceKept_ = false;
  // Opened for appends only, shared for reading alone: no other process writes while it is open.
  UniqueHandle journal_;
  // The length of the journal's whole entries; a failed append may have left more.
  std::uint64_t journalLength_ = 0;
  bool journalTorn_ = false;
  // One line for a run of failures, so that a full disk does not fill the log as well.
  bool failureLogged_ = false;
  bool busyLogged_ = false;
};

}  // namespace orvane::outbound
