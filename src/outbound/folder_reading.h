// Reading what an Outlook folder holds now, for the comparison with its picture: through the
// folder's table where Outlook offers one that answers well, else item by item.
#pragma once

#include "outbound/item_picture.h"
#include "outlook/dispatch_driver.h"
#include "outlook/table_reading.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvane::outbound {

// The items of an Items collection in its order, one at a time: Count, then each Item(i) and its
// EntryID, and its subject where the picture needs it, then Count again (2N+4 calls with the folder
// and its Items when the picture knows every item). A collection whose count moved meanwhile is
// read again; no value when it still moved at the last of a few reads.
std::optional<std::vector<outbound::ReadItem>> ReadItemsOneByOne(const outlook::DispatchDriver& items,
                                                                 outlook::DispId subjectMember,
                                                                 const outbound::FolderPicture& known);

// Reads folders through their tables: the long-term EntryID and Subject of every item, a few rows
// at a call (10 calls with the folder for up to 500 items, one more for each further 500). The
// table's members are looked up by name once, and kept for the reader's life.
class FolderTableReader {
public:
  // The folder's items, each id in the form of an item's own EntryID. A subject the table may have
  // cut is read from its item, by its id in the folder's store, where the picture needs it. Where Outlook offers no
  // table, or its table fails or answers oddly in any way, the folder is read item by item (the
  // failure logged once while it repeats). No value when the folder kept changing while it was
  // read item by item (logged): its picture stays. A failure of the item-by-item read throws
  // AutomationError.
  std::optional<std::vector<outbound::ReadItem>> ReadFolder(const outlook::DispatchDriver& nameSpace,
                                                            const outlook::DispatchDriver& folder,
                                                            std::string_view storeId, outlook::DispId subjectMember,
                                                            const outbound::FolderPicture& known,
                                                            const char* folderName);

private:
  struct ColumnsMembers {
    outlook::DispId removeAll;
    outlook::DispId add;
  };
  // The items a table gave, and which of them need the subject the table may have cut.
  struct TableRead {
    std::vector<outbound::ReadItem> items;
    std::vector<size_t> cutSubjects;
  };

  // No value when Outlook offers no table; throws AutomationError for any failure or odd answer.
  std::optional<TableRead> ReadTable(const outlook::DispatchDriver& folder, const outbound::FolderPicture& known);
  // Whether the object answers the names of the members used, looking them up the first time.
  bool KnowsTableMembers(const outlook::DispatchDriver& table);
  bool KnowsColumnsMembers(const outlook::DispatchDriver& columns);
  TableRead ReadRows(const outlook::DispatchDriver& table, const outbound::FolderPicture& known) const;
  void LogTableFailure(const char* folderName, const std::string& failure);

  std::optional<outlook::TableMembers> table_;
  std::optional<ColumnsMembers> columns_;
  // The last failure logged of each folder's table, until its table answers well again.
  std::map<std::string, std::string> lastTableFailures_;
};

}  // namespace orvane::outbound
