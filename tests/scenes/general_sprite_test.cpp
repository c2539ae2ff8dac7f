// Game sprites: still and animated records, their placement by pivot, shared engine
// sprites between copies, and an image that does not load.

#include <gtest/gtest.h>

#include "graphics/sprites/anim_sprite.h"
#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "scenes/general_sprite.h"
#include "scenes_test_util.h"

namespace {

class GeneralSpriteTest : public TSceneTest {
 protected:
  void SetUp() override {
    TSceneTest::SetUp();
    Solid("pics/box.png", 20, 10, 0xFF3366CC);
  }
  // "anims/lamp": an animation of two 16 x 16 frames.
  void WriteLamp() {
    Solid("anims/lamp.png", 32, 16, 0xFFFFCC00);
    WriteAsset("anims/lamp.xml",
               "<sequence name=\"lamp\"><img name=\"lamp.png\"/><framelist><frame w=\"16\" h=\"16\"/>"
               "<frame x=\"16\" w=\"16\" h=\"16\"/></framelist></sequence>");
  }
};

TEST_F(GeneralSpriteTest, AStillImagePutsItsTopLeftCornerOnThePointWhateverThePivot) {
  struct Case {
    int32_t pivot;
    TVec2 translation, anchor;
  };
  for (const Case& c : {Case{0, {30, 40}, {0, 0}}, Case{1, {40, 45}, {10, 5}}, Case{2, {50, 50}, {20, 10}},
                        Case{7, {30, 40}, {0, 0}}}) {
    GeneralSprite record("pics/box", 30, 40, c.pivot, SpriteKindHiddenObject, "box", 1.0f, 5);
    SCOPED_TRACE(c.pivot);
    ASSERT_FALSE(record.IsAnimated());
    std::shared_ptr<TSprite> sprite = record.GetCurrentSprite();
    ASSERT_TRUE(sprite && sprite->GetTexture());
    EXPECT_EQ(sprite->GetLayer(), 0);  // the layer is an animated sprite's only
    EXPECT_EQ(sprite->GetDrawParams().flags, SpriteAnchored);
    EXPECT_FLOAT_EQ(Translation(*sprite).x, c.translation.x);
    EXPECT_FLOAT_EQ(Translation(*sprite).y, c.translation.y);
    EXPECT_FLOAT_EQ(sprite->GetDrawParams().anchor.x, c.anchor.x);
    EXPECT_FLOAT_EQ(sprite->GetDrawParams().anchor.y, c.anchor.y);
    TRect rect;
    sprite->GetRect(rect, TSpriteDrawParams(), -1);
    EXPECT_EQ(rect, TRect(30, 40, 50, 50));
    EXPECT_EQ(record.GetName(), "box");
    EXPECT_EQ(record.GetKind(), SpriteKindHiddenObject);
    EXPECT_FALSE(record.IsClickable() || record.GetUserFlag() || record.GetSpareFlag());
    EXPECT_EQ(record.GetAngle(), 0.0f);
  }
}

TEST_F(GeneralSpriteTest, AnImageThatDoesNotLoadLeavesAnEmptyStillSpriteOfNoSize) {
  GeneralSprite record("pics/missing", 30, 40, 1, SpriteKindDefault, "ghost", 1.0f, 0);
  ASSERT_FALSE(record.IsAnimated());
  std::shared_ptr<TSprite> sprite = record.GetCurrentSprite();
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->GetTexture(), nullptr);
  EXPECT_FLOAT_EQ(Translation(*sprite).x, 30);  // a pivot of 0 x 0
  EXPECT_FLOAT_EQ(Translation(*sprite).y, 40);
  EXPECT_EQ(CountInLog("GeneralSprite ghost: image pics/missing does not load"), 1);
}

TEST_F(GeneralSpriteTest, AnAnimationAssetOfTheNameMakesAPlayingAnimatedSprite) {
  WriteLamp();
  GeneralSprite record("anims/lamp", 10, 20, 1, SpriteKindDefault, "lamp", 1.0f, 3);
  ASSERT_TRUE(record.IsAnimated());
  auto sprite = std::dynamic_pointer_cast<TAnimatedSprite>(record.GetCurrentSprite());
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->GetLayer(), 3);
  EXPECT_TRUE(sprite->IsPlaying(0));
  EXPECT_EQ(record.GetTexture(), nullptr);
  EXPECT_FLOAT_EQ(Translation(*sprite).x, 18);  // measured by its frame: 16 x 16
  EXPECT_FLOAT_EQ(Translation(*sprite).y, 28);
}

TEST_F(GeneralSpriteTest, CopiesShareTheEngineSpriteButNotTheFlags) {
  GeneralSprite source("pics/box", 0, 0, 0, SpriteKindDefault, "box", 1.0f, 0);
  GeneralSprite copy = source;
  copy.SetClickable(true);
  copy.SetSpareFlag(true);
  copy.GetCurrentSprite()->GetDrawParams().matrix.m[2].x = 77;
  EXPECT_FALSE(source.IsClickable());
  EXPECT_FALSE(source.GetSpareFlag());
  EXPECT_FLOAT_EQ(Translation(*source.GetCurrentSprite()).x, 77);
  copy.SetAlpha(0.25f);
  EXPECT_FLOAT_EQ(source.GetCurrentSprite()->GetDrawParams().alpha, 0.25f);
}

TEST_F(GeneralSpriteTest, SetSpriteFromFillsThePointerOfTheOtherRecordsKindOnly) {
  WriteLamp();
  GeneralSprite animated("anims/lamp", 0, 0, 0, SpriteKindDefault, "lamp", 1.0f, 0);
  GeneralSprite still("pics/box", 0, 0, 0, SpriteKindDefault, "box", 1.0f, 0);
  GeneralSprite otherStill("pics/box", 5, 5, 0, SpriteKindDefault, "box2", 1.0f, 0);
  ASSERT_TRUE(animated.IsAnimated());

  std::shared_ptr<TSprite> own = still.GetCurrentSprite();
  still.SetSpriteFrom(animated);
  EXPECT_EQ(still.GetCurrentSprite(), own);  // still uses its still sprite
  still.SetSpriteFrom(otherStill);
  EXPECT_EQ(still.GetCurrentSprite(), otherStill.GetCurrentSprite());
  std::shared_ptr<TSprite> lamp = animated.GetCurrentSprite();
  animated.SetSpriteFrom(otherStill);
  EXPECT_EQ(animated.GetCurrentSprite(), lamp);
}

}  // namespace
