// Finding an Outlook item again by its subject in one of the default folders.
#pragma once

#include "items/item_kinds.h"
#include "outlook/dispatch_driver.h"

#include <cstdint>
#include <string_view>

namespace orvane {

// True when two subjects are the same text ignoring letter case only (so "É" matches "é"); the
// ANSI texts are compared as the UTF-16 they stand for.
bool SubjectsMatch(std::string_view a, std::string_view b);

// The first item of the kind's folder, in folder order, whose subject matches; empty when none does.
DispatchDriver FindItemBySubject(const items::ItemKind& kind, std::string_view subject);

}  // namespace orvane
