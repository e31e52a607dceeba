// The members each kind of stand-in object serves: Outlook's names, DISPIDs, access and value types.
#pragma once

#include "outlook/outlook_ids.h"
#include "testbed/outlook/model_value.h"

#include <string_view>
#include <vector>

namespace orvane {

namespace outlook_standin {

enum class ObjectKind {
  Any,  // matches every kind in a fault rule or a call count
  Application,
  NameSpace,
  Folder,
  Items,
  TaskItem,
  AppointmentItem,
  NoteItem,
  RecurrencePattern,
  Table,
  Columns,
  Column,
  Control,
};

using outlook::kLastModificationTime;
using outlook::kLongTermEntryIdColumn;
using outlook::kStoreId;

// Members of Outlook's Table, Columns and Column objects. Clients find them by name; the numbers
// are the stand-in's own.
constexpr outlook::DispId kTableColumns = 0x7001;
constexpr outlook::DispId kTableGetArray = 0x7002;
constexpr outlook::DispId kTableGetRowCount = 0x7003;
constexpr outlook::DispId kTableEndOfTable = 0x7004;
constexpr outlook::DispId kColumnsAdd = 0x7011;
constexpr outlook::DispId kColumnsRemoveAll = 0x7012;
constexpr outlook::DispId kColumnName = 0x7021;

// How a member was called: a property read, a property write or a method call.
enum class CallKind { Any, Get, Put, Method };

enum class Access { Get, GetPut, Method };

struct Member {
  const wchar_t* name;
  outlook::DispId id;
  Access access;
  ValueType type;  // of a property; unused for methods

  bool IsProperty() const { return access != Access::Method; }
};

// Every member of a kind, in a fixed order.
const std::vector<Member>& MembersOf(ObjectKind kind);
// The member with that DISPID, or null.
const Member* FindMember(ObjectKind kind, outlook::DispId id);
// The member with that name, compared ignoring case as Outlook compares it, or null.
const Member* FindMember(ObjectKind kind, std::wstring_view name);

// "TaskItem", "Items", ...; and back, ignoring case ("" and "Any" give ObjectKind::Any).
const wchar_t* ObjectKindName(ObjectKind kind);
bool ParseObjectKind(std::wstring_view name, ObjectKind* kind);
// "get", "put", "method", "any"; and back, ignoring case ("" gives CallKind::Any).
bool ParseCallKind(std::wstring_view name, CallKind* kind);

// Case-insensitive comparison of member names and subjects, as Outlook makes it.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace outlook_standin

}  // namespace orvane
