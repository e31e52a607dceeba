#include "items/subject_match.h"

#include "mainapp/record_text.h"
#include "outlook/com_types.h"

#include <windows.h>

#include <climits>
#include <string>

namespace orvane::items {

bool SubjectsMatch(std::string_view a, std::string_view b) {
  if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
  // Ordinal, not linguistic: the locale's rules make a sharp s equal "ss" and skip soft hyphens,
  // and a delete record must never reach an item other than the one it names.
  const std::wstring wideA = outlook::AnsiToWide(a);
  const std::wstring wideB = outlook::AnsiToWide(b);
  return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                              static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

// The main application knows each subject as it was sent to it.
bool SubjectNames(std::string_view itemSubject, std::string_view wanted) {
  return SubjectsMatch(mainapp::OutboundText(itemSubject), mainapp::OutboundText(wanted));
}

bool SubjectMayStartWith(std::string_view cut, std::string_view wanted) {
  const std::wstring start = outlook::AnsiToWide(mainapp::OutboundText(cut));
  const std::wstring whole = outlook::AnsiToWide(mainapp::OutboundText(wanted));
  // The cut may have split its last character: only those before it are compared.
  if (whole.size() < start.size() || start.size() > INT_MAX) return false;
  const size_t length = start.empty() ? 0 : start.size() - 1;
  return length == 0 || CompareStringOrdinal(start.data(), static_cast<int>(length), whole.data(),
                                             static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

}  // namespace orvane::items
