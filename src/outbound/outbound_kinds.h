// The kinds of what the plug-in reports to the main application, carried in WM_COPYDATA's dwData.
#pragma once

#include <cstdint>

namespace orvane {

namespace outbound {

// An item the user added in Outlook, as its whole record.
constexpr uint32_t kNewTask = 0x2BB7B2A6;
constexpr uint32_t kNewAppointment = 0x2BB7B2A7;
constexpr uint32_t kNewNote = 0x2BB7B2A8;
// An item the user changed, as its whole record with its link id.
constexpr uint32_t kChangedTask = 0x2BB7B2A9;
constexpr uint32_t kChangedAppointment = 0x2BB7B2AA;
constexpr uint32_t kChangedNote = 0x2BB7B2AB;
// An item the user deleted, as its subject alone.
constexpr uint32_t kDeletedNote = 0x2BB7B2AF;
constexpr uint32_t kDeletedAppointment = 0x2BB7B2B0;
constexpr uint32_t kDeletedTask = 0x2BB7B2B1;

}  // namespace outbound

}  // namespace orvane
