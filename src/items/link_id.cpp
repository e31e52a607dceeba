#include "items/link_id.h"

#include "items/code_pages.h"

#include <optional>

namespace orvane::items {

namespace {

// The item's link property, when it has one. UserProperties.Item fails for a name the item
// lacks; any failure but a gone Outlook means the property is not there.
std::optional<outlook::DispatchDriver> LinkProperty(const outlook::DispatchDriver& item) {
  const outlook::DispatchDriver properties = item.GetObject(outlook::kUserProperties);
  try {
    return properties.InvokeForObject(outlook::kUserPropertiesItem, outlook::Variant::Wide(kLinkPropertyName));
  } catch (const outlook::AutomationError& error) {
    if (outlook::IsServerGone(error.Result())) throw;
    return std::nullopt;
  }
}

}  // namespace

std::string ReadLinkId(const outlook::DispatchDriver& item, const ItemKind& kind) {
  if (kind.linkIdPlace == LinkIdPlace::Text) return item.GetText(outlook::kCategories);
  if (const std::optional<outlook::DispatchDriver> property = LinkProperty(item)) {
    return std::to_string(property->GetInt32(outlook::kUserPropertyValue));
  }
  return std::to_string(LinkIdOfCodepage(item.GetInt32(outlook::kInternetCodepage)));
}

void WriteLinkNumber(const outlook::DispatchDriver& item, int32_t linkId) {
  item.SetInt32(outlook::kInternetCodepage, linkId);
  std::optional<outlook::DispatchDriver> property = LinkProperty(item);
  if (!property) {
    // Not among the folder's fields: the property belongs to the item alone.
    property =
        item.GetObject(outlook::kUserProperties)
            .InvokeForObject(outlook::kUserPropertiesAdd, outlook::Variant::Wide(kLinkPropertyName),
                             outlook::Variant::Int32(outlook::kUserPropertyInteger), outlook::Variant::Bool(false));
  }
  property->SetInt32(outlook::kUserPropertyValue, linkId);
}

void WriteLinkText(const outlook::DispatchDriver& item, std::string_view linkId) {
  item.SetText(outlook::kCategories, linkId);
}

}  // namespace orvane::items
