#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/engine_string.h"

TEST(EngineString, CopiesShareTheBodyUntilOneChanges) {
  TString first("abc");
  TString second;
  second = first;
  EXPECT_TRUE(second.SharesBodyWith(first));
  EXPECT_EQ(first.RefCount(), 2u);
  second += 'd';
  EXPECT_FALSE(second.SharesBodyWith(first));
  EXPECT_EQ(first.RefCount(), 1u);
  EXPECT_STREQ(first.c_str(), "abc");
  EXPECT_STREQ(second.c_str(), "abcd");

  // Every in-place change detaches a shared body first.
  TString a("Hello World"), b = a, c = a, d = a, e = a;
  b.MakeLower();
  c.Erase(0, 6);
  d.Replace("World", "Welt");
  e.WriteAt(0, "J", 1, false);
  EXPECT_STREQ(a.c_str(), "Hello World");
  EXPECT_STREQ(b.c_str(), "hello world");
  EXPECT_STREQ(c.c_str(), "World");
  EXPECT_STREQ(d.c_str(), "Hello Welt");
  EXPECT_STREQ(e.c_str(), "Jello World");
}

TEST(EngineString, CapacityByOrigin) {
  EXPECT_EQ(TString("abc").Capacity(), 4u);
  EXPECT_EQ(TString(static_cast<const char*>(nullptr)).Capacity(), 16u);
  EXPECT_EQ(TString("abc", 3).Capacity(), 16u);
  EXPECT_EQ(TString(std::string(20, 'x')).Capacity(), 21u);
  EXPECT_EQ((TString("ab") + TString("cd")).Capacity(), 16u);
  TString s("x");
  s.Reserve(40);
  EXPECT_EQ(s.Capacity(), 40u);
  EXPECT_STREQ(s.c_str(), "x");
  TString empty;
  EXPECT_EQ(empty.Length(), 0u);
  EXPECT_STREQ(empty.c_str(), "");
  EXPECT_EQ(empty.CharAt(0), 0);
}

TEST(EngineString, ComparisonOrder) {
  TString null, bodyEmpty(""), a("a"), b("b"), ab("ab");
  EXPECT_TRUE(null == bodyEmpty);
  EXPECT_TRUE(null < a);
  EXPECT_TRUE(bodyEmpty < a);
  EXPECT_FALSE(a < null);
  EXPECT_TRUE(a < ab);
  EXPECT_TRUE(ab < b);
  EXPECT_TRUE(TString("Z") < TString("a"));
  // Bytes from 0x80 up sort after ASCII (unsigned comparison).
  EXPECT_TRUE(TString("z") < TString("\xc3\xa9"));
  EXPECT_TRUE(a != b);
}

namespace {
int gCollateCalls = 0;
int WideCollate(const char* a, const char* b) {
  ++gCollateCalls;
  int r = strcmp(a, b);
  return r == 0 ? 0 : (r < 0 ? -256 : 256);  // low 8 bits are all zero
}
TCollateFn LoadWideCollate() { return &WideCollate; }
}  // namespace

TEST(EngineString, CollationResultIsNotNarrowedToEightBits) {
  SetCollationLoader(&LoadWideCollate);
  gCollateCalls = 0;
  EXPECT_FALSE(TString("apple") == TString("pear"));
  EXPECT_TRUE(TString("apple") < TString("pear"));
  EXPECT_FALSE(TString("pear") < TString("apple"));
  EXPECT_GT(gCollateCalls, 0);
  // Empty strings never consult the hook.
  gCollateCalls = 0;
  EXPECT_TRUE(TString() < TString("x"));
  EXPECT_EQ(gCollateCalls, 0);
  SetCollationLoader(nullptr);
}

TEST(EngineString, FindTable) {
  struct Case {
    const char* text;
    const char* needle;  // one byte: the byte form is tested too
    uint32_t flags;
    uint32_t start;
    int expected;
  } cases[] = {
      {"abcb", "b", 0, 0, 1},
      {"abcb", "b", FindBackward, 0, 3},
      {"abcb", "b", FindBackward, 1, 1},
      {"abcb", "b", 0, 4, -1},
      {"abcb", "b", FindBackward, 4, -1},
      {"abcb", "B", FindNoCase, 2, 3},
      {"abcb", "B", 0, 0, -1},
      {"", "a", 0, 0, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TString(c.text).Find(c.needle[0], c.flags, c.start), c.expected) << c.text << " " << c.flags;
    EXPECT_EQ(TString(c.text).Find(TString(c.needle), c.flags, c.start), c.expected) << c.text << " " << c.flags;
  }
  EXPECT_EQ(TString("abcd").Find(TString(""), 0, 2), 2);
  EXPECT_EQ(TString("abcd").Find(TString("cd")), 2);
  EXPECT_EQ(TString("abcdcd").Find(TString("CD"), FindNoCase | FindBackward), 4);
  EXPECT_EQ(TString("abcdcd").Find(TString("cd"), FindBackward, 1), 2);
}

TEST(EngineString, SubstrReplaceEraseTable) {
  EXPECT_STREQ(TString("abc").Substr(1, -1).c_str(), "bc");
  EXPECT_STREQ(TString("abc").Substr(5, 2).c_str(), "");
  EXPECT_STREQ(TString("abc").Substr(0, 0).c_str(), "");
  EXPECT_STREQ(TString("abcdef").Substr(2, 3).c_str(), "cde");

  TString path("a\\b\\c");
  EXPECT_STREQ(TString(path).Replace("\\", "/", ReplaceAll).c_str(), "a/b/c");
  EXPECT_STREQ(TString(path).Replace("\\", "/", 0).c_str(), "a/b\\c");
  EXPECT_STREQ(TString("abab").Replace("ab", "abab", ReplaceAll).c_str(), "abababab");
  EXPECT_STREQ(TString("a::b:").Replace(":", "", ReplaceAll).c_str(), "ab");
  EXPECT_STREQ(TString("xAx").Replace("a", "bb", ReplaceAll | FindNoCase).c_str(), "xbbx");
  EXPECT_STREQ(TString("").Replace("a", "b").c_str(), "");
  EXPECT_STREQ(TString("aaa").Replace("", "b").c_str(), "aaa");  // an empty find text ends
  EXPECT_STREQ(TString("a-b-c").Replace("-", "+", ReplaceAll | FindBackward).c_str(), "a+b+c");

  TString s("abcdef");
  s.Erase(1, 2);
  EXPECT_STREQ(s.c_str(), "adef");
  s.Erase(2, -1);
  EXPECT_STREQ(s.c_str(), "ad");
  s.Erase(5, 1);
  EXPECT_STREQ(s.c_str(), "ad");
  EXPECT_STREQ(TString("MiXeD 9Ä").MakeLower().c_str(), "mixed 9Ä");
}

TEST(EngineString, PositionsPastTheEndStayInBounds) {
  // Each of these read or wrote behind the text before; ASan watches the buffers.
  TString s("abc");
  EXPECT_STREQ(s.Substr(1, 1000000).c_str(), "bc");
  EXPECT_LT(s.Substr(1, 1000000).Capacity(), 100u);
  s.Erase(1, 50);
  EXPECT_STREQ(s.c_str(), "a");
  TString t("hello");
  t.Reserve(2);
  EXPECT_STREQ(t.c_str(), "hello");
  EXPECT_GE(t.Capacity(), 6u);
  EXPECT_EQ(TString("ab").Find(TString("abcdef")), -1);
  EXPECT_EQ(TString("ab").Find(TString("abcdef"), FindBackward), -1);
  EXPECT_EQ(TString("abc").Find(TString("bc"), FindBackward, 2), -1);
  EXPECT_EQ(TString("abc").Find('a', FindBackward, 3000000000u), -1);
  TString w;
  w.WriteAt(4, "xy", 2, false);
  EXPECT_EQ(w.Length(), 0u);  // zeroed gap: the text still ends at 0
}

TEST(EngineString, GrowthAndAppend) {
  TString s;
  uint32_t end = 0;
  for (int i = 0; i < 100; ++i) end = s.WriteAt(int32_t(end), "x", 1, false);
  s.WriteAt(int32_t(end), "", 0, true);
  EXPECT_EQ(s.Length(), 100u);
  EXPECT_EQ(s.Capacity(), 128u);  // doubled from 16
  TString t(std::string(20, 'a'));
  t += TString(std::string(20, 'b'));
  EXPECT_EQ(t.Capacity(), 41u);  // += grows to the exact size
  t = "ab";
  t += "cd";
  t.Append("ef\0gh", 5);
  EXPECT_STREQ(t.c_str(), "abcdef");
  t += t;
  EXPECT_STREQ(t.c_str(), "abcdefabcdef");
  EXPECT_STREQ((TString("a") + 'b').c_str(), "ab");
  EXPECT_EQ(TString("a\0b", 3).Length(), 1u);
}

TEST(EngineString, FormatAroundTheStackBuffer) {
  for (size_t n : {size_t(0), size_t(4095), size_t(4096), size_t(10000)}) {
    std::string expected(n, 'q');
    TString s = TString::Printf("%s", expected.c_str());
    EXPECT_EQ(s.Length(), n);
    EXPECT_EQ(std::string(s.c_str()), expected);
  }
  TString f;
  f.Format("%d-%s-%.2f", 42, "x", 1.5);
  EXPECT_STREQ(f.c_str(), "42-x-1.50");
}

TEST(EngineString, NumbersTable) {
  struct {
    const char* text;
    int value;
  } ints[] = {{"", 0}, {"12", 12}, {"  -7x", -7}, {"+3", 3}, {"01", 1}, {"abc", 0},
              {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}, {"\t42", 42}};
  for (const auto& c : ints) EXPECT_EQ(TString(c.text).ToInt(), c.value) << c.text;
  EXPECT_FLOAT_EQ(TString(" 1.5e2").ToFloat(), 150.0f);
  EXPECT_FLOAT_EQ(TString("").ToFloat(), 0.0f);
  EXPECT_FLOAT_EQ(TString("-0.25x").ToFloat(), -0.25f);
}

TEST(EngineString, Utf8EncodeDecodeTable) {
  struct {
    uint32_t cp;
    const char* bytes;
  } encode[] = {{0x41, "A"}, {0xE9, "\xc3\xa9"}, {0x20AC, "\xe2\x82\xac"}, {0xD800, "\xed\xa0\x80"},
                {0x1F600, "\xf0\x9f\x98\x80"}, {0xFEFF, ""}, {0xFFFE, ""}, {0xFFFF, ""}, {0x110000, ""}};
  for (const auto& c : encode) {
    char out[5] = {};
    int n = Utf8Encode(c.cp, out);
    EXPECT_EQ(n, int(strlen(c.bytes))) << std::hex << c.cp;
    EXPECT_STREQ(out, c.bytes);
    EXPECT_STREQ(TString::FromCodePoint(c.cp).c_str(), c.bytes);
  }
  EXPECT_EQ(Utf8Decode("\xc3\xa9"), 0xE9u);
  EXPECT_EQ(Utf8Decode("\xa9"), 0u);
  EXPECT_EQ(Utf8Decode("\xe2\x41"), 0u);
  EXPECT_EQ(Utf8Decode("\xe2\x82\xac"), 0x20ACu);
  EXPECT_EQ(Utf8Decode("\xf0\x9f\x98\x80"), 0x1F600u);
  EXPECT_EQ(Utf8Decode("\xc3"), 0u);  // the NUL after a lead byte is no continuation
  EXPECT_EQ(Utf8Decode(""), 0u);
  EXPECT_EQ(Utf8SequenceLength("\xf5"), 4);
  EXPECT_EQ(Utf8SequenceLength("\xbf"), 1);
  EXPECT_EQ(Utf8SequenceLength(""), 0);
}

TEST(EngineString, WideConversionsDoNotAliasEachOther) {
  std::u16string first = Utf8ToWide("Grüße");
  std::u16string second = Utf8ToWide("ab");
  EXPECT_EQ(first, u"Grüße");  // the second call must not overwrite the first result
  EXPECT_EQ(second, u"ab");
  EXPECT_EQ(Utf8ToWide("\xf0\x9f\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf8ToWide("a\xffz"), u"a\uFFFDz");
  EXPECT_TRUE(Utf8ToWide("").empty());
  EXPECT_STREQ(WideToUtf8(u"Grüße \U0001F600").c_str(), "Grüße \xf0\x9f\x98\x80");
  EXPECT_STREQ(WideToUtf8(u"").c_str(), "");
}
