#include "items/link_id.h"

namespace orvane {

namespace items {

std::string ReadLinkId(const DispatchDriver& item, const ItemKind& kind) {
  if (kind.linkIdPlace == LinkIdPlace::Text) return item.GetText(outlook::kCategories);
  return std::to_string(item.GetInt32(outlook::kInternetCodepage));
}

void WriteLinkNumber(const DispatchDriver& item, int32_t linkId) { item.SetInt32(outlook::kInternetCodepage, linkId); }

void WriteLinkText(const DispatchDriver& item, std::string_view linkId) { item.SetText(outlook::kCategories, linkId); }

}  // namespace items

}  // namespace orvane
