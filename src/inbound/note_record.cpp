#include "inbound/note_record.h"

#include "inbound/record_layout.h"

namespace orvane {

namespace noterecord {
namespace {

constexpr int kText = 1;
constexpr int kLinkId = 3;
constexpr int kSearchSubject = 1;
constexpr int kNewText = 2;

}  // namespace

std::optional<NoteRecord> ReadNoteRecord(std::string_view record) {
  const record::RecordFields fields(record, 1);
  const auto text = fields.Get(kText);
  if (!text) return std::nullopt;
  NoteRecord note;
  note.text = std::string(*text);
  note.linkId = record::TextField(fields, kLinkId);
  note.isShort = !note.linkId;
  return note;
}

std::optional<ChangeRecord> ReadChangeRecord(std::string_view record) {
  const record::RecordFields fields(record, 1);
  const auto searchSubject = fields.Get(kSearchSubject);
  if (!searchSubject) return std::nullopt;
  return ChangeRecord{std::string(*searchSubject), record::TextField(fields, kNewText)};
}

}  // namespace noterecord

}  // namespace orvane
