// Reading what an Outlook folder holds now, for the comparison with its picture: through the
// folder's table where Outlook offers one that answers well, else item by item.
#pragma once

#include "outbound/item_picture.h"
#include "outlook/dispatch_driver.h"
#include "outlook/table_reading.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvane::outbound {

// The items of an Items collection in its order, one at a time: Count, then each Item(i), its
// EntryID and LastModificationTime, and its subject where the picture needs it, then Count again
// (3N+4 calls with the folder and its Items when the picture knows every item). A collection
// whose count moved meanwhile, or that gave an item twice, is read again; no value when it still
// moved at the last of a few reads.
std::optional<std::vector<outbound::ReadItem>> ReadItemsOneByOne(const outlook::DispatchDriver& items,
                                                                 outlook::DispId subjectMember,
                                                                 const outbound::FolderPicture& known);

// Reads folders through their tables' default columns: the EntryID, Subject and
// LastModificationTime of every item. Each table first has the default columns not read removed (an
// unguarded call each), then gives as many rows at a call as make 30,000 cells; a table whose
// columns cannot be removed is read whole, the failure logged once in the reader's life. Adding a
// column is a call Outlook's Object Model Guard may put to the user or refuse, so a folder's table
// is read as Outlook gives it: a folder whose table gives the items' own long-term ids costs no
// guarded call at all. Where it gives short-term ids, the long-term id column is added once in the
// reader's life for that folder, and each short-term id is remembered with its item's long-term id
// and LastModificationTime; later reads take the long-term id of every item unchanged since, and
// open the others (new or changed) by their short-term id for their own EntryID. A refused Add is
// not asked again in the reader's life: such a folder is read item by item. The members of the
// table and its columns are looked up by name once, and a folder's column layout at its first read,
// and again after a read that failed.
class FolderTableReader {
public:
  // The folder's items, each id in the form of an item's own EntryID. A subject the table may have
  // cut is read from its item, by its id in the folder's store, where the picture needs it. Where
  // Outlook offers no table, or its table fails or answers oddly in any way, the folder is read
  // item by item (the failure logged once while it repeats). No value when the folder kept
  // changing while it was read item by item (logged): its picture stays. A failure of the
  // item-by-item read throws AutomationError.
  std::optional<std::vector<outbound::ReadItem>> ReadFolder(const outlook::DispatchDriver& nameSpace,
                                                            const outlook::DispatchDriver& folder,
                                                            std::string_view storeId, outlook::DispId subjectMember,
                                                            const outbound::FolderPicture& known,
                                                            const char* folderName);

  // Outlook's session ended (Outlook quit, crashed or was started again): the short-term ids its
  // tables gave name nothing now, or other items in the next session.
  void ForgetShortTermIds() noexcept;

private:
  struct ColumnsMembers {
    outlook::DispId count;
    outlook::DispId item;
    outlook::DispId name;
    outlook::DispId add;
    // Absent where the columns do not answer the name.
    std::optional<outlook::DispId> remove;
  };
  // Where a folder's table has the columns read: EntryID, Subject and LastModificationTime.
  using Layout = outlook::ColumnLayout;
  // The item a short-term id named when it was last seen, and its LastModificationTime then.
  struct LongTermId {
    std::string id;
    double modified;
  };
  // What the reader knows of one folder of one store.
  struct FolderState {
    // The layout of the table's default columns.
    std::optional<Layout> layout;
    // Whether its table gave short-term ids the reader could not take to their items.
    bool needsLongTermColumn = false;
    // Whether the long-term id column was added to one of its tables: never again.
    bool longTermColumnAdded = false;
    std::unordered_map<std::string, LongTermId> longTermIds;
  };
  // The items a table gave, which of them need the subject the table may have cut, and which
  // gave a short-term id the reader cannot take to its item's long-term one.
  struct TableRead {
    std::vector<outbound::ReadItem> items;
    std::vector<size_t> cutSubjects;
    std::vector<size_t> unknownIds;
  };

  // No value when Outlook offers no table; throws AutomationError for any failure or odd answer.
  std::optional<std::vector<outbound::ReadItem>> ReadTable(const outlook::DispatchDriver& nameSpace,
                                                           const outlook::DispatchDriver& folder,
                                                           std::string_view storeId, outlook::DispId subjectMember,
                                                           const outbound::FolderPicture& known, FolderState& state,
                                                           const char* folderName);
  // Whether the object answers the names of the members used, looking them up the first time.
  bool KnowsTableMembers(const outlook::DispatchDriver& table);
  bool KnowsColumnsMembers(const outlook::DispatchDriver& columns);
  Layout LearnLayout(const outlook::DispatchDriver& columns) const;
  TableRead ReadRows(const outlook::DispatchDriver& table, const Layout& layout, bool withLongTermColumn,
                     const outbound::FolderPicture& known, FolderState& state,
                     const std::function<size_t()>& folderCount) const;
  void LogTableFailure(const char* folderName, const std::string& failure);

  std::optional<outlook::TableMembers> table_;
  std::optional<ColumnsMembers> columns_;
  // Each folder by its name and store.
  std::map<std::string, FolderState> folders_;
  // The table's default columns without those not read; logs the first failure in the reader's
  // life to remove them.
  Layout WithoutUnreadColumns(const outlook::DispatchDriver& columns, const Layout& layout, const char* folderName);

  // Whether a failure to remove columns was logged.
  bool removeFailureLogged_ = false;
  // Outlook's refusal of the long-term id column, once it refused it.
  std::optional<std::string> addRefused_;
  // The last failure logged of each folder's table, until its table answers well again.
  std::map<std::string, std::string> lastTableFailures_;
};

}  // namespace orvane::outbound
