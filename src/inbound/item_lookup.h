// Finding an Outlook item again by its subject in one of the default folders.
#pragma once

#include "inbound/lookup_choice.h"
#include "items/item_kinds.h"
#include "outlook/dispatch_driver.h"
#include "outlook/outlook_session.h"
#include "outlook/table_reading.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::inbound {

// Item by item: the first item of the Items collection, in its order, whose subject the record
// names; empty when none does. Count once, then Item(i) and its subject for each index passed.
outlook::DispatchDriver FindItemInItems(const outlook::DispatchDriver& items, const items::ItemKind& kind,
                                        std::string_view subject);

// The first item of the kind's folder, in folder order, whose subject matches, read item by item; empty
// when none does.
outlook::DispatchDriver FindItemBySubject(outlook::OutlookSession& session, const items::ItemKind& kind,
                                          std::string_view subject);

// Item by item, the item the record means: for a record that says no more than its subject the first
// match in Items order (FindItemInItems); else every match, of which ChooseCandidate takes one.
outlook::DispatchDriver FindMeantInItems(const outlook::DispatchDriver& items, const items::ItemKind& kind,
                                         std::string_view subject, const ItemMeant& meant);

// The candidate the record means among items that bear its subject, each opened: their own
// EntryIDs and link ids read (CreationTime given), then ChooseCandidate. Empty for no items.
outlook::DispatchDriver ChooseMeant(std::vector<outlook::DispatchDriver> items, std::vector<double> created,
                                    const items::ItemKind& kind, const ItemMeant& meant);

// Finds items by subject through their folder's table: the default columns EntryID, Subject and
// CreationTime of every item, the other default columns removed from each table first (a table
// whose columns cannot be removed is read whole, logged once in the lookup's life), a batch of rows
// at a call, then the one item found opened by its id.
// Of several items with the subject it takes the one the record means (ChooseCandidate), opening
// each of them by its id to read its link id where the record says more than its subject. Where the table is missing,
// fails, answers oddly or gives an id that does not open the item it named, the folder is searched item by item as
// FindItemBySubject does (logged once while it repeats). The table's members are looked up by name
// once, and kept for the lookup's life; a folder's default columns are checked at its first
// lookup and again after a failure (each table of a folder has the same default columns).
class SubjectLookup {
public:
  explicit SubjectLookup(outlook::OutlookSession& session) noexcept : session_(session) {}

  // The item the record names; empty when the folder has none. A failure of the item-by-item
  // search throws AutomationError.
  outlook::DispatchDriver Find(const items::ItemKind& kind, std::string_view subject,
                               const ItemMeant& meant = ItemMeant::BySubject());

private:
  struct ColumnsMembers {
    outlook::DispId count;
    outlook::DispId item;
    outlook::DispId name;
    // Absent where the columns do not answer the name.
    std::optional<outlook::DispId> remove;
  };
  // The item found through the table, or empty for none; throws AutomationError for any failure
  // or odd answer of the table.
  outlook::DispatchDriver FindInTable(const outlook::DispatchDriver& folder, const items::ItemKind& kind,
                                      std::string_view subject, const ItemMeant& meant);
  // The number of the table's columns, once its first three are known to be the default
  // EntryID, Subject and CreationTime; throws AutomationError when they are not.
  size_t CheckDefaultColumns(const outlook::DispatchDriver& columns);
  void LogTableFailure(const items::ItemKind& kind, const std::string& failure);
  void LogFolderLine(const items::ItemKind& kind, const std::string& what);

  outlook::OutlookSession& session_;
  std::optional<outlook::TableMembers> table_;
  std::optional<ColumnsMembers> columns_;
  // The number of columns of each folder's table whose first three were checked.
  std::map<int32_t, size_t> columnCounts_;
  // The last failure logged of each folder's table, until its table answers well again.
  std::map<int32_t, std::string> lastTableFailures_;
  // Whether a failure to remove the columns not read was logged: once in the lookup's life.
  bool removeFailureLogged_ = false;
};

}  // namespace orvane::inbound
