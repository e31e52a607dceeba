// The folder sinks against the stand-in Outlook in this process, sending their records to a main
// application's window of this thread.
#include "outbound/folder_event_sink.h"
#include "inbound/item_lookup.h"
#include "inbound/writers.h"
#include "outbound/folder_link.h"
#include "outbound/outlook_link.h"
#include "tests/common/test_window.h"
#include "tests/unit/roads.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <utility>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using V = os::Value;

class FolderSinksTest : public WriterTest {
protected:
  // Each record received as the last hex digit of its kind, its first field and its link id.
  std::vector<std::string> Received() const {
    std::vector<std::string> seen;
    for (const auto& [kind, r] : mainApp_.copies) seen.push_back(KindSubjectAndLink(kind, r));
    return seen;
  }

  TestWindow mainApp_{"Orvane Main", "Orvane"};
};

TEST_F(FolderSinksTest, SinkAnswersEveryEventWithSuccessReportingEachStateOfAnItemOnce) {
  const ComPtr<outbound::FolderEventSink> sink =
      outbound::FolderEventSink::Create(items::kTaskItems, std::make_shared<outbound::SinkCommon>(session_));
  const outlook::DispatchDriver item = UserItem(os::ItemKind::Task, items::kTaskItems, "Report", {});
  IDispatch* byReference = item.Get();
  const ULONG references = (item.Get()->AddRef(), item.Get()->Release());
  os::FailCall(os::ObjectKind::TaskItem, kSubject, os::CallKind::Get, L"Outlook is busy");
  // Outlook fails the first; the next three carry no item; the item by reference is the item, and
  // once it is reported its state is no news.
  // clang-format off
  const std::tuple<DISPID, VARTYPE, UINT> events[] = {{kItemAdd, VT_DISPATCH, 1}, {0xF004, VT_DISPATCH, 1},
      {kItemChange, VT_I4, 1}, {kItemAdd, VT_DISPATCH, 0}, {kItemAdd, VT_DISPATCH | VT_BYREF, 1},
      {kItemChange, VT_DISPATCH, 1}, {kItemChange, VT_DISPATCH | VT_BYREF, 1}};
  // clang-format on
  for (const auto& [id, type, count] : events) {
    VARIANT argument{};
    argument.vt = type;
    if (type == VT_DISPATCH) argument.pdispVal = item.Get();
    if (type == (VT_DISPATCH | VT_BYREF)) argument.ppdispVal = &byReference;
    DISPPARAMS params{&argument, nullptr, count, 0};
    EXPECT_EQ(sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
  }
  EXPECT_EQ(Received(), std::vector<std::string>{"6 Report nono"});
  EXPECT_EQ(LogTexts(), (std::vector<std::string>{
                            "OrvaneOutlook=>Itemadded::Outlook is busy (TaskItem/AppointmentItem.Subject get)",
                            "OrvaneOutlook=>Itemchanged::event without its item (argument of type 0x0003), dropped",
                            "OrvaneOutlook=>Itemadded::event without its item (no argument), dropped"}));
  EXPECT_EQ((item.Get()->AddRef(), item.Get()->Release()), references) << "the event's item is only borrowed";
}

// The sink of the tasks folder, advised as the frame advises it, with the states it shares.
class TaskSinkTest : public FolderSinksTest {
protected:
  void Connect() {
    link_.Connect(
        session_, kFolderTasks,
        [this] {
          sink_ = outbound::FolderEventSink::Create(items::kTaskItems, common_);
          return sink_;
        },
        common_->boxes);
  }

  const std::shared_ptr<outbound::SinkCommon> common_ = std::make_shared<outbound::SinkCommon>(session_);
  ComPtr<outbound::FolderEventSink> sink_;
  outbound::FolderLink link_;
};

TEST_F(TaskSinkTest, OwnWritesAndOutlooksRepeatsAreNoNewsButEachChangeOfTheUserIsReportedOnce) {
  Connect();
  os::LateChange(0);
  {
    inbound::SubjectLookup lookup{session_};
    const inbound::WriterContext heard{session_, common_->news, common_->news, lookup};
    std::string record = testcommon::TaskFields().Joined();
    inbound::SaveOutlookTask(record.data(), heard);
    record = testcommon::TaskFields().Set(1, "Call the bank again").JoinedAfter("Call the bank");
    inbound::ChangeOutlookTask(record.data(), heard);
  }
  ASSERT_TRUE(os::RaisePostedEvents());
  EXPECT_TRUE(Received().empty()) << "the write and Outlook's later change of it";
  os::ChangeItem(kFolderTasks, 1, {{kPercentComplete, V::Int32(50)}});
  ASSERT_TRUE(os::RaisePostedEvents());
  os::ChangeItem(kFolderTasks, 1, {{kPercentComplete, V::Int32(100)}});
  ASSERT_TRUE(os::RaisePostedEvents());
  // Outlook encoding the body anew changes InternetCodepage, not the link the main application
  // wrote; a task of the user's whose InternetCodepage is a code page links to nothing.
  os::SetItemCodepage(kFolderTasks, 1, 65001);
  os::ChangeItem(kFolderTasks, 1, {{kPercentComplete, V::Int32(70)}});
  ASSERT_TRUE(os::RaisePostedEvents());
  os::DefaultCodepage(28591);
  os::AddItem(os::ItemKind::Task, {{kSubject, V::Text(L"Mine")}});
  ASSERT_TRUE(os::RaisePostedEvents());
  os::ChangeItem(kFolderTasks, 2, {{kPercentComplete, V::Int32(10)}});
  ASSERT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(Received(), (std::vector<std::string>{"9 Call the bank again 57", "9 Call the bank again 57",
                                                  "9 Call the bank again 57", "6 Mine nono", "9 Mine 0"}));
}

// An item whose first call lets COM deliver the events waiting meanwhile, as an out-of-process
// call does while it waits for Outlook's answer.
class PumpingItem final : public DispatchWithoutTypeInfo<> {
public:
  explicit PumpingItem(ComPtr<IDispatch> inner) : inner_(std::move(inner)) {}
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) noexcept override {
    return inner_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument) noexcept override {
    if (!std::exchange(pumped_, true)) os::RaisePostedEvents();
    return inner_->Invoke(id, iid, locale, flags, params, result, exception, argument);
  }

private:
  ComPtr<IDispatch> inner_;
  bool pumped_ = false;
};

TEST_F(TaskSinkTest, EventsThatComeWhileAHandlerWaitsOnOutlookAreHandledAfterItInTheirOrder) {
  AddItem(os::ItemKind::Task, "Old");
  const outlook::DispatchDriver asItWas = inbound::FindItemBySubject(session_, items::kTaskItems, "Old");
  Connect();
  os::ChangeItem(kFolderTasks, 1, {{kSubject, V::Text(L"New")}});
  os::AddItem(os::ItemKind::Task, {{kSubject, V::Text(L"Other")}});
  const ComPtr<IDispatch> item = MakeComObject<PumpingItem>(ComPtr<IDispatch>::Share(asItWas.Get()));
  VARIANT argument{};
  argument.vt = VT_DISPATCH;
  argument.pdispVal = item.Get();
  DISPPARAMS params{&argument, nullptr, 1, 0};
  EXPECT_EQ(sink_->Invoke(kItemChange, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
  // The user's newer subject comes last, so the main application keeps it.
  EXPECT_EQ(Received(), (std::vector<std::string>{"9 Old 0", "9 New 0", "6 Other nono"}));
  EXPECT_EQ(os::PendingEvents(), 0u);
}

// A sink that cannot be made leaves its folder unwatched, with one line, and the link goes on.
TEST_F(FolderSinksTest, ASinkThatCannotBeMadeLeavesItsFolderUnwatched) {
  outbound::SinkCommon common(session_);
  outbound::FolderLink link;
  link.Connect(
      session_, kFolderCalendar, []() -> ComPtr<outbound::FolderEventSink> { throw std::bad_alloc(); }, common.boxes);
  EXPECT_EQ(os::SinkCount(kFolderCalendar), 0u);
  EXPECT_EQ(LogTexts(),
            std::vector<std::string>{"OrvaneOutlook=>ConnectSinks::Out of memory, folder 9 is not watched"});
}

TEST_F(FolderSinksTest, ConnectedLinkReportsEachFolderWithItsKindAndLinkIdUntilDisconnected) {
  outbound::OutlookLink link{session_};
  link.ConnectSinks();
  EXPECT_TRUE(outbound::sinksConnected);
  link.ConnectSinks();
  EXPECT_EQ(os::SinkCount(kFolderTasks) + os::SinkCount(kFolderCalendar) + os::SinkCount(kFolderNotes), 3u);
  // Each event is raised once the user's change has returned, before the next change.
  const auto change = [](int32_t folder, const os::PropertyList& properties) {
    os::ChangeItem(folder, 1, properties);
    EXPECT_TRUE(os::RaisePostedEvents());
  };
  AddItem(os::ItemKind::Task, "Report", {{kInternetCodepage, V::Int32(42)}});
  change(kFolderTasks, {{kInternetCodepage, V::Int32(-7)}, {kMileage, V::Text(L"12 km")}});
  AddItem(os::ItemKind::Appointment, "Dentist");
  change(kFolderCalendar, {{kLocation, V::Text(L"Room 4")}});
  AddItem(os::ItemKind::Note, "Call back", {{kCategories, V::Text(L"17")}});
  change(kFolderNotes, {{kCategories, V::Text(L"")}});
  AddItem(os::ItemKind::Task, "");
  os::ChangeItem(kFolderTasks, 2, {{kSubject, V::Text(L"Named")}});
  EXPECT_TRUE(os::RaisePostedEvents());
  os::FailCall(os::ObjectKind::TaskItem, kSubject, os::CallKind::Get, L"Outlook is busy");
  AddItem(os::ItemKind::Task, "Lost");
  AddItem(os::ItemKind::Task, std::string(3000, 'L'));
  os::RemoveItem(kFolderTasks, 1);
  EXPECT_TRUE(os::RaisePostedEvents());
  EXPECT_EQ(Received(), (std::vector<std::string>{"6 Report nono", "9 Report -7", "7 Dentist nono", "A Dentist 0",
                                                  "8 Call back nono", "B Call back ", "9 Named 0",
                                                  "6 " + std::string(3000, 'L') + " nono"}));
  EXPECT_EQ(LogTexts(), (std::vector<std::string>{
                            "OrvaneOutlook=>Itemadded::Outlook is busy (TaskItem/AppointmentItem.Subject get)",
                            "Itemdeleted()::Step 1::Itemdeleted Called Successfully"}));
  link.DisconnectSinks();
  link.DisconnectSinks();
  EXPECT_FALSE(outbound::sinksConnected);
  EXPECT_EQ(os::SinkCount(kFolderTasks) + os::SinkCount(kFolderCalendar) + os::SinkCount(kFolderNotes), 0u);
}

}  // namespace

}  // namespace orvane
