// SubjectLookup: finding an item by its subject through its folder's table, the default columns
// only (adding a column is a call Outlook's Object Model Guard protects, removing one is not: those
// not read are removed), then opening the one item found by its id.
#include "base/error_log.h"
#include "inbound/item_lookup.h"
#include "inbound/lookup_choice.h"
#include "items/subject_match.h"
#include "outlook/com_types.h"
#include "outlook/outlook_folders.h"
#include "outlook/outlook_session.h"
#include "outlook/table_reading.h"

#include <iterator>

namespace orvane::inbound {

namespace {

// Cells asked of the table at one call: a folder of 10,000 items in one call once the columns not
// read are gone, in three calls where all eight of a task table's default columns stay.
constexpr size_t kCellsPerCall = 30000;
// The default columns every folder's table starts with, in Outlook's documented order.
constexpr size_t kIdColumn = 0;
constexpr size_t kSubjectColumn = 1;
constexpr size_t kCreatedColumn = 2;
constexpr const wchar_t* kDefaultColumns[] = {L"EntryID", L"Subject", L"CreationTime"};

// The item of that id, once it is known to bear the subject: an id that opens another item, as a
// short-term id might once its session is gone, must not lead a command to the wrong item.
outlook::DispatchDriver OpenNamedItem(const outlook::OutlookSession& session, const std::string& id,
                                      const std::string& storeId, const items::ItemKind& kind,
                                      std::string_view subject) {
  outlook::DispatchDriver item = session.Namespace().InvokeForObject(
      outlook::kGetItemFromId, outlook::Variant::Text(id), outlook::Variant::Text(storeId));
  if (!items::SubjectNames(item.GetText(kind.subjectMember), subject)) {
    throw outlook::OddTable("gave an id that opens an item of another subject");
  }
  return item;
}

// Of the items with the subject, the one the record means. Where it says no more than its subject,
// the one created earliest, of several created at the same moment the one whose own (long-term)
// EntryID comes first: only those are opened. Else each is opened for its link id; they share a
// subject, so they are few.
outlook::DispatchDriver OpenChosen(const outlook::OutlookSession& session, const std::vector<inbound::Match>& matches,
                                   const std::string& storeId, const items::ItemKind& kind, std::string_view subject,
                                   const ItemMeant& meant) {
  if (meant.ReadsLinkIds() && matches.size() > 1) {
    std::vector<outlook::DispatchDriver> items;
    std::vector<double> created;
    for (const inbound::Match& match : matches) {
      items.push_back(OpenNamedItem(session, match.id, storeId, kind, subject));
      created.push_back(match.created);
    }
    return ChooseMeant(std::move(items), std::move(created), kind, meant);
  }
  const std::vector<size_t> earliest = inbound::EarliestCreated(matches);
  if (earliest.empty()) return {};
  if (earliest.size() == 1) return OpenNamedItem(session, matches[earliest.front()].id, storeId, kind, subject);
  std::vector<outlook::DispatchDriver> items;
  std::vector<std::string> ownIds;
  for (const size_t index : earliest) {
    items.push_back(OpenNamedItem(session, matches[index].id, storeId, kind, subject));
    ownIds.push_back(items.back().GetText(outlook::kEntryId));
  }
  return std::move(items[inbound::FirstEntryId(ownIds)]);
}

}  // namespace

outlook::DispatchDriver SubjectLookup::Find(const items::ItemKind& kind, std::string_view subject,
                                            const ItemMeant& meant) {
  const outlook::DispatchDriver folder = outlook::GetDefaultFolder(session_, kind.folder);
  try {
    outlook::DispatchDriver found = FindInTable(folder, kind, subject, meant);
    lastTableFailures_.erase(kind.folder);
    return found;
  } catch (const outlook::AutomationError& error) {
    // The columns are checked again once the table answers well again.
    columnCounts_.erase(kind.folder);
    LogTableFailure(kind, error.what());
  }
  return FindMeantInItems(folder.GetObject(outlook::kItems), kind, subject, meant);
}

outlook::DispatchDriver SubjectLookup::FindInTable(const outlook::DispatchDriver& folder, const items::ItemKind& kind,
                                                   std::string_view subject, const ItemMeant& meant) {
  outlook::DispatchDriver table;
  try {
    table = folder.InvokeForObject(outlook::kGetTable);
  } catch (const outlook::AutomationError& error) {
    // An Outlook older than its tables.
    if (error.Result() == DISP_E_MEMBERNOTFOUND) throw outlook::OddTable("is not offered by this Outlook");
    throw;
  }
  if (!table_) table_ = outlook::FindTableMembers(table);
  if (!table_) throw outlook::OddTable("lacks a member of Outlook's tables");
  const outlook::DispatchDriver columns = table.GetObject(table_->columns);
  auto columnCount = columnCounts_.find(kind.folder);
  if (columnCount == columnCounts_.end()) {
    columnCount = columnCounts_.emplace(kind.folder, CheckDefaultColumns(columns)).first;
  }
  // The three read come first, and stay where they are as the others go.
  size_t columnsLeft = columnCount->second;
  std::optional<std::string> removeFailure = "Outlook's table columns lack Remove";
  if (columns_->remove) {
    const outlook::ColumnsRemoved removed = outlook::RemoveUnreadColumns(
        columns, *columns_->remove, {columnsLeft, {kIdColumn, kSubjectColumn, kCreatedColumn}});
    columnsLeft = removed.layout.columns;
    removeFailure = removed.failure;
  }
  if (removeFailure && !removeFailureLogged_) {
    removeFailureLogged_ = true;
    LogFolderLine(kind, "is read with all its default columns: " + *removeFailure);
  }
  std::vector<outlook::CellForm> forms(columnsLeft, outlook::CellForm::Any);
  forms[kIdColumn] = outlook::CellForm::Text;
  forms[kSubjectColumn] = outlook::CellForm::Text;
  forms[kCreatedColumn] = outlook::CellForm::Date;

  std::vector<inbound::Match> matches;
  std::vector<inbound::Match> maybeCut;
  outlook::ReadTableRows(table, *table_, forms, kCellsPerCall / forms.size(), [&](std::vector<std::wstring>& row) {
    const std::optional<double> created = outlook::DateOfCell(row[kCreatedColumn]);
    if (row[kIdColumn].empty() || !created)
      throw outlook::OddTable("gave a row without its item's id or creation time");
    const std::string cell = outlook::CellText(row[kSubjectColumn]);
    if (items::SubjectNames(cell, subject)) {
      matches.push_back({outlook::CellText(row[kIdColumn]), *created});
    } else if (row[kSubjectColumn].size() >= outlook::kCutTextLength && items::SubjectMayStartWith(cell, subject)) {
      maybeCut.push_back({outlook::CellText(row[kIdColumn]), *created});
    }
  });
  if (matches.empty() && maybeCut.empty()) return {};
  const std::string storeId = folder.GetText(outlook::kStoreId);
  for (inbound::Match& maybe : maybeCut) {
    // Outlook finds an item by its id surely only in the store named with it.
    const outlook::DispatchDriver item = session_.Namespace().InvokeForObject(
        outlook::kGetItemFromId, outlook::Variant::Text(maybe.id), outlook::Variant::Text(storeId));
    if (items::SubjectNames(item.GetText(kind.subjectMember), subject)) matches.push_back(std::move(maybe));
  }
  return OpenChosen(session_, matches, storeId, kind, subject, meant);
}

size_t SubjectLookup::CheckDefaultColumns(const outlook::DispatchDriver& columns) {
  if (!columns_) {
    const auto count = outlook::MemberIdOf(columns, L"Count");
    const auto item = outlook::MemberIdOf(columns, L"Item");
    if (!count || !item) throw outlook::OddTable("lacks a member of Outlook's table columns");
    const outlook::DispatchDriver first = columns.InvokeForObject(*item, outlook::Variant::Int32(1));
    const auto name = outlook::MemberIdOf(first, L"Name");
    if (!name) throw outlook::OddTable("lacks a member of Outlook's table columns");
    columns_ = ColumnsMembers{*count, *item, *name, outlook::MemberIdOf(columns, L"Remove")};
  }
  const int32_t count = columns.GetInt32(columns_->count);
  if (count < static_cast<int32_t>(std::size(kDefaultColumns)))
    throw outlook::OddTable("has fewer columns than its defaults");
  for (size_t i = 0; i < std::size(kDefaultColumns); ++i) {
    const outlook::DispatchDriver column =
        columns.InvokeForObject(columns_->item, outlook::Variant::Int32(static_cast<int32_t>(i + 1)));
    if (column.GetText(columns_->name) != outlook::CellText(kDefaultColumns[i])) {
      throw outlook::OddTable("does not start with the columns EntryID, Subject and CreationTime");
    }
  }
  return static_cast<size_t>(count);
}

void SubjectLookup::LogTableFailure(const items::ItemKind& kind, const std::string& failure) {
  std::string& last = lastTableFailures_[kind.folder];
  if (failure == last) return;
  last = failure;
  LogFolderLine(kind, "is read item by item: " + failure);
}

void SubjectLookup::LogFolderLine(const items::ItemKind& kind, const std::string& what) {
  WriteLog((std::string("OrvaneOutlook=>FindItemBySubject::The ") + kind.folderName + " folder " + what).c_str());
}

}  // namespace orvane::inbound
