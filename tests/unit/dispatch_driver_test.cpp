// The dispatch wrapper against the stand-in Outlook's object model in this process: the HRESULT
// in words when Outlook gives no text (its own text reaches the writers' log lines), and ANSI texts.
#include "outlook/dispatch_driver.h"

#include "testbed/outlook/standin_control.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace orvane {

namespace {

namespace standin = outlook_standin;

class DispatchDriverTest : public testing::Test {
protected:
  void SetUp() override {
    standin::ResetStore();
    application_ = outlook::DispatchDriver(standin::CreateApplication());
  }
  void TearDown() override { standin::ResetStore(); }

  outlook::DispatchDriver NewTask() const {
    return application_.InvokeForObject(outlook::kCreateItem, outlook::Variant::Int32(outlook::kTaskItem));
  }

  outlook::DispatchDriver application_;
};

TEST_F(DispatchDriverTest, FailureWithoutOutlooksTextGivesTheResultInWords) {
  const outlook::DispatchDriver task = NewTask();
  try {
    task.GetProperty(0x7FFF);
    FAIL() << "an unknown member was expected to fail";
  } catch (const outlook::AutomationError& error) {
    EXPECT_EQ(error.Result(), DISP_E_MEMBERNOTFOUND);
    EXPECT_NE(std::string(error.what()).find("0x80020003"), std::string::npos) << error.what();
  }
}

// The error keeps Outlook's words as they are and names the call apart from them.
TEST_F(DispatchDriverTest, FailureNamesTheObjectAndMemberOfTheCall) {
  const outlook::DispatchDriver task = NewTask();
  const outlook::DispatchDriver folder =
      application_.InvokeForObject(outlook::kGetNamespace, outlook::Variant::Text("MAPI"))
          .InvokeForObject(outlook::kGetDefaultFolder, outlook::Variant::Int32(outlook::kFolderTasks));
  struct Case {
    const char* what;
    std::function<void()> fail;
    std::function<void()> call;
    std::string member;
  };
  const Case cases[] = {
      {"a put of a member two kinds of item have",
       [] { standin::FailCall(standin::ObjectKind::TaskItem, outlook::kSubject, standin::CallKind::Put, L"Refused"); },
       [&] { task.SetText(outlook::kSubject, "Call the bank"); }, "TaskItem/AppointmentItem.Subject put"},
      {"a get of one object's member",
       [] { standin::FailCall(standin::ObjectKind::Folder, outlook::kItems, standin::CallKind::Get, L"Refused"); },
       [&] { folder.GetObject(outlook::kItems); }, "Folder.Items get"},
      {"a method", [] { standin::FailCall(outlook::kClose, standin::CallKind::Method, L"Refused"); },
       [&] { task.InvokeMethod(outlook::kClose, outlook::Variant::Int32(outlook::kCloseSave)); },
       "TaskItem/AppointmentItem/NoteItem.Close call"},
      {"a member the table does not list", [] {}, [&] { task.GetProperty(0x7FFF); }, "member 0x7FFF get"},
      {"an empty wrapper", [] {}, [] { outlook::DispatchDriver().GetText(outlook::kNoteSubject); },
       "NoteItem.Subject get"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.fail();
    try {
      c.call();
      ADD_FAILURE() << "the call was expected to fail";
    } catch (const outlook::AutomationError& error) {
      EXPECT_EQ(error.Member(), c.member);
      if (error.Result() == E_FAIL) {
        EXPECT_STREQ(error.what(), "Refused");
      }
    }
  }
}

TEST_F(DispatchDriverTest, EmptyWrapperThrowsInsteadOfCrashing) {
  const outlook::DispatchDriver empty;
  EXPECT_THROW(empty.GetText(outlook::kSubject), outlook::AutomationError);
}

TEST_F(DispatchDriverTest, TextsCrossAsAnsiBytesOfTheCodePage) {
  const outlook::DispatchDriver task = NewTask();
  // "é€" as Outlook holds it (UTF-16) becomes E9 80 in the ANSI code page 1252.
  task.SetProperty(outlook::kSubject, outlook::Variant::Wide(L"Caf\u00E9 \u20AC5"));
  EXPECT_EQ(task.GetText(outlook::kSubject),
            "Caf\xE9 \x80"
            "5");
  task.SetText(outlook::kBody, "Cr\xE8me \x80");
  EXPECT_EQ(task.GetProperty(outlook::kBody).ToWide(), L"Cr\u00E8me \u20AC");
}

}  // namespace

}  // namespace orvane
