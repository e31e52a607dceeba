#include "inbound/note_record.h"

#include "inbound/record_layout.h"

namespace orvane::inbound {

namespace {

constexpr int kText = 1;
constexpr int kLinkId = 3;
constexpr int kSearchSubject = 1;
constexpr int kNewText = 2;

}  // namespace

std::optional<NoteRecord> ReadNoteRecord(std::string_view record) {
  const inbound::RecordFields fields(record, 1);
  const auto text = fields.Get(kText);
  if (!text) return std::nullopt;
  NoteRecord note;
  note.text = std::string(*text);
  note.linkId = inbound::TextField(fields, kLinkId);
  note.isShort = !note.linkId;
  return note;
}

std::optional<NoteChangeRecord> ReadNoteChangeRecord(std::string_view record) {
  const inbound::RecordFields fields(record, 1);
  const auto searchSubject = fields.Get(kSearchSubject);
  if (!searchSubject) return std::nullopt;
  return NoteChangeRecord{std::string(*searchSubject), inbound::TextField(fields, kNewText)};
}

}  // namespace orvane::inbound
