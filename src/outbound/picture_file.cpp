// How the kept pictures survive a crash at any moment:
//  - A snapshot is written to a temporary file beside it, flushed to the disk, and only then moved
//    over the old one in one step (MoveFileExW, write through): a reader finds the old snapshot
//    or the new one, never a part. A crash before the move leaves the old snapshot and its
//    journal, which still hold everything; the temporary file is written over next time.
//  - The journal is emptied only after the move. A crash between the two leaves entries of the
//    old generation, which the new snapshot already holds and a reader passes over.
//  - Each journal entry is written and flushed before the change it records is relied on. A
//    torn last entry fails its checksum, and the entries before it still count; it is cut off
//    before the next entry is appended, so that a tear never hides the entries after it.
//  - Only bytes that fail their checks are set aside, never written over. A file that cannot be
//    opened or read now (another process holds it, access is denied, the disk fails) is left as
//    it is and read again later: both files are taken up together or not at all.
//  - The journal is opened for appends alone and shared for reading alone: while the plug-in
//    holds it, no other process writes to it, and each entry lands whole at its end.
#include "outbound/picture_file.h"

#include "base/error_log.h"
#include "base/file_places.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

namespace orvane::outbound {

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

std::wstring PathOf(const std::wstring& directory, const wchar_t* name) {
  if (!directory.empty()) {
    const wchar_t last = directory.back();
    return directory + (last == L'\\' || last == L'/' ? L"" : L"\\") + name;
  }
  wchar_t path[MAX_PATH];
  const DWORD length = GetFullPathNameW(name, MAX_PATH, path, nullptr);
  return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring(name);
}

// The helpers below answer the error of the step that failed (ERROR_SUCCESS when none did),
// taken at the step: the thread's last error is not theirs to leave for the caller.

// The thread's last error after a call that failed; never ERROR_SUCCESS, which would read as done.
DWORD FailedStep() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// From the handle's position to the end, up to kPictureFileLimit bytes; a larger file fails.
DWORD ReadRest(HANDLE file, std::string& bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return FailedStep();
  if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > kPictureFileLimit) return ERROR_FILE_TOO_LARGE;
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!ReadFile(file, bytes.data() + done, want, &read, nullptr)) return FailedStep();
    if (read == 0) break;
    done += read;
  }
  bytes.resize(done);
  return ERROR_SUCCESS;
}

// ERROR_SUCCESS when read; IsMissing when there is no such file.
DWORD ReadWholeFile(const std::wstring& path, std::string& bytes) {
  const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return FailedStep();
  return ReadRest(file.Get(), bytes);
}

DWORD WriteAll(HANDLE file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file, bytes.data() + done, want, &written, nullptr)) return FailedStep();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  return ERROR_SUCCESS;
}

DWORD WriteAllFlushed(HANDLE file, const std::string& bytes) {
  if (const DWORD error = WriteAll(file, bytes)) return error;
  return FlushFileBuffers(file) ? ERROR_SUCCESS : FailedStep();
}

// Written whole and flushed to the disk before the file is closed.
DWORD WriteFlushedFile(const std::wstring& path, const std::string& bytes) {
  const UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return FailedStep();
  return WriteAllFlushed(file.Get(), bytes);
}

// Shortens the file to `length` bytes, flushed to the disk.
DWORD CutFile(const std::wstring& path, std::uint64_t length) {
  const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return FailedStep();
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(length);
  if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get()) ||
      !FlushFileBuffers(file.Get())) {
    return FailedStep();
  }
  return ERROR_SUCCESS;
}

std::string SetAsideName(int number) {
  return "OrvanePictures.bad" + (number > 1 ? std::to_string(number) : std::string());
}

void LogPictures(const std::string& text) { WriteLog(("OrvaneOutlook=>PictureFile::" + text).c_str()); }

std::string ErrorText(DWORD error) { return " (error " + std::to_string(error) + ")"; }

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
    : snapshotPath_(PathOf(directory, kPictureSnapshotName)),
      journalPath_(PathOf(directory, kPictureJournalName)),
      tempPath_(PathOf(directory, kPictureTempName)),
      setAsidePath_(PathOf(directory, kPictureSetAsideName)) {}

PictureFile::Loaded PictureFile::Load() {
  const auto busy = [this](DWORD error) {
    if (!std::exchange(busyLogged_, true)) {
      LogPictures("The kept pictures cannot be read now" + ErrorText(error) + "; nothing is compared until they can");
    }
    return Loaded{LoadStatus::kBusy, std::nullopt};
  };
  // The journal is taken up with its snapshot or not at all: one another process holds (it writes
  // the pictures still), or that cannot be read, makes the load wait. One that can be read but not
  // written (a read-only directory) is taken up; the changes from now on cannot be kept, which is
  // logged.
  std::string journal;
  if (!journal_) {
    const DWORD error = OpenJournal();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return busy(error);
    if (error != ERROR_SUCCESS) {
      const DWORD readError = ReadWholeFile(journalPath_, journal);
      if (readError != ERROR_SUCCESS && !IsMissing(readError)) return busy(readError);
    }
  }
  if (journal_) {
    if (!SetFilePointerEx(journal_.Get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return busy(FailedStep());
    if (const DWORD error = ReadRest(journal_.Get(), journal)) return busy(error);
  }
  std::string bytes;
  const DWORD readError = ReadWholeFile(snapshotPath_, bytes);
  if (readError != ERROR_SUCCESS && !IsMissing(readError)) return busy(readError);
  const bool read = readError == ERROR_SUCCESS;
  if (std::exchange(busyLogged_, false)) LogPictures("The kept pictures can be read again");
  std::optional<outbound::KeptPictures> pictures;
  if (read) pictures = outbound::DecodeSnapshot(bytes);
  if (!pictures) {
    if (read) SetAside();
    // Entries of a snapshot that is gone could be taken for those of the next one.
    CutJournal(0);
    return {LoadStatus::kNothing, std::nullopt};
  }
  generation_ = pictures->generation;
  outbound::ApplyJournal(*pictures, journal);
  journalLength_ = outbound::WholeEntriesLength(journal);
  journalTorn_ = journalLength_ != journal.size();
  // Kept again at once: the journal starts empty, and no torn entry stays at its end.
  Replace(*pictures);
  return {LoadStatus::kLoaded, std::move(pictures)};
}

// Under the first free name: an earlier one set aside is never written over.
void PictureFile::SetAside() {
  const std::wstring base = setAsidePath_;
  for (int number = 1; number <= kPictureSetAsideKept; ++number) {
    const std::wstring path = base + (number > 1 ? std::to_wstring(number) : std::wstring());
    if (MoveFileExW(snapshotPath_.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
      LogPictures("The kept pictures cannot be read; set aside as " + SetAsideName(number));
      return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
      LogPictures("The kept pictures cannot be read, nor set aside as " + SetAsideName(number) + ErrorText(error));
      return;
    }
  }
  // The next snapshot written replaces it.
  LogPictures("The kept pictures cannot be read; not set aside, as " + std::to_string(kPictureSetAsideKept) +
              " are kept already");
}

void PictureFile::Replace(outbound::KeptPictures& pictures) {
  pictures.generation = generation_ + 1;
  const std::string bytes = outbound::EncodeSnapshot(pictures);
  const std::uint64_t content = outbound::ContentChecksum(bytes);
  // Nothing changed since the last snapshot: it stays, and so does its empty journal.
  if (keptContent_ && !appendedSinceKept_ && content == *keptContent_) {
    pictures.generation = generation_;
    return;
  }
  DWORD error = WriteFlushedFile(tempPath_, bytes);
  if (error == ERROR_SUCCESS &&
      !MoveFileExW(tempPath_.c_str(), snapshotPath_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = FailedStep();
  }
  if (error != ERROR_SUCCESS) {
    pictures.generation = generation_;
    LogFailure("The pictures cannot be kept", error);
    return;
  }
  generation_ = pictures.generation;
  keptContent_ = content;
  appendedSinceKept_ = false;
  if (CutJournal(0)) failureLogged_ = false;
}

bool PictureFile::Append(const outbound::JournalEntry& entry) {
  // Even one that fails to be written makes the next snapshot due.
  appendedSinceKept_ = true;
  if (!journal_) {
    if (const DWORD error = OpenJournal()) {
      LogFailure("The journal of the pictures cannot be opened", error);
      return false;
    }
  }
  if (journalTorn_ && !CutJournal(journalLength_)) return false;
  const std::string bytes = outbound::EncodeJournalEntry(generation_, entry);
  if (const DWORD error = WriteAllFlushed(journal_.Get(), bytes)) {
    journalTorn_ = true;
    LogFailure("A change to the pictures cannot be kept", error);
    return false;
  }
  journalLength_ += bytes.size();
  failureLogged_ = false;
  return true;
}

DWORD PictureFile::OpenJournal() {
  // Appends only, so that each write lands at the end; reads for the load.
  journal_.Reset(CreateFileW(journalPath_.c_str(), GENERIC_READ | FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!journal_) return GetLastError();
  LARGE_INTEGER size{};
  journalLength_ = GetFileSizeEx(journal_.Get(), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
  journalTorn_ = false;
  return ERROR_SUCCESS;
}

// An append handle cannot shorten its file: the journal is cut through a handle of its own, opened
// while the append handle is closed, as no other process may write meanwhile.
bool PictureFile::CutJournal(std::uint64_t length) {
  if (!journal_) return false;
  journal_.Reset();
  const DWORD cutError = CutFile(journalPath_, length);
  const bool cut = cutError == ERROR_SUCCESS;
  if (!cut) LogFailure("The journal of the pictures cannot be cut back", cutError);
  if (const DWORD error = OpenJournal()) {
    LogFailure("The journal of the pictures cannot be opened", error);
    return false;
  }
  // Cut or not, the journal must end at `length` before anything more is appended.
  journalTorn_ = journalLength_ != length;
  journalLength_ = length;
  return cut;
}

void PictureFile::LogFailure(const char* what, DWORD error) {
  if (std::exchange(failureLogged_, true)) return;
  LogPictures(what + ErrorText(error));
}

}  // namespace orvane::outbound
