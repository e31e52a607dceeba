// Detection of items the user deleted in Outlook: a snapshot of the folders' subjects.
#pragma once

// Takes the snapshot of the subjects in the Tasks, Calendar and Notes folders.
void ListItemsInOutlook();
