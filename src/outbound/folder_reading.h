// Reading what an Outlook folder holds now, for the comparison with its picture: through the
// folder's table where Outlook offers one, else item by item.
#pragma once

#include "outbound/item_picture.h"
#include "outlook/dispatch_driver.h"

#include <optional>
#include <vector>

namespace orvane {

// The items of an Items collection in its order, one at a time: Count, then each Item(i) and its
// EntryID, and its subject where the picture needs it (2N+3 calls with the folder and its Items
// when the picture knows every item).
std::vector<picture::ReadItem> ReadItemsOneByOne(const DispatchDriver& items, outlook::DispId subjectMember,
                                                 const picture::FolderPicture& known);

// Reads a folder through its table: the EntryID and Subject of every item in a few rows at a
// call (9 calls with the folder for up to 500 items, one more for each further 500). The table's
// members are looked up by name once, and kept for the reader's life.
class FolderTableReader {
public:
  // The folder's items in the table's order. No value when Outlook offers no table, or when the
  // table cannot give the whole subject of an item the picture needs (the table cuts long texts):
  // the folder is then read item by item. Any other failure, an answer of an odd form included,
  // throws AutomationError.
  std::optional<std::vector<picture::ReadItem>> ReadItems(const DispatchDriver& folder,
                                                          const picture::FolderPicture& known);

private:
  struct TableMembers {
    outlook::DispId columns;
    outlook::DispId getRowCount;
    outlook::DispId getArray;
  };
  struct ColumnsMembers {
    outlook::DispId removeAll;
    outlook::DispId add;
  };

  // Whether the object answers the names of the members used, looking them up the first time.
  bool KnowsTableMembers(const DispatchDriver& table);
  bool KnowsColumnsMembers(const DispatchDriver& columns);
  size_t RowCount(const DispatchDriver& table) const;
  std::optional<std::vector<picture::ReadItem>> ReadRows(const DispatchDriver& table,
                                                         const picture::FolderPicture& known) const;

  std::optional<TableMembers> table_;
  std::optional<ColumnsMembers> columns_;
};

}  // namespace orvane
