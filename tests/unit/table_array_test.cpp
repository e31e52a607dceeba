// The rows of Outlook's table answers, and the answers of another form that are refused whole.
#include "outlook/automation_error.h"
#include "outlook/table_array.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {

namespace {

using Rows = std::vector<std::vector<std::wstring>>;

// A SAFEARRAY of `type` with the bounds given first dimension first; every element set, in
// element order, to the next of `cells` (a text, or an integer when it starts with '#').
struct ArrayAnswer {
  const char* what;
  VARTYPE type;
  std::vector<SAFEARRAYBOUND> bounds;
  std::vector<std::wstring> cells;
};

Variant CellOf(const std::wstring& text) {
  if (!text.empty() && text[0] == L'#') return Variant::Int32(std::stoi(text.substr(1)));
  if (text == L"(empty)") return Variant();
  return Variant::Wide(text);
}

// Puts the cells in with the indices counted first dimension first, the last varying fastest.
Variant Answer(const ArrayAnswer& answer) {
  Variant result;
  SAFEARRAY* array = SafeArrayCreate(answer.type, static_cast<UINT>(answer.bounds.size()),
                                     const_cast<SAFEARRAYBOUND*>(answer.bounds.data()));
  VARIANT* raw = result.Receive();
  raw->parray = array;
  raw->vt = static_cast<VARTYPE>(VT_ARRAY | answer.type);
  std::vector<LONG> indices;
  for (const SAFEARRAYBOUND& bound : answer.bounds) indices.push_back(bound.lLbound);
  for (const std::wstring& text : answer.cells) {
    const Variant cell = CellOf(text);
    EXPECT_EQ(SafeArrayPutElement(
                  array, indices.data(),
                  answer.type == VT_BSTR ? static_cast<void*>(cell.Get().bstrVal) : const_cast<VARIANT*>(&cell.Get())),
              S_OK);
    for (size_t d = indices.size(); d-- > 0;) {
      const SAFEARRAYBOUND& bound = answer.bounds[d];
      if (++indices[d] < bound.lLbound + static_cast<LONG>(bound.cElements)) break;
      indices[d] = bound.lLbound;
    }
  }
  return result;
}

TEST(TableArrayTest, RowsComeOutAsTheTableHoldsThem) {
  struct Case {
    ArrayAnswer answer;
    Rows rows;
  };
  const Case cases[] = {
      {{"rows from 0", VT_VARIANT, {{3, 0}, {2, 0}}, {L"id1", L"One", L"id2", L"Two", L"id3", L"(empty)"}},
       {{L"id1", L"One"}, {L"id2", L"Two"}, {L"id3", L""}}},
      {{"rows from 1", VT_VARIANT, {{1, 1}, {2, 1}}, {L"id9", L"Nine"}}, {{L"id9", L"Nine"}}},
      {{"no rows", VT_VARIANT, {{0, 0}, {2, 0}}, {}}, {}},
      {{"no elements at all", VT_VARIANT, {{0, 0}}, {}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.what);
    EXPECT_EQ(TextRowsOf(Answer(c.answer), 2, 3), c.rows);
  }
}

TEST(TableArrayTest, AnAnswerOfAnotherFormIsRefusedWhole) {
  const ArrayAnswer answers[] = {
      {"one dimension", VT_VARIANT, {{2, 0}}, {L"id1", L"One"}},
      {"three dimensions", VT_VARIANT, {{1, 0}, {2, 0}, {1, 0}}, {L"id1", L"One"}},
      {"indices from 2", VT_VARIANT, {{1, 2}, {2, 0}}, {L"id1", L"One"}},
      {"indices from -1", VT_VARIANT, {{1, 0}, {2, -1}}, {L"id1", L"One"}},
      {"three columns", VT_VARIANT, {{1, 0}, {3, 0}}, {L"id1", L"One", L"x"}},
      {"one column", VT_VARIANT, {{2, 0}, {1, 0}}, {L"id1", L"id2"}},
      {"more rows than asked", VT_VARIANT, {{4, 0}, {2, 0}}, {L"a", L"A", L"b", L"B", L"c", L"C", L"d", L"D"}},
      {"a number for a text", VT_VARIANT, {{1, 0}, {2, 0}}, {L"id1", L"#7"}},
      {"texts, not variants", VT_BSTR, {{1, 0}, {2, 0}}, {L"id1", L"One"}},
  };
  for (const ArrayAnswer& answer : answers) {
    SCOPED_TRACE(answer.what);
    EXPECT_THROW(TextRowsOf(Answer(answer), 2, 3), AutomationError);
  }
  EXPECT_THROW(TextRowsOf(Variant::Wide(L"no array"), 2, 3), AutomationError);
}

}  // namespace

}  // namespace orvane
