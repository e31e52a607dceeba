// SubjectLookup: finding an item by its subject through its folder's table, the default columns
// only (adding a column is a call Outlook's Object Model Guard protects), then opening the one
// item found by its id.
#include "base/error_log.h"
#include "inbound/item_lookup.h"
#include "inbound/lookup_choice.h"
#include "outlook/com_types.h"
#include "outlook/outlook_folders.h"
#include "outlook/outlook_session.h"

#include <iterator>

namespace orvane {

namespace {

// Rows asked of the table at one call: a folder of 10,000 items in five calls.
constexpr size_t kRowsPerCall = 2000;
// The default columns every folder's table starts with, in Outlook's documented order.
constexpr size_t kIdColumn = 0;
constexpr size_t kSubjectColumn = 1;
constexpr size_t kCreatedColumn = 2;
constexpr const wchar_t* kDefaultColumns[] = {L"EntryID", L"Subject", L"CreationTime"};
// A table keeps at most 255 bytes of a text on some stores (126 UTF-16 characters and the
// terminating zero): a subject this long may have lost its end.
constexpr size_t kMaybeCutLength = 126;

std::string Ansi(const std::wstring& text) { return WideToAnsi(text.data(), text.size()); }

// The item of that id, once it is known to bear the subject: an id that opens another item, as a
// short-term id might once its session is gone, must not lead a command to the wrong item.
DispatchDriver OpenNamedItem(const std::string& id, const std::string& storeId, const items::ItemKind& kind,
                             std::string_view subject) {
  DispatchDriver item =
      outlookNamespace.InvokeForObject(outlook::kGetItemFromId, Variant::Text(id), Variant::Text(storeId));
  if (!SubjectNames(item.GetText(kind.subjectMember), subject)) {
    throw OddTable("gave an id that opens an item of another subject");
  }
  return item;
}

// Of the items with the subject, the one created earliest; of several created at the same moment,
// the one whose own (long-term) EntryID comes first.
DispatchDriver OpenChosen(const std::vector<lookup::Match>& matches, const std::string& storeId,
                          const items::ItemKind& kind, std::string_view subject) {
  const std::vector<size_t> earliest = lookup::EarliestCreated(matches);
  if (earliest.empty()) return {};
  if (earliest.size() == 1) return OpenNamedItem(matches[earliest.front()].id, storeId, kind, subject);
  std::vector<DispatchDriver> items;
  std::vector<std::string> ownIds;
  for (const size_t index : earliest) {
    items.push_back(OpenNamedItem(matches[index].id, storeId, kind, subject));
    ownIds.push_back(items.back().GetText(outlook::kEntryId));
  }
  return std::move(items[lookup::FirstEntryId(ownIds)]);
}

}  // namespace

DispatchDriver SubjectLookup::Find(const items::ItemKind& kind, std::string_view subject) {
  const DispatchDriver folder = GetDefaultFolder(kind.folder);
  try {
    DispatchDriver found = FindInTable(folder, kind, subject);
    lastTableFailures_.erase(kind.folder);
    return found;
  } catch (const AutomationError& error) {
    // The columns are checked again once the table answers well again.
    columnCounts_.erase(kind.folder);
    LogTableFailure(kind, error.what());
  }
  return FindItemInItems(folder.GetObject(outlook::kItems), kind, subject);
}

DispatchDriver SubjectLookup::FindInTable(const DispatchDriver& folder, const items::ItemKind& kind,
                                          std::string_view subject) {
  DispatchDriver table;
  try {
    table = folder.InvokeForObject(outlook::kGetTable);
  } catch (const AutomationError& error) {
    // An Outlook older than its tables.
    if (error.Result() == DISP_E_MEMBERNOTFOUND) throw OddTable("is not offered by this Outlook");
    throw;
  }
  if (!table_) table_ = FindTableMembers(table);
  if (!table_) throw OddTable("lacks a member of Outlook's tables");
  auto columnCount = columnCounts_.find(kind.folder);
  if (columnCount == columnCounts_.end()) {
    columnCount = columnCounts_.emplace(kind.folder, CheckDefaultColumns(table)).first;
  }
  std::vector<CellForm> forms(columnCount->second, CellForm::Any);
  forms[kIdColumn] = CellForm::Text;
  forms[kSubjectColumn] = CellForm::Text;
  forms[kCreatedColumn] = CellForm::Date;

  std::vector<lookup::Match> matches;
  std::vector<lookup::Match> maybeCut;
  ReadTableRows(table, *table_, forms, kRowsPerCall, [&](std::vector<std::wstring>& row) {
    const std::optional<double> created = DateOfCell(row[kCreatedColumn]);
    if (row[kIdColumn].empty() || !created) throw OddTable("gave a row without its item's id or creation time");
    const std::string cell = Ansi(row[kSubjectColumn]);
    if (SubjectNames(cell, subject)) {
      matches.push_back({Ansi(row[kIdColumn]), *created});
    } else if (row[kSubjectColumn].size() >= kMaybeCutLength && SubjectMayStartWith(cell, subject)) {
      maybeCut.push_back({Ansi(row[kIdColumn]), *created});
    }
  });
  if (matches.empty() && maybeCut.empty()) return {};
  const std::string storeId = folder.GetText(outlook::kStoreId);
  for (lookup::Match& maybe : maybeCut) {
    // Outlook finds an item by its id surely only in the store named with it.
    const DispatchDriver item =
        outlookNamespace.InvokeForObject(outlook::kGetItemFromId, Variant::Text(maybe.id), Variant::Text(storeId));
    if (SubjectNames(item.GetText(kind.subjectMember), subject)) matches.push_back(std::move(maybe));
  }
  return OpenChosen(matches, storeId, kind, subject);
}

size_t SubjectLookup::CheckDefaultColumns(const DispatchDriver& table) {
  const DispatchDriver columns = table.GetObject(table_->columns);
  if (!columns_) {
    const auto count = MemberIdOf(columns, L"Count");
    const auto item = MemberIdOf(columns, L"Item");
    if (!count || !item) throw OddTable("lacks a member of Outlook's table columns");
    const DispatchDriver first = columns.InvokeForObject(*item, Variant::Int32(1));
    const auto name = MemberIdOf(first, L"Name");
    if (!name) throw OddTable("lacks a member of Outlook's table columns");
    columns_ = ColumnsMembers{*count, *item, *name};
  }
  const int32_t count = columns.GetInt32(columns_->count);
  if (count < static_cast<int32_t>(std::size(kDefaultColumns))) throw OddTable("has fewer columns than its defaults");
  for (size_t i = 0; i < std::size(kDefaultColumns); ++i) {
    const DispatchDriver column = columns.InvokeForObject(columns_->item, Variant::Int32(static_cast<int32_t>(i + 1)));
    if (column.GetText(columns_->name) != Ansi(kDefaultColumns[i])) {
      throw OddTable("does not start with the columns EntryID, Subject and CreationTime");
    }
  }
  return static_cast<size_t>(count);
}

void SubjectLookup::LogTableFailure(const items::ItemKind& kind, const std::string& failure) {
  std::string& last = lastTableFailures_[kind.folder];
  if (failure == last) return;
  last = failure;
  WriteLog((std::string("OrvaneOutlook=>FindItemBySubject::The ") + kind.folderName +
            " folder is read item by item: " + failure)
               .c_str());
}

}  // namespace orvane
