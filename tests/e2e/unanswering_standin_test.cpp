// A stand-in Outlook that stops answering takes only the test it hangs in with it: the call left
// unanswered fails once the stand-in is ended, and the next test's fixture ends one an earlier
// test left behind. Either way the next client of its classes starts a fresh stand-in.
#include "tests/e2e/harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace e2e;

constexpr int kTasksFolder = 13;

class UnansweringStandinTest : public testing::Test {
protected:
  void SetUp() override {
    EndStrayPlugins();
    EXPECT_EQ(EndLeftoverStandin(), "");
    workDirectory_ = FreshWorkDirectory();
  }
  void TearDown() override { EndLeftoverStandin(); }

  // What an activation of the control class reaches now: a stand-in other than the one ended,
  // answering.
  void ExpectAFreshStandinAnswers(DWORD ended) const {
    const StandinControl fresh;
    ASSERT_TRUE(fresh.Available()) << "the stand-in's classes still point at the process ended";
    EXPECT_NE(static_cast<DWORD>(fresh.Call(L"ProcessId").ToInt32()), ended);
    EXPECT_EQ(fresh.ItemCount(kTasksFolder), 0);
  }

  Apartment apartment_;
  std::string workDirectory_;
};

TEST_F(UnansweringStandinTest, ACallLeftUnansweredEndsTheStandinAndFailsSayingSo) {
  DWORD stalled = 0;
  {
    const StandinControl control(2s);
    ASSERT_TRUE(control.Available());
    stalled = static_cast<DWORD>(control.Call(L"ProcessId").ToInt32());
    const auto start = std::chrono::steady_clock::now();
    try {
      control.Call(L"Stall", outlook::Variant::Int32(600000));
      ADD_FAILURE() << "the stalled call answered";
    } catch (const outlook::AutomationError& error) {
      EXPECT_NE(std::string(error.what()).find("left Control.Stall unanswered for 2 s and was ended"),
                std::string::npos)
          << error.what();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
    EXPECT_EQ(ProcessesOf(kStandinProgram), std::vector<DWORD>{});
  }
  ExpectAFreshStandinAnswers(stalled);
}

TEST_F(UnansweringStandinTest, AStandinAnEarlierTestLeftHungIsEndedByTheNextWithAMessage) {
  // The earlier test's client is still waiting on its call, and holds the stand-in.
  const ChildProcess client("OutlookClient.exe", "control Stall 600000", workDirectory_);
  ASSERT_TRUE(WaitUntil([] { return !ProcessesOf(kStandinProgram).empty(); }, 10s));
  const std::vector<DWORD> left = ProcessesOf(kStandinProgram);
  ASSERT_EQ(left.size(), 1u);

  const std::string message = EndLeftoverStandin(3s);
  EXPECT_NE(message.find("was still running 3 s after it"), std::string::npos) << message;
  EXPECT_NE(message.find("(process " + std::to_string(left.front()) + "): ended"), std::string::npos) << message;
  EXPECT_EQ(ProcessesOf(kStandinProgram), std::vector<DWORD>{});
  ExpectAFreshStandinAnswers(left.front());
  // The fresh one ends by itself once its client has let go: nothing is left to end.
  EXPECT_EQ(EndLeftoverStandin(), "");
}

}  // namespace

}  // namespace orvane
