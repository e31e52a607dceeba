// The kinds of the records the main application and the plug-in exchange, carried in
// WM_COPYDATA's dwData. A whole record of an item travels under the same kind both ways: the main
// application sends it to be written into Outlook, the plug-in sends it for an item the user added.
#pragma once

#include <cstdint>

namespace orvane::mainapp {

// The kinds run on one from the task's record.
enum : uint32_t {
  // A whole record of a task, an appointment or a note.
  kTask = 0x2BB7B2A6,
  kAppointment,
  kNote,
  // An item the user changed in Outlook, as its whole record with its link id.
  kChangedTask,
  kChangedAppointment,
  kChangedNote,
  // The main application's link id for an item Outlook holds, found by its subject.
  kTaskLink,
  kAppointmentLink,
  kNoteLink,
  // An item the user deleted in Outlook, as its subject alone.
  kDeletedNote,
  kDeletedAppointment,
  kDeletedTask,
};

static_assert(kDeletedTask == 0x2BB7B2B1, "the kinds are the main application's numbers");

}  // namespace orvane::mainapp
