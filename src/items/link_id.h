// Reading and writing the main application's link id where an item of its kind keeps it.
#pragma once

#include "items/item_kinds.h"
#include "outlook/dispatch_driver.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

namespace items {

// The link id as it goes out in a record: the number in decimal, or the text as it stands.
std::string ReadLinkId(const DispatchDriver& item, const ItemKind& kind);
// Writes the link id of a kind that keeps a number.
void WriteLinkNumber(const DispatchDriver& item, int32_t linkId);
// Writes the link id of a kind that keeps text.
void WriteLinkText(const DispatchDriver& item, std::string_view linkId);

}  // namespace items

}  // namespace orvane
