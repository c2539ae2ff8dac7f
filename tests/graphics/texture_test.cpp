// Textures: the cache and its keys, load options and the probing of extensions, masks,
// surface sizes and borders, the size limit, drawing as a quad, blits and saving.
#include <gtest/gtest.h>

#include <cinttypes>

#include "graphics/codecs/image_codecs.h"
#include "graphics/display/display_rig.h"
#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "platform/file.h"
#include "platform/settings.h"

namespace {

// An image written into the rig's "user:" folder.
void WriteImage(const char* name, uint32_t width, uint32_t height, uint32_t argb) {
  std::vector<uint32_t> pixels(size_t(width) * height, argb);
  TString file = TString("user:") + name;
  ASSERT_TRUE(TString(name).Find(".jpg") >= 0 ? SaveJpegImage(file, 0.95f, width, height, width * 4, pixels.data())
                                               : SavePngImage(file, pixels.data(), width, height, width * 4));
}

class Textures : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Window(320, 240);
    TRenderer::GetInstance()->PushClipRect(TRect(0, 0, 320, 240));
  }
  TDisplayRig rig;
};

}  // namespace

TEST_F(Textures, CacheKeysFollowTheFlags) {
  TString name = GraphicsFixture("rgba.png");
  std::shared_ptr<TTexture> plain = TTexture::Get(name);
  ASSERT_TRUE(plain);
  EXPECT_EQ(TTexture::Get(name), plain);
  EXPECT_EQ(plain->GetCacheName(), name + ":tex");
  EXPECT_TRUE(plain->HasAlpha());  // the file has alpha
  std::shared_ptr<TTexture> alpha = TTexture::Get(name, TextureGetAlpha | TextureGetMipMap);
  EXPECT_NE(alpha, plain);
  EXPECT_EQ(alpha->GetCacheName(), name + ":a:m:tex");
  std::shared_ptr<TTexture> opaque = TTexture::Get(GraphicsFixture("rgba.jp2"), TextureGetNoAlpha);
  ASSERT_TRUE(opaque);
  EXPECT_FALSE(opaque->HasAlpha());
  EXPECT_EQ(TTexture::GetPlain(name)->GetCacheName(), name + ":s:tex");
  EXPECT_TRUE(TTexture::GetPlain(name)->IsSimple());
  EXPECT_EQ(TTexture::CastFromAsset(rig.assets.GetAsset(name + ":tex")), plain);
  EXPECT_FALSE(TTexture::Get(GraphicsFixture("png_cut_data.png")));
  EXPECT_FALSE(TTexture::Get(GraphicsFixture("palette.pal")));

  std::shared_ptr<TTexture> target = TTexture::CreateRenderTarget(8, 8, false);
  TString key = target->GetCacheName();
  EXPECT_EQ(key, TString::Printf("%" PRIxPTR ":tex:r", reinterpret_cast<uintptr_t>(target.get())));
  EXPECT_EQ(rig.assets.GetAsset(key), target);
  size_t entries = rig.assets.Size();
  target.reset();
  EXPECT_EQ(rig.assets.Size(), entries - 1);
}

TEST_F(Textures, NamesWithoutExtensionProbePngJpgJp2AndOptionsSetFlags) {
  WriteImage("door.jpg", 4, 4, 0xFF00FF00);
  std::shared_ptr<TTexture> door = TTexture::Get("user:door?alpha");
  ASSERT_TRUE(door);
  EXPECT_EQ(door->GetFullName(), "user:door.jpg");
  EXPECT_TRUE(door->HasAlpha());
  WriteImage("door.png", 2, 2, 0xFFFF0000);
  std::shared_ptr<TTexture> png = TTexture::Get("user:door?mipmap");
  ASSERT_TRUE(png);
  EXPECT_EQ(png->GetFullName(), "user:door.png");
  EXPECT_TRUE(png->GetData()->mFlags & TextureMipMap);
  EXPECT_TRUE(TTexture::Get("user:door?simple")->IsSimple());
  EXPECT_FALSE(TTexture::Get("user:nothing?alpha"));
}

TEST_F(Textures, MasksGiveAlphaFromTheirRedChannel) {
  SetConfig("automergemask", "1");
  std::shared_ptr<TTexture> photo = TTexture::Get(GraphicsFixture("sprite_photo.jpg"));
  ASSERT_TRUE(photo);
  EXPECT_TRUE(photo->HasAlpha());
  EXPECT_EQ(photo->GetData()->mMaskFileName, GraphicsFixture("sprite_photo.mask.png"));
  EXPECT_EQ(TexturePixel(*photo, 16, 12) >> 24, 255u);  // inside the diamond
  EXPECT_EQ(TexturePixel(*photo, 0, 0) >> 24, 0u);

  // An explicit mask without extension finds its ".png"; a mask of another size leaves
  // the image's own alpha.
  WriteImage("face.jpg", 4, 4, 0xFF808080);
  WriteImage("face_mask.png", 4, 4, 0xFF400000);
  WriteImage("big_mask.png", 8, 8, 0xFF400000);
  std::shared_ptr<TTexture> face = TTexture::GetWithMask("user:face.jpg", "user:face_mask");
  ASSERT_TRUE(face);
  EXPECT_EQ(face->GetCacheName(), "user:face.jpg:user:face_mask:tex");
  EXPECT_EQ(TexturePixel(*face, 1, 1) >> 24, 0x40u);
  std::shared_ptr<TTexture> big = TTexture::GetWithMask("user:face.jpg", "user:big_mask.png");
  ASSERT_TRUE(big);
  EXPECT_EQ(TexturePixel(*big, 1, 1) >> 24, 0xFFu);
  EXPECT_FALSE(TTexture::GetWithMask("user:face.jpg", "user:missing.png"));
}

TEST(TexturesPowerOfTwo, ImagesAreCentredInPowerOfTwoSurfaces) {
  TSoftAdapterConfig config;
  config.powerOfTwoTextures = true;
  TDisplayRig rig(config);
  rig.Window(320, 240);
  EXPECT_FALSE(TRenderer::GetInstance()->CanUseAnyTextureSize());
  WriteImage("wide.png", 1000, 300, 0xFF123456);
  std::shared_ptr<TTexture> wide = TTexture::Get("user:wide.png");
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->GetWidth(), 1000u);
  EXPECT_EQ(wide->GetData()->mSurfaceWidth, 1024u);
  EXPECT_EQ(wide->GetData()->mSurfaceHeight, 512u);
  EXPECT_EQ(wide->GetData()->mOffsetX, 12u);
  EXPECT_EQ(wide->GetData()->mOffsetY, 106u);
  uint32_t w, h;
  wide->GetSurfaceSize(w, h);
  EXPECT_EQ(w, 1024u);
  EXPECT_EQ(h, 512u);
  EXPECT_EQ(TexturePixel(*wide, 999, 299), 0xFF123456u);
}

TEST_F(Textures, LargeImagesNeedTheSlowOption) {
  WriteImage("strip.png", 2048, 16, 0xFF00FF00);
  rig.log.TakeNew();
  EXPECT_FALSE(TTexture::Get("user:strip.png"));
  EXPECT_NE(rig.log.TakeNew().find("user:strip.png: 2048x16 is larger than 1024 pixels"), std::string::npos);
  std::shared_ptr<TTexture> slow = TTexture::Get("user:strip.png?slow");
  ASSERT_TRUE(slow);
  EXPECT_TRUE(slow->IsSimple());
  EXPECT_EQ(slow->GetData()->mSurfaceWidth, 2048u);
  uint32_t w, h;
  TTexture::GetPlain(GraphicsFixture("rgba.png"))->GetSurfaceSize(w, h);
  EXPECT_EQ(w, 8u);  // 5 in a simple 8-wide surface, border 1: 7 made even
  EXPECT_EQ(h, 4u);
}

TEST_F(Textures, DrawingPlacesMirrorsCullsAndKeepsTheBlendMode) {
  WriteImage("red.png", 4, 4, 0xFFFF0000);
  std::shared_ptr<TTexture> red = TTexture::Get("user:red.png");
  TRenderer* renderer = TRenderer::GetInstance();
  FillBack(rig.Display(), 0xFF000000);
  red->Draw(50, 50, 1, 1, 0, 0);  // outside 2D: nothing
  ASSERT_TRUE(renderer->BeginDraw(false));
  ASSERT_TRUE(renderer->Begin2d());
  renderer->SetBlendMode(2);
  red->Draw(50, 50, 1, 1, 0, 0);  // centred on (50, 50)
  TSpriteDrawParams anchored(TVec2(100, 100), 1, 2, SpriteAnchored);
  red->DrawSprite(anchored);
  SetConfig("softwaretextureculling", "1");
  renderer->PushClipRect(TRect(0, 0, 150, 150));
  red->Draw(200, 200, 1, 1, 0, 0);  // culled
  renderer->PopClipRect();
  renderer->End2d();
  renderer->EndDraw(false);
  EXPECT_EQ(rig.Back(48, 48), 0xFFFF0000u);
  EXPECT_EQ(rig.Back(51, 51), 0xFFFF0000u);
  EXPECT_EQ(rig.Back(52, 52), 0xFF000000u);
  EXPECT_EQ(rig.Back(107, 107), 0xFFFF0000u);
  EXPECT_EQ(rig.Back(108, 108), 0xFF000000u);
  EXPECT_EQ(rig.Back(200, 200), 0xFF000000u);
  uint32_t src = 0;
  rig.Display().GetDevice()->GetRenderState(D3DRENDERSTATE_DESTBLEND, src);
  EXPECT_EQ(src, uint32_t(D3DBLEND_ONE));  // the sprites' -1 kept the additive mode
}

TEST_F(Textures, BlitsOnlyOutsideAFrameAndSaves) {
  std::shared_ptr<TTexture> image = TTexture::Get(GraphicsFixture("rgba.png"), TextureGetNoAlpha);
  FillBack(rig.Display(), 0xFF000000);
  TRenderer* renderer = TRenderer::GetInstance();
  ASSERT_TRUE(renderer->BeginDraw(false));
  image->Blit(0, 0, nullptr, nullptr);
  renderer->EndDraw(false);
  EXPECT_EQ(rig.Back(4, 2), 0xFF000000u);
  TRect source(-3, 1, 50, 2);
  image->Blit(10, 10, &source, nullptr);
  EXPECT_EQ(rig.Back(14, 10), TexturePixel(*image, 4, 1));
  EXPECT_EQ(rig.Back(15, 10), 0xFF000000u);

  ASSERT_TRUE(image->Save("user:copy.png", 1.0f));
  TDecodedImage copy;
  ASSERT_TRUE(LoadPngImage("user:copy.png", copy));
  EXPECT_EQ(copy.width, 5u);
  uint32_t p;
  memcpy(&p, copy.pixels.get() + (size_t(2) * copy.side + 3) * 4, 4);
  EXPECT_EQ(p, TexturePixel(*image, 3, 2));
}

// Regression: JPEG files were always written at 0.9, whatever the caller asked for.
TEST_F(Textures, SavesAJpegAtTheQualityGiven) {
  std::shared_ptr<TTexture> photo = TTexture::Get(GraphicsFixture("sprite_photo.jpg"));
  ASSERT_TRUE(photo);
  ASSERT_TRUE(photo->Save("user:low.jpg", 0.1f));
  ASSERT_TRUE(photo->Save("user:high.jpg", 1.0f));
  std::string low, high;
  ASSERT_TRUE(ReadWholeFile("user:low.jpg", low));
  ASSERT_TRUE(ReadWholeFile("user:high.jpg", high));
  EXPECT_GT(high.size(), 2 * low.size());
}
