// Task, appointment and note objects, and the RecurrencePattern of a task or appointment.
// An item object is a working copy: writes stay in it until Save or Close(0) commit it to the store,
// and a copy released or closed with Close(1) leaves the store as it was.
#include "testbed/outlook/dispatch_object.h"
#include "testbed/outlook/outlook_objects.h"
#include "testbed/outlook/standin_behaviour.h"

#include <algorithm>

namespace orvane {

namespace outlook_standin {
namespace {

// Exchange's words when a session would hold more items open than the administrator allows.
constexpr wchar_t kTooManyOpenMessage[] =
    L"Your server administrator has limited the number of items you can open simultaneously. Try closing messages "
    L"you have opened or removing attachments and images from unsent messages you are composing.";

size_t openItems = 0;

void CheckOpenLimit() {
  if (!CanOpenItem()) throw ModelError(kTooManyOpenMessage, E_FAIL);
}

class ItemObject final : public DispatchObject<> {
public:
  ItemObject(ItemData copy, StoredItemPtr stored)
      : DispatchObject(ObjectKindOf(copy.Kind())), copy_(std::move(copy)), stored_(std::move(stored)) {
    ++openItems;
  }
  ItemObject(const ItemObject&) = delete;
  ItemObject& operator=(const ItemObject&) = delete;

  // The copy's data, for its recurrence pattern; fails once the item is deleted.
  ItemData& LiveCopy() {
    if (deleted_ || (stored_ && stored_->deleted)) throw ModelError(kItemGoneMessage);
    return copy_;
  }

protected:
  ~ItemObject() override { --openItems; }

  void Serve(const Member& member, CallKind call, const Arguments& args, VARIANT* result) override {
    ItemData& copy = LiveCopy();
    if (call == CallKind::Get && member.id == kUserProperties) {
      ReturnObject(NewUserProperties().Get(), result);
    } else if (call == CallKind::Get) {
      ReturnValue(copy.Get(member.id), result);
    } else if (call == CallKind::Put) {
      const std::wstring refusal = copy.Put(member.id, args.Get(0, member.type), Today());
      if (!refusal.empty()) throw ModelError(refusal);
    } else if (member.id == kSave) {
      args.Expect(0, 0);
      Commit();
    } else if (member.id == kClose) {
      args.Expect(1, 1);
      Close(args.Get(0, ValueType::Int32).AsInt32());
    } else if (member.id == kDelete) {
      args.Expect(0, 0);
      Delete();
    } else if (member.id == kMarkComplete) {
      // Complete, 100 % and completed today, in the working copy until it is saved.
      args.Expect(0, 0);
      copy.Put(kStatus, Value::Int32(kStatusComplete), Today());
    } else {  // GetRecurrencePattern
      args.Expect(0, 0);
      copy.OpenPattern(Today());
      ReturnObject(NewPattern().Get(), result);
    }
  }

private:
  ComPtr<IDispatch> NewPattern();
  ComPtr<IDispatch> NewUserProperties();

  // A pattern Outlook does not allow is refused and nothing is saved.
  void Commit() {
    const std::wstring refusal = copy_.PatternRefusal();
    if (!refusal.empty()) throw ModelError(refusal);
    if (stored_) {
      Store().Change(stored_, copy_);
    } else {
      stored_ = Store().Add(copy_);
    }
    copy_ = stored_->data;  // with the EntryID and LastModificationTime the store gave it
  }

  // Close(0) saves; Close(1) and Close(2) (which would ask the user) drop the unsaved changes.
  void Close(int32_t mode) {
    if (mode == kCloseSave) {
      Commit();
    } else if (mode == kCloseDiscard || mode == kClosePromptForSave) {
      copy_ = stored_ ? stored_->data : NewItemData(copy_.Kind());
    } else {
      throw ModelError(kBadParameterMessage, E_INVALIDARG);
    }
  }

  void Delete() {
    if (stored_) Store().Remove(stored_);
    deleted_ = true;
  }

  ItemData copy_;
  StoredItemPtr stored_;  // empty until the first save
  bool deleted_ = false;
};

class PatternObject final : public DispatchObject<> {
public:
  explicit PatternObject(ComPtr<ItemObject> item)
      : DispatchObject(ObjectKind::RecurrencePattern), item_(std::move(item)) {}

protected:
  void Serve(const Member& member, CallKind call, const Arguments& args, VARIANT* result) override {
    ItemData& copy = item_->LiveCopy();
    if (call == CallKind::Get) {
      ReturnValue(copy.PatternGet(member.id), result);
    } else {
      const std::wstring refusal = copy.PatternPut(member.id, args.Get(0, member.type));
      if (!refusal.empty()) throw ModelError(refusal);
    }
  }

private:
  ComPtr<ItemObject> item_;
};

// The value a user property of the type holds: Outlook's type of it, and its empty value.
ValueType ValueTypeOf(int32_t type) {
  switch (type) {
    case kUserPropertyText: return ValueType::Text;
    case kUserPropertyDateTime: return ValueType::Date;
    case kUserPropertyYesNo: return ValueType::Bool;
    case kUserPropertyInteger: return ValueType::Int32;
    default: break;
  }
  throw ModelError(kBadParameterMessage, E_INVALIDARG);
}

constexpr wchar_t kNoSuchObjectMessage[] = L"The attempted operation failed.  An object could not be found.";

UserField& FieldNamed(UserFields& fields, const std::wstring& name) {
  for (UserField& field : fields) {
    if (EqualsIgnoringCase(field.name, name)) return field;
  }
  throw ModelError(kNoSuchObjectMessage, E_FAIL);
}

// One user property of an item's working copy, by its name.
class UserPropertyObject final : public DispatchObject<> {
public:
  UserPropertyObject(ComPtr<ItemObject> item, std::wstring name)
      : DispatchObject(ObjectKind::UserProperty), item_(std::move(item)), name_(std::move(name)) {}

protected:
  void Serve(const Member& member, CallKind call, const Arguments& args, VARIANT* result) override {
    UserField& field = FieldNamed(item_->LiveCopy().Fields(), name_);
    if (call == CallKind::Put) {
      field.value = args.Get(0, field.value.Type());
      return;
    }
    args.Expect(0, 0);
    if (member.id == kUserPropertyName) return ReturnValue(Value::Text(field.name), result);
    if (member.id == kUserPropertyType) return ReturnValue(Value::Int32(field.type), result);
    ReturnValue(field.value, result);
  }

private:
  ComPtr<ItemObject> item_;
  std::wstring name_;
};

// An item's UserProperties: Add, Item by index or name, Find (Nothing when absent), Count, Remove.
class UserPropertiesObject final : public DispatchObject<> {
public:
  explicit UserPropertiesObject(ComPtr<ItemObject> item)
      : DispatchObject(ObjectKind::UserProperties), item_(std::move(item)) {}

protected:
  const Member* Lookup(DISPID id) const override { return MemberServer::Lookup(id == DISPID_VALUE ? kItem : id); }
  using MemberServer::Lookup;

  void Serve(const Member& member, CallKind, const Arguments& args, VARIANT* result) override {
    UserFields& fields = item_->LiveCopy().Fields();
    switch (member.id) {
      case kCount: args.Expect(0, 0); return ReturnValue(Value::Int32(static_cast<int32_t>(fields.size())), result);
      case kUserPropertiesAdd: {
        args.Expect(2, 4);
        const std::wstring name = args.Get(0, ValueType::Text).AsText();
        const int32_t type = args.Get(1, ValueType::Int32).AsInt32();
        const ValueType valueType = ValueTypeOf(type);
        const bool taken = std::any_of(fields.begin(), fields.end(),
                                       [&](const UserField& field) { return EqualsIgnoringCase(field.name, name); });
        if (name.empty() || taken) throw ModelError(kBadParameterMessage, E_INVALIDARG);
        fields.push_back({name, type, Value::EmptyOf(valueType)});
        return ReturnObject(Property(name).Get(), result);
      }
      case kUserPropertiesFind: {
        args.Expect(1, 2);
        const std::wstring name = args.Get(0, ValueType::Text).AsText();
        const bool found = std::any_of(fields.begin(), fields.end(),
                                       [&](const UserField& field) { return EqualsIgnoringCase(field.name, name); });
        if (found) return ReturnObject(Property(name).Get(), result);
        if (result) result->vt = VT_DISPATCH;  // Nothing
        return;
      }
      case kUserPropertiesRemove: {
        args.Expect(1, 1);
        fields.erase(fields.begin() + IndexOf(fields, args));
        return;
      }
      default: break;  // Item(index or name)
    }
    args.Expect(1, 1);
    const VARTYPE type = static_cast<VARTYPE>(args.At(0).vt & ~VT_BYREF);
    const std::wstring name = type == VT_BSTR ? FieldNamed(fields, args.Get(0, ValueType::Text).AsText()).name
                                              : fields[static_cast<size_t>(IndexOf(fields, args))].name;
    ReturnObject(Property(name).Get(), result);
  }

private:
  ComPtr<IDispatch> Property(const std::wstring& name) { return MakeDispatch<UserPropertyObject>(item_, name); }

  // The 0-based place of a 1-based index argument.
  static long IndexOf(const UserFields& fields, const Arguments& args) {
    const int32_t index = args.Get(0, ValueType::Int32).AsInt32();
    if (index < 1 || static_cast<size_t>(index) > fields.size()) {
      throw ModelError(kIndexOutOfBoundsMessage, DISP_E_BADINDEX);
    }
    return index - 1;
  }

  ComPtr<ItemObject> item_;
};

ComPtr<IDispatch> ItemObject::NewPattern() { return MakeDispatch<PatternObject>(ComPtr<ItemObject>::Share(this)); }
ComPtr<IDispatch> ItemObject::NewUserProperties() {
  return MakeDispatch<UserPropertiesObject>(ComPtr<ItemObject>::Share(this));
}

}  // namespace

ItemData NewItemData(ItemKind kind) {
  ItemData data(kind, Now());
  if (kind != ItemKind::Note) data.Put(kInternetCodepage, Value::Int32(Chosen().defaultCodepage), Today());
  return data;
}

ComPtr<IDispatch> NewItem(ItemKind kind) {
  CheckOpenLimit();
  return MakeDispatch<ItemObject>(NewItemData(kind), nullptr);
}

ComPtr<IDispatch> NewWorkingCopy(const StoredItemPtr& item) {
  CheckOpenLimit();
  return MakeDispatch<ItemObject>(item->data, item);
}

size_t OpenItemCount() { return openItems; }

bool CanOpenItem() {
  const int limit = Chosen().openItemLimit;
  return limit <= 0 || openItems < static_cast<size_t>(limit);
}

}  // namespace outlook_standin

}  // namespace orvane
