// Which InternetCodepage numbers carry a link id: those that are no code page Windows knows.
#include "items/code_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace orvane {

namespace {

TEST(CodePages, OnlyANumberThatIsNoCodePageCarriesALinkId) {
  EXPECT_TRUE(std::adjacent_find(std::begin(items::kCodePages), std::end(items::kCodePages),
                                 [](int32_t a, int32_t b) { return a >= b; }) == std::end(items::kCodePages))
      << "the table must be sorted and without repeats for its search";
  const struct {
    int32_t codepage;
    int32_t linkId;
  } kCases[] = {
      {0, 0},     {4712, 4712}, {57, 57}, {1252, 0},    {65001, 0},     {28591, 0},
      {20127, 0}, {37, 0},      {-5, -5}, {1259, 1259}, {28590, 28590}, {65002, 65002},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(items::LinkIdOfCodepage(c.codepage), c.linkId) << c.codepage;
  }
}

}  // namespace

}  // namespace orvane
