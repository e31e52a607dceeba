// OutlookClient's commands, run in-process against the stand-in registered as "Outlook.Application":
// a client that knows Outlook only by member names creates, finds, changes and deletes items.
#include "testbed/outlook/client/client_commands.h"
#include "testbed/outlook/standin_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane {

namespace {

namespace os = outlook_standin;
using namespace outlook;

struct ClientRun {
  int code;
  std::string output;
  std::string errors;
};

class StandinClientTest : public testing::Test {
protected:
  void SetUp() override {
    os::ResetStore();
    ASSERT_EQ(server_.Result(), S_OK);
  }
  void TearDown() override { os::ResetStore(); }

  static ClientRun Client(std::vector<std::wstring> words) {
    ClientRun run{};
    run.code = RunClientCommand(outlook::LateBound::Create(L"Outlook.Application"), words, run.output, run.errors);
    return run;
  }

  os::InProcessServer server_;
};

TEST_F(StandinClientTest, CreatesFindsChangesAndDeletesItemsByMemberNames) {
  EXPECT_EQ(Client({L"add", L"task", L"Report", L"Draft first"}).code, kClientDone);
  EXPECT_EQ(Client({L"add", L"tasks", L"Budget"}).code, kClientDone);
  EXPECT_EQ(Client({L"list", L"tasks"}).output, "1\tReport\n2\tBudget\n");
  EXPECT_EQ(Client({L"set", L"task", L"REPORT", L"Status", L"2"}).code, kClientDone);
  EXPECT_EQ(Client({L"get", L"task", L"report", L"PercentComplete"}).output, "100\n");
  EXPECT_EQ(os::FolderItems(kFolderTasks).at(0).Get(kBody).AsText(), L"Draft first");
  EXPECT_EQ(Client({L"delete", L"task", L"Report"}).code, kClientDone);
  EXPECT_EQ(Client({L"list", L"task"}).output, "1\tBudget\n");

  // A note's subject is the first line of its text.
  EXPECT_EQ(Client({L"add", L"note", L"Call back", L"about the budget"}).code, kClientDone);
  EXPECT_EQ(Client({L"get", L"note", L"call back", L"Body"}).output, "Call back\r\nabout the budget\n");
}

TEST_F(StandinClientTest, WrongWordsAndOutlooksRefusalsGiveTheirExitCodes) {
  Client({L"add", L"task", L"Report"});
  os::FailCall(os::ObjectKind::TaskItem, kSave, os::CallKind::Method, L"The operation failed.");
  const struct {
    std::vector<std::wstring> words;
    int code;
    const char* errors;
  } kCases[] = {
      {{L"list"}, kClientUsage, kClientUsageText},
      {{L"list", L"contacts"}, kClientUsage, "Unknown folder: contacts\n"},
      {{L"set", L"task", L"Report", L"Status"}, kClientUsage, kClientUsageText},
      {{L"get", L"task", L"Nothing", L"Body"}, kClientNoSuchItem, "No item with the subject: Nothing\n"},
      {{L"add", L"task", L"Another"}, kClientOutlookFailed, "Outlook failed: The operation failed.\n"},
      {{L"get", L"task", L"Report", L"Colour"}, kClientOutlookFailed, "Outlook failed: Unknown member Colour: "},
      {{L"set", L"task", L"Report", L"IsRecurring", L"1"}, kClientOutlookFailed, "Outlook failed: "},
  };
  for (const auto& c : kCases) {
    const ClientRun run = Client(c.words);
    EXPECT_EQ(run.code, c.code) << run.errors;
    EXPECT_EQ(run.errors.rfind(c.errors, 0), 0u) << run.errors;
  }
}

}  // namespace

}  // namespace orvane
