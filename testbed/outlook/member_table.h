// The members each kind of stand-in object serves: Outlook's names, DISPIDs, access and value types.
#pragma once

#include "testbed/outlook/model_value.h"
#include "testbed/outlook/object_model_ids.h"

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
  UserProperties,
  UserProperty,
  Control,
};

// How a member was called: a property read, a property write or a method call.
enum class CallKind { Any, Get, Put, Method };

enum class Access { Get, GetPut, Method };

struct Member {
  const wchar_t* name;
  DispId id;
  Access access;
  ValueType type;  // of a property; unused for methods

  bool IsProperty() const { return access != Access::Method; }
};

// Every member of a kind, in a fixed order.
const std::vector<Member>& MembersOf(ObjectKind kind);
// The member with that DISPID, or null.
const Member* FindMember(ObjectKind kind, DispId id);
// The member with that name, compared ignoring case as Outlook compares it, or null.
const Member* FindMember(ObjectKind kind, std::wstring_view name);

// Whether the call is on Microsoft's list of members the object model guard protects (a property
// read, or a method call) for the kind.
bool IsGuarded(ObjectKind kind, DispId id, CallKind call);

// "TaskItem", "Items", ...; and back, ignoring case ("" and "Any" give ObjectKind::Any).
const wchar_t* ObjectKindName(ObjectKind kind);
bool ParseObjectKind(std::wstring_view name, ObjectKind* kind);
// "get", "put", "method", "any"; and back, ignoring case ("" gives CallKind::Any).
bool ParseCallKind(std::wstring_view name, CallKind* kind);

// Case-insensitive comparison of member names and subjects, as Outlook makes it.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace outlook_standin

}  // namespace orvane
