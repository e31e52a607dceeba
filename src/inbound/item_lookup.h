// Finding an Outlook item again by its subject in one of the default folders.
#pragma once

#include "outlook/dispatch_driver.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace orvane {

// True when two subjects are the same text ignoring letter case only (so "É" matches "é"); the
// ANSI texts are compared as the UTF-16 they stand for.
bool SubjectsMatch(std::string_view a, std::string_view b);

// Where the items of one kind live, and the member that holds their subject.
struct ItemPlace {
  int32_t folder = 0;
  outlook::DispId subjectMember = 0;
};

constexpr ItemPlace kTaskPlace{outlook::kFolderTasks, outlook::kSubject};
constexpr ItemPlace kAppointmentPlace{outlook::kFolderCalendar, outlook::kSubject};
constexpr ItemPlace kNotePlace{outlook::kFolderNotes, outlook::kNoteSubject};

// The place of the task, appointment and note kinds; no value for any other kind.
std::optional<ItemPlace> PlaceOfKind(uint32_t kind);

// The first item of the place, in folder order, whose subject matches; empty when none does.
DispatchDriver FindItemBySubject(const ItemPlace& place, std::string_view subject);

}  // namespace orvane
