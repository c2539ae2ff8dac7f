// Mip-mapped textures: the chain of levels a texture surface gets, their box filter, and
// the level each triangle of a draw reads under the point and linear mip filters.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device_rig.h"
#include "graphics/device/mip_levels.h"

namespace {

std::shared_ptr<TSoftSurface> MipTexture(TDeviceRig& rig, uint32_t width, uint32_t height, uint32_t count = 0) {
  TDevSurfaceDesc desc;
  desc.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | (count ? DDSD_MIPMAPCOUNT : 0u);
  desc.caps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
  desc.width = width;
  desc.height = height;
  desc.mipMapCount = count;
  desc.pixelFormat = PixelFormatArgb8888();
  std::shared_ptr<TSoftSurface> texture;
  EXPECT_EQ(rig.draw->CreateSurface(desc, texture), DD_OK);
  return texture;
}

uint32_t& Texel(TSoftSurface& s, uint32_t x, uint32_t y) {
  return *reinterpret_cast<uint32_t*>(s.Pixels() + int64_t(y) * s.Pitch() + x * 4);
}

void Fill(TSoftSurface& s, uint32_t argb) {
  for (uint32_t y = 0; y < s.Height(); ++y)
    for (uint32_t x = 0; x < s.Width(); ++x) Texel(s, x, y) = argb;
}

struct TMipRig : TDeviceRig {
  TMipRig() {
    EXPECT_EQ(CreateWindowed(64, 32), DD_OK);
    TSoftDevice& d = *device;
    Set2dRenderStates(d);
    SetFilters(d, false);
    d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    d.SetTextureStageState(0, D3DTSS_ADDRESS, D3DTADDRESS_CLAMP);
  }
  // A square of the side at (x, 0) showing the whole texture.
  static void Square(float x, float side, TDevVertexTransformed out[4]) {
    out[0] = {x, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0, 0};
    out[1] = {x + side, 0, 0.5f, 1, 0xFFFFFFFF, 0, 1, 0};
    out[2] = {x, side, 0.5f, 1, 0xFFFFFFFF, 0, 0, 1};
    out[3] = {x + side, side, 0.5f, 1, 0xFFFFFFFF, 0, 1, 1};
  }
  // The pixel at (x, y) after drawing a square of the side at the origin.
  uint32_t Drawn(float side, uint32_t mipFilter, uint32_t x, uint32_t y) {
    TSoftDevice& d = *device;
    d.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF123456, 1, 0);
    d.SetTextureStageState(0, D3DTSS_MIPFILTER, mipFilter);
    TDevVertexTransformed v[4];
    Square(0, side, v);
    const uint16_t indices[6] = {0, 1, 2, 1, 3, 2};
    d.BeginScene();
    EXPECT_EQ(d.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, DevFvfTransformed, v, 4, indices, 6, 0), D3D_OK);
    d.EndScene();
    return Texel(*back, x, y) & 0xFFFFFF;
  }
};

}  // namespace

TEST(MipLevels, ATextureGetsLevelsDownToOneTexelOrAsManyAsAskedFor) {
  TDeviceRig rig;
  ASSERT_EQ(rig.CreateWindowed(16, 16), DD_OK);
  const struct {
    uint32_t width, height, count;
    std::vector<std::pair<uint32_t, uint32_t>> below;
  } cases[] = {
      {8, 4, 0, {{4, 2}, {2, 1}, {1, 1}}},
      {5, 3, 0, {{2, 1}, {1, 1}}},
      {16, 16, 2, {{8, 8}}},
      {1, 1, 0, {}},
  };
  for (const auto& c : cases) {
    auto texture = MipTexture(rig, c.width, c.height, c.count);
    ASSERT_TRUE(texture);
    std::vector<std::pair<uint32_t, uint32_t>> below;
    for (const auto& level : MipLevelsBelow(*texture)) below.emplace_back(level->Width(), level->Height());
    EXPECT_EQ(below, c.below) << c.width << "x" << c.height;
    TDevSurfaceDesc desc;
    texture->GetSurfaceDesc(desc);
    EXPECT_EQ(desc.mipMapCount, c.below.size() + 1);
  }
}

TEST(MipLevels, EachLevelIsTheBoxMeanOfTheOneAboveWithColoursWeightedByAlpha) {
  TDeviceRig rig;
  ASSERT_EQ(rig.CreateWindowed(16, 16), DD_OK);
  auto texture = MipTexture(rig, 4, 2);
  // Left block: opaque white, opaque black and two transparent reds, which lend no
  // colour; right block: four opaque greys.
  const uint32_t top[2][4] = {{0xFFFFFFFF, 0xFF000000, 0xFF404040, 0xFF404040},
                              {0x00FF0000, 0x00FF0000, 0xFF808080, 0xFF808080}};
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 4; ++x) Texel(*texture, x, y) = top[y][x];
  BuildMipLevels(*texture);
  auto below = MipLevelsBelow(*texture);
  ASSERT_EQ(below.size(), 2u);
  EXPECT_EQ(Texel(*below[0], 0, 0), 0x80808080u);
  EXPECT_EQ(Texel(*below[0], 1, 0), 0xFF606060u);
  EXPECT_EQ(Texel(*below[1], 0, 0), 0xC06B6B6Bu);  // alpha 192; grey (128 * 128 + 96 * 255) / 383
}

// Regression: the mip flag was stored and ignored, so a texture drawn at a quarter of its
// size read every fourth texel of its largest level and shimmered as it moved.
TEST(MipLevels, EachTriangleReadsTheLevelItsSizePicks) {
  TMipRig rig;
  auto texture = MipTexture(rig, 16, 16);
  const uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000};
  Fill(*texture, colours[0]);
  auto below = MipLevelsBelow(*texture);
  ASSERT_EQ(below.size(), 4u);
  for (size_t i = 0; i < below.size(); ++i) Fill(*below[i], colours[i + 1]);
  ASSERT_EQ(rig.device->SetTexture(0, texture), D3D_OK);

  const struct {
    const char* what;
    float side;
    uint32_t filter, pixel;
  } cases[] = {
      {"full size", 16, D3DTFP_LINEAR, 0xFF0000},
      {"magnified", 32, D3DTFP_POINT, 0xFF0000},
      {"a quarter, no mip filter", 4, D3DTFP_NONE, 0xFF0000},
      {"a quarter, point", 4, D3DTFP_POINT, 0x0000FF},
      {"a quarter, linear", 4, D3DTFP_LINEAR, 0x0000FF},
      {"between halves, point: the nearer level", 5.6568542f, D3DTFP_POINT, 0x0000FF},
      {"between halves, linear: both levels", 5.6568542f, D3DTFP_LINEAR, 0x008080},
      {"one pixel: the last level", 1, D3DTFP_LINEAR, 0x000000},
  };
  for (const auto& c : cases) EXPECT_EQ(rig.Drawn(c.side, c.filter, 0, 0), c.pixel) << c.what;

  // One draw call, two sizes: each quad reads its own level.
  TSoftDevice& d = *rig.device;
  d.Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0);
  d.SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_POINT);
  TDevVertexTransformed v[8];
  TMipRig::Square(0, 16, v);
  TMipRig::Square(20, 4, v + 4);
  const uint16_t indices[12] = {0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6};
  d.BeginScene();
  ASSERT_EQ(d.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, DevFvfTransformed, v, 8, indices, 12, 0), D3D_OK);
  d.EndScene();
  EXPECT_EQ(Texel(*rig.back, 8, 8) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(Texel(*rig.back, 21, 1) & 0xFFFFFF, 0x0000FFu);
}
