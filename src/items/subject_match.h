// Whether two subjects are one: an item's as Outlook gives it, and one a record or a picture names.
#pragma once

#include <string_view>

namespace orvane::items {

// True when two subjects are the same text ignoring letter case only (so "É" matches "é"); the
// ANSI texts are compared as the UTF-16 they stand for.
bool SubjectsMatch(std::string_view a, std::string_view b);

// True when an item whose subject is `itemSubject` is the one a record naming `wanted` means:
// both as the main application knows them (as sent to it), matching ignoring letter case.
bool SubjectNames(std::string_view itemSubject, std::string_view wanted);

// True when `cut`, a subject a table may have shortened, can be the start of an item's subject
// that `wanted` names: so the whole subject is worth reading from the item.
bool SubjectMayStartWith(std::string_view cut, std::string_view wanted);

}  // namespace orvane::items
