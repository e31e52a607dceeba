// Application, NameSpace and MAPIFolder: the road from the automation server to a folder's items
// and its table.
#include "testbed/outlook/call_ledger.h"
#include "testbed/outlook/dispatch_object.h"
#include "testbed/outlook/outlook_objects.h"
#include "testbed/outlook/standin_behaviour.h"

#include <cmath>

namespace orvane {

namespace outlook_standin {
namespace {

// Application.Version: major, minor, build and revision, as a Microsoft 365 Outlook gives it.
constexpr wchar_t kStandinVersion[] = L"16.0.0.17928";
constexpr wchar_t kNotFoundMessage[] = L"The operation failed. An object could not be found.";
// MAPI_E_NOT_FOUND, as Outlook answers for an EntryID it does not find.
const HRESULT kNotFound = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x10F);

class Application final : public DispatchObject<> {
public:
  Application() : DispatchObject(ObjectKind::Application) {}

protected:
  void Serve(const Member& member, CallKind, const Arguments& args, VARIANT* result) override {
    if (member.id == kVersion) {
      args.Expect(0, 0);
      return ReturnValue(Value::Text(kStandinVersion), result);
    }
    args.Expect(1, 1);
    if (member.id == kCreateItem) {
      ReturnObject(NewItem(ItemKindOf(args.Get(0, ValueType::Int32).AsInt32())).Get(), result);
      return;
    }
    // GetNamespace: "MAPI" is the only type there is.
    if (!EqualsIgnoringCase(args.Get(0, ValueType::Text).AsText(), L"MAPI")) {
      throw ModelError(kBadParameterMessage, E_INVALIDARG);
    }
    ReturnObject(NewNameSpace().Get(), result);
  }

private:
  static ItemKind ItemKindOf(int32_t itemType) {
    switch (itemType) {
      case kAppointmentItem: return ItemKind::Appointment;
      case kTaskItem: return ItemKind::Task;
      case kNoteItem: return ItemKind::Note;
      default: break;
    }
    throw ModelError(kBadParameterMessage, E_INVALIDARG);
  }
};

class NameSpace final : public DispatchObject<> {
public:
  NameSpace() : DispatchObject(ObjectKind::NameSpace) {}

protected:
  void Serve(const Member& member, CallKind, const Arguments& args, VARIANT* result) override {
    if (member.id == kLogon) {
      Logon(args);
      return;
    }
    if (member.id == kGetItemFromId) {
      ReturnObject(NewWorkingCopy(ItemFromId(args)).Get(), result);
      return;
    }
    args.Expect(1, 1);
    const int32_t folder = args.Get(0, ValueType::Int32).AsInt32();
    if (!ItemStore::IsDefaultFolder(folder)) throw ModelError(kBadParameterMessage, E_INVALIDARG);
    ReturnObject(NewFolder(folder).Get(), result);
  }

private:
  // GetItemFromID(EntryIDItem, EntryIDStore): a saved item of any folder; a StoreID passed must be
  // this store's.
  static StoredItemPtr ItemFromId(const Arguments& args) {
    args.Expect(1, 2);
    const std::wstring entryId = args.Get(0, ValueType::Text).AsText();
    const bool otherStore =
        args.Count() == 2 && !args.IsMissing(1) && args.Get(1, ValueType::Text).AsText() != Store().StoreId();
    // A short-term id a table gave opens its item for the rest of the session: this server's life.
    const bool shortTerm = entryId.size() >= 2 && EqualsIgnoringCase(entryId.substr(0, 2), kShortTermFlag);
    StoredItemPtr item = otherStore ? nullptr : shortTerm ? Store().FindShortTerm(entryId) : Store().Find(entryId);
    if (!item || item->deleted) throw ModelError(kNotFoundMessage, kNotFound);
    return item;
  }

  // Logon(Profile, Password, ShowDialog, NewSession), every argument optional. The one profile is
  // always there; what the caller passed is kept for the tests.
  static void Logon(const Arguments& args) {
    args.Expect(0, 4);
    std::vector<LogonArgument> received;
    for (UINT i = 0; i < args.Count(); ++i) received.push_back(Describe(args.At(i)));
    Ledger().RecordLogon(std::move(received));
  }

  static LogonArgument Describe(const VARIANT& arg) {
    LogonArgument described;
    described.type = arg.vt;
    if (arg.vt == VT_ERROR) {
      described.error = arg.scode;
    } else {
      try {
        described.text = Value::FromVariant(arg, ValueType::Text).AsText();
      } catch (const ModelError&) {
        // No text form: the type alone is kept.
      }
    }
    return described;
  }
};

class Folder final : public DispatchObject<> {
public:
  explicit Folder(int32_t folder) : DispatchObject(ObjectKind::Folder), folder_(folder) {}

protected:
  void Serve(const Member& member, CallKind, const Arguments& args, VARIANT* result) override {
    if (member.id == kGetTable) {
      // GetTable(Filter, TableContents): the whole folder only, as no filter is served.
      args.Expect(0, 2);
      for (UINT i = 0; i < args.Count(); ++i) {
        if (!args.IsMissing(i)) throw ModelError(kBadParameterMessage, E_INVALIDARG);
      }
      ReturnObject(NewTable(folder_).Get(), result);
      return;
    }
    args.Expect(0, 0);
    if (member.id == kStoreId) return ReturnValue(Value::Text(Store().StoreId()), result);
    if (member.id == kEntryId) return ReturnValue(Value::Text(Store().FolderEntryId(folder_)), result);
    // Each read gives a new collection, as Outlook's does: a client keeps it to keep its events.
    ReturnObject(NewItems(folder_).Get(), result);
  }

private:
  int32_t folder_;
};

}  // namespace

ComPtr<IDispatch> NewApplication() { return MakeDispatch<Application>(); }
ComPtr<IDispatch> NewNameSpace() { return MakeDispatch<NameSpace>(); }
ComPtr<IDispatch> NewFolder(int32_t folder) { return MakeDispatch<Folder>(folder); }

double Today() { return std::floor(Now()); }

double Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  now.wMilliseconds = 0;
  double date = 0;
  SystemTimeToVariantTime(&now, &date);
  return date;
}

}  // namespace outlook_standin

}  // namespace orvane
