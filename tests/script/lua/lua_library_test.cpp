// The libraries as changed: base, string (format options, lualex, pack/unpack, patterns),
// table, math and coroutine, with their messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "lua_case_table.h"

namespace luatest {
namespace {

const Case kBaseCases[] = {
    {"tonumber bases", "print(tonumber('ff', 16), tonumber('777', 8), tonumber('zz', 36), tonumber('8', 8))",
     "255\t511\t1295\tnil\n", nullptr},
    {"tonumber base out of range", "tonumber('1', 99)", nullptr,
     "test:1: bad argument #2 to `tonumber' (base out of range)"},
    {"long wide string with a base", "print(tonumber(towstring(string.rep('1', 100)), 2))", "nil\n", nullptr},
    {"print needs strings from tostring", "tostring = function() return {} end print(1)", nullptr,
     "test:1: `tostring' must return a string to `print'"},
    {"tostring uses __tostring", "print(tostring(setmetatable({}, {__tostring = function() return 'T' end})))",
     "T\n", nullptr},
    {"type needs a value", "type()", nullptr, "test:1: bad argument #1 to `type' (value expected)"},
    {"rawget needs a table", "rawget(1, 2)", nullptr, "test:1: bad argument #1 to `rawget' (table expected, got number)"},
    {"rawset and rawequal", "local t = setmetatable({}, {__newindex = error}) rawset(t, 'a', 1) print(t.a, rawequal(t, t))",
     "1\ttrue\n", nullptr},
    {"next and pairs", "local t = {10} print(next(t)) print(next(t, 1)) print(pcall(next, t, 'nokey'))",
     "1\t10\nnil\nfalse\tinvalid key to `next'\n", nullptr},
    {"ipairs stops at nil", "local n = 0 for i, v in ipairs({1, 2, nil, 4}) do n = n + 1 end print(n)", "2\n", nullptr},
    {"unpack uses getn", "print(unpack({n = 2, 'a', 'b', 'c'}))", "a\tb\n", nullptr},
    {"getfenv and setfenv",
     "local function f() return x end setfenv(f, {x = 'env'}) print(f(), getfenv(f).x, getfenv(0) == _G)", "env\tenv\ttrue\n",
     nullptr},
    {"setfenv 0 sets the thread's globals",
     "local t = {tostring = tostring} setfenv(0, t) print(getfenv(0) == t, getfenv(print) == t, getfenv(1) == _G)"
     " local co = coroutine.create(function() return getfenv(0) == t end) print(coroutine.resume(co))",
     "true\ttrue\ttrue\ntrue\ttrue\n", nullptr},
    {"setfenv 0 inside a coroutine",
     "local t = {tostring = tostring} local co = coroutine.create(function() setfenv(0, t) return getfenv(0) == t, getfenv(0) == _G end)"
     " print(coroutine.resume(co)) print(getfenv(0) == _G)",
     "true\ttrue\tfalse\ntrue\n", nullptr},
    {"native functions have no environment of their own", "setfenv(print, {})", nullptr,
     "test:1: `setfenv' cannot change environment of given function"},
    {"setfenv of a level", "local function f() setfenv(1, {print = print}) print(type(tostring)) end f()", nullptr,
     "test:1: attempt to call global `type' (a nil value)"},
    {"protected environment", "local f = function() end setfenv(f, setmetatable({}, {})) print(pcall(setfenv, f, {}))",
     "true\n", nullptr},
    {"newproxy", "local p = newproxy(true) local q = newproxy(p) print(type(p), getmetatable(p) == getmetatable(q), pcall(newproxy, {}))",
     "userdata\ttrue\tfalse\tbad argument #1 to `newproxy' (boolean or proxy expected)\n", nullptr},
    {"collectgarbage threshold", "collectgarbage(100000) local a, b = gcinfo() print(b >= 100000) collectgarbage()",
     "true\n", nullptr},
    {"registry names of the type tables", "print(type(_LOADED), _LOADED ~= nil)", "table\ttrue\n", nullptr},
    {"coroutine.create needs a Lua function", "coroutine.create(print)", nullptr,
     "test:1: bad argument #1 to `create' (Lua function expected)"},
    {"coroutine.resume needs a coroutine", "coroutine.resume(1)", nullptr,
     "test:1: bad argument #1 to `resume' (coroutine expected)"},
    {"resuming the running coroutine",
     "local co co = coroutine.create(function() return coroutine.resume(co) end) print(coroutine.resume(co))",
     "true\tfalse\tcannot resume non-suspended coroutine\n", nullptr},
    {"status of the running coroutine",
     "local co co = coroutine.create(function() print(coroutine.status(co)) end) coroutine.resume(co)", "running\n",
     nullptr},
};

const Case kStringCases[] = {
    {"sub and byte", "print(string.sub('hello', -3), string.sub('hello', 2, 100), string.sub('hello', 0), string.byte('abc', -1))",
     "llo\tello\thello\t99\n", nullptr},
    {"char range", "string.char(256)", nullptr, "test:1: bad argument #1 to `char' (invalid value)"},
    {"find plain and patterns",
     "print(string.find('a.b', '.', 1, true)) print(string.find('abc', '(b)(c)')) print(string.find('abc', 'x'))",
     "2\t2\n2\t3\tb\tc\nnil\n", nullptr},
    {"find init out of range", "string.find('abc', 'a', 10)", nullptr,
     "test:1: bad argument #3 to `find' (out of range)"},
    {"anchors and classes",
     "print(string.find('  x', '^%s*(%a)')) print(string.find('abc123', '%d+$')) print(string.find('x', '[^%a]'))",
     "1\t3\tx\n4\t6\nnil\n", nullptr},
    {"balanced match", "print(string.find('f(a(b)c)d', '%b()'))", "2\t8\n", nullptr},
    {"back references", "print(string.find('xyzzy', '(z)%1'))", "3\t4\tz\n", nullptr},
    {"position captures", "print(string.find('hello', '()ll()'))", "3\t4\t3\t5\n", nullptr},
    {"gsub with a function and a limit",
     "print(string.gsub('a b c', '%a', function(c) return string.upper(c) end, 2))", "A B c\t2\n", nullptr},
    {"gsub anchored", "print(string.gsub('aaa', '^a', 'b'))", "baa\t1\n", nullptr},
    {"gsub replacement needs a string or function", "string.gsub('a', 'a', {})", nullptr,
     "test:1: bad argument #3 to `gsub' (string or function expected)"},
    {"gfind", "local r = {} for k, v in string.gfind('a=1, b=2', '(%w+)=(%w+)') do table.insert(r, k .. v) end print(table.concat(r, ' '))",
     "a1 b2\n", nullptr},
    {"pattern ends with escape", "string.find('a', '%')", nullptr, "test:1: malformed pattern (ends with `%')"},
    {"pattern missing bracket", "string.find('a', '[a')", nullptr, "test:1: malformed pattern (missing `]')"},
    {"invalid capture index", "string.find('a', '%1')", nullptr, "test:1: invalid capture index"},
    {"unfinished capture", "string.find('a', '(a')", nullptr, "test:1: unfinished capture"},
    {"invalid pattern capture", "string.find('a', '(a))')", nullptr, "test:1: invalid pattern capture"},
    {"unbalanced pattern", "string.find('a', '%b')", nullptr, "test:1: unbalanced pattern"},
    {"format numbers", "print(string.format('%5.2f|%d|%x|%X|%o|%e|%g|%c', 3.14159, -7, 255, 255, 8, 1500, 0.5, 65))",
     " 3.14|-7|ff|FF|10|1.500000e+03|0.5|A\n", nullptr},
    {"format strings", "print(string.format('[%5s][%-5s][%.2s]', 'ab', 'ab', 'abcdef'))", "[   ab][ab   ][ab]\n", nullptr},
    {"plain %d and %s print as printf does: clamped, truncated, cut at a zero",
     "print(string.format('%d|%d|%d|%d|%i|%d|%s|%s|%s', 0, -2147483648, 3.9, -3.9, 1e300, 0/0, 'ab\\0cd', '', 12))",
     "0|-2147483648|3|-3|2147483647|0|ab||12\n", nullptr},
    {"format q", "print(string.format('%q', 'a\"b\\\\c\\nd\\0e'))", "\"a\\\"b\\\\c\\\nd\\000e\"\n", nullptr},
    {"format B", "print(string.format('%B %B %B', true, false, nil))", "true false false\n", nullptr},
    {"format B needs a boolean", "string.format('%B', 1)", nullptr,
     "test:1: bad argument #2 to `format' (boolean expected, got number)"},
    {"format Q", "print(string.format('%Q', 'a\"\\1\\200'), string.format('%Q', L\"a\\x263A\"))",
     "\"a\\\"\\x01\\xc8\"\tL\"a\\x263a\"\n", nullptr},
    {"format raw bytes",
     "local s = string.format('%bd%bw%bb%bf%bF%bx', 1, 2, 3, 1.5, 2.5, 9) print(string.len(s), string.byte(s, 1), string.byte(s, 5), string.byte(s, 7))",
     "19\t1\t2\t3\n", nullptr},
    {"format bad option", "string.format('%y', 1)", nullptr, "test:1: invalid option to `format'"},
    {"format repeated flags", "string.format('%------5d', 1)", nullptr, "test:1: invalid format (repeated flags)"},
    {"format long width", "string.format('%100d', 1)", nullptr, "test:1: invalid format (width or precision too long)"},
    {"format missing argument", "string.format('%d')", nullptr,
     "test:1: bad argument #2 to `format' (number expected, got no value)"},
    {"lualex escapes",
     "print(string.lualex('a\\\\tb') == 'a\\tb', string.lualex('\\\\x41\\\\x4g'), string.lualex('\\\\xz'), string.lualex('\\\\65\\\\\\\\'))",
     "true\tA\x04g\txz\tA\\\n", nullptr},
    {"lualex wide digits", "print(tostring(string.lualex(L\"\\\\x263A\", 1)) == ':', string.len(string.lualex('\\\\x0041', 0)))",
     "true\t3\n", nullptr},
    {"pack and unpack",
     "local s = string.pack('<hHiIbBd', -2, 65535, -3, 4000000000, 200, true, 0.25)"
     " print(string.len(s), string.unpack(s, '<hHiIbBd'))",
     "22\t-2\t65535\t-3\t4000000000\t200\ttrue\t0.25\t23\n", nullptr},
    {"pack byte order", "local s = string.pack('>H', 258) print(string.byte(s, 1), string.byte(s, 2), string.unpack(s, '>H'))",
     "1\t2\t258\t3\n", nullptr},
    {"pack strings", "local s = string.pack('zpPaA', 'ab', 'c', 'de', 'f', 'gh') print(string.len(s), string.unpack(s, 'zpPaA2'))",
     "16\tab\tc\tde\tf\tgh\t17\n", nullptr},
    {"pack wide strings", "local s = string.pack('wzwa', L\"ab\", L\"c\") print(string.len(s), tostring((string.unpack(s, 'wz'))))",
     "12\tab\n", nullptr},
    {"pack counts", "print(string.unpack(string.pack('b3', 1, 2, 3), 'b3'))", "1\t2\t3\t4\n", nullptr},
    {"pack start position", "print(string.unpack(string.pack('bb', 7, 8), 'b', 2))", "8\t3\n", nullptr},
    {"pack needs a boolean", "string.pack('B', 1)", nullptr, "test:1: bad argument #2 to `pack' (expected a boolean)"},
    {"pack bad code", "string.pack('q', 1)", nullptr, "test:1: bad argument #1 to `pack' (bad code `q')"},
    {"unpack bad code", "string.unpack('abc', 'Y')", nullptr, "test:1: bad argument #1 to `unpack' (bad code `Y')"},
    {"unpack stops at the end of the data", "print(string.unpack('ab', 'bbbb'))", "97\t98\t3\n", nullptr},
    {"frontier",
     "print(string.gsub(' a', '%f[a]', 'x')) print(string.gsub('THE (quick) fox', '%f[%a]%a+', 'W'))"
     " print(string.find('ab', '%f[a]'), string.find('ab', '%f[^%z]b'), string.find('ab', '%f[%z]'))",
     " xa\t1\nW (W) W\t3\n1\tnil\t3\t2\n", nullptr},
    {"frontier needs a set", "string.find('a', '%fa')", nullptr, "test:1: missing `[' after `%f' in pattern"},
    {"rep with counts beyond an int",
     "print(string.rep('ab', 0/0) == '', string.rep('ab', -2^31 - 1) == '', string.rep('ab', 2.9), string.rep('', 2^40) == '')"
     " print(pcall(string.rep, 'x', 2^31))",
     "true\ttrue\tabab\ttrue\nfalse\tmemory allocation error: block too big\n", nullptr},
    {"buffers keep pieces that cross their block and outgrow it whole",
     "local r = string.rep('abc', 5000) local big = string.rep(string.rep('xy', 5000), 3) "
     "print(string.len(r), string.sub(r, 8190, 8196), string.len(big), string.sub(big, 9999, 10002), "
     "string.len(string.gsub(big, 'y', 'yy')))",
     "15000\tcabcabc\t30000\txyxy\t45000\n", nullptr},
    {"deep patterns are refused", "string.find(string.rep('a', 300), string.rep('a?', 300))", nullptr,
     "test:1: pattern too complex"},
    {"wide strings are not narrow arguments", "string.len(L\"x\")", nullptr,
     "test:1: bad argument #1 to `len' (string expected, got wstring)"},
    {"concat refuses wide strings", "table.concat({L\"x\"})", nullptr,
     "test:1: bad argument #1 to `concat' (table contains non-strings)"},
};

const Case kTableMathCases[] = {
    {"concat ranges", "print(table.concat({1, 2, 3, 4}, '-', 2, 3), table.concat({}, 'x'))", "2-3\t\n", nullptr},
    {"insert and remove at positions",
     "local t = {'a', 'b'} table.insert(t, 1, 'z') table.insert(t, 5, 'e') print(table.getn(t), t[1], t[4], t[5], table.remove(t, 1), table.remove({}))",
     "5\tz\tnil\te\tz\n", nullptr},
    {"sort errors", "table.sort({3, 1, 'x'})", nullptr, "attempt to compare string with number"},
    {"sort with a bad order function", "local t = {} for i = 1, 100 do t[i] = i end table.sort(t, function(a, b) return true end)",
     nullptr, "test:1: invalid order function for sorting"},
    {"getn uses the sizes table", "local t = {1, 2, 3} table.setn(t, 10) print(table.getn(t), table.getn({n = 2.7}))",
     "10\t2\n", nullptr},
    {"getn counts to the first nil through the array and the hash part",
     "local t = {1, 2, 3, 4} t[6] = 6 t[7] = 7 local a = table.getn(t) t[5] = 5 local b = table.getn(t) "
     "t[2] = nil local u = {} u[3] = 3 u[2] = 2 u[1] = 1 print(a, b, table.getn(t), table.getn(u))",
     "4\t7\t1\t3\n", nullptr},
    {"math basics",
     "print(math.abs(-2), math.floor(-1.5), math.ceil(1.2), math.max(3, 9, 1), math.min(3, 9, 1), math.mod(7, -3), math.sqrt(16))",
     "2\t-2\t2\t9\t1\t1\t4\n", nullptr},
    {"mod keeps the dividend's sign, also on a zero, and takes fractions, huge values and a zero divisor",
     "local z = math.mod(1, 0) print(math.mod(-7, 3), math.mod(-6, 3), math.mod(6, -3), math.mod(-2147483648, -1), "
     "math.mod(5.5, 2), math.mod(2^40 + 1, 2), math.mod(-3, 2^33), z ~= z)",
     "-1\t-0\t0\t-0\t1.5\t1\t-3\ttrue\n", nullptr},
    {"math trigonometry in radians", "print(math.sin(0), math.cos(0), math.floor(math.deg(math.pi)), math.rad(180) == math.pi)",
     "0\t1\t180\ttrue\n", nullptr},
    {"math frexp ldexp", "print(math.frexp(8)) print(math.ldexp(0.5, 4), math.exp(0), math.log10(1000), 2 ^ 0.5 == math.sqrt(2))",
     "0.5\t4\n8\t1\t3\ttrue\n", nullptr},
    {"math random ranges",
     "math.randomseed(5) local ok = true for i = 1, 200 do local r = math.random(3, 5) if r < 3 or r > 5 then ok = false end local f = math.random() if f < 0 or f >= 1 then ok = false end end print(ok)",
     "true\n", nullptr},
    {"random interval is empty", "math.random(0)", nullptr, "test:1: bad argument #1 to `random' (interval is empty)"},
    {"random wrong number of arguments", "math.random(1, 2, 3)", nullptr, "test:1: wrong number of arguments"},
};

TEST(LuaLibraries, Base) {
  for (const Case& c : kBaseCases) CheckCase(c);
}

TEST(LuaLibraries, String) {
  for (const Case& c : kStringCases) CheckCase(c);
}

TEST(LuaLibraries, TableAndMath) {
  for (const Case& c : kTableMathCases) CheckCase(c);
}

// The file layer's hook: loadfile, dofile and require read through it.
int FakeReader(const char* name, int text, char** data, size_t* size, const char** error) {
  std::string content;
  if (std::string(name) == "mod.lua") {
    content = "return {value = 42}";
  } else if (std::string(name) == "chunk.lua") {
    content = "print('from file') return 7";
  } else if (std::string(name) == "bad.lua") {
    content = "x = = 1";
  } else {
    *error = "No such file or directory";
    return 2;
  }
  *data = static_cast<char*>(malloc(content.size() + 1));
  memcpy(*data, content.data(), content.size());
  *size = content.size();
  (void)text;
  return 0;
}

TEST(LuaLibraries, FilesReadThroughTheHook) {
  lua_FileReader old = lua_getfilereader();
  lua_setfilereader(FakeReader);
  RunResult r = RunChunk(
      "print(dofile('chunk.lua')) print(loadfile('none.lua')) print(loadfile('bad.lua'))"
      " LUA_PATH = '?.lua' local m = require('mod') print(m.value, require('mod') == m, _LOADED.mod == m)"
      " print(pcall(require, 'missing'))");
  lua_setfilereader(old);
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_EQ(r.output,
            "from file\n7\n"
            "nil\tcannot read none.lua: No such file or directory\n"
            "nil\tbad.lua:1: unexpected symbol near `='\n"
            "42\ttrue\ttrue\n"
            "false\tcould not load package `missing' from path `?.lua'\n");
}

}  // namespace
}  // namespace luatest
