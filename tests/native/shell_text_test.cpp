// Log lines, the settings precedence and the start switches.
#include "app/command_line.h"
#include "base/log_line.h"
#include "app/setting_rule.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane {

namespace {

TEST(LogLine, BlankTimeBlankAndTheText) {
  EXPECT_EQ(FormatLogLine("12/04/06 21:14:09", "SaveOutlookTask"), " 12/04/06 21:14:09 SaveOutlookTask");
  EXPECT_EQ(FormatLogLine("12/04/06 21:14:09", ""), " 12/04/06 21:14:09 ");
}

TEST(LogLine, TextIsCutAt150Characters) {
  const std::string text(200, 'a');
  const std::string line = FormatLogLine("T", text);
  EXPECT_EQ(line, " T " + std::string(150, 'a'));
  EXPECT_EQ(FormatLogLine("T", std::string(150, 'b')), " T " + std::string(150, 'b'));
}

// The failed member follows the server's words; where the line has no room for both, the member
// goes and every word of the server's that fits the line stays.
TEST(LogLine, FailedMemberComesAfterTheWordsAndIsCutFirst) {
  const std::string lead = "OrvaneOutlook=>OnTimerException::";
  const std::string member = "TaskItem/AppointmentItem.Subject put";
  struct Case {
    size_t words;
    bool memberKept;
  };
  const size_t room = kLogMaxText - lead.size();
  const Case cases[] = {
      {28, true},         {room - member.size() - 3, true}, {room - member.size() - 2, false}, {room, false},
      {room + 40, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words);
    std::string words(c.words, 'w');
    words.back() = '.';
    const std::string line = FormatLogLine("T", WithFailedMember(lead + words, member));
    const std::string kept = lead + words.substr(0, room);
    EXPECT_EQ(line, " T " + kept + (c.memberKept ? " (" + member + ")" : ""));
    EXPECT_LE(line.size(), 3 + kLogMaxText);
  }
  EXPECT_EQ(WithFailedMember("OrvaneOutlook=>Itemadded::Outlook is busy", ""),
            "OrvaneOutlook=>Itemadded::Outlook is busy");
}

TEST(SettingRule, IniDecidesUnlessItHoldsTheDefault) {
  int winIniReads = 0;
  const auto winIni = [&](unsigned value) {
    return [&winIniReads, value] {
      ++winIniReads;
      return value;
    };
  };
  EXPECT_EQ(app::ChooseSetting(1, 0, winIni(0)), 1u);
  EXPECT_EQ(winIniReads, 0);
  EXPECT_EQ(app::ChooseSetting(0, 0, winIni(1)), 1u);
  EXPECT_EQ(app::ChooseSetting(0, 0, winIni(0)), 0u);
  EXPECT_EQ(app::ChooseSetting(5, 5, winIni(7)), 7u);
  EXPECT_EQ(winIniReads, 3);
}

TEST(StartSwitches, EmbeddingAndAutomationWithEitherPrefixAndAnyCase) {
  EXPECT_TRUE(app::ParseStartSwitches("/Embedding").embedding);
  EXPECT_TRUE(app::ParseStartSwitches("-embedding").embedding);
  EXPECT_TRUE(app::ParseStartSwitches("  /AUTOMATION ").automation);
  EXPECT_FALSE(app::ParseStartSwitches("/Automation").embedding);
  const auto none = app::ParseStartSwitches("Embedding /Embed file.stub");
  EXPECT_FALSE(none.embedding);
  EXPECT_FALSE(none.automation);
}

TEST(StartSwitches, OneJobSwitchesAreReadAndEndAtOnce) {
  struct Case {
    const char* line;
    bool regServer, unregServer, help, version, close;
  };
  const Case cases[] = {
      {"/RegServer", true, false, false, false, false},   {"-unregserver", false, true, false, false, false},
      {"/?", false, false, true, false, false},           {"/Help", false, false, true, false, false},
      {"/version", false, false, false, true, false},     {"/Close", false, false, false, false, true},
      {"-CLOSE", false, false, false, false, true},       {"/Closed /Clos", false, false, false, false, false},
      {"/Automation", false, false, false, false, false}, {"/RegServerX ?", false, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const app::StartSwitches s = app::ParseStartSwitches(c.line);
    EXPECT_EQ(s.regServer, c.regServer);
    EXPECT_EQ(s.unregServer, c.unregServer);
    EXPECT_EQ(s.help, c.help);
    EXPECT_EQ(s.version, c.version);
    EXPECT_EQ(s.close, c.close);
    EXPECT_EQ(s.EndsAtOnce(), c.regServer || c.unregServer || c.help || c.version || c.close);
  }
}

TEST(ServerCommand, TheProgramIsReadBackFromTheCommandComStarts) {
  const std::string installed = "C:\\Program Files\\Orvane\\OrvaneOutlook.exe";
  EXPECT_EQ(app::ServerProgram(app::ServerCommand(installed, "/Automation")), installed);
  EXPECT_EQ(app::ServerProgram("C:\\O\\OrvaneOutlook.exe /Automation"), "C:\\O\\OrvaneOutlook.exe");
  EXPECT_EQ(app::ServerProgram("\"C:\\Unclosed quote"), "C:\\Unclosed quote");
  EXPECT_EQ(app::ServerProgram(""), "");
}

}  // namespace

}  // namespace orvane
