#include "inbound/item_lookup.h"

#include "items/link_id.h"
#include "items/subject_match.h"
#include "outlook/com_types.h"
#include "outlook/outlook_folders.h"

#include <string>
#include <utility>
#include <vector>

namespace orvane::inbound {

namespace {

// The count is read once and the items are taken by their 1-based index; `take` is given each item
// whose subject the record names, and answers whether the walk is done.
template <class Take>
void WalkItemsNamed(const outlook::DispatchDriver& items, const items::ItemKind& kind, std::string_view subject,
                    Take take) {
  const int32_t count = items.GetInt32(outlook::kCount);
  for (int32_t index = 1; index <= count; ++index) {
    outlook::DispatchDriver item = items.InvokeForObject(outlook::kItem, outlook::Variant::Int32(index));
    if (items::SubjectNames(item.GetText(kind.subjectMember), subject) && take(std::move(item))) return;
  }
}

}  // namespace

outlook::DispatchDriver FindItemInItems(const outlook::DispatchDriver& items, const items::ItemKind& kind,
                                        std::string_view subject) {
  outlook::DispatchDriver first;
  WalkItemsNamed(items, kind, subject, [&](outlook::DispatchDriver item) {
    first = std::move(item);
    return true;
  });
  return first;
}

outlook::DispatchDriver FindMeantInItems(const outlook::DispatchDriver& items, const items::ItemKind& kind,
                                         std::string_view subject, const ItemMeant& meant) {
  if (!meant.ReadsLinkIds()) return FindItemInItems(items, kind, subject);
  std::vector<outlook::DispatchDriver> found;
  std::vector<double> created;
  WalkItemsNamed(items, kind, subject, [&](outlook::DispatchDriver item) {
    created.push_back(item.GetDate(outlook::kCreationTime));
    found.push_back(std::move(item));
    return false;
  });
  return ChooseMeant(std::move(found), std::move(created), kind, meant);
}

outlook::DispatchDriver ChooseMeant(std::vector<outlook::DispatchDriver> items, std::vector<double> created,
                                    const items::ItemKind& kind, const ItemMeant& meant) {
  if (items.size() <= 1) return items.empty() ? outlook::DispatchDriver() : std::move(items.front());
  std::vector<Candidate> candidates;
  for (size_t i = 0; i < items.size(); ++i) {
    candidates.push_back({created[i], items[i].GetText(outlook::kEntryId),
                          meant.ReadsLinkIds() ? items::ReadLinkId(items[i], kind) : std::string()});
  }
  return std::move(items[ChooseCandidate(candidates, meant).value_or(0)]);
}

outlook::DispatchDriver FindItemBySubject(outlook::OutlookSession& session, const items::ItemKind& kind,
                                          std::string_view subject) {
  return FindItemInItems(outlook::GetDefaultFolder(session, kind.folder).GetObject(outlook::kItems), kind, subject);
}

}  // namespace orvane::inbound
