#include "outbound/deleted_items.h"

void ListItemsInOutlook() {}
