// Reading and writing the main application's link id where an item of its kind keeps it.
#pragma once

#include "items/item_kinds.h"
#include "outlook/dispatch_driver.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane::items {

// The user property of a task or appointment that holds the link id.
constexpr wchar_t kLinkPropertyName[] = L"OrvaneLink";

// The link id as it goes out in a record: the number in decimal, or the text as it stands. A
// kind that keeps a number has it in its link property; an item without one (written before the
// property was) has it in InternetCodepage, unless that holds a code page Outlook set: then 0.
std::string ReadLinkId(const outlook::DispatchDriver& item, const ItemKind& kind);
// Writes the link id of a kind that keeps a number: InternetCodepage and the link property.
void WriteLinkNumber(const outlook::DispatchDriver& item, int32_t linkId);
// Writes the link id of a kind that keeps text.
void WriteLinkText(const outlook::DispatchDriver& item, std::string_view linkId);

}  // namespace orvane::items
