// Lexical rules of the dialect: numerals, escapes, new tokens and messages.
#include <gtest/gtest.h>

#include "lua_case_table.h"

namespace luatest {
namespace {

const Case kLexerCases[] = {
    {"hex integers", "print(0x1F, 0xffffffff, 0xFF, 0x0)", "31\t4294967295\t255\t0\n", nullptr},
    {"upper-case X is a name", "x = 0X1F", nullptr, "test:1: `=' expected near `<eof>'"},
    {"hex reads at most 8 digits", "x = 0x123456789", nullptr, "test:1: unexpected symbol near `9'"},
    {"hex first character consumed", "print(0xg)", "0\n", nullptr},
    {"leading point before hex dropped", "print(.0x10)", "16\n", nullptr},
    {"decimal numerals", "print(1.5, .5, 3e2, 2E-1, 10)", "1.5\t0.5\t300\t0.2\t10\n", nullptr},
    {"ambiguous decimal point", "x = 1..2", nullptr,
     "test:1: ambiguous syntax (decimal point x string concatenation) near `1..'"},
    {"malformed number", "x = 1e", nullptr, "test:1: malformed number near `1e'"},
    {"hex escapes", "print(\"\\x41\\x4g\", \"\\xzz\", string.byte(\"\\x4g\"))", "A\x04g\txzz\t4\n", nullptr},
    {"classic escapes", "print(\"a\\tb\", \"\\65\\066\", \"q\\\"\\\\\")", "a\tb\tAB\tq\"\\\n", nullptr},
    {"escape too large", "x = \"\\300\"", nullptr, "test:1: escape sequence too large near `\"'"},
    {"unfinished string at line end", "x = \"abc\ny = 1", nullptr, "test:1: unfinished string near `\"abc'"},
    {"unfinished string at end", "x = \"abc", nullptr, "test:1: unfinished string near `<eof>'"},
    {"empty strings", "print(\"\" == '', string.len(\"\"))", "true\t0\n", nullptr},
    {"long strings nest", "print([[a[[b]]c]])", "a[[b]]c\n", nullptr},
    {"long string skips first newline", "print([[\nx\ny]])", "x\ny\n", nullptr},
    {"unfinished long string", "x = [[abc", nullptr, "test:1: unfinished long string near `<eof>'"},
    {"long comment", "--[[ long\ncomment ]] print(1) -- tail", "1\n", nullptr},
    {"first line comment", "#!/usr/bin/lua\nprint(2)", "2\n", nullptr},
    {"shift tokens", "print(1<<4, 256>>4)", "16\t16\n", nullptr},
    {"separated less-than signs", "print(1 < <2)", nullptr, "test:1: unexpected symbol near `<'"},
    {"continue is reserved", "local continue = 1", nullptr, "test:1: `*name' expected near `continue'"},
    {"invalid control char", "x = 1\1", nullptr, "test:1: invalid control char near `char(1)'"},
    {"byte 255 is a wide char", "x = \xff", nullptr, "test:1: invalid wide char near `char(255)'"},
    {"high bytes are tokens", "x = \x80", nullptr, "test:1: unexpected symbol near `\x80'"},
    {"line numbers", "\n\nx.y = 1", nullptr, "test:3: attempt to index global `x' (a nil value)"},
    {"L starts names", "local Lx = 3 print(Lx)", "3\n", nullptr},
    {"L with single quote is a name", "L = function(s) return s .. '!' end print(L'x')", "x!\n", nullptr},
};

TEST(LuaLexer, Cases) {
  for (const Case& c : kLexerCases) CheckCase(c);
}

TEST(LuaLexer, ChunkNameIsCutInMessages) {
  std::string longName = "@" + std::string(100, 'd') + "/file.lua";
  RunResult r = RunChunk("x = = 1", longName);
  ASSERT_EQ(r.status, LUA_ERRSYNTAX);
  // syntax messages show at most 80 characters of the name, the tail of a file path
  EXPECT_EQ(r.error.substr(0, 3), "...");
  EXPECT_NE(r.error.find("file.lua:1: unexpected symbol near `='"), std::string::npos) << r.error;
  r = RunChunk("x = = 1", "x = = 1\nsecond line");
  EXPECT_EQ(r.error, "[string \"x = = 1...\"]:1: unexpected symbol near `='");
}

// A UTF-16LE chunk (FF FE first) parses like its 8-bit text.
std::string Utf16(const std::u16string& s) {
  std::string out = "\xff\xfe";
  for (char16_t c : s) {
    out += char(c & 0xFF);
    out += char(c >> 8);
  }
  return out;
}

TEST(LuaLexer, WideChunks) {
  RunResult r = RunChunk(Utf16(u"local s = \"a\x4E2D\" print(string.byte(s, 2), L\"\x4E2D\" == L\"\\x4e2d\")"));
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(r.output, "45\ttrue\n");  // inside a narrow string the unit keeps its low byte
  r = RunChunk(Utf16(u"x = 1 \x4E2D"));
  EXPECT_EQ(r.error, "test:1: invalid wide char near `char(20013)'");
  r = RunChunk(std::string("\xff\xfe", 2) + "p");  // a dangling half unit is the end of the chunk
  EXPECT_EQ(r.status, 0) << r.error;
}

}  // namespace
}  // namespace luatest
