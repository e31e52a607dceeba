// Small pieces every inbound writer uses: the record as text, its log lines, saving an item.
#pragma once

#include "inbound/lookup_choice.h"
#include "outlook/dispatch_driver.h"
#include "outlook/outlook_session.h"
#include "outlook/own_deletions.h"
#include "outlook/own_writes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::inbound {

// The record handed to a writer, as text (a null record reads as empty).
inline std::string_view RecordText(const char* record) { return record ? record : ""; }

// The log line of a record refused for want of a subject, naming the writer.
void LogRecordWithoutSubject(const char* writer);
// The log line of a record that ended before a field the writer reads.
void LogShortRecord(const char* writer);

// Whether a writer goes on with the record it read. None read (the record has no subject) is
// refused with its log line; one that ended before a field the writer reads is logged and goes on.
template <class Record>
bool WriterTakes(const char* writer, const std::optional<Record>& read, bool (*isShort)(const Record&)) {
  if (!read) {
    LogRecordWithoutSubject(writer);
    return false;
  }
  if (isShort && isShort(*read)) LogShortRecord(writer);
  return true;
}

// The log line of a date Outlook refused, with Outlook's own words.
void LogRefusedDate(const outlook::AutomationError& error);

// What a writer writes its texts into: an item it made, or one Outlook had.
enum class TextInto { kNewItem, kFoundItem };

// Writes a text property. Into a found item only where the item's own text does not already go out
// in a record as the record's text (RecordCarriesText): what the record cannot carry stays as
// Outlook holds it. A property whose reading Outlook's Object Model Guard protects (Body,
// ContactNames, the attendees, Resources) cannot be compared, and is written.
void WriteText(const outlook::DispatchDriver& item, outlook::DispId id, std::string_view text, TextInto into);
// Writes the text, as WriteText does, when the record gave one.
void SetTextIfGiven(const outlook::DispatchDriver& item, outlook::DispId id, const std::optional<std::string>& text,
                    TextInto into);

// The item a change record means among those with its subject: the one carrying its link id.
ItemMeant MeantByLinkId(const std::optional<int32_t>& linkId);
// A change record's link id as ReadLinkId gives an item's; empty for none.
std::string LinkIdText(const std::optional<int32_t>& linkId);

// Whether a change that found no item by the subject makes it anew. Not when the user changed or
// deleted the item in Outlook and the main application is yet to be told (UserChangeUntold): told,
// it takes what the user did, and an item made anew would be one Outlook has twice or alone. That
// is logged, naming the writer. `linkId` is the change's, as ReadLinkId gives it; empty for none.
bool MayMakeAnew(outlook::OwnDeletions& deletions, uint32_t itemKind, const char* writer, std::string_view subject,
                 std::string_view linkId);

// CreateItem on the session's Application: a new, unsaved item of the type.
outlook::DispatchDriver CreateOutlookItem(const outlook::OutlookSession& session, int32_t itemType);

// Close(0): Outlook saves the item, of the item kind (a whole-record kind), and closes it. The item
// is then told to `own`, with what the save did. A save Outlook refuses is logged with its words,
// nothing saved.
void SaveAndClose(const outlook::DispatchDriver& item, uint32_t itemKind, outlook::OwnWrites& own,
                  outlook::OwnWrites::Save save = outlook::OwnWrites::Save::kRecord);

}  // namespace orvane::inbound
