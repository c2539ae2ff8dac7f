#include <gtest/gtest.h>

#include <vector>

#include "platform/command_line.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "test_util.h"

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetPlatformState(); }
  void TearDown() override { ResetPlatformState(); }
};

TEST_F(SettingsTest, GetSetAndIsEnabled) {
  EXPECT_STREQ(GetConfig("missing", "fallback").c_str(), "fallback");
  EXPECT_TRUE(GetAllConfig().empty());  // a lookup does not insert
  SetConfig("empty", "");
  EXPECT_STREQ(GetConfig("empty", "fallback").c_str(), "");
  struct {
    const char* value;
    bool enabled;
  } cases[] = {{"1", true}, {"2", true}, {"-1", true}, {"01", true}, {"0", false},
               {"", false}, {"true", false}, {"yes", false}, {" 3", true}};
  for (const auto& c : cases) {
    SetConfig("flag", c.value);
    EXPECT_EQ(IsEnabled("flag"), c.enabled) << c.value;
  }
  EXPECT_FALSE(IsEnabled("absent"));
  SetConfig("Key", "upper");
  EXPECT_STREQ(GetConfig("key", "-").c_str(), "-");  // keys are case-sensitive
}

TEST_F(SettingsTest, LegacyLineWrapFlagIsSetByAnyValue) {
  SetConfig("legacylinewrap", "0");
  EXPECT_TRUE(IsLegacyLineWrap());
  ClearConfig();
  EXPECT_TRUE(IsLegacyLineWrap());  // never cleared
}

TEST_F(SettingsTest, ChangesReachThePlatformHook) {
  std::vector<std::pair<TString, TString>> seen;
  SetSettingChangedHook([&](const TString& k, const TString& v) { seen.emplace_back(k, v); });
  ApplyCommandLineSettings(TCommandLine("game.exe options=vsync=1&viewportscale=1.5"));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_STREQ(seen[0].first.c_str(), "vsync");
  EXPECT_STREQ(seen[0].second.c_str(), "1");
  EXPECT_STREQ(seen[1].first.c_str(), "viewportscale");
  EXPECT_STREQ(seen[1].second.c_str(), "1.5");
}

TEST_F(SettingsTest, CheatModeNeedsTheCipherCheck) {
  // Without the cipher's check no code enables cheat mode.
  SetConfig("computerid", "ABCDEFGHIJKLMNOP");
  SetConfig("cheatcode", "anything");
  EXPECT_STREQ(GetConfig("cheatmode", "unset").c_str(), "unset");  // key still missing
  SetConfig("encryptionkey", "key");
  EXPECT_STREQ(GetConfig("cheatmode").c_str(), "0");

  SetCheatCodeCheck([](const TString& code, const TString& key, const TString& id) {
    return code == "good" && key == "key" && id == "ABCDEFGHIJKLMNOP";
  });
  SetConfig("cheatcode", "good");
  EXPECT_STREQ(GetConfig("cheatmode").c_str(), "1");
  SetConfig("cheatcode", "bad");
  EXPECT_STREQ(GetConfig("cheatmode").c_str(), "0");
  SetConfig("cheatcode", "");
  EXPECT_STREQ(GetConfig("cheatmode").c_str(), "0");  // unchanged when a part is empty
}

TEST_F(SettingsTest, ComputerIdFromAddress) {
  const unsigned char zero[8] = {};
  EXPECT_STREQ(MakeComputerIdFromAddress(zero).c_str(), "@B@C@D@E@F@G@H@I");
  const unsigned char a[8] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0, 0};
  const unsigned char b[8] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5F, 0, 0};
  TString idA = MakeComputerIdFromAddress(a), idB = MakeComputerIdFromAddress(b);
  EXPECT_EQ(idA.Length(), 16u);
  EXPECT_FALSE(idA == idB);
  for (uint32_t i = 0; i < idA.Length(); ++i) {
    EXPECT_GE(idA.CharAt(i), 64);
    EXPECT_LT(idA.CharAt(i), 127);
  }
  EXPECT_EQ(MakeComputerId().Length(), 16u);
}

TEST_F(SettingsTest, LoadOrderAndPrecedence) {
  TTempFolder folder;
  WriteTextFile(folder / "settings.xml",
                "<?xml version=\"1.0\"?>\n<settings>\n  <windowtitle>Tarvelon Demo</windowtitle>\n"
                "  <fullscreen>0</fullscreen>\n  <screenwidth>1024</screenwidth>\n</settings>\n");
  SetConfig("windowtitle", "game default");  // the game's entry stores its defaults first
  SetConfig("screenwidth", "800");
  SetConfig("publisher", "Wendrock");
  SetConfig("utf8mode", "1");
  TCommandLine line("tarvelon -url=http://example.invalid/x --stringtest options=screenwidth=1280&fullscreen=1");
  ApplyEarlyCommandLine(line);
  EXPECT_TRUE(LoadSettingsFile("::" + (folder / "settings.xml")));
  ApplyCommandLineSettings(line);
  EXPECT_STREQ(GetConfig("windowtitle").c_str(), "Tarvelon Demo");
  EXPECT_STREQ(GetConfig("screenwidth").c_str(), "1280");
  EXPECT_STREQ(GetConfig("fullscreen").c_str(), "1");
  EXPECT_STREQ(GetConfig("publisher").c_str(), "Wendrock");
  EXPECT_STREQ(GetConfig("downloadurl").c_str(), "http://example.invalid/x");
  EXPECT_STREQ(GetConfig("stringtest").c_str(), "1");
  EXPECT_STREQ(GetConfig("utf8modeinit").c_str(), "1");
}

TEST_F(SettingsTest, MissingOrMalformedSettingsFileKeepsTheMap) {
  TTempFolder folder;
  SetConfig("kept", "yes");
  EXPECT_FALSE(LoadSettingsFile("::" + (folder / "absent.xml")));
  WriteTextFile(folder / "broken.xml", "<settings><a>1</a><b>2<<<>>\"unterminated");
  LoadSettingsFile("::" + (folder / "broken.xml"));  // tolerant: takes what it can
  EXPECT_STREQ(GetConfig("kept").c_str(), "yes");
  EXPECT_STREQ(GetConfig("a").c_str(), "1");
  WriteTextFile(folder / "other.xml", "<config><a>9</a></config>");
  OpenLogFile(folder.Path().c_str());
  EXPECT_FALSE(LoadSettingsFile("::" + (folder / "other.xml")));
  EXPECT_STREQ(GetConfig("a").c_str(), "1");
  EXPECT_NE(ReadTextFile(GetLogPath()).find("other.xml holds no <settings> element"), std::string::npos);
  WriteTextFile(folder / "packed.xml", "ZXML\x10\0\0\0\x10\0\0\0garbage");
  EXPECT_FALSE(LoadSettingsFile("::" + (folder / "packed.xml")));
  EXPECT_NE(ReadTextFile(GetLogPath()).find("packed.xml: ZXML image"), std::string::npos);
}
