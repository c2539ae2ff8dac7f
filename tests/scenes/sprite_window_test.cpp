// Sprite windows: the pick rule, lookups and setters by name with shared names, turning
// about the pivot, the list kept safe from bad indices, detached sprites, the 2D pass of
// the caller, and the script function "GetCurrentTextureMask".

#include <gtest/gtest.h>

#include <vector>

#include "graphics/renderer.h"
#include "graphics/sprites/sprite.h"
#include "scenes/sprite_window.h"
#include "scenes_test_util.h"

namespace {

class SpriteWindowTest : public TSceneTest {
 protected:
  void SetUp() override {
    TSceneTest::SetUp();
    Solid("pics/solid.png", 20, 20, 0xFF2050A0);
    Solid("pics/half.png", 20, 20, 0x80A05020);
    Solid("pics/faint.png", 20, 20, 0x03FFFFFF);
    Solid("pics/box.png", 20, 10, 0xFF3366CC);
  }

  struct Entry {
    const char* image;
    bool clickable;
    int32_t kind = SpriteKindDefault;
    const char* name = "";
  };
  // A record of the image at (10, 10), added to the window.
  void Add(TSpriteWindow& window, const Entry& entry) {
    GeneralSprite record(TString("pics/") + entry.image, 10, 10, 0, entry.kind, entry.name, 1.0f, 0);
    record.SetClickable(entry.clickable);
    window.AddSprite(record);
  }
  static TRect RectOf(const TSprite& sprite) {
    TRect rect;
    const_cast<TSprite&>(sprite).GetRect(rect, TSpriteDrawParams(), -1);
    return rect;
  }
};

TEST_F(SpriteWindowTest, TheLastClickableSpriteUnderThePointWinsUnlessAnOpaqueOneLiesInFront) {
  const int32_t Kind8 = SpriteKindClickable;
  struct Case {
    const char* what;
    std::vector<Entry> entries;
    int32_t expected;  // -1: nothing picked
  };
  const Case cases[] = {
      {"empty list", {}, -1},
      {"one clickable", {{"solid", true}}, 0},
      {"half-transparent in front", {{"solid", true}, {"half", false}}, 0},
      {"opaque in front cancels", {{"solid", true}, {"solid", false}}, -1},
      {"clickable in front of opaque", {{"solid", false}, {"solid", true}}, 1},
      {"a later clickable wins again", {{"solid", true}, {"solid", false}, {"half", true}}, 2},
      {"kind 8 without the flag", {{"solid", false, Kind8}}, 0},
      {"kind 8 never cancels", {{"solid", true}, {"solid", false, Kind8}}, 1},
      {"alpha below 5 is no hit", {{"faint", true}}, -1},
      {"alpha below 5 cancels nothing", {{"solid", true}, {"faint", false}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSpriteWindow window;
    for (const Entry& entry : c.entries) Add(window, entry);
    int32_t index = 99;
    EXPECT_EQ(window.GetSpriteAtPoint(TPoint(15, 15), index), c.expected >= 0);
    EXPECT_EQ(index, c.expected >= 0 ? c.expected : 99);
    EXPECT_FALSE(window.GetSpriteAtPoint(TPoint(35, 15), index));  // beside every sprite
  }
}

TEST_F(SpriteWindowTest, TheClickableNameIsTheFirstClickableSpriteWithAnyAlpha) {
  TSpriteWindow window;
  EXPECT_EQ(window.GetClickableNameAtPoint(TPoint(15, 15)), "");
  Add(window, {"solid", false, SpriteKindClickable, "button"});
  Add(window, {"solid", false, SpriteKindDefault, "wall"});
  EXPECT_EQ(window.GetClickableNameAtPoint(TPoint(15, 15)), "");
  Add(window, {"faint", true, SpriteKindDefault, "dust"});
  Add(window, {"solid", true, SpriteKindDefault, "key"});
  EXPECT_EQ(window.GetClickableNameAtPoint(TPoint(15, 15)), "dust");
}

TEST_F(SpriteWindowTest, SharedNamesFindTheLaterRemoveTheEarlierAndSetBoth) {
  TSpriteWindow window;
  GeneralSprite first("pics/box", 10, 10, 0, SpriteKindDefault, "twin", 1.0f, 0);
  GeneralSprite second("pics/box", 100, 50, 0, SpriteKindDefault, "twin", 1.0f, 0);
  window.AddSprite(first);
  window.AddSprite(second);
  int32_t index = -1;
  EXPECT_TRUE(window.FindSprite("twin", index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(window.GetSpritePosition("twin"), TPoint(100, 50));
  EXPECT_FALSE(window.FindSprite("Twin", index));  // names are compared exactly
  EXPECT_EQ(window.GetSpritePosition("Twin"), TPoint(-1, -1));

  window.SetSpritePosition("twin", 7.9f, -3.5f);
  window.SetSpriteVisible("twin", false);
  for (const GeneralSprite* record : {&first, &second}) {
    EXPECT_FLOAT_EQ(Translation(*record->GetCurrentSprite()).x, 7.9f);
    EXPECT_FALSE(record->GetCurrentSprite()->IsVisible());
  }
  EXPECT_EQ(window.GetSpritePosition("twin"), TPoint(7, -3));

  window.RemoveSprite("twin");
  ASSERT_EQ(window.GetSpriteCount(), 1);
  EXPECT_EQ(window.GetSprite(0).GetCurrentSprite(), second.GetCurrentSprite());
  EXPECT_EQ(first.GetCurrentSprite()->GetParent(), nullptr);
  EXPECT_EQ(second.GetCurrentSprite()->GetParent(), window.GetRootSprite().get());
}

TEST_F(SpriteWindowTest, ASpriteTurnsAboutItsPivotFromItsStoredAngle) {
  TSpriteWindow window;
  window.AddSprite(GeneralSprite("pics/box", 30, 40, 0, SpriteKindDefault, "corner", 1.0f, 0));
  window.AddSprite(GeneralSprite("pics/box", 30, 40, 1, SpriteKindDefault, "centre", 1.0f, 0));
  auto near = [](const TRect& a, const TRect& b) {
    return std::abs(a.left - b.left) <= 1 && std::abs(a.top - b.top) <= 1 && std::abs(a.right - b.right) <= 1 &&
           std::abs(a.bottom - b.bottom) <= 1;
  };
  const TSprite& corner = *window.GetSprite(0).GetCurrentSprite();
  const TSprite& centre = *window.GetSprite(1).GetCurrentSprite();
  for (int twice = 0; twice < 2; ++twice) {  // the same angle again turns no further
    window.SetSpriteRotation("corner", 90);
    window.SetSpriteRotation("centre", 90);
    EXPECT_TRUE(near(RectOf(corner), TRect(20, 40, 30, 60)));
    EXPECT_TRUE(near(RectOf(centre), TRect(35, 35, 45, 55)));
  }
  EXPECT_EQ(window.GetSprite(1).GetAngle(), 90.0f);
  window.SetSpriteRotation("corner", 0);
  window.SetSpriteRotation("centre", 0);
  EXPECT_TRUE(near(RectOf(corner), TRect(30, 40, 50, 50)));
  EXPECT_TRUE(near(RectOf(centre), TRect(30, 40, 50, 50)));
}

TEST_F(SpriteWindowTest, AnIndexOutsideTheListAnswersAnEmptyRecordInsteadOfFailing) {
  TSpriteWindow window;
  window.SetName("spriteWindow");
  for (int32_t index : {0, -1}) {
    GeneralSprite& none = window.GetSprite(index);
    EXPECT_EQ(none.GetCurrentSprite(), nullptr);
    none.SetClickable(true);  // lost
  }
  Add(window, {"solid", false});
  EXPECT_FALSE(window.GetSprite(1).IsClickable());
  EXPECT_EQ(window.GetSprite(1).GetKind(), SpriteKindDefault);
  EXPECT_EQ(window.GetSpriteCount(), 1);
  EXPECT_EQ(CountInLog("TSpriteWindow spriteWindow: no sprite at index"), 4);
}

TEST_F(SpriteWindowTest, DetachedSpritesStayListedButAreNeitherDrawnNorHit) {
  TSpriteWindow window;
  Add(window, {"solid", true, 30, "peg"});
  Add(window, {"half", true, SpriteKindDefault, "other"});
  window.DetachSpritesOfKind(30);
  EXPECT_EQ(window.GetSpriteCount(), 2);
  EXPECT_EQ(window.GetRootSprite()->GetChildren().size(), 1u);
  int32_t index = -1;
  ASSERT_TRUE(window.GetSpriteAtPoint(TPoint(15, 15), index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(window.GetClickableNameAtPoint(TPoint(15, 15)), "other");

  window.AttachSprite(window.GetSprite(0));
  window.AttachSprite(window.GetSprite(0));  // already there: stays
  ASSERT_EQ(window.GetRootSprite()->GetChildren().size(), 2u);
  EXPECT_EQ(window.GetRootSprite()->GetChildren().back(), window.GetSprite(0).GetCurrentSprite());
  ASSERT_TRUE(window.GetSpriteAtPoint(TPoint(15, 15), index));
  EXPECT_EQ(index, 1);  // list order decides, not the drawing order
}

TEST_F(SpriteWindowTest, DrawingKeepsTheCallersTwoDimensionalPassOpen) {
  TSpriteWindow window;
  Add(window, {"solid", false});
  TRenderer* renderer = TRenderer::GetInstance();
  ASSERT_TRUE(renderer->BeginDraw(false));
  ASSERT_TRUE(renderer->Begin2d());
  window.Draw();
  EXPECT_TRUE(renderer->Is2d());
  renderer->End2d();
  window.Draw();  // opens and closes a pass of its own
  EXPECT_FALSE(renderer->Is2d());
  renderer->EndDraw(false);
  EXPECT_EQ(CountInLog("Begin2d called"), 0);
  EXPECT_EQ(CountInLog("End2d called"), 0);
}

TEST_F(SpriteWindowTest, TheTextureMaskFunctionAnswersTheWindowThatBoundItLast) {
  auto first = std::make_unique<TSpriteWindow>();
  first->SetCurrentTextureMask("masks/a");
  EXPECT_EQ(Lua("gMask = GetCurrentTextureMask()"), "");
  EXPECT_EQ(Global("gMask"), "masks/a");
  auto second = std::make_unique<TSpriteWindow>();
  EXPECT_EQ(Lua("gMask = GetCurrentTextureMask()"), "");
  EXPECT_EQ(Global("gMask"), "");
  second->SetCurrentTextureMask("masks/b");
  EXPECT_EQ(Lua("gMask = GetCurrentTextureMask()"), "");
  EXPECT_EQ(Global("gMask"), "masks/b");
  // Once the window that bound the name last has gone, a call reaches neither window: it
  // does nothing and logs a line, and the script goes on.
  second.reset();
  EXPECT_EQ(Lua("gMask = GetCurrentTextureMask()"), "");
  EXPECT_EQ(Global("gMask"), "nil");
  first.reset();
  EXPECT_EQ(Lua("gMask = GetCurrentTextureMask(); gAfter = 1"), "");
  EXPECT_EQ(Global("gMask"), "nil");
  EXPECT_EQ(Global("gAfter"), "1");
  EXPECT_EQ(CountInLog("a function of a window that is gone was called"), 2);
}

}  // namespace
