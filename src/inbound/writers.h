// The inbound writers: each puts one record of the main application into Outlook. Each takes the
// record as a writable zero-terminated text.
#pragma once

#include "inbound/item_lookup.h"
#include "outlook/own_deletions.h"

#include <cstdint>

namespace orvane {

namespace inbound {

void SaveOutlookApps(char* record);
void SaveOutlookTask(char* record);
void SaveOutlookNote(char* record, int flag);
// The writers that act on an item Outlook has find it through `lookup`.
void ChangeOutlookApps(char* record, SubjectLookup& lookup);
void ChangeOutlookTask(char* record, SubjectLookup& lookup);
void ChangeOutlookNote(char* record, int flag, SubjectLookup& lookup);
// Deletes the item the record names; `own` hears of it first, as the deletion is the plug-in's.
void DeleteOutlookItem(char* record, uint32_t kind, SubjectLookup& lookup, OwnDeletions& own);
void DoneOutlookItem(char* record, uint32_t kind, SubjectLookup& lookup);
void SetOutlookLinkId(char* record, uint32_t kind, SubjectLookup& lookup);
// Replaces every `from` in text by `to`; answers how many were replaced.
int ReplaceChar(char* text, char from, char to);

}  // namespace inbound

}  // namespace orvane
