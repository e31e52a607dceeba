// Detection of items the user deleted in Outlook: a snapshot of the folders' subjects.
#pragma once

namespace orvane {

// Takes the snapshot of the subjects in the Tasks, Calendar and Notes folders.
void ListItemsInOutlook();
// Compares the folders with the snapshot and reports the subjects that have gone.
void CheckDeletedItemsInOutlook();

}  // namespace orvane
