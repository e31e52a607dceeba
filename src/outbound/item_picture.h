// The picture of one watched Outlook folder: the items it held when last seen, known by Outlook's
// permanent item id with their last known subjects and states, and its comparison with a fresh
// read.
#pragma once

#include "outbound/disappearance_rule.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace orvane::outbound {

// One item as the picture knows it.
struct Entry {
  std::string id;
  std::string subject;
  // Outlook's LastModificationTime when the item was last seen; 0 while the picture has none (a
  // picture kept before it held states).
  double lastModified = 0;
  // The digest of the record the main application knows for the item (RecordDigest); 0 while it
  // was told none.
  std::uint64_t known = 0;
  bool operator==(const Entry& other) const {
    return id == other.id && subject == other.subject && lastModified == other.lastModified && known == other.known;
  }
};

// The digest of an item's record as the main application knows it; never 0.
std::uint64_t RecordDigest(std::string_view record);

// What the main application is to be told of an item seen now, whose record has the digest.
enum class ItemNews { kNothing, kNewItem, kChangedItem };
// Nothing for an item without a subject (never reported; one named later comes as changed) or one
// whose record is the one known; a new item when the picture does not know it, or knows it but
// never told it and Outlook announces it as added (the folder's read may have taken it before its
// ItemAdd came), except for an ItemChange that comes before the folder's first read, which is the
// user's change of an item the main application may know; else a changed item.
ItemNews NewsOf(const Entry* known, std::uint64_t digest, bool hasSubject, bool added, bool changeBeforeFirstRead);

// The entry of an item looked at whose record was not news: its state now, with the record the
// main application knows. One whose subject the user emptied is not reported, so it keeps the
// subject the main application knows it by, which its deletion must name.
Entry UntoldEntry(const Entry* known, std::string_view id, std::string_view subject, double lastModified);

// One item as a read of its folder found it: its id, and its subject when the read took it.
struct ReadItem {
  std::string id;
  std::optional<std::string> subject;
  // Outlook's LastModificationTime (an OLE Automation date); 0 when the read did not take it.
  double lastModified = 0;
};

struct FolderComparison;

// Everything a picture holds, to keep it beyond the process and take it up again.
struct PictureState {
  std::vector<Entry> entries;             // in picture order
  std::vector<std::string> ownDeletions;  // in ascending byte order
  bool taken = false;
  bool subjectsDistrusted = false;
  std::optional<HeldBack> hold;
  bool operator==(const PictureState& other) const;
};

class FolderPicture {
public:
  FolderPicture() = default;
  // The picture a state describes. As with Take and NoteOwnDeletion, an entry without an id is
  // left out, a repeated id keeps its first place and its last subject, and a deletion of an
  // item the picture does not know is not noted.
  explicit FolderPicture(const PictureState& state);
  PictureState State() const;

  // The items in picture order: as the folder gave them, then those taken since.
  const std::vector<Entry>& Entries() const { return entries_; }
  bool Knows(std::string_view id) const;
  // The item's entry; null when the picture does not know it.
  const Entry* Find(std::string_view id) const;
  // Whether the folder has been read once: until then nothing is reported of it.
  bool Taken() const { return taken_; }
  // Whether a read must take this item's subject: the picture does not know the item, or no
  // longer trusts the subjects it holds.
  bool NeedsSubject(std::string_view id) const { return subjectsDistrusted_ || !Knows(id); }

  // An item added or changed: a new one joins at the end, a known one takes the new subject.
  // An item without an id cannot be followed and is left out.
  void Take(std::string_view id, std::string_view subject);
  // The item as seen now, with its state and the record the main application knows of it.
  void TakeState(const Entry& entry);
  // The plug-in itself deleted the item: the next comparison drops it without a report.
  void NoteOwnDeletion(std::string_view id);
  // Whether the item is noted so: deleted by the plug-in, or its going already reported.
  bool Going(std::string_view id) const { return ownDeletions_.count(std::string(id)) > 0; }
  // The folder may have changed unseen (the plug-in wrote into it): the next read takes every
  // subject again.
  void DistrustSubjects() { subjectsDistrusted_ = true; }
  // The disappearance held back: the picture keeps the items the last reads lacked until a later
  // read confirms they are gone. Null when none is.
  const HeldBack* Held() const { return hold_ ? &*hold_ : nullptr; }
  // The folder's store is no longer the one Outlook shows: the hold ends with it, and the items it
  // kept are compared again when the store comes back.
  void EndHold() { hold_.reset(); }

private:
  friend FolderComparison Compare(const FolderPicture& before, const std::vector<ReadItem>& read,
                                  const Confirmation& confirmation);

  std::vector<Entry> entries_;
  std::unordered_map<std::string, size_t> positions_;
  std::unordered_set<std::string> ownDeletions_;
  // Whether the folder has been read once; until then a comparison reports nothing.
  bool taken_ = false;
  bool subjectsDistrusted_ = false;
  std::optional<HeldBack> hold_;
};

struct FolderComparison {
  // The subjects of the items gone, in picture order, to be reported.
  std::vector<std::string> gone;
  // Their ids, in the same order.
  std::vector<std::string> goneIds;
  // The items not reported because the read is held back; the picture keeps them.
  size_t heldBack = 0;
  // Whether this read started the hold (afresh), and whether it confirmed one of many deletions,
  // its items reported.
  bool holdStarted = false;
  bool manyConfirmed = false;
  // Whether some item of the earlier picture was read again.
  bool someRemain = false;
  // The items that appeared, and the known ones whose state moved, in the order read: each is to
  // be looked at, and reported when its record is news to the main application. The picture
  // keeps the earlier state of the known ones and leaves the others out until then.
  std::vector<ReadItem> toExamine;
  // The picture that replaces the earlier one.
  FolderPicture picture;
};

// Compares the picture with what the folder holds now. Every item whose id is gone is reported
// with its last known subject, except the plug-in's own deletions; the new picture is the read,
// each id once, with the subjects read or, where none was read, the known ones; an item to be
// examined keeps its known subject. The first read of a folder reports only the items gone that
// the main application was told of, and takes every item it did not know with its state; later,
// an item not known is to be examined. An item known in another state, or read with another
// subject (a store keeping whole seconds gives a rename within the second of the last save the
// same state), is to be examined; one known without a state takes the state read. The items gone
// are reported as Judge decides at the confirmation's moment: while it holds them back, nothing is
// reported and the picture keeps them with the hold. By default every wait is nil: a read held
// back is confirmed by the next that agrees with it.
FolderComparison Compare(const FolderPicture& before, const std::vector<ReadItem>& read,
                         const Confirmation& confirmation = {});

}  // namespace orvane::outbound
