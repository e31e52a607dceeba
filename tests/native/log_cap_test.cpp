// The log's cap: the full log set aside once under the older name, a new one begun, no line lost.
#include "base/log_cap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace orvane {

namespace {

namespace fs = std::filesystem;

class LogCapTest : public testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("orvane_log_cap_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path Log() const { return folder_ / "OrvaneErrorLog.txt"; }
  fs::path Older() const { return folder_ / kOlderLogFileName; }
  // One line with the cap given, the older log replaced on a switch unless `canSetAside` is false.
  bool Append(const std::string& line, long cap, bool canSetAside = true) {
    return AppendWithCap([&] { return std::fopen(Log().c_str(), "a"); },
                         [&] { return canSetAside && std::rename(Log().c_str(), Older().c_str()) == 0; }, line, cap);
  }
  static std::string Text(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  fs::path folder_;
};

TEST_F(LogCapTest, LinesBelowTheCapAreAppendedToTheOneLog) {
  ASSERT_TRUE(Append("first", 100));
  ASSERT_TRUE(Append("second", 100));
  EXPECT_EQ(Text(Log()), "first\nsecond\n");
  EXPECT_FALSE(fs::exists(Older()));
}

TEST_F(LogCapTest, TheLineAfterTheCapBeginsANewLogAndTheFullOneIsSetAsideWhole) {
  // 10 lines of 10 bytes: the tenth brings the log to the cap of 100 bytes.
  std::string expected;
  for (int i = 0; i < 10; ++i) {
    const std::string line = "line " + std::to_string(1000 + i);
    ASSERT_TRUE(Append(line, 100));
    expected += line + "\n";
  }
  EXPECT_FALSE(fs::exists(Older())) << "a log just at the cap has not yet passed it";
  ASSERT_TRUE(Append("the next", 100));
  EXPECT_EQ(Text(Older()), expected);
  EXPECT_EQ(Text(Log()), "the next\n");
}

TEST_F(LogCapTest, ASecondSwitchReplacesTheOlderLogSoAtMostTwoAreKept) {
  for (const char* line : {"aaaaaaaaa", "bbbbbbbbb", "ccccccccc", "ddddddddd", "eeeeeeeee"})
    ASSERT_TRUE(Append(line, 20));
  EXPECT_EQ(Text(Older()), "ccccccccc\nddddddddd\n");
  EXPECT_EQ(Text(Log()), "eeeeeeeee\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2);
}

TEST_F(LogCapTest, ALogThatCannotBeSetAsideTakesTheLineAllTheSame) {
  ASSERT_TRUE(Append("aaaaaaaaa", 10));
  ASSERT_TRUE(Append("bbbbbbbbb", 10, false));
  EXPECT_EQ(Text(Log()), "aaaaaaaaa\nbbbbbbbbb\n");
  EXPECT_FALSE(fs::exists(Older()));
}

TEST_F(LogCapTest, ALogThatCannotBeOpenedIsNoLineWritten) {
  const bool written = AppendWithCap([] { return static_cast<std::FILE*>(nullptr); }, [] { return true; }, "x", 10);
  EXPECT_FALSE(written);
}

}  // namespace

}  // namespace orvane
