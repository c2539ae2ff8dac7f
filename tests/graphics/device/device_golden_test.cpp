// Golden images: a small textured, tinted quad over a known background, drawn
// through the device the way the 2D drawing code does, for each blend mode, address
// mode and filter. Regenerate with:
//   TARVELON_UPDATE_GOLDEN=1 build-device/bin/device_tests --gtest_filter='DeviceGolden.*'
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "device_rig.h"
#include "golden_png.h"

namespace {

constexpr uint32_t Size = 64;

struct TGoldenCase {
  const char* file;
  int blendMode;  // 0 normal, 1 opaque, 2 additive, 3 subtractive, 4 multiply
  uint32_t address;
  bool linear;
  float uv0, uv1;
};

void FillSurface(TSoftSurface& surface, uint32_t (*pattern)(uint32_t, uint32_t)) {
  TDevSurfaceDesc desc;
  ASSERT_EQ(surface.Lock(nullptr, desc, DDLOCK_WAIT), DD_OK);
  for (uint32_t y = 0; y < desc.height; ++y)
    for (uint32_t x = 0; x < desc.width; ++x)
      WritePixel(static_cast<uint8_t*>(desc.surface) + int64_t(y) * desc.pitch + x * 4, 4, pattern(x, y));
  surface.Unlock(nullptr);
}

uint32_t Background(uint32_t x, uint32_t y) {
  bool dark = ((x / 8) + (y / 8)) % 2 == 0;
  uint32_t base = dark ? 0x30 : 0x90;
  return 0xFF000000u | (base + x) << 16 | (base + y) << 8 | (0xC0 - x);
}

uint32_t Texture(uint32_t x, uint32_t y) {
  if ((x == 0 || x == 7) && (y == 0 || y == 7)) return 0;  // transparent corners
  uint32_t a = 96 + (x + y) * 11;
  return a << 24 | (x * 36) << 16 | (y * 36) << 8 | (255 - x * 20);
}

void ApplyBlendMode(TSoftDevice& d, int mode) {
  uint32_t src = D3DBLEND_SRCALPHA, dst = D3DBLEND_INVSRCALPHA, enable = 1;
  if (mode == 2) dst = D3DBLEND_ONE;
  if (mode == 3) { src = D3DBLEND_ZERO; dst = D3DBLEND_INVSRCCOLOR; }
  if (mode == 4) { src = D3DBLEND_ZERO; dst = D3DBLEND_SRCCOLOR; }
  if (mode == 1) enable = 0;
  d.SetRenderState(D3DRENDERSTATE_SRCBLEND, src);
  d.SetRenderState(D3DRENDERSTATE_DESTBLEND, dst);
  d.SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, enable);
  d.SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, 0xFFFFFFFF);
  d.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  d.SetTextureStageState(0, D3DTSS_ALPHAARG1, mode == 1 ? D3DTA_TFACTOR : D3DTA_TEXTURE);
  d.SetTextureStageState(0, D3DTSS_ALPHAOP, mode == 1 ? D3DTOP_SELECTARG1 : D3DTOP_MODULATE);
}

// An 8x8 ARGB texture of the device filled with a pattern.
std::shared_ptr<TSoftSurface> MakeTexture(TDeviceRig& rig, uint32_t (*pattern)(uint32_t, uint32_t)) {
  TDevSurfaceDesc td;
  td.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  td.caps = DDSCAPS_TEXTURE;
  td.width = td.height = 8;
  td.pixelFormat = PixelFormatArgb8888();
  std::shared_ptr<TSoftSurface> texture;
  EXPECT_EQ(rig.draw->CreateSurface(td, texture), DD_OK);
  if (texture) FillSurface(*texture, pattern);
  return texture;
}

std::vector<uint32_t> Render(const TGoldenCase& c) {
  TDeviceRig rig;
  EXPECT_EQ(rig.CreateWindowed(Size, Size), DD_OK);
  TSoftDevice& d = *rig.device;
  FillSurface(*rig.back, Background);
  std::shared_ptr<TSoftSurface> texture = MakeTexture(rig, Texture);

  EXPECT_EQ(d.BeginScene(), D3D_OK);
  Set2dRenderStates(d);
  d.SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 1);
  d.SetRenderState(D3DRENDERSTATE_ALPHAREF, 1);
  d.SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  d.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
  d.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
  d.SetTextureStageState(0, D3DTSS_ADDRESSU, c.address);
  d.SetTextureStageState(0, D3DTSS_ADDRESSV, c.address);
  SetFilters(d, c.linear);
  ApplyBlendMode(d, c.blendMode);
  d.SetTexture(0, texture);
  d.SetTransform(D3DTRANSFORMSTATE_PROJECTION, OrthoProjection(Size, Size));
  const uint32_t tint = 0xC0FFD080;
  TDevVertexLitXyz quad[4] = {{8, 8, 0.1f, 0, tint, 0xFF000000, c.uv0, c.uv0},
                              {56, 8, 0.1f, 0, tint, 0xFF000000, c.uv1, c.uv0},
                              {56, 56, 0.1f, 0, tint, 0xFF000000, c.uv1, c.uv1},
                              {8, 56, 0.1f, 0, tint, 0xFF000000, c.uv0, c.uv1}};
  EXPECT_EQ(d.DrawPrimitive(D3DPT_TRIANGLEFAN, DevFvfLitXyz, quad, 4, 0), D3D_OK);
  EXPECT_EQ(d.EndScene(), D3D_OK);
  EXPECT_EQ(rig.front->Blt(nullptr, rig.back.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
  return rig.presenter->Shown();
}

}  // namespace

TEST(DeviceGolden, QuadsMatchStoredImages) {
  const TGoldenCase cases[] = {
      {"device/blend_normal.png", 0, D3DTADDRESS_CLAMP, true, 0, 1},
      {"device/blend_opaque.png", 1, D3DTADDRESS_CLAMP, true, 0, 1},
      {"device/blend_additive.png", 2, D3DTADDRESS_CLAMP, true, 0, 1},
      {"device/blend_subtractive.png", 3, D3DTADDRESS_CLAMP, true, 0, 1},
      {"device/blend_multiply.png", 4, D3DTADDRESS_CLAMP, true, 0, 1},
      {"device/address_wrap.png", 0, D3DTADDRESS_WRAP, false, -1, 2},
      {"device/address_mirror.png", 0, D3DTADDRESS_MIRROR, false, -1, 2},
      {"device/address_clamp.png", 0, D3DTADDRESS_CLAMP, false, -1, 2},
      {"device/filter_point.png", 0, D3DTADDRESS_CLAMP, false, 0, 1},
      {"device/filter_linear.png", 0, D3DTADDRESS_CLAMP, true, 0, 1},
  };
  for (const auto& c : cases) {
    std::vector<uint32_t> pixels = Render(c);
    ASSERT_EQ(pixels.size(), size_t(Size) * Size);
    EXPECT_EQ(MatchGolden(c.file, pixels, Size, Size), "") << c.file;
  }
}

TEST(DeviceGolden, TexelForTexelQuadCopiesTheTextureExactly) {
  // With the 2D projection's -0.5 offset a quad of the texture's size at whole
  // coordinates samples every texel at its centre: bilinear filtering changes nothing.
  TDeviceRig rig;
  ASSERT_EQ(rig.CreateWindowed(32, 32), DD_OK);
  TDevSurfaceDesc td;
  td.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  td.caps = DDSCAPS_TEXTURE;
  td.width = td.height = 8;
  td.pixelFormat = PixelFormatArgb8888();
  std::shared_ptr<TSoftSurface> texture;
  ASSERT_EQ(rig.draw->CreateSurface(td, texture), DD_OK);
  FillSurface(*texture, [](uint32_t x, uint32_t y) { return 0xFF000000u | (x * 30) << 16 | (y * 30) << 8 | ((x * y) & 255); });
  TSoftDevice& d = *rig.device;
  d.BeginScene();
  Set2dRenderStates(d);
  SetFilters(d, true);
  ApplyBlendMode(d, 1);
  d.SetTexture(0, texture);
  d.SetTransform(D3DTRANSFORMSTATE_PROJECTION, OrthoProjection(32, 32));
  TDevVertexLitXyz quad[4] = {{5, 7, 0.1f, 0, 0xFFFFFFFF, 0, 0, 0}, {13, 7, 0.1f, 0, 0xFFFFFFFF, 0, 1, 0},
                              {13, 15, 0.1f, 0, 0xFFFFFFFF, 0, 1, 1}, {5, 15, 0.1f, 0, 0xFFFFFFFF, 0, 0, 1}};
  ASSERT_EQ(d.DrawPrimitive(D3DPT_TRIANGLEFAN, DevFvfLitXyz, quad, 4, 0), D3D_OK);
  d.EndScene();
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 0; x < 32; ++x) {
      uint32_t p;
      std::memcpy(&p, rig.back->Pixels() + y * rig.back->Pitch() + x * 4, 4);
      bool inside = x >= 5 && x < 13 && y >= 7 && y < 15;
      uint32_t tx = x - 5, ty = y - 7;
      uint32_t expected = inside ? 0xFF000000u | (tx * 30) << 16 | (ty * 30) << 8 | ((tx * ty) & 255) : 0u;
      ASSERT_EQ(p, expected) << x << "," << y;
    }
}

TEST(DeviceGolden, IndexedQuadListsDrawAsTheirTriangles) {
  // Rotated textured quads as the particle renderer submits them, indices (0, 1, 2)
  // (1, 3, 2) per quad, give the same image as their triangles drawn one by one.
  std::vector<TDevVertexTransformed> v;
  const float sizes[] = {9, 14, 30, 7.5f};
  for (int q = 0; q < 4; ++q) {
    float angle = 0.4f + 1.1f * float(q), size = sizes[q];
    float cx = 12.3f + 13.7f * float(q), cy = 15.6f + 9.1f * float(q % 3);
    float ux = std::sin(angle), uy = -std::cos(angle);
    const float corners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}};
    for (const auto& c : corners)
      v.push_back({cx - c[0] * size * uy - c[1] * size * ux, cy + c[0] * size * ux - c[1] * size * uy, 0.5f, 1.0f,
                   0xD0FFC080u, 0, c[0] < 0 ? 0.0f : 1.0f, c[1] < 0 ? 0.0f : 1.0f});
  }
  std::vector<uint16_t> indices;
  for (uint16_t q = 0; q < 4; ++q)
    for (int k : {0, 1, 2, 1, 3, 2}) indices.push_back(uint16_t(q * 4 + k));
  for (int mode : {0, 2})
    for (bool linear : {false, true}) {
      std::vector<uint8_t> images[2];
      for (int indexed = 0; indexed < 2; ++indexed) {
        TDeviceRig rig;
        ASSERT_EQ(rig.CreateWindowed(Size, Size), DD_OK);
        FillSurface(*rig.back, Background);
        std::shared_ptr<TSoftSurface> texture = MakeTexture(rig, Texture);
        ASSERT_TRUE(texture);
        TSoftDevice& d = *rig.device;
        d.BeginScene();
        Set2dRenderStates(d);
        d.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        d.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        d.SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
        d.SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
        SetFilters(d, linear);
        ApplyBlendMode(d, mode);
        d.SetTexture(0, texture);
        if (indexed) {
          ASSERT_EQ(d.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, DevFvfTransformed, v.data(), uint32_t(v.size()),
                                           indices.data(), uint32_t(indices.size()), 0), D3D_OK);
        } else {
          for (size_t i = 0; i < indices.size(); i += 3) {
            TDevVertexTransformed tri[3] = {v[indices[i]], v[indices[i + 1]], v[indices[i + 2]]};
            ASSERT_EQ(d.DrawPrimitive(D3DPT_TRIANGLELIST, DevFvfTransformed, tri, 3, 0), D3D_OK);
          }
        }
        d.EndScene();
        images[indexed].assign(rig.back->Pixels(), rig.back->Pixels() + size_t(rig.back->Pitch()) * Size);
      }
      EXPECT_TRUE(images[0] == images[1]) << "blend mode " << mode << ", linear " << linear;
      EXPECT_FALSE(std::all_of(images[0].begin(), images[0].end(), [](uint8_t b) { return b == 0; }));
    }
}
