// Which of several items that bear the subject sought a command acts on, whatever order the store
// keeps its rows in. The subject finds the candidates; the record's link id, or a link record's
// want of one, says which of them the main application means; where neither tells, the one
// created earliest, and of those created at the same moment the one whose EntryID comes first.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane::inbound {

// An item that bears the subject sought, as a folder's table gave it.
struct Match {
  std::string id;  // the id the table gave, to open the item by
  double created;  // CreationTime, an OLE Automation date
};

// The positions in `matches` of those created earliest: one, or several created at the same
// moment, in the order given; none for no matches.
std::vector<size_t> EarliestCreated(const std::vector<Match>& matches);

// The position of the EntryID whose text comes first in byte order; 0 for no ids.
size_t FirstEntryId(const std::vector<std::string>& entryIds);

// What a record says of the item it means beyond its subject.
struct ItemMeant {
  enum class By {
    kSubject,   // nothing more: delete, done, a note's change, a change without a link id
    kNoLinkId,  // a link record: the item told to the main application as new, which has none yet
    kLinkId,    // a change record: the item that carries the record's link id
  };
  By by = By::kSubject;
  std::string linkId;  // as ReadLinkId gives an item's: for kLinkId the one sought, for kNoLinkId the one given

  static ItemMeant BySubject() { return {}; }
  static ItemMeant WithoutLinkId(std::string given = {}) { return {By::kNoLinkId, std::move(given)}; }
  // A record whose link id is none (absent, 0) means no more than its subject.
  static ItemMeant Carrying(std::string linkId);
  // Whether the choice must read each candidate's link id: only when the record says more.
  bool ReadsLinkIds() const { return by != By::kSubject; }
};

// Whether an item's link id, as ReadLinkId gives it, names an item of the main application: not
// empty and not 0.
bool CarriesLinkId(std::string_view linkId);

// One item with the subject, opened: what the choice reads of it.
struct Candidate {
  double created = 0;   // CreationTime
  std::string entryId;  // its own long-term EntryID
  std::string linkId;   // as ReadLinkId gives it; read only when the record says more
};

// The position in `candidates` of the item the record means; none for no candidates. One
// candidate is taken whatever its link id. Of several:
//  - a link record: the earliest of those already carrying the link id it gives (the link is in
//    place: a second item must not take it); else of those carrying no link id, the newest (the
//    one just told as new); when every one carries another, the earliest;
//  - a change record with a link id: of those carrying it, the earliest; when none does, of those
//    carrying no link id, the earliest (an item carrying another link id is another item of the
//    main application's); when every one carries another, the earliest;
//  - else the earliest.
// Ties in CreationTime go to the EntryID that comes first.
std::optional<size_t> ChooseCandidate(const std::vector<Candidate>& candidates, const ItemMeant& meant);

}  // namespace orvane::inbound
