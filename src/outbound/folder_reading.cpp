#include "outbound/folder_reading.h"

#include "base/error_log.h"
#include "outlook/table_reading.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_set>

namespace orvane::outbound {

namespace {

// Cells asked of the table at one call: a folder of 10,000 items in one call once the columns not
// read are gone, in three calls where all eight of a task table's default columns stay.
constexpr size_t kCellsPerCall = 30000;
// The default columns read, by their names, and their places in a layout.
constexpr const wchar_t* kIdName = L"EntryID";
constexpr const wchar_t* kSubjectName = L"Subject";
constexpr const wchar_t* kModifiedName = L"LastModificationTime";
constexpr size_t kId = 0;
constexpr size_t kSubject = 1;
constexpr size_t kModified = 2;
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
    entry.lastModified = item.GetDate(outlook::kLastModificationTime);
    if (known.NeedsSubject(entry.id)) entry.subject = item.GetText(subjectMember);
    read.push_back(std::move(entry));
  }
  return read;
}

// An item saved while the collection is read by index may move to its end, where it is read again
// in the place of one that slid out of reach, the count unchanged.
bool HoldsAnItemTwice(const std::vector<outbound::ReadItem>& read) {
  std::unordered_set<std::string> ids;
  for (const outbound::ReadItem& item : read) {
    if (!ids.insert(item.id).second) return true;
  }
  return false;
}

// An id in the form of an item's own EntryID: a long-term one, whose four flag bytes are zero. A
// short-term id names its item only in the session, and only as long as the session lasts.
bool IsLongTermId(const std::string& id) { return id.size() > 8 && id.compare(0, 8, "00000000") == 0; }

}  // namespace

// An item added or removed while the items are read by index moves the others: one that slid
// out of reach would be taken for deleted. A pass counts as read only when the count after it is
// the count it read by, and it met no item twice.
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
    if (after == count && !HoldsAnItemTwice(found)) return found;
    count = after;
  }
  return std::nullopt;
}

std::optional<std::vector<outbound::ReadItem>> FolderTableReader::ReadFolder(
    const outlook::DispatchDriver& nameSpace, const outlook::DispatchDriver& folder, std::string_view storeId,
    outlook::DispId subjectMember, const outbound::FolderPicture& known, const char* folderName) {
  FolderState& state = folders_[std::string(folderName) + '\n' + std::string(storeId)];
  try {
    // Its table would give ids the reader cannot take to their items without the column refused.
    if (state.needsLongTermColumn && !state.longTermColumnAdded && addRefused_) {
      throw outlook::AutomationError(E_ACCESSDENIED, *addRefused_);
    }
    if (auto read = ReadTable(nameSpace, folder, storeId, subjectMember, known, state, folderName)) {
      lastTableFailures_.erase(folderName);
      return read;
    }
  } catch (const outlook::AutomationError& error) {
    // The columns are looked at again once the table answers well again.
    state.layout.reset();
    LogTableFailure(folderName, error.what());
  }
  std::optional<std::vector<outbound::ReadItem>> read =
      ReadItemsOneByOne(folder.GetObject(outlook::kItems), subjectMember, known);
  if (!read) LogFolderLine(folderName, "kept changing while it was read; it is compared at the next check");
  return read;
}

void FolderTableReader::ForgetShortTermIds() noexcept {
  for (auto& [name, state] : folders_) state.longTermIds.clear();
}

void FolderTableReader::LogTableFailure(const char* folderName, const std::string& failure) {
  std::string& last = lastTableFailures_[folderName];
  if (failure == last) return;
  last = failure;
  LogFolderLine(folderName, ("is read item by item: " + failure).c_str());
}

// The table as Outlook gives it, its default columns. Short-term ids the reader cannot take to
// their items' long-term ones have the long-term id column added, once in the folder's life in
// the reader, and the table read again; after that, each such item is opened by its short-term
// id in the folder's store, and gives its own EntryID.
std::optional<std::vector<outbound::ReadItem>> FolderTableReader::ReadTable(
    const outlook::DispatchDriver& nameSpace, const outlook::DispatchDriver& folder, std::string_view storeId,
    outlook::DispId subjectMember, const outbound::FolderPicture& known, FolderState& state, const char* folderName) {
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
  if (!state.layout) state.layout = LearnLayout(columns);
  const Layout layout = WithoutUnreadColumns(columns, *state.layout, folderName);
  // Where the table cannot count its rows, the folder's Items count for it.
  const auto folderCount = [&folder] {
    return static_cast<size_t>(std::max(0, folder.GetObject(outlook::kItems).GetInt32(outlook::kCount)));
  };
  TableRead read = ReadRows(table, layout, false, known, state, folderCount);
  if (!read.unknownIds.empty() && !state.longTermColumnAdded) {
    state.needsLongTermColumn = true;
    if (addRefused_) throw outlook::AutomationError(E_ACCESSDENIED, *addRefused_);
    try {
      // The table starts again before its first row.
      columns.InvokeMethod(columns_->add, outlook::Variant::Wide(outlook::kLongTermEntryIdColumn));
    } catch (const outlook::AutomationError& error) {
      addRefused_ = error.what();
      throw;
    }
    state.longTermColumnAdded = true;
    read = ReadRows(table, layout, true, known, state, folderCount);
  }
  for (const size_t index : read.unknownIds) {
    outbound::ReadItem& item = read.items[index];
    const std::string shortTermId = item.id;
    const outlook::DispatchDriver whole = nameSpace.InvokeForObject(
        outlook::kGetItemFromId, outlook::Variant::Text(shortTermId), outlook::Variant::Text(storeId));
    item.id = whole.GetText(outlook::kEntryId);
    state.longTermIds[shortTermId] = LongTermId{item.id, item.lastModified};
    if (!item.subject && known.NeedsSubject(item.id)) item.subject = whole.GetText(subjectMember);
  }
  for (const size_t index : read.cutSubjects) {
    outbound::ReadItem& item = read.items[index];
    // Outlook finds an item by its id surely only in the store named with it.
    const outlook::DispatchDriver whole = nameSpace.InvokeForObject(
        outlook::kGetItemFromId, outlook::Variant::Text(item.id), outlook::Variant::Text(storeId));
    item.subject = whole.GetText(subjectMember);
  }
  return std::move(read.items);
}

bool FolderTableReader::KnowsTableMembers(const outlook::DispatchDriver& table) {
  if (!table_) table_ = outlook::FindTableMembers(table);
  return table_.has_value();
}

bool FolderTableReader::KnowsColumnsMembers(const outlook::DispatchDriver& columns) {
  if (columns_) return true;
  const auto count = outlook::MemberIdOf(columns, L"Count");
  const auto item = outlook::MemberIdOf(columns, L"Item");
  const auto add = outlook::MemberIdOf(columns, L"Add");
  if (!count || !item || !add) return false;
  // A column's Name is looked up on the first column.
  const auto name = outlook::MemberIdOf(columns.InvokeForObject(*item, outlook::Variant::Int32(1)), L"Name");
  if (!name) return false;
  columns_ = ColumnsMembers{*count, *item, *name, *add, outlook::MemberIdOf(columns, L"Remove")};
  return true;
}

FolderTableReader::Layout FolderTableReader::WithoutUnreadColumns(const outlook::DispatchDriver& columns,
                                                                  const Layout& layout, const char* folderName) {
  std::optional<std::string> failure = "Outlook's table columns lack Remove";
  Layout left = layout;
  if (columns_->remove) {
    outlook::ColumnsRemoved removed = outlook::RemoveUnreadColumns(columns, *columns_->remove, layout);
    failure = std::move(removed.failure);
    left = std::move(removed.layout);
  }
  if (failure && !removeFailureLogged_) {
    removeFailureLogged_ = true;
    LogFolderLine(folderName, ("is read with all its default columns: " + *failure).c_str());
  }
  return left;
}

// Each column's name until the three read are found.
FolderTableReader::Layout FolderTableReader::LearnLayout(const outlook::DispatchDriver& columns) const {
  const int32_t count = columns.GetInt32(columns_->count);
  if (count < 3) throw outlook::OddTable("has fewer columns than its defaults");
  const std::string id = outlook::CellText(kIdName);
  const std::string subject = outlook::CellText(kSubjectName);
  const std::string modified = outlook::CellText(kModifiedName);
  std::optional<size_t> at[3];
  for (int32_t index = 1; index <= count && !(at[0] && at[1] && at[2]); ++index) {
    const std::string name =
        columns.InvokeForObject(columns_->item, outlook::Variant::Int32(index)).GetText(columns_->name);
    const size_t column = static_cast<size_t>(index) - 1;
    if (!at[0] && name == id) at[0] = column;
    if (!at[1] && name == subject) at[1] = column;
    if (!at[2] && name == modified) at[2] = column;
  }
  if (!at[0] || !at[1] || !at[2]) {
    throw outlook::OddTable("lacks one of the columns EntryID, Subject and LastModificationTime");
  }
  return Layout{static_cast<size_t>(count), {*at[0], *at[1], *at[2]}};
}

FolderTableReader::TableRead FolderTableReader::ReadRows(const outlook::DispatchDriver& table, const Layout& layout,
                                                         bool withLongTermColumn, const outbound::FolderPicture& known,
                                                         FolderState& state,
                                                         const std::function<size_t()>& folderCount) const {
  std::vector<outlook::CellForm> forms(layout.columns, outlook::CellForm::Any);
  forms[layout.at[kId]] = outlook::CellForm::Text;
  forms[layout.at[kSubject]] = outlook::CellForm::Text;
  forms[layout.at[kModified]] = outlook::CellForm::Date;
  // An added column comes after the others.
  if (withLongTermColumn) forms.push_back(outlook::CellForm::Bytes);
  std::unordered_map<std::string, LongTermId> seen;
  TableRead read;
  const size_t rowsPerCall = kCellsPerCall / forms.size();
  outlook::ReadTableRows(
      table, *table_, forms, rowsPerCall,
      [&](std::vector<std::wstring>& row) {
        outbound::ReadItem item{outlook::CellText(row[layout.at[kId]]), std::nullopt};
        if (item.id.empty()) throw outlook::OddTable("gave a row without its item's id");
        item.lastModified = outlook::DateOfCell(row[layout.at[kModified]]).value_or(0);
        bool unknownId = false;
        if (!IsLongTermId(item.id)) {
          std::string longTermId;
          if (withLongTermColumn) {
            longTermId = outlook::CellText(row.back());
          } else if (const auto learnt = state.longTermIds.find(item.id);
                     learnt != state.longTermIds.end() && learnt->second.modified == item.lastModified) {
            longTermId = learnt->second.id;
          }
          if (longTermId.empty()) {
            unknownId = true;
          } else {
            seen[item.id] = LongTermId{longTermId, item.lastModified};
            item.id = std::move(longTermId);
          }
        }
        const std::wstring& subject = row[layout.at[kSubject]];
        if (subject.size() < outlook::kCutTextLength) {
          item.subject = outlook::CellText(subject);
        } else if (!unknownId && known.NeedsSubject(item.id)) {
          read.cutSubjects.push_back(read.items.size());
        }
        // An item opened by its short-term id gives a subject the table may have cut.
        if (unknownId) read.unknownIds.push_back(read.items.size());
        read.items.push_back(std::move(item));
      },
      folderCount);
  // The short-term ids of the items gone are forgotten.
  state.longTermIds = std::move(seen);
  return read;
}

}  // namespace orvane::outbound
