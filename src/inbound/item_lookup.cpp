#include "inbound/item_lookup.h"

#include "mainapp/record_text.h"
#include "outlook/com_types.h"
#include "outlook/outlook_folders.h"

#include <climits>
#include <string>

namespace orvane {

bool SubjectsMatch(std::string_view a, std::string_view b) {
  if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
  // Ordinal, not linguistic: the locale's rules make a sharp s equal "ss" and skip soft hyphens,
  // and a delete record must never reach an item other than the one it names.
  const std::wstring wideA = AnsiToWide(a);
  const std::wstring wideB = AnsiToWide(b);
  return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                              static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

DispatchDriver FindItemBySubject(const items::ItemKind& kind, std::string_view subject) {
  const DispatchDriver items = GetDefaultFolder(kind.folder).GetObject(outlook::kItems);
  // The count is read once and the items are taken by their 1-based index.
  const int32_t count = items.GetInt32(outlook::kCount);
  for (int32_t index = 1; index <= count; ++index) {
    DispatchDriver item = items.InvokeForObject(outlook::kItem, Variant::Int32(index));
    // The main application knows each subject as it was sent to it.
    if (SubjectsMatch(recordtext::OutboundText(item.GetText(kind.subjectMember)), recordtext::OutboundText(subject))) {
      return item;
    }
  }
  return {};
}

}  // namespace orvane
