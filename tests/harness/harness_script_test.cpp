#include <gtest/gtest.h>

#include "harness_script.h"

TEST(HarnessScript, ReadsEveryCommand) {
  std::vector<THarnessCommand> commands;
  std::string error;
  ASSERT_TRUE(ParseHarnessScript("# a session\n"
                                 "wait 200\n"
                                 "waitfor /tmp/flag 5000\n"
                                 "move 1 2\n"
                                 "click 3 4 right   # the context menu\n"
                                 "down 5 6\n"
                                 "wheel -1\n"
                                 "key Alt+Return\n"
                                 "type Grüße #1\n"
                                 "window focus-lost\n"
                                 "capture /tmp/frame.png\n"
                                 "settle /tmp/still.png 9000\n"
                                 "hold\n"
                                 "advance 250\n"
                                 "\n"
                                 "quit 3\n",
                                 commands, error))
      << error;
  using K = THarnessCommand::TKind;
  ASSERT_EQ(commands.size(), 14u);
  EXPECT_EQ(commands[0].kind, K::Wait);
  EXPECT_EQ(commands[0].a, 200);
  EXPECT_EQ(commands[0].line, 2);
  EXPECT_EQ(commands[1].text, "/tmp/flag");
  EXPECT_EQ(commands[1].a, 5000);
  EXPECT_EQ(commands[3].kind, K::Click);
  EXPECT_EQ(commands[3].c, 3);
  EXPECT_EQ(commands[4].c, 1);
  EXPECT_EQ(commands[5].a, -1);
  EXPECT_EQ(commands[6].text, "Alt+Return");
  EXPECT_EQ(commands[7].text, "Grüße #1");
  EXPECT_EQ(commands[8].a, 2);
  EXPECT_EQ(commands[10].kind, K::Settle);
  EXPECT_EQ(commands[10].text + " " + std::to_string(commands[10].a), "/tmp/still.png 9000");
  EXPECT_EQ(commands[11].kind, K::Hold);
  EXPECT_EQ(commands[12].kind, K::Advance);
  EXPECT_EQ(commands[12].a, 250);
  EXPECT_EQ(commands[13].kind, K::Quit);
  EXPECT_EQ(commands[13].a, 3);
}

TEST(HarnessScript, RefusesWhatItCannotRead) {
  for (const char* bad : {"jump 1", "wait", "wait soon", "click 1", "click 1 2 thumb", "window fly", "key", "type",
                          "settle /tmp/x.png", "advance", "advance 0"}) {
    std::vector<THarnessCommand> commands;
    std::string error;
    EXPECT_FALSE(ParseHarnessScript(std::string("wait 1\n") + bad + "\n", commands, error)) << bad;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  }
}
