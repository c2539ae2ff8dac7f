// Statements, expressions, the dialect's loop exits, size hints and bit operators, and the
// run-time error messages with their variable descriptions.
#include <gtest/gtest.h>

#include <string>

#include "lua_case_table.h"

namespace luatest {
namespace {

const Case kParserCases[] = {
    {"break 2 without outer loop", "while true do break 2 end", nullptr, "test:1: no loop to break near `end'"},
    {"break outside loop", "break", nullptr, "test:1: no loop to break near `<eof>'"},
    {"continue outside loop", "do continue end", nullptr, "test:1: no loop to continue near `end'"},
    {"continue 0", "for i=1,2 do continue 0 end", nullptr, "test:1: loop block number out of range near `end'"},
    {"continue 101", "for i=1,2 do continue 101 end", nullptr, "test:1: loop block number out of range near `end'"},
    {"break 0", "while true do break 0 end", nullptr, "test:1: loop block number out of range near `end'"},
    {"break 1.5", "while true do break 1.5 end", nullptr, "test:1: loop block number must be integer near `end'"},
    {"break 1 is break", "local n = 0 while true do n = n + 1 if n == 3 then break 1 end end print(n)", "3\n",
     nullptr},
    {"break 2 leaves both loops",
     "for i=1,3 do for j=1,3 do if j==2 then break 2 end print(i,j) end end print('done')", "1\t1\ndone\n", nullptr},
    {"continue 2 resumes the outer loop",
     "for i=1,3 do for j=1,3 do if j==2 then continue 2 end print(i,j) end end", "1\t1\n2\t1\n3\t1\n", nullptr},
    {"continue in while", "local i = 0 while i < 5 do i = i + 1 if i == 3 then continue end print(i) end",
     "1\n2\n4\n5\n", nullptr},
    {"continue in repeat evaluates the condition",
     "local n = 0 repeat n = n + 1 if n < 3 then continue end print(n) until n >= 5", "3\n4\n5\n", nullptr},
    {"continue closes the locals its pass captured",
     "local f = {} local i = 0 while i < 3 do i = i + 1 local v = i f[i] = function() return v end "
     "if i < 3 then continue end end print(f[1](), f[2](), f[3]())", "1\t2\t3\n", nullptr},
    {"continue 2 closes the inner loop's captured locals",
     "local f = {} for i = 1, 2 do local w = i * 10 for j = 1, 2 do local v = w + j "
     "f[table.getn(f) + 1] = function() return v end continue 2 end end print(f[1](), f[2]())",
     "11\t21\n", nullptr},
    {"continue in generic for",
     "for k, v in ipairs({1, 2, 3, 4}) do if v == 2 then continue end print(v) end", "1\n3\n4\n", nullptr},
    {"break must be last", "while true do break x = 1 end", nullptr, "test:1: `end' expected near `x'"},
    {"hash size hint", "local t = {&10} t.a = 1 print(t.a)", "1\n", nullptr},
    {"array size hint", "local t = {&0 &100 1, 2} print(t[2], t[3])", "2\tnil\n", nullptr},
    {"hint smaller than fields", "local t = {&1 &1 a = 1, b = 2, 3, 4} print(t.a, t.b, t[1], t[2])", "1\t2\t3\t4\n",
     nullptr},
    {"size hint needs a number", "local t = {& x}", nullptr, "test:1: size expected following & (line 1) near `x'"},
    {"bit operators", "print(5 & 3, 5 | 2, 1 << 31, 1 << 32, -1 >> 28, -1 & 255, 2.9 & 3)",
     "1\t7\t2147483648\t1\t15\t255\t2\n", nullptr},
    {"bit operator priorities", "print(2 ^ 3 & 1, 1 + 2 & 3, 2 * 3 & 1, -1 & 3, 1 | 2 == 3)",
     "0\t3\t2\t3\ttrue\n", nullptr},
    {"not binds tighter than bit operators", "x = not nil | 1", nullptr,
     "test:1: attempt to perform arithmetic on a boolean value"},
    // a convertible string operand is not the one named: the other operand is
    {"bit operators on strings", "x = \"5\" & 1", nullptr, "test:1: attempt to perform arithmetic on a number value"},
    {"bit operators name the operand", "local a = {} x = a | 1", nullptr,
     "test:1: attempt to perform arithmetic on local `a' (a table value)"},
    {"end expected", "\n\nfunction f()\n", nullptr,
     "test:4: `end' expected (to close `function' at line 3) near `<eof>'"},
    {"end expected on same line", "function f() x = 1", nullptr, "test:1: `end' expected near `<eof>'"},
    {"unexpected symbol", "x = = 1", nullptr, "test:1: unexpected symbol near `='"},
    {"eof expected", "x = 1 end", nullptr, "test:1: `<eof>' expected near `end'"},
    {"ambiguous call", "f = print\nf\n(1)", nullptr, "test:3: ambiguous syntax (function call x new statement) near `('"},
    {"then expected", "if x print(1) end", nullptr, "test:1: `then' expected near `print'"},
    {"wide literal is no call argument", "print L\"x\"", nullptr, "test:1: `=' expected near `*wstring'"},
};

const Case kRuntimeCases[] = {
    {"call global nil", "foo()", nullptr, "test:1: attempt to call global `foo' (a nil value)"},
    {"call field nil", "local t = {} t.x()", nullptr, "test:1: attempt to call field `x' (a nil value)"},
    {"call method nil", "local t = {} t:m()", nullptr, "test:1: attempt to call method `m' (a nil value)"},
    {"call local nil", "local f f()", nullptr, "test:1: attempt to call local `f' (a nil value)"},
    {"call a nil value", "(nil)()", nullptr, "test:1: attempt to call a nil value"},
    {"index nil field", "local t = {} print(t.a.b)", nullptr, "test:1: attempt to index field `a' (a nil value)"},
    {"compare tables", "x = {} < {}", nullptr, "test:1: attempt to compare two table values"},
    {"compare number with nil", "x = 1 < y", nullptr, "test:1: attempt to compare number with nil"},
    {"compare booleans calls the type table", "print(true < false)", nullptr, "test:1: attempt to call a table value"},
    {"concatenate nil", "x = \"a\" .. nil", nullptr, "test:1: attempt to concatenate a nil value"},
    {"concatenate local table", "local t = {} x = \"a\" .. t", nullptr,
     "test:1: attempt to concatenate local `t' (a table value)"},
    {"arithmetic on nil global", "x = y + 1", nullptr, "test:1: attempt to perform arithmetic on global `y' (a nil value)"},
    {"for limit", "for i = 1, \"x\" do end", nullptr, "test:1: `for' limit must be a number"},
    {"for step", "for i = 1, 2, {} do end", nullptr, "test:1: attempt to perform arithmetic on a table value"},
    {"for variable changed", "for i = 1, 2 do i = 'x' end", nullptr, "test:1: `for' initial value must be a number"},
    {"stack overflow", "local function f() return 1 + f() end f()", nullptr, "test:1: stack overflow"},
    {"deep tail calls", "local function f(n) if n == 0 then return 'done' end return f(n - 1) end print(f(10000))",
     "done\n", nullptr},
    {"loop in gettable", "local t = setmetatable({}, {}) getmetatable(t).__index = t print(t.x)", nullptr,
     "test:1: loop in gettable"},
    {"table index is nil", "local t = {} t[nil] = 1", nullptr, "test:1: table index is nil"},
    {"table index is NaN", "local t = {} t[0/0] = 1", nullptr, "test:1: table index is NaN"},
    {"error values", "print(pcall(error, 'x')) print(pcall(error)) print(pcall(error, 'y', 0))",
     "false\tx\nfalse\tbad argument #1 to `error' (value expected)\nfalse\ty\n", nullptr},
    {"a native function called by another is named by its global",
     "print(pcall(pcall)) print(pcall(string.rep))",
     "false\tbad argument #1 to `pcall' (value expected)\nfalse\tbad argument #1 to `?' (string expected, got no value)\n",
     nullptr},
    {"error level 2", "local function f() error('boom', 2) end\nlocal ok, e = pcall(function()\n f() end) print(e)",
     "test:3: boom\n", nullptr},
    {"xpcall handler", "print(xpcall(function() error('e') end, function(m) return 'handled: ' .. m end))",
     "false\thandled: test:1: e\n", nullptr},
    {"assert", "print(pcall(assert, false)) print(pcall(assert, nil, 'm')) print(assert(1, 2))",
     "false\tassertion failed!\nfalse\tm\n1\n", nullptr},
    {"argument errors",
     "print(pcall(string.rep)) print(pcall(function() string.rep() end)) print(pcall(function() return string.sub('x', {}) end))",
     "false\tbad argument #1 to `?' (string expected, got no value)\n"
     "false\ttest:1: bad argument #1 to `rep' (string expected, got no value)\n"
     "false\ttest:1: bad argument #2 to `sub' (number expected, got table)\n",
     nullptr},
    {"method argument errors", "local s = 'x' print(pcall(function() return s:rep() end))",
     "false\ttest:1: bad argument #1 to `rep' (number expected, got no value)\n", nullptr},
    {"yield outside a coroutine", "coroutine.yield(1)", nullptr,
     "attempt to yield across metamethod/C-call boundary"},
};

const Case kSemanticsCases[] = {
    {"varargs", "local function f(...) return arg.n, arg[1] end print(f()) print(f(nil, 2))", "0\tnil\n2\tnil\n",
     nullptr},
    {"multiple assignment", "local a, b, c = 1, 2 print(a, b, c) a, b = b, a print(a, b)", "1\t2\tnil\n2\t1\n",
     nullptr},
    {"assignment conflict", "local t = {} local i = 1 i, t[i] = i + 1, 20 print(i, t[1], t[2])", "2\t20\tnil\n",
     nullptr},
    {"coercions", "print('10' + 1, '3' * '4', 10 .. 20, '0x10' + 0)", "11\t12\t1020\t16\n", nullptr},
    {"number formatting", "print(1e15, 0.1, -0.5, 1/0 > 1e308, 123456789012345)",
     "1e+15\t0.1\t-0.5\ttrue\t1.2345678901234e+14\n", nullptr},
    {"not of a condition is a boolean",
     "local a, t = 1, {x = 1} print(not ((not a) and true), not ((not t.x) and (2 ~= 3)), (not a) or 5, not (nil and 1))",
     "true\ttrue\t5\ttrue\n", nullptr},
    {"and or not", "print(nil and 1, false or 'x', 1 and 2, nil or false, not 0)", "nil\tx\t2\tfalse\tfalse\n",
     nullptr},
    {"comparisons", "print(1 < 2, 'a' < 'b', 'a' <= 'a', 2 >= 3, 1 ~= 1, 'x' == 'x')",
     "true\ttrue\ttrue\tfalse\tfalse\ttrue\n", nullptr},
    {"string methods through the type table", "print(('abc'):upper(), ('x'):rep(3), #{} == nil)", nullptr,
     "test:1: unexpected symbol near `#'"},
    {"string type table", "print(('abc'):upper(), ('x'):rep(3), getmetatable('a') == string)", "ABC\txxx\ttrue\n",
     nullptr},
    {"fields of numbers read the number table", "print((5).x)", "nil\n", nullptr},
    {"fields of strings write the string table", "local s = 'abc' s.foo = 7 print(('zz').foo, string.foo)",
     "7\t7\n", nullptr},
    {"tables share the table type table", "print(getmetatable({}) == getmetatable({}), type(getmetatable({})))",
     "true\ttable\n", nullptr},
    {"setmetatable nil leaves the default", "local t = setmetatable({}, nil) print(type(getmetatable(t)))",
     "table\n", nullptr},
    {"protected metatable", "local t = setmetatable({}, {__metatable = 'no'}) print(getmetatable(t), pcall(setmetatable, t, {}))",
     "no\tfalse\tcannot change a protected metatable\n", nullptr},
    {"index and newindex handlers",
     "local t = setmetatable({}, {__index = function(t, k) return k .. '!' end, __newindex = function(t, k, v) rawset(t, k, v * 2) end})"
     " t.a = 5 print(t.a, t.b)",
     "10\tb!\n", nullptr},
    {"arithmetic handler only on the first operand",
     "local V = {__add = function(a, b) return 'added' end} local v = setmetatable({}, V)"
     " print(v + 1, pcall(function() return 1 + v end))",
     "added\tfalse\ttest:1: attempt to perform arithmetic on a table value\n", nullptr},
    {"power through __pow", "print(2 ^ 10, pcall(function() __pow = nil return 2 ^ 2 end))",
     "1024\tfalse\ttest:1: `__pow' (`^' operator) is not defined\n", nullptr},
    {"generic for over a table", "local n = 0 for k, v in {1, 2, x = 3} do n = n + v end print(n)", "6\n", nullptr},
    {"numeric for", "local s = 0 for i = 10, 1, -3 do s = s + i end print(s)", "22\n", nullptr},
    {"closures keep their upvalues",
     "local function c() local n = 0 return function() n = n + 1 return n end end local a, b = c(), c() print(a(), a(), b())",
     "1\t2\t1\n", nullptr},
    {"coroutine basics",
     "local co = coroutine.create(function(a) local b = coroutine.yield(a + 1) return b * 2 end)"
     " print(coroutine.resume(co, 1)) print(coroutine.resume(co, 5)) print(coroutine.resume(co)) print(coroutine.status(co))",
     "true\t2\ntrue\t10\nfalse\tcannot resume dead coroutine\ndead\n", nullptr},
    {"yield across pcall is refused",
     "local co = coroutine.create(function() return pcall(coroutine.yield, 1) end) print(coroutine.resume(co))",
     "true\tfalse\tattempt to yield across metamethod/C-call boundary\n", nullptr},
    {"wrap passes errors on", "local f = coroutine.wrap(function() error('x') end) print(pcall(f))",
     "false\ttest:1: x\n", nullptr},
    {"unpack and table functions", "print(unpack({1, 2, 3})) print(table.getn({1, 2, nil, 4}), table.getn({n = 7}))",
     "1\t2\t3\n2\t7\n", nullptr},
    {"tostring and tonumber", "print(tostring(nil), tostring(true), tonumber('z', 36), tonumber('12', 2), tonumber('x'))",
     "nil\ttrue\t35\tnil\tnil\n", nullptr},
    {"loadstring errors", "print(loadstring('x = = 1', '=chunk')) print(loadstring('return 2')())",
     "nil\tchunk:1: unexpected symbol near `='\n2\n", nullptr},
    {"gcinfo", "local a, b = gcinfo() print(type(a), type(b), b >= a)", "number\tnumber\ttrue\n", nullptr},
    {"version", "print(_VERSION, _G._G == _G)", "Lua 5.0.2\ttrue\n", nullptr},
};

TEST(LuaLanguage, ParserCases) {
  for (const Case& c : kParserCases) CheckCase(c);
}

TEST(LuaLanguage, RuntimeErrors) {
  for (const Case& c : kRuntimeCases) CheckCase(c);
}

TEST(LuaLanguage, Semantics) {
  for (const Case& c : kSemanticsCases) CheckCase(c);
}

TEST(LuaLanguage, Limits) {
  std::string locals = "local a0";
  for (int i = 1; i <= 200; i++) locals += ", a" + std::to_string(i);
  RunResult r = RunChunk(locals);
  EXPECT_EQ(r.error, "test:1: too many local variables (limit=200) near `<eof>'");

  std::string nested;
  for (int i = 0; i < 300; i++) nested += "(";
  nested = "x = " + nested + "1";
  r = RunChunk(nested);
  EXPECT_EQ(r.error, "test:1: too many syntax levels near `('") << r.error;

  std::string upvalues = "local v0";
  for (int i = 1; i <= 40; i++) upvalues += ", v" + std::to_string(i);
  upvalues += " function f() return v0";
  for (int i = 1; i <= 40; i++) upvalues += " + v" + std::to_string(i);
  upvalues += " end";
  r = RunChunk(upvalues);
  EXPECT_NE(r.error.find("too many upvalues (limit=32)"), std::string::npos) << r.error;

  // a generic for with many variables: the iterator's results all get room on the stack
  std::string vars = "v1";
  for (int i = 2; i <= 150; i++) vars += ", v" + std::to_string(i);
  r = RunChunk("local n = 0 for " + vars + " in function(s, c) if c then return nil end n = n + 1 return 1 end do end print(n)");
  EXPECT_EQ(r.output, "1\n") << r.error;

  // a size hint past the table limit is a run-time error, not a huge allocation
  r = RunChunk("local t = {&0 &1e9}");
  EXPECT_EQ(r.error, "test:1: table overflow");

  // many assignment targets are bounded instead of exhausting the native stack
  std::string targets = "a";
  for (int i = 0; i < 5000; i++) targets += ", a";
  r = RunChunk(targets + " = 1");
  EXPECT_EQ(r.error, "test:1: too many variables in assignment (limit=200) near `a'") << r.error;
}

}  // namespace
}  // namespace luatest
