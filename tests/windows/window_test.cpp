// The window tree: coded layout, hit testing, flags, children and z-order, visitors.

#include <cstdlib>

#include "script/lua_table_reader.h"
#include "windows/modal_window.h"
#include "windows/window_spider.h"
#include "windows/window_style.h"
#include "windows_test_util.h"

namespace {

class WindowTest : public TWindowsTest {
 protected:
  // A style table from Lua text such as "x = 10, w = 20".
  std::unique_ptr<TLuaTable> Style(const std::string& fields) {
    EXPECT_EQ(Lua("gTestStyle = {" + fields + "}"), "");
    lua_pushliteral(L(), "gTestStyle");
    lua_rawget(L(), LUA_GLOBALSINDEX);
    return std::make_unique<TLuaTable>(L());
  }

  // A parent of the given size under the screen with one plain child laid out by Init.
  TWindow* LaidOut(int32_t parentWidth, int32_t parentHeight, const std::string& fields) {
    TProbeWindow* parent = AddProbe(Screen(), "parent", TRect(0, 0, parentWidth, parentHeight));
    std::unique_ptr<TWindow> child = TWindow::Create();
    TWindow* raw = child.get();
    EXPECT_TRUE(parent->AddChild(child, false));
    auto table = Style(fields);
    TWindowStyle style(table.get());
    raw->Init(style);
    return raw;
  }
};

struct TLayoutCase {
  const char* fields;
  TRect expected;
};

TEST_F(WindowTest, CodedLayoutAgainstAnEightHundredWideParent) {
  const TLayoutCase cases[] = {
      {"x = 80000, w = 200, h = 10", TRect(300, 0, 500, 10)},            // centred
      {"x = 80010, w = 200, h = 10", TRect(310, 0, 510, 10)},            // centred with an offset
      {"x = 160000 - 20, w = 10, h = 10", TRect(780, 0, 790, 10)},       // from the far edge
      {"x = -20, w = 10, h = 10", TRect(780, 0, 790, 10)},               // negative: from the far edge
      {"x = -20, w = 10, h = 10, align = 0", TRect(-20, 0, -10, 10)},    // align keeps it literal
      {"x = 100, w = 160000, h = 10", TRect(100, 0, 800, 10)},           // to the far edge
      {"x = 100, w = 160000 - 10, h = 10", TRect(100, 0, 790, 10)},      // 10 short of it
      {"x = 80000, w = 160000, h = 10", TRect(0, 0, 800, 10)},           // centred and full
      {"x = 80000, w = 160000 - 100, h = 10", TRect(0, 0, 700, 10)},     // centred, shorter
      {"x = 500, w = -100, h = 10", TRect(400, 0, 500, 10)},             // lies before x
      {"x = 400, w = 100, h = 10, align = 1", TRect(350, 0, 450, 10)},   // centred on x
      {"x = 400, w = 100, h = 10, align = 2", TRect(300, 0, 400, 10)},   // right edge at x
      {"y = 80000, w = 10, h = 100", TRect(0, 250, 10, 350)},            // vertical centre
      {"y = 400, w = 10, h = 100, align = 8", TRect(0, 300, 10, 400)},   // bottom at y
      {"y = 400, w = 10, h = 100, align = 4", TRect(0, 350, 10, 450)},   // centred on y
      {"x = 80000, h = 10", TRect(0, 0, 0, 0)},                          // no width yet: waits
  };
  for (const TLayoutCase& c : cases) {
    TWindow* window = LaidOut(800, 600, c.fields);
    EXPECT_EQ(window->GetRect(), c.expected) << c.fields;
    Screen()->DeleteChildren();
  }
}

// Scripts may hand any number to a layout: the arithmetic stays in range and the window in
// bounds (under the sanitizer an overflow would stop the test).
TEST_F(WindowTest, ExtremeCodesStayInRange) {
  const char* const extremes[] = {
      "x = 2147483648, y = -2147483648, w = 2147483648, h = -2147483648",
      "x = -2147483648, y = 2147483648, w = -2147483648, h = 2147483648, align = 15",
      "x = 150000, y = 90000, w = -2147483648, h = 2147483648",
      "x = 1e300, y = -1e300, w = 0/0, h = 1/0",
  };
  for (const char* fields : extremes) {
    TWindow* window = LaidOut(800, 600, fields);
    EXPECT_LE(std::abs(window->GetLeft()), CoordinateLimit) << fields;
    EXPECT_LE(std::abs(window->GetWidth()), 2 * CoordinateLimit) << fields;
    TRect screen;
    window->GetScreenRect(screen);
    Screen()->DeleteChildren();
  }
  ASSERT_EQ(Lua("Window{ name = 'w', w = 10, h = 10 }(); SetPosition('w', 2147483648, -2147483648)"), "");
  EXPECT_EQ(Screen()->FindChild("w")->GetLeft(), CoordinateLimit);
}

// Every nesting level is a recursion in the tree's walks: scripts cannot nest without end.
TEST_F(WindowTest, ScriptsCannotNestWindowsWithoutEnd) {
  ASSERT_EQ(Lua("for i = 1, 1500 do GenericCreate{ typename = 'Window', name = 'n' .. i } end"), "");
  EXPECT_NE(Screen()->FindChild("n999"), nullptr);
  EXPECT_EQ(Screen()->FindChild("n1000"), nullptr);
  EXPECT_EQ(CountInLog("Window 'n1000' refused: windows nested deeper than 1000"), 1);
}

TEST_F(WindowTest, ALayoutWithoutAParentSizeWaits) {
  TWindow* window = LaidOut(0, 0, "x = 80000, w = 100, h = 20");
  EXPECT_EQ(window->GetRect(), TRect(0, 0, 0, 0));
  Screen()->DeleteChildren();
  window = LaidOut(0, 0, "x = 5, y = 6, w = 100, h = 20");
  EXPECT_EQ(window->GetRect(), TRect(5, 6, 105, 26));
}

TEST_F(WindowTest, FitThenCentreAndSecondLayoutsKeepPlaceAndSize) {
  TWindow* window = LaidOut(800, 600, "x = 80000, y = 10, fit = true");
  EXPECT_EQ(window->GetRect(), TRect(0, 0, 0, 0));
  AddProbe(window, "a", TRect(0, 0, 120, 40));
  AddProbe(window, "b", TRect(100, 30, 200, 50));
  auto table = Style("x = 80000, y = 10, fit = true");
  TWindowStyle style(table.get());
  window->PostCreate(style);
  EXPECT_EQ(window->GetRect(), TRect(300, 10, 500, 60));
  // Placed and sized: a second layout changes neither.
  auto other = Style("x = 7, y = 8, w = 9, h = 11");
  TWindowStyle second(other.get());
  window->DoLayout(second);
  EXPECT_EQ(window->GetRect(), TRect(300, 10, 500, 60));
}

TEST_F(WindowTest, EdgesAndVisibilityOfHitTests) {
  TRect rect(10, 20, 30, 40);
  EXPECT_TRUE(RectContains(rect, TPoint(10, 20)));
  EXPECT_FALSE(RectContains(rect, TPoint(30, 25)));
  EXPECT_FALSE(RectContains(rect, TPoint(15, 40)));
  EXPECT_TRUE(RectContains(rect, TPoint(29, 39)));

  TProbeWindow* panel = AddProbe(Screen(), "panel", TRect(100, 100, 300, 300));
  TProbeWindow* under = AddProbe(panel, "under", TRect(0, 0, 100, 100));
  TProbeWindow* over = AddProbe(panel, "over", TRect(50, 50, 150, 150));
  EXPECT_EQ(Screen()->WindowAt(TPoint(160, 160), AnyDepth), over);
  EXPECT_EQ(Screen()->WindowAt(TPoint(120, 120), AnyDepth), under);
  EXPECT_EQ(Screen()->WindowAt(TPoint(290, 290), AnyDepth), panel);
  EXPECT_EQ(Screen()->WindowAt(TPoint(5, 5), AnyDepth), Screen());
  EXPECT_EQ(Screen()->WindowAt(TPoint(160, 160), 0), nullptr);
  // A hidden window and everything in a hidden parent are passed over.
  over->SetFlags(over->GetFlags() & ~uint32_t(WindowVisible));
  EXPECT_EQ(Screen()->WindowAt(TPoint(160, 160), AnyDepth), under);
  panel->SetFlags(panel->GetFlags() & ~uint32_t(WindowVisible));
  EXPECT_EQ(Screen()->WindowAt(TPoint(160, 160), AnyDepth), Screen());
}

TEST_F(WindowTest, FlagsKeepTheirLowByteAndDropHighBits) {
  TProbeWindow* window = AddProbe(Screen(), "w", TRect(0, 0, 10, 10));
  EXPECT_EQ(window->GetFlags(), uint32_t(WindowVisible));
  window->SetFlags(0xFFFF0000u | WindowCachedLayer | WindowInCachedLayer);
  EXPECT_EQ(window->GetFlags(), uint32_t(WindowInCachedLayer));
  TModalWindow modal;
  modal.SetFlags(0);
  EXPECT_EQ(modal.GetFlags(), uint32_t(WindowModal | WindowTakesFocus));
}

TEST_F(WindowTest, ZOrderMoves) {
  TWindow* parent = AddProbe(Screen(), "parent", TRect(0, 0, 100, 100));
  TWindow* c = AddProbe(parent, "c", TRect());
  TWindow* b = AddProbe(parent, "b", TRect());
  TWindow* a = AddProbe(parent, "a", TRect());
  auto order = [parent] {
    std::string names;
    for (const auto& child : parent->GetChildren()) names += child->GetName().ToStd();
    return names;
  };
  EXPECT_EQ(order(), "abc");
  a->SetZOrderSimple(ZOrderForward);  // already first
  c->SetZOrderSimple(ZOrderBackward);  // already last
  EXPECT_EQ(order(), "abc");
  a->SetZOrderSimple(ZOrderBack);
  EXPECT_EQ(order(), "bca");
  a->SetZOrderSimple(ZOrderFront);
  EXPECT_EQ(order(), "abc");
  a->SetZOrderSimple(ZOrderBackward);
  EXPECT_EQ(order(), "bac");
  c->SetZOrderSimple(ZOrderForward);
  EXPECT_EQ(order(), "bca");
  b->SetZOrder(ZOrderBefore, a);
  EXPECT_EQ(order(), "cba");
  b->SetZOrder(ZOrderBefore, nullptr);
  EXPECT_EQ(order(), "cab");
}

TEST_F(WindowTest, ChildrenFindingFittingAndDeferredDeletion) {
  TWindow* parent = AddProbe(Screen(), "parent", TRect(10, 10, 20, 20));
  TWindow* child = AddProbe(parent, "child", TRect(5, 5, 50, 30));
  AddProbe(child, "grandchild", TRect(0, 0, 70, 90));
  EXPECT_EQ(Screen()->FindChild("grandchild"), child->GetChildren().front().get());
  EXPECT_EQ(Screen()->FindChild("grandchild", 2), nullptr);
  EXPECT_EQ(Screen()->FindChild("child", 2), child);
  EXPECT_EQ(parent->FindChild("parent", 0), parent);
  parent->FitToChildren();
  EXPECT_EQ(parent->GetRect(), TRect(10, 10, 60, 40));

  TPoint point(1, 2);
  child->ClientToScreen(point);
  EXPECT_EQ(point, TPoint(16, 17));
  child->ScreenToClient(point);
  EXPECT_EQ(point, TPoint(1, 2));

  bool destroyed = false;
  static_cast<TProbeWindow*>(child)->destroyed = &destroyed;
  parent->DeleteChildren();
  EXPECT_TRUE(parent->GetChildren().empty());
  EXPECT_FALSE(destroyed);
  Send(EventNothing);
  EXPECT_FALSE(destroyed);  // a nothing event does nothing at all
  Send(EventActivation, 0, 0, 1);
  EXPECT_TRUE(destroyed);
}

class TRefusingWindow : public TWindow {
 public:
  bool OnActivate() override { return false; }
};

TEST_F(WindowTest, AChildThatRefusesActivationIsHandedBack) {
  std::unique_ptr<TWindow> child = std::make_unique<TRefusingWindow>();
  TWindow* raw = child.get();
  EXPECT_FALSE(Screen()->AddChild(child, true));
  EXPECT_EQ(child.get(), raw);
  EXPECT_EQ(raw->GetParent(), nullptr);
  EXPECT_EQ(Screen()->FindChild(""), nullptr);
  EXPECT_TRUE(Screen()->AddChild(child, false));
  EXPECT_EQ(child, nullptr);
  EXPECT_EQ(raw->GetParent(), Screen());
}

TEST_F(WindowTest, ModalPoppedSpiderVisitsDeepestFirst) {
  TWindow* a = AddProbe(Screen(), "a", TRect());
  AddProbe(a, "a1", TRect());
  AddProbe(Screen(), "b", TRect());
  TModalPoppedSpider spider;
  Screen()->VisitChildren(spider);
  EXPECT_EQ(mLog, (TProbeLog{"b:popped", "a1:popped", "a:popped"}));
}

TEST_F(WindowTest, CoverSetFollowsOpaqueFullSizeWindows) {
  auto* screen = WindowCast<TModalWindow>(Screen());
  ASSERT_NE(screen, nullptr);
  TWindow* cover = AddProbe(Screen(), "cover", TRect(0, 0, 640, 480));
  cover->SetFlags(cover->GetFlags() | WindowOpaqueCover);
  EXPECT_EQ(screen->GetCoverSet().count(cover), 1u);
  EXPECT_TRUE(screen->GetFlags() & WindowOpaqueCover);
  cover->SetSize(100, 100);
  EXPECT_EQ(screen->GetCoverSet().count(cover), 0u);
  cover->SetSize(640, 480);
  EXPECT_EQ(screen->GetCoverSet().count(cover), 1u);
  // A window that leaves (and later goes) leaves the set.
  std::unique_ptr<TWindow> removed = Screen()->RemoveChild(cover);
  EXPECT_TRUE(screen->GetCoverSet().empty());
  EXPECT_FALSE(screen->GetFlags() & WindowOpaqueCover);
}

}  // namespace
