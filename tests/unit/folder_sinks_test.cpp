// The folder event sinks against the stand-in Outlook in this process: what each event sends to
// a main application's window of this thread, and the frame connecting and disconnecting them.
#include "app/error_log.h"
#include "app/intake.h"
#include "base/callback_guard.h"
#include "inbound/item_lookup.h"
#include "outbound/folder_event_sink.h"
#include "tests/common/test_window.h"
#include "tests/unit/writer_test_support.h"

#include <gtest/gtest.h>

#include <olectl.h>

#include <new>
#include <string>
#include <vector>

namespace orvane {

namespace {

using namespace writertest;
using namespace outlook;
using V = os::Value;

constexpr ULONG_PTR kNewTask = 0x2BB7B2A6, kNewAppointment = 0x2BB7B2A7, kNewNote = 0x2BB7B2A8;
constexpr ULONG_PTR kChangedTask = 0x2BB7B2A9, kChangedAppointment = 0x2BB7B2AA, kChangedNote = 0x2BB7B2AB;
constexpr char kDeletedLine[] = "Itemdeleted()::Step 1::Itemdeleted Called Successfully";

class FolderSinksTest : public WriterTest {
protected:
  void SetUp() override {
    WriterTest::SetUp();
    SetFailureReporter(&LogCaughtFailure);
  }
  void TearDown() override {
    SetFailureReporter(nullptr);
    WriterTest::TearDown();
  }

  std::vector<ULONG_PTR> KindsReceived() const {
    std::vector<ULONG_PTR> kinds;
    for (const CopyDataSeen& copy : mainApp_.copies) kinds.push_back(copy.kind);
    return kinds;
  }
  static std::vector<size_t> SinkCounts() {
    return {os::SinkCount(kFolderTasks), os::SinkCount(kFolderCalendar), os::SinkCount(kFolderNotes)};
  }

  // The main application, found by its class: records are sent to it in this thread.
  TestWindow mainApp_{"Orvane Main", "Orvane"};
};

ItemPlace PlaceOf(os::ItemKind kind) {
  if (kind == os::ItemKind::Task) return kTaskPlace;
  return kind == os::ItemKind::Appointment ? kAppointmentPlace : kNotePlace;
}

enum class Argument { Item, None, Number };

struct EventCase {
  const char* what;
  uint32_t sinkKind;
  DISPID event;
  os::ItemKind itemKind;
  std::string subject;
  os::PropertyList properties;
  Argument argument;
  bool subjectFails;
  std::vector<ULONG_PTR> kindsSent;
  std::string recordEnd;  // the end of the record sent
  std::vector<std::string> log;
};

TEST_F(FolderSinksTest, EachEventSendsTheRecordOfItsFolderAndKindOrNothing) {
  const os::ItemKind task = os::ItemKind::Task, appointment = os::ItemKind::Appointment, note = os::ItemKind::Note;
  const uint32_t taskSink = intake::kTaskKind, appointmentSink = intake::kAppointmentKind, noteSink = intake::kNoteKind;
  const os::PropertyList codepage42{{kInternetCodepage, V::Int32(42)}},
      codepageMinus7{{kInternetCodepage, V::Int32(-7)}};
  const std::string notRecurring = "norecurring\t\n";
  // clang-format off
  const EventCase cases[] = {
      {"new task", taskSink, kItemAdd, task, "Report", codepage42, Argument::Item, false, {kNewTask}, "*nono*" + notRecurring, {}},
      {"changed task", taskSink, kItemChange, task, "Report", codepageMinus7, Argument::Item, false, {kChangedTask}, "*-7*" + notRecurring, {}},
      {"new appointment", appointmentSink, kItemAdd, appointment, "Dentist", {}, Argument::Item, false, {kNewAppointment}, "*nono*" + notRecurring, {}},
      {"changed appointment", appointmentSink, kItemChange, appointment, "Dentist", {}, Argument::Item, false, {kChangedAppointment}, "*0*" + notRecurring, {}},
      {"new note", noteSink, kItemAdd, note, "Call back", {{kCategories, V::Text(L"17")}}, Argument::Item, false, {kNewNote}, "Call back*nono*\n", {}},
      {"changed note", noteSink, kItemChange, note, "Call back", {{kCategories, V::Text(L"17")}}, Argument::Item, false, {kChangedNote}, "Call back*17*\n", {}},
      {"changed note without categories", noteSink, kItemChange, note, "Call back", {}, Argument::Item, false, {kChangedNote}, "Call back**\n", {}},
      {"no subject", taskSink, kItemAdd, task, "", {}, Argument::Item, false, {}, "", {}},
      {"another event", taskSink, 0xF004, task, "Report", {}, Argument::Item, false, {}, "", {}},
      {"no argument", taskSink, kItemAdd, task, "Report", {}, Argument::None, false, {}, "", {}},
      {"a number for the item", taskSink, kItemChange, task, "Report", {}, Argument::Number, false, {}, "", {}},
      {"a sink of no folder", intake::kTaskLinkKind, kItemChange, task, "Report", {}, Argument::Item, false, {}, "", {}},
      {"Outlook fails", taskSink, kItemAdd, task, "Report", {}, Argument::Item, true, {}, "", {"OrvaneOutlook=>Itemadded::Outlook is busy"}},
      {"removed", noteSink, kItemRemove, note, "Call back", {}, Argument::None, false, {}, "", {kDeletedLine}},
  };
  // clang-format on
  for (const EventCase& c : cases) {
    SCOPED_TRACE(c.what);
    os::ResetStore();
    DeleteFileA("OrvaneErrorLog.txt");
    mainApp_.copies.clear();
    AddItem(c.itemKind, c.subject, c.properties);
    const DispatchDriver item = FindItemBySubject(PlaceOf(c.itemKind), c.subject);
    ASSERT_FALSE(item.IsEmpty());
    if (c.subjectFails) os::FailCall(os::ObjectKind::TaskItem, kSubject, os::CallKind::Get, L"Outlook is busy");
    VARIANT argument;
    VariantInit(&argument);
    if (c.argument == Argument::Item) {
      argument.vt = VT_DISPATCH;
      argument.pdispVal = item.Get();
    } else if (c.argument == Argument::Number) {
      argument.vt = VT_I4;
      argument.lVal = 1;
    }
    DISPPARAMS params{&argument, nullptr, c.argument == Argument::None ? 0u : 1u, 0};
    const ComPtr<FolderEventSink> sink = FolderEventSink::Create(c.sinkKind);
    item.Get()->AddRef();
    const ULONG referencesBefore = item.Get()->Release();

    EXPECT_EQ(sink->Invoke(c.event, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(KindsReceived(), c.kindsSent);
    if (!mainApp_.copies.empty()) {
      const std::string& record = mainApp_.copies.front().bytes;
      EXPECT_EQ(record.substr(0, c.subject.size()), c.subject);
      EXPECT_GE(record.size(), c.recordEnd.size());
      EXPECT_EQ(record.substr(record.size() - std::min(record.size(), c.recordEnd.size())), c.recordEnd);
    }
    EXPECT_EQ(LogTexts(), c.log);
    // The event's item is borrowed: the handler released exactly the reference it took.
    item.Get()->AddRef();
    EXPECT_EQ(item.Get()->Release(), referencesBefore);
  }
}

TEST(FolderEventSinkTest, AnswersIUnknownIDispatchAndItemsEventsOnly) {
  const ComPtr<FolderEventSink> sink = FolderEventSink::Create(intake::kTaskKind);
  const struct {
    IID iid;
    bool answered;
  } cases[] = {{IID_IUnknown, true}, {IID_IDispatch, true}, {kItemsEventsIid, true}, {IID_IConnectionPoint, false}};
  for (const auto& c : cases) {
    void* object = &object;
    EXPECT_EQ(sink->QueryInterface(c.iid, &object), c.answered ? S_OK : E_NOINTERFACE);
    if (!c.answered) {
      EXPECT_EQ(object, nullptr);
      continue;
    }
    EXPECT_EQ(object, static_cast<IDispatch*>(sink.Get()));
    EXPECT_EQ(sink->Release(), 1u) << "the answer took one reference";
  }
}

TEST_F(FolderSinksTest, ConnectedFrameHearsEachFolderUntilDisconnected) {
  // The first GetDefaultFolder fails: the session is opened anew and the call made once more.
  os::FailCall(os::ObjectKind::NameSpace, kGetDefaultFolder, os::CallKind::Method, L"Outlook restarted");
  const int logons = os::LogonCount();
  frame_.ConnectSinks();
  EXPECT_EQ(os::LogonCount(), logons + 1);
  EXPECT_TRUE(sinksConnected);
  EXPECT_EQ(SinkCounts(), (std::vector<size_t>{1, 1, 1}));

  AddItem(os::ItemKind::Task, "Report");
  AddItem(os::ItemKind::Appointment, "Dentist");
  AddItem(os::ItemKind::Note, "Call back");
  os::ChangeItem(kFolderTasks, 1, {{kInternetCodepage, V::Int32(4711)}});
  // A handler that fails loses its own record only; the sinks stay connected.
  os::FailCall(os::ObjectKind::TaskItem, kSubject, os::CallKind::Get, L"Outlook is busy");
  AddItem(os::ItemKind::Task, "Lost");
  AddItem(os::ItemKind::Task, "Kept");
  EXPECT_EQ(KindsReceived(), (std::vector<ULONG_PTR>{kNewTask, kNewAppointment, kNewNote, kChangedTask, kNewTask}));
  EXPECT_EQ(LogTexts(), std::vector<std::string>{"OrvaneOutlook=>Itemadded::Outlook is busy"});

  frame_.DisconnectSinks();
  frame_.DisconnectSinks();
  EXPECT_FALSE(sinksConnected);
  EXPECT_EQ(SinkCounts(), (std::vector<size_t>{0, 0, 0}));
  AddItem(os::ItemKind::Task, "Unheard");
  EXPECT_EQ(mainApp_.copies.size(), 5u);
}

// A frame that has no memory for the calendar's sink.
class SinklessCalendarFrame final : public CMainFrame {
  ComPtr<FolderEventSink> CreateFolderSink(uint32_t kind) override {
    if (kind == intake::kAppointmentKind) throw std::bad_alloc();
    return CMainFrame::CreateFolderSink(kind);
  }
};

TEST_F(FolderSinksTest, FolderWhoseSinkCannotBeMadeIsSkippedAlone) {
  SinklessCalendarFrame frame;
  frame.ConnectSinks();
  EXPECT_TRUE(sinksConnected) << "a skipped folder is not tried again on every tick";
  EXPECT_EQ(SinkCounts(), (std::vector<size_t>{1, 0, 1}));
  EXPECT_EQ(LogTexts(),
            std::vector<std::string>{"OrvaneOutlook=>ConnectSinks::Out of memory, folder 9 is not watched"});
  AddItem(os::ItemKind::Appointment, "Dentist");
  AddItem(os::ItemKind::Note, "Call back");
  EXPECT_EQ(KindsReceived(), std::vector<ULONG_PTR>{kNewNote});
}

// An event source that has no connection point for the sink, or whose point refuses every sink.
class RefusingSource final : public ComObject<IConnectionPointContainer, IConnectionPoint> {
public:
  explicit RefusingSource(bool hasPoint) : hasPoint_(hasPoint) {}
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID, IConnectionPoint** point) noexcept override {
    *point = hasPoint_ ? this : nullptr;
    if (!hasPoint_) return CONNECT_E_NOCONNECTION;
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer**) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown*, DWORD*) noexcept override { return CONNECT_E_ADVISELIMIT; }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) noexcept override { return CONNECT_E_NOCONNECTION; }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) noexcept override { return E_NOTIMPL; }

private:
  bool hasPoint_;
};

TEST(FolderEventSinkTest, OnlyARefusedAdviseIsShownToTheUser) {
  const struct {
    bool hasPoint;
    HRESULT result;
    int boxes;
  } cases[] = {{false, CONNECT_E_NOCONNECTION, 0}, {true, CONNECT_E_ADVISELIMIT, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hasPoint);
    const ComPtr<RefusingSource> source = ComPtr<RefusingSource>::Attach(new RefusingSource(c.hasPoint));
    const ComPtr<FolderEventSink> sink = FolderEventSink::Create(intake::kTaskKind);
    const BoxPresser presser(kApplicationTitle);
    EXPECT_EQ(AdviseSink(*sink.Get(), static_cast<IConnectionPointContainer*>(source.Get())), c.result);
    EXPECT_EQ(presser.Count(), c.boxes);
    if (c.boxes) {
      EXPECT_EQ(presser.LastText(), kAdviseRefusedText);
    }
  }
}

}  // namespace

}  // namespace orvane
