#include "outlook/table_array.h"

#include "outlook/automation_error.h"

#include <cstdint>
#include <string>

namespace orvane {

namespace {

AutomationError OddAnswer(const std::string& what) {
  return AutomationError(E_UNEXPECTED, "Outlook's table answered " + what);
}

// The number of elements along one dimension (1 is the rows); its first index in `first`.
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

std::wstring CellText(SAFEARRAY* array, LONG row, LONG column) {
  LONG indices[] = {row, column};
  Variant cell;
  if (FAILED(SafeArrayGetElement(array, indices, cell.Receive()))) throw OddAnswer("a cell it could not give");
  const VARIANT& value = cell.Get();
  if (value.vt == VT_EMPTY || value.vt == VT_NULL) return {};
  if (value.vt != VT_BSTR) throw OddAnswer("a cell of type " + std::to_string(value.vt) + " for a text");
  return std::wstring(value.bstrVal ? value.bstrVal : L"", SysStringLen(value.bstrVal));
}

}  // namespace

std::vector<std::vector<std::wstring>> TextRowsOf(const Variant& answer, size_t columns, size_t maxRows) {
  const VARIANT& value = answer.Get();
  if (value.vt != (VT_ARRAY | VT_VARIANT) || !value.parray) throw OddAnswer("no array of variants");
  SAFEARRAY* const array = value.parray;
  const UINT dimensions = SafeArrayGetDim(array);
  LONG firstRow = 0;
  LONG firstColumn = 0;
  if (dimensions == 1 && Extent(array, 1, firstRow) == 0) return {};
  if (dimensions != 2) throw OddAnswer("an array of " + std::to_string(dimensions) + " dimensions");
  // The first dimension counts the rows, as a script indexes the array: (row, column).
  const size_t rows = Extent(array, 1, firstRow);
  const size_t width = Extent(array, 2, firstColumn);
  if (rows == 0) return {};
  if (width != columns) throw OddAnswer(std::to_string(width) + " columns, not " + std::to_string(columns));
  if (rows > maxRows) throw OddAnswer(std::to_string(rows) + " rows for " + std::to_string(maxRows) + " asked");
  if (!HoldsVariants(array)) throw OddAnswer("an array of other elements");

  std::vector<std::vector<std::wstring>> texts(rows);
  for (size_t row = 0; row < rows; ++row) {
    texts[row].reserve(columns);
    for (size_t column = 0; column < columns; ++column) {
      texts[row].push_back(CellText(array, firstRow + static_cast<LONG>(row), firstColumn + static_cast<LONG>(column)));
    }
  }
  return texts;
}

}  // namespace orvane
