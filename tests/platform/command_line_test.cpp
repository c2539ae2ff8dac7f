#include <gtest/gtest.h>

#include "platform/command_line.h"
#include "platform/settings.h"
#include "test_util.h"

TEST(CommandLine, OptionsPairsTable) {
  struct Case {
    const char* line;
    std::vector<std::pair<const char*, const char*>> pairs;
  } cases[] = {
      {"x options=a=1&b=2 trailing=3&c=4", {{"a", "1"}, {"b", "2"}}},
      {"options=a=1", {{"a", "1"}}},
      {"options=novalue", {}},
      {"options=a=1&", {{"a", "1"}}},
      {"options=a=&b=2", {{"a", ""}, {"b", "2"}}},
      {"options=", {}},
      {"no options at all", {}},
  };
  for (const Case& c : cases) {
    auto pairs = TCommandLine(c.line).Options();
    ASSERT_EQ(pairs.size(), c.pairs.size()) << c.line;
    for (size_t i = 0; i < pairs.size(); ++i) {
      EXPECT_STREQ(pairs[i].first.c_str(), c.pairs[i].first) << c.line;
      EXPECT_STREQ(pairs[i].second.c_str(), c.pairs[i].second) << c.line;
    }
  }
}

TEST(CommandLine, OptionsDoNotReachAcrossBlanks) {
  // Keys and values once ran on past the blank into the next argument.
  auto pairs = TCommandLine("options=a=1 --multiple&b=2").Options();
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_STREQ(pairs[0].second.c_str(), "1");
  EXPECT_TRUE(TCommandLine("options=abc other=1").Options().empty());
}

TEST(CommandLine, CheatAsTheLastArgumentStaysInBounds) {
  ResetPlatformState();
  // "--cheat" at the very end: the code starts 8 bytes in, past the text.
  TCommandLine last("tarvelon --cheat");
  EXPECT_STREQ(last.CheatCode().c_str(), "");
  ApplyCommandLineSettings(last);
  EXPECT_TRUE(GetAllConfig().count("cheatcode"));
  EXPECT_STREQ(GetConfig("cheatcode", "unset").c_str(), "");
  EXPECT_STREQ(TCommandLine("--cheat 1234 -x").CheatCode().c_str(), "1234");
  EXPECT_STREQ(TCommandLine("--cheat=abcd").CheatCode().c_str(), "abcd");
  EXPECT_STREQ(TCommandLine("--cheat ").CheatCode().c_str(), "");
  ResetPlatformState();
}

TEST(CommandLine, WorkingFolderAndUrl) {
  EXPECT_STREQ(TCommandLine("-wd=\"/tmp/my games\" -x").WorkingFolder().c_str(), "/tmp/my games");
  EXPECT_STREQ(TCommandLine("-wd=/tmp/a b").WorkingFolder().c_str(), "/tmp/a");
  EXPECT_STREQ(TCommandLine("-wd=").WorkingFolder().c_str(), "");
  EXPECT_STREQ(TCommandLine("a -url=http://x/y z").DownloadUrl().c_str(), "http://x/y");
  EXPECT_TRUE(TCommandLine("x --multiple").Has("--multiple"));
  EXPECT_FALSE(TCommandLine("x --Multiple").Has("--multiple"));
  char arg0[] = "tarvelon", arg1[] = "--multiple", arg2[] = "options=a=1";
  char* argv[] = {arg0, arg1, arg2};
  EXPECT_STREQ(TCommandLine::FromArguments(3, argv).Text().c_str(), "--multiple options=a=1");
}
