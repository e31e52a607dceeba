#include "outlook/table_array.h"

#include "outlook/automation_error.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <cstdint>
#include <optional>
#include <string>

namespace orvane::outlook {

namespace {

using Rows = std::vector<std::vector<std::wstring>>;

AutomationError OddAnswer(const std::string& what) {
  return AutomationError(E_UNEXPECTED, "Outlook's table answered " + what);
}

// The number of elements along one dimension; its first index in `first`.
size_t Extent(SAFEARRAY* array, UINT dimension, LONG& first) {
  LONG last = 0;
  if (FAILED(SafeArrayGetLBound(array, dimension, &first)) || FAILED(SafeArrayGetUBound(array, dimension, &last))) {
    throw OddAnswer("an array without bounds");
  }
  if (first != 0 && first != 1) throw OddAnswer("an array whose indices start at " + std::to_string(first));
  const int64_t count = int64_t{last} - first + 1;
  if (count < 0) throw OddAnswer("an array of negative size");
  return static_cast<size_t>(count);
}

// Whether every element of the array is a VARIANT that SafeArrayGetElement copies as one.
bool HoldsVariants(SAFEARRAY* array) {
  VARTYPE type = VT_EMPTY;
  return SUCCEEDED(SafeArrayGetVartype(array, &type)) && type == VT_VARIANT &&
         SafeArrayGetElemsize(array) == sizeof(VARIANT) && (array->fFeatures & FADF_VARIANT) != 0;
}

// The bytes of a one-dimensional array of bytes as upper-case hex; no value for another array.
std::optional<std::wstring> HexOf(SAFEARRAY* bytes) {
  LONG first = 0;
  LONG last = -1;
  if (!bytes || SafeArrayGetDim(bytes) != 1 || SafeArrayGetElemsize(bytes) != 1 ||
      FAILED(SafeArrayGetLBound(bytes, 1, &first)) || FAILED(SafeArrayGetUBound(bytes, 1, &last))) {
    return std::nullopt;
  }
  const int64_t count = int64_t{last} - first + 1;
  if (count <= 0) return std::wstring();
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(bytes, &data))) return std::nullopt;
  std::wstring hex;
  hex.reserve(static_cast<size_t>(count) * 2);
  for (int64_t i = 0; i < count; ++i) {
    const unsigned char byte = static_cast<const unsigned char*>(data)[i];
    hex.push_back(L"0123456789ABCDEF"[byte >> 4]);
    hex.push_back(L"0123456789ABCDEF"[byte & 0xF]);
  }
  SafeArrayUnaccessData(bytes);
  return hex;
}

// The cell's value in its column's form; no value when the cell has another form.
std::optional<std::wstring> CellValue(SAFEARRAY* array, LONG first, LONG second, CellForm form) {
  LONG indices[] = {first, second};
  Variant cell;
  if (FAILED(SafeArrayGetElement(array, indices, cell.Receive()))) throw OddAnswer("a cell it could not give");
  const VARIANT& value = cell.Get();
  if (value.vt == VT_EMPTY || value.vt == VT_NULL) return std::wstring();
  if (form == CellForm::Bytes) {
    if (value.vt != (VT_ARRAY | VT_UI1)) return std::nullopt;
    return HexOf(value.parray);
  }
  if (form == CellForm::Date) {
    if (value.vt != VT_DATE) return std::nullopt;
    wchar_t text[40];
    std::swprintf(text, sizeof text / sizeof text[0], L"%.17g", value.date);
    return std::wstring(text);
  }
  if (value.vt != VT_BSTR) return std::nullopt;
  return std::wstring(value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal));
}

// Where the array's cells are: its first indices, and whether the first dimension counts the rows.
struct Layout {
  LONG firstOfDimension1;
  LONG firstOfDimension2;
  bool rowsFirst;
  size_t rows;
};

// The rows read in the layout; no value when a cell has not the form of its column.
std::optional<Rows> RowsIn(SAFEARRAY* array, const Layout& layout, const std::vector<CellForm>& columns) {
  Rows texts(layout.rows);
  for (size_t row = 0; row < layout.rows; ++row) {
    texts[row].reserve(columns.size());
    for (size_t column = 0; column < columns.size(); ++column) {
      // A column not read is not copied out of the array.
      if (columns[column] == CellForm::Any) {
        texts[row].emplace_back();
        continue;
      }
      const LONG r = static_cast<LONG>(row);
      const LONG c = static_cast<LONG>(column);
      const std::optional<std::wstring> cell =
          layout.rowsFirst
              ? CellValue(array, layout.firstOfDimension1 + r, layout.firstOfDimension2 + c, columns[column])
              : CellValue(array, layout.firstOfDimension1 + c, layout.firstOfDimension2 + r, columns[column]);
      if (!cell) return std::nullopt;
      texts[row].push_back(*cell);
    }
  }
  return texts;
}

}  // namespace

std::optional<double> DateOfCell(const std::wstring& cell) {
  if (cell.empty()) return std::nullopt;
  wchar_t* end = nullptr;
  const double date = std::wcstod(cell.c_str(), &end);
  if (end != cell.c_str() + cell.size()) return std::nullopt;
  return date;
}

Rows TextRowsOf(const Variant& answer, const std::vector<CellForm>& columns, size_t maxRows) {
  const VARIANT& value = answer.Get();
  if (value.vt != (VT_ARRAY | VT_VARIANT) || !value.parray) throw OddAnswer("no array of variants");
  SAFEARRAY* const array = value.parray;
  const UINT dimensions = SafeArrayGetDim(array);
  LONG first1 = 0;
  LONG first2 = 0;
  if (dimensions == 1 && Extent(array, 1, first1) == 0) return {};
  if (dimensions != 2) throw OddAnswer("an array of " + std::to_string(dimensions) + " dimensions");
  const size_t extent1 = Extent(array, 1, first1);
  const size_t extent2 = Extent(array, 2, first2);
  if (extent1 == 0 || extent2 == 0) return {};
  const size_t width = columns.size();
  if (extent1 != width && extent2 != width) {
    throw OddAnswer(std::to_string(extent1) + " by " + std::to_string(extent2) + " cells for " + std::to_string(width) +
                    " columns");
  }
  if (!HoldsVariants(array)) throw OddAnswer("an array of other elements");

  // Each order the bounds allow is read; the cells' forms rule out the wrong one.
  std::optional<Rows> read;
  bool ambiguous = false;
  for (const bool rowsFirst : {true, false}) {
    const size_t rows = rowsFirst ? extent1 : extent2;
    if ((rowsFirst ? extent2 : extent1) != width || rows > maxRows) continue;
    std::optional<Rows> candidate = RowsIn(array, {first1, first2, rowsFirst, rows}, columns);
    if (!candidate) continue;
    if (read && *read != *candidate) ambiguous = true;
    if (!read) read = std::move(candidate);
  }
  if (ambiguous) throw OddAnswer("cells whose order it does not tell");
  if (!read) {
    throw OddAnswer(std::max(extent1, extent2) > maxRows ? "more rows than " + std::to_string(maxRows) + " asked"
                                                         : "a cell of another form than its column's");
  }
  return *read;
}

}  // namespace orvane::outlook
