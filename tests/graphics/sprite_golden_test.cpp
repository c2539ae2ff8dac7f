// A frame of sprites drawn through the renderer matches the stored image: a PNG with
// alpha, a JPEG with its ".mask.png", and JPEG-2000 images, tinted, scaled, rotated,
// mirrored and cut to a source rectangle, over a checkered background. Regenerate with:
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/graphics_tests --gtest_filter='SpriteGolden.*'
#include <gtest/gtest.h>

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
