// How the kept pictures survive a crash at any moment:
//  - A snapshot is written to a temporary file beside it, flushed to the disk, and only then moved
//    over the old one in one step (MoveFileExW, write through): a reader finds the old snapshot
//    or the new one, never a part. A crash before the move leaves the old snapshot and its
//    journal, which still hold everything; the temporary file is written over next time.
//  - The journal is emptied only after the move. A crash between the two leaves entries of the
//    old generation, which the new snapshot already holds and a reader passes over.
//  - Each journal entry is written and flushed before the change it records is relied on. A
//    torn last entry fails its checksum, and the entries before it still count.
#include "outbound/picture_file.h"

#include "base/error_log.h"
#include "base/file_places.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace orvane {

namespace {

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Moves one file of the pictures to another directory: in one step on the same volume, else as a
// copy flushed to the disk before the original goes. False when it is still only where it was.
bool MoveKeptFile(const std::wstring& from, const std::wstring& to) {
  if (MoveFileExW(from.c_str(), to.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) return false;
  if (!DeleteFileW(from.c_str())) {
    // Taken up all the same; the old copy is never read again, since the new folder has its own.
    char line[200];
    std::snprintf(line, sizeof line,
                  "OrvaneOutlook=>PictureFile::A kept picture taken up cannot be removed (error %lu)",
                  static_cast<unsigned long>(GetLastError()));
    WriteLog(line);
  }
  return true;
}

enum class ReadResult { kRead, kMissing, kFailed };

// The whole file, up to kPictureFileLimit bytes; a larger one fails.
ReadResult ReadWholeFile(const std::wstring& path, std::string& bytes) {
  const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::kMissing : ReadResult::kFailed;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > kPictureFileLimit) {
    return ReadResult::kFailed;
  }
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!ReadFile(file.Get(), bytes.data() + done, want, &read, nullptr) || read == 0) return ReadResult::kFailed;
    done += read;
  }
  return ReadResult::kRead;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file, bytes.data() + done, want, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// Written whole and flushed to the disk before the file is closed.
bool WriteFlushedFile(const std::wstring& path, const std::string& bytes) {
  const UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && WriteAll(file.Get(), bytes) && FlushFileBuffers(file.Get());
}

}  // namespace

void TakeUpKeptPictures(const std::wstring& from, const std::wstring& to) {
  if (from.empty() || to.empty() || (places::IsInside(from, to) && places::IsInside(to, from))) return;
  // Once only: a folder that has its own snapshot has taken up what there was, or begun afresh.
  if (FileExists(places::Join(to, kPictureSnapshotName))) return;
  // The journal first: a process ended between the two moves finds no snapshot in the new
  // folder, and takes up the snapshot then, to go with the journal already there.
  for (const wchar_t* name : {kPictureJournalName, kPictureSnapshotName}) {
    const std::wstring source = places::Join(from, name);
    if (FileExists(source) && !MoveKeptFile(source, places::Join(to, name))) {
      char line[200];
      std::snprintf(line, sizeof line, "OrvaneOutlook=>PictureFile::A kept picture cannot be taken up (error %lu)",
                    static_cast<unsigned long>(GetLastError()));
      WriteLog(line);
      return;
    }
  }
}

PictureFile::PictureFile(const std::wstring& directory)
    : snapshotPath_(places::Join(directory, kPictureSnapshotName)),
      journalPath_(places::Join(directory, kPictureJournalName)),
      tempPath_(places::Join(directory, kPictureTempName)),
      setAsidePath_(places::Join(directory, kPictureSetAsideName)) {}

std::optional<kept::KeptPictures> PictureFile::Load() {
  std::string bytes;
  const ReadResult read = ReadWholeFile(snapshotPath_, bytes);
  std::optional<kept::KeptPictures> pictures;
  if (read == ReadResult::kRead) pictures = kept::DecodeSnapshot(bytes);
  if (read != ReadResult::kMissing && !pictures) {
    MoveFileExW(snapshotPath_.c_str(), setAsidePath_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    WriteLog("OrvaneOutlook=>PictureFile::The kept pictures cannot be read; set aside as OrvanePictures.bad");
  }
  if (!OpenJournal()) return pictures;
  if (!pictures) {
    // Entries of a snapshot that is gone could be taken for those of the next one.
    EmptyJournal();
    return std::nullopt;
  }
  generation_ = pictures->generation;
  std::string journal;
  if (ReadWholeFile(journalPath_, journal) == ReadResult::kRead) kept::ApplyJournal(*pictures, journal);
  // Kept again at once: the journal starts empty, and no torn entry stays at its end.
  Replace(*pictures);
  return pictures;
}

void PictureFile::Replace(kept::KeptPictures& pictures) {
  pictures.generation = generation_ + 1;
  const std::string bytes = kept::EncodeSnapshot(pictures);
  const std::uint64_t content = kept::ContentChecksum(bytes);
  // Nothing changed since the last snapshot: it stays, and so does its empty journal.
  if (keptContent_ && !appendedSinceKept_ && content == *keptContent_) {
    pictures.generation = generation_;
    return;
  }
  if (!WriteFlushedFile(tempPath_, bytes) ||
      !MoveFileExW(tempPath_.c_str(), snapshotPath_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    pictures.generation = generation_;
    LogFailure("The pictures cannot be kept");
    return;
  }
  generation_ = pictures.generation;
  keptContent_ = content;
  appendedSinceKept_ = false;
  EmptyJournal();
  failureLogged_ = false;
}

void PictureFile::Append(const kept::JournalEntry& entry) {
  // Even one that fails to be written makes the next snapshot due.
  appendedSinceKept_ = true;
  if (!journal_ && !OpenJournal()) return;
  const std::string bytes = kept::EncodeJournalEntry(generation_, entry);
  if (!SetFilePointerEx(journal_.Get(), LARGE_INTEGER{}, nullptr, FILE_END) || !WriteAll(journal_.Get(), bytes) ||
      !FlushFileBuffers(journal_.Get())) {
    LogFailure("A change to the pictures cannot be kept");
    return;
  }
  failureLogged_ = false;
}

bool PictureFile::OpenJournal() {
  journal_.Reset(CreateFileW(journalPath_.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!journal_) LogFailure("The journal of the pictures cannot be opened");
  return journal_.IsValid();
}

void PictureFile::EmptyJournal() {
  if (!journal_) return;
  if (!SetFilePointerEx(journal_.Get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) || !SetEndOfFile(journal_.Get()) ||
      !FlushFileBuffers(journal_.Get())) {
    LogFailure("The journal of the pictures cannot be emptied");
  }
}

void PictureFile::LogFailure(const char* what) {
  if (std::exchange(failureLogged_, true)) return;
  char line[200];
  std::snprintf(line, sizeof line, "OrvaneOutlook=>PictureFile::%s (error %lu)", what,
                static_cast<unsigned long>(GetLastError()));
  WriteLog(line);
}

}  // namespace orvane
