// Test controls of the stand-in Outlook for in-process tests: fail chosen calls, refuse creation,
// count calls, act as the user on the store, read the store, choose how Outlook behaves where it
// varies, raise the posted events, show or close Outlook's main window, and serve the in-process
// model as the running "Outlook.Application".
#pragma once

#include "base/com_scope.h"
#include "outlook/com_types.h"
#include "testbed/outlook/call_ledger.h"
#include "testbed/outlook/item_data.h"
#include "testbed/outlook/main_window.h"  // ShowMainWindow, CloseMainWindow, MainWindow
#include "testbed/outlook/member_table.h"
#include "testbed/outlook/model_value.h"
#include "testbed/outlook/object_model_ids.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

namespace outlook_standin {

// --- Calls -------------------------------------------------------------------------------------

// The next `times` matching calls (FaultRule::kAlways: every one) fail with DISP_E_EXCEPTION whose
// EXCEPINFO carries `message` as bstrDescription and `code` as scode.
void FailCall(ObjectKind object, DispId id, CallKind call, const std::wstring& message, int times = 1,
              HRESULT code = E_FAIL);
// The same on every kind of object.
void FailCall(DispId id, CallKind call, const std::wstring& message, int times = 1);
void ClearFailures();
// Hides the member from the objects of that kind (DISP_E_MEMBERNOTFOUND, unknown to GetIDsOfNames),
// as in a version of Outlook without it; false shows it again.
void HideMember(ObjectKind object, DispId id, bool hidden = true);

// The next `times` creations of the Application object fail with `result` (kAlways: all; 0: none).
void RefuseCreation(int times = FaultRule::kAlways, HRESULT result = CO_E_SERVER_EXEC_FAILURE);

// Calls served, failed ones included.
long CallCount(DispId id);
long CallCount(ObjectKind object, DispId id, CallKind call);
long TotalCalls();
void ResetCallCounts();

// How often Logon was called, and the arguments of the last call.
int LogonCount();
std::vector<LogonArgument> LastLogonArguments();

// --- Store -------------------------------------------------------------------------------------

// Empties every folder (without events, dropping those not raised yet), clears failures, refusal,
// counts, hidden members and Logon records, and puts every behaviour below back to its default.
void ResetStore();

// The saved items of a default folder (9, 12, 13), in Items order, as copies of their data.
std::vector<ItemData> FolderItems(int32_t folder);
// The ItemsEvents sinks advised on the collections of a default folder.
size_t SinkCount(int32_t folder);

using PropertyList = std::vector<std::pair<DispId, Value>>;
// What the user does in Outlook: add, change (index 1-based) or delete an item. Raises ItemAdd,
// ItemChange or ItemRemove as a client's save would; counts no call. A property Outlook refuses,
// or an index outside the folder, throws std::invalid_argument.
void AddItem(ItemKind kind, const PropertyList& properties);
// As AddItem, the item's CreationTime chosen (an OLE Automation date) instead of the save's time.
void AddItemCreatedAt(ItemKind kind, const PropertyList& properties, double created);
// Adds the items in one operation, as a paste or an import does: each raises ItemAdd only when
// there are no more of them than BulkAdd allows. Throws as AddItem, before any item is added.
void AddItems(ItemKind kind, const std::vector<PropertyList>& items);
void ChangeItem(int32_t folder, int index, const PropertyList& properties);
// Outlook encodes a saved item's body anew in another code page: InternetCodepage takes it, as a
// save does (ItemChange, a new LastModificationTime).
void SetItemCodepage(int32_t folder, int index, int32_t codepage);
void RemoveItem(int32_t folder, int index);
// Deletes `count` items from the index on at once without any ItemRemove, as Outlook does when 16
// or more items are deleted together. Throws std::invalid_argument when they are not all there.
void RemoveItemsWithoutEvents(int32_t folder, int index, int count);
// Test hook: once `itemsCalls` more calls on the Items collections of the item's folder have been
// served (a read under way), the item joins that folder in front of the others, as the user's
// save (ItemAdd is posted). A property Outlook refuses throws std::invalid_argument.
void AddItemInFrontAfterItemsCalls(ItemKind kind, const PropertyList& properties, int itemsCalls);
// Test hook: once `itemsCalls` more calls on the Items collections of the folder have been served,
// the item at the index (1-based) is saved again as it is (ItemChange is posted).
void SaveItemAfterItemsCalls(int32_t folder, int index, int itemsCalls);
// The next `times` reads of the folder's Count answer 0 (FaultRule::kAlways: every read, 0: none),
// as when Outlook fails to show a folder for a while.
void ReadFolderEmpty(int32_t folder, int times);

// --- Events --------------------------------------------------------------------------------------

// ItemAdd, ItemChange and ItemRemove are posted to this thread's message queue and raised, in the
// order they happened, once the causing call has returned and the thread handles its messages.
// They are raised `milliseconds` later still (default 0).
void EventDelay(int milliseconds);
// After every add or save, `count` more ItemChange for that item, every `milliseconds`; -1 (the
// default) turns them off. `newTime`: each gives the item a new LastModificationTime, as a server
// that processed the item does.
void LateChange(int milliseconds, int count = 1, bool newTime = false);
// An add of more than `most` items at once raises no ItemAdd; -1 (the default): no limit.
void BulkAdd(int most);
// true: deleting the last item of a folder raises no ItemRemove, as a Personal Folders file.
void NoRemoveForLastItem(bool silent);
// true: a sink unadvised while events were posted and not raised yet still hears those events
// (default false: it hears nothing once unadvised).
void EventsAfterUnadvise(bool late);
// Events posted and not raised yet.
size_t PendingEvents();
using Milliseconds = std::chrono::milliseconds;
// Handles this thread's messages until `done` holds; false when it still does not after `timeout`.
bool PumpMessagesUntil(const std::function<bool()>& done, Milliseconds timeout = Milliseconds(5000));
// Handles this thread's messages until every posted event has been raised.
bool RaisePostedEvents(Milliseconds timeout = Milliseconds(5000));

// --- Items ---------------------------------------------------------------------------------------

// "milliseconds" (default): LastModificationTime to the millisecond, no two saves alike;
// "seconds": in whole seconds, so that saves within one second have the same time.
void TimePrecision(std::wstring_view precision);
// The InternetCodepage an item the user or CreateItem makes starts with (default 0).
void DefaultCodepage(int32_t codepage);
// The object model guard: "off" (default); "allow" or "deny": every call of a protected member
// counts one prompt, and under "deny" fails as the user's denial (MAPI_E_NOT_SUPPORTED);
// "allow-for": a call prompts once and the user's answer allows every call for `minutes` from then.
void Guard(std::wstring_view mode, int minutes = 0);
// Prompts counted since the last ResetStore.
long GuardPrompts();
// Test hook: the time of an "allow-for" answer passes `minutes` sooner.
void PassGuardTime(int minutes);
// true: the completed copy of an occurrence of a series that does not regenerate keeps the
// series' recurrence and pattern, marked a dead occurrence (default false: a plain task).
void CopyKeepsRecurrence(bool keeps);
// "saved" (default): Items gives the items in the order they were first saved; "reverse": the
// other way round, as an offline store; "moved-on-save": an item moves to the end of the folder
// at each save (the store's order: the table and the controls' indices follow it too).
void ItemsOrder(std::wstring_view order);
// More than `most` items open at once: the call that would open one more fails with Exchange's
// "Your server administrator has limited ..."; an item counts while a reference to it is held
// (its pattern or user properties hold it too). 0 (the default): no limit.
void OpenItemLimit(int most);
// Item objects open now.
size_t OpenItems();

// --- Tables --------------------------------------------------------------------------------------
// Each throws std::invalid_argument for a word it does not know.

// "long-term" (default): a table's EntryID column is the item's own EntryID; "short-term": it is
// an id of this session (its hex text starts "EF") that GetItemFromID opens while the server runs,
// and only the column added by the schema name kLongTermEntryIdColumn gives the item's own id (as
// bytes, as that column always does).
void TableIds(std::wstring_view form);
// "rows-first" (default): GetArray's answer is indexed [row][column]; "columns-first": [column][row].
void TableOrder(std::wstring_view order);
// GetRowCount answers `rows` more than the table holds (default 0).
void TableRowCountSlack(int rows);
// true: GetArray with a MaxRows larger than the rows left fails with Outlook's "One or more
// parameter values are not valid." (default false: it answers the rows left).
void TableStrictMaxRows(bool strict);
// true: GetRowCount fails with "The operation failed." (default false: it answers a count).
void RowCountFails(bool fails);
// A table keeps of a text as many UTF-16 units as fit `bytes` with the terminating zero (255: 126
// characters, 510: 254); 0 (the default): 255 characters.
void TableTextBytes(int bytes);

// --- Serving the model in-process ----------------------------------------------------------------

// A new Application object of the in-process model (not counted as a creation to refuse).
ComPtr<IDispatch> CreateApplication();

// Registers the model's Application class object (CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE) for the
// owner's lifetime, so that CLSIDFromProgID("Outlook.Application") + CoCreateInstance in this process
// reach it; makes sure the ProgID is registered. While one is in place, another owns nothing.
class InProcessServer {
public:
  InProcessServer();
  InProcessServer(const InProcessServer&) = delete;
  InProcessServer& operator=(const InProcessServer&) = delete;
  ~InProcessServer();
  HRESULT Result() const { return result_; }

private:
  ClassRegistration registration_;
  HRESULT result_ = S_OK;
};

// Asks the running server process to end (a control's Quit); does nothing in-process.
void RequestQuit();
void SetQuitHandler(void (*handler)());

}  // namespace outlook_standin

}  // namespace orvane
