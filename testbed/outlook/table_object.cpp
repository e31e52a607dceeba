// Table, Columns and Column: a folder's table, a live view of its items read in rows of chosen
// properties, as Folder.GetTable gives it. Where Outlook's tables vary with the store or version
// (the form of the EntryID column, the array's order, the row count, a MaxRows past the end), the
// test controls choose.
#include "testbed/outlook/dispatch_object.h"
#include "testbed/outlook/outlook_objects.h"
#include "testbed/outlook/standin_behaviour.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

namespace outlook_standin {
namespace {

// Outlook's words for a count it cannot give are not documented; these are its general failure.
constexpr wchar_t kRowCountFailedMessage[] = L"The operation failed.";

// How many UTF-16 units of a text a table keeps: 255 characters, or as many as fit the chosen
// bytes with the terminating zero. A cut by bytes may split a surrogate pair, as a store that
// counts bytes does not know characters.
size_t TableTextLimit() {
  const int bytes = Chosen().tableTextBytes;
  if (bytes <= 0) return kTableTextCharacters;
  return bytes < 4 ? 0 : static_cast<size_t>(bytes - 2) / 2;
}

ItemKind KindInFolder(int32_t folder) {
  switch (folder) {
    case kFolderTasks: return ItemKind::Task;
    case kFolderCalendar: return ItemKind::Appointment;
    default: break;
  }
  return ItemKind::Note;
}

// A column: a property of the folder's items by its name, or the long-term EntryID by its schema
// name. Outlook refuses any other.
struct TableColumn {
  std::wstring name;
  const Member* member = nullptr;  // null: the long-term EntryID, as bytes
};

TableColumn ColumnNamed(ItemKind kind, std::wstring_view name) {
  if (EqualsIgnoringCase(name, kLongTermEntryIdColumn)) return {kLongTermEntryIdColumn, nullptr};
  const Member* member = FindMember(ObjectKindOf(kind), name);
  if (!member || !member->IsProperty()) throw ModelError(kBadParameterMessage, E_INVALIDARG);
  return {member->name, member};
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

// The EntryID's bytes as a VT_ARRAY | VT_UI1 cell, as a column added by its schema name gives a
// binary value.
void PutBytes(const std::wstring& hex, VARIANT* cell) {
  const ULONG count = static_cast<ULONG>(hex.size() / 2);
  SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, count);
  if (!bytes) throw ModelError(E_OUTOFMEMORY);
  cell->parray = bytes;
  cell->vt = VT_ARRAY | VT_UI1;
  for (ULONG i = 0; i < count; ++i) {
    const int high = HexDigit(hex[2 * i]);
    const int low = HexDigit(hex[2 * i + 1]);
    if (high < 0 || low < 0) throw ModelError(E_UNEXPECTED);
    static_cast<BYTE*>(bytes->pvData)[i] = static_cast<BYTE>(high * 16 + low);
  }
}

// What a table and its Columns share: the folder shown, the columns and the next row to read.
struct TableState {
  TableState(int32_t shownFolder, bool empty)
      : folder(shownFolder), kind(KindInFolder(shownFolder)), readsEmpty(empty) {
    // Outlook's default columns: five for every folder, three more for tasks and the calendar.
    std::vector<const wchar_t*> names = {L"EntryID", L"Subject", L"CreationTime", L"LastModificationTime",
                                         L"MessageClass"};
    if (kind == ItemKind::Task) names.insert(names.end(), {L"DueDate", L"PercentComplete", L"IsRecurring"});
    if (kind == ItemKind::Appointment) names.insert(names.end(), {L"Start", L"End", L"IsRecurring"});
    for (const wchar_t* name : names) columns.push_back(ColumnNamed(kind, name));
  }

  const std::vector<StoredItemPtr>& Rows() const {
    static const std::vector<StoredItemPtr> kNone;
    return readsEmpty ? kNone : Store().FolderItems(folder);
  }

  int32_t folder;
  ItemKind kind;
  bool readsEmpty;
  std::vector<TableColumn> columns;
  size_t position = 0;
};

using SharedState = std::shared_ptr<TableState>;

// One cell of a row. The EntryID column gives the item's own id, or under short-term ids one of
// this session whose flag byte is not zero.
void PutCell(const StoredItemPtr& item, const TableColumn& column, VARIANT* cell) {
  const ItemData& data = item->data;
  const std::wstring entryId = data.Get(kEntryId).AsText();
  if (!column.member) return PutBytes(entryId, cell);
  Value value = data.Get(column.member->id);
  if (column.member->id == kEntryId && Chosen().shortTermTableIds) value = Value::Text(Store().ShortTermId(item));
  // An EntryID is binary in the store: only texts are cut.
  const size_t limit = TableTextLimit();
  if (column.member->id != kEntryId && value.Type() == ValueType::Text && value.AsText().size() > limit) {
    value = Value::Text(value.AsText().substr(0, limit));
  }
  const HRESULT made = value.ToVariant(cell);
  if (FAILED(made)) throw ModelError(made);
}

class Column final : public DispatchObject<> {
public:
  explicit Column(std::wstring name) : DispatchObject(ObjectKind::Column), name_(std::move(name)) {}

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
  // Each change moves the table back before its first row; Count and Item(index) only read. A
  // Remove of a column the table lacks changes nothing and fails.
  void Serve(const Member& member, CallKind, const Arguments& args, VARIANT* result) override {
    std::vector<TableColumn>& columns = state_->columns;
    if (member.id == kCount) {
      args.Expect(0, 0);
      ReturnValue(Value::Int32(static_cast<int32_t>(columns.size())), result);
      return;
    }
    if (member.id == kItem) {
      args.Expect(1, 1);
      ReturnObject(MakeDispatch<Column>(columns[IndexOf(args)].name).Get(), result);
      return;
    }
    if (member.id == kColumnsRemoveAll) {
      args.Expect(0, 0);
      columns.clear();
    } else if (member.id == kColumnsRemove) {
      args.Expect(1, 1);
      columns.erase(columns.begin() + static_cast<std::ptrdiff_t>(IndexOf(args)));
    } else {
      args.Expect(1, 1);
      TableColumn column = ColumnNamed(state_->kind, args.Get(0, ValueType::Text).AsText());
      ReturnObject(MakeDispatch<Column>(column.name).Get(), result);
      state_->columns.push_back(std::move(column));
    }
    state_->position = 0;
  }

private:
  // The 0-based place of the column the argument names: its 1-based index, or its name.
  size_t IndexOf(const Arguments& args) const {
    const std::vector<TableColumn>& columns = state_->columns;
    if (static_cast<VARTYPE>(args.At(0).vt & ~VT_BYREF) == VT_BSTR) {
      const std::wstring name = args.Get(0, ValueType::Text).AsText();
      const auto found = std::find_if(columns.begin(), columns.end(),
                                      [&](const TableColumn& column) { return EqualsIgnoringCase(column.name, name); });
      if (found == columns.end()) throw ModelError(kBadParameterMessage, E_INVALIDARG);
      return static_cast<size_t>(found - columns.begin());
    }
    const int32_t index = args.Get(0, ValueType::Int32).AsInt32();
    if (index < 1 || static_cast<size_t>(index) > columns.size()) throw ModelError(kBadParameterMessage, E_INVALIDARG);
    return static_cast<size_t>(index) - 1;
  }

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
      const size_t left = rowCount - start;
      if (Chosen().strictMaxRows && static_cast<size_t>(maxRows) > left) {
        throw ModelError(kBadParameterMessage, E_INVALIDARG);
      }
      const size_t rows = std::min(static_cast<size_t>(maxRows), left);
      if (result) ReturnRows(start, rows, result);
      state_->position = start + rows;
      return;
    }
    args.Expect(0, 0);
    switch (member.id) {
      case kTableColumns: ReturnObject(MakeDispatch<Columns>(state_).Get(), result); return;
      case kTableGetRowCount:
        if (Chosen().rowCountFails) throw ModelError(kRowCountFailedMessage, E_FAIL);
        ReturnValue(Value::Int32(static_cast<int32_t>(rowCount) + Chosen().rowCountSlack), result);
        return;
      default: ReturnValue(Value::Bool(state_->position >= rowCount), result); return;  // EndOfTable
    }
  }

private:
  // A two-dimensional array of VARIANTs indexed from 0: rows by columns, or columns by rows when
  // the controls choose that order.
  void ReturnRows(size_t start, size_t rows, VARIANT* result) const {
    const std::vector<TableColumn>& columns = state_->columns;
    const bool columnsFirst = Chosen().columnsFirst;
    const ULONG rowBound = static_cast<ULONG>(rows);
    const ULONG columnBound = static_cast<ULONG>(columns.size());
    SAFEARRAYBOUND bounds[] = {{columnsFirst ? columnBound : rowBound, 0}, {columnsFirst ? rowBound : columnBound, 0}};
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
    if (!array) throw ModelError(E_OUTOFMEMORY);
    // The result owns the array from here, on failure too.
    result->parray = array;
    result->vt = VT_ARRAY | VT_VARIANT;
    for (size_t row = 0; row < rows; ++row) {
      const StoredItemPtr& item = state_->Rows()[start + row];
      for (size_t column = 0; column < columns.size(); ++column) {
        outlook::Variant cell;
        PutCell(item, columns[column], cell.Receive());
        LONG indices[] = {static_cast<LONG>(columnsFirst ? column : row),
                          static_cast<LONG>(columnsFirst ? row : column)};
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
