#include "items/link_id.h"

namespace orvane::items {

std::string ReadLinkId(const outlook::DispatchDriver& item, const ItemKind& kind) {
  if (kind.linkIdPlace == LinkIdPlace::Text) return item.GetText(outlook::kCategories);
  return std::to_string(item.GetInt32(outlook::kInternetCodepage));
}

void WriteLinkNumber(const outlook::DispatchDriver& item, int32_t linkId) {
  item.SetInt32(outlook::kInternetCodepage, linkId);
}

void WriteLinkText(const outlook::DispatchDriver& item, std::string_view linkId) {
  item.SetText(outlook::kCategories, linkId);
}

}  // namespace orvane::items
