// The copy of small textures that the 16-lane bilinear rows loop samples from
// registers, and the multiply that loop rounds with. Its pixels are held against the
// reference by the DeviceRasterLoops comparisons (Wide16).
#include <gtest/gtest.h>

#include <vector>

#include "graphics/device/rasterizer.h"
#include "graphics/device/span_pixel.h"

namespace {

struct TTextureCase {
  const char* name;
  int32_t width, height;
  TPixelFormat format;
  uint32_t address;
  bool linear, blend;
  bool copied;  // where the processor has the AVX-512 loops
};

}  // namespace

TEST(DeviceSmallTexture, MultiplyBy255AsOneHighMultiplyIsExact) {
  // The 16-lane loop computes Mul255 as (t * 257) >> 16 with t = a * b + 128.
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t b = 0; b < 256; ++b) {
      uint32_t t = a * b + 128;
      ASSERT_EQ(Mul255(a, b), (t * 257) >> 16) << a << " * " << b;
    }
}

TEST(DeviceSmallTexture, CopiedForClampedDrawsOfAtMost64Texels) {
  const TPixelFormat argb = PixelFormatArgb8888(), xrgb = PixelFormatXrgb8888(), rgb565 = PixelFormatRgb565();
  const TTextureCase cases[] = {
      {"8x8 argb", 8, 8, argb, D3DTADDRESS_CLAMP, true, true, true},
      {"16x4 xrgb", 16, 4, xrgb, D3DTADDRESS_CLAMP, true, true, true},
      {"1x1", 1, 1, argb, D3DTADDRESS_CLAMP, true, true, true},
      {"opaque", 8, 8, argb, D3DTADDRESS_CLAMP, true, false, true},
      {"65 texels", 13, 5, argb, D3DTADDRESS_CLAMP, true, true, false},
      {"point", 8, 8, argb, D3DTADDRESS_CLAMP, false, true, true},
      {"wrap", 8, 8, argb, D3DTADDRESS_WRAP, true, true, false},
      {"16-bit", 8, 8, rgb565, D3DTADDRESS_CLAMP, true, true, false},
  };
  for (const TTextureCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int32_t bytes = int32_t(BytesPerPixel(c.format));
    const int32_t pitch = c.width * bytes + 12;  // rows padded: the copy must honour the pitch
    std::vector<uint8_t> pixels(size_t(pitch) * c.height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(i * 37 + 11);
    std::vector<uint32_t> target(16 * 16);
    TRasterState s;
    s.target = {reinterpret_cast<uint8_t*>(target.data()), 64, 16, 16, TPixelLayout::Xrgb8888, xrgb};
    s.texture = {pixels.data(), pitch, c.width, c.height, ClassifyPixelFormat(c.format), c.format};
    s.scissor = {0, 0, 16, 16};
    s.addressU = s.addressV = c.address;
    s.magLinear = s.minLinear = c.linear;
    // Additive particles (or opaque): texture times diffuse colour and alpha.
    s.blend = c.blend;
    s.srcBlend = D3DBLEND_SRCALPHA, s.dstBlend = D3DBLEND_ONE;
    s.alphaOp = D3DTOP_MODULATE, s.alphaArg1 = D3DTA_TEXTURE, s.alphaArg2 = D3DTA_DIFFUSE;
    PrepareRasterState(s);
    const bool widest = SpanWidthInUse() == TSpanWidth::Avx512;
    ASSERT_EQ(s.small != nullptr, c.copied && widest);
    if (!s.small) continue;
    ASSERT_EQ(s.small->width, c.width);
    ASSERT_EQ(s.small->height, c.height);
    const uint32_t alpha = s.texture.layout == TPixelLayout::Xrgb8888 ? 0xFF000000u : 0u;
    for (int32_t y = 0; y < c.height; ++y)
      for (int32_t x = 0; x < c.width; ++x)
        ASSERT_EQ(s.small->texels[y * c.width + x], span_pixel::WideTexel(s.texture, x, y) | alpha) << x << ", " << y;
    // A state prepared again without the widest loops drops the copy.
    LimitSpanWidth(TSpanWidth::Avx2);
    PrepareRasterState(s);
    EXPECT_EQ(s.small, nullptr);
    AllowWideSpans(true);
  }
}

TEST(DeviceSmallTexture, QuadPlanesComputedTogetherMatchThePlainForms) {
  // The 16-lane loop tests and converts the four texture planes of a quad at once; each
  // case puts one plane in each of the four places, the others a particle's.
  struct TPlaneCase {
    const char* name;
    TPlane plane;
    int32_t box[4];  // x0, x1, y0, y1
  };
  constexpr int64_t One = int64_t(1) << TexelFracBits;
  const TPlane particle = {3 * One, One / 2, -One / 3, 100, 50};
  const TPlaneCase cases[] = {
      {"particle", particle, {98, 108, 47, 57}},
      {"highest value at the limit", {INT32_MAX - 10000, 1000, 0, 0, 0}, {0, 10, 0, 3}},
      {"highest value past the limit", {INT32_MAX - 9999, 1000, 0, 0, 0}, {0, 10, 0, 3}},
      {"lowest value at the limit", {int64_t(INT32_MIN) + 5000, 0, -1000, 0, 0}, {0, 4, 0, 5}},
      {"lowest value past the limit", {int64_t(INT32_MIN) + 4999, 0, -1000, 0, 0}, {0, 4, 0, 5}},
      {"reference far away", {One, 3, -7, -100000, 200000}, {10, 20, 10, 20}},
      {"slope beyond 32 bits", {0, int64_t(1) << 40, 1, 0, 0}, {0, 1, 0, 1}},
      {"value beyond 32 bits", {-(int64_t(1) << 33), 0, 0, 5, 5}, {5, 6, 5, 6}},
  };
  for (const TPlaneCase& c : cases)
    for (int64_t less : {int64_t(0), One / 2})
      for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(testing::Message() << c.name << ", less " << less << ", plane " << k);
        TAttributePlanes a, b;
        TPlane* slots[4] = {&a.u, &a.v, &b.u, &b.v};
        for (int j = 0; j < 4; ++j) *slots[j] = j == k ? c.plane : particle;
        bool fits = false;
        span_pixel::TPlane32 planes[4];
        if (!span_pixel::WidestQuadPlanes(a, b, less, c.box, fits, planes)) GTEST_SKIP() << "no AVX-512";
        bool plainFits = true;
        for (int j = 0; j < 4; ++j) {
          plainFits = plainFits && span_pixel::PlaneFits(*slots[j], less, c.box[0], c.box[1], c.box[2], c.box[3]);
          EXPECT_TRUE(planes[j] == span_pixel::Plane32(*slots[j], less)) << "plane " << j;
        }
        EXPECT_EQ(fits, plainFits);
      }
}
