// The note records of the main application, read into what they ask the note writers to write.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvane::inbound {

// Text, date (never read) and the link id that the note keeps in its categories.
struct NoteRecord {
  std::string text;
  std::optional<std::string> linkId;
  bool isShort = false;  // the record ended before the link id
};

// Lookup subject, new text and date (never read).
struct NoteChangeRecord {
  std::string searchSubject;
  std::optional<std::string> text;  // none when the record ended before it
};

// No value without the first field.
std::optional<NoteRecord> ReadNoteRecord(std::string_view record);
std::optional<NoteChangeRecord> ReadNoteChangeRecord(std::string_view record);

}  // namespace orvane::inbound
