// Subjects compared as the item lookups compare them: the same text, letter case aside.
#include "inbound/item_lookup.h"

#include <gtest/gtest.h>

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
  for (const auto& c : kCases) EXPECT_EQ(SubjectsMatch(c.a, c.b), c.match) << c.a << " | " << c.b;
}

}  // namespace

}  // namespace orvane
