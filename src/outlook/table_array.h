// Reading the answer of Outlook's Table.GetArray: a two-dimensional SAFEARRAY of VARIANTs, rows by
// columns, taken as texts.
#pragma once

#include "outlook/com_types.h"

#include <string>
#include <vector>

namespace orvane {

// The rows of the array in `answer`, each row the texts of its `columns` cells (an empty or null
// cell is the empty text). Throws AutomationError, reading nothing, when the answer has another
// form: no array of VARIANTs, other than two dimensions, bounds starting at neither 0 nor 1,
// another number of columns, more than `maxRows` rows, or a cell that is no text. An array
// without elements has no rows.
std::vector<std::vector<std::wstring>> TextRowsOf(const Variant& answer, size_t columns, size_t maxRows);

}  // namespace orvane
