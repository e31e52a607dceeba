// Task, appointment and note objects, and the RecurrencePattern of a task or appointment.
// An item object is a working copy: writes stay in it until Save or Close(0) commit it to the store,
// and a copy released or closed with Close(1) leaves the store as it was.
#include "testbed/outlook/dispatch_object.h"
#include "testbed/outlook/outlook_objects.h"

namespace orvane {

namespace outlook_standin {
namespace {

class ItemObject final : public DispatchObject<> {
public:
  ItemObject(ItemData copy, StoredItemPtr stored)
      : DispatchObject(ObjectKindOf(copy.Kind())), copy_(std::move(copy)), stored_(std::move(stored)) {}

  // The copy's data, for its recurrence pattern; fails once the item is deleted.
  ItemData& LiveCopy() {
    if (deleted_ || (stored_ && stored_->deleted)) throw ModelError(kItemGoneMessage);
    return copy_;
  }

protected:
  void Serve(const Member& member, CallKind call, const Arguments& args, VARIANT* result) override {
    ItemData& copy = LiveCopy();
    if (call == CallKind::Get) {
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
    } else {  // GetRecurrencePattern
      args.Expect(0, 0);
      copy.OpenPattern();
      ReturnObject(NewPattern().Get(), result);
    }
  }

private:
  ComPtr<IDispatch> NewPattern();

  void Commit() {
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
      copy_ = stored_ ? stored_->data : ItemData(copy_.Kind(), Now());
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

ComPtr<IDispatch> ItemObject::NewPattern() { return MakeDispatch<PatternObject>(ComPtr<ItemObject>::Share(this)); }

}  // namespace

ComPtr<IDispatch> NewItem(ItemKind kind) { return MakeDispatch<ItemObject>(ItemData(kind, Now()), nullptr); }

ComPtr<IDispatch> NewWorkingCopy(const StoredItemPtr& item) { return MakeDispatch<ItemObject>(item->data, item); }

}  // namespace outlook_standin

}  // namespace orvane
