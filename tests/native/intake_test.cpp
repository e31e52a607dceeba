#include "app/intake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace orvane {

namespace {

using app::Action;
using app::Receipt;

TEST(ActionOf, ComparesSaveChangeDeleteDoneInThatOrder) {
  const app::ActionMessages messages{0xC001, 0xC002, 0xC003, 0xC004};
  EXPECT_EQ(app::ActionOf(0xC001, messages), Action::Save);
  EXPECT_EQ(app::ActionOf(0xC002, messages), Action::Change);
  EXPECT_EQ(app::ActionOf(0xC003, messages), Action::Delete);
  EXPECT_EQ(app::ActionOf(0xC004, messages), Action::Done);
  EXPECT_EQ(app::ActionOf(0, messages), Action::None);
  EXPECT_EQ(app::ActionOf(0xC0FF, messages), Action::None);
  const app::ActionMessages same{0xC001, 0xC001, 0xC001, 0xC001};
  EXPECT_EQ(app::ActionOf(0xC001, same), Action::Save);
}

struct ParkCase {
  const char* what;
  uint64_t kind;
  std::string bytes;
  size_t size;  // may claim more than the bytes hold only when there are none
  app::Receipt receipt;
  std::string recordAfter;
};

TEST(ParkRecord, ParksWhatFitsUnderAKindItKnowsAndRefusesTheRest) {
  const std::string fits(app::kRecordBufferSize - 1, 'x');
  const std::string tooLong(app::kRecordBufferSize, 'y');
  const ParkCase kCases[] = {
      {"no bytes", mainapp::kNote, "", 0, app::Receipt::Parked, ""},
      {"longest that fits", mainapp::kTask, fits, fits.size(), app::Receipt::Parked, fits},
      {"too long", mainapp::kTask, tooLong, tooLong.size(), app::Receipt::TooLarge, "first"},
      {"kind in the low half only", 0x12BB7B2A6, "x", 1, app::Receipt::NotAccepted, "first"},
      {"size without data", mainapp::kTask, "", 12, app::Receipt::WithoutData, "first"},
  };
  // The kind, the pending flag and the count that go with a receipt are the intake fuzzer's to check.
  for (const auto& c : kCases) {
    std::memset(app::recordBuffer, '#', sizeof app::recordBuffer);
    ASSERT_EQ(app::ParkRecord(mainapp::kAppointment, "first", 5), app::Receipt::Parked);
    const void* data = c.bytes.empty() ? nullptr : c.bytes.data();
    EXPECT_EQ(app::ParkRecord(c.kind, data, c.size), c.receipt) << c.what;
    EXPECT_EQ(app::recordBuffer, c.recordAfter) << c.what;
  }
}

TEST(ParkRecord, RefusalLineGivesTheSizeAsSent) {
  EXPECT_EQ(app::RefusalLogLine(app::Receipt::TooLarge, 4294967295u),
            "OnCopyData::Record refused, too long for the record buffer: bytes 4294967295");
  EXPECT_EQ(app::RefusalLogLine(app::Receipt::WithoutData, 2147483648u),
            "OnCopyData::Record refused, no data: bytes 2147483648");
}

}  // namespace

}  // namespace orvane
