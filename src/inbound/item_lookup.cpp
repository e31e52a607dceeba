#include "inbound/item_lookup.h"

#include "app/intake.h"
#include "outlook/com_types.h"
#include "outlook/outlook_session.h"

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

DispatchDriver RetryAfterReconnect(const std::function<DispatchDriver()>& call) {
  try {
    return call();
  } catch (const AutomationError&) {
    // Outlook may have been restarted since the session was opened; a fresh session usually
    // serves the call. The first failure says nothing more than that.
    CreateOutlookSession();
    return call();
  }
}

std::optional<ItemPlace> PlaceOfKind(uint32_t kind) {
  switch (kind) {
    case intake::kTaskKind: return kTaskPlace;
    case intake::kAppointmentKind: return kAppointmentPlace;
    case intake::kNoteKind: return kNotePlace;
    default: return std::nullopt;
  }
}

DispatchDriver DefaultFolderOnce(int32_t folder) {
  return outlookNamespace.InvokeForObject(outlook::kGetDefaultFolder, Variant::Int32(folder));
}

DispatchDriver GetDefaultFolder(int32_t folder) {
  return RetryAfterReconnect([folder] { return DefaultFolderOnce(folder); });
}

DispatchDriver FindItemBySubject(const ItemPlace& place, std::string_view subject) {
  const DispatchDriver items = GetDefaultFolder(place.folder).GetObject(outlook::kItems);
  // The count is read once and the items are taken by their 1-based index.
  const int32_t count = items.GetInt32(outlook::kCount);
  for (int32_t index = 1; index <= count; ++index) {
    DispatchDriver item = items.InvokeForObject(outlook::kItem, Variant::Int32(index));
    if (SubjectsMatch(item.GetText(place.subjectMember), subject)) return item;
  }
  return {};
}

}  // namespace orvane
