#include "outlook/table_reading.h"

#include "outlook/automation_error.h"
#include "outlook/late_binding.h"

#include <algorithm>

namespace orvane::outlook {

namespace {

// Rows a table with no count of its own may give before it is taken for one that never ends.
constexpr size_t kMostUncountedRows = 1000000;
constexpr size_t kUncounted = static_cast<size_t>(-1);

// The table's own count; no value where Outlook answers an error, as it does where it has only an
// approximate count.
std::optional<size_t> RowCount(const DispatchDriver& table, const TableMembers& members) {
  try {
    const int32_t counted = table.InvokeMethod(members.getRowCount).ToInt32();
    return counted > 0 ? static_cast<size_t>(counted) : 0;
  } catch (const AutomationError& error) {
    if (IsServerGone(error.Result())) throw;
    return std::nullopt;
  }
}

bool AtEnd(const DispatchDriver& table, const TableMembers& members) { return table.GetBool(members.endOfTable); }

// The next rows, at most `rows`; no value when Outlook refuses to be asked for more rows than the
// table has left, as some versions do.
std::optional<Variant> AskRows(const DispatchDriver& table, const TableMembers& members, size_t rows) {
  try {
    return table.InvokeMethod(members.getArray, Variant::Int32(static_cast<int32_t>(rows)));
  } catch (const AutomationError& error) {
    if (error.Result() == E_INVALIDARG) return std::nullopt;
    throw;
  }
}

}  // namespace

AutomationError OddTable(const std::string& what) { return AutomationError(E_UNEXPECTED, "Outlook's table " + what); }

std::optional<outlook::DispId> MemberIdOf(const DispatchDriver& object, const wchar_t* name) {
  try {
    return LateBound(ComPtr<IDispatch>::Share(object.Get())).IdOf(name);
  } catch (const AutomationError&) {
    return std::nullopt;
  }
}

std::optional<TableMembers> FindTableMembers(const DispatchDriver& table) {
  const auto columns = MemberIdOf(table, L"Columns");
  const auto getRowCount = MemberIdOf(table, L"GetRowCount");
  const auto getArray = MemberIdOf(table, L"GetArray");
  const auto endOfTable = MemberIdOf(table, L"EndOfTable");
  if (!columns || !getRowCount || !getArray || !endOfTable) return std::nullopt;
  return TableMembers{*columns, *getRowCount, *getArray, *endOfTable};
}

ColumnsRemoved RemoveUnreadColumns(const DispatchDriver& columns, DispId remove, const ColumnLayout& layout) {
  ColumnsRemoved removed{layout, std::nullopt};
  ColumnLayout& left = removed.layout;
  for (size_t column = layout.columns; column-- > 0;) {
    if (std::find(layout.at.begin(), layout.at.end(), column) != layout.at.end()) continue;
    try {
      columns.InvokeMethod(remove, Variant::Int32(static_cast<int32_t>(column + 1)));
    } catch (const AutomationError& error) {
      removed.failure = error.what();
      break;
    }
    --left.columns;
    for (size_t& at : left.at) {
      if (at > column) --at;
    }
  }
  return removed;
}

// Outlook's row count may only be near the truth, or not be given at all: it says how many rows to
// ask for, and the end of the table says when all are read. Asked for more rows than are left, a
// table answers those left, or refuses, and is then asked for fewer. The table is a live view of
// the folder: a count that moved while it was read fails the read, lest a moving row hide an item.
// Where the table gives no count, the caller's count of the folder serves for that check.
void ReadTableRows(const DispatchDriver& table, const TableMembers& members, const std::vector<CellForm>& columns,
                   size_t rowsPerCall, const std::function<void(std::vector<std::wstring>&)>& onRow,
                   const std::function<size_t()>& folderCount) {
  const std::optional<size_t> own = RowCount(table, members);
  const bool byFolder = !own && folderCount;
  const auto countAgain = [&]() -> size_t {
    if (byFolder) return folderCount();
    return own ? RowCount(table, members).value_or(kUncounted) : kUncounted;
  };
  const size_t counted = own ? own.value_or(0) : byFolder ? folderCount() : kUncounted;
  // However low the count, a table that goes on far beyond it is not believed.
  const size_t most = counted != kUncounted ? 2 * counted + rowsPerCall : kMostUncountedRows;
  size_t expected = counted != kUncounted ? counted : 0;
  size_t limit = rowsPerCall;
  size_t taken = 0;
  for (;;) {
    if (taken > most) throw OddTable("gave far more rows than it counted");
    size_t wanted = std::min(limit, expected > taken ? expected - taken : 0);
    // The count was low, or there is none: the table says whether rows are left.
    if (wanted == 0) {
      if (AtEnd(table, members)) break;
      wanted = limit;
    }
    const std::optional<Variant> answer = AskRows(table, members, wanted);
    if (!answer) {
      if (AtEnd(table, members)) break;
      if (wanted == 1) throw OddTable("refused its next row");
      limit = wanted / 2;
      continue;
    }
    auto rows = TextRowsOf(*answer, columns, wanted);
    if (rows.empty() && !AtEnd(table, members)) throw OddTable("gave no rows before its end");
    if (rows.size() < wanted) expected = taken + rows.size();
    for (auto& row : rows) onRow(row);
    taken += rows.size();
    if (rows.empty()) break;
  }
  if (countAgain() != counted) throw OddTable("changed while it was read");
}

}  // namespace orvane::outlook
