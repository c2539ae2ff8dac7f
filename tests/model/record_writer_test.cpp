#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "model/record_writer.h"
#include "model_test_util.h"

namespace {

class RecordWriterTest : public TModelTest {
 protected:
  // Reads `text' back as the value of a Lua expression, into the global `v'.
  void ReadBack(const std::string& text) { Run("v = " + text); }
};

TEST_F(RecordWriterTest, StringsAreEscapedSoThatLuaReadsBackEveryByte) {
  struct Case {
    std::string text;
    const char* written;
  } cases[] = {
      {"Laterne", "\"Laterne\""},
      {"", "\"\""},
      {"Grüße aus dem Nebeltal", "\"Grüße aus dem Nebeltal\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"C:\\saves\\", "\"C:\\\\saves\\\\\""},
      {"one\ntwo\r\n", "\"one\\ntwo\\r\\n\""},
      {"print('x') -- ]] \t", "\"print('x') -- ]] \t\""},
  };
  for (const Case& c : cases) {
    std::string out;
    AppendLuaString(out, TString(c.text.data(), c.text.size()));
    EXPECT_EQ(out, c.written);
    ReadBack(out);
    lua_State* state = L();
    lua_pushliteral(state, "v");
    lua_rawget(state, LUA_GLOBALSINDEX);
    size_t length = lua_strlen(state, -1);
    std::string back(lua_tostring(state, -1), length);
    lua_pop(state, 1);
    EXPECT_EQ(back, c.text) << c.written;
  }
}

TEST_F(RecordWriterTest, NumbersReadBackExactly) {
  // Regression: a number cut to six digits came back as another number (1234567 as 1234570).
  struct Case {
    double value;
    const char* written;
  } cases[] = {
      {3, "3"},
      {0.25, "0.25"},
      {2.5, "2.5"},
      {-12, "-12"},
      {1234567, "1234567"},
      {1.0 / 3, "0.3333333333333333"},
      {-0.0, "0"},
      {1e300, "1e+300"},
      {4503599627370497.0, "4503599627370497"},
      {std::numeric_limits<double>::infinity(), "(1/0)"},
      {-std::numeric_limits<double>::infinity(), "(-1/0)"},
  };
  for (const Case& c : cases) {
    std::string text = FormatLuaNumber(c.value);
    EXPECT_EQ(text, c.written);
    EXPECT_EQ(EvalNumber(text), c.value == 0 ? 0.0 : c.value) << text;
  }
  EXPECT_EQ(FormatLuaNumber(std::nan("")), "(0/0)");
  EXPECT_TRUE(std::isnan(EvalNumber(FormatLuaNumber(std::nan("")))));
}

TEST_F(RecordWriterTest, FloatsAreWrittenAsTheShortestTextOfTheFloat) {
  struct Case {
    float value;
    const char* written;
  } cases[] = {{1.0f, "1"}, {0.5f, "0.5"}, {0.25f, "0.25"}, {1.0f / 3, "0.33333334"}, {0.1f, "0.1"}};
  for (const Case& c : cases) {
    std::string text = FormatLuaFloat(c.value);
    EXPECT_EQ(text, c.written);
    EXPECT_EQ(float(EvalNumber(text)), c.value) << text;
  }
}

TEST_F(RecordWriterTest, RecordsHaveTheirHeadFieldLinesAndEndLine) {
  std::string out = "before";
  CRecordWriter record("MakeThing");
  record.Number("n", -5);
  record.String("s", "x");
  record.Flag("b", false);
  record.QuotedNumber("q", 24);
  record.Corner(2, 10, -3);
  record.Entry("item");
  record.LastNumber("last", 7);
  record.Finish(out);
  EXPECT_EQ(out,
            "before\nMakeThing\n{\n\tn = -5,\n\ts = \"x\",\n\tb = \"false\",\n\tq = \"24\",\n"
            "\tpositionX2 = 10, positionY2 = -3,\n\t\"item\",\n\tlast = 7\n}; -- MakeThing end\n");

  std::string root;
  CRecordWriter head("MakeGame", CRecordWriter::Head::NoEmptyLine);
  head.Finish(root);
  EXPECT_EQ(root, "MakeGame\n{\n}; -- MakeGame end\n");

  std::string fragment;
  CRecordWriter fields;
  fields.Number("seqId", 1);
  fields.Finish(fragment);
  EXPECT_EQ(fragment, "\tseqId = 1,\n");
}

}  // namespace
