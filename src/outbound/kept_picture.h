// The watched folders' pictures kept on disk, so that a new plug-in process starts from what the
// last one saw: a snapshot written whole after each comparison of the folders, and a journal of
// the changes since (items the sinks reported, the plug-in's own deletions), one entry appended
// per change. Both are plain bytes; reading and writing the files is the caller's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "outbound/item_picture.h"

namespace orvane::outbound {

// A picture with the identity of the folder it shows: Outlook's StoreID of the folder's store and
// the folder's EntryID, both any bytes.
struct KeptFolder {
  std::string storeId;
  std::string folderId;
  outbound::FolderPicture picture;
};

// An outbound record waiting for the main application, numbered in the order it was made. One
// that reports an item's going names the item and its folder, so that the item is not reported
// again by a comparison. `offered` is set from just before the record is handed over until the
// hand-over failed: an offered record counts as delivered.
struct OutboundRecord {
  std::uint64_t number = 0;
  std::uint32_t kind = 0;
  std::string text;
  std::uint32_t folder = 0;
  std::string goneId;
  bool offered = false;
  // How many sends of it used their whole time-out in this process (not kept): it goes again a
  // bounded number of times, so that a main application slower than the time-out at every record
  // is not sent it for ever.
  std::uint32_t timeOuts = 0;
};

// The folders of one snapshot, with the records not yet delivered. The generation tells this
// snapshot from the ones before it: the writer gives each new snapshot a generation of its own
// (one more than the last), and a journal entry counts only for the snapshot of its generation.
struct KeptPictures {
  std::uint64_t generation = 0;
  std::vector<KeptFolder> folders;
  // In the order they are to be sent; an offered record is never written into a snapshot.
  std::vector<OutboundRecord> outbox;
  // The number the next record made takes.
  std::uint64_t nextRecord = 1;
};

// Whether the kept folder is the folder Outlook gives now. A picture of another store or folder
// must not be compared with it: every item in it would seem deleted.
bool SameFolder(const KeptFolder& kept, std::string_view storeId, std::string_view folderId);

// The snapshot's bytes: a header (a magic text and the format's version), the generation, the
// folders, then a trailer with the length of everything before it and its checksum.
std::string EncodeSnapshot(const KeptPictures& pictures);
// The pictures of a snapshot; no value for a file that is torn, truncated, altered, of another
// version or not a snapshot at all.
std::optional<KeptPictures> DecodeSnapshot(std::string_view bytes);

// One change since the snapshot. kTaken: an item a sink reported, with its subject.
// kNoReportDue: an item whose going needs no report, as the deletion is the plug-in's own; it
// carries no subject. kQueued: an outbound record joins the outbox (`record` its number,
// `recordKind` its kind, `subject` its text, `id` the item whose going it reports, if any).
// kOffered: the record is about to be handed over. kReturned: its hand-over failed; it waits again.
// kDelivered: the main application took it, or it counts as taken.
// kTakenWithState: an item seen, with its subject, state and the digest of the record the main
// application knows (kTaken is of journals written before states were kept).
// kQueuedWithState: both at once, of the record that tells the main application of an item and
// the state it tells (`id` the item, `subject` the record's text, `itemSubject` the item's): no
// process ending between the two can keep the one without the other.
struct JournalEntry {
  enum class Kind : std::uint8_t {
    kTaken = 1,
    kNoReportDue = 2,
    kQueued = 3,
    kOffered = 4,
    kReturned = 5,
    kTakenWithState = 6,
    kDelivered = 7,
    kQueuedWithState = 8
  };
  Kind kind = Kind::kTaken;
  std::uint32_t folder = 0;  // the index of the folder in the snapshot
  std::string id;
  std::string subject;
  std::uint64_t record = 0;
  std::uint32_t recordKind = 0;
  double lastModified = 0;
  std::uint64_t known = 0;
  std::string itemSubject{};
};

// The entry of an item seen with its state.
JournalEntry TakenEntry(std::uint32_t folder, const Entry& entry);

// The entries that put a record in the outbox and mark its hand-over.
JournalEntry QueuedEntry(const OutboundRecord& record);
// The entry of a record that tells of an item, with the item's state the record makes known.
JournalEntry QueuedWithStateEntry(const OutboundRecord& record, const Entry& taken);
// The item's part of such an entry alone, as a taken entry.
JournalEntry TakenPartOf(const JournalEntry& queuedWithState);
JournalEntry OfferedEntry(std::uint64_t record);
JournalEntry ReturnedEntry(std::uint64_t record);
JournalEntry DeliveredEntry(std::uint64_t record);

// One journal entry's bytes, to be appended to the journal of the snapshot of that generation.
// Each entry carries its own length and checksum, so a torn last entry is known as such.
std::string EncodeJournalEntry(std::uint64_t generation, const JournalEntry& entry);
// Applies one entry to the pictures, as the change it records did; false for one naming a folder
// the pictures lack.
bool ApplyEntry(KeptPictures& pictures, const JournalEntry& entry);
// Applies the journal's entries in order to the pictures. An entry of another generation belongs
// to an earlier snapshot, which this one already holds, and is passed over. Stops at the first
// torn or malformed entry, or one naming a folder the snapshot lacks: what comes after it cannot
// be trusted. A record still offered at the end may have been taken when its process ended, as
// after a send that used its whole time-out: it waits again where the main application may get it
// twice without harm (DecideAfterSend), else it counts as delivered and leaves the outbox.
// Returns how many entries were applied.
std::size_t ApplyJournal(KeptPictures& pictures, std::string_view journal);
// How many bytes at the journal's start are whole entries: where the next one must be appended.
std::size_t WholeEntriesLength(std::string_view journal);

// FNV-1a, 64 bits: the checksum of the trailer and of each journal entry.
std::uint64_t Checksum(std::string_view bytes);
// The checksum of what an encoded snapshot shows, its generation and trailer apart: two snapshots
// of the same pictures answer the same, whatever their generations.
std::uint64_t ContentChecksum(std::string_view snapshot);

}  // namespace orvane::outbound
