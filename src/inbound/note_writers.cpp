// The note writers: a new note from a note record, and a found note given the text of a change
// record. A note's subject is the first line of its text, and its link id lives in its categories.
#include "app/main_frame.h"
#include "inbound/item_lookup.h"
#include "inbound/note_record.h"
#include "inbound/writer_common.h"

namespace orvane {

namespace {

constexpr char kSaveNote[] = "SaveOutlookNote";
constexpr char kChangeNote[] = "ChangeOutlookNote";

DispatchDriver CreateNote() { return CreateOutlookItem(outlook::kNoteItem); }

}  // namespace

void CMainFrame::SaveOutlookNote(char* record, int) {
  const std::optional<noterecord::NoteRecord> note = noterecord::ReadNoteRecord(RecordText(record));
  if (!note) {
    LogRecordWithoutSubject(kSaveNote);
    return;
  }
  if (note->isShort) LogShortRecord(kSaveNote);

  const DispatchDriver item = RetryAfterReconnect(CreateNote);
  item.SetText(outlook::kBody, note->text);
  SetTextIfGiven(item, outlook::kCategories, note->linkId);
  SaveAndClose(item);
}

void CMainFrame::ChangeOutlookNote(char* record, int) {
  const std::optional<noterecord::ChangeRecord> change = noterecord::ReadChangeRecord(RecordText(record));
  if (!change) {
    LogRecordWithoutSubject(kChangeNote);
    return;
  }
  // The text is all a change writes: without it there is nothing to change or make.
  if (!change->text) {
    LogShortRecord(kChangeNote);
    return;
  }

  DispatchDriver item = FindItemBySubject(kNotePlace, change->searchSubject);
  // A note that Outlook no longer has is made anew from the text. The change record carries no
  // link id, so the new note has no categories; a found note keeps its own.
  if (item.IsEmpty()) item = CreateNote();
  item.SetText(outlook::kBody, *change->text);
  SaveAndClose(item);
}

}  // namespace orvane
