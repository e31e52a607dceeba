// The commands that act on an item Outlook already has, found by its subject: delete it, mark a
// task done or not started, and write the main application's link id into it.
#include "inbound/writers.h"
#include "base/error_log.h"
#include "items/link_id.h"
#include "inbound/command_records.h"
#include "inbound/item_lookup.h"
#include "inbound/record_fields.h"
#include "inbound/writer_common.h"

namespace orvane::inbound {

namespace {

using inbound::DoneState;

constexpr char kDoneItem[] = "DoneOutlookItem";
constexpr char kSetLinkId[] = "SetOutlookLinkId";

void WriteCompletionState(const outlook::DispatchDriver& task, DoneState state) {
  const bool complete = state == DoneState::Complete;
  task.SetInt32(outlook::kStatus, complete ? outlook::kStatusComplete : outlook::kStatusNotStarted);
  task.SetInt32(outlook::kPercentComplete, complete ? outlook::kPercentCompleteDone : 0);
}

// A number kind keeps what the record's text reads as a number.
int32_t LinkNumber(std::string_view linkId) { return static_cast<int32_t>(inbound::ReadNumber(linkId)); }

void WriteLinkId(const outlook::DispatchDriver& item, const items::ItemKind& kind, std::string_view linkId) {
  if (kind.linkIdPlace == items::LinkIdPlace::Text) {
    items::WriteLinkText(item, linkId);
  } else {
    items::WriteLinkNumber(item, LinkNumber(linkId));
  }
}

// The link id as an item of the kind, once written, gives it back (items::ReadLinkId).
std::string LinkIdAsRead(const items::ItemKind& kind, std::string_view linkId) {
  return kind.linkIdPlace == items::LinkIdPlace::Text ? std::string(linkId) : std::to_string(LinkNumber(linkId));
}

}  // namespace

void DeleteOutlookItem(char* record, uint32_t kind, const WriterContext& context) {
  const items::ItemKind* itemKind = items::ItemKindOf(kind);
  if (!itemKind) return;
  // The whole record is the subject: it is not cut at tabs.
  const outlook::DispatchDriver item = context.lookup.Find(*itemKind, RecordText(record));
  if (item.IsEmpty()) return;
  // The main application knows of its own deletion. Noted before the deletion: an item that
  // stays after all is simply found again.
  context.ownDeletions.NoteOwnDeletion(kind, item.GetText(outlook::kEntryId));
  item.InvokeMethod(outlook::kDelete);
}

void DoneOutlookItem(char* record, uint32_t kind, const WriterContext& context) {
  const items::ItemKind* itemKind = items::ItemKindOf(kind);
  if (!itemKind) return;
  const std::optional<inbound::DoneRecord> done = inbound::ReadDoneRecord(RecordText(record));
  if (!WriterTakes<inbound::DoneRecord>(kDoneItem, done, nullptr)) return;
  const outlook::DispatchDriver item = context.lookup.Find(*itemKind, done->subject);
  // Only tasks have a completion state: appointments and notes are found and left alone, and
  // a word other than the two changes nothing and saves nothing.
  if (item.IsEmpty() || kind != mainapp::kTask || done->state == DoneState::Unknown) return;
  WriteCompletionState(item, done->state);
  SaveAndClose(
      item, itemKind->kind, context.ownWrites,
      done->state == DoneState::Complete ? outlook::OwnWrites::Save::kCompletion : outlook::OwnWrites::Save::kRecord);
}

void SetOutlookLinkId(char* record, uint32_t kind, const WriterContext& context) {
  const items::ItemKind* itemKind = items::ItemKindOfLink(kind);
  if (!itemKind) return;
  const std::optional<inbound::LinkRecord> link = inbound::ReadLinkRecord(RecordText(record));
  if (!WriterTakes<inbound::LinkRecord>(kSetLinkId, link, nullptr)) return;
  if (!link->linkId) {
    LogShortRecord(kSetLinkId);
    return;
  }
  // The item the main application was told of as new has no link id yet, unless one of the
  // subject carries this one already (a change made it anew with it): no second item takes it.
  const outlook::DispatchDriver item =
      context.lookup.Find(*itemKind, link->subject, ItemMeant::WithoutLinkId(LinkIdAsRead(*itemKind, *link->linkId)));
  if (item.IsEmpty()) return;
  WriteLinkId(item, *itemKind, *link->linkId);
  SaveAndClose(item, itemKind->kind, context.ownWrites);
}

}  // namespace orvane::inbound
