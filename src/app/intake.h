// Intake of the main application's records and the choice of the writer that performs them.
#pragma once

#include "mainapp/kinds.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvane::app {

constexpr size_t kRecordBufferSize = 5000;

enum class Action { None, Save, Change, Delete, Done };

enum class Writer {
  None,
  SaveOutlookApps,
  SaveOutlookTask,
  SaveOutlookNote,
  ChangeOutlookApps,
  ChangeOutlookTask,
  ChangeOutlookNote,
  DeleteOutlookItem,
  DoneOutlookItem,
  SetOutlookLinkId,
};

// The identifiers of the four action messages, compared in this order.
struct ActionMessages {
  uint32_t save = 0;
  uint32_t change = 0;
  uint32_t remove = 0;
  uint32_t done = 0;
};

// The kind is the whole of dwData: a value whose low 32 bits name a kind is no kind.
bool IsAcceptedKind(uint64_t kind);
Action ActionOf(uint32_t message, const ActionMessages& messages);
Writer ChooseWriter(uint32_t kind, Action action);

enum class Receipt { NotAccepted, TooLarge, WithoutData, Parked };
// Parks a record of an accepted kind in recordBuffer (up to its first zero byte) and marks it
// pending. A record that does not fit with its terminator, or whose size has no data behind it,
// is refused whole and changes nothing.
Receipt ParkRecord(uint64_t kind, const void* data, size_t size);
// The log line of a refused record, with the size it claimed.
std::string RefusalLogLine(Receipt receipt, uint32_t size);
// The log line written when a record of this kind is parked, or nullptr.
const char* ReceiptLogLine(uint32_t kind);

// The last record received, zero-terminated, and its state.
extern char recordBuffer[app::kRecordBufferSize];
extern uint32_t pendingKind;
extern int recordPending;
extern uint32_t pendingAction;

}  // namespace orvane::app
