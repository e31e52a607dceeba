// Table, Columns and Column: a folder's table, a live view of its items read in rows of chosen
// properties, as Folder.GetTable gives it.
#include "testbed/outlook/dispatch_object.h"
#include "testbed/outlook/outlook_objects.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace orvane {

namespace outlook_standin {
namespace {

using namespace outlook;

// Outlook's tables keep at most this many characters of a text.
constexpr size_t kTableTextLimit = 255;

ItemKind KindInFolder(int32_t folder) {
  switch (folder) {
    case kFolderTasks: return ItemKind::Task;
    case kFolderCalendar: return ItemKind::Appointment;
    default: break;
  }
  return ItemKind::Note;
}

// A property of the folder's items by its name; Outlook refuses any other.
const Member& ColumnMember(ItemKind kind, std::wstring_view name) {
  const Member* member = FindMember(ObjectKindOf(kind), name);
  if (!member || !member->IsProperty()) throw ModelError(kBadParameterMessage, E_INVALIDARG);
  return *member;
}

// What a table and its Columns share: the folder shown, the columns and the next row to read.
struct TableState {
  TableState(int32_t shownFolder, bool empty)
      : folder(shownFolder), kind(KindInFolder(shownFolder)), readsEmpty(empty) {
    // Outlook's default columns vary with the folder; these stand for them.
    const std::vector<const wchar_t*> names =
        kind == ItemKind::Task          ? std::vector<const wchar_t*>{L"EntryID", L"Subject", L"DueDate", L"Status"}
        : kind == ItemKind::Appointment ? std::vector<const wchar_t*>{L"EntryID", L"Subject", L"Start", L"End"}
                                        : std::vector<const wchar_t*>{L"EntryID", L"Subject", L"Categories"};
    for (const wchar_t* name : names) columns.push_back(&ColumnMember(kind, name));
  }

  const std::vector<StoredItemPtr>& Rows() const {
    static const std::vector<StoredItemPtr> kNone;
    return readsEmpty ? kNone : Store().FolderItems(folder);
  }

  int32_t folder;
  ItemKind kind;
  bool readsEmpty;
  std::vector<const Member*> columns;
  size_t position = 0;
};

using SharedState = std::shared_ptr<TableState>;

class Column final : public DispatchObject<> {
public:
  explicit Column(const wchar_t* name) : DispatchObject(ObjectKind::Column), name_(name) {}

protected:
  void Serve(const Member&, CallKind, const Arguments& args, VARIANT* result) override {
    args.Expect(0, 0);
    ReturnValue(Value::Text(name_), result);
  }

private:
  std::wstring name_;
};

class Columns final : public DispatchObject<> {
public:
  explicit Columns(SharedState state) : DispatchObject(ObjectKind::Columns), state_(std::move(state)) {}

protected:
  // Either change moves the table back before its first row.
  void Serve(const Member& member, CallKind, const Arguments& args, VARIANT* result) override {
    if (member.id == kColumnsRemoveAll) {
      args.Expect(0, 0);
      state_->columns.clear();
    } else {
      args.Expect(1, 1);
      const Member& column = ColumnMember(state_->kind, args.Get(0, ValueType::Text).AsText());
      state_->columns.push_back(&column);
      ReturnObject(MakeDispatch<Column>(column.name).Get(), result);
    }
    state_->position = 0;
  }

private:
  SharedState state_;
};

class Table final : public DispatchObject<> {
public:
  explicit Table(int32_t folder)
      : DispatchObject(ObjectKind::Table),
        state_(std::make_shared<TableState>(folder, Store().TakeEmptyRead(folder))) {}

protected:
  void Serve(const Member& member, CallKind, const Arguments& args, VARIANT* result) override {
    const size_t rowCount = state_->Rows().size();
    if (member.id == kTableGetArray) {
      args.Expect(1, 1);
      const int32_t maxRows = args.Get(0, ValueType::Int32).AsInt32();
      if (maxRows < 1) throw ModelError(kBadParameterMessage, E_INVALIDARG);
      const size_t start = std::min(state_->position, rowCount);
      const size_t rows = std::min(static_cast<size_t>(maxRows), rowCount - start);
      if (result) ReturnRows(start, rows, result);
      state_->position = start + rows;
      return;
    }
    args.Expect(0, 0);
    switch (member.id) {
      case kTableColumns: ReturnObject(MakeDispatch<Columns>(state_).Get(), result); return;
      case kTableGetRowCount: ReturnValue(Value::Int32(static_cast<int32_t>(rowCount)), result); return;
      default: ReturnValue(Value::Bool(state_->position >= rowCount), result); return;  // EndOfTable
    }
  }

private:
  // A two-dimensional array of VARIANTs, rows by columns, indexed from 0.
  void ReturnRows(size_t start, size_t rows, VARIANT* result) const {
    const std::vector<const Member*>& columns = state_->columns;
    SAFEARRAYBOUND bounds[] = {{static_cast<ULONG>(rows), 0}, {static_cast<ULONG>(columns.size()), 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (!array) throw ModelError(E_OUTOFMEMORY);
    // The result owns the array from here, on failure too.
    result->parray = array;
    result->vt = VT_ARRAY | VT_VARIANT;
    for (size_t row = 0; row < rows; ++row) {
      const ItemData& data = state_->Rows()[start + row]->data;
      for (size_t column = 0; column < columns.size(); ++column) {
        Value value = data.Get(columns[column]->id);
        if (value.Type() == ValueType::Text && value.AsText().size() > kTableTextLimit) {
          value = Value::Text(value.AsText().substr(0, kTableTextLimit));
        }
        Variant cell;
        const HRESULT made = value.ToVariant(cell.Receive());
        LONG indices[] = {static_cast<LONG>(row), static_cast<LONG>(column)};
        if (FAILED(made)) throw ModelError(made);
        const HRESULT put = SafeArrayPutElement(array, indices, const_cast<VARIANT*>(&cell.Get()));
        if (FAILED(put)) throw ModelError(put);
      }
    }
  }

  SharedState state_;
};

}  // namespace

ComPtr<IDispatch> NewTable(int32_t folder) { return MakeDispatch<Table>(folder); }

}  // namespace outlook_standin

}  // namespace orvane
