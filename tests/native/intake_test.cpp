#include "app/intake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace orvane {

namespace {

using intake::Action;
using intake::Writer;

struct DispatchCase {
  uint32_t kind;
  Action action;
  Writer writer;
};

class DispatchTable : public testing::TestWithParam<DispatchCase> {};

TEST_P(DispatchTable, ChoosesTheWriterOfKindAndAction) {
  EXPECT_EQ(intake::ChooseWriter(GetParam().kind, GetParam().action), GetParam().writer);
}

constexpr uint32_t kTask = intake::kTaskKind;
constexpr uint32_t kAppointment = intake::kAppointmentKind;
constexpr uint32_t kNote = intake::kNoteKind;

INSTANTIATE_TEST_SUITE_P(
    EveryKindAgainstEveryAction, DispatchTable,
    testing::Values(DispatchCase{kTask, Action::Save, Writer::SaveOutlookTask},
                    DispatchCase{kTask, Action::Change, Writer::ChangeOutlookTask},
                    DispatchCase{kTask, Action::Delete, Writer::DeleteOutlookItem},
                    DispatchCase{kTask, Action::Done, Writer::DoneOutlookItem},
                    DispatchCase{kTask, Action::None, Writer::None},
                    DispatchCase{kAppointment, Action::Save, Writer::SaveOutlookApps},
                    DispatchCase{kAppointment, Action::Change, Writer::ChangeOutlookApps},
                    DispatchCase{kAppointment, Action::Delete, Writer::DeleteOutlookItem},
                    DispatchCase{kAppointment, Action::Done, Writer::DoneOutlookItem},
                    DispatchCase{kNote, Action::Save, Writer::SaveOutlookNote},
                    DispatchCase{kNote, Action::Change, Writer::ChangeOutlookNote},
                    DispatchCase{kNote, Action::Delete, Writer::DeleteOutlookItem},
                    DispatchCase{kNote, Action::Done, Writer::None},
                    DispatchCase{intake::kTaskLinkKind, Action::Save, Writer::SetOutlookLinkId},
                    DispatchCase{intake::kAppointmentLinkKind, Action::Save, Writer::SetOutlookLinkId},
                    DispatchCase{intake::kNoteLinkKind, Action::Save, Writer::SetOutlookLinkId},
                    DispatchCase{intake::kTaskLinkKind, Action::Change, Writer::None},
                    DispatchCase{intake::kAppointmentLinkKind, Action::Delete, Writer::None},
                    DispatchCase{intake::kNoteLinkKind, Action::Done, Writer::None},
                    DispatchCase{0x2BB7B2A9, Action::Save, Writer::None}, DispatchCase{0, Action::Save, Writer::None}));

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

class ParkRecord : public testing::Test {
protected:
  void SetUp() override {
    recordPending = 0;
    pendingKind = 0;
    std::memset(recordBuffer, '#', sizeof recordBuffer);
  }
};

TEST_F(ParkRecord, AcceptedKindIsParkedWithItsTerminator) {
  const std::string text = "Subject\tfield";
  EXPECT_EQ(intake::ParkRecord(intake::kTaskKind, text.data(), text.size()), intake::Receipt::Parked);
  EXPECT_STREQ(recordBuffer, "Subject\tfield");
  EXPECT_EQ(pendingKind, intake::kTaskKind);
  EXPECT_EQ(recordPending, 1);
}

TEST_F(ParkRecord, RecordEndsAtItsFirstZeroByte) {
  const char data[] = {'a', 'b', '\0', 'c', 'd'};
  intake::ParkRecord(intake::kNoteKind, data, sizeof data);
  EXPECT_STREQ(recordBuffer, "ab");
}

TEST_F(ParkRecord, EmptyRecordIsAnEmptyText) {
  EXPECT_EQ(intake::ParkRecord(intake::kNoteKind, nullptr, 0), intake::Receipt::Parked);
  EXPECT_STREQ(recordBuffer, "");
}

TEST_F(ParkRecord, LongestRecordThatFitsIsKeptWhole) {
  const std::string text(intake::kRecordBufferSize - 1, 'x');
  EXPECT_EQ(intake::ParkRecord(intake::kTaskKind, text.data(), text.size()), intake::Receipt::Parked);
  EXPECT_EQ(std::strlen(recordBuffer), text.size());
}

TEST_F(ParkRecord, TooLongOrNotAcceptedLeavesEverythingAsItWas) {
  const std::string first = "first";
  intake::ParkRecord(intake::kAppointmentKind, first.data(), first.size());
  const uint32_t parked = intake::RecordsParked();
  const std::string tooLong(intake::kRecordBufferSize, 'y');
  EXPECT_EQ(intake::ParkRecord(intake::kTaskKind, tooLong.data(), tooLong.size()), intake::Receipt::TooLarge);
  EXPECT_EQ(intake::ParkRecord(0x2BB7B2A9, "x", 1), intake::Receipt::NotAccepted);
  EXPECT_STREQ(recordBuffer, "first");
  EXPECT_EQ(pendingKind, intake::kAppointmentKind);
  EXPECT_EQ(intake::RecordsParked(), parked);
}

TEST(ReceiptLogLine, OnlyTasksAndAppointmentsAreAnnounced) {
  EXPECT_STREQ(intake::ReceiptLogLine(intake::kTaskKind), "OnCopyData::New Item");
  EXPECT_STREQ(intake::ReceiptLogLine(intake::kAppointmentKind), "OnCopyData::New Appointment");
  EXPECT_EQ(intake::ReceiptLogLine(intake::kNoteKind), nullptr);
  EXPECT_EQ(intake::ReceiptLogLine(intake::kTaskLinkKind), nullptr);
}

}  // namespace

}  // namespace orvane
