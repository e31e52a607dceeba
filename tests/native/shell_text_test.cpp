// Log lines, the settings precedence and the start switches.
#include "app/command_line.h"
#include "base/log_line.h"
#include "app/setting_rule.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {

namespace {

TEST(LogLine, BlankTimeBlankAndTheText) {
  EXPECT_EQ(logline::Format("12/04/06 21:14:09", "SaveOutlookTask"), " 12/04/06 21:14:09 SaveOutlookTask");
  EXPECT_EQ(logline::Format("12/04/06 21:14:09", ""), " 12/04/06 21:14:09 ");
}

TEST(LogLine, TextIsCutAt150Characters) {
  const std::string text(200, 'a');
  const std::string line = logline::Format("T", text);
  EXPECT_EQ(line, " T " + std::string(150, 'a'));
  EXPECT_EQ(logline::Format("T", std::string(150, 'b')), " T " + std::string(150, 'b'));
}

TEST(SettingRule, IniDecidesUnlessItHoldsTheDefault) {
  int winIniReads = 0;
  const auto winIni = [&](unsigned value) {
    return [&winIniReads, value] {
      ++winIniReads;
      return value;
    };
  };
  EXPECT_EQ(settings::ChooseSetting(1, 0, winIni(0)), 1u);
  EXPECT_EQ(winIniReads, 0);
  EXPECT_EQ(settings::ChooseSetting(0, 0, winIni(1)), 1u);
  EXPECT_EQ(settings::ChooseSetting(0, 0, winIni(0)), 0u);
  EXPECT_EQ(settings::ChooseSetting(5, 5, winIni(7)), 7u);
  EXPECT_EQ(winIniReads, 3);
}

TEST(StartSwitches, EmbeddingAndAutomationWithEitherPrefixAndAnyCase) {
  EXPECT_TRUE(commandline::ParseStartSwitches("/Embedding").embedding);
  EXPECT_TRUE(commandline::ParseStartSwitches("-embedding").embedding);
  EXPECT_TRUE(commandline::ParseStartSwitches("  /AUTOMATION ").automation);
  EXPECT_FALSE(commandline::ParseStartSwitches("/Automation").embedding);
  const auto none = commandline::ParseStartSwitches("Embedding /Embed file.stub");
  EXPECT_FALSE(none.embedding);
  EXPECT_FALSE(none.automation);
}

}  // namespace

}  // namespace orvane
