// The sprite tree on the software display: a golden frame of a tree with layers, tints,
// rotation and scaling, and pixel hit tests that follow the drawn alpha.
//
// Regenerate the golden image (then look at it before committing):
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/sprite_tests --gtest_filter='SpriteDraw.*Golden*'

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/device/golden_png.h"
#include "graphics/display/display_rig.h"
#include "graphics/renderer.h"
#include "graphics/sprites/sprite.h"
#include "graphics/sprites/sprite_test_util.h"
#include "platform/settings.h"

namespace {

constexpr uint32_t Width = 160, Height = 120;
constexpr uint32_t Background = 0xFF203040u;

TSpriteDrawParams At(float x, float y, float scale = 1.0f, float alpha = 1.0f, uint32_t flags = 0) {
  return TSpriteDrawParams(TVec2(x, y), alpha, scale, flags);
}

class SpriteDraw : public ::testing::Test {
 protected:
  SpriteDraw() { mRig.Window(Width, Height); }

  void DrawFrame(const std::shared_ptr<TSprite>& root) {
    FillBack(mRig.Display(), Background);
    TRenderer* renderer = TRenderer::GetInstance();
    ASSERT_TRUE(renderer->BeginDraw(false));
    ASSERT_TRUE(renderer->Begin2d());
    root->Draw(At(0, 0), -1);
    renderer->End2d();
    renderer->EndDraw(false);
  }
  std::vector<uint32_t> Frame() const {
    std::vector<uint32_t> pixels;
    for (uint32_t y = 0; y < Height; ++y)
      for (uint32_t x = 0; x < Width; ++x) pixels.push_back(mRig.Back(x, y) | 0xFF000000u);
    return pixels;
  }

  TDisplayRig mRig;
};

// A soft-edged disc, light in the middle.
uint32_t Disc(uint32_t x, uint32_t y) {
  float dx = float(x) - 11.5f, dy = float(y) - 11.5f, d = std::sqrt(dx * dx + dy * dy);
  float a = std::clamp(12.0f - d, 0.0f, 1.0f);
  uint32_t shade = uint32_t(255 - std::min(d * 6.0f, 120.0f));
  return uint32_t(a * 255) << 24 | shade << 16 | shade << 8 | shade;
}

// An orange bar with a transparent notch and a darker right end.
uint32_t Bar(uint32_t x, uint32_t y) {
  if (x >= 12 && x < 16 && y < 4) return 0;
  return x >= 28 ? 0xFF803000u : 0xFFF08020u;
}

// A checker whose light squares are half transparent.
uint32_t Checker(uint32_t x, uint32_t y) { return ((x / 4 + y / 4) % 2) ? 0x80E0E0E0u : 0xFF404040u; }

TEST_F(SpriteDraw, TreeWithLayersTintsRotationAndScalingMatchesGolden) {
  auto disc = PaintTexture(24, 24, Disc), bar = PaintTexture(32, 8, Bar), checker = PaintTexture(16, 16, Checker);
  ASSERT_TRUE(disc && bar && checker);

  auto root = TSprite::Create(0);
  root->SetDrawParams(At(80, 60));

  auto back = TSprite::Create(-1, checker);  // behind everything, turned and tinted blue
  back->SetDrawParams(At(0, 0, 3.0f));
  back->GetDrawParams().matrix.Rotate(0.3f);
  back->GetDrawParams().colour = TColor{0.5f, 0.8f, 1.0f, 1};
  root->AddChild(back);

  auto redDisc = TSprite::Create(0, disc);  // tinted red, a little transparent
  redDisc->SetDrawParams(At(-40, -20, 1.0f, 0.8f));
  redDisc->GetDrawParams().colour = TColor{1, 0.3f, 0.3f, 1};
  auto small = TSprite::Create(-1, disc);  // behind its parent, half size, half alpha
  small->SetDrawParams(At(14, 14, 0.5f, 0.5f));
  redDisc->AddChild(small);
  root->AddChild(redDisc);

  // Two bars on one layer: the one added later lies on top.
  auto barA = TSprite::Create(1, bar);
  barA->SetDrawParams(At(20, 0, 1.5f));
  barA->GetDrawParams().matrix.Rotate(float(M_PI / 4));
  auto barB = TSprite::Create(1, bar);
  barB->SetDrawParams(At(26, 8, 1.0f, 1.0f, SpriteMirrorX));
  barB->GetDrawParams().colour = TColor{0.3f, 1, 0.3f, 1};
  root->AddChild(barA);
  root->AddChild(barB);

  // Placed by its top-left corner, only its top-left quarter drawn.
  auto corner = TSprite::Create(2, checker);
  corner->SetDrawParams(At(50, 30, 2.0f, 1.0f, SpriteAnchored | SpriteSourceRect));
  corner->GetDrawParams().sourceRect = TRect(0, 0, 8, 8);
  root->AddChild(corner);

  DrawFrame(root);
  EXPECT_EQ(MatchGolden("sprites/sprite_tree.png", Frame(), Width, Height), "");
  // Spot checks that hold whatever the golden image says: the later bar covers the
  // earlier one where both lie, the background shows where nothing is drawn.
  EXPECT_EQ(mRig.Back(2, 2) | 0xFF000000u, Background);
}

class SpriteHitTest : public SpriteDraw {
 protected:
  SpriteHitTest() {
    // Columns 0-1 transparent, 2-3 half, 4-7 opaque.
    mTexture = PaintTexture(8, 8, [](uint32_t x, uint32_t) { return (x < 2 ? 0u : x < 4 ? 0x80u : 0xFFu) << 24 | 0x3060A0u; });
    mSprite = TSprite::Create(0, mTexture);
    mSprite->SetDrawParams(At(20, 20));  // box (16, 16)-(24, 24)
  }
  bool Hit(int x, int y, int threshold) { return mSprite->HitTest(TPoint(x, y), threshold, At(0, 0), -1); }

  std::shared_ptr<TTexture> mTexture;
  std::shared_ptr<TSprite> mSprite;
};

TEST_F(SpriteHitTest, PixelTestFollowsTheAlpha) {
  struct TCase {
    int column, threshold;
    bool hit;
  } cases[] = {
      {0, 1, false}, {0, 0, true},    {2, 1, true},   {2, 128, true}, {2, 129, false},
      {6, 255, true}, {6, 1, true},   {0, -1, true},  {-1, 0, false}, {8, 0, false},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(Hit(16 + c.column, 19, c.threshold), c.hit) << "column " << c.column << " threshold " << c.threshold;
}

TEST_F(SpriteHitTest, PixelTestSeesAlphaRotationAndChildren) {
  mSprite->GetDrawParams().alpha = 0.5f;
  EXPECT_TRUE(Hit(22, 19, 120));
  EXPECT_FALSE(Hit(22, 19, 200));
  mSprite->GetDrawParams().alpha = 1.0f;

  // Turned by 45 degrees the box grows; its corners are not on the sprite.
  mSprite->GetDrawParams().matrix.Rotate(float(M_PI / 4));
  EXPECT_TRUE(Hit(15, 20, -1));
  EXPECT_TRUE(Hit(22, 20, 255));
  EXPECT_FALSE(Hit(23, 23, 1));

  // A parent without a texture is hit through its children's pixels.
  SetConfig("hittestchildren", "1");
  auto parent = TSprite::Create(0);
  auto child = TSprite::Create(0, mTexture);
  child->SetDrawParams(At(40, 40));
  parent->AddChild(child);
  EXPECT_TRUE(parent->HitTest(TPoint(42, 40), 255, At(0, 0), -1));
  EXPECT_FALSE(parent->HitTest(TPoint(36, 40), 1, At(0, 0), -1));
}

TEST_F(SpriteHitTest, RectangleTestRendersNothingAndTheTargetGoesWithTheLastSprite) {
  FillBack(mRig.Display(), 0xFF112233u);
  size_t assets = mRig.assets.Size();
  EXPECT_TRUE(Hit(16, 16, -1));
  EXPECT_EQ(mRig.Back(1, 1), 0xFF112233u);  // no render-target block ran
  EXPECT_EQ(mRig.assets.Size(), assets);

  EXPECT_TRUE(Hit(20, 20, 0));
  EXPECT_EQ(mRig.assets.Size(), assets + 1);  // the shared 4x4 target
  EXPECT_TRUE(Hit(20, 20, 0));
  EXPECT_EQ(mRig.assets.Size(), assets + 1);  // reused

  ASSERT_EQ(TSprite::GetLiveCount(), 1);
  mSprite.reset();
  EXPECT_EQ(GetConfig("current_sprite_count"), "0");
  EXPECT_EQ(mRig.assets.Size(), assets);  // released with the last sprite
  mSprite = TSprite::Create(0, mTexture);
  mSprite->SetDrawParams(At(20, 20));
  EXPECT_TRUE(Hit(20, 20, 255));  // and made again
}

}  // namespace
