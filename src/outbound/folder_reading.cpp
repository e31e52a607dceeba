#include "outbound/folder_reading.h"

#include "base/error_log.h"
#include "outlook/table_reading.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace orvane::outbound {

namespace {

// Rows asked of the table at one call: few calls, and answers of a moderate size.
constexpr size_t kRowsPerCall = 500;
// The columns read: the item's long-term id, which a table gives as bytes whatever form its
// EntryID column has, and the subject.
constexpr size_t kIdColumn = 0;
constexpr size_t kSubjectColumn = 1;
// Reads of a collection that keeps moving before its picture is kept for the next check.
constexpr int kItemReads = 3;

void LogFolderLine(const char* folderName, const char* what) {
  char line[150];
  std::snprintf(line, sizeof line, "OrvaneOutlook=>CheckDeletedItemsInOutlook::The %s folder %s", folderName, what);
  WriteLog(line);
}

// One pass over the collection as it was counted. Throws AutomationError when an item cannot be
// had, as when the collection shrank meanwhile.
std::vector<outbound::ReadItem> ReadItemsOnce(const outlook::DispatchDriver& items, int32_t count,
                                              outlook::DispId subjectMember, const outbound::FolderPicture& known) {
  std::vector<outbound::ReadItem> read;
  for (int32_t index = 1; index <= count; ++index) {
    const outlook::DispatchDriver item = items.InvokeForObject(outlook::kItem, outlook::Variant::Int32(index));
    outbound::ReadItem entry{item.GetText(outlook::kEntryId), std::nullopt};
    if (known.NeedsSubject(entry.id)) entry.subject = item.GetText(subjectMember);
    read.push_back(std::move(entry));
  }
  return read;
}

}  // namespace

// An item added or removed while the items are read by index moves the others: one that slid
// out of reach would be taken for deleted. A pass counts as read only when the count after it is
// the count it read by.
std::optional<std::vector<outbound::ReadItem>> ReadItemsOneByOne(const outlook::DispatchDriver& items,
                                                                 outlook::DispId subjectMember,
                                                                 const outbound::FolderPicture& known) {
  int32_t count = items.GetInt32(outlook::kCount);
  for (int read = 0; read < kItemReads; ++read) {
    std::vector<outbound::ReadItem> found;
    try {
      found = ReadItemsOnce(items, count, subjectMember, known);
    } catch (const outlook::AutomationError&) {
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

std::optional<std::vector<outbound::ReadItem>> FolderTableReader::ReadFolder(
    const outlook::DispatchDriver& nameSpace, const outlook::DispatchDriver& folder, std::string_view storeId,
    outlook::DispId subjectMember, const outbound::FolderPicture& known, const char* folderName) {
  try {
    if (std::optional<TableRead> read = ReadTable(folder, known)) {
      if (!read->cutSubjects.empty()) {
        for (const size_t index : read->cutSubjects) {
          outbound::ReadItem& item = read->items[index];
          // Outlook finds an item by its id surely only in the store named with it.
          const outlook::DispatchDriver whole = nameSpace.InvokeForObject(
              outlook::kGetItemFromId, outlook::Variant::Text(item.id), outlook::Variant::Text(storeId));
          item.subject = whole.GetText(subjectMember);
        }
      }
      lastTableFailures_.erase(folderName);
      return std::move(read->items);
    }
  } catch (const outlook::AutomationError& error) {
    LogTableFailure(folderName, error.what());
  }
  std::optional<std::vector<outbound::ReadItem>> read =
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

std::optional<FolderTableReader::TableRead> FolderTableReader::ReadTable(const outlook::DispatchDriver& folder,
                                                                         const outbound::FolderPicture& known) {
  outlook::DispatchDriver table;
  try {
    table = folder.InvokeForObject(outlook::kGetTable);
  } catch (const outlook::AutomationError& error) {
    // An Outlook older than its tables.
    if (error.Result() == DISP_E_MEMBERNOTFOUND) return std::nullopt;
    throw;
  }
  if (!KnowsTableMembers(table)) return std::nullopt;
  const outlook::DispatchDriver columns = table.GetObject(table_->columns);
  if (!KnowsColumnsMembers(columns)) return std::nullopt;
  // Only the two columns wanted, in a known order; the table starts again before its first row.
  columns.InvokeMethod(columns_->removeAll);
  columns.InvokeMethod(columns_->add, outlook::Variant::Wide(outlook::kLongTermEntryIdColumn));
  columns.InvokeMethod(columns_->add, outlook::Variant::Text("Subject"));
  return ReadRows(table, known);
}

bool FolderTableReader::KnowsTableMembers(const outlook::DispatchDriver& table) {
  if (!table_) table_ = outlook::FindTableMembers(table);
  return table_.has_value();
}

bool FolderTableReader::KnowsColumnsMembers(const outlook::DispatchDriver& columns) {
  if (columns_) return true;
  const auto removeAll = outlook::MemberIdOf(columns, L"RemoveAll");
  const auto add = outlook::MemberIdOf(columns, L"Add");
  if (!removeAll || !add) return false;
  columns_ = ColumnsMembers{*removeAll, *add};
  return true;
}

FolderTableReader::TableRead FolderTableReader::ReadRows(const outlook::DispatchDriver& table,
                                                         const outbound::FolderPicture& known) const {
  static const std::vector<outlook::CellForm> kColumns = {outlook::CellForm::Bytes, outlook::CellForm::Text};
  TableRead read;
  outlook::ReadTableRows(table, *table_, kColumns, kRowsPerCall, [&](std::vector<std::wstring>& row) {
    outbound::ReadItem item{outlook::CellText(row[kIdColumn]), std::nullopt};
    if (item.id.empty()) throw outlook::OddTable("gave a row without its item's id");
    const std::wstring& subject = row[kSubjectColumn];
    if (subject.size() < outlook::kCutTextLength) {
      item.subject = outlook::CellText(subject);
    } else if (known.NeedsSubject(item.id)) {
      read.cutSubjects.push_back(read.items.size());
    }
    read.items.push_back(std::move(item));
  });
  return read;
}

}  // namespace orvane::outbound
