// The byte format of the kept pictures. Numbers are little-endian: counts and lengths as LEB128
// varints (shortest form only), the generation and the trailer's fields as eight bytes. Every
// text is its length followed by its bytes, so ids and subjects may hold any byte. A snapshot is
//
//   magic, version (4 bytes), generation, folder count, folders, next record, record count,
//   records, trailer
//   folder:  store id, folder id, flags (1 byte), for a folder whose deletions are held back the
//            hold (its start as 8 bytes, the items read, the items gone, the digest of their ids as
//            8 bytes, whether they are many as 1 byte), entry count, entries (id, subject, last
//            modification time as the 8 bytes of its double, digest of the known record as 8 bytes),
//            own deletion count, own deletion ids
//   record:  number, kind, text, folder index, id of the item gone
//   trailer: length of all before it, checksum of all before it
//
// (a snapshot of version 1, written before records were kept, has no records and reads with an
// empty outbox; one of version 1 or 2, written before states were kept, has entries of id and
// subject alone and reads with entries without a state; up to version 3 the flag of a hold marks
// an empty read held without its start, which reads as no hold, the next read starting one afresh),
// and a journal entry is its body's length, the body (generation, kind, folder index, id, then for
// an item taken its subject and, taken with its state, the time and digest as in a snapshot, for a
// record queued its text, number and kind, for a record offered or returned its number), and the
// checksum of the length and the body. Each form has exactly one encoding: what decodes encodes back to the same bytes
// (a snapshot of an earlier version as one of the current).
#include "outbound/kept_picture.h"

#include "outbound/byte_form.h"
#include "outbound/delivery_rule.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace orvane::outbound {

namespace {

constexpr std::string_view kMagic = "OrvanePictures";
constexpr std::uint32_t kVersion = 4;
constexpr std::uint32_t kVersionWithoutHolds = 3;
constexpr std::uint32_t kVersionWithoutStates = 2;
constexpr std::uint32_t kVersionWithoutRecords = 1;
constexpr std::size_t kTrailerSize = 16;

constexpr std::uint8_t kTaken = 1;
constexpr std::uint8_t kSubjectsDistrusted = 2;
constexpr std::uint8_t kHeld = 4;
constexpr std::uint8_t kAllFlags = kTaken | kSubjectsDistrusted | kHeld;

std::uint64_t TimeBits(double time) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &time, sizeof bits);
  return bits;
}

double TimeOfBits(std::uint64_t bits) {
  double time = 0;
  std::memcpy(&time, &bits, sizeof time);
  return time;
}

void WriteState(Writer& out, double lastModified, std::uint64_t known) {
  out.Fixed(TimeBits(lastModified), 8);
  out.Fixed(known, 8);
}

// A state as written: a time that is a number, or none.
bool ReadState(Reader& in, double& lastModified, std::uint64_t& known) {
  const auto time = in.Fixed(8);
  const auto digest = in.Fixed(8);
  if (!time || !digest) return false;
  lastModified = TimeOfBits(*time);
  known = *digest;
  return !std::isnan(lastModified);
}

void WriteHeldBack(Writer& out, const HeldBack& hold) {
  out.Fixed(hold.since, 8);
  out.Varint(hold.seen.itemsRead);
  out.Varint(hold.seen.gone);
  out.Fixed(hold.seen.goneDigest, 8);
  out.Byte(hold.many ? 1 : 0);
}

std::optional<HeldBack> ReadHeldBack(Reader& in) {
  HeldBack hold;
  const auto since = in.Fixed(8);
  const auto itemsRead = in.Varint();
  const auto gone = in.Varint();
  const auto digest = in.Fixed(8);
  const auto many = in.Byte();
  if (!since || !itemsRead || !gone || *gone == 0 || !digest || !many || *many > 1) return std::nullopt;
  hold.since = *since;
  hold.seen = {*itemsRead, *gone, *digest};
  hold.many = *many == 1;
  return hold;
}

void WriteFolder(Writer& out, const KeptFolder& folder) {
  const outbound::PictureState state = folder.picture.State();
  out.Text(folder.storeId);
  out.Text(folder.folderId);
  out.Byte(static_cast<std::uint8_t>((state.taken ? kTaken : 0) | (state.subjectsDistrusted ? kSubjectsDistrusted : 0) |
                                     (state.hold ? kHeld : 0)));
  if (state.hold) WriteHeldBack(out, *state.hold);
  out.Varint(state.entries.size());
  for (const outbound::Entry& entry : state.entries) {
    out.Text(entry.id);
    out.Text(entry.subject);
    WriteState(out, entry.lastModified, entry.known);
  }
  out.Varint(state.ownDeletions.size());
  for (const std::string& id : state.ownDeletions) out.Text(id);
}

// A folder as written; no value when it is malformed or not in the one form the writer gives it
// (an entry without an id, an id twice, own deletions unsorted or of unknown items).
std::optional<KeptFolder> ReadFolder(Reader& in, std::uint32_t version) {
  const bool withStates = version > kVersionWithoutStates;
  KeptFolder folder;
  outbound::PictureState state;
  const auto storeId = in.Text();
  const auto folderId = in.Text();
  const auto flags = in.Byte();
  if (!storeId || !folderId || !flags || (*flags & ~kAllFlags) != 0) return std::nullopt;
  state.taken = (*flags & kTaken) != 0;
  state.subjectsDistrusted = (*flags & kSubjectsDistrusted) != 0;
  if ((*flags & kHeld) != 0 && version > kVersionWithoutHolds) {
    state.hold = ReadHeldBack(in);
    if (!state.hold) return std::nullopt;
  }

  const auto entries = in.Count(withStates ? 18 : 2);  // an id's and a subject's length, the state
  if (!entries) return std::nullopt;
  state.entries.reserve(*entries);
  for (std::size_t i = 0; i < *entries; ++i) {
    const auto id = in.Text();
    const auto subject = in.Text();
    if (!id || !subject) return std::nullopt;
    outbound::Entry entry{std::string(*id), std::string(*subject)};
    if (withStates && !ReadState(in, entry.lastModified, entry.known)) return std::nullopt;
    state.entries.push_back(std::move(entry));
  }
  const auto ownDeletions = in.Count(1);
  if (!ownDeletions) return std::nullopt;
  state.ownDeletions.reserve(*ownDeletions);
  for (std::size_t i = 0; i < *ownDeletions; ++i) {
    const auto id = in.Text();
    if (!id) return std::nullopt;
    state.ownDeletions.emplace_back(*id);
  }

  folder.picture = outbound::FolderPicture(state);
  if (!(folder.picture.State() == state)) return std::nullopt;
  folder.storeId = std::string(*storeId);
  folder.folderId = std::string(*folderId);
  return folder;
}

void WriteOutbox(Writer& out, const KeptPictures& pictures) {
  out.Varint(pictures.nextRecord);
  std::size_t waiting = 0;
  for (const OutboundRecord& record : pictures.outbox) waiting += record.offered ? 0 : 1;
  out.Varint(waiting);
  for (const OutboundRecord& record : pictures.outbox) {
    if (record.offered) continue;
    out.Varint(record.number);
    out.Varint(record.kind);
    out.Text(record.text);
    out.Varint(record.folder);
    out.Text(record.goneId);
  }
}

// The records in the one form the writer gives them: numbered in rising order, each below the
// next number.
bool ReadOutbox(Reader& in, KeptPictures& pictures) {
  const auto next = in.Varint();
  const auto count = in.Count(5);  // number, kind, text, folder, id
  if (!next || *next == 0 || !count) return false;
  pictures.nextRecord = *next;
  std::uint64_t last = 0;
  for (std::size_t i = 0; i < *count; ++i) {
    const auto number = in.Varint();
    const auto kind = in.Varint();
    const auto text = in.Text();
    const auto folder = in.Varint();
    const auto goneId = in.Text();
    if (!number || !kind || !text || !folder || !goneId) return false;
    if (*number <= last || *number >= *next || *kind > UINT32_MAX || *folder >= pictures.folders.size()) return false;
    last = *number;
    pictures.outbox.push_back({*number, static_cast<std::uint32_t>(*kind), std::string(*text),
                               static_cast<std::uint32_t>(*folder), std::string(*goneId), false});
  }
  return true;
}

std::optional<KeptPictures> ReadSnapshotBody(std::string_view body) {
  Reader in(body);
  for (const char c : kMagic) {
    if (in.Byte() != static_cast<std::uint8_t>(c)) return std::nullopt;
  }
  const auto version = in.Fixed(4);
  const auto generation = in.Fixed(8);
  if (!version || *version < kVersionWithoutRecords || *version > kVersion || !generation) return std::nullopt;
  const auto count = in.Count(5);  // two lengths, the flags, two counts
  if (!count) return std::nullopt;

  KeptPictures pictures;
  pictures.generation = *generation;
  pictures.folders.reserve(*count);
  for (std::size_t i = 0; i < *count; ++i) {
    auto folder = ReadFolder(in, static_cast<std::uint32_t>(*version));
    if (!folder) return std::nullopt;
    pictures.folders.push_back(std::move(*folder));
  }
  if (version != kVersionWithoutRecords && !ReadOutbox(in, pictures)) return std::nullopt;
  if (!in.AtEnd()) return std::nullopt;
  return pictures;
}

// The body of a journal entry, read whole; no value when malformed.
bool CarriesSubject(JournalEntry::Kind kind) {
  return kind == JournalEntry::Kind::kTaken || kind == JournalEntry::Kind::kTakenWithState ||
         kind == JournalEntry::Kind::kQueued || kind == JournalEntry::Kind::kQueuedWithState;
}

bool CarriesState(JournalEntry::Kind kind) {
  return kind == JournalEntry::Kind::kTakenWithState || kind == JournalEntry::Kind::kQueuedWithState;
}

bool QueuesRecord(JournalEntry::Kind kind) {
  return kind == JournalEntry::Kind::kQueued || kind == JournalEntry::Kind::kQueuedWithState;
}

bool NamesRecord(JournalEntry::Kind kind) {
  return QueuesRecord(kind) || kind == JournalEntry::Kind::kOffered || kind == JournalEntry::Kind::kReturned ||
         kind == JournalEntry::Kind::kDelivered;
}

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
  if (*kind < static_cast<std::uint8_t>(JournalEntry::Kind::kTaken) ||
      *kind > static_cast<std::uint8_t>(JournalEntry::Kind::kQueuedWithState)) {
    return std::nullopt;
  }
  entry.kind = static_cast<JournalEntry::Kind>(*kind);
  if (CarriesSubject(entry.kind)) {
    const auto subject = in.Text();
    if (!subject) return std::nullopt;
    entry.subject = std::string(*subject);
  }
  if (CarriesState(entry.kind) && !ReadState(in, entry.lastModified, entry.known)) return std::nullopt;
  if (entry.kind == JournalEntry::Kind::kQueuedWithState) {
    const auto itemSubject = in.Text();
    if (!itemSubject) return std::nullopt;
    entry.itemSubject = std::string(*itemSubject);
  }
  if (NamesRecord(entry.kind)) {
    const auto record = in.Varint();
    if (!record || *record == 0) return std::nullopt;
    entry.record = *record;
  }
  if (QueuesRecord(entry.kind)) {
    const auto recordKind = in.Varint();
    if (!recordKind || *recordKind > UINT32_MAX) return std::nullopt;
    entry.recordKind = static_cast<std::uint32_t>(*recordKind);
  }
  if (!in.AtEnd()) return std::nullopt;
  return std::make_pair(*generation, std::move(entry));
}

OutboundRecord* FindRecord(KeptPictures& pictures, std::uint64_t number) {
  for (OutboundRecord& record : pictures.outbox) {
    if (record.number == number) return &record;
  }
  return nullptr;
}

// A record queued twice (a journal written again after a failed snapshot) joins once.
void Queue(KeptPictures& pictures, const JournalEntry& entry) {
  if (entry.record < pictures.nextRecord) return;
  pictures.nextRecord = entry.record + 1;
  pictures.outbox.push_back({entry.record, entry.recordKind, entry.subject, entry.folder, entry.id, false});
  // The item whose going the record reports is not reported again by a comparison.
  if (!entry.id.empty()) pictures.folders[entry.folder].picture.NoteOwnDeletion(entry.id);
}

// The body's bytes of the entry at the journal's start, and its whole length; no value when torn.
struct RawEntry {
  std::string_view body;
  std::size_t length;
};
std::optional<RawEntry> NextRawEntry(std::string_view journal) {
  Reader in(journal);
  const auto body = in.Text();
  if (!body) return std::nullopt;
  const std::size_t checked = journal.size() - in.Remaining();
  if (in.Fixed(8) != Checksum(journal.substr(0, checked))) return std::nullopt;
  return RawEntry{*body, journal.size() - in.Remaining()};
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
  WriteOutbox(out, pictures);
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
  if (CarriesSubject(entry.kind)) body.Text(entry.subject);
  if (CarriesState(entry.kind)) WriteState(body, entry.lastModified, entry.known);
  if (entry.kind == JournalEntry::Kind::kQueuedWithState) body.Text(entry.itemSubject);
  if (NamesRecord(entry.kind)) body.Varint(entry.record);
  if (QueuesRecord(entry.kind)) body.Varint(entry.recordKind);

  Writer out;
  out.Text(body.Bytes());
  out.Fixed(Checksum(out.Bytes()), 8);
  return std::move(out.Bytes());
}

JournalEntry QueuedEntry(const OutboundRecord& record) {
  JournalEntry entry{JournalEntry::Kind::kQueued, record.folder, record.goneId, record.text};
  entry.record = record.number;
  entry.recordKind = record.kind;
  return entry;
}

JournalEntry QueuedWithStateEntry(const OutboundRecord& record, const Entry& taken) {
  JournalEntry entry{JournalEntry::Kind::kQueuedWithState, record.folder, taken.id, record.text};
  entry.record = record.number;
  entry.recordKind = record.kind;
  entry.lastModified = taken.lastModified;
  entry.known = taken.known;
  entry.itemSubject = taken.subject;
  return entry;
}

JournalEntry TakenPartOf(const JournalEntry& queuedWithState) {
  return TakenEntry(queuedWithState.folder, {queuedWithState.id, queuedWithState.itemSubject,
                                             queuedWithState.lastModified, queuedWithState.known});
}

JournalEntry TakenEntry(std::uint32_t folder, const Entry& entry) {
  JournalEntry taken{JournalEntry::Kind::kTakenWithState, folder, entry.id, entry.subject};
  taken.lastModified = entry.lastModified;
  taken.known = entry.known;
  return taken;
}

JournalEntry OfferedEntry(std::uint64_t record) {
  JournalEntry entry{JournalEntry::Kind::kOffered, 0, {}, {}};
  entry.record = record;
  return entry;
}

JournalEntry ReturnedEntry(std::uint64_t record) {
  JournalEntry entry{JournalEntry::Kind::kReturned, 0, {}, {}};
  entry.record = record;
  return entry;
}

JournalEntry DeliveredEntry(std::uint64_t record) {
  JournalEntry entry{JournalEntry::Kind::kDelivered, 0, {}, {}};
  entry.record = record;
  return entry;
}

bool ApplyEntry(KeptPictures& pictures, const JournalEntry& entry) {
  if (entry.folder >= pictures.folders.size()) return false;
  outbound::FolderPicture& picture = pictures.folders[entry.folder].picture;
  switch (entry.kind) {
    case JournalEntry::Kind::kTaken: picture.Take(entry.id, entry.subject); break;
    case JournalEntry::Kind::kTakenWithState:
      picture.TakeState({entry.id, entry.subject, entry.lastModified, entry.known});
      break;
    case JournalEntry::Kind::kNoReportDue: picture.NoteOwnDeletion(entry.id); break;
    case JournalEntry::Kind::kQueued: Queue(pictures, entry); break;
    case JournalEntry::Kind::kQueuedWithState: {
      picture.TakeState({entry.id, entry.itemSubject, entry.lastModified, entry.known});
      JournalEntry record = entry;
      // It reports no item's going.
      record.id.clear();
      Queue(pictures, record);
      break;
    }
    case JournalEntry::Kind::kOffered:
    case JournalEntry::Kind::kReturned:
      if (OutboundRecord* record = FindRecord(pictures, entry.record)) {
        record->offered = entry.kind == JournalEntry::Kind::kOffered;
      }
      break;
    case JournalEntry::Kind::kDelivered:
      pictures.outbox.erase(std::remove_if(pictures.outbox.begin(), pictures.outbox.end(),
                                           [&](const OutboundRecord& r) { return r.number == entry.record; }),
                            pictures.outbox.end());
      break;
  }
  return true;
}

std::size_t ApplyJournal(KeptPictures& pictures, std::string_view journal) {
  std::size_t applied = 0;
  while (!journal.empty()) {
    const auto raw = NextRawEntry(journal);
    if (!raw) break;
    journal.remove_prefix(raw->length);
    const auto read = ReadEntryBody(raw->body);
    if (!read) break;
    const auto& [generation, entry] = *read;
    if (generation != pictures.generation) continue;
    if (!ApplyEntry(pictures, entry)) break;
    ++applied;
  }
  // Offered, its outcome unknown: the send may be running still in the main application.
  auto& outbox = pictures.outbox;
  for (OutboundRecord& r : outbox) {
    if (!r.offered) continue;
    const bool elsewhere = SubjectElsewhere(pictures.folders[r.folder].picture, r.text, r.goneId);
    // Still marked offered: counted as delivered, and left out below.
    r.offered = DecideAfterSend(SendOutcome::kTimedOut, SafeToRepeat(r.kind, elsewhere)) != AfterSend::kSendAgain;
  }
  outbox.erase(std::remove_if(outbox.begin(), outbox.end(), [](const OutboundRecord& r) { return r.offered; }),
               outbox.end());
  return applied;
}

std::size_t WholeEntriesLength(std::string_view journal) {
  std::size_t length = 0;
  while (const auto raw = NextRawEntry(journal.substr(length))) length += raw->length;
  return length;
}

}  // namespace orvane::outbound
