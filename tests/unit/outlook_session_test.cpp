#include "outlook/outlook_session.h"

#include "tests/unit/fake_outlook_support.h"

#include <gtest/gtest.h>

namespace orvane {

namespace {

class OutlookSessionTest : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(outlook_.Registered()); }
  void TearDown() override { ReleaseOutlookSession(); }
  fake::RegisteredOutlook outlook_;
};

TEST_F(OutlookSessionTest, OpensApplicationAndNamespaceAndLogsOnWithFourOmittedArguments) {
  DispatchDriver returned = CreateOutlookSession();
  EXPECT_FALSE(outlookApp.IsEmpty());
  EXPECT_FALSE(outlookNamespace.IsEmpty());
  EXPECT_EQ(returned.Get(), outlookApp.Get());
  const auto& record = outlook_.Record();
  EXPECT_EQ(record.logons, 1);
  EXPECT_EQ(record.logonArguments, std::vector<std::string>(4, "vt10:80020004"));
  // The returned copy holds a reference of its own.
  returned.ReleaseDispatch();
  EXPECT_EQ(record.liveObjects, 2);
  ReleaseOutlookSession();
  EXPECT_EQ(record.liveObjects, 0);
}

TEST_F(OutlookSessionTest, SecondOpenReleasesTheFirstPairBeforeCreatingTheNext) {
  CreateOutlookSession();
  CreateOutlookSession();
  const auto& record = outlook_.Record();
  ASSERT_EQ(record.applicationsCreated, 2);
  EXPECT_EQ(record.liveAtCreation, (std::vector<int>{0, 0}));
  EXPECT_EQ(record.liveObjects, 2);
}

}  // namespace

}  // namespace orvane
