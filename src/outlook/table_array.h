// Reading the answer of Outlook's Table.GetArray: a two-dimensional SAFEARRAY of VARIANTs, one cell
// per row and column, taken as texts.
#pragma once

#include "outlook/com_types.h"

#include <optional>
#include <string>
#include <vector>

namespace orvane::outlook {

// How a table column gives its values: a text, an array of bytes (a binary property added by its
// schema name), a date, or any form (a column not read).
enum class CellForm { Text, Bytes, Date, Any };

// The rows of the array in `answer`, each row its cells in the order of `columns`, the form of
// each column asked: a text cell as its text, a bytes cell as the upper-case hex text of its bytes
// (as an item's EntryID gives them), a date cell as its OLE Automation date in decimal, exact
// (DateOfCell reads it back), a cell of a column not read and an empty or null cell as the empty
// text.
// Outlook indexes the array [row][column] or [column][row]: the bounds tell which, and where they
// cannot (as many rows as columns) the forms of the cells do.
// Throws AutomationError, reading nothing, when the answer has another form: no array of VARIANTs,
// other than two dimensions, bounds starting at neither 0 nor 1, no dimension of the columns'
// number, more than `maxRows` rows, a cell of another form than its column's, or an order that
// neither bounds nor cells tell. An array without elements has no rows.
std::vector<std::vector<std::wstring>> TextRowsOf(const Variant& answer, const std::vector<CellForm>& columns,
                                                  size_t maxRows);

// The OLE Automation date of a date cell as TextRowsOf gives it; no value for the empty cell or
// any other text.
std::optional<double> DateOfCell(const std::wstring& cell);

}  // namespace orvane::outlook
