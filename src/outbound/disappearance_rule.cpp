#include "outbound/disappearance_rule.h"

namespace orvane::outbound {

bool ManyDeletions(std::size_t gone, std::size_t known) { return gone > kFewDeletions && gone > known / 4; }

std::uint64_t WaitOf(const HeldBack& hold, const Confirmation& confirmation) {
  return hold.many ? confirmation.manyWait : confirmation.emptyReadWait;
}

Judgement Judge(const std::optional<HeldBack>& held, const Disappearance& seen, std::size_t known,
                const Confirmation& confirmation) {
  if (seen.gone == 0) return {};
  const bool many = ManyDeletions(static_cast<std::size_t>(seen.gone), known) || (held && held->many);
  if (seen.itemsRead != 0 && !many && !held) return {};
  // A clock set back cannot tell how long the folder has looked the same: the wait starts again.
  const bool agrees =
      held && held->seen == seen && held->connection == confirmation.connection && confirmation.now >= held->since;
  if (!agrees) return {false, HeldBack{seen, confirmation.now, many, confirmation.connection}, true};
  HeldBack hold = *held;
  hold.many = many;
  if (confirmation.now - hold.since >= WaitOf(hold, confirmation)) return {};
  return {false, hold, false};
}

}  // namespace orvane::outbound
