#include "outbound/item_picture.h"

#include <algorithm>

namespace orvane::outbound {

bool PictureState::operator==(const PictureState& other) const {
  return entries == other.entries && ownDeletions == other.ownDeletions && taken == other.taken &&
         subjectsDistrusted == other.subjectsDistrusted && emptyReadHeld == other.emptyReadHeld;
}

FolderPicture::FolderPicture(const PictureState& state)
    : taken_(state.taken), subjectsDistrusted_(state.subjectsDistrusted), emptyReadHeld_(state.emptyReadHeld) {
  entries_.reserve(state.entries.size());
  positions_.reserve(state.entries.size());
  for (const Entry& entry : state.entries) Take(entry.id, entry.subject);
  for (const std::string& id : state.ownDeletions) NoteOwnDeletion(id);
}

PictureState FolderPicture::State() const {
  PictureState state{
      entries_, {ownDeletions_.begin(), ownDeletions_.end()}, taken_, subjectsDistrusted_, emptyReadHeld_};
  std::sort(state.ownDeletions.begin(), state.ownDeletions.end());
  return state;
}

bool FolderPicture::Knows(std::string_view id) const { return Find(id) != nullptr; }

const Entry* FolderPicture::Find(std::string_view id) const {
  const auto found = positions_.find(std::string(id));
  return found != positions_.end() ? &entries_[found->second] : nullptr;
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

FolderComparison Compare(const FolderPicture& before, const std::vector<ReadItem>& read) {
  FolderComparison result;
  FolderPicture& after = result.picture;
  after.taken_ = true;
  for (const ReadItem& item : read) {
    if (item.id.empty() || after.Knows(item.id)) continue;
    const Entry* known = before.Find(item.id);
    after.Take(item.id, item.subject ? *item.subject : known ? known->subject : std::string());
  }
  if (!before.taken_) return result;

  std::vector<const Entry*> gone;
  for (const Entry& entry : before.entries_) {
    if (after.Knows(entry.id)) {
      result.someRemain = true;
    } else if (before.ownDeletions_.count(entry.id) == 0) {
      gone.push_back(&entry);
    }
  }
  // Outlook shows a folder empty while its store is still loading, right after it (re)connects,
  // whatever the folder holds; an empty read is believed only when the next one agrees.
  if (after.entries_.empty() && !gone.empty() && !before.emptyReadHeld_) {
    for (const Entry* entry : gone) after.Take(entry->id, entry->subject);
    after.emptyReadHeld_ = true;
    after.subjectsDistrusted_ = before.subjectsDistrusted_;
    result.heldBack = gone.size();
    return result;
  }
  for (const Entry* entry : gone) {
    result.gone.push_back(entry->subject);
    result.goneIds.push_back(entry->id);
  }
  return result;
}

}  // namespace orvane::outbound
