// Reading what an Outlook folder holds now, for the comparison with its picture.
#pragma once

#include "outbound/item_picture.h"
#include "outlook/dispatch_driver.h"

#include <vector>

namespace orvane {

// The items of an Items collection in its order, one at a time: Count, then each Item(i) and its
// EntryID, and its subject where the picture needs it (2N+3 calls with the folder and its Items
// when the picture knows every item).
std::vector<picture::ReadItem> ReadItemsOneByOne(const DispatchDriver& items, outlook::DispId subjectMember,
                                                 const picture::FolderPicture& known);

}  // namespace orvane
