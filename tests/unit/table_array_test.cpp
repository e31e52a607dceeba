// The rows of Outlook's table answers, and the answers of another form that are refused whole.
#include "outlook/automation_error.h"
#include "outlook/table_array.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {

namespace {

using Rows = std::vector<std::vector<std::wstring>>;

constexpr outlook::CellForm kText = outlook::CellForm::Text;
constexpr outlook::CellForm kBytes = outlook::CellForm::Bytes;

// A SAFEARRAY of `type` with the bounds given first dimension first; every element set, in
// element order, to the next of `cells` (a text; an integer when it starts with '#'; bytes, given
// in hex, when it starts with "0x"), read as columns of the `forms`.
struct ArrayAnswer {
  const char* what;
  VARTYPE type;
  std::vector<SAFEARRAYBOUND> bounds;
  std::vector<std::wstring> cells;
  std::vector<outlook::CellForm> forms = {kText, kText};
};

outlook::Variant BytesOf(const std::wstring& hex) {
  outlook::Variant bytes;
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(hex.size() / 2));
  VARIANT* raw = bytes.Receive();
  raw->parray = array;
  raw->vt = VT_ARRAY | VT_UI1;
  for (size_t i = 0; i < hex.size() / 2; ++i) {
    static_cast<BYTE*>(array->pvData)[i] = static_cast<BYTE>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  }
  return bytes;
}

outlook::Variant CellOf(const std::wstring& text) {
  if (!text.empty() && text[0] == L'#') return outlook::Variant::Int32(std::stoi(text.substr(1)));
  if (text.rfind(L"0x", 0) == 0) return BytesOf(text.substr(2));
  if (text == L"(empty)") return outlook::Variant();
  return outlook::Variant::Wide(text);
}

// Puts the cells in with the indices counted first dimension first, the last varying fastest.
outlook::Variant Answer(const ArrayAnswer& answer) {
  outlook::Variant result;
  SAFEARRAY* array = SafeArrayCreate(answer.type, static_cast<UINT>(answer.bounds.size()),
                                     const_cast<SAFEARRAYBOUND*>(answer.bounds.data()));
  VARIANT* raw = result.Receive();
  raw->parray = array;
  raw->vt = static_cast<VARTYPE>(VT_ARRAY | answer.type);
  std::vector<LONG> indices;
  for (const SAFEARRAYBOUND& bound : answer.bounds) indices.push_back(bound.lLbound);
  for (const std::wstring& text : answer.cells) {
    const outlook::Variant cell = CellOf(text);
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
      {{"columns first", VT_VARIANT, {{2, 0}, {3, 0}}, {L"id1", L"id2", L"id3", L"One", L"Two", L"(empty)"}},
       {{L"id1", L"One"}, {L"id2", L"Two"}, {L"id3", L""}}},
      {{"one row, columns first", VT_VARIANT, {{2, 0}, {1, 0}}, {L"id1", L"One"}}, {{L"id1", L"One"}}},
      {{"columns first, no rows", VT_VARIANT, {{2, 0}, {0, 0}}, {}}, {}},
      {{"bytes as upper-case hex", VT_VARIANT, {{1, 0}, {2, 0}}, {L"0x00ab10", L"One"}, {kBytes, kText}},
       {{L"00AB10", L"One"}}},
      {{"as many rows as columns, rows first",
        VT_VARIANT,
        {{2, 0}, {2, 0}},
        {L"0x0A", L"One", L"0x0B", L"Two"},
        {kBytes, kText}},
       {{L"0A", L"One"}, {L"0B", L"Two"}}},
      {{"as many rows as columns, columns first",
        VT_VARIANT,
        {{2, 0}, {2, 0}},
        {L"0x0A", L"0x0B", L"One", L"Two"},
        {kBytes, kText}},
       {{L"0A", L"One"}, {L"0B", L"Two"}}},
      {{"as many rows as columns, either order the same", VT_VARIANT, {{2, 0}, {2, 0}}, {L"a", L"b", L"b", L"c"}},
       {{L"a", L"b"}, {L"b", L"c"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer.what);
    EXPECT_EQ(outlook::TextRowsOf(Answer(c.answer), c.answer.forms, 3), c.rows);
  }
}

TEST(TableArrayTest, AnAnswerOfAnotherFormIsRefusedWhole) {
  const ArrayAnswer answers[] = {
      {"one dimension", VT_VARIANT, {{2, 0}}, {L"id1", L"One"}},
      {"three dimensions", VT_VARIANT, {{1, 0}, {2, 0}, {1, 0}}, {L"id1", L"One"}},
      {"indices from 2", VT_VARIANT, {{1, 2}, {2, 0}}, {L"id1", L"One"}},
      {"indices from -1", VT_VARIANT, {{1, 0}, {2, -1}}, {L"id1", L"One"}},
      {"three columns", VT_VARIANT, {{1, 0}, {3, 0}}, {L"id1", L"One", L"x"}},
      {"one column", VT_VARIANT, {{3, 0}, {1, 0}}, {L"id1", L"id2", L"id3"}},
      {"more rows than asked", VT_VARIANT, {{4, 0}, {2, 0}}, {L"a", L"A", L"b", L"B", L"c", L"C", L"d", L"D"}},
      {"a number for a text", VT_VARIANT, {{1, 0}, {2, 0}}, {L"id1", L"#7"}},
      {"texts, not variants", VT_BSTR, {{1, 0}, {2, 0}}, {L"id1", L"One"}},
      {"more rows than asked, columns first",
       VT_VARIANT,
       {{2, 0}, {4, 0}},
       {L"a", L"b", L"c", L"d", L"A", L"B", L"C", L"D"}},
      {"a text for bytes", VT_VARIANT, {{1, 0}, {2, 0}}, {L"00AB", L"One"}, {kBytes, kText}},
      {"bytes for a text", VT_VARIANT, {{1, 0}, {2, 0}}, {L"0x00AB", L"0x01"}, {kBytes, kText}},
      {"as many rows as columns, order untold", VT_VARIANT, {{2, 0}, {2, 0}}, {L"id1", L"One", L"id2", L"Two"}},
  };
  for (const ArrayAnswer& answer : answers) {
    SCOPED_TRACE(answer.what);
    EXPECT_THROW(outlook::TextRowsOf(Answer(answer), answer.forms, 3), outlook::AutomationError);
  }
  EXPECT_THROW(outlook::TextRowsOf(outlook::Variant::Wide(L"no array"), {kText, kText}, 3), outlook::AutomationError);
}

}  // namespace

}  // namespace orvane
