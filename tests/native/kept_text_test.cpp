// Whether Outlook's text already goes out in a record as the record's text: then a writer leaves
// what the record could not carry as Outlook holds it.
#include "inbound/kept_text.h"

#include <gtest/gtest.h>

namespace orvane {

namespace {

TEST(KeptText, OutlooksTextIsKeptOnlyWhereTheRecordSaysNoMore) {
  const struct {
    const char* name;
    const char* outlook;  // in the ANSI code page, as the item gives it: "?" for what it lacks
    const char* record;
    bool carried;
  } kCases[] = {
      {"a star the code page lacks came back as ?", "Plan ?", "Plan ?", true},
      {"the same text", "Call the bank", "Call the bank", true},
      {"a new subject", "Plan ?", "Plan B", false},
      {"a change of letter case is a change", "plan", "Plan", false},
      {"a tab and a line end went out as spaces", "Ask\tabout\r\nit", "Ask about  it", true},
      {"empty against empty", "", "", true},
      {"empty went out as nono", "", "nono", true},
      {"a text is not nono", "x", "nono", false},
      {"empty against a text", "", "Plan", false},
      {"a text against empty", "Plan", "", false},
      {"a placeholder word is a text like any other", "Work", "blank", false},
  };
  for (const auto& c : kCases) EXPECT_EQ(inbound::RecordCarriesText(c.outlook, c.record), c.carried) << c.name;
  EXPECT_TRUE(inbound::RecordCarriesText(std::string_view("A\0B", 3), "AB")) << "a NUL is left out";
}

}  // namespace

}  // namespace orvane
