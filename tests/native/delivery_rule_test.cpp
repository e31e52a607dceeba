// When a record handed to the main application counts as delivered, and when it goes again.
#include "outbound/delivery_rule.h"

#include <gtest/gtest.h>

namespace orvane {

namespace {

using outbound::AfterSend;
using outbound::SendOutcome;

constexpr uint32_t kNewTask = 0x2BB7B2A6, kChangedNote = 0x2BB7B2AB, kDeletedTask = 0x2BB7B2B1,
                   kDeletedAppointment = 0x2BB7B2B0, kTaskLink = 0x2BB7B2AC;

TEST(DeliveryRule, ARefusalOrAHungReceiverIsNeverTakenAndATimeOutMayHaveBeen) {
  const struct {
    bool answered;
    uint32_t elapsed;
    SendOutcome outcome;
  } kCases[] = {
      {true, 0, SendOutcome::kTaken},        {true, 5000, SendOutcome::kTaken},
      {false, 0, SendOutcome::kRefused},     {false, 31, SendOutcome::kRefused},
      {false, 499, SendOutcome::kRefused},   {false, 500, SendOutcome::kTimedOut},
      {false, 4000, SendOutcome::kTimedOut}, {false, 5016, SendOutcome::kTimedOut},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(outbound::OutcomeOfSend(c.answered, c.elapsed, 5000), c.outcome) << c.answered << " " << c.elapsed;
  }
  EXPECT_EQ(outbound::OutcomeOfSend(false, 40, 100), SendOutcome::kRefused) << "a short time-out";
  EXPECT_EQ(outbound::OutcomeOfSend(false, 60, 100), SendOutcome::kTimedOut);
  // A receiver hung when the wait gave up never took the message; an answer is an answer.
  EXPECT_EQ(outbound::OutcomeOfSend(false, 5016, 5000, true), SendOutcome::kRefused);
  EXPECT_EQ(outbound::OutcomeOfSend(true, 4000, 5000, true), SendOutcome::kTaken);
}

TEST(DeliveryRule, ARecordGoesAgainOnlyWhereTheMainApplicationMayGetItTwiceWithoutHarm) {
  const struct {
    const char* name;
    SendOutcome outcome;
    uint32_t kind;
    bool subjectElsewhere;
    AfterSend after;
  } kCases[] = {
      {"taken", SendOutcome::kTaken, kNewTask, false, AfterSend::kDelivered},
      {"no window", SendOutcome::kNotThere, kNewTask, true, AfterSend::kSendAgain},
      {"hung, refused at once", SendOutcome::kRefused, kNewTask, true, AfterSend::kSendAgain},
      {"a new item after a time-out", SendOutcome::kTimedOut, kNewTask, false, AfterSend::kCountedDelivered},
      {"a change after a time-out", SendOutcome::kTimedOut, kChangedNote, true, AfterSend::kSendAgain},
      {"a lone subject's deletion", SendOutcome::kTimedOut, kDeletedTask, false, AfterSend::kSendAgain},
      {"a shared subject's deletion", SendOutcome::kTimedOut, kDeletedAppointment, true, AfterSend::kCountedDelivered},
      {"a kind of no record", SendOutcome::kTimedOut, kTaskLink, false, AfterSend::kCountedDelivered},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(outbound::DecideAfterSend(c.outcome, outbound::SafeToRepeat(c.kind, c.subjectElsewhere)), c.after)
        << c.name;
  }
  // A change goes again over pauses in a row; a main application slower than the time-out at every
  // record has had it kTimeOutsSentAgain + 1 times by then.
  constexpr auto kBound = outbound::kTimeOutsSentAgain;
  static_assert(kBound >= 2, "two pauses of the main application in a row lose no change");
  EXPECT_EQ(outbound::DecideAfterSend(SendOutcome::kTimedOut, true, kBound - 1), AfterSend::kSendAgain);
  EXPECT_EQ(outbound::DecideAfterSend(SendOutcome::kTimedOut, true, kBound), AfterSend::kCountedDelivered);
  EXPECT_EQ(outbound::DecideAfterSend(SendOutcome::kRefused, true, kBound), AfterSend::kSendAgain);
  EXPECT_EQ(outbound::DecideAfterSend(SendOutcome::kTaken, false, kBound), AfterSend::kDelivered);
}

TEST(DeliveryRule, ASubjectIsElsewhereWhenAnotherItemMayBearItAsTheMainApplicationKnowsIt) {
  outbound::PictureState state;
  state.entries = {{"gone", "Call"}, {"b", "Pay\tinvoice"}, {"c", "Caf\xE9"}, {"d", "Meeting"}};
  const outbound::FolderPicture picture(state);
  const struct {
    const char* subject;
    const char* goneId;
    bool elsewhere;
  } kCases[] = {
      {"Call", "gone", false},        // the gone item itself does not count
      {"Call", "other", true},        // a second "Call" is there
      {"CALL", "x", true},            // letter case
      {"Pay invoice", "gone", true},  // the tab went out as a space
      {"CAF\xC9", "gone", true},      // a letter beyond ASCII in another case
      {"Caf\xE8", "gone", true},      // a doubt answers yes
      {"Cafe", "gone", false},       {"Meetings", "gone", false}, {"", "gone", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(outbound::SubjectElsewhere(picture, c.subject, c.goneId), c.elsewhere) << c.subject << " " << c.goneId;
  }
}

}  // namespace

}  // namespace orvane
