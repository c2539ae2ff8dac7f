// A frame of sprites drawn through the renderer matches the stored image: a PNG with
// alpha, a JPEG with its ".mask.png", and JPEG-2000 images, tinted, scaled, rotated,
// mirrored and cut to a source rectangle, over a checkered background; and a sprite
// shrinking to a tenth, with and without mipmaps. Regenerate with:
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/graphics_tests --gtest_filter='SpriteGolden.*'
#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/codecs/image_codecs.h"
#include "graphics/device/golden_png.h"
#include "graphics/display/display_rig.h"
#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "platform/settings.h"

namespace {

constexpr uint32_t Width = 160, Height = 120;

void Checker(TRenderer& renderer) {
  renderer.SetBlendMode(1);
  for (int y = 0; y < int(Height); y += 16)
    for (int x = 0; x < int(Width); x += 16) {
      float shade = ((x + y) / 16) % 2 ? 0.55f : 0.35f;
      renderer.FillRect(TRect(x, y, x + 16, y + 16), TColor{shade, shade, shade + 0.05f, 1});
    }
  renderer.SetBlendMode(0);
}

}  // namespace

TEST(SpriteGolden, PngJpegWithMaskAndJpeg2000DrawnAsSprites) {
  TDisplayRig rig;
  rig.Window(Width, Height);
  SetConfig("automergemask", "1");
  TRenderer& renderer = *TRenderer::GetInstance();
  renderer.PushClipRect(TRect(0, 0, Width, Height));
  std::shared_ptr<TTexture> disc = TTexture::Get(GraphicsFixture("sprite_alpha.png"));
  std::shared_ptr<TTexture> photo = TTexture::Get(GraphicsFixture("sprite_photo.jpg"));
  std::shared_ptr<TTexture> tile = TTexture::Get(GraphicsFixture("rgba.jp2"));
  std::shared_ptr<TTexture> opaque = TTexture::Get(GraphicsFixture("image.jp2"));
  ASSERT_TRUE(disc && photo && tile && opaque);
  ASSERT_TRUE(disc->HasAlpha() && photo->HasAlpha() && tile->HasAlpha());
  EXPECT_FALSE(opaque->HasAlpha());

  ASSERT_TRUE(renderer.BeginDraw(false));
  {
    TScoped2d block;
    ASSERT_TRUE(block.Entered());
    Checker(renderer);
    disc->Draw(30, 30, 1, 1, 0, 0);
    TSpriteDrawParams tinted(TVec2(118, 40), 0.8f, 2, 0);
    tinted.matrix.Rotate(0.3f);
    tinted.colour = TColor{1, 0.5f, 0.5f, 1};
    disc->DrawSprite(tinted);
    photo->Draw(45, 85, 1, 1, 0, 0);
    TSpriteDrawParams mirrored(TVec2(72, 50), 1, 1, SpriteAnchored | SpriteMirrorX);
    photo->DrawSprite(mirrored);
    TSpriteDrawParams cut(TVec2(140, 96), 1, 1, SpriteSourceRect);
    cut.sourceRect = TRect(8, 4, 24, 20);
    photo->DrawSprite(cut);
    renderer.SetTextureFilter(0);
    tile->Draw(130, 60, 1, 4, 0, SpriteMirrorY);
    TSpriteDrawParams additive(TVec2(20, 100), 1, 3, 0);
    additive.blendMode = 2;
    opaque->DrawSprite(additive);
  }
  renderer.EndDraw(true);
  ASSERT_EQ(rig.host.presenter->ShownWidth(), Width);
  EXPECT_EQ(MatchGolden("graphics/sprites.png", rig.host.presenter->Shown(), Width, Height), "");
}

// Regression: the "mipmap" option was ignored, so a sprite drawn far below its size read
// scattered texels of its full image and shimmered as it moved or shrank. The top row
// shrinks a mip-mapped checker of 4-texel squares from its full size to a tenth, the
// bottom row the same image without mipmaps.
TEST(SpriteGolden, ASpriteShrinkingToATenthReadsItsMipLevels) {
  constexpr uint32_t FrameWidth = 200, FrameHeight = 180, Side = 80;
  TDisplayRig rig;
  rig.Window(FrameWidth, FrameHeight);
  TRenderer& renderer = *TRenderer::GetInstance();
  renderer.PushClipRect(TRect(0, 0, FrameWidth, FrameHeight));
  std::vector<uint32_t> checker(Side * Side);
  for (uint32_t y = 0; y < Side; ++y)
    for (uint32_t x = 0; x < Side; ++x) checker[y * Side + x] = (x / 4 + y / 4) % 2 ? 0xFFF0E0A0 : 0xFF203080;
  ASSERT_TRUE(SavePngImage("user:checker.png", checker.data(), Side, Side, Side * 4));
  std::shared_ptr<TTexture> mipped = TTexture::Get("user:checker.png", TextureGetMipMap);
  std::shared_ptr<TTexture> plain = TTexture::Get("user:checker.png");
  ASSERT_TRUE(mipped && plain);

  const float scales[] = {1.0f, 0.5f, 0.3f, 0.2f, 0.1f};
  ASSERT_TRUE(renderer.BeginDraw(false));
  {
    TScoped2d block;
    renderer.SetBlendMode(1);
    renderer.FillRect(TRect(0, 0, FrameWidth, FrameHeight), TColor{0.3f, 0.3f, 0.3f, 1});
    renderer.SetBlendMode(0);
    float x = 0;
    for (float scale : scales) {
      x += Side * scale / 2 + 4;
      mipped->Draw(x, 45, 1, scale, 0, 0);
      plain->Draw(x, 135, 1, scale, 0, 0);
      x += Side * scale / 2;
    }
  }
  renderer.EndDraw(true);
  EXPECT_EQ(MatchGolden("graphics/mipmaps.png", rig.host.presenter->Shown(), FrameWidth, FrameHeight), "");
  // At a tenth the mip-mapped sprite is an even mix of its two colours; the plain one
  // still shows whole squares of each.
  auto spread = [&](uint32_t centreY) {
    int low = 255, high = 0;
    for (uint32_t y = centreY - 2; y <= centreY + 2; ++y)
      for (uint32_t x = 182; x <= 186; ++x) {
        int green = int((rig.Shown(x, y) >> 8) & 0xFF);
        low = std::min(low, green);
        high = std::max(high, green);
      }
    return high - low;
  };
  EXPECT_LT(spread(45), 40);
  EXPECT_GT(spread(135), 150);
}
