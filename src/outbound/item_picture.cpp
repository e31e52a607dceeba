#include "outbound/item_picture.h"

#include <algorithm>

namespace orvane::outbound {

bool PictureState::operator==(const PictureState& other) const {
  return entries == other.entries && ownDeletions == other.ownDeletions && taken == other.taken &&
         subjectsDistrusted == other.subjectsDistrusted && hold == other.hold;
}

FolderPicture::FolderPicture(const PictureState& state)
    : taken_(state.taken), subjectsDistrusted_(state.subjectsDistrusted), hold_(state.hold) {
  entries_.reserve(state.entries.size());
  positions_.reserve(state.entries.size());
  for (const Entry& entry : state.entries) {
    if (!Knows(entry.id)) {
      TakeState(entry);
    } else {
      Take(entry.id, entry.subject);
    }
  }
  for (const std::string& id : state.ownDeletions) NoteOwnDeletion(id);
}

PictureState FolderPicture::State() const {
  PictureState state{entries_, {ownDeletions_.begin(), ownDeletions_.end()}, taken_, subjectsDistrusted_, hold_};
  std::sort(state.ownDeletions.begin(), state.ownDeletions.end());
  return state;
}

bool FolderPicture::Knows(std::string_view id) const { return Find(id) != nullptr; }

const Entry* FolderPicture::Find(std::string_view id) const {
  const auto found = positions_.find(std::string(id));
  return found != positions_.end() ? &entries_[found->second] : nullptr;
}

std::uint64_t RecordDigest(std::string_view record) {
  // FNV-1a, 64 bits.
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : record) {
    hash ^= static_cast<std::uint8_t>(c);
    hash *= 0x100000001b3u;
  }
  return hash == 0 ? 1 : hash;
}

ItemNews NewsOf(const Entry* known, std::uint64_t digest, bool hasSubject, bool added, bool changeBeforeFirstRead) {
  if (!hasSubject || (known && known->known == digest)) return ItemNews::kNothing;
  if (!known) return changeBeforeFirstRead ? ItemNews::kChangedItem : ItemNews::kNewItem;
  return added && known->known == 0 ? ItemNews::kNewItem : ItemNews::kChangedItem;
}

Entry UntoldEntry(const Entry* known, std::string_view id, std::string_view subject, double lastModified) {
  Entry entry{std::string(id), std::string(subject), lastModified, known ? known->known : 0};
  if (known && subject.empty()) entry.subject = known->subject;
  return entry;
}

void FolderPicture::TakeState(const Entry& entry) {
  if (entry.id.empty()) return;
  const auto [position, added] = positions_.emplace(entry.id, entries_.size());
  if (added) {
    entries_.push_back(entry);
  } else {
    entries_[position->second] = entry;
  }
}

void FolderPicture::Take(std::string_view id, std::string_view subject) {
  if (id.empty()) return;
  const auto [position, added] = positions_.emplace(std::string(id), entries_.size());
  if (added) {
    entries_.push_back({std::string(id), std::string(subject)});
  } else {
    entries_[position->second].subject = std::string(subject);
  }
}

// Only a known item can be reported, so only known ones are noted; the notes cannot outgrow the
// picture however many deletions the main application asks for.
void FolderPicture::NoteOwnDeletion(std::string_view id) {
  if (Knows(id)) ownDeletions_.emplace(id);
}

FolderComparison Compare(const FolderPicture& before, const std::vector<ReadItem>& read,
                         const Confirmation& confirmation) {
  FolderComparison result;
  FolderPicture& after = result.picture;
  after.taken_ = true;
  size_t itemsRead = 0;
  for (const ReadItem& item : read) {
    if (item.id.empty() || after.Knows(item.id)) continue;
    ++itemsRead;
    const Entry* known = before.Find(item.id);
    if (!known) {
      if (before.taken_) {
        result.toExamine.push_back(item);
      } else {
        after.TakeState({item.id, item.subject.value_or(std::string()), item.lastModified, 0});
      }
      continue;
    }
    Entry entry = *known;
    const bool moved = entry.lastModified != 0 && item.lastModified != 0 && item.lastModified != entry.lastModified;
    const bool named = item.subject && !item.subject->empty();
    // Known before the first read, an item was reported by its event: what changed since is news.
    const bool examined = moved || (named && *item.subject != entry.subject);
    // An item to be examined keeps the subject the main application knows until it is told the
    // new one: its deletion names that subject, and whether a deletion may go twice asks it. One
    // without a subject is never reported and keeps the subject it is known by.
    if (named && !examined) entry.subject = *item.subject;
    if (examined) result.toExamine.push_back(item);
    if (entry.lastModified == 0) entry.lastModified = item.lastModified;
    after.TakeState(entry);
  }
  std::vector<const Entry*> gone;
  Disappearance seen{itemsRead, 0, 0};
  for (const Entry& entry : before.entries_) {
    if (after.Knows(entry.id)) {
      result.someRemain = true;
    } else if (before.ownDeletions_.count(entry.id) == 0 && (before.taken_ || entry.known != 0)) {
      // Before the first read, only an item the main application was told of (by its event) is
      // known to the main application through the plug-in: its going is reported.
      gone.push_back(&entry);
      seen.goneDigest += RecordDigest(entry.id);
    }
  }
  seen.gone = gone.size();
  const Judgement judgement = Judge(before.hold_, seen, before.entries_.size(), confirmation);
  if (!judgement.report) {
    for (const Entry* entry : gone) after.TakeState(*entry);
    after.hold_ = judgement.hold;
    // The items held were not read: their subjects are as trusted as before.
    after.subjectsDistrusted_ = before.subjectsDistrusted_;
    result.heldBack = gone.size();
    result.holdStarted = judgement.started;
    return result;
  }
  result.manyConfirmed = before.hold_ && before.hold_->many && !gone.empty();
  for (const Entry* entry : gone) {
    result.gone.push_back(entry->subject);
    result.goneIds.push_back(entry->id);
  }
  return result;
}

}  // namespace orvane::outbound
