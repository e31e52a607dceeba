#include "outbound/deleted_items.h"

namespace orvane {

void ListItemsInOutlook() {}

void CheckDeletedItemsInOutlook() {}

}  // namespace orvane
