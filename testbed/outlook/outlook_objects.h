// The stand-in's Outlook objects, made through these functions only: Application, NameSpace,
// MAPIFolder, Items (with ItemsEvents connection points), Table, the three item kinds and RecurrencePattern.
#pragma once

#include "outlook/com_types.h"
#include "testbed/outlook/item_data.h"
#include "testbed/outlook/item_store.h"

namespace orvane {

namespace outlook_standin {

ComPtr<IDispatch> NewApplication();
ComPtr<IDispatch> NewNameSpace();
ComPtr<IDispatch> NewFolder(int32_t folder);
ComPtr<IDispatch> NewItems(int32_t folder);
// The folder's table: its items' EntryID, Subject and a few more columns.
ComPtr<IDispatch> NewTable(int32_t folder);
// A new item's data as the user or CreateItem makes it: Outlook's defaults and the chosen
// InternetCodepage.
ItemData NewItemData(ItemKind kind);
// A new item that belongs to no folder until it is saved.
ComPtr<IDispatch> NewItem(ItemKind kind);
// A fresh working copy of a saved item: writes stay in it until Save or Close(0).
ComPtr<IDispatch> NewWorkingCopy(const StoredItemPtr& item);
// Both fail, as Exchange does, when the items open already reach the chosen limit.
// The item objects whose last reference is still held, and whether one more may be opened.
size_t OpenItemCount();
bool CanOpenItem();
// Raises one ItemsEvents event on a sink, as a connection point does.
HRESULT DeliverItemsEvent(IDispatch* sink, ItemsEvent event, const StoredItemPtr& item);

// Today at 00:00, local time, as an OLE Automation date.
double Today();
// Now, local time to the second, as an OLE Automation date.
double Now();

}  // namespace outlook_standin

}  // namespace orvane
