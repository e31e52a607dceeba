#include "app/intake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace orvane {

namespace {

using intake::Action;
using intake::Receipt;

TEST(ActionOf, ComparesSaveChangeDeleteDoneInThatOrder) {
  const intake::ActionMessages messages{0xC001, 0xC002, 0xC003, 0xC004};
  EXPECT_EQ(intake::ActionOf(0xC001, messages), Action::Save);
  EXPECT_EQ(intake::ActionOf(0xC002, messages), Action::Change);
  EXPECT_EQ(intake::ActionOf(0xC003, messages), Action::Delete);
  EXPECT_EQ(intake::ActionOf(0xC004, messages), Action::Done);
  EXPECT_EQ(intake::ActionOf(0, messages), Action::None);
  EXPECT_EQ(intake::ActionOf(0xC0FF, messages), Action::None);
  const intake::ActionMessages same{0xC001, 0xC001, 0xC001, 0xC001};
  EXPECT_EQ(intake::ActionOf(0xC001, same), Action::Save);
}

struct ParkCase {
  const char* what;
  uint64_t kind;
  std::string bytes;
  size_t size;  // may claim more than the bytes hold only when there are none
  Receipt receipt;
  std::string recordAfter;
};

TEST(ParkRecord, ParksWhatFitsUnderAKindItKnowsAndRefusesTheRest) {
  const std::string fits(intake::kRecordBufferSize - 1, 'x');
  const std::string tooLong(intake::kRecordBufferSize, 'y');
  const ParkCase kCases[] = {
      {"no bytes", kinds::kNote, "", 0, Receipt::Parked, ""},
      {"longest that fits", kinds::kTask, fits, fits.size(), Receipt::Parked, fits},
      {"too long", kinds::kTask, tooLong, tooLong.size(), Receipt::TooLarge, "first"},
      {"kind in the low half only", 0x12BB7B2A6, "x", 1, Receipt::NotAccepted, "first"},
      {"size without data", kinds::kTask, "", 12, Receipt::WithoutData, "first"},
  };
  // The kind, the pending flag and the count that go with a receipt are the intake fuzzer's to check.
  for (const auto& c : kCases) {
    std::memset(recordBuffer, '#', sizeof recordBuffer);
    ASSERT_EQ(intake::ParkRecord(kinds::kAppointment, "first", 5), Receipt::Parked);
    const void* data = c.bytes.empty() ? nullptr : c.bytes.data();
    EXPECT_EQ(intake::ParkRecord(c.kind, data, c.size), c.receipt) << c.what;
    EXPECT_EQ(recordBuffer, c.recordAfter) << c.what;
  }
}

TEST(ParkRecord, RefusalLineGivesTheSizeAsSent) {
  EXPECT_EQ(intake::RefusalLogLine(Receipt::TooLarge, 4294967295u),
            "OnCopyData::Record refused, too long for the record buffer: bytes 4294967295");
  EXPECT_EQ(intake::RefusalLogLine(Receipt::WithoutData, 2147483648u),
            "OnCopyData::Record refused, no data: bytes 2147483648");
}

}  // namespace

}  // namespace orvane
