// Subjects compared as the item lookups and the deletion watch compare them: the same text, letter case aside.
#include "items/subject_match.h"

#include <gtest/gtest.h>

#include <string_view>

namespace orvane {

namespace {

TEST(SubjectsMatch, SameTextIgnoringLetterCaseOnly) {
  // Code page 1252: "\xC9t\xE9" is "Été", "Gro\xDF" "Groß", "\xAD" a soft hyphen.
  const struct {
    const char* a;
    const char* b;
    bool match;
  } kCases[] = {
      {"Call the bank", "CALL THE BANK", true},
      {"\xC9t\xE9", "\xE9T\xC9", true},
      {"", "", true},
      {"Call the bank", "Call the bank ", false},
      {"", "x", false},
      {"Et\xE9", "\xC9t\xE9", false},
      {"Gro\xDF", "Gross", false},
      {"Resign", "Re-sign", false},
      {"Resign", "Re\xADsign", false},
  };
  for (const auto& c : kCases) EXPECT_EQ(items::SubjectsMatch(c.a, c.b), c.match) << c.a << " | " << c.b;
}

// The rule a record's subject finds an item by: both texts as the main application knows them,
// where a TAB, CR or LF is a space and a NUL is nothing.
TEST(SubjectNames, TheSubjectsAsSentMatchIgnoringLetterCase) {
  using namespace std::string_view_literals;
  const struct {
    std::string_view item;
    std::string_view wanted;
    bool names;
  } kCases[] = {
      {"Call the bank", "call THE bank", true},
      {"Call\tthe bank", "Call the bank", true},
      {"Call the bank", "Call\tthe bank", true},
      {"Call\r\nthe bank", "call  the bank", true},
      {"Call\r\nthe bank", "Call the bank", false},
      {"Call\0 the bank"sv, "Call the bank", true},
      {"Call the bank", "Call\0 the bank"sv, true},
      {"", "", true},
      {"\0"sv, "", true},
      {"", " ", false},
      {"\t", " ", true},
      {"Call the bank", "Call the bank.", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(items::SubjectNames(c.item, c.wanted), c.names) << "[" << c.item << "] [" << c.wanted << "]";
  }
}

// A subject a table cut: worth reading whole when the subject sought can start with it.
TEST(SubjectNames, ACutSubjectMayStartTheOneSought) {
  const struct {
    const char* cut;
    const char* wanted;
    bool may;
  } kCases[] = {
      {"Quarterly rep", "QUARTERLY REPORT", true},
      {"Quarterly reX", "Quarterly report", true},  // the last character may be cut in two
      {"Quarterly rep", "Quarterly re", false},
      {"Quarterly\trep", "quarterly report", true},
      {"Monthly rep", "Quarterly report", false},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(items::SubjectMayStartWith(c.cut, c.wanted), c.may) << c.cut << " | " << c.wanted;
}

}  // namespace

}  // namespace orvane
