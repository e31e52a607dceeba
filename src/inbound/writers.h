// The inbound writers: each puts one record of the main application into Outlook. Each takes the
// record as a writable zero-terminated text.
#pragma once

#include "inbound/item_lookup.h"
#include "outlook/outlook_session.h"
#include "outlook/own_deletions.h"
#include "outlook/own_writes.h"

#include <cstdint>

namespace orvane::inbound {

// What the writers use beside the record. Every item a writer saves is told to ownWrites, every
// item it deletes to ownDeletions first, so that neither comes back to the main application as the
// user's; the writers that act on an item Outlook has find it through lookup.
struct WriterContext {
  outlook::OutlookSession& session;
  outlook::OwnWrites& ownWrites;
  outlook::OwnDeletions& ownDeletions;
  SubjectLookup& lookup;
};

void SaveOutlookApps(char* record, const WriterContext& context);
void SaveOutlookTask(char* record, const WriterContext& context);
void SaveOutlookNote(char* record, const WriterContext& context);
void ChangeOutlookApps(char* record, const WriterContext& context);
void ChangeOutlookTask(char* record, const WriterContext& context);
void ChangeOutlookNote(char* record, const WriterContext& context);
void DeleteOutlookItem(char* record, uint32_t kind, const WriterContext& context);
void DoneOutlookItem(char* record, uint32_t kind, const WriterContext& context);
void SetOutlookLinkId(char* record, uint32_t kind, const WriterContext& context);
// Replaces every `from` in text by `to`; answers how many were replaced.
int ReplaceChar(char* text, char from, char to);

}  // namespace orvane::inbound
