// Window styles: typed reads with defaults through the default style and its parents.

#include "script/lua_table_reader.h"
#include "windows/window_style.h"
#include "windows_test_util.h"

namespace {

class WindowStyleTest : public TWindowsTest {
 protected:
  // The style { fields } with gCurrentDefaultStyle set by `defaults' (Lua text).
  TWindowStyle& Make(const std::string& fields, const std::string& defaults = "gCurrentDefaultStyle = {}") {
    EXPECT_EQ(Lua(defaults + "; gTestStyle = {" + fields + "}"), "");
    lua_pushliteral(L(), "gTestStyle");
    lua_rawget(L(), LUA_GLOBALSINDEX);
    mTable = std::make_unique<TLuaTable>(L());
    mStyle = std::make_unique<TWindowStyle>(mTable.get());
    return *mStyle;
  }

  std::unique_ptr<TLuaTable> mTable;
  std::unique_ptr<TWindowStyle> mStyle;
};

TEST_F(WindowStyleTest, ReadersWithTheirDefaults) {
  int top = lua_gettop(L());
  TWindowStyle& style = Make("n = 2.75, neg = -2.75, s = 'text', b = false, num = 0, q = {1, 2}, t = {}, f = print");
  EXPECT_EQ(style.GetNumber("n", 1), 2.75);
  EXPECT_EQ(style.GetInt("neg", 1), -2);
  EXPECT_EQ(style.GetInt("missing", 9), 9);
  EXPECT_EQ(style.GetString("s", "d"), TString("text"));
  EXPECT_EQ(style.GetString("n", "d"), TString("2.75"));
  EXPECT_EQ(style.GetString("missing", "d"), TString("d"));
  EXPECT_FALSE(style.GetBool("b", true));  // present and false: not the default
  EXPECT_FALSE(style.GetBool("num", true));
  EXPECT_TRUE(style.GetBool("n", false));
  EXPECT_TRUE(style.GetBool("missing", true));
  EXPECT_EQ(style.GetQuad("q", {9, 9, 9, 9}), (TLuaVec4{1, 2, 0, 0}));
  EXPECT_EQ(style.GetQuad("missing", {9, 8, 7, 6}), (TLuaVec4{9, 8, 7, 6}));
  EXPECT_NE(style.GetTable("t"), nullptr);
  EXPECT_NE(style.GetTable("s"), nullptr);  // any value that is there
  EXPECT_EQ(style.GetTable("missing"), nullptr);
  EXPECT_NE(style.GetFunction("f"), nullptr);
  EXPECT_EQ(lua_gettop(L()), top);
}

TEST_F(WindowStyleTest, BooleansGivenAsTextAreFalseAndLogged) {
  TWindowStyle& style = Make("b = 'true', t = {}");
  EXPECT_FALSE(style.GetBool("b", true));
  EXPECT_EQ(CountInLog("PopBool used on lua string true"), 1);
  EXPECT_FALSE(style.GetBool("t", true));
  EXPECT_EQ(CountInLog("PopBool used on a type that isn't a number, a boolean, or nil. (type: 5)"), 1);
}

TEST_F(WindowStyleTest, MissingKeysComeFromTheDefaultStyleAndItsParents) {
  TWindowStyle& style = Make("own = 1, parent = { fromOwnParent = 5 }",
                             "gCurrentDefaultStyle = { inDefault = 2, parent = { inParent = 3, parent = { deep = 4 } } }");
  EXPECT_EQ(style.GetInt("own", 0), 1);
  EXPECT_EQ(style.GetInt("inDefault", 0), 2);
  EXPECT_EQ(style.GetInt("inParent", 0), 3);
  EXPECT_EQ(style.GetInt("deep", 0), 4);
  EXPECT_EQ(style.GetInt("fromOwnParent", 0), 0);  // the style's own parent is not followed
  TWindowStyle& without = Make("own = 1", "gCurrentDefaultStyle = 'no table'");
  EXPECT_EQ(without.GetInt("inDefault", 7), 7);
  TWindowStyle& none = Make("own = 1", "gCurrentDefaultStyle = nil");
  EXPECT_EQ(none.GetInt("inDefault", 7), 7);
}

TEST_F(WindowStyleTest, LoopsAndRaisingMetamethodsGiveTheDefault) {
  TWindowStyle& looped = Make("", "local a = {}; a.parent = a; gCurrentDefaultStyle = a");
  EXPECT_EQ(looped.GetInt("x", 3), 3);
  int top = lua_gettop(L());
  TWindowStyle& raising = Make("", "gCurrentDefaultStyle = setmetatable({}, { __index = function() error('boom') end })");
  EXPECT_EQ(raising.GetInt("x", 3), 3);
  EXPECT_EQ(lua_gettop(L()), top);
  EXPECT_EQ(CountInLog("boom"), 1);
}

}  // namespace
