#include "outbound/folder_reading.h"

#include "outlook/late_binding.h"
#include "outlook/table_array.h"

#include <algorithm>
#include <string>

namespace orvane {

namespace {

// Rows asked of the table at one call: few calls, and answers of a moderate size.
constexpr size_t kRowsPerCall = 500;
constexpr size_t kIdColumn = 0;
constexpr size_t kSubjectColumn = 1;
// A table keeps at most 255 bytes of a text on some stores (126 UTF-16 characters and the
// terminating zero) and 255 characters on others: a subject this long may have lost its end.
constexpr size_t kMaybeCutLength = 126;

std::optional<outlook::DispId> IdOf(const DispatchDriver& object, const wchar_t* name) {
  try {
    return LateBound(ComPtr<IDispatch>::Share(object.Get())).IdOf(name);
  } catch (const AutomationError&) {
    return std::nullopt;
  }
}

std::string Ansi(const std::wstring& text) { return WideToAnsi(text.data(), text.size()); }

// The row as the comparison takes it; false when its subject may be cut and the picture does not
// know the whole one.
bool TakeRow(const std::vector<std::wstring>& row, const picture::FolderPicture& known,
             std::vector<picture::ReadItem>& read) {
  picture::ReadItem item{Ansi(row[kIdColumn]), std::nullopt};
  const std::wstring& subject = row[kSubjectColumn];
  if (subject.size() < kMaybeCutLength) {
    item.subject = Ansi(subject);
  } else if (known.NeedsSubject(item.id)) {
    return false;
  }
  read.push_back(std::move(item));
  return true;
}

}  // namespace

std::vector<picture::ReadItem> ReadItemsOneByOne(const DispatchDriver& items, outlook::DispId subjectMember,
                                                 const picture::FolderPicture& known) {
  std::vector<picture::ReadItem> read;
  // The count is read once; a collection that shrinks meanwhile fails the read at its end.
  const int32_t count = items.GetInt32(outlook::kCount);
  for (int32_t index = 1; index <= count; ++index) {
    const DispatchDriver item = items.InvokeForObject(outlook::kItem, Variant::Int32(index));
    picture::ReadItem entry{item.GetText(outlook::kEntryId), std::nullopt};
    if (known.NeedsSubject(entry.id)) entry.subject = item.GetText(subjectMember);
    read.push_back(std::move(entry));
  }
  return read;
}

std::optional<std::vector<picture::ReadItem>> FolderTableReader::ReadItems(const DispatchDriver& folder,
                                                                           const picture::FolderPicture& known) {
  DispatchDriver table;
  try {
    table = folder.InvokeForObject(outlook::kGetTable);
  } catch (const AutomationError& error) {
    // An Outlook older than its tables.
    if (error.Result() == DISP_E_MEMBERNOTFOUND) return std::nullopt;
    throw;
  }
  if (!KnowsTableMembers(table)) return std::nullopt;
  const DispatchDriver columns = table.GetObject(table_->columns);
  if (!KnowsColumnsMembers(columns)) return std::nullopt;
  // Only the two columns wanted, in a known order; the table starts again before its first row.
  columns.InvokeMethod(columns_->removeAll);
  columns.InvokeMethod(columns_->add, Variant::Text("EntryID"));
  columns.InvokeMethod(columns_->add, Variant::Text("Subject"));
  return ReadRows(table, known);
}

bool FolderTableReader::KnowsTableMembers(const DispatchDriver& table) {
  if (table_) return true;
  const auto columns = IdOf(table, L"Columns");
  const auto getRowCount = IdOf(table, L"GetRowCount");
  const auto getArray = IdOf(table, L"GetArray");
  if (!columns || !getRowCount || !getArray) return false;
  table_ = TableMembers{*columns, *getRowCount, *getArray};
  return true;
}

bool FolderTableReader::KnowsColumnsMembers(const DispatchDriver& columns) {
  if (columns_) return true;
  const auto removeAll = IdOf(columns, L"RemoveAll");
  const auto add = IdOf(columns, L"Add");
  if (!removeAll || !add) return false;
  columns_ = ColumnsMembers{*removeAll, *add};
  return true;
}

size_t FolderTableReader::RowCount(const DispatchDriver& table) const {
  const int32_t counted = table.InvokeMethod(table_->getRowCount).ToInt32();
  if (counted < 0) throw AutomationError(E_UNEXPECTED, "Outlook's table counted " + std::to_string(counted) + " rows");
  return static_cast<size_t>(counted);
}

// The table is a live view of the folder: the rows counted first are read to the last, and a
// table that shrinks or grows meanwhile fails the read, as the item walk does, lest an item that
// a moving row hid be taken for deleted.
std::optional<std::vector<picture::ReadItem>> FolderTableReader::ReadRows(const DispatchDriver& table,
                                                                          const picture::FolderPicture& known) const {
  const size_t rowCount = RowCount(table);
  std::vector<picture::ReadItem> read;
  while (read.size() < rowCount) {
    // Never more than the table holds: some versions of Outlook refuse to be asked for more.
    const size_t asked = std::min(kRowsPerCall, rowCount - read.size());
    const auto rows =
        TextRowsOf(table.InvokeMethod(table_->getArray, Variant::Int32(static_cast<int32_t>(asked))), 2, asked);
    if (rows.size() != asked) throw AutomationError(E_UNEXPECTED, "Outlook's table shrank while it was read");
    for (const auto& row : rows) {
      if (!TakeRow(row, known, read)) return std::nullopt;
    }
  }
  if (RowCount(table) != rowCount) throw AutomationError(E_UNEXPECTED, "Outlook's table changed while it was read");
  return read;
}

}  // namespace orvane
