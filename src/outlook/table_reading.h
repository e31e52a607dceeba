// Reading an Outlook folder's table to its end, a batch of rows at a call, whatever its row count
// says and however its version answers a request past the last row.
#pragma once

#include "outlook/com_types.h"
#include "outlook/dispatch_driver.h"
#include "outlook/table_array.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane::outlook {

// The members of Outlook's Table object, found by name (Outlook 2007 and later).
struct TableMembers {
  outlook::DispId columns;
  outlook::DispId getRowCount;
  outlook::DispId getArray;
  outlook::DispId endOfTable;
};

// Where a table holds the columns a reader reads: how many columns it has, and the 0-based place
// of each column read, in the reader's own order.
struct ColumnLayout {
  size_t columns = 0;
  std::vector<size_t> at;
};

// What removing a table's unread columns left: the table's layout after it, and the failure that
// stopped the removals, where one did.
struct ColumnsRemoved {
  ColumnLayout layout;
  std::optional<std::string> failure;
};

// Removes from a table's Columns every column `layout` does not read, one Remove call each, by
// 1-based index from the highest down so that each index still names its column: GetArray then
// carries only the cells read. Columns.Remove is not on Outlook's protected list (Add is), and a
// table from GetTable has its default columns again. A Remove that fails removes nothing and
// stops the others: the layout answered is that of the columns left.
ColumnsRemoved RemoveUnreadColumns(const DispatchDriver& columns, DispId remove, const ColumnLayout& layout);

// The DISPID of the object's member of that name; no value when the object does not know it.
std::optional<outlook::DispId> MemberIdOf(const DispatchDriver& object, const wchar_t* name);

// The table's members; no value when the object does not answer one of their names.
std::optional<TableMembers> FindTableMembers(const DispatchDriver& table);

// Reads the table from its position to its end, at most `rowsPerCall` rows at a call, and hands
// each row (its cells in the forms of `columns`) to `onRow`, in the table's order. A table whose
// GetRowCount fails is read to its end all the same; `folderCount`, where given, then counts the
// folder's items before and after. Throws AutomationError when the table fails or answers oddly,
// or when its count (or the folder's) moved while it was read.
void ReadTableRows(const DispatchDriver& table, const TableMembers& members, const std::vector<CellForm>& columns,
                   size_t rowsPerCall, const std::function<void(std::vector<std::wstring>&)>& onRow,
                   const std::function<size_t()>& folderCount = nullptr);

// An AutomationError telling how Outlook's table answered oddly.
AutomationError OddTable(const std::string& what);

// A table keeps at most 255 bytes of a text on some stores (126 UTF-16 characters and the
// terminating zero) and 255 characters on others: a text this long may have lost its end.
constexpr size_t kCutTextLength = 126;
// A cell's text as the plug-in's ANSI text.
inline std::string CellText(const std::wstring& cell) { return WideToAnsi(cell.data(), cell.size()); }

}  // namespace orvane::outlook
