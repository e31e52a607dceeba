// Waiting out a busy Outlook: calls turned away are tried again, other failures are not, the
// wait ends at its limit and does not hold up messages sent to the thread, and COM's own retry
// (through the message filter) follows the same rule.
#include "outlook/busy_retry.h"

#include "base/message_filter.h"
#include "tests/common/test_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace orvane {
namespace {

// Answers the scripted results in turn, the last one again and again.
struct Script {
  std::vector<HRESULT> results;
  size_t tries = 0;
  HRESULT operator()() { return results[std::min(tries++, results.size() - 1)]; }
};

TEST(BusyRetryTest, CallsTurnedAwayAreTriedAgainUntilOutlookAnswers) {
  struct Case {
    std::vector<HRESULT> results;
    HRESULT expected;
    size_t tries;
  };
  const Case cases[] = {
      {{RPC_E_CALL_REJECTED, RPC_E_CALL_REJECTED, S_OK}, S_OK, 3},
      {{RPC_E_SERVERCALL_RETRYLATER, DISP_E_EXCEPTION}, DISP_E_EXCEPTION, 2},
      {{DISP_E_MEMBERNOTFOUND, S_OK}, DISP_E_MEMBERNOTFOUND, 1},
      {{E_FAIL, S_OK}, E_FAIL, 1},
  };
  for (const Case& c : cases) {
    Script script{c.results};
    EXPECT_EQ(outlook::CallWhileBusy(script), c.expected);
    EXPECT_EQ(script.tries, c.tries);
  }
}

// The limit is read on a clock of the test's: the first try at 1000, the next ones 150 ms apart
// however long the machine takes.
TEST(BusyRetryTest, OutlookBusyForLongerThanTheLimitFailsWithItsAnswerAtTheLimit) {
  Script script{{RPC_E_CALL_REJECTED}};
  std::vector<DWORD> readings;
  const auto clock = [&] {
    readings.push_back(readings.empty() ? 1000 : readings.back() + 150);
    return readings.back();
  };
  EXPECT_EQ(outlook::CallWhileBusy(script, 300, clock), RPC_E_CALL_REJECTED);
  // Tried at 1000, again after 150 ms, and given up once 300 ms have passed.
  EXPECT_EQ(script.tries, 2u);
  EXPECT_EQ(readings, (std::vector<DWORD>{1000, 1150, 1300}));
}

TEST(BusyRetryTest, MessagesSentMeanwhileAreHandledWhileOutlookIsWaitedFor) {
  // The main application sends its records with SendMessage: a wait that holds up the thread
  // would hold the main application up with it.
  TestWindow window("OrvaneBusyRetryTestWindow", "busy retry");
  const HWND target = window.Get();
  std::thread mainApplication([target] {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(target, RegisterWindowMessageA("Orvane_SaveNow"), 0, 0, SMTO_NORMAL, 5000, &answer);
  });
  bool seenWhileWaiting = false;
  EXPECT_EQ(outlook::CallWhileBusy(
                [&] {
                  seenWhileWaiting = window.CountOf("Orvane_SaveNow") == 1;
                  return seenWhileWaiting ? S_OK : RPC_E_CALL_REJECTED;
                },
                3000),
            S_OK);
  mainApplication.join();
  EXPECT_TRUE(seenWhileWaiting) << "the wait held up a message sent to the thread";
}

TEST(BusyRetryTest, FilterHasComRetryUntilTheLimitAndCancelAfterwards) {
  struct Case {
    DWORD elapsed;
    DWORD rejectType;
    DWORD expected;
  };
  const Case cases[] = {
      {0, SERVERCALL_RETRYLATER, outlook::kBusyRetryDelayMs},
      {outlook::kBusyWaitLimitMs - 1, SERVERCALL_REJECTED, outlook::kBusyRetryDelayMs},
      {outlook::kBusyWaitLimitMs, SERVERCALL_RETRYLATER, MessageFilter::kCancelCall},
      {0, SERVERCALL_ISHANDLED, MessageFilter::kCancelCall},
  };
  const ComPtr<outlook::BusyRetryFilter> filter = MakeComObject<outlook::BusyRetryFilter>();
  for (const Case& c : cases) {
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, c.elapsed, c.rejectType), c.expected) << c.elapsed;
  }
}

// The filter now in place, put back at once.
ComPtr<IMessageFilter> CurrentFilter() {
  ComPtr<IMessageFilter> current;
  CoRegisterMessageFilter(nullptr, current.Receive());
  ComPtr<IMessageFilter> none;
  CoRegisterMessageFilter(current.Get(), none.Receive());
  return current;
}

TEST(BusyRetryTest, RegistrationPutsBackTheFilterItReplaced) {
  const ComPtr<IMessageFilter> outer = MakeComObject<outlook::BusyRetryFilter>();
  const ComPtr<IMessageFilter> inner = MakeComObject<outlook::BusyRetryFilter>();
  {
    const MessageFilterRegistration first(outer.Get());
    ASSERT_TRUE(first.Ok());
    {
      const MessageFilterRegistration second(inner.Get());
      EXPECT_EQ(CurrentFilter().Get(), inner.Get());
    }
    EXPECT_EQ(CurrentFilter().Get(), outer.Get());
  }
  EXPECT_EQ(CurrentFilter().Get(), nullptr);
}

}  // namespace
}  // namespace orvane
