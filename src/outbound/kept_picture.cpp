// The byte format of the kept pictures. Numbers are little-endian: counts and lengths as LEB128
// varints (shortest form only), the generation and the trailer's fields as eight bytes. Every
// text is its length followed by its bytes, so ids and subjects may hold any byte. A snapshot is
//
//   magic, version (4 bytes), generation, folder count, folders, trailer
//   folder:  store id, folder id, flags (1 byte), entry count, entries (id, subject),
//            own deletion count, own deletion ids
//   trailer: length of all before it, checksum of all before it
//
// and a journal entry is its body's length, the body (generation, kind, folder index, id and,
// for an item taken, its subject), and the checksum of the length and the body. Each form has
// exactly one encoding: what decodes encodes back to the same bytes.
#include "outbound/kept_picture.h"

#include <utility>

namespace orvane {

namespace kept {
namespace {

constexpr std::string_view kMagic = "OrvanePictures";
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kTrailerSize = 16;

constexpr std::uint8_t kTaken = 1;
constexpr std::uint8_t kSubjectsDistrusted = 2;
constexpr std::uint8_t kEmptyReadHeld = 4;
constexpr std::uint8_t kAllFlags = kTaken | kSubjectsDistrusted | kEmptyReadHeld;

class Writer {
public:
  void Byte(std::uint8_t value) { bytes_ += static_cast<char>(value); }
  void Fixed(std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) Byte(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  void Varint(std::uint64_t value) {
    for (; value >= 0x80; value >>= 7) Byte(static_cast<std::uint8_t>(value | 0x80));
    Byte(static_cast<std::uint8_t>(value));
  }
  void Text(std::string_view text) {
    Varint(text.size());
    bytes_ += text;
  }
  void Raw(std::string_view raw) { bytes_ += raw; }
  std::string& Bytes() { return bytes_; }

private:
  std::string bytes_;
};

// Reads from the bytes given and never past them; a read that would fails, and so do all after it.
class Reader {
public:
  explicit Reader(std::string_view bytes) : rest_(bytes) {}

  bool AtEnd() const { return rest_.empty(); }
  std::size_t Remaining() const { return rest_.size(); }

  std::optional<std::uint8_t> Byte() {
    if (rest_.empty()) return std::nullopt;
    const auto value = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return value;
  }
  std::optional<std::uint64_t> Fixed(int size) {
    if (rest_.size() < static_cast<std::size_t>(size)) return std::nullopt;
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
      value |= std::uint64_t{static_cast<std::uint8_t>(rest_[static_cast<std::size_t>(i)])} << (8 * i);
    rest_.remove_prefix(static_cast<std::size_t>(size));
    return value;
  }
  // At most ten bytes; a longer form than needed (a last byte of zero) is refused.
  std::optional<std::uint64_t> Varint() {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      const auto byte = Byte();
      if (!byte) return std::nullopt;
      const std::uint64_t bits = *byte & 0x7Fu;
      if (shift == 63 && bits > 1) return std::nullopt;
      value |= bits << shift;
      if ((*byte & 0x80u) == 0) {
        if (*byte == 0 && shift > 0) return std::nullopt;
        return value;
      }
    }
    return std::nullopt;
  }
  // A count of things each at least minSize bytes long, which the rest must be able to hold.
  std::optional<std::size_t> Count(std::size_t minSize) {
    const auto count = Varint();
    if (!count || *count > rest_.size() / minSize) return std::nullopt;
    return static_cast<std::size_t>(*count);
  }
  std::optional<std::string_view> Text() {
    const auto size = Count(1);
    if (!size) return std::nullopt;
    const std::string_view text = rest_.substr(0, *size);
    rest_.remove_prefix(*size);
    return text;
  }

private:
  std::string_view rest_;
};

void WriteFolder(Writer& out, const KeptFolder& folder) {
  const picture::PictureState state = folder.picture.State();
  out.Text(folder.storeId);
  out.Text(folder.folderId);
  out.Byte(static_cast<std::uint8_t>((state.taken ? kTaken : 0) | (state.subjectsDistrusted ? kSubjectsDistrusted : 0) |
                                     (state.emptyReadHeld ? kEmptyReadHeld : 0)));
  out.Varint(state.entries.size());
  for (const picture::Entry& entry : state.entries) {
    out.Text(entry.id);
    out.Text(entry.subject);
  }
  out.Varint(state.ownDeletions.size());
  for (const std::string& id : state.ownDeletions) out.Text(id);
}

// A folder as written; no value when it is malformed or not in the one form the writer gives it
// (an entry without an id, an id twice, own deletions unsorted or of unknown items).
std::optional<KeptFolder> ReadFolder(Reader& in) {
  KeptFolder folder;
  picture::PictureState state;
  const auto storeId = in.Text();
  const auto folderId = in.Text();
  const auto flags = in.Byte();
  if (!storeId || !folderId || !flags || (*flags & ~kAllFlags) != 0) return std::nullopt;
  state.taken = (*flags & kTaken) != 0;
  state.subjectsDistrusted = (*flags & kSubjectsDistrusted) != 0;
  state.emptyReadHeld = (*flags & kEmptyReadHeld) != 0;

  const auto entries = in.Count(2);  // an id's and a subject's length at least
  if (!entries) return std::nullopt;
  state.entries.reserve(*entries);
  for (std::size_t i = 0; i < *entries; ++i) {
    const auto id = in.Text();
    const auto subject = in.Text();
    if (!id || !subject) return std::nullopt;
    state.entries.push_back({std::string(*id), std::string(*subject)});
  }
  const auto ownDeletions = in.Count(1);
  if (!ownDeletions) return std::nullopt;
  state.ownDeletions.reserve(*ownDeletions);
  for (std::size_t i = 0; i < *ownDeletions; ++i) {
    const auto id = in.Text();
    if (!id) return std::nullopt;
    state.ownDeletions.emplace_back(*id);
  }

  folder.picture = picture::FolderPicture(state);
  if (!(folder.picture.State() == state)) return std::nullopt;
  folder.storeId = std::string(*storeId);
  folder.folderId = std::string(*folderId);
  return folder;
}

std::optional<KeptPictures> ReadSnapshotBody(std::string_view body) {
  Reader in(body);
  for (const char c : kMagic) {
    if (in.Byte() != static_cast<std::uint8_t>(c)) return std::nullopt;
  }
  const auto version = in.Fixed(4);
  const auto generation = in.Fixed(8);
  if (version != kVersion || !generation) return std::nullopt;
  const auto count = in.Count(5);  // two lengths, the flags, two counts
  if (!count) return std::nullopt;

  KeptPictures pictures;
  pictures.generation = *generation;
  pictures.folders.reserve(*count);
  for (std::size_t i = 0; i < *count; ++i) {
    auto folder = ReadFolder(in);
    if (!folder) return std::nullopt;
    pictures.folders.push_back(std::move(*folder));
  }
  if (!in.AtEnd()) return std::nullopt;
  return pictures;
}

// The body of a journal entry, read whole; no value when malformed.
std::optional<std::pair<std::uint64_t, JournalEntry>> ReadEntryBody(std::string_view body) {
  Reader in(body);
  const auto generation = in.Fixed(8);
  const auto kind = in.Byte();
  const auto folder = in.Varint();
  const auto id = in.Text();
  if (!generation || !kind || !folder || *folder > UINT32_MAX || !id) return std::nullopt;
  JournalEntry entry;
  entry.folder = static_cast<std::uint32_t>(*folder);
  entry.id = std::string(*id);
  if (*kind == static_cast<std::uint8_t>(JournalEntry::Kind::kTaken)) {
    const auto subject = in.Text();
    if (!subject) return std::nullopt;
    entry.kind = JournalEntry::Kind::kTaken;
    entry.subject = std::string(*subject);
  } else if (*kind == static_cast<std::uint8_t>(JournalEntry::Kind::kNoReportDue)) {
    entry.kind = JournalEntry::Kind::kNoReportDue;
  } else {
    return std::nullopt;
  }
  if (!in.AtEnd()) return std::nullopt;
  return std::make_pair(*generation, std::move(entry));
}

void Apply(picture::FolderPicture& picture, const JournalEntry& entry) {
  if (entry.kind == JournalEntry::Kind::kTaken) {
    picture.Take(entry.id, entry.subject);
  } else {
    picture.NoteOwnDeletion(entry.id);
  }
}

}  // namespace

std::uint64_t Checksum(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : bytes) {
    hash ^= static_cast<std::uint8_t>(c);
    hash *= 0x100000001b3u;
  }
  return hash;
}

bool SameFolder(const KeptFolder& kept, std::string_view storeId, std::string_view folderId) {
  return kept.storeId == storeId && kept.folderId == folderId;
}

std::string EncodeSnapshot(const KeptPictures& pictures) {
  Writer out;
  out.Raw(kMagic);
  out.Fixed(kVersion, 4);
  out.Fixed(pictures.generation, 8);
  out.Varint(pictures.folders.size());
  for (const KeptFolder& folder : pictures.folders) WriteFolder(out, folder);
  const std::uint64_t length = out.Bytes().size();
  const std::uint64_t checksum = Checksum(out.Bytes());
  out.Fixed(length, 8);
  out.Fixed(checksum, 8);
  return std::move(out.Bytes());
}

std::uint64_t ContentChecksum(std::string_view snapshot) {
  constexpr std::size_t kHeaderSize = kMagic.size() + 4 + 8;
  if (snapshot.size() < kHeaderSize + kTrailerSize) return Checksum(snapshot);
  return Checksum(snapshot.substr(kHeaderSize, snapshot.size() - kHeaderSize - kTrailerSize));
}

std::optional<KeptPictures> DecodeSnapshot(std::string_view bytes) {
  if (bytes.size() < kTrailerSize) return std::nullopt;
  const std::string_view body = bytes.substr(0, bytes.size() - kTrailerSize);
  Reader trailer(bytes.substr(body.size()));
  if (trailer.Fixed(8) != body.size() || trailer.Fixed(8) != Checksum(body)) return std::nullopt;
  return ReadSnapshotBody(body);
}

std::string EncodeJournalEntry(std::uint64_t generation, const JournalEntry& entry) {
  Writer body;
  body.Fixed(generation, 8);
  body.Byte(static_cast<std::uint8_t>(entry.kind));
  body.Varint(entry.folder);
  body.Text(entry.id);
  if (entry.kind == JournalEntry::Kind::kTaken) body.Text(entry.subject);

  Writer out;
  out.Text(body.Bytes());
  out.Fixed(Checksum(out.Bytes()), 8);
  return std::move(out.Bytes());
}

std::size_t ApplyJournal(KeptPictures& pictures, std::string_view journal) {
  std::size_t applied = 0;
  Reader in(journal);
  while (!in.AtEnd()) {
    const std::size_t start = journal.size() - in.Remaining();
    const auto body = in.Text();
    if (!body) break;
    const std::size_t checked = journal.size() - in.Remaining() - start;
    if (in.Fixed(8) != Checksum(journal.substr(start, checked))) break;
    const auto read = ReadEntryBody(*body);
    if (!read) break;
    const auto& [generation, entry] = *read;
    if (generation != pictures.generation) continue;
    if (entry.folder >= pictures.folders.size()) break;
    Apply(pictures.folders[entry.folder].picture, entry);
    ++applied;
  }
  return applied;
}

}  // namespace kept

}  // namespace orvane
