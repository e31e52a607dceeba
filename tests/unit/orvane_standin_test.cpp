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

TEST(OrvaneStandin, ReadableBytesShowsEveryByteUnambiguously) {
  const struct {
    std::string bytes;
    std::string shown;
  } kCases[] = {
      {"", ""},
      {"Report\tnono", "Report\\tnono"},
      {"Call back*nono*\n", "Call back*nono*\\x0A"},
      {"a\\tb", "a\\\\tb"},
      {std::string("x\0y", 3), "x\\x00y"},
      {"\r\x1F\x7F", "\\x0D\\x1F\\x7F"},
      {"\xE9\x80\xFF", "\\xE9\\x80\\xFF"},
      {" ~", " ~"},
  };
  for (const auto& c : kCases) EXPECT_EQ(standin::ReadableBytes(c.bytes), c.shown) << c.shown;
}

// What the log shows can be typed back as a /send record and gives the same bytes.
TEST(OrvaneStandin, DecodeEscapesUndoesReadableBytesForEveryByte) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  EXPECT_EQ(standin::DecodeEscapes(standin::ReadableBytes(everyByte)), everyByte);
}

TEST(OrvaneStandin, DecodeEscapesKeepsWhatIsNoEscape) {
  const struct {
    std::string literal;
    std::string bytes;
  } kCases[] = {
      {"a\\tb\\nc", "a\tb\nc"}, {"\\x41\\x0a", "A\n"}, {"\\q", "\\q"},   {"end\\", "end\\"},
      {"\\x4", "\\x4"},         {"\\xZZ", "\\xZZ"},    {"\\\\t", "\\t"}, {"@", "@"},
  };
  for (const auto& c : kCases) EXPECT_EQ(standin::DecodeEscapes(c.literal), c.bytes) << c.literal;
}

TEST(OrvaneStandin, CopyDataLineGivesKindCountSenderAndBytes) {
  EXPECT_EQ(standin::CopyDataLine(0x2BB7B2A6, 0x1005A, "Call\n"),
            "WM_COPYDATA kind=0x2BB7B2A6 bytes=5 sender=0x1005A data=Call\\x0A");
  EXPECT_EQ(standin::CopyDataLine(7, 0, ""), "WM_COPYDATA kind=0x00000007 bytes=0 sender=0x0 data=");
}

TEST(OrvaneStandin, ParseKindTakesHexOrDecimalWithin32Bits) {
  EXPECT_EQ(standin::ParseKind("0x2BB7B2A6"), 0x2BB7B2A6u);
  EXPECT_EQ(standin::ParseKind("0X2bb7b2a6"), 0x2BB7B2A6u);
  EXPECT_EQ(standin::ParseKind("733459110"), 0x2BB7B2A6u);
  EXPECT_EQ(standin::ParseKind("0xFFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(standin::ParseKind("0"), 0u);
  for (const char* wrong : {"", "0x", "0x100000000", "4294967296", "-1", "12a", "0x2G", " 5"}) {
    EXPECT_FALSE(standin::ParseKind(wrong).has_value()) << wrong;
  }
}

TEST(OrvaneStandin, ActionsAndTheirMessages) {
  const struct {
    const char* word;
    Action action;
    const char* message;
  } kCases[] = {
      {"save", Action::kSave, "Orvane_SaveNow"},        {"Change", Action::kChange, "Orvane_ChangeNow"},
      {"DELETE", Action::kDelete, "Orvane_DeleteNow"},  {"done", Action::kDone, "Orvane_DoneNow"},
      {"close", Action::kClose, "Orvane_CloseStubNow"}, {"none", Action::kNone, ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(standin::ParseAction(c.word), c.action) << c.word;
    EXPECT_EQ(standin::ActionMessageName(c.action), c.message) << c.word;
  }
  EXPECT_FALSE(standin::ParseAction("saved").has_value());
}

TEST(OrvaneStandin, ParseOptionsChoosesModeAndDeliveries) {
  const struct {
    std::vector<std::string> args;
    bool mainWindow;
    std::string logPath;
    std::size_t deliveries;
  } kCases[] = {
      {{}, true, "OrvaneMain.log", 0},
      {{"/log", "x.log"}, true, "x.log", 0},
      {{"/send", "0x2BB7B2A6", "save", "@rec.txt"}, false, "OrvaneMain.log", 1},
      {{"-SEND", "733459110", "none", "a\\tb", "/action", "save"}, false, "OrvaneMain.log", 2},
      {{"/log", "x.log", "/send", "0x2BB7B2A6", "save", "r"}, true, "x.log", 1},
      {{"/send", "1", "save", "r", "/stay"}, true, "OrvaneMain.log", 1},
      {{"/action", "close", "/wait", "0"}, false, "OrvaneMain.log", 1},
  };
  for (const auto& c : kCases) {
    const auto parsed = standin::ParseOptions(c.args);
    ASSERT_TRUE(parsed.options.has_value()) << parsed.error;
    EXPECT_EQ(parsed.options->runMainWindow, c.mainWindow);
    EXPECT_EQ(parsed.options->logPath, c.logPath);
    EXPECT_EQ(parsed.options->deliveries.size(), c.deliveries);
  }
}

TEST(OrvaneStandin, ParseOptionsKeepsEachDeliveryInOrder) {
  const auto parsed =
      standin::ParseOptions({"/send", "0x2BB7B2A7", "change", "@r.txt", "/action", "done", "/wait", "3"});
  ASSERT_TRUE(parsed.options.has_value()) << parsed.error;
  const auto& options = *parsed.options;
  EXPECT_EQ(options.waitSeconds, 3);
  ASSERT_EQ(options.deliveries.size(), 2u);
  EXPECT_EQ(options.deliveries[0].kind, 0x2BB7B2A7u);
  EXPECT_EQ(options.deliveries[0].action, Action::kChange);
  EXPECT_EQ(options.deliveries[0].record, "@r.txt");
  EXPECT_FALSE(options.deliveries[1].kind.has_value());
  EXPECT_EQ(options.deliveries[1].action, Action::kDone);
}

TEST(OrvaneStandin, ParseOptionsRefusesWrongCommandLines) {
  const std::vector<std::string> kWrong[] = {
      {"/send"},
      {"/send", "0x2BB7B2A6", "save"},
      {"/send", "kind", "save", "r"},
      {"/send", "0x2BB7B2A6", "later", "r"},
      {"/action", "none"},
      {"/action"},
      {"/log"},
      {"/wait", "-1"},
      {"/wait", "soon"},
      {"/wait", "3601"},
      {"record.txt"},
      {"/unknown"},
  };
  for (const auto& args : kWrong) {
    const auto parsed = standin::ParseOptions(args);
    EXPECT_FALSE(parsed.options.has_value()) << args.front();
    EXPECT_FALSE(parsed.error.empty()) << args.front();
  }
  EXPECT_TRUE(standin::ParseOptions({"/?"}).options->showHelp);
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
    ASSERT_TRUE(window_.Create(GetModuleHandleA(nullptr)));
  }
  void TearDown() override { DeleteFileA(logPath_.c_str()); }

  std::vector<std::string> LogLines() const {
    std::ifstream file(logPath_, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }

  std::string logPath_ = TempLogPath();
  standin::MessageLog log_{logPath_};
  standin::MainWindow window_{log_};
};

TEST_F(OrvaneMainWindow, LogsEachRecordByItsByteCountAndAnswersTrue) {
  ASSERT_EQ(FindWindowA("Orvane Main", "Orvane"), window_.Handle());

  const std::string record("Call back*nono*\n\0tail", 21);
  ASSERT_TRUE(standin::SendRecord(window_.Handle(), nullptr, 0x2BB7B2A8, record));
  COPYDATASTRUCT data = {0x2BB7B2B1, 3, const_cast<char*>("Old")};
  EXPECT_EQ(SendMessageA(window_.Handle(), WM_COPYDATA, 0x1234, reinterpret_cast<LPARAM>(&data)), TRUE);
  SendMessageA(window_.Handle(), RegisterWindowMessageA("Orvane_Shield"), 0, 0);

  const std::vector<std::string> expected = {
      "WM_COPYDATA kind=0x2BB7B2A8 bytes=21 sender=0x0 data=Call back*nono*\\x0A\\x00tail",
      "WM_COPYDATA kind=0x2BB7B2B1 bytes=3 sender=0x1234 data=Old",
      "Orvane_Shield",
  };
  EXPECT_EQ(LogLines(), expected);
}

TEST_F(OrvaneMainWindow, ClosingTheWindowEndsTheMessageLoop) {
  SendMessageA(window_.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(window_.Handle(), nullptr);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(OrvaneMainWindow, ActionsArePostedAsTheirRegisteredMessages) {
  ASSERT_TRUE(standin::PostAction(window_.Handle(), Action::kDelete));
  MSG message;
  const UINT deleteNow = RegisterWindowMessageA("Orvane_DeleteNow");
  ASSERT_TRUE(PeekMessageA(&message, window_.Handle(), deleteNow, deleteNow, PM_REMOVE));
  EXPECT_EQ(message.wParam, 0u);
  EXPECT_EQ(message.lParam, 0);
}

}  // namespace

}  // namespace orvane
