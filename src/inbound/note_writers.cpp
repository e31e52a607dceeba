// The note writers: a new note from a note record, and a found note given the text of a change
// record. A note's subject is the first line of its text, and its link id lives in its categories.
#include "items/link_id.h"
#include "mainapp/kinds.h"
#include "inbound/item_lookup.h"
#include "inbound/kept_text.h"
#include "outlook/outlook_folders.h"
#include "inbound/writers.h"
#include "inbound/note_record.h"
#include "inbound/writer_common.h"

namespace orvane::inbound {

namespace {

constexpr char kSaveNote[] = "SaveOutlookNote";
constexpr char kChangeNote[] = "ChangeOutlookNote";

outlook::DispatchDriver CreateNote(const outlook::OutlookSession& session) {
  return CreateOutlookItem(session, outlook::kNoteItem);
}

}  // namespace

void SaveOutlookNote(char* record, const WriterContext& context) {
  using inbound::NoteRecord;
  const std::optional<NoteRecord> note = inbound::ReadNoteRecord(RecordText(record));
  if (!WriterTakes<NoteRecord>(kSaveNote, note, [](const NoteRecord& read) { return read.isShort; })) return;

  const outlook::DispatchDriver item =
      outlook::RetryAfterReconnect(context.session, [&] { return CreateNote(context.session); });
  item.SetText(outlook::kBody, note->text);
  if (note->linkId) items::WriteLinkText(item, *note->linkId);
  SaveAndClose(item, mainapp::kNote, context.ownWrites);
}

void ChangeOutlookNote(char* record, const WriterContext& context) {
  const std::optional<inbound::NoteChangeRecord> change = inbound::ReadNoteChangeRecord(RecordText(record));
  if (!WriterTakes<inbound::NoteChangeRecord>(kChangeNote, change, nullptr)) return;
  // The text is all a change writes: without it there is nothing to change or make.
  if (!change->text) {
    LogShortRecord(kChangeNote);
    return;
  }

  outlook::DispatchDriver item = context.lookup.Find(items::kNoteItems, change->searchSubject);
  if (!item.IsEmpty()) {
    // All a record carries of a note is its subject, the first line of its text (whose reading
    // Outlook guards): a text that is that subject as the record carries it is the note's own,
    // with what the record could not carry, and stays.
    if (RecordCarriesText(item.GetText(outlook::kNoteSubject), *change->text)) return;
  } else {
    if (!MayMakeAnew(context.ownDeletions, mainapp::kNote, kChangeNote, change->searchSubject, {})) return;
    // A note that Outlook no longer has is made anew from the text. The change record carries no
    // link id, so the new note has no categories; a found note keeps its own.
    item = CreateNote(context.session);
  }
  item.SetText(outlook::kBody, *change->text);
  SaveAndClose(item, mainapp::kNote, context.ownWrites);
}

}  // namespace orvane::inbound
