// The dispatch wrapper against the stand-in Outlook's object model in this process: the HRESULT
// in words when Outlook gives no text (its own text reaches the writers' log lines), ANSI texts,
// and references.
#include "outlook/dispatch_driver.h"

#include "base/com_object.h"
#include "testbed/outlook/standin_control.h"

#include <gtest/gtest.h>

namespace orvane {

namespace {

namespace standin = outlook_standin;

class DispatchDriverTest : public testing::Test {
protected:
  void SetUp() override {
    standin::ResetStore();
    application_ = DispatchDriver(standin::CreateApplication());
  }
  void TearDown() override { standin::ResetStore(); }

  DispatchDriver NewTask() const {
    return application_.InvokeForObject(outlook::kCreateItem, Variant::Int32(outlook::kTaskItem));
  }

  DispatchDriver application_;
};

TEST_F(DispatchDriverTest, FailureWithoutOutlooksTextGivesTheResultInWords) {
  const DispatchDriver task = NewTask();
  try {
    task.GetProperty(0x7FFF);
    FAIL() << "an unknown member was expected to fail";
  } catch (const AutomationError& error) {
    EXPECT_EQ(error.Result(), DISP_E_MEMBERNOTFOUND);
    EXPECT_NE(std::string(error.what()).find("0x80020003"), std::string::npos) << error.what();
  }
}

TEST_F(DispatchDriverTest, EmptyWrapperThrowsInsteadOfCrashing) {
  const DispatchDriver empty;
  EXPECT_THROW(empty.GetText(outlook::kSubject), AutomationError);
}

TEST_F(DispatchDriverTest, TextsCrossAsAnsiBytesOfTheCodePage) {
  const DispatchDriver task = NewTask();
  // "é€" as Outlook holds it (UTF-16) becomes E9 80 in the ANSI code page 1252.
  task.SetProperty(outlook::kSubject, Variant::Wide(L"Caf\u00E9 \u20AC5"));
  EXPECT_EQ(task.GetText(outlook::kSubject),
            "Caf\xE9 \x80"
            "5");
  task.SetText(outlook::kBody, "Cr\xE8me \x80");
  EXPECT_EQ(task.GetProperty(outlook::kBody).ToWide(), L"Cr\u00E8me \u20AC");
}

TEST_F(DispatchDriverTest, CopiesShareTheObjectAndReleaseTheirOwnReference) {
  DispatchDriver task = NewTask();
  task.SetText(outlook::kSubject, "shared");
  DispatchDriver copy = task;
  task.ReleaseDispatch();
  EXPECT_TRUE(task.IsEmpty());
  EXPECT_EQ(copy.GetText(outlook::kSubject), "shared");
}

// An object whose one member lets the caller's driver go in the middle of the call, as a nested
// tick releasing the session does. It notes whether it was destroyed while the call ran.
class LetGoDuringCall final : public ComObject<IDispatch> {
public:
  LetGoDuringCall(DispatchDriver& holder, bool& inCall, bool& goneInCall)
      : holder_(holder), inCall_(inCall), goneInCall_(goneInCall) {}
  STDMETHODIMP GetTypeInfoCount(UINT*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) noexcept override {
    // Only what lives outside the object is touched after the driver lets go.
    bool& inCall = inCall_;
    inCall = true;
    holder_.ReleaseDispatch();
    inCall = false;
    return S_OK;
  }

private:
  ~LetGoDuringCall() override { goneInCall_ = inCall_; }
  DispatchDriver& holder_;
  bool& inCall_;
  bool& goneInCall_;
};

TEST(DispatchDriverCall, ObjectOutlivesACallDuringWhichItsDriverLetsGo) {
  DispatchDriver driver;
  bool inCall = false;
  bool goneInCall = false;
  driver.AttachDispatch(ComPtr<IDispatch>::Attach(new LetGoDuringCall(driver, inCall, goneInCall)));
  driver.GetProperty(outlook::kSubject);
  EXPECT_TRUE(driver.IsEmpty());
  EXPECT_FALSE(goneInCall);
}

}  // namespace

}  // namespace orvane
