// The stand-in main application: its log lines, its command line, and its window receiving
// what the plug-in sends.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "testbed/orvane/main_window.h"
#include "testbed/orvane/message_log.h"
#include "testbed/orvane/plugin_link.h"
#include "testbed/orvane/readable_bytes.h"
#include "testbed/orvane/standin_options.h"

namespace orvane {

namespace {

using standin::Action;

TEST(OrvaneStandin, ReadableBytesShowsEveryByteUnambiguouslyAndDecodesBack) {
  const struct {
    std::string bytes;
    std::string shown;
  } kCases[] = {
      {"Report\tnono", "Report\\tnono"},
      {"a\\tb", "a\\\\tb"},
      {std::string("x\0y\n", 4), "x\\x00y\\x0A"},
      {"\x7F\xE9 ~", "\\x7F\\xE9 ~"},
  };
  for (const auto& c : kCases) EXPECT_EQ(standin::ReadableBytes(c.bytes), c.shown) << c.shown;
  // What the log shows can be typed back as a /send record and gives the same bytes.
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  EXPECT_EQ(standin::DecodeEscapes(standin::ReadableBytes(everyByte)), everyByte);
  for (const char* noEscape : {"\\q", "end\\", "\\x4", "\\xZZ"}) {
    EXPECT_EQ(standin::DecodeEscapes(noEscape), noEscape);
  }
}

TEST(OrvaneStandin, CopyDataLineShowsTheWholeKindCountSenderAndBytes) {
  EXPECT_EQ(standin::CopyDataLine(0x2BB7B2A6, 0x1005A, "Call\n"),
            "WM_COPYDATA kind=0x2BB7B2A6 (new task) bytes=5 sender=0x1005A data=Call\\x0A");
  EXPECT_EQ(standin::CopyDataLine(7, 0, ""), "WM_COPYDATA kind=0x00000007 (unknown kind) bytes=0 sender=0x0 data=");
  // A kind beyond 32 bits is shown whole, not as the kind of its low half.
  EXPECT_EQ(standin::CopyDataLine(0x12BB7B2A6ull, 0, "x"),
            "WM_COPYDATA kind=0x12BB7B2A6 (unknown kind) bytes=1 sender=0x0 data=x");
}

TEST(OrvaneStandin, ParseOptionsChoosesModeAndKeepsDeliveriesInOrder) {
  EXPECT_TRUE(standin::ParseOptions({}).options->runMainWindow);
  EXPECT_EQ(standin::ParseOptions({"-SEND", "733459110", "none", "r"}).options->deliveries[0].kind, 0x2BB7B2A6u);
  EXPECT_FALSE(standin::ParseOptions({"/send", "0XffffFFFF", "none", "r"}).options->runMainWindow);
  const auto parsed = standin::ParseOptions(
      {"/log", "x.log", "/send", "0x2BB7B2A7", "change", "@r.txt", "/action", "done", "/wait", "3"});
  ASSERT_TRUE(parsed.options.has_value()) << parsed.error;
  const auto& options = *parsed.options;
  EXPECT_TRUE(options.runMainWindow);
  EXPECT_EQ(options.logPath, "x.log");
  EXPECT_EQ(options.waitSeconds, 3);
  ASSERT_EQ(options.deliveries.size(), 2u);
  EXPECT_EQ(options.deliveries[0].kind, 0x2BB7B2A7u);
  EXPECT_EQ(options.deliveries[0].action, Action::kChange);
  EXPECT_EQ(options.deliveries[0].record, "@r.txt");
  EXPECT_FALSE(options.deliveries[1].kind.has_value());
  EXPECT_EQ(options.deliveries[1].action, Action::kDone);
  EXPECT_FALSE(options.endSenderOnKind.has_value());
  EXPECT_EQ(standin::ParseOptions({"/endsender", "0x2BB7B2B1"}).options->endSenderOnKind, 0x2BB7B2B1u);
}

// The window of class "Orvane Main", fed through the same sending code the program uses.
class OrvaneMainWindow : public testing::Test {
protected:
  static std::string TempLogPath() {
    char directory[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, directory);
    return std::string(directory) + "orvane_standin_test_" + std::to_string(GetCurrentProcessId()) + ".log";
  }

  void SetUp() override {
    DeleteFileA(logPath_.c_str());
    ASSERT_TRUE(window_.Create());
  }
  void TearDown() override { DeleteFileA(logPath_.c_str()); }

  std::string LogText() const {
    std::ifstream file(logPath_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

  std::string logPath_ = TempLogPath();
  standin::MessageLog log_{logPath_};
  standin::MainWindow window_{log_};
};

TEST_F(OrvaneMainWindow, LogsEachRecordByItsByteCountAndTheShield) {
  ASSERT_EQ(FindWindowA("Orvane Main", "Orvane"), window_.Window());

  const std::string record("Call back*nono*\n\0tail", 21);
  ASSERT_TRUE(standin::SendRecord(window_.Window(), nullptr, 0x2BB7B2A8, record));
  COPYDATASTRUCT data = {0x2BB7B2B1, 3, const_cast<char*>("Old")};
  EXPECT_EQ(SendMessageA(window_.Window(), WM_COPYDATA, 0x1234, reinterpret_cast<LPARAM>(&data)), TRUE);
  SendMessageA(window_.Window(), RegisterWindowMessageA("Orvane_Shield"), 0, 0);

  EXPECT_EQ(LogText(),
            "WM_COPYDATA kind=0x2BB7B2A8 (new note) bytes=21 sender=0x0 data=Call back*nono*\\x0A\\x00tail\r\n"
            "WM_COPYDATA kind=0x2BB7B2B1 (deleted task) bytes=3 sender=0x1234 data=Old\r\n"
            "Orvane_Shield\r\n");
}

TEST_F(OrvaneMainWindow, ActionsArePostedAsTheirRegisteredMessagesAndClosingEndsTheLoop) {
  ASSERT_TRUE(standin::PostAction(window_.Window(), Action::kDelete));
  MSG message;
  const UINT deleteNow = RegisterWindowMessageA("Orvane_DeleteNow");
  EXPECT_TRUE(PeekMessageA(&message, window_.Window(), deleteNow, deleteNow, PM_REMOVE));

  SendMessageA(window_.Window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(window_.Window(), nullptr);
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace

}  // namespace orvane
