// The test controls as a COM object ("OutlookStandin.Control"), for tests in other processes.
#pragma once

#include "outlook/com_types.h"

namespace orvane {

namespace outlook_standin {

// Methods, called by name (GetIDsOfNames) or by their DISPIDs 1 to 46:
//   Reset()                                         empty folders; clear failures, refusal, counts
//                                                   and hidden members
//   FailCall(object, dispid, call, message [, times [, scode]])
//                                                   object: "TaskItem", "Items", ... or "" (any);
//                                                   call: "get", "put", "method" or "" (any);
//                                                   times: calls to fail (default 1, -1 every call)
//   ClearFailures()
//   RefuseCreation(times [, hresult])               Application creations to refuse (-1 all, 0 none)
//   CallCount(dispid [, object [, call]])           calls served
//   TotalCalls()
//   ResetCallCounts()
//   ShowMainWindow()                                creates Outlook's main window; true when it exists
//   CloseMainWindow()                               destroys it; the server stays while it has clients
//   Quit()                                          ends the server process after the call returns, as
//                                                   Outlook ends when the user closes it
//   ItemCount(folder)
//   ItemProperty(folder, index, member)             member by name or DISPID; index 1-based
//   PatternProperty(folder, index, member)          of the item's recurrence pattern
//   LogonCount()
//   LogonArgumentCount()                            of the last Logon
//   LogonArgument(index)                            0-based; VT_ERROR with its code, else the text
//   LogonArgumentType(index)                        the VARTYPE it arrived with
//   SinkCount(folder)                               ItemsEvents sinks advised on the folder's collections
//   DeleteWithoutEvents(folder, index, count)       deletes count items from index on, raising no ItemRemove
//   ReadEmpty(folder, times)                        the next times reads of its Count answer 0 (-1 every one)
//   Busy(milliseconds [, afterMember])              turns Outlook's calls away for that long, from now
//                                                   or from when the member (DISPID) has been served;
//                                                   0 ends it (out of process only)
//   HideMember(object, dispid [, hidden])           the member is unknown to objects of that kind
//                                                   while hidden (default 1; 0 shows it again)
//   EventDelay(milliseconds)                        ItemsEvents come this long after the call (default 0)
//   LateChange(milliseconds [, count [, newTime]])  count (default 1) more ItemChange, one every
//                                                   milliseconds after each add or save (-1, the
//                                                   default: none); newTime 1: each stamps the item
//                                                   with a new LastModificationTime
//   PendingEvents()                                 events posted and not raised yet
//   TableIds(form)                                  "long-term" (default) or "short-term" EntryID column
//   TableOrder(order)                               GetArray "rows-first" (default) or "columns-first"
//   TableRowCountSlack(rows)                        GetRowCount answers that many rows more (default 0)
//   TableStrictMaxRows(strict)                      a MaxRows past the rows left fails (default false)
//   BulkAdd(most)                                   an add of more than most items at once raises no
//                                                   ItemAdd (-1, the default: no limit)
//   AddItems(folder, count, prefix)                 adds count items in one operation, subjects prefix1..
//   TimePrecision(precision)                        "milliseconds" (default) or "seconds"
//   DefaultCodepage(codepage)                       InternetCodepage of new items (default 0)
//   SetItemCodepage(folder, index, codepage)        Outlook re-encodes the item: a save with that code page
//   Guard(mode [, minutes])                         "off" (default), "allow", "deny" (MAPI_E_NOT_SUPPORTED)
//                                                   or "allow-for" minutes after a prompt
//   GuardPrompts()                                  prompts counted
//   CopyKeepsRecurrence(keeps)                      a completed occurrence's copy stays recurring (default false)
//   TableTextBytes(bytes)                           a table cuts texts at bytes of UTF-16 (0, the default:
//                                                   at 255 characters)
//   RowCountFails(fails)                            GetRowCount fails (default false)
//   ItemsOrder(order)                               "saved" (default), "reverse" or "moved-on-save"
//   OpenItemLimit(most)                             a call opening more items at once fails (0, the default: none)
//   OpenItems()                                     item objects open now
//   NoRemoveForLastItem(silent)                     no ItemRemove for a folder's last item (default false)
//   EventsAfterUnadvise(late)                       a sink unadvised still hears events posted before (default false)
//   ProcessId()                                     the server's process, for a test that must end it
//   Stall(milliseconds)                             answers no call for that long, as a hung Outlook (at
//                                                   most 600000)
// Reset() puts each choice back to its default and clears the prompts counted.
ComPtr<IDispatch> NewControl();

}  // namespace outlook_standin

}  // namespace orvane
