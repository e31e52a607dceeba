// The commands that act on an item Outlook already has, found by its subject: delete it, mark a
// task done or not started, and write the main application's link id into it.
#include "inbound/writers.h"
#include "base/error_log.h"
#include "mainapp/kinds.h"
#include "inbound/command_records.h"
#include "inbound/item_lookup.h"
#include "inbound/record_fields.h"
#include "inbound/writer_common.h"

namespace orvane {

namespace {

using commandrecord::DoneState;

constexpr char kDoneItem[] = "DoneOutlookItem";
constexpr char kSetLinkId[] = "SetOutlookLinkId";

// Where a link id goes: tasks and appointments keep it as a number in InternetCodepage, notes
// (which have no such member) as text in Categories.
struct LinkTarget {
  ItemPlace place;
  bool asText = false;
};

std::optional<LinkTarget> LinkTargetOfKind(uint32_t kind) {
  switch (kind) {
    case kinds::kTaskLink: return LinkTarget{kTaskPlace, false};
    case kinds::kAppointmentLink: return LinkTarget{kAppointmentPlace, false};
    case kinds::kNoteLink: return LinkTarget{kNotePlace, true};
    default: return std::nullopt;
  }
}

void WriteCompletionState(const DispatchDriver& task, DoneState state) {
  const bool complete = state == DoneState::Complete;
  task.SetInt32(outlook::kStatus, complete ? outlook::kStatusComplete : outlook::kStatusNotStarted);
  task.SetInt32(outlook::kPercentComplete, complete ? outlook::kPercentCompleteDone : 0);
}

void WriteLinkId(const DispatchDriver& item, std::string_view linkId, bool asText) {
  if (asText) {
    item.SetText(outlook::kCategories, linkId);
  } else {
    item.SetInt32(outlook::kInternetCodepage, static_cast<int32_t>(record::ReadNumber(linkId)));
  }
}

}  // namespace

void inbound::DeleteOutlookItem(char* record, uint32_t kind, SubjectLookup& lookup, OwnDeletions& own) {
  const std::optional<ItemPlace> place = PlaceOfKind(kind);
  if (!place) return;
  // The whole record is the subject: it is not cut at tabs.
  const DispatchDriver item = lookup.Find(*place, RecordText(record));
  if (item.IsEmpty()) return;
  // The main application knows of its own deletion. Noted before the deletion: an item that
  // stays after all is simply found again.
  own.NoteOwnDeletion(kind, item.GetText(outlook::kEntryId));
  item.InvokeMethod(outlook::kDelete);
}

void inbound::DoneOutlookItem(char* record, uint32_t kind, SubjectLookup& lookup) {
  const std::optional<ItemPlace> place = PlaceOfKind(kind);
  if (!place) return;
  const std::optional<commandrecord::DoneRecord> done = commandrecord::ReadDoneRecord(RecordText(record));
  if (!WriterTakes<commandrecord::DoneRecord>(kDoneItem, done, nullptr)) return;
  const DispatchDriver item = lookup.Find(*place, done->subject);
  // Only tasks have a completion state: appointments and notes are found and left alone, and
  // a word other than the two changes nothing and saves nothing.
  if (item.IsEmpty() || kind != kinds::kTask || done->state == DoneState::Unknown) return;
  WriteCompletionState(item, done->state);
  SaveAndClose(item);
}

void inbound::SetOutlookLinkId(char* record, uint32_t kind, SubjectLookup& lookup) {
  const std::optional<LinkTarget> target = LinkTargetOfKind(kind);
  if (!target) return;
  const std::optional<commandrecord::LinkRecord> link = commandrecord::ReadLinkRecord(RecordText(record));
  if (!WriterTakes<commandrecord::LinkRecord>(kSetLinkId, link, nullptr)) return;
  if (!link->linkId) {
    LogShortRecord(kSetLinkId);
    return;
  }
  const DispatchDriver item = lookup.Find(target->place, link->subject);
  if (item.IsEmpty()) return;
  WriteLinkId(item, *link->linkId, target->asText);
  SaveAndClose(item);
}

}  // namespace orvane
