// Where Outlook's behaviour varies with its store, its version or its timing, the choice a test
// made; ResetStore puts every choice back to its default.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvane {

namespace outlook_standin {

struct Behaviour {
  // ItemsEvents are raised this long after the call that caused them has returned.
  int eventDelayMs = 0;
  // One more ItemChange this long after every add or save of an item; -1: none.
  int lateChangeMs = -1;
  // How many such late changes come per save, each one later by lateChangeMs.
  int lateChangeCount = 1;
  // Each late change gives the item a new LastModificationTime, as a server that processed it.
  bool lateChangeStamps = false;
  // An add of more items than this at once raises no ItemAdd; -1: no limit.
  int bulkAddLimit = -1;
  // LastModificationTime is kept in whole seconds: saves within one second get the same time.
  bool wholeSecondTimes = false;
  // The InternetCodepage of an item the user or CreateItem makes.
  int32_t defaultCodepage = 0;
  // The object model guard: off, or each call of a protected member counts one prompt the user
  // answers by allowing or denying it.
  // Under AllowFor the user's answer approves every call for guardMinutes from the prompt on.
  enum class Guard { Off, Allow, Deny, AllowFor };
  Guard guard = Guard::Off;
  long guardPrompts = 0;
  int guardMinutes = 0;
  // The tick count until which the user's "allow access for" answer holds; 0: no such answer yet.
  unsigned long long guardAllowedUntil = 0;
  // A table's EntryID column gives a short-term id (flag byte 0xEF) instead of the item's own.
  bool shortTermTableIds = false;
  // GetArray's answer is indexed [column][row] instead of [row][column].
  bool columnsFirst = false;
  // GetRowCount answers this many rows more than the table holds.
  int rowCountSlack = 0;
  // GetArray with a MaxRows larger than the rows left fails instead of answering those rows.
  bool strictMaxRows = false;
  // GetRowCount fails instead of answering a count.
  bool rowCountFails = false;
  // A table keeps at most this many bytes of a text as UTF-16, its terminating zero counted; 0: at
  // most kTableTextCharacters characters.
  int tableTextBytes = 0;
  // The completed copy of an occurrence of a series that does not regenerate keeps the series'
  // recurrence (IsRecurring true, the series' pattern) and is marked a dead occurrence.
  bool copyKeepsRecurrence = false;
  // The order an Items collection gives the folder's items in: as saved, the reverse of it, or as
  // saved with an item moved to the end at each of its saves.
  enum class ItemsOrder { Saved, Reverse, MovedOnSave };
  ItemsOrder itemsOrder = ItemsOrder::Saved;
  // A call that would have more items open at once than this fails; 0: no limit.
  int openItemLimit = 0;
  // Deleting the last item of a folder raises no ItemRemove.
  bool noRemoveForLastItem = false;
  // A sink unadvised while events were posted and not raised still hears those events.
  bool eventsAfterUnadvise = false;
};

// What Outlook's tables keep of a text by default.
constexpr size_t kTableTextCharacters = 255;

// The flag bytes of a short-term EntryID, as the table gives it under short-term ids: "EF000000",
// the store provider's 16 bytes, then 4 bytes of the session's own counter.
constexpr wchar_t kShortTermFlag[] = L"EF";
constexpr wchar_t kShortTermHead[] = L"EF000000";
constexpr size_t kShortTermIdLength = 48;

// The one choice of the process.
Behaviour& Chosen();

}  // namespace outlook_standin

}  // namespace orvane
