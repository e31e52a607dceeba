#include "inbound/lookup_choice.h"

#include <algorithm>

namespace orvane::inbound {

namespace {

enum class Order { kEarliest, kNewest };

// Of the candidates at `pool`, the earliest or newest created; of those created at the same
// moment, the one whose EntryID comes first. None for an empty pool.
std::optional<size_t> FirstOf(const std::vector<Candidate>& candidates, const std::vector<size_t>& pool, Order order) {
  std::optional<size_t> best;
  for (const size_t i : pool) {
    if (!best) {
      best = i;
      continue;
    }
    const Candidate& a = candidates[i];
    const Candidate& b = candidates[*best];
    const bool sooner = order == Order::kEarliest ? a.created < b.created : a.created > b.created;
    if (sooner || (a.created == b.created && a.entryId < b.entryId)) best = i;
  }
  return best;
}

template <class Keep>
std::vector<size_t> PositionsWhere(const std::vector<Candidate>& candidates, Keep keep) {
  std::vector<size_t> pool;
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (keep(candidates[i])) pool.push_back(i);
  }
  return pool;
}

}  // namespace

std::vector<size_t> EarliestCreated(const std::vector<Match>& matches) {
  std::vector<size_t> earliest;
  for (size_t i = 0; i < matches.size(); ++i) {
    if (!earliest.empty()) {
      const double best = matches[earliest.front()].created;
      if (matches[i].created > best) continue;
      if (matches[i].created < best) earliest.clear();
    }
    earliest.push_back(i);
  }
  return earliest;
}

size_t FirstEntryId(const std::vector<std::string>& entryIds) {
  if (entryIds.empty()) return 0;
  return static_cast<size_t>(std::min_element(entryIds.begin(), entryIds.end()) - entryIds.begin());
}

ItemMeant ItemMeant::Carrying(std::string linkId) {
  if (!CarriesLinkId(linkId)) return BySubject();
  return {By::kLinkId, std::move(linkId)};
}

bool CarriesLinkId(std::string_view linkId) { return !linkId.empty() && linkId != "0"; }

std::optional<size_t> ChooseCandidate(const std::vector<Candidate>& candidates, const ItemMeant& meant) {
  if (candidates.size() == 1) return 0;
  const auto unlinked = [](const Candidate& c) { return !CarriesLinkId(c.linkId); };
  const auto carrying = [&](const Candidate& c) { return CarriesLinkId(meant.linkId) && c.linkId == meant.linkId; };
  if (meant.by == ItemMeant::By::kNoLinkId) {
    if (const auto linked = FirstOf(candidates, PositionsWhere(candidates, carrying), Order::kEarliest)) return linked;
    if (const auto newest = FirstOf(candidates, PositionsWhere(candidates, unlinked), Order::kNewest)) return newest;
  } else if (meant.by == ItemMeant::By::kLinkId) {
    if (const auto linked = FirstOf(candidates, PositionsWhere(candidates, carrying), Order::kEarliest)) return linked;
    if (const auto free = FirstOf(candidates, PositionsWhere(candidates, unlinked), Order::kEarliest)) return free;
  }
  return FirstOf(candidates, PositionsWhere(candidates, [](const Candidate&) { return true; }), Order::kEarliest);
}

}  // namespace orvane::inbound
