// The UI script: building window trees from Lua, the current-window stack, the window API,
// and messages between windows and waiting scripts.

#include "windows_test_util.h"

namespace {

class WindowScriptTest : public TWindowsTest {};

TEST_F(WindowScriptTest, BuildsATreeFromConstructors) {
  ASSERT_EQ(Lua("MakeDialog{ Window{ name = 'panel', x = 10, y = 20, w = 200, h = 100,"
                "  Window{ name = 'inner', x = kCenter, y = kMax - 30, w = 50, h = 20 } } }"),
            "");
  TWindow* panel = Screen()->FindChild("panel");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->GetRect(), TRect(10, 20, 210, 120));
  TWindow* inner = Screen()->FindChild("inner");
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->GetParent(), panel);
  EXPECT_EQ(inner->GetRect(), TRect(75, 70, 125, 90));
  EXPECT_EQ(Script().GetCurrentWindow(), Screen());
}

}  // namespace
