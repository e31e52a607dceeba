// The outbound record of an Outlook task, appointment or note, read from the item.
#pragma once

#include "items/item_kinds.h"
#include "outbound/later_box.h"
#include "outbound/record_forms.h"
#include "outlook/dispatch_driver.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace orvane::outbound {

// The log line (followed by the type in decimal) and the box of a recurrence type the plug-in does
// not understand; the log's readers search for this spelling.
constexpr char kUnknownPatternLog[] =
    "OrvaneOutlook=>CreateTaskBuffer::Unrecoginzed Recurrence Pattern.RecurrenceType Value==";
constexpr char kUnknownPatternText[] = "Unrecoginzed Recurrence Pattern";
constexpr char kUnknownPatternCaption[] = "OrvaneOutlook Plug-in ";

// Each reads the item's properties in the order of its record and returns the whole record, ended
// by its line feed. Outlook's finished copy of an occurrence that kept its series' recurrence is
// written as the one-off task it is. The item is held by a reference of the builder's own while it works. The link id
// (none for a new item) is written unchanged. A pattern the plug-in does not know is left out, and
// the user is told through `boxes`. A failing Outlook call throws AutomationError, and
// then no record is made.
std::string CreateTaskBuffer(outlook::DispatchDriver item, LaterBoxes& boxes,
                             std::optional<std::string_view> linkId = std::nullopt);
std::string CreateAppsBuffer(outlook::DispatchDriver item, LaterBoxes& boxes,
                             std::optional<std::string_view> linkId = std::nullopt);
std::string CreateNoteBuffer(outlook::DispatchDriver item, LaterBoxes& boxes,
                             std::optional<std::string_view> linkId = std::nullopt);

// An item's values as its kind's builder reads them, to be written as its record with or without
// a link id.
struct ItemValues {
  std::variant<OutboundTask, OutboundAppointment, OutboundNote> values;

  const std::string& Subject() const;
  // The whole record, as the builder of the kind makes it.
  std::string Record(std::optional<std::string_view> linkId) const;
  // A finished task that does not recur: what Outlook's copy of a finished occurrence is.
  bool IsFinishedSingleTask() const;
};

// Reads the item as the builder of its kind does. A pattern not understood is logged, and the
// user told through `boxes` unless it is null.
ItemValues ReadItemValues(const outlook::DispatchDriver& item, const items::ItemKind& kind, LaterBoxes* boxes);

}  // namespace orvane::outbound
