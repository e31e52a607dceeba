// The Outlook session against the stand-in Outlook served in this process.
#include "outlook/outlook_session.h"

#include "testbed/outlook/server_lifetime.h"
#include "testbed/outlook/standin_control.h"

#include <gtest/gtest.h>

namespace orvane {

namespace {

namespace os = outlook_standin;

class OutlookSessionTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(server_.Result(), S_OK);
    os::ResetStore();
  }
  void TearDown() override { outlook::ReleaseOutlookSession(); }
  os::InProcessServer server_;
};

TEST_F(OutlookSessionTest, OpensApplicationAndNamespaceLogsOnWithFourOmittedArgumentsAndDropsAnEarlierOne) {
  outlook::CreateOutlookSession();
  outlook::DispatchDriver returned = outlook::CreateOutlookSession();
  EXPECT_FALSE(outlook::outlookNamespace.IsEmpty());
  EXPECT_EQ(returned.Get(), outlook::outlookApp.Get());
  EXPECT_EQ(os::LogonCount(), 2);
  const std::vector<os::LogonArgument> arguments = os::LastLogonArguments();
  ASSERT_EQ(arguments.size(), 4u);
  for (const os::LogonArgument& argument : arguments) {
    EXPECT_EQ(argument.type, VT_ERROR);
    EXPECT_EQ(argument.error, DISP_E_PARAMNOTFOUND);
  }
  // The returned copy holds a reference of its own; the second session's two objects are all
  // that live.
  returned.ReleaseDispatch();
  EXPECT_NO_THROW(outlook::outlookApp.InvokeForObject(outlook::kGetNamespace, outlook::Variant::Text("MAPI")));
  EXPECT_EQ(os::ServerUsers(), 2);
  outlook::ReleaseOutlookSession();
  EXPECT_EQ(os::ServerUsers(), 0);
}

}  // namespace

}  // namespace orvane
