#include "testbed/outlook/control_object.h"

#include "testbed/outlook/dispatch_object.h"
#include "testbed/outlook/item_store.h"
#include "testbed/outlook/standin_control.h"
#include "testbed/outlook/standin_ids.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace orvane {

namespace outlook_standin {
namespace {

enum ControlId : DispId {
  kReset = 1,
  kFailCall,
  kClearFailures,
  kRefuseCreation,
  kCallCount,
  kTotalCalls,
  kResetCallCounts,
  kShowMainWindow,
  kCloseMainWindow,
  kQuit,
  kItemCount,
  kItemProperty,
  kPatternProperty,
  kLogonCount,
  kLogonArgumentCount,
  kLogonArgument,
  kLogonArgumentType,
  kSinkCount,
  kDeleteWithoutEvents,
  kReadEmpty,
  kBusy,
  kHideMember,
  kEventDelay,
  kLateChange,
  kPendingEvents,
  kTableIds,
  kTableOrder,
  kTableRowCountSlack,
  kTableStrictMaxRows,
  kBulkAdd,
  kAddItems,
  kTimePrecision,
  kDefaultCodepage,
  kSetItemCodepage,
  kGuard,
  kGuardPrompts,
  kCopyKeepsRecurrence,
  kTableTextBytes,
  kRowCountFails,
  kItemsOrder,
  kOpenItemLimit,
  kOpenItems,
  kNoRemoveForLastItem,
  kEventsAfterUnadvise,
  kProcessId,
  kStall,
};

Member ControlMethod(const wchar_t* name, ControlId id) { return {name, id, Access::Method, ValueType::Int32}; }

const std::vector<Member>& ControlMembers() {
  static const std::vector<Member> members = {
      ControlMethod(L"Reset", kReset),
      ControlMethod(L"FailCall", kFailCall),
      ControlMethod(L"ClearFailures", kClearFailures),
      ControlMethod(L"RefuseCreation", kRefuseCreation),
      ControlMethod(L"CallCount", kCallCount),
      ControlMethod(L"TotalCalls", kTotalCalls),
      ControlMethod(L"ResetCallCounts", kResetCallCounts),
      ControlMethod(L"ShowMainWindow", kShowMainWindow),
      ControlMethod(L"CloseMainWindow", kCloseMainWindow),
      ControlMethod(L"Quit", kQuit),
      ControlMethod(L"ItemCount", kItemCount),
      ControlMethod(L"ItemProperty", kItemProperty),
      ControlMethod(L"PatternProperty", kPatternProperty),
      ControlMethod(L"LogonCount", kLogonCount),
      ControlMethod(L"LogonArgumentCount", kLogonArgumentCount),
      ControlMethod(L"LogonArgument", kLogonArgument),
      ControlMethod(L"LogonArgumentType", kLogonArgumentType),
      ControlMethod(L"SinkCount", kSinkCount),
      ControlMethod(L"DeleteWithoutEvents", kDeleteWithoutEvents),
      ControlMethod(L"ReadEmpty", kReadEmpty),
      ControlMethod(L"Busy", kBusy),
      ControlMethod(L"HideMember", kHideMember),
      ControlMethod(L"EventDelay", kEventDelay),
      ControlMethod(L"LateChange", kLateChange),
      ControlMethod(L"PendingEvents", kPendingEvents),
      ControlMethod(L"TableIds", kTableIds),
      ControlMethod(L"TableOrder", kTableOrder),
      ControlMethod(L"TableRowCountSlack", kTableRowCountSlack),
      ControlMethod(L"TableStrictMaxRows", kTableStrictMaxRows),
      ControlMethod(L"BulkAdd", kBulkAdd),
      ControlMethod(L"AddItems", kAddItems),
      ControlMethod(L"TimePrecision", kTimePrecision),
      ControlMethod(L"DefaultCodepage", kDefaultCodepage),
      ControlMethod(L"SetItemCodepage", kSetItemCodepage),
      ControlMethod(L"Guard", kGuard),
      ControlMethod(L"GuardPrompts", kGuardPrompts),
      ControlMethod(L"CopyKeepsRecurrence", kCopyKeepsRecurrence),
      ControlMethod(L"TableTextBytes", kTableTextBytes),
      ControlMethod(L"RowCountFails", kRowCountFails),
      ControlMethod(L"ItemsOrder", kItemsOrder),
      ControlMethod(L"OpenItemLimit", kOpenItemLimit),
      ControlMethod(L"OpenItems", kOpenItems),
      ControlMethod(L"NoRemoveForLastItem", kNoRemoveForLastItem),
      ControlMethod(L"EventsAfterUnadvise", kEventsAfterUnadvise),
      ControlMethod(L"ProcessId", kProcessId),
      ControlMethod(L"Stall", kStall),
  };
  return members;
}

// Optional text argument: empty when omitted.
std::wstring OptionalText(const Arguments& args, UINT index) {
  return args.IsMissing(index) ? std::wstring() : args.Get(index, ValueType::Text).AsText();
}

int32_t OptionalNumber(const Arguments& args, UINT index, int32_t fallback) {
  return args.IsMissing(index) ? fallback : args.Get(index, ValueType::Int32).AsInt32();
}

ObjectKind ObjectKindArgument(const Arguments& args, UINT index) {
  ObjectKind kind = ObjectKind::Any;
  if (!ParseObjectKind(OptionalText(args, index), &kind))
    throw ModelError(DISP_E_TYPEMISMATCH, args.Count() - 1 - index);
  return kind;
}

CallKind CallKindArgument(const Arguments& args, UINT index) {
  CallKind kind = CallKind::Any;
  if (!ParseCallKind(OptionalText(args, index), &kind)) throw ModelError(DISP_E_TYPEMISMATCH, args.Count() - 1 - index);
  return kind;
}

const StoredItemPtr& StoredItemArgument(const Arguments& args) {
  const std::vector<StoredItemPtr>& items = Store().FolderItems(args.Get(0, ValueType::Int32).AsInt32());
  const int32_t index = args.Get(1, ValueType::Int32).AsInt32();
  if (index < 1 || static_cast<size_t>(index) > items.size())
    throw ModelError(kIndexOutOfBoundsMessage, DISP_E_BADINDEX);
  return items[static_cast<size_t>(index) - 1];
}

// A member named or numbered by the third argument, among the members of `kind`.
const Member& MemberArgument(const Arguments& args, ObjectKind kind) {
  const VARTYPE type = static_cast<VARTYPE>(args.At(2).vt & ~VT_BYREF);
  const Member* member = type == VT_BSTR ? FindMember(kind, args.Get(2, ValueType::Text).AsText())
                                         : FindMember(kind, args.Get(2, ValueType::Int32).AsInt32());
  if (!member || !member->IsProperty()) throw ModelError(L"Unknown property.", DISP_E_MEMBERNOTFOUND);
  return *member;
}

const LogonArgument& LogonArgumentAt(const Arguments& args) {
  const std::vector<LogonArgument>& arguments = Ledger().LastLogon();
  const int32_t index = args.Get(0, ValueType::Int32).AsInt32();
  if (index < 0 || static_cast<size_t>(index) >= arguments.size()) {
    throw ModelError(kIndexOutOfBoundsMessage, DISP_E_BADINDEX);
  }
  return arguments[static_cast<size_t>(index)];
}

class Control final : public DispatchObject<> {
public:
  Control() : DispatchObject(ObjectKind::Control, false) {}

protected:
  const Member* Lookup(DISPID id) const override {
    for (const Member& member : ControlMembers()) {
      if (member.id == id) return &member;
    }
    return nullptr;
  }
  const Member* Lookup(std::wstring_view name) const override {
    for (const Member& member : ControlMembers()) {
      if (EqualsIgnoringCase(member.name, name)) return &member;
    }
    return nullptr;
  }

  void Serve(const Member& member, CallKind, const Arguments& args, VARIANT* result) override {
    switch (static_cast<ControlId>(member.id)) {
      case kReset: return ResetStore();
      case kFailCall: return FailCallFrom(args);
      case kClearFailures: return ClearFailures();
      case kRefuseCreation:
        args.Expect(1, 2);
        return RefuseCreation(args.Get(0, ValueType::Int32).AsInt32(),
                              OptionalNumber(args, 1, CO_E_SERVER_EXEC_FAILURE));
      case kCallCount:
        args.Expect(1, 3);
        return ReturnValue(Value::Int32(CallCount(ObjectKindArgument(args, 1), args.Get(0, ValueType::Int32).AsInt32(),
                                                  CallKindArgument(args, 2))),
                           result);
      case kTotalCalls: return ReturnValue(Value::Int32(TotalCalls()), result);
      case kResetCallCounts: return ResetCallCounts();
      case kShowMainWindow: return ReturnValue(Value::Bool(ShowMainWindow()), result);
      case kCloseMainWindow: return CloseMainWindow();
      case kQuit: return RequestQuit();
      case kItemCount:
        args.Expect(1, 1);
        return ReturnValue(
            Value::Int32(static_cast<int32_t>(Store().FolderItems(args.Get(0, ValueType::Int32).AsInt32()).size())),
            result);
      case kItemProperty: {
        args.Expect(3, 3);
        const ItemData& data = StoredItemArgument(args)->data;
        return ReturnValue(data.Get(MemberArgument(args, ObjectKindOf(data.Kind())).id), result);
      }
      case kPatternProperty: {
        args.Expect(3, 3);
        const ItemData& data = StoredItemArgument(args)->data;
        return ReturnValue(data.PatternGet(MemberArgument(args, ObjectKind::RecurrencePattern).id), result);
      }
      case kLogonCount: return ReturnValue(Value::Int32(LogonCount()), result);
      case kLogonArgumentCount:
        return ReturnValue(Value::Int32(static_cast<int32_t>(Ledger().LastLogon().size())), result);
      case kLogonArgument: args.Expect(1, 1); return ReturnLogonArgument(LogonArgumentAt(args), result);
      case kLogonArgumentType: args.Expect(1, 1); return ReturnValue(Value::Int32(LogonArgumentAt(args).type), result);
      case kSinkCount:
        args.Expect(1, 1);
        return ReturnValue(Value::Int32(static_cast<int32_t>(SinkCount(args.Get(0, ValueType::Int32).AsInt32()))),
                           result);
      case kDeleteWithoutEvents:
        args.Expect(3, 3);
        return RemoveItemsWithoutEvents(args.Get(0, ValueType::Int32).AsInt32(),
                                        args.Get(1, ValueType::Int32).AsInt32(),
                                        args.Get(2, ValueType::Int32).AsInt32());
      case kReadEmpty:
        args.Expect(2, 2);
        return ReadFolderEmpty(args.Get(0, ValueType::Int32).AsInt32(), args.Get(1, ValueType::Int32).AsInt32());
      case kBusy:
        args.Expect(1, 2);
        return Ledger().BeBusy(static_cast<DWORD>(std::max(0, args.Get(0, ValueType::Int32).AsInt32())),
                               OptionalNumber(args, 1, 0));
      case kHideMember:
        args.Expect(2, 3);
        return HideMember(ObjectKindArgument(args, 0), args.Get(1, ValueType::Int32).AsInt32(),
                          OptionalNumber(args, 2, 1) != 0);
      case kEventDelay: args.Expect(1, 1); return EventDelay(args.Get(0, ValueType::Int32).AsInt32());
      case kLateChange:
        args.Expect(1, 3);
        return LateChange(args.Get(0, ValueType::Int32).AsInt32(), OptionalNumber(args, 1, 1),
                          OptionalNumber(args, 2, 0) != 0);
      case kPendingEvents: return ReturnValue(Value::Int32(static_cast<int32_t>(PendingEvents())), result);
      case kTableIds: return Choose(args, &TableIds);
      case kTableOrder: return Choose(args, &TableOrder);
      case kTableRowCountSlack: args.Expect(1, 1); return TableRowCountSlack(args.Get(0, ValueType::Int32).AsInt32());
      case kTableStrictMaxRows: return Switch(args, &TableStrictMaxRows);
      case kBulkAdd: args.Expect(1, 1); return BulkAdd(args.Get(0, ValueType::Int32).AsInt32());
      case kAddItems: return AddItemsFrom(args);
      case kTimePrecision: return Choose(args, &TimePrecision);
      case kDefaultCodepage: args.Expect(1, 1); return DefaultCodepage(args.Get(0, ValueType::Int32).AsInt32());
      case kSetItemCodepage:
        args.Expect(3, 3);
        return Refusing([&] {
          SetItemCodepage(args.Get(0, ValueType::Int32).AsInt32(), args.Get(1, ValueType::Int32).AsInt32(),
                          args.Get(2, ValueType::Int32).AsInt32());
        });
      case kGuard:
        args.Expect(1, 2);
        return Refusing([&] { Guard(args.Get(0, ValueType::Text).AsText(), OptionalNumber(args, 1, 0)); });
      case kGuardPrompts: return ReturnValue(Value::Int32(GuardPrompts()), result);
      case kCopyKeepsRecurrence: return Switch(args, &CopyKeepsRecurrence);
      case kTableTextBytes: args.Expect(1, 1); return TableTextBytes(args.Get(0, ValueType::Int32).AsInt32());
      case kRowCountFails: return Switch(args, &RowCountFails);
      case kItemsOrder: return Choose(args, &ItemsOrder);
      case kOpenItemLimit: args.Expect(1, 1); return OpenItemLimit(args.Get(0, ValueType::Int32).AsInt32());
      case kOpenItems: return ReturnValue(Value::Int32(static_cast<int32_t>(OpenItems())), result);
      case kNoRemoveForLastItem: return Switch(args, &NoRemoveForLastItem);
      case kEventsAfterUnadvise: return Switch(args, &EventsAfterUnadvise);
      case kProcessId:
        args.Expect(0, 0);
        return ReturnValue(Value::Int32(static_cast<int32_t>(GetCurrentProcessId())), result);
      case kStall:
        // As a hung Outlook: this thread, the one that serves every call, answers nothing meanwhile.
        args.Expect(1, 1);
        Sleep(static_cast<DWORD>(std::clamp(args.Get(0, ValueType::Int32).AsInt32(), 0, 600000)));
        return;
    }
  }

private:
  void* OtherInterface(REFIID iid) noexcept override {
    return IsEqualIID(iid, kTestControlIid) ? static_cast<IDispatch*>(this) : nullptr;
  }

  // A control whose arguments the in-process control refuses fails with a bad parameter.
  template <class Control>
  static void Refusing(Control control) {
    try {
      control();
    } catch (const std::invalid_argument&) {
      throw ModelError(kBadParameterMessage, E_INVALIDARG);
    }
  }

  // A control that takes one word; an unknown word is a bad parameter.
  static void Choose(const Arguments& args, void (*control)(std::wstring_view)) {
    args.Expect(1, 1);
    Refusing([&] { control(args.Get(0, ValueType::Text).AsText()); });
  }

  // A control that takes one truth value.
  static void Switch(const Arguments& args, void (*control)(bool)) {
    args.Expect(1, 1);
    control(args.Get(0, ValueType::Bool).AsBool());
  }

  // AddItems(folder, count, prefix): `count` items of the folder's kind in one operation, their
  // subjects (a note's body) the prefix and their number from 1.
  static void AddItemsFrom(const Arguments& args) {
    args.Expect(3, 3);
    const int32_t folder = args.Get(0, ValueType::Int32).AsInt32();
    const int32_t count = args.Get(1, ValueType::Int32).AsInt32();
    const std::wstring prefix = args.Get(2, ValueType::Text).AsText();
    const ItemKind kind = folder == kFolderCalendar ? ItemKind::Appointment
                          : folder == kFolderNotes  ? ItemKind::Note
                                                    : ItemKind::Task;
    if (!Store().IsDefaultFolder(folder) || count < 0) throw ModelError(kBadParameterMessage, E_INVALIDARG);
    std::vector<PropertyList> items;
    for (int32_t number = 1; number <= count; ++number) {
      items.push_back({{kind == ItemKind::Note ? kBody : kSubject, Value::Text(prefix + std::to_wstring(number))}});
    }
    Refusing([&] { AddItems(kind, items); });
  }

  static void FailCallFrom(const Arguments& args) {
    args.Expect(4, 6);
    FailCall(ObjectKindArgument(args, 0), args.Get(1, ValueType::Int32).AsInt32(), CallKindArgument(args, 2),
             args.Get(3, ValueType::Text).AsText(), OptionalNumber(args, 4, 1), OptionalNumber(args, 5, E_FAIL));
  }

  static void ReturnLogonArgument(const LogonArgument& argument, VARIANT* result) {
    if (!result) return;
    if (argument.type == VT_ERROR) {
      result->scode = argument.error;
      result->vt = VT_ERROR;
      return;
    }
    ReturnValue(Value::Text(argument.text), result);
  }
};

}  // namespace

ComPtr<IDispatch> NewControl() { return MakeDispatch<Control>(); }

}  // namespace outlook_standin

}  // namespace orvane
