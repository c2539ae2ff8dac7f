#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "script/lua_glue.h"
#include "script/lua_table_reader.h"
#include "script/script.h"
#include "script_test_util.h"

namespace {

class TableTest : public TScriptTest {
 protected:
  void SetUp() override {
    TScriptTest::SetUp();
    mScript = std::make_unique<TScript>();
    L = mScript->GetState();
  }
  void TearDown() override {
    mScript.reset();
    TScriptTest::TearDown();
  }
  // A reader over the value of a Lua expression.
  std::unique_ptr<TLuaTable> Read(const char* expression) {
    RunLua(L, (std::string("gValue = ") + expression).c_str());
    lua_pushliteral(L, "gValue");
    lua_rawget(L, LUA_GLOBALSINDEX);
    return std::make_unique<TLuaTable>(L);
  }
  std::unique_ptr<TScript> mScript;
  lua_State* L = nullptr;
};

TEST_F(TableTest, NumbersAndStringsWithDefaults) {
  struct Case {
    const char* table;
    double number;   // GetNumber("x", 5)
    const char* text;  // GetString("x", "dflt")
  };
  const Case cases[] = {
      {"{x = '7'}", 7, "7"},
      {"{x = true}", 0, ""},
      {"{}", 5, "dflt"},
      {"{x = 2.5}", 2.5, "2.5"},
      {"{x = {}}", 0, ""},
      {"{x = 'abc'}", 0, "abc"},
      {"setmetatable({}, {__index = function(t, k) return k .. '!' end})", 0, "x!"},
  };
  for (const Case& c : cases) {
    auto table = Read(c.table);
    EXPECT_EQ(table->GetNumber("x", 5), c.number) << c.table;
    EXPECT_STREQ(table->GetString("x", "dflt").c_str(), c.text) << c.table;
    EXPECT_EQ(lua_gettop(L), 0) << c.table;
  }
  auto list = Read("{10, '20', n = 3}");
  EXPECT_EQ(list->GetNumberAt(1, -1), 10);
  EXPECT_STREQ(list->GetStringAt(2, "").c_str(), "20");
  EXPECT_EQ(list->GetNumberAt(3, -1), -1);
  EXPECT_STREQ(list->GetStringAt(4, "none").c_str(), "none");
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TableTest, PushFieldAndIndexLeaveTheirValue) {
  auto table = Read("{a = 'one', 'first'}");
  ASSERT_TRUE(table->PushField("a"));
  EXPECT_STREQ(lua_tostring(L, -1), "one");
  ASSERT_TRUE(table->PushIndex(1));
  EXPECT_STREQ(lua_tostring(L, -1), "first");
  EXPECT_EQ(lua_gettop(L), 2);
  EXPECT_FALSE(table->PushField("missing"));
  EXPECT_FALSE(table->PushIndex(2));
  EXPECT_EQ(lua_gettop(L), 2);
  lua_settop(L, 0);
}

TEST_F(TableTest, SubTablesAndVectors) {
  const TLuaVec4 fallback{1, 2, 3, 4};
  auto table = Read("{{9}, 5, {1, 2, 3, 4, 5}, {'0.5', nil, x = 1}}");
  EXPECT_EQ(table->GetVec4At(1, fallback), (TLuaVec4{9, 2, 3, 4}));
  EXPECT_EQ(table->GetVec4At(2, fallback), fallback);
  EXPECT_EQ(table->GetVec4At(3, fallback), (TLuaVec4{1, 2, 3, 4}));
  EXPECT_EQ(table->GetVec4At(4, fallback), (TLuaVec4{0.5f, 2, 3, 4}));
  EXPECT_EQ(table->GetVec4At(9, fallback), fallback);

  std::unique_ptr<TLuaTable> sub = table->GetTableAt(1);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->GetNumberAt(1, 0), 9);
  EXPECT_EQ(table->GetTableAt(2), nullptr);
  EXPECT_EQ(table->GetTableAt(7), nullptr);
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TableTest, SetNumberGoesThroughLuaAssignment) {
  auto table = Read("{}");
  table->SetNumber("modeltype", 3);
  RunLua(L, "gType = gValue.modeltype");
  EXPECT_EQ(GlobalText(L, "gType"), "3");
  // __newindex applies: the assignment lands where the metamethod puts it.
  auto proxy = Read("setmetatable({}, {__newindex = function(t, k, v) gSeen = k .. '=' .. v end})");
  proxy->SetNumber("y", 4);
  EXPECT_EQ(GlobalText(L, "gSeen"), "y=4");
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TableTest, IterationVisitsEveryPairOnce) {
  auto table = Read("{a = 1, b = 2}");
  std::map<std::string, double> seen;
  std::unique_ptr<TLuaObjectWrapper> key;
  while (std::unique_ptr<TLuaObjectWrapper> value = table->GetNext(key)) {
    ASSERT_NE(key, nullptr);
    key->PushTable();
    value->PushTable();
    seen[lua_tostring(L, -2)] = lua_tonumber(L, -1);
    lua_pop(L, 2);
  }
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(seen, (std::map<std::string, double>{{"a", 1}, {"b", 2}}));
  auto empty = Read("{}");
  EXPECT_EQ(empty->GetNext(key), nullptr);
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TableTest, ReadsThatRaiseGiveDefaultsAndALogLineNotAnExit) {
  // Outside a protected call an error raised here would end the process.
  auto raising = Read("setmetatable({}, {__index = function(t, k) error('cannot read ' .. k) end, "
                      "__newindex = function() error('read only') end})");
  EXPECT_EQ(raising->GetNumber("x", 5), 5);
  EXPECT_STREQ(raising->GetString("y", "d").c_str(), "d");
  EXPECT_EQ(raising->GetTableAt(1), nullptr);
  raising->SetNumber("z", 1);
  EXPECT_EQ(CountInLog("cannot read x"), 1) << ReadLog();
  EXPECT_EQ(CountInLog("read only"), 1);

  auto number = Read("nil");  // nothing to index at all
  EXPECT_EQ(number->GetNumber("x", 6), 6);
  std::unique_ptr<TLuaObjectWrapper> key;
  EXPECT_EQ(number->GetNext(key), nullptr);
  EXPECT_EQ(CountInLog("Lua error: attempt to index a nil value"), 1) << ReadLog();

  // A key that is no longer in the table ends the walk (with a log line).
  auto table = Read("{a = 1}");
  lua_pushstring(L, "not a key");
  key = std::make_unique<TLuaObjectWrapper>(L);
  EXPECT_EQ(table->GetNext(key), nullptr);
  EXPECT_EQ(key, nullptr);
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TableTest, AttachingToTheRunningScript) {
  lua_newtable(L);
  auto table = std::make_unique<TLuaTable>(L);
  TLuaTable* raw = TLuaTable::AttachToScript(table);
  EXPECT_NE(raw, nullptr);
  EXPECT_EQ(table, nullptr);  // the script owns it now
  EXPECT_EQ(mScript->GetPendingCount(), 1u);
  mScript->DoLuaString("x = 1");
  EXPECT_EQ(mScript->GetPendingCount(), 0u);

  // Without `_SCRIPT' the caller stays the owner.
  RunLua(L, "_SCRIPT = nil");
  lua_newtable(L);
  table = std::make_unique<TLuaTable>(L);
  EXPECT_EQ(TLuaTable::AttachToScript(table), table.get());
  EXPECT_NE(table, nullptr);
}

}  // namespace
