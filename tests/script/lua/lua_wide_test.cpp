// The wide-string value type: literals, concatenation, coercion, comparison, keys,
// towstring/tostring and the per-type handler tables.
#include <gtest/gtest.h>

#include "lua_case_table.h"

namespace luatest {
namespace {

const Case kWideCases[] = {
    {"type", "print(type(L\"x\"), type(L\"\"))", "wstring\twstring\n", nullptr},
    {"equality", "print(L\"ab\" == L\"a\" .. L\"b\", L\"ab\" == \"ab\")", "true\tfalse\n", nullptr},
    {"narrow then wide", "x = \"a\" .. L\"b\"", nullptr, "test:1: attempt to concatenate a wstring value"},
    {"wide then narrow", "x = L\"a\" .. \"b\"", nullptr, "test:1: attempt to concatenate a wstring value"},
    {"wide and local table", "local t = {} x = L\"a\" .. t", nullptr,
     "test:1: attempt to concatenate a wstring value"},
    {"table and wide", "local t = {} x = t .. L\"a\"", nullptr,
     "test:1: attempt to concatenate local `t' (a table value)"},
    {"numbers join wide strings", "print(L\"x\" .. 12, 1.5 .. L\"\", type(1 .. L\"\"), 1 .. L\"a\" .. 2)",
     "x12\t1.5\twstring\t1a2\n", nullptr},
    {"arithmetic coercion",
     "print(L\"10\" + 1, L\"10 \" + 0, L\"0x10\" + 0, L\"0x1.8p1\" + 0, L\"-\" + 0, L\"+\" + 0, L\".\" + 0, L\"1e2\" * 1)",
     "11\t10\t16\t3\t0\t0\t0\t100\n", nullptr},
    {"leading space does not convert", "x = L\" 10\" + 1", nullptr,
     "test:1: attempt to perform arithmetic on a wstring value"},
    {"keys", "local t = {} t[L\"k\"] = 1 t[\"k\"] = 2 print(t[L\"\" .. L\"k\"], t.k, t[L\"k\"])", "1\t2\t1\n",
     nullptr},
    {"order of wide strings calls the type table", "x = L\"a\" < L\"b\"", nullptr,
     "test:1: attempt to call a table value"},
    {"mixed order", "x = \"a\" < L\"b\"", nullptr, "test:1: attempt to compare string with wstring"},
    {"escapes", "print(tostring(L\"\\x41\\x263A\"), tostring(L\"\\xz\"), tostring(L\"a\\tb\"))", "A:\txz\ta\tb\n",
     nullptr},
    {"wide escape too large", "x = L\"\\256\"", nullptr, "test:1: escape sequence too large near `\"'"},
    {"unfinished wide string", "x = L\"ab\ny", nullptr, "test:1: unfinished string near `\"ab'"},
    {"towstring",
     "print(type(towstring(12)), tostring(towstring(12)), towstring(nil), type(towstring(nil)), tostring(towstring('\\200')) == '\\200')",
     "wstring\t12\tnil\tstring\ttrue\n", nullptr},
    {"towstring of a table", "local t = {} print(tostring(towstring(t)) == tostring(t))", "true\n", nullptr},
    {"towstring of a boolean", "towstring(true)", nullptr, "test:1: bad argument #1 to `towstring' (value expected)"},
    {"tostring of a wide string", "print(tostring(L\"AB\"), tostring(L\"\") == '')", "AB\ttrue\n", nullptr},
    {"tonumber of wide strings", "print(tonumber(L\"12\"), tonumber(L\"ff\", 16), tonumber(L\"x\"))", "12\t255\tnil\n",
     nullptr},
    {"lualex", "print(string.lualex('a\\\\x41b'), string.lualex('\\\\x0041', 1), string.lualex('\\\\xq\\\\n') == 'xq\\n')",
     "aAb\tA\ttrue\n", nullptr},
    {"wide strings are not weak",
     "local t = setmetatable({}, {__mode = 'kv'}) t[L\"k\"] = L\"v\" collectgarbage() print(t[L\"k\"])", "v\n",
     nullptr},
    {"wide constants in tables", "local t = {L\"a\", [L\"b\"] = 2} print(t[1], t[L\"b\"])", "a\t2\n", nullptr},
};

TEST(LuaWide, Cases) {
  for (const Case& c : kWideCases) CheckCase(c);
}

}  // namespace
}  // namespace luatest
