// The Outlook session's owner against the stand-in Outlook served in this process.
#include "outlook/outlook_session.h"

#include "base/owner_thread.h"
#include "base/work_scope.h"
#include "outlook/outlook_folders.h"
#include "testbed/outlook/server_lifetime.h"
#include "testbed/outlook/standin_control.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <thread>

namespace orvane {

namespace {

namespace os = outlook_standin;

class OutlookSessionTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(server_.Result(), S_OK);
    os::ResetStore();
  }
  void TearDown() override { session_.Release(); }

  os::InProcessServer server_;
  writertest::TestSessionCreation creation_;
  outlook::OutlookSession session_{creation_};
};

TEST_F(OutlookSessionTest, OpensApplicationAndNamespaceOnceLoggingOnWithFourOmittedArguments) {
  session_.Open();
  session_.Open();
  EXPECT_TRUE(session_.IsOpen());
  EXPECT_EQ(os::LogonCount(), 1);
  const std::vector<os::LogonArgument> arguments = os::LastLogonArguments();
  ASSERT_EQ(arguments.size(), 4u);
  for (const os::LogonArgument& argument : arguments) {
    EXPECT_EQ(argument.type, VT_ERROR);
    EXPECT_EQ(argument.error, DISP_E_PARAMNOTFOUND);
  }
  EXPECT_EQ(os::ServerUsers(), 2);
  session_.Release();
  EXPECT_FALSE(session_.IsOpen());
  EXPECT_EQ(os::ServerUsers(), 0);
}

// Holds nest: the fresh session the first one opened serves every work inside it and goes with
// the last; a release asked for inside waits for it.
TEST_F(OutlookSessionTest, TheLastHoldReleasesTheSessionTheFirstOpened) {
  session_.Open();
  {
    const outlook::OutlookSession::Hold outer(session_);
    {
      const outlook::OutlookSession::Hold inner(session_);
      session_.Release();
      EXPECT_TRUE(session_.IsOpen());
    }
    EXPECT_TRUE(session_.IsOpen());
  }
  EXPECT_FALSE(session_.IsOpen());
  EXPECT_EQ(os::LogonCount(), 2) << "the session left open, then the work's own";
  EXPECT_EQ(os::ServerUsers(), 0);
}

// A writer's retry opens the session anew deep inside work that still uses the old one's
// objects: those stay alive and answering until the work is done, and only then go.
TEST_F(OutlookSessionTest, AReopenDuringAWritersRetryReleasesNothingACallerHolds) {
  const outlook::OutlookSession::Hold hold(session_);
  IDispatch* const oldNamespace = session_.Namespace().Get();
  const outlook::DispatchDriver folder = outlook::DefaultFolderOnce(session_, outlook::kFolderTasks);
  os::FailCall(os::ObjectKind::NameSpace, outlook::kGetDefaultFolder, os::CallKind::Method, L"Folder not ready");
  const outlook::DispatchDriver again = outlook::GetDefaultFolder(session_, outlook::kFolderTasks);
  EXPECT_EQ(os::LogonCount(), 2);
  EXPECT_NE(session_.Namespace().Get(), oldNamespace);
  // The old namespace, still held by the session for the work under way, answers as before.
  oldNamespace->AddRef();
  EXPECT_EQ(oldNamespace->Release(), 1u) << "the retired session keeps its own reference";
  EXPECT_NO_THROW(outlook::DispatchDriver(ComPtr<IDispatch>::Share(oldNamespace))
                      .InvokeForObject(outlook::kGetDefaultFolder, outlook::Variant::Int32(outlook::kFolderNotes)));
  EXPECT_NO_THROW(folder.GetObject(outlook::kItems));
  EXPECT_FALSE(again.IsEmpty());
}

TEST_F(OutlookSessionTest, ApplicationRefusedTwiceAsksTheShellToWaitAndThenToDecide) {
  os::RefuseCreation(2);
  EXPECT_THROW(session_.Open(), outlook::AutomationError);
  EXPECT_EQ(creation_.failure, CO_E_SERVER_EXEC_FAILURE);
  EXPECT_FALSE(session_.IsOpen());
  // A refusal once is served by the second try.
  creation_.failure = S_OK;
  os::RefuseCreation(1);
  session_.Open();
  EXPECT_EQ(creation_.failure, S_OK);
  EXPECT_TRUE(session_.IsOpen());
}

// The one thread check: an entry on another thread than its owner's is told apart.
TEST(OwnerThreadTest, KnowsItsOwnThreadFromAnother) {
  const OwnerThread owner;
  EXPECT_TRUE(owner.IsCurrent());
  bool elsewhere = true;
  std::thread([&] { elsewhere = owner.IsCurrent(); }).join();
  EXPECT_FALSE(elsewhere);
}

// The one re-entrance mark: set from its scope's start to its end, however that ends, and the
// outer scope's stays to its own end.
TEST(WorkScopeTest, MarksNestAndEndWithTheirScopesAlsoWhenTheWorkThrows) {
  WorkUnderWay work{"a test's own nesting"};
  EXPECT_FALSE(work.Now());
  {
    const WorkScope outer(work);
    {
      const WorkScope inner(work);
      EXPECT_TRUE(work.Now());
    }
    EXPECT_TRUE(work.Now());
  }
  EXPECT_FALSE(work.Now());
  EXPECT_THROW(
      {
        const WorkScope failing(work);
        throw std::runtime_error("fails");
      },
      std::runtime_error);
  EXPECT_FALSE(work.Now());
}

}  // namespace

}  // namespace orvane
