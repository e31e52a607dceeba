#include "outbound/folder_reading.h"

#include "base/error_log.h"
#include "outlook/late_binding.h"
#include "outlook/table_array.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace orvane {

namespace {

// Rows asked of the table at one call: few calls, and answers of a moderate size.
constexpr size_t kRowsPerCall = 500;
// The columns read: the item's long-term id, which a table gives as bytes whatever form its
// EntryID column has, and the subject.
constexpr size_t kIdColumn = 0;
constexpr size_t kSubjectColumn = 1;
// A table keeps at most 255 bytes of a text on some stores (126 UTF-16 characters and the
// terminating zero) and 255 characters on others: a subject this long may have lost its end.
constexpr size_t kMaybeCutLength = 126;
// Reads of a collection that keeps moving before its picture is kept for the next check.
constexpr int kItemReads = 3;

std::optional<outlook::DispId> IdOf(const DispatchDriver& object, const wchar_t* name) {
  try {
    return LateBound(ComPtr<IDispatch>::Share(object.Get())).IdOf(name);
  } catch (const AutomationError&) {
    return std::nullopt;
  }
}

std::string Ansi(const std::wstring& text) { return WideToAnsi(text.data(), text.size()); }

AutomationError OddTable(const std::string& what) { return AutomationError(E_UNEXPECTED, "Outlook's table " + what); }

void LogFolderLine(const char* folderName, const char* what) {
  char line[150];
  std::snprintf(line, sizeof line, "OrvaneOutlook=>CheckDeletedItemsInOutlook::The %s folder %s", folderName, what);
  WriteLog(line);
}

// One pass over the collection as it was counted. Throws AutomationError when an item cannot be
// had, as when the collection shrank meanwhile.
std::vector<picture::ReadItem> ReadItemsOnce(const DispatchDriver& items, int32_t count, outlook::DispId subjectMember,
                                             const picture::FolderPicture& known) {
  std::vector<picture::ReadItem> read;
  for (int32_t index = 1; index <= count; ++index) {
    const DispatchDriver item = items.InvokeForObject(outlook::kItem, Variant::Int32(index));
    picture::ReadItem entry{item.GetText(outlook::kEntryId), std::nullopt};
    if (known.NeedsSubject(entry.id)) entry.subject = item.GetText(subjectMember);
    read.push_back(std::move(entry));
  }
  return read;
}

}  // namespace

// An item added or removed while the items are read by index moves the others: one that slid
// out of reach would be taken for deleted. A pass counts as read only when the count after it is
// the count it read by.
std::optional<std::vector<picture::ReadItem>> ReadItemsOneByOne(const DispatchDriver& items,
                                                                outlook::DispId subjectMember,
                                                                const picture::FolderPicture& known) {
  int32_t count = items.GetInt32(outlook::kCount);
  for (int read = 0; read < kItemReads; ++read) {
    std::vector<picture::ReadItem> found;
    try {
      found = ReadItemsOnce(items, count, subjectMember, known);
    } catch (const AutomationError&) {
      const int32_t now = items.GetInt32(outlook::kCount);
      if (now == count) throw;
      count = now;
      continue;
    }
    const int32_t after = items.GetInt32(outlook::kCount);
    if (after == count) return found;
    count = after;
  }
  return std::nullopt;
}

std::optional<std::vector<picture::ReadItem>> FolderTableReader::ReadFolder(
    const DispatchDriver& nameSpace, const DispatchDriver& folder, std::string_view storeId,
    outlook::DispId subjectMember, const picture::FolderPicture& known, const char* folderName) {
  try {
    if (std::optional<TableRead> read = ReadTable(folder, known)) {
      if (!read->cutSubjects.empty()) {
        for (const size_t index : read->cutSubjects) {
          picture::ReadItem& item = read->items[index];
          // Outlook finds an item by its id surely only in the store named with it.
          const DispatchDriver whole =
              nameSpace.InvokeForObject(outlook::kGetItemFromId, Variant::Text(item.id), Variant::Text(storeId));
          item.subject = whole.GetText(subjectMember);
        }
      }
      lastTableFailures_.erase(folderName);
      return std::move(read->items);
    }
  } catch (const AutomationError& error) {
    LogTableFailure(folderName, error.what());
  }
  std::optional<std::vector<picture::ReadItem>> read =
      ReadItemsOneByOne(folder.GetObject(outlook::kItems), subjectMember, known);
  if (!read) LogFolderLine(folderName, "kept changing while it was read; it is compared at the next check");
  return read;
}

void FolderTableReader::LogTableFailure(const char* folderName, const std::string& failure) {
  std::string& last = lastTableFailures_[folderName];
  if (failure == last) return;
  last = failure;
  LogFolderLine(folderName, ("is read item by item: " + failure).c_str());
}

std::optional<FolderTableReader::TableRead> FolderTableReader::ReadTable(const DispatchDriver& folder,
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
  columns.InvokeMethod(columns_->add, Variant::Wide(outlook::kLongTermEntryIdColumn));
  columns.InvokeMethod(columns_->add, Variant::Text("Subject"));
  return ReadRows(table, known);
}

bool FolderTableReader::KnowsTableMembers(const DispatchDriver& table) {
  if (table_) return true;
  const auto columns = IdOf(table, L"Columns");
  const auto getRowCount = IdOf(table, L"GetRowCount");
  const auto getArray = IdOf(table, L"GetArray");
  const auto endOfTable = IdOf(table, L"EndOfTable");
  if (!columns || !getRowCount || !getArray || !endOfTable) return false;
  table_ = TableMembers{*columns, *getRowCount, *getArray, *endOfTable};
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
  return counted > 0 ? static_cast<size_t>(counted) : 0;
}

bool FolderTableReader::AtEnd(const DispatchDriver& table) const { return table.GetBool(table_->endOfTable); }

// The next rows, at most `rows`; no value when Outlook refuses to be asked for more rows than the
// table has left, as some versions do.
std::optional<Variant> FolderTableReader::AskRows(const DispatchDriver& table, size_t rows) const {
  try {
    return table.InvokeMethod(table_->getArray, Variant::Int32(static_cast<int32_t>(rows)));
  } catch (const AutomationError& error) {
    if (error.Result() == E_INVALIDARG) return std::nullopt;
    throw;
  }
}

// Reads to the table's end. Outlook's row count may only be near the truth: it says how many rows
// to ask for, and the end of the table says when all are read. Asked for more rows than are left,
// a table answers those left, or refuses, and is then asked for fewer. The table is a live view of
// the folder: a count that moved while it was read fails the read, lest a moving row hide an item.
FolderTableReader::TableRead FolderTableReader::ReadRows(const DispatchDriver& table,
                                                         const picture::FolderPicture& known) const {
  static const std::vector<CellForm> kColumns = {CellForm::Bytes, CellForm::Text};
  const size_t counted = RowCount(table);
  size_t expected = counted;
  size_t limit = kRowsPerCall;
  TableRead read;
  for (;;) {
    const size_t taken = read.items.size();
    // However low the count, a table that goes on far beyond it is not believed.
    if (taken > 2 * counted + kRowsPerCall) throw OddTable("gave far more rows than it counted");
    size_t wanted = std::min(limit, expected > taken ? expected - taken : 0);
    // The count was low: the table says whether rows are left.
    if (wanted == 0) {
      if (AtEnd(table)) break;
      wanted = limit;
    }
    const std::optional<Variant> answer = AskRows(table, wanted);
    if (!answer) {
      if (AtEnd(table)) break;
      if (wanted == 1) throw OddTable("refused its next row");
      limit = wanted / 2;
      continue;
    }
    const auto rows = TextRowsOf(*answer, kColumns, wanted);
    if (rows.empty() && !AtEnd(table)) throw OddTable("gave no rows before its end");
    if (rows.size() < wanted) expected = taken + rows.size();
    for (const auto& row : rows) {
      picture::ReadItem item{Ansi(row[kIdColumn]), std::nullopt};
      if (item.id.empty()) throw OddTable("gave a row without its item's id");
      const std::wstring& subject = row[kSubjectColumn];
      if (subject.size() < kMaybeCutLength) {
        item.subject = Ansi(subject);
      } else if (known.NeedsSubject(item.id)) {
        read.cutSubjects.push_back(read.items.size());
      }
      read.items.push_back(std::move(item));
    }
    if (rows.empty()) break;
  }
  if (RowCount(table) != counted) throw OddTable("changed while it was read");
  return read;
}

}  // namespace orvane
