// The frame's intake, dispatch and timer ticks, driven by real window messages in this process.
#include "app/intake.h"
#include "app/main_frame.h"
#include "outlook/outlook_session.h"

#include "tests/unit/fake_outlook_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orvane {

namespace {

using Clock = std::chrono::steady_clock;

struct WriterCall {
  std::string writer;
  std::string record;
  uint32_t kind = 0;
  Clock::time_point at;
};

// A frame whose writers only note their calls; a writer may also be made slow, waiting in a
// message loop as a cross-process call to Outlook does.
class RecordingFrame : public CMainFrame {
public:
  std::vector<WriterCall> calls;
  std::chrono::milliseconds writerDelay{0};
  std::function<void()> duringWrite;

  void SaveOutlookApps(char* r) override { Note("SaveOutlookApps", r, 0); }
  void SaveOutlookTask(char* r) override { Note("SaveOutlookTask", r, 0); }
  void SaveOutlookNote(char* r, int) override { Note("SaveOutlookNote", r, 0); }
  void ChangeOutlookApps(char* r) override { Note("ChangeOutlookApps", r, 0); }
  void ChangeOutlookTask(char* r) override { Note("ChangeOutlookTask", r, 0); }
  void ChangeOutlookNote(char* r, int) override { Note("ChangeOutlookNote", r, 0); }
  void DeleteOutlookItem(char* r, uint32_t k) override { Note("DeleteOutlookItem", r, k); }
  void DoneOutlookItem(char* r, uint32_t k) override { Note("DoneOutlookItem", r, k); }
  void SetOutlookLinkId(char* r, uint32_t k) override { Note("SetOutlookLinkId", r, k); }
  void ConnectSinks() override {}
  void DisconnectSinks() override {}

private:
  void Note(const char* writer, char* record, uint32_t kind) {
    const size_t index = calls.size();
    calls.push_back({writer, record, kind, Clock::now()});
    if (duringWrite) duringWrite();
    const auto until = Clock::now() + writerDelay;
    while (Clock::now() < until) Pump();
    // Read again at the end: the record must not have changed under the writer.
    calls[index].record = record;
  }

public:
  static void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
};

LRESULT CALLBACK PlainProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

// Stands in for the main application's window, so the watchdog keeps the test process alive.
class MainAppWindow {
public:
  MainAppWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kMainAppWindowClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowA(kMainAppWindowClass, "Orvane", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
  }
  ~MainAppWindow() { DestroyWindow(window_); }

private:
  HWND window_ = nullptr;
};

class MainFrameTest : public testing::Test {
protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    workDirectory_ =
        std::string(temp) + "orvane-frame-" + testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(workDirectory_.c_str(), nullptr);
    GetCurrentDirectoryA(MAX_PATH, previousDirectory_);
    SetCurrentDirectoryA(workDirectory_.c_str());
    DeleteFileA("OrvaneErrorLog.txt");
    recordPending = 0;
    pendingAction = 0;
    pendingKind = 0;
    ASSERT_TRUE(outlook_.Registered());
    ASSERT_TRUE(frame_.Create());
  }
  void TearDown() override {
    ReleaseOutlookSession();
    SetCurrentDirectoryA(previousDirectory_);
  }

  void SendRecord(uint32_t kind, const std::string& text) {
    COPYDATASTRUCT data{kind, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
    SendMessageA(frame_.Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }
  void SendAction(const char* name) { PostMessageA(frame_.Window(), RegisterWindowMessageA(name), 0, 0); }
  void RunFor(std::chrono::milliseconds duration) {
    const auto until = Clock::now() + duration;
    while (Clock::now() < until) RecordingFrame::Pump();
  }
  static std::string LogText() {
    std::ifstream file("OrvaneErrorLog.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  MainAppWindow mainApp_;
  fake::RegisteredOutlook outlook_;
  RecordingFrame frame_;
  std::string workDirectory_;
  char previousDirectory_[MAX_PATH] = "";
};

TEST_F(MainFrameTest, FrameIsHiddenAndTitledUntitledStub) {
  char title[64] = "";
  GetWindowTextA(frame_.Window(), title, sizeof title);
  EXPECT_STREQ(title, "Untitled - stub");
  EXPECT_FALSE(IsWindowVisible(frame_.Window()));
}

TEST_F(MainFrameTest, RecordAndSaveReachTheWriterAboutOneSecondLater) {
  SendRecord(intake::kTaskKind, "Buy milk\tmore");
  const auto sent = Clock::now();
  SendAction("Orvane_SaveNow");
  RunFor(std::chrono::milliseconds(1400));
  ASSERT_EQ(frame_.calls.size(), 1u);
  EXPECT_EQ(frame_.calls[0].writer, "SaveOutlookTask");
  EXPECT_EQ(frame_.calls[0].record, "Buy milk\tmore");
  const auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(frame_.calls[0].at - sent).count();
  EXPECT_GE(delay, 950);
  EXPECT_LE(delay, 1300);
  EXPECT_EQ(recordPending, 0);
  // The session opened for the record is released at the end of the tick.
  EXPECT_TRUE(outlookApp.IsEmpty());
  EXPECT_EQ(outlook_.Record().liveObjects, 0);
  // Timer 9990 is dead: no further call, however long we wait.
  RunFor(std::chrono::milliseconds(1200));
  EXPECT_EQ(frame_.calls.size(), 1u);
  EXPECT_EQ(outlook_.Record().applicationsCreated, 1);
  const std::string log = LogText();
  EXPECT_NE(log.find("OnCopyData::New Data from OV."), std::string::npos);
  EXPECT_NE(log.find("OnCopyData::New Item"), std::string::npos);
}

TEST_F(MainFrameTest, ActionBeforeItsRecordIsPerformedOnTheFirstTickAfterTheRecord) {
  SendAction("Orvane_ChangeNow");
  RunFor(std::chrono::milliseconds(1300));
  EXPECT_TRUE(frame_.calls.empty());
  SendRecord(intake::kTaskKind, "late record");
  RunFor(std::chrono::milliseconds(1100));
  ASSERT_EQ(frame_.calls.size(), 1u);
  EXPECT_EQ(frame_.calls[0].writer, "ChangeOutlookTask");
  EXPECT_EQ(frame_.calls[0].record, "late record");
}

TEST_F(MainFrameTest, LastRecordAndLastActionWin) {
  SendRecord(intake::kAppointmentKind, "first");
  SendRecord(intake::kTaskKind, "second");
  SendAction("Orvane_SaveNow");
  RunFor(std::chrono::milliseconds(500));
  SendAction("Orvane_DeleteNow");
  RunFor(std::chrono::milliseconds(700));
  EXPECT_TRUE(frame_.calls.empty()) << "the second action restarts the timer";
  RunFor(std::chrono::milliseconds(600));
  ASSERT_EQ(frame_.calls.size(), 1u);
  EXPECT_EQ(frame_.calls[0].writer, "DeleteOutlookItem");
  EXPECT_EQ(frame_.calls[0].record, "second");
  EXPECT_EQ(frame_.calls[0].kind, intake::kTaskKind);
}

TEST_F(MainFrameTest, RecordWithoutWriterForItsActionIsDropped) {
  SendRecord(intake::kNoteKind, "a note");
  SendAction("Orvane_DoneNow");
  RunFor(std::chrono::milliseconds(1200));
  EXPECT_TRUE(frame_.calls.empty());
  EXPECT_EQ(recordPending, 0);
  RunFor(std::chrono::milliseconds(1100));
  EXPECT_TRUE(frame_.calls.empty());
}

TEST_F(MainFrameTest, RefusedKindLeavesTheParkedRecordInPlace) {
  SendRecord(intake::kTaskKind, "parked");
  SendRecord(0x2BB7B2A9, "changed task kinds are not accepted");
  SendAction("Orvane_SaveNow");
  RunFor(std::chrono::milliseconds(1200));
  ASSERT_EQ(frame_.calls.size(), 1u);
  EXPECT_EQ(frame_.calls[0].record, "parked");
}

TEST_F(MainFrameTest, OversizedRecordIsRefusedWholeWithALogLine) {
  SendRecord(intake::kTaskKind, "kept");
  SendRecord(intake::kTaskKind, std::string(5000, 'x'));
  SendAction("Orvane_SaveNow");
  RunFor(std::chrono::milliseconds(1200));
  ASSERT_EQ(frame_.calls.size(), 1u);
  EXPECT_EQ(frame_.calls[0].record, "kept");
  EXPECT_NE(LogText().find("Record refused, too long for the record buffer: bytes 5000"), std::string::npos);
}

TEST_F(MainFrameTest, SlowWriterIsNotEnteredAgainByLaterTicks) {
  frame_.writerDelay = std::chrono::milliseconds(2500);
  SendRecord(intake::kTaskKind, "once only");
  SendAction("Orvane_DeleteNow");
  RunFor(std::chrono::milliseconds(5000));
  EXPECT_EQ(frame_.calls.size(), 1u);
}

TEST_F(MainFrameTest, RecordArrivingDuringAWriteIsNeitherMixedInNorLost) {
  frame_.writerDelay = std::chrono::milliseconds(300);
  bool sentDuringWrite = false;
  frame_.duringWrite = [&] {
    if (sentDuringWrite) return;
    sentDuringWrite = true;
    SendRecord(intake::kTaskKind, "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXX");
    SendAction("Orvane_ChangeNow");
  };
  SendRecord(intake::kTaskKind, "original");
  SendAction("Orvane_SaveNow");
  RunFor(std::chrono::milliseconds(2800));
  ASSERT_EQ(frame_.calls.size(), 2u);
  EXPECT_EQ(frame_.calls[0].writer, "SaveOutlookTask");
  EXPECT_EQ(frame_.calls[0].record, "original");
  EXPECT_EQ(frame_.calls[1].writer, "ChangeOutlookTask");
  EXPECT_EQ(frame_.calls[1].record, "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXX");
}

}  // namespace

}  // namespace orvane
