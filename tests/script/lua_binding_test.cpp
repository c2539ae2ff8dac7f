#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "script/lua_binding.h"
#include "script/script.h"
#include "script_test_util.h"

namespace {

// A native object with members of the shapes the engine binds.
struct TTarget {
  TString lastText;
  int lastInt = -7;
  uint32_t lastUnsigned = 0;
  float lastFloat = -7;
  bool lastBool = true;
  double tableX = -1;
  TLuaTable* keptTable = nullptr;
  bool returnNullTable = false;
  int calls = 0;

  void Take(TString text, int number, bool flag, float fraction) {
    calls++;
    lastText = text;
    lastInt = number;
    lastBool = flag;
    lastFloat = fraction;
  }
  void TakeUnsigned(uint32_t value) { lastUnsigned = value; }
  TString Join(const TString& a, const char* b) { return a + "+" + b; }
  bool Not(bool value) { return !value; }
  int Twice(int value) { return 2 * value; }
  double Half(double value) const { return value / 2; }
  TLuaTable* Tag(TLuaTable* table, TString key) {
    keptTable = table;
    tableX = table->GetNumber("x", -1);
    table->SetNumber(key.c_str(), 1);
    return returnNullTable ? nullptr : table;
  }
  void Throw(TString message) { throw std::runtime_error(message.c_str()); }
  // Raw: reads any number of arguments and answers their count and their sum.
  int Sum(lua_State* L) {
    int n = lua_gettop(L);
    double sum = 0;
    for (int i = 1; i <= n; i++) sum += lua_tonumber(L, i);
    lua_pushnumber(L, n);
    lua_pushnumber(L, sum);
    return 2;
  }
  int Overclaims(lua_State* L) { return 50; }  // claims results it never pushed
};

TString gPlainText;
void PlainTake(TString text) { gPlainText = text; }
TString PlainEcho(TString a, TString b) { return b + a; }

// A class whose bound member belongs to its second base: the object pointer needs adjusting.
struct TFirstBase {
  virtual ~TFirstBase() = default;
  int first = 1;
};
struct TSecondBase {
  virtual ~TSecondBase() = default;
  int value = 0;
  int Value() { return value; }
};
struct TBoth : TFirstBase, TSecondBase {};

class BindingTest : public TScriptTest {
 protected:
  void SetUp() override {
    TScriptTest::SetUp();
    mScript = std::make_unique<TScript>();
    L = mScript->GetState();
    BindLuaMember(L, "Take", &mTarget, &TTarget::Take);
    BindLuaMember(L, "TakeUnsigned", &mTarget, &TTarget::TakeUnsigned);
    BindLuaMember(L, "Join", &mTarget, &TTarget::Join);
    BindLuaMember(L, "Not", &mTarget, &TTarget::Not);
    BindLuaMember(L, "Twice", &mTarget, &TTarget::Twice);
    BindLuaMember(L, "Half", &mTarget, &TTarget::Half);
    BindLuaMember(L, "Tag", &mTarget, &TTarget::Tag);
    BindLuaMember(L, "Throw", &mTarget, &TTarget::Throw);
    BindLuaMember(L, "Sum", &mTarget, &TTarget::Sum);
    BindLuaMember(L, "Overclaims", &mTarget, &TTarget::Overclaims);
    BindLuaFunction(L, "PlainTake", &PlainTake);
    BindLuaFunction(L, "PlainEcho", &PlainEcho);
  }
  void TearDown() override {
    mScript.reset();
    TScriptTest::TearDown();
  }
  TTarget mTarget;
  std::unique_ptr<TScript> mScript;
  lua_State* L = nullptr;
};

TEST_F(BindingTest, MissingArgumentsReadAsNeutralValues) {
  RunLua(L, "Take()");
  EXPECT_EQ(mTarget.calls, 1);
  EXPECT_STREQ(mTarget.lastText.c_str(), "");
  EXPECT_EQ(mTarget.lastInt, 0);
  EXPECT_FALSE(mTarget.lastBool);
  EXPECT_EQ(mTarget.lastFloat, 0);
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(BindingTest, ArgumentConversions) {
  struct Case {
    const char* call;
    const char* text;
    int number;
    bool flag;
    float fraction;
  };
  const Case cases[] = {
      {"Take('abc', 7.9, true, 0.5)", "abc", 7, true, 0.5f},
      {"Take(12, -7.9, 0, '2.25')", "12", -7, true, 2.25f},  // 0 is true in Lua
      {"Take({}, 'x', false, {})", "", 0, false, 0},          // wrong types: neutral values
      {"Take(nil, 3e12, nil, 1e300)", "", 2147483647, false, HUGE_VALF},
      {"Take('a', -3e12, 'no', -1e300)", "a", -2147483647 - 1, true, -HUGE_VALF},
      {"Take('x', 0/0, 1, 0)", "x", 0, true, 0},
  };
  for (const Case& c : cases) {
    RunLua(L, c.call);
    EXPECT_STREQ(mTarget.lastText.c_str(), c.text) << c.call;
    EXPECT_EQ(mTarget.lastInt, c.number) << c.call;
    EXPECT_EQ(mTarget.lastBool, c.flag) << c.call;
    EXPECT_EQ(mTarget.lastFloat, c.fraction) << c.call;
  }
  RunLua(L, "TakeUnsigned(-1)");
  EXPECT_EQ(mTarget.lastUnsigned, 0xFFFFFFFFu);
  RunLua(L, "TakeUnsigned(4294967297.5)");
  EXPECT_EQ(mTarget.lastUnsigned, 1u);
}

TEST_F(BindingTest, ResultConversions) {
  RunLua(L,
         "r1 = Join('a', 'b'); r2 = Not(nil); r3 = Twice(21.7); r4 = Half(3); r5 = PlainEcho('x', 'y')");
  EXPECT_EQ(GlobalText(L, "r1"), "a+b");
  EXPECT_EQ(GlobalText(L, "r2"), "true");
  EXPECT_EQ(GlobalText(L, "r3"), "42");
  EXPECT_EQ(GlobalText(L, "r4"), "1.5");
  EXPECT_EQ(GlobalText(L, "r5"), "yx");
  RunLua(L, "PlainTake('plain')");
  EXPECT_STREQ(gPlainText.c_str(), "plain");
  // A member without a result gives none, not nil.
  RunLua(L, "gCount = table.getn({Take('x')})");
  EXPECT_EQ(GlobalText(L, "gCount"), "0");
}

TEST_F(BindingTest, TableArgumentsAndResults) {
  RunLua(L, "t = {x = 5}; r = Tag(t, 'tagged'); same = (r == t)");
  EXPECT_EQ(mTarget.tableX, 5);
  EXPECT_EQ(GlobalText(L, "same"), "true");
  RunLua(L, "tagged = t.tagged");
  EXPECT_EQ(GlobalText(L, "tagged"), "1");
  // The table wrapper belongs to the running script until its next run.
  EXPECT_EQ(mScript->GetPendingCount(), 1u);
  mScript->DoLuaString("x = 1");
  EXPECT_EQ(mScript->GetPendingCount(), 0u);

  // A null table result is a new empty table, not nil.
  mTarget.returnNullTable = true;
  RunLua(L, "r = Tag({}, 'k'); kind = type(r); empty = next(r) == nil");
  EXPECT_EQ(GlobalText(L, "kind"), "table");
  EXPECT_EQ(GlobalText(L, "empty"), "true");
}

TEST_F(BindingTest, WrongCallsAreScriptErrorsNotCrashes) {
  struct Case {
    const char* call;
    const char* error;  // expected part of the message; null: the call works
  };
  const Case cases[] = {
      {"Tag()", "bad argument #1 to `Tag' (table expected, got no value)"},
      {"Tag(5, 'k')", "bad argument #1 to `Tag' (table expected, got number)"},
      {"Tag('text')", "table expected, got string"},
      {"Throw('native failure')", "test:1: native failure"},
      {"Take('a', 1, true, 2, 'extra', {}, nil, 9)", nullptr},  // extra arguments are ignored
      {"Sum(unpack({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}))",
       nullptr},
  };
  for (const Case& c : cases) {
    std::string error = LuaError(L, c.call);
    if (c.error)
      EXPECT_NE(error.find(c.error), std::string::npos) << c.call << ": " << error;
    else
      EXPECT_EQ(error, "") << c.call;
    EXPECT_EQ(lua_gettop(L), 0) << c.call;
  }
  EXPECT_EQ(mTarget.keptTable, nullptr);  // the member never ran with a bad table
}

TEST_F(BindingTest, RawMembersCountTheirOwnResults) {
  RunLua(L, "n, sum = Sum(1, 2, '3')");
  EXPECT_EQ(GlobalText(L, "n"), "3");
  EXPECT_EQ(GlobalText(L, "sum"), "6");
  // A raw member that claims more results than it pushed gives only what is there.
  RunLua(L, "gCount = table.getn({Overclaims(1, 2)})");
  EXPECT_EQ(GlobalText(L, "gCount"), "2");
}

TEST_F(BindingTest, MetamethodErrorInsideAMemberBecomesItsScriptError) {
  // The member reads a table whose __index raises: the read gives the default, the member
  // finishes, and then the call fails with the metamethod's message.
  std::string error = LuaError(L,
                               "local t = setmetatable({}, {__index = function(t, k) error('no field ' .. k) end})\n"
                               "Tag(t, 'k')");
  EXPECT_NE(error.find("no field x"), std::string::npos) << error;
  EXPECT_EQ(mTarget.tableX, -1);
  EXPECT_NE(mTarget.keptTable, nullptr);
}

TEST_F(BindingTest, UnboundObjectRaisesInsteadOfReachingIt) {
  auto object = std::make_unique<TTarget>();
  BindLuaMember(L, "Gone", object.get(), &TTarget::Twice);
  RunLua(L, "kept = Gone; r = Gone(2)");
  EXPECT_EQ(GlobalText(L, "r"), "4");
  UnbindLuaObject(L, object.get());
  object.reset();
  EXPECT_NE(LuaError(L, "Gone(2)").find("no longer exists"), std::string::npos);
  EXPECT_NE(LuaError(L, "kept(2)").find("no longer exists"), std::string::npos);
  // Other objects' bindings stay.
  RunLua(L, "r = Twice(5)");
  EXPECT_EQ(GlobalText(L, "r"), "10");
}

// A window's functions once it is gone: each call does nothing and logs one line, so the
// UI coroutine that made it goes on.
TEST_F(BindingTest, AGoneWindowsFunctionsDoNothingAndLogALine) {
  auto window = std::make_unique<TTarget>();
  BindLuaMember(L, "GoneTwice", window.get(), &TTarget::Twice);
  BindLuaMember(L, "GoneSum", window.get(), &TTarget::Sum);
  UnbindLuaObject(L, window.get(), TStaleCall::LogAndSkip);
  window.reset();
  RunLua(L,
         "local step = coroutine.wrap(function() a = GoneTwice(2); coroutine.yield(); b = GoneSum(1, 2); done = 1 end)\n"
         "step(); step()");
  EXPECT_EQ(GlobalText(L, "a"), "nil");
  EXPECT_EQ(GlobalText(L, "b"), "nil");
  EXPECT_EQ(GlobalText(L, "done"), "1");
  EXPECT_EQ(CountInLog("a function of a window that is gone was called; the call does nothing"), 2) << ReadLog();
}

TEST_F(BindingTest, RebindingReplacesAndBasesAreAdjusted) {
  TTarget other;
  BindLuaMember(L, "Take", &other, &TTarget::Take);
  RunLua(L, "Take('second')");
  EXPECT_STREQ(other.lastText.c_str(), "second");
  EXPECT_EQ(mTarget.calls, 0);

  TBoth both;
  both.value = 77;
  BindLuaMember(L, "SecondValue", &both, &TSecondBase::Value);
  RunLua(L, "v = SecondValue()");
  EXPECT_EQ(GlobalText(L, "v"), "77");
  UnbindLuaObject(L, &both);  // found by the address it was bound with
  EXPECT_NE(LuaError(L, "SecondValue()"), "");
}

TEST_F(BindingTest, ToParams) {
  struct Case {
    const char* call;
    const char* result;
  };
  const Case cases[] = {
      {"return toparams({1, nil, 3})", "3: 1 nil 3"},
      {"return toparams({n = 2, 5, 6, 7})", "2: 5 6"},
      {"return toparams({})", "0:"},
      {"return toparams({n = -4, 1})", "0:"},
      {"return toparams(setmetatable({n = 2}, {__index = function(t, i) return i * 10 end}))", "2: 10 20"},
  };
  RunLua(L, "function show(...) local s = arg.n .. ':'; for i = 1, arg.n do s = s .. ' ' .. tostring(arg[i]) end; "
            "return s end");
  for (const Case& c : cases) {
    std::string text = std::string("r = show((function() ") + c.call + " end)())";
    RunLua(L, text.c_str());
    EXPECT_EQ(GlobalText(L, "r"), c.result) << c.call;
  }
  EXPECT_NE(LuaError(L, "toparams(nil)").find("table expected"), std::string::npos);
}

TEST_F(BindingTest, ToParamsWithAHugeCountIsAScriptErrorNotAnUnboundedPush) {
  std::string error = LuaError(L, "toparams({n = 100000000})");
  EXPECT_NE(error.find("stack overflow (table too big for toparams)"), std::string::npos) << error;
  error = LuaError(L, "toparams({n = 2049})");
  EXPECT_NE(error.find("stack overflow"), std::string::npos) << error;
  RunLua(L, "r = (function(...) return arg.n end)(toparams({n = 2000}))");
  EXPECT_EQ(GlobalText(L, "r"), "2000");  // within the stack's capacity it still works
}

TEST_F(BindingTest, AlertAndDebugOutLog) {
  RunLua(L, "_ALERT('x'); DebugOut('something to see'); DebugOut()");
  EXPECT_EQ(CountInLog(": Lua error: x\n"), 1) << ReadLog();
  EXPECT_EQ(CountInLog(": something to see\n"), 1) << ReadLog();
}

}  // namespace
