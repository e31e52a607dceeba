#include "outbound/deleted_items.h"

namespace orvane {

void ListItemsInOutlook() {}

}  // namespace orvane
