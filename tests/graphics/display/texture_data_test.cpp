// Texture surfaces: sizes and offsets, pixel conversions, locking, blits, the probing of
// image names, the alpha format choice and the rebuild after a display reset.
#include <gtest/gtest.h>

#include <fstream>

#include "graphics/display/display_rig.h"
#include "graphics/display/dx_texture_data.h"
#include "graphics/texture.h"
#include "platform/settings.h"

namespace {

// The codec fixture rgba.png: 5x3, blue-green-red from the position, alpha x * 60.
uint32_t RgbaPattern(uint32_t x, uint32_t y) {
  return (x * 60) << 24 | (x * 40 & 0xFF) << 16 | (y * 60 & 0xFF) << 8 | ((x + y) * 25 & 0xFF);
}

TSoftAdapterConfig SixteenBitDesktop() {
  TSoftAdapterConfig config;
  config.desktop.bitsPerPixel = 16;
  return config;
}

std::vector<uint32_t> ReadBack(TDxTextureData& data) {
  std::vector<uint32_t> pixels(size_t(data.mWidth) * data.mHeight);
  EXPECT_TRUE(data.GetPixels(data.mWidth, data.mHeight, pixels.data()));
  return pixels;
}

}  // namespace

TEST(TextureSurfaces, SquareOnlyDeviceRoundsUpAndCentresTheImage) {
  TSoftAdapterConfig config;
  config.squareTexturesOnly = true;
  TDisplayRig rig(config);
  rig.Window(640, 480);
  EXPECT_TRUE(rig.Display().IsSquareTexturesOnly());
  TDxTextureData data(rig.Display());
  ASSERT_TRUE(data.CreateSurface(300, 100, false));
  EXPECT_EQ(data.mSurfaceWidth, 512u);
  EXPECT_EQ(data.mSurfaceHeight, 512u);
  EXPECT_EQ(data.mOffsetX, 106u);
  EXPECT_EQ(data.mOffsetY, 206u);
  // A plain surface keeps its own size.
  TDxTextureData plain(rig.Display());
  plain.mFlags = TexturePlain;
  ASSERT_TRUE(plain.CreateSurface(300, 100, false));
  EXPECT_EQ(plain.mSurfaceWidth, 300u);
  EXPECT_EQ(plain.mOffsetX, 0u);
}

TEST(TextureSurfaces, PixelConversionsOfTheDirectCopyAndBack) {
  struct TCase {
    TPixelFormat format;
    uint32_t argb;
    bool alpha;
    uint32_t stored, readBack;
  } cases[] = {
      {PixelFormatRgb565(), 0xFF1080FF, false, 0x141F, 0xFF1080F8},
      {PixelFormatRgb565(), 0x00FFFFFF, true, 0xFFFF, 0xFFF8FCF8},
      {PixelFormatArgb4444(), 0x80FF7F10, true, 0x8F71, 0x80F07010},
      {PixelFormatArgb4444(), 0x80FF7F10, false, 0xFF71, 0xFFF07010},
      {PixelFormatArgb8888(), 0x12345678, true, 0x12345678, 0x12345678},
      {PixelFormatArgb8888(), 0x12345678, false, 0xFF345678, 0xFF345678},
      {PixelFormatXrgb8888(), 0x12345678, true, 0x00345678, 0xFF345678},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.argb << " in " << c.format.bitCount << " bits");
    EXPECT_EQ(PackTexturePixel(c.format, c.argb, c.alpha), c.stored);
    EXPECT_EQ(UnpackTexturePixel(c.format, c.stored, c.alpha), c.readBack);
  }
  EXPECT_EQ(CountBits(0xF800), 5u);
  EXPECT_EQ(LowestBit(0x07E0), 5u);
  EXPECT_EQ(LowestBit(0), 0u);
  EXPECT_EQ(NextPowerOfTwo(0), 2u);
  EXPECT_EQ(NextPowerOfTwo(300), 512u);
  EXPECT_EQ(NextPowerOfTwo(512), 512u);
}

TEST(TextureSurfaces, SixteenBitSurfaceStoresTheConvertedPixel) {
  TDisplayRig rig(SixteenBitDesktop());
  rig.Window(640, 480);
  TDxTextureData data(rig.Display());
  ASSERT_TRUE(data.CreateSurface(4, 4, true));
  ASSERT_EQ(data.GetSurface()->Format(), PixelFormatRgb565());
  std::vector<uint32_t> pixels(16, 0xFF1080FF);
  ASSERT_TRUE(data.SetPixels(4, 4, pixels.data()));
  uint16_t stored;
  memcpy(&stored, data.GetSurface()->Pixels(), 2);
  EXPECT_EQ(stored, 0x141F);
}

TEST(TextureSurfaces, LockHandsOutSurfaceMemoryOnlyForArgb8888) {
  TDisplayRig rig;
  rig.Window(640, 480);
  TDxTextureData argb(rig.Display());
  argb.mFlags = TextureAlpha;
  ASSERT_TRUE(argb.CreateSurface(8, 4, true));
  ASSERT_EQ(argb.GetSurface()->Format(), PixelFormatArgb8888());
  uint32_t* pixels = nullptr;
  int pitch = 0;
  ASSERT_TRUE(argb.LockPixels(pixels, pitch));
  const uint8_t* memory = argb.GetSurface()->Pixels();
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(pixels), memory);
  EXPECT_EQ(pitch, argb.GetSurface()->Pitch() / 4);
  pixels[pitch + 1] = 0x80112233;
  argb.UnlockPixels();
  EXPECT_EQ(ReadBack(argb)[8 + 1], 0x80112233u);

  // Without alpha the surface is XRGB8888: a copy, converted back on unlock.
  TDxTextureData xrgb(rig.Display());
  ASSERT_TRUE(xrgb.CreateSurface(8, 4, true));
  ASSERT_TRUE(xrgb.LockPixels(pixels, pitch));
  EXPECT_EQ(pitch, 8);
  const uint8_t* surface = xrgb.GetSurface()->Pixels();
  EXPECT_TRUE(reinterpret_cast<const uint8_t*>(pixels) < surface ||
              reinterpret_cast<const uint8_t*>(pixels) >= surface + xrgb.GetSurface()->Pitch() * 4);
  pixels[9] = 0x80112233;
  for (int x = 0; x < 8; ++x) pixels[16 + x] = uint32_t(x) << 29 | 0x102030u * uint32_t(x + 1);
  xrgb.UnlockPixels();
  std::vector<uint32_t> back = ReadBack(xrgb);
  EXPECT_EQ(back[9], 0xFF112233u);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(back[16 + x], 0xFF000000u | 0x102030u * uint32_t(x + 1)) << x;
  // Locked again, the copy holds what the surface holds, opaque.
  ASSERT_TRUE(xrgb.LockPixels(pixels, pitch));
  EXPECT_EQ(pixels[9], 0xFF112233u);
  EXPECT_EQ(pixels[16 + 7], 0xFF000000u | 0x102030u * 8);
  xrgb.UnlockPixels();
}

// The copy handed out by a lock has rows of the image's width; it must go back with that
// stride, not the larger surface's, or every row after the first lands shifted.
TEST(TextureSurfaces, LockCopyGoesBackWithItsOwnRowStride) {
  TSoftAdapterConfig config = SixteenBitDesktop();
  config.squareTexturesOnly = true;
  TDisplayRig rig(config);
  rig.Window(640, 480);
  TDxTextureData data(rig.Display());
  ASSERT_TRUE(data.CreateSurface(5, 3, true));
  ASSERT_EQ(data.mSurfaceWidth, 8u);
  uint32_t* pixels = nullptr;
  int pitch = 0;
  ASSERT_TRUE(data.LockPixels(pixels, pitch));
  ASSERT_EQ(pitch, 5);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) pixels[y * pitch + x] = 0xFF000000u | uint32_t(x * 40) << 16 | uint32_t(y * 80) << 8;
  data.UnlockPixels();
  std::vector<uint32_t> back = ReadBack(data);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(back[size_t(y) * 5 + x], 0xFF000000u | uint32_t(x * 40) << 16 | uint32_t(y * 80) << 8) << x << "," << y;
}

TEST(TextureSurfaces, ClearAndBlitToTheBackBufferAndToAnotherTexture) {
  TDisplayRig rig;
  rig.Window(64, 48);
  TDxTextureData source(rig.Display()), target(rig.Display());
  ASSERT_TRUE(source.CreateSurface(4, 4, true));
  ASSERT_TRUE(target.CreateSurface(8, 8, true));
  std::vector<uint32_t> pixels(16, 0xFF00FF00);
  pixels[5] = 0xFFFF0000;
  ASSERT_TRUE(source.SetPixels(4, 4, pixels.data()));
  FillBack(rig.Display(), 0xFF000000);
  EXPECT_TRUE(source.Blit(10, 20, nullptr, nullptr));
  EXPECT_EQ(rig.Back(11, 21), 0xFFFF0000u);
  EXPECT_EQ(rig.Back(10, 20), 0xFF00FF00u);
  EXPECT_EQ(rig.Back(14, 20), 0xFF000000u);
  TDevRect part{1, 1, 3, 3};
  EXPECT_TRUE(source.Blit(6, 6, &part, &target));
  std::vector<uint32_t> back = ReadBack(target);
  EXPECT_EQ(back[6 * 8 + 6], 0xFFFF0000u);
  EXPECT_EQ(back[7 * 8 + 7], 0xFF00FF00u);
  EXPECT_EQ(back[5 * 8 + 5], 0xFF000000u);
  // A blit hanging over the screen's edge is clipped, not refused.
  EXPECT_TRUE(source.Blit(62, 46, nullptr, nullptr));
  EXPECT_EQ(rig.Back(62, 46), 0xFF00FF00u);
  EXPECT_EQ(rig.Back(63, 47), 0xFFFF0000u);
  EXPECT_TRUE(target.Clear());
  EXPECT_EQ(ReadBack(target)[6 * 8 + 6], 0xFF000000u);
}

TEST(TextureSurfaces, FindTextureFileProbesTheNameThenJp2PngJpg) {
  TDisplayRig rig;
  std::string dir = rig.log.Folder();
  auto touch = [&](const char* name) { std::ofstream(dir + "/" + name) << "x"; };
  TString base = TString::Printf("::%s/door", dir.c_str());
  EXPECT_TRUE(FindTextureFile(base + "?frame=2").IsEmpty());
  touch("door.jpg");
  EXPECT_EQ(FindTextureFile(base + "?frame=2"), base + ".jpg");
  touch("door.png");
  EXPECT_EQ(FindTextureFile(base + "?frame=2"), base + ".png");
  touch("door.jp2");
  EXPECT_EQ(FindTextureFile(base + "?frame=2"), base + ".jp2");
  touch("door");
  EXPECT_EQ(FindTextureFile(base + "?frame=2"), base);
}

TEST(TextureSurfaces, AlphaFormatTakesTheFirstUnlessALaterHasMoreAlphaBits) {
  TDisplayRig rig;
  rig.Window(64, 48);
  TPixelFormat format;
  ASSERT_TRUE(FindAlphaTextureFormat(*rig.Display().GetContext().GetDirect3D(), 16, format));
  EXPECT_EQ(format, PixelFormatArgb4444());
  ASSERT_TRUE(FindAlphaTextureFormat(*rig.Display().GetContext().GetDirect3D(), 32, format));
  EXPECT_EQ(format, PixelFormatArgb8888());
  EXPECT_FALSE(FindAlphaTextureFormat(*rig.Display().GetContext().GetDirect3D(), 24, format));
}

TEST(TextureSurfaces, RestoreReloadsFromTheFileOrMakesAnEmptySurface) {
  TDisplayRig rig;
  rig.Window(64, 48);
  TDxTextureData loaded(rig.Display());
  loaded.mFlags = TextureAlphaFromFile;
  ASSERT_TRUE(LoadTextureImage(loaded, GraphicsFixture("rgba.png"), TString()));
  EXPECT_TRUE(loaded.mFlags & TextureAlpha);
  loaded.ReleaseSurface();
  EXPECT_FALSE(loaded.HasSurface());
  loaded.Restore();
  ASSERT_TRUE(loaded.HasSurface());
  std::vector<uint32_t> pixels = ReadBack(loaded);
  for (uint32_t y = 0; y < 3; ++y)
    for (uint32_t x = 0; x < 5; ++x) EXPECT_EQ(pixels[y * 5 + x], RgbaPattern(x, y)) << x << "," << y;

  TDxTextureData empty(rig.Display());
  ASSERT_TRUE(empty.CreateSurface(16, 8, true));
  empty.ReleaseSurface();
  empty.Restore();
  EXPECT_TRUE(empty.HasSurface());
  EXPECT_EQ(empty.mSurfaceWidth, 16u);
}

// The line of a failed empty restore carries all four numbers it names.
TEST(TextureSurfaces, FailedRestoreLogsTheSizesAndTheFiles) {
  TDisplayRig rig;
  rig.Window(64, 48);
  TDxTextureData empty(rig.Display());
  ASSERT_TRUE(empty.CreateSurface(64, 32, true));
  empty.ReleaseSurface();
  rig.log.TakeNew();
  rig.adapter->FailNext(TDevCall::CreateSurface, DDERR_GENERIC);
  SetConfig("dxbroken", "0");
  empty.Restore();
  std::string log = rig.log.TakeNew();
  EXPECT_NE(log.find("TDxTextureData::Restore: Failed to restore 64x32 texture (64,32)"), std::string::npos) << log;
  EXPECT_EQ(GetConfig("dxbroken"), "1");

  // A file that is gone is not reported as a broken device.
  TDxTextureData gone(rig.Display());
  gone.mFileName = "::/nonexistent/gone.png";
  gone.mWidth = gone.mHeight = 4;
  SetConfig("dxbroken", "0");
  gone.Restore();
  log = rig.log.TakeNew();
  EXPECT_NE(log.find("TDxTextureData::Restore: Failed to restore from file ::/nonexistent/gone.png."), std::string::npos)
      << log;
  EXPECT_EQ(GetConfig("dxbroken"), "0");
  gone.mMaskFileName = "::/nonexistent/gone.mask.png";
  gone.Restore();
  EXPECT_NE(rig.log.TakeNew().find("Failed to restore from file ::/nonexistent/gone.png and "
                                   "::/nonexistent/gone.mask.png."),
            std::string::npos);
}
