// Where Outlook's behaviour varies with its store, its version or its timing, the choice a test
// made; ResetStore puts every choice back to its default.
#pragma once

namespace orvane {

namespace outlook_standin {

struct Behaviour {
  // ItemsEvents are raised this long after the call that caused them has returned.
  int eventDelayMs = 0;
  // One more ItemChange this long after every add or save of an item; -1: none.
  int lateChangeMs = -1;
  // A table's EntryID column gives a short-term id (flag byte 0xEF) instead of the item's own.
  bool shortTermTableIds = false;
  // GetArray's answer is indexed [column][row] instead of [row][column].
  bool columnsFirst = false;
  // GetRowCount answers this many rows more than the table holds.
  int rowCountSlack = 0;
  // GetArray with a MaxRows larger than the rows left fails instead of answering those rows.
  bool strictMaxRows = false;
};

// The flag byte of a short-term EntryID, as the table gives it under short-term ids.
constexpr wchar_t kShortTermFlag[] = L"EF";

// The one choice of the process.
Behaviour& Chosen();

}  // namespace outlook_standin

}  // namespace orvane
