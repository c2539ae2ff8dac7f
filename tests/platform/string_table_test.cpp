#include <gtest/gtest.h>

#include <string>

#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "platform/zxml.h"
#include "test_util.h"

namespace {

std::string Row(const char* label, const char* value) {
  return std::string("<Row><Cell><Data ss:Type=\"String\">") + label + "</Data></Cell><Cell><Data ss:Type=\"String\">" +
         value + "</Data></Cell></Row>\n";
}

std::string Sheet(const std::string& rows) {
  return "<?xml version=\"1.0\"?>\n<Workbook><Worksheet><Table>\n" + rows + "</Table></Worksheet></Workbook>\n";
}

}  // namespace

class StringTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetPlatformState();
    OpenLogFile(mFolder.Path().c_str());
    std::string rows = Row("TWO", "%1% und %2%") + Row("PCT", "100%% sicher") + Row("SIX", "[%6%]") +
                       Row("NAMED", "Hallo %NAME%!") + Row("NAME", "Welt %1%") + Row("ARG", "&lt;%1%&gt;") +
                       Row("ENT", "a &amp; b &lt;c&gt; &#233;") + Row("WORDS", "zwei Worte") +
                       Row("OPEN", "kaputt %1 offen") + Row("FLASH_TITLE", "Titel") + Row("flash01_02", "F");
    mTable.MergeBuffer(Sheet(rows).data(), Sheet(rows).size(), "strings.xml");
  }
  void TearDown() override { ResetPlatformState(); }
  TTempFolder mFolder;
  TStringTable mTable;
};

TEST_F(StringTableTest, SubstitutionTable) {
  struct {
    const char* label;
    const char* a1;
    const char* a2;
    const char* expected;
  } cases[] = {
      {"TWO", "10", "20", "10 und 20"},
      {"TWO", "", "", " und "},
      {"PCT", "", "", "100% sicher"},
      {"SIX", "a", "b", "[]"},
      {"NAMED", "x", "", "Hallo Welt %1%!"},  // the label's raw text, not substituted
      {"ARG", "%NAME%", "", "<Welt %1%>"},
      {"ARG", "%%", "", "<%>"},
      {"ARG", "%MISSING%", "", "<>"},
      {"ARG", "%x", "", "<>"},
      {"ARG", "plain", "", "<plain>"},
      {"ENT", "", "", "a & b <c> \xe9"},
  };
  for (const auto& c : cases) EXPECT_STREQ(mTable.GetString(c.label, c.a1, c.a2).c_str(), c.expected) << c.label;
}

TEST_F(StringTableTest, MissingLabelAndUnmatchedEscapeAreLogged) {
  EXPECT_STREQ(mTable.GetString("NOPE").c_str(), "#####");
  mTable.GetString("OPEN", "1");
  std::string log = ReadTextFile(GetLogPath());
  EXPECT_NE(log.find(" ##### : Missing string for label 'NOPE'"), std::string::npos);
  EXPECT_NE(log.find("Non-matched percent (%) escape found in string OPEN, 'kaputt %1 offen'"), std::string::npos);
}

TEST_F(StringTableTest, StringTestModeCrossesOutLetters) {
  SetConfig("stringtest", "1");
  EXPECT_STREQ(mTable.GetString("WORDS").c_str(), "xxxx xxxxx");
}

TEST_F(StringTableTest, RowsWithoutCellsAndFlashStrings) {
  TStringTable table;
  std::string text = "<Row>no cells here<Row><Data>ONLY_LABEL</Data><Row><Data>L2</Data><Data>V2</Data><Row><Data>LAST</Data>";
  table.MergeBuffer(text.data(), text.size(), "rows.xml");
  ASSERT_NE(table.Find("ONLY_LABEL"), nullptr);  // its value cell lies in a later row
  EXPECT_STREQ(table.Find("ONLY_LABEL")->c_str(), "");
  EXPECT_STREQ(table.Find("L2")->c_str(), "V2");
  EXPECT_EQ(table.Find("LAST"), nullptr);  // no "<Data" anywhere after it
  EXPECT_EQ(table.Size(), 2u);

  std::vector<std::pair<TString, TString>> flash;
  mTable.GetFlashStrings(flash);
  ASSERT_EQ(flash.size(), 2u);
  EXPECT_STREQ(flash[0].first.c_str(), "FLASH_TITLE");
  EXPECT_STREQ(flash[1].first.c_str(), "flash01_02");
}

TEST_F(StringTableTest, ZxmlAndPlainGiveTheSameTable) {
  std::string plain = Sheet(Row("A", "eins") + Row("B", "zwei"));
  std::string packed = EncodeZxml(plain);
  TStringTable a, b;
  ASSERT_TRUE(a.MergeBuffer(plain.data(), plain.size(), "a"));
  ASSERT_TRUE(b.MergeBuffer(packed.data(), packed.size(), "b"));
  EXPECT_EQ(a.Size(), 2u);
  EXPECT_STREQ(b.GetString("A").c_str(), "eins");
  EXPECT_STREQ(b.GetString("B").c_str(), "zwei");
  std::string broken = packed.substr(0, packed.size() / 2);
  TStringTable c;
  EXPECT_FALSE(c.MergeBuffer(broken.data(), broken.size(), "broken.xml"));
  EXPECT_EQ(c.Size(), 0u);
  EXPECT_NE(ReadTextFile(GetLogPath()).find("broken.xml: ZXML image"), std::string::npos);
}

TEST_F(StringTableTest, UserAndCommonFilesOverrideInOrder) {
  TTempFolder data;
  WriteTextFile(data / "assets/strings.xml", Sheet(Row("A", "asset") + Row("B", "asset") + Row("C", "asset")));
  WriteTextFile(data / "user/strings_user.xml", Sheet(Row("B", "user") + Row("C", "user")));
  WriteTextFile(data / "user/notes.xml", Sheet(Row("A", "not a string file")));
  WriteTextFile(data / "common/strings.xml", Sheet(Row("C", "common")));
  SetAssetFolder(data / "assets");
  SetDataFolders(data / "user", data / "common", "");
  ScanAssetFolder(GetAssetFolder(), "");
  TStringTable table;
  EXPECT_TRUE(LoadStringTables(table));
  EXPECT_STREQ(table.GetString("A").c_str(), "asset");
  EXPECT_STREQ(table.GetString("B").c_str(), "user");
  EXPECT_STREQ(table.GetString("C").c_str(), "common");

  TStringTable none;
  ClearFileMap();
  EXPECT_FALSE(none.Load("strings.xml"));
  EXPECT_EQ(none.Size(), 0u);
}
