// The sprite animator with its flights and glows: a flight's steps, spin and end, the end
// inside the borders, the "SetVisible" text, replaced flights, the glow's silhouette file,
// its task, and the faults around them.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "graphics/device/adapter.h"
#include "graphics/device/golden_png.h"
#include "graphics/particles/fx_sprite.h"
#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "platform/settings.h"
#include "scenes/general_sprite.h"
#include "scenes/sprite_animation_glow.h"
#include "scenes/sprite_animation_move.h"
#include "scenes/sprite_animator.h"
#include "scenes_test_util.h"

namespace {

class SpriteAnimatorTest : public TSceneTest {
 protected:
  void SetUp() override {
    TSceneTest::SetUp();
    Solid("pics/box.png", 20, 10, 0xFF3366CC);
    Disc("pics/lamp.png", 16, 0x00FFCC33);
    WriteAsset("fx/glow.lua", ReadTextFile(TString(TARVELON_SOURCE_DIR) + "/assets/fx/glow.lua"));
    SetBorders(0, 0, 1024, 768);
    SetConfig("anGlowColorRED", "10");
    SetConfig("anGlowColorGREEN", "200");
    SetConfig("anGlowColorBLUE", "30");
    SetConfig("scriptBlurFX", "fx/glow.lua");
    Build("gHidden = {} function SetVisible(name, visible) table.insert(gHidden, name) end");
    mRootSprite = TSprite::Create(0);
  }

  static void SetBorders(int left, int top, int right, int bottom) {
    SetConfig("anMoBorderLeft", TString::Printf("%d", left));
    SetConfig("anMoBorderTop", TString::Printf("%d", top));
    SetConfig("anMoBorderRight", TString::Printf("%d", right));
    SetConfig("anMoBorderBottom", TString::Printf("%d", bottom));
  }
  TSpriteAnimator& Animator() { return *TSpriteAnimator::GetInstance(); }
  // The names that reached "SetVisible", in order.
  std::vector<std::string> Hidden() {
    std::vector<std::string> names;
    for (int i = 1;; ++i) {
      Build("gOne = gHidden[" + std::to_string(i) + "]");
      if (Global("gOne") == "nil") return names;
      names.push_back(Global("gOne"));
    }
  }
  // A still sprite of the image under the root sprite, centred on (x, y).
  std::shared_ptr<TSprite> Centred(const char* image, float x, float y) {
    auto sprite = TSprite::Create(0, TTexture::Get(image));
    sprite->GetDrawParams().matrix.m[2] = TVec3(x, y, 1);
    mRootSprite->AddChild(sprite);
    return sprite;
  }
  // A game sprite's engine sprite under the root sprite.
  std::shared_ptr<TSprite> Placed(const char* image, int32_t x, int32_t y) {
    std::shared_ptr<TSprite> sprite = GeneralSprite(image, x, y, 0, SpriteKindDefault, "", 1.0f, 0).GetCurrentSprite();
    mRootSprite->AddChild(sprite);
    return sprite;
  }
  bool Listed(const TTask* task) { return mHost->frameTasks.Contains(task); }

  std::shared_ptr<TSprite> mRootSprite;
};

TEST_F(SpriteAnimatorTest, AFlightStepsTowardItsTargetSpinningAndEndsOnItByHidingTheObject) {
  auto key = Centred("pics/box", 100, 100);
  auto other = Centred("pics/box", 50, 50);
  Animator().AddMove(key, 400, 500, 100, "key", true, true);
  EXPECT_EQ(mRootSprite->GetChildren().back(), key);  // brought to the front
  EXPECT_EQ(Animator().GetMove(key.get())->GetStartX(), 90);
  for (int step = 1; step <= 5; ++step) {
    Animator().Update();
    SCOPED_TRACE(step);
    EXPECT_FLOAT_EQ(Translation(*key).x, 100.0f + 60 * step);
    EXPECT_FLOAT_EQ(Translation(*key).y, 100.0f + 80 * step);
    const TMat3& m = key->GetDrawParams().matrix;
    EXPECT_NEAR(m.m[0].x, std::cos(1.5f * step), 1e-4);
    EXPECT_NEAR(m.m[0].y, std::sin(1.5f * step), 1e-4);
    EXPECT_TRUE(Hidden().empty());
  }
  Animator().Update();
  EXPECT_EQ(Animator().GetMoveCount(), 0u);
  EXPECT_EQ(Hidden(), std::vector<std::string>{"key"});
  EXPECT_EQ(key->GetParent(), mRootSprite.get());  // without a glow the sprite stays
  EXPECT_FLOAT_EQ(Translation(*other).x, 50.0f);
}

TEST_F(SpriteAnimatorTest, ASpritePlacedByItsCornerFliesWithItsCentreWithoutAJump) {
  auto box = Placed("pics/box", 100, 100);
  Animator().AddMove(box, 300, 100, 50, "box", false, true);
  Animator().Update();
  EXPECT_EQ(box->GetDrawParams().flags, 0u);
  // The centre (110, 105) took the first step of 50 toward (300, 100).
  EXPECT_FLOAT_EQ(Translation(*box).x, 160.0f);
  EXPECT_FLOAT_EQ(Translation(*box).y, 104.0f);
  for (int i = 0; i < 10 && Animator().GetMoveCount() > 0; ++i) Animator().Update();
  EXPECT_EQ(Animator().GetMoveCount(), 0u);
  EXPECT_FLOAT_EQ(Translation(*box).x, 300.0f);
  EXPECT_FLOAT_EQ(Translation(*box).y, 100.0f);
}

TEST_F(SpriteAnimatorTest, AFlightEndsAtOnceOutsideTheBorderRectangle) {
  struct Case {
    const char* what;
    int left, top, right, bottom;
  };
  for (const Case& c : {Case{"no borders set", 0, 0, 0, 0}, Case{"on the left border", 100, 0, 1024, 768},
                        Case{"below the bottom", 0, 0, 1024, 99}}) {
    SCOPED_TRACE(c.what);
    SetBorders(c.left, c.top, c.right, c.bottom);
    auto box = Centred("pics/box", 100, 100);
    Animator().AddMove(box, 400, 400, 10, c.what, false, true);
    Animator().Update();
    EXPECT_EQ(Animator().GetMoveCount(), 0u);
    EXPECT_FLOAT_EQ(Translation(*box).x, 100.0f);
    EXPECT_EQ(Hidden().back(), c.what);
  }
}

TEST_F(SpriteAnimatorTest, AFlightOfSpeedZeroLandsInOneStepInsteadOfNeverEnding) {
  auto box = Centred("pics/box", 100, 100);
  Animator().AddMove(box, 300, 200, 0, "box", false, true);
  Animator().Update();
  EXPECT_FLOAT_EQ(Translation(*box).x, 300.0f);
  EXPECT_FLOAT_EQ(Translation(*box).y, 200.0f);
  Animator().Update();
  EXPECT_EQ(Animator().GetMoveCount(), 0u);
  EXPECT_EQ(CountInLog("TSpriteAnimationMove box: speed 0; the sprite lands at once"), 1);
}

TEST_F(SpriteAnimatorTest, AQuoteInTheNameReachesSetVisibleIntact) {
  const std::string name = "Omas 'alter' \"Brief\"\\\n";
  auto box = Centred("pics/box", 100, 100);
  Animator().AddMove(box, 100, 100, 5, name.c_str(), false, true);
  Animator().Update();
  EXPECT_EQ(Hidden(), std::vector<std::string>{name});
}

TEST_F(SpriteAnimatorTest, ASecondFlightOfTheSameSpriteReplacesAndDeletesTheFirst) {
  auto box = Centred("pics/box", 100, 100);
  long held = box.use_count();
  Animator().AddMove(box, 400, 100, 10, "first", false, true);
  EXPECT_EQ(box.use_count(), held + 1);
  Animator().AddMove(box, 100, 400, 10, "second", false, true);
  EXPECT_EQ(box.use_count(), held + 1);  // the first flight let the sprite go
  EXPECT_EQ(Animator().GetMoveCount(), 1u);
  EXPECT_EQ(Animator().GetMove(box.get())->GetSpriteName(), "second");
}

TEST_F(SpriteAnimatorTest, AGlowWritesTheSilhouetteInTheGlowColourAndHangsItsEffectBelowTheSprite) {
  auto lamp = Placed("pics/lamp", 40, 30);
  Animator().AddGlow(lamp, mRootSprite, 0);
  TSpriteAnimationGlow* glow = Animator().GetGlow(lamp.get());
  ASSERT_NE(glow, nullptr);
  EXPECT_EQ(glow->GetMaskName(), "user:pics/lamp_mask.png");

  std::vector<uint32_t> mask, source;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(ReadGoldenPng(UserFile("pics/lamp_mask.png").ToStd(), mask, width, height));
  ASSERT_EQ(width, 16u);
  ASSERT_EQ(height, 16u);
  ASSERT_TRUE(ReadGoldenPng((mRoot / "assets/pics/lamp.png").ToStd(), source, width, height));
  int coloured = 0;
  for (size_t i = 0; i < mask.size(); ++i) {
    ASSERT_EQ(mask[i] >> 24, source[i] >> 24) << i;
    if (mask[i] >> 24) {
      ASSERT_EQ(mask[i] & 0xFFFFFF, 0x0AC81Eu) << i;
      ++coloured;
    }
  }
  EXPECT_GT(coloured, 100);

  std::shared_ptr<TFxSprite> effect = glow->GetEffect();
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->GetParent(), lamp.get());
  EXPECT_EQ(effect->GetLayer(), -1);
  EXPECT_FLOAT_EQ(Translation(*effect).x, 8.0f);  // the picture's middle
  EXPECT_FLOAT_EQ(Translation(*effect).y, 8.0f);
  EXPECT_EQ(effect->GetSpec(), "fx/glow.lua");

  Animator().AddGlow(lamp, mRootSprite, 0);  // a second glow keeps the first
  EXPECT_EQ(Animator().GetGlow(lamp.get()), glow);
  EXPECT_EQ(Animator().GetGlowCount(), 1u);
}

TEST_F(SpriteAnimatorTest, AGlowThatGoesTakesItsEffectAndItsTaskAlong) {
  auto lamp = Placed("pics/lamp", 40, 30);
  auto task = std::make_unique<TFxSpriteAnimTask>();
  const TTask* handle = task.get();
  Animator().AddGlow(lamp, mRootSprite, 0, std::move(task));
  ASSERT_TRUE(Listed(handle));
  std::shared_ptr<TFxSprite> effect = Animator().GetGlow(lamp.get())->GetEffect();
  Animator().RemoveAnimation(lamp);
  EXPECT_EQ(Animator().GetGlowCount(), 0u);
  EXPECT_FALSE(Listed(handle));
  EXPECT_EQ(effect->GetParent(), nullptr);
  RunFrameTasks();
}

TEST_F(SpriteAnimatorTest, TheSilhouetteIsWrittenOncePerImageAndColour) {
  auto lamp = Placed("pics/lamp", 40, 30);
  Animator().AddGlow(lamp, mRootSprite, 0);
  WriteTextFile(UserFile("pics/lamp_mask.png"), "kept");
  for (int hover = 0; hover < 3; ++hover) {
    Animator().RemoveAnimation(lamp);
    Animator().AddGlow(lamp, mRootSprite, 0);
  }
  EXPECT_EQ(ReadTextFile(UserFile("pics/lamp_mask.png")), "kept");
  SetConfig("anGlowColorRED", "255");
  Animator().RemoveAnimation(lamp);
  Animator().AddGlow(lamp, mRootSprite, 0);
  std::vector<uint32_t> mask;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(ReadGoldenPng(UserFile("pics/lamp_mask.png").ToStd(), mask, width, height));
  EXPECT_EQ(mask[8 * 16 + 8], 0xFFFFC81Eu);
}

TEST_F(SpriteAnimatorTest, MaskNamesDropOnlyTheExtensionWhateverTheNamesLength) {
  struct Case {
    const char* image;
    const char* mask;
  };
  for (const Case& c : {Case{"objects/key.png", "user:objects/key_mask.png"}, Case{"b.png", "user:b_mask.png"},
                        Case{"ab", "user:ab_mask.png"}, Case{"", "user:_mask.png"},
                        Case{"dir.v2/name", "user:dir.v2/name_mask.png"}})
    EXPECT_EQ(TSpriteAnimationGlow::MaskFileName(c.image), c.mask) << c.image;
}

TEST_F(SpriteAnimatorTest, AGlowWhoseRenderTargetCannotBeMadeShowsNothingAndRunsNoTask) {
  auto box = Placed("pics/box", 40, 30);
  SoftAdapter(0)->FailNext(TDevCall::CreateSurface, DDERR_GENERIC, -1);
  auto task = std::make_unique<TFxSpriteAnimTask>();
  const TTask* handle = task.get();
  Animator().AddGlow(box, mRootSprite, 0, std::move(task));
  SoftAdapter(0)->ClearFaults();
  TSpriteAnimationGlow* glow = Animator().GetGlow(box.get());
  ASSERT_NE(glow, nullptr);  // kept, so that it is not tried again on every frame
  EXPECT_EQ(glow->GetEffect(), nullptr);
  EXPECT_FALSE(Listed(handle));
  EXPECT_TRUE(box->GetChildren().empty());
  EXPECT_EQ(CountInLog("TSpriteAnimationGlow: no render target of 20x10 for user:pics/box_mask.png"), 1);
}

TEST_F(SpriteAnimatorTest, AFlownSpriteThatGlowsLeavesItsParentAndLosesItsGlowWhenTheFlightEnds) {
  auto lamp = Placed("pics/lamp", 40, 30);
  Animator().AddGlow(lamp, mRootSprite, 0);
  std::shared_ptr<TFxSprite> effect = Animator().GetGlow(lamp.get())->GetEffect();
  Animator().AddMove(lamp, 48, 38, 20, "lamp", true, true);  // its centre is on the target
  Animator().Update();
  Animator().Update();
  EXPECT_EQ(Animator().GetMoveCount(), 0u);
  EXPECT_EQ(Animator().GetGlowCount(), 0u);
  EXPECT_EQ(lamp->GetParent(), nullptr);
  EXPECT_EQ(effect->GetParent(), nullptr);
  EXPECT_EQ(Hidden(), std::vector<std::string>{"lamp"});
}

TEST_F(SpriteAnimatorTest, RemoveAllEndsEveryFlightAndGlowWithoutHidingAnything) {
  auto lamp = Placed("pics/lamp", 40, 30);
  auto box = Centred("pics/box", 100, 100);
  Animator().AddGlow(lamp, mRootSprite, 0);
  Animator().AddMove(box, 400, 100, 10, "box", false, true);
  Animator().RemoveAll();
  EXPECT_EQ(Animator().GetMoveCount(), 0u);
  EXPECT_EQ(Animator().GetGlowCount(), 0u);
  EXPECT_TRUE(lamp->GetChildren().empty());
  Animator().Update();
  EXPECT_TRUE(Hidden().empty());
  EXPECT_EQ(lamp->GetParent(), mRootSprite.get());
}

}  // namespace
