// The optimised span loops against the plain reference rasteriser, and the fill
// rules: top-left sharing of edges, line spans over [x0, x1).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/device/quad_setup.h"
#include "graphics/device/rasterizer.h"
#include "reference_rasterizer.h"

namespace {

// An image in memory with a pixel format, usable as target or texture.
struct TImage {
  TPixelFormat format;
  int32_t width = 0, height = 0, pitch = 0;
  std::vector<uint8_t> bytes;
  TImage(TPixelFormat f, int32_t w, int32_t h) : format(f), width(w), height(h) {
    pitch = int32_t((uint32_t(w) * BytesPerPixel(f) + 15) & ~15u);
    bytes.assign(size_t(pitch) * h, 0);
  }
  void Fill(uint32_t (*pattern)(int, int)) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        WritePixel(&bytes[size_t(y) * pitch + size_t(x) * BytesPerPixel(format)], BytesPerPixel(format),
                   PackArgb(format, pattern(x, y)));
  }
  TRasterTarget Target() { return {bytes.data(), pitch, width, height, ClassifyPixelFormat(format), format}; }
  TRasterTexture Texture() const { return {bytes.data(), pitch, width, height, ClassifyPixelFormat(format), format}; }
};

uint32_t Background(int x, int y) { return 0x80000000u | uint32_t((x * 37) & 255) << 16 | uint32_t((y * 53) & 255) << 8 | uint32_t((x * y) & 255); }
uint32_t TexturePattern(int x, int y) {
  return uint32_t((x * 29 + y * 7) & 255) << 24 | uint32_t((x * 40) & 255) << 16 | uint32_t((y * 60) & 255) << 8 | uint32_t((x ^ y) * 19 & 255);
}

TRasterVertex V(float x, float y, float u, float v, uint32_t color = 0xFFFFFFFF) {
  TRasterVertex r;
  r.x = x; r.y = y; r.u = u; r.v = v;
  r.a = float(color >> 24); r.r = float((color >> 16) & 255); r.g = float((color >> 8) & 255); r.b = float(color & 255);
  return r;
}

enum class TBlend { Opaque, Normal, Additive, Subtractive, Multiply };

void ApplyBlend(TRasterState& s, TBlend b) {
  s.blend = b != TBlend::Opaque;
  s.alphaOp = D3DTOP_MODULATE;
  s.alphaArg1 = D3DTA_TEXTURE;
  s.alphaArg2 = D3DTA_DIFFUSE;
  switch (b) {
    case TBlend::Opaque: s.alphaOp = D3DTOP_SELECTARG1; s.alphaArg1 = D3DTA_TFACTOR; break;
    case TBlend::Normal: s.srcBlend = D3DBLEND_SRCALPHA; s.dstBlend = D3DBLEND_INVSRCALPHA; break;
    case TBlend::Additive: s.srcBlend = D3DBLEND_SRCALPHA; s.dstBlend = D3DBLEND_ONE; break;
    case TBlend::Subtractive: s.srcBlend = D3DBLEND_ZERO; s.dstBlend = D3DBLEND_INVSRCCOLOR; break;
    case TBlend::Multiply: s.srcBlend = D3DBLEND_ZERO; s.dstBlend = D3DBLEND_SRCCOLOR; break;
  }
}

// Floats in [lo, hi) from a fixed seed: the same cases on every run.
auto Randoms(uint32_t seed) {
  return [seed](float lo, float hi) mutable {
    seed = seed * 1664525u + 1013904223u;
    return lo + (hi - lo) * float(seed >> 8) / float(1 << 24);
  };
}

// The corners of a quad around its centre, in the order of indexed lists: (0, 1, 2)
// and (1, 3, 2) are its triangles.
using TCorners = float[4][2];
constexpr TCorners SquareCorners = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}};

// A quad of the given size turned by angle about (cx, cy), as the particle renderer
// makes them; texture coordinates u0 on the corners left of and above the centre, u1
// on the others.
void PushRotatedQuad(std::vector<TRasterVertex>& v, float cx, float cy, float size, float angle, float u0, float u1,
                     uint32_t tint, const TCorners& corners = SquareCorners) {
  float ux = std::sin(angle), uy = -std::cos(angle);
  for (const auto& c : corners)
    v.push_back(V(cx - c[0] * size * uy - c[1] * size * ux, cy + c[0] * size * ux - c[1] * size * uy,
                  c[0] < 0 ? u0 : u1, c[1] < 0 ? u0 : u1, tint));
}

// The reference's drawing of quads pushed by PushRotatedQuad: their two triangles, one
// quad after the other.
void ReferencePairs(const TRasterState& s, const std::vector<TRasterVertex>& v) {
  for (size_t q = 0; q + 3 < v.size(); q += 4) {
    ReferenceTriangle(s, v[q], v[q + 1], v[q + 2]);
    ReferenceTriangle(s, v[q + 1], v[q + 3], v[q + 2]);
  }
}

// How a state samples and blends: addressing per axis, the filter, the blend, and the
// 2D drawing code's alpha test (alpha at least 1) where asked.
struct TSampling {
  uint32_t addressU, addressV;
  bool linear;
  TBlend blend;
  bool alphaTest = false;
};

// Texture (none: opaque white) times diffuse colour on a target, within a scissor,
// sampled and blended as given, its loops chosen: ready to draw.
TRasterState SampledState(TImage& target, const TImage* texture, const TDevRect& scissor, const TSampling& how) {
  TRasterState s;
  s.target = target.Target();
  if (texture) s.texture = texture->Texture();
  s.scissor = scissor;
  s.colorOp = D3DTOP_MODULATE;
  s.colorArg1 = D3DTA_TEXTURE;
  s.colorArg2 = D3DTA_DIFFUSE;
  s.addressU = how.addressU;
  s.addressV = how.addressV;
  s.magLinear = s.minLinear = how.linear;
  if (how.alphaTest) {
    s.alphaTest = true;
    s.alphaFunc = D3DCMP_GREATEREQUAL;
    s.alphaRef = 1;
  }
  ApplyBlend(s, how.blend);
  PrepareRasterState(s);
  return s;
}

// Quads (four vertices each, as PushRotatedQuad makes them) drawn on a width x height
// target by draw, the path under test, and as triangle pairs by the reference on a
// second one; the two must be equal.
template <class TDraw>
void CompareQuads(int32_t width, int32_t height, const TImage& tex, const TSampling& how,
                  const std::vector<TRasterVertex>& v, TDraw draw) {
  SCOPED_TRACE(::testing::Message() << "blend " << int(how.blend) << ", linear " << how.linear);
  TImage fast(PixelFormatXrgb8888(), width, height), reference(PixelFormatXrgb8888(), width, height);
  fast.Fill(Background);
  reference.Fill(Background);
  TRasterState s = SampledState(fast, &tex, {0, 0, width, height}, how);
  draw(s, v);
  s.target = reference.Target();
  ReferencePairs(s, v);
  ASSERT_EQ(fast.bytes, reference.bytes);
}

struct TCase {
  const char* name;
  TPixelFormat target, texture;
  bool textured;
  TBlend blend;
  bool linear;
  uint32_t address;
  uint32_t tint[4];  // per vertex of the quad
  float x0, y0, x1, y1;  // quad corners in pixels (before the -0.5 texel offset)
  float u0, v0, u1, v1;
  TDevRect scissor;
};

// Draws a quad as a fan of two triangles with both rasterisers and compares.
void CompareQuad(const TCase& c) {
  SCOPED_TRACE(c.name);
  TImage tex(c.texture, 8, 8);
  tex.Fill(TexturePattern);
  TImage fast(c.target, 40, 36), reference(c.target, 40, 36);
  fast.Fill(Background);
  reference.Fill(Background);
  TRasterState s = SampledState(fast, c.textured ? &tex : nullptr, c.scissor, {c.address, c.address, c.linear, c.blend, true});
  TRasterVertex q[4] = {V(c.x0 - 0.5f, c.y0 - 0.5f, c.u0, c.v0, c.tint[0]), V(c.x1 - 0.5f, c.y0 - 0.5f, c.u1, c.v0, c.tint[1]),
                        V(c.x1 - 0.5f, c.y1 - 0.5f, c.u1, c.v1, c.tint[2]), V(c.x0 - 0.5f, c.y1 - 0.5f, c.u0, c.v1, c.tint[3])};
  DrawQuad(s, q[0], q[1], q[2], q[3]);
  s.target = reference.Target();
  ReferenceTriangle(s, q[0], q[1], q[2]);
  ReferenceTriangle(s, q[0], q[2], q[3]);
  int differences = 0;
  for (size_t i = 0; i < fast.bytes.size() && differences < 5; ++i)
    if (fast.bytes[i] != reference.bytes[i]) {
      ADD_FAILURE() << "byte " << i << " (row " << i / fast.pitch << "): " << int(fast.bytes[i]) << " vs " << int(reference.bytes[i]);
      ++differences;
    }
}

constexpr uint32_t White[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
constexpr uint32_t Tint[4] = {0xC080FF40, 0xC080FF40, 0xC080FF40, 0xC080FF40};
constexpr uint32_t Gouraud[4] = {0xFFFF0000, 0x8000FF00, 0x400000FF, 0xFFFFFFFF};
const TDevRect Full{0, 0, 40, 36};

// The comparisons with the reference run once per width of span loops: the AVX-512
// and AVX2 ones where the processor has them (skipped elsewhere), and the SSE2 ones.
// PrepareRasterState reads the limit.
class DeviceRasterLoops : public ::testing::TestWithParam<TSpanWidth> {
 protected:
  void SetUp() override {
    LimitSpanWidth(GetParam());
    if (GetParam() == TSpanWidth::Sse2) {
      ASSERT_FALSE(WideSpansInUse());
    } else if (SpanWidthInUse() != GetParam()) {
      GTEST_SKIP() << "the processor lacks these span loops";
    }
  }
  void TearDown() override { AllowWideSpans(true); }
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Spans, DeviceRasterLoops, ::testing::Values(TSpanWidth::Sse2, TSpanWidth::Avx2, TSpanWidth::Avx512),
                         [](const ::testing::TestParamInfo<TSpanWidth>& info) {
                           return info.param == TSpanWidth::Avx512 ? "Wide16" : info.param == TSpanWidth::Avx2 ? "Wide" : "Narrow";
                         });

TEST(DeviceRaster, MultiplyBy255IsExactlyRounded) {
  // The SIMD loops use (t + (t >> 8)) >> 8 with t = a * b + 128.
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t b = 0; b < 256; ++b) {
      uint32_t t = a * b + 128;
      ASSERT_EQ(Mul255(a, b), (t + (t >> 8)) >> 8) << a << " * " << b;
    }
}

TEST_P(DeviceRasterLoops, OptimisedSpansMatchTheReference) {
  const TPixelFormat argb = PixelFormatArgb8888(), xrgb = PixelFormatXrgb8888(), rgb565 = PixelFormatRgb565(),
                     argb4444 = PixelFormatArgb4444();
  const TCase cases[] = {
      // Texel for texel (the fast loops), each blend, point and bilinear.
      {"copy opaque", xrgb, argb, true, TBlend::Opaque, true, D3DTADDRESS_CLAMP, {}, 4, 4, 12, 12, 0, 0, 1, 1, Full},
      {"copy tinted opaque", argb, xrgb, true, TBlend::Opaque, false, D3DTADDRESS_CLAMP, {}, 5, 3, 13, 11, 0, 0, 1, 1, Full},
      {"blend tinted", xrgb, argb, true, TBlend::Normal, true, D3DTADDRESS_CLAMP, {}, 1, 2, 9, 10, 0, 0, 1, 1, Full},
      {"blend point", argb, argb, true, TBlend::Normal, false, D3DTADDRESS_WRAP, {}, 30, 20, 38, 28, 0, 0, 1, 1, Full},
      {"additive tinted", xrgb, argb, true, TBlend::Additive, true, D3DTADDRESS_CLAMP, {}, 7, 7, 15, 15, 0, 0, 1, 1, Full},
      {"subtractive", xrgb, argb, true, TBlend::Subtractive, true, D3DTADDRESS_CLAMP, {}, 7, 7, 15, 15, 0, 0, 1, 1, Full},
      {"multiply", xrgb, argb, true, TBlend::Multiply, true, D3DTADDRESS_CLAMP, {}, 7, 7, 15, 15, 0, 0, 1, 1, Full},
      // Clipped by the scissor and the target edges.
      {"clipped left top", xrgb, argb, true, TBlend::Normal, true, D3DTADDRESS_CLAMP, {}, -3, -2, 5, 6, 0, 0, 1, 1, Full},
      {"clipped right bottom", xrgb, argb, true, TBlend::Additive, true, D3DTADDRESS_CLAMP, {}, 35, 31, 43, 39, 0, 0, 1, 1, Full},
      {"scissor", argb, argb, true, TBlend::Normal, true, D3DTADDRESS_CLAMP, {}, 2, 2, 30, 30, 0, 0, 1, 1, {5, 6, 17, 19}},
      // Scaled, sub-pixel and addressed: the general loop.
      {"scaled bilinear wrap", xrgb, argb, true, TBlend::Normal, true, D3DTADDRESS_WRAP, {}, 2, 2, 26, 22, -0.5f, -0.5f, 1.5f, 1.5f, Full},
      {"scaled mirror", xrgb, argb, true, TBlend::Normal, true, D3DTADDRESS_MIRROR, {}, 2, 2, 26, 22, -0.5f, -0.5f, 1.5f, 1.5f, Full},
      {"scaled clamp point", xrgb, argb, true, TBlend::Opaque, false, D3DTADDRESS_CLAMP, {}, 2, 2, 26, 22, -0.5f, -0.5f, 1.5f, 1.5f, Full},
      {"half pixel", xrgb, argb, true, TBlend::Normal, true, D3DTADDRESS_CLAMP, {}, 3.5f, 3.25f, 11.5f, 11.75f, 0, 0, 1, 1, Full},
      {"gouraud", xrgb, argb, true, TBlend::Normal, true, D3DTADDRESS_CLAMP, {}, 0, 0, 40, 36, 0, 0, 1, 1, Full},
      // Untextured spans (rectangle fills, text).
      {"solid opaque", xrgb, argb, false, TBlend::Opaque, false, D3DTADDRESS_CLAMP, {}, 3, 3, 33, 9, 0, 0, 1, 1, Full},
      {"solid blend", xrgb, argb, false, TBlend::Normal, false, D3DTADDRESS_CLAMP, {}, 3, 3, 33, 9, 0, 0, 1, 1, Full},
      {"solid additive", argb, argb, false, TBlend::Additive, false, D3DTADDRESS_CLAMP, {}, 3, 3, 33, 9, 0, 0, 1, 1, Full},
      // 16-bit targets and textures.
      {"565 target", rgb565, argb, true, TBlend::Normal, true, D3DTADDRESS_CLAMP, {}, 4, 4, 12, 12, 0, 0, 1, 1, Full},
      {"4444 texture", xrgb, argb4444, true, TBlend::Normal, true, D3DTADDRESS_WRAP, {}, 4, 4, 20, 20, 0, 0, 1, 1, Full},
      {"565 texture additive", argb, rgb565, true, TBlend::Additive, false, D3DTADDRESS_CLAMP, {}, 4, 4, 12, 12, 0, 0, 1, 1, Full},
  };
  for (const TCase& base : cases)
    for (const uint32_t* tint : {White, Tint, Gouraud}) {
      TCase c = base;
      std::memcpy(c.tint, tint, sizeof c.tint);
      std::string name = std::string(base.name) + (tint == White ? " white" : tint == Tint ? " tint" : " gouraud");
      c.name = name.c_str();
      CompareQuad(c);
    }
}

// Textures drawn at their size (backgrounds, sprites): rows copied texel for texel, of
// every length up to a few vectors (each tail of the vector loops), at even and odd
// places; each fast blend, untinted and tinted, ARGB textures with a run of clear texels
// and XRGB ones, alpha from the texture or from the texture factor.
TEST_P(DeviceRasterLoops, TextureRowsCopiedTexelForTexelMatchTheReference) {
  auto pattern = [](int x, int y) { return x >= 8 && x < 26 && y < 2 ? TexturePattern(x, y) & 0xFFFFFF : TexturePattern(x, y); };
  for (bool argb : {true, false}) {
    const TPixelFormat format = argb ? PixelFormatArgb8888() : PixelFormatXrgb8888();
    TImage tex(format, 40, 4);
    for (int y = 0; y < tex.height; ++y)
      for (int x = 0; x < tex.width; ++x) WritePixel(&tex.bytes[size_t(y) * tex.pitch + size_t(x) * 4], 4, PackArgb(format, pattern(x, y)));
    for (TBlend blend : {TBlend::Opaque, TBlend::Normal, TBlend::Additive})
      for (uint32_t factor : {0xFFFFFFFFu, 0x80FFFFFFu})
        for (uint32_t tint : {0xFFFFFFFFu, 0xC080FF40u})
          for (int32_t width = 1; width <= tex.width; ++width)
            for (float left : {0.0f, 3.0f}) {
              TImage fast(PixelFormatXrgb8888(), 48, 6), reference(PixelFormatXrgb8888(), 48, 6);
              fast.Fill(Background);
              reference.Fill(Background);
              TRasterState s = SampledState(fast, &tex, {0, 0, 48, 6}, {D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP, false, blend, true});
              s.textureFactor = factor;
              PrepareRasterState(s);
              const float x0 = left - 0.5f, x1 = x0 + float(width), u1 = float(width) / float(tex.width);
              const TRasterVertex q[4] = {V(x0, 0.5f, 0, 0, tint), V(x1, 0.5f, u1, 0, tint), V(x1, 4.5f, u1, 1, tint),
                                          V(x0, 4.5f, 0, 1, tint)};
              DrawQuad(s, q[0], q[1], q[2], q[3]);
              s.target = reference.Target();
              ReferenceTriangle(s, q[0], q[1], q[2]);
              ReferenceTriangle(s, q[0], q[2], q[3]);
              ASSERT_EQ(fast.bytes, reference.bytes) << "texture " << (argb ? "ARGB" : "XRGB")
                                                     << ", blend " << int(blend) << ", factor " << std::hex << factor
                                                     << ", tint " << tint << std::dec << ", width " << width << ", left " << left;
            }
  }
}

// Rotated, scaled quads at sub-pixel positions (particles): every blend, both filters,
// the addressing modes alone and mixed, tints, 32- and 16-bit targets and textures,
// power-of-two and other texture sizes. Drawn as the particle renderer submits them,
// triangles (0, 1, 2) and (1, 3, 2).
TEST_P(DeviceRasterLoops, RotatedQuadsMatchTheReference) {
  const TPixelFormat targets[] = {PixelFormatXrgb8888(), PixelFormatArgb8888(), PixelFormatRgb565(), PixelFormatArgb4444()};
  struct TTextureKind { TPixelFormat format; int32_t width, height; };
  const TTextureKind textures[] = {{PixelFormatArgb8888(), 8, 8}, {PixelFormatXrgb8888(), 8, 8},
                                   {PixelFormatArgb8888(), 6, 5}, {PixelFormatArgb4444(), 8, 8},
                                   {PixelFormatRgb565(), 4, 16}};
  const uint32_t addressing[][2] = {{D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP}, {D3DTADDRESS_WRAP, D3DTADDRESS_WRAP},
                                    {D3DTADDRESS_MIRROR, D3DTADDRESS_MIRROR}, {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP},
                                    {D3DTADDRESS_MIRROR, D3DTADDRESS_WRAP}};
  const uint32_t* tints[] = {White, Tint, Gouraud};
  int index = 0;
  for (int blend = 0; blend < 5; ++blend)
    for (bool linear : {false, true})
      for (const auto& address : addressing)
        for (const uint32_t* tint : tints) {
          const TTextureKind& kind = textures[index % 5];
          const TPixelFormat& format = targets[(index / 5) % 4];
          TImage tex(kind.format, kind.width, kind.height);
          tex.Fill(TexturePattern);
          TImage fast(format, 40, 36), reference(format, 40, 36);
          fast.Fill(Background);
          reference.Fill(Background);
          TRasterState s = SampledState(fast, &tex, {1, 2, 39, 35}, {address[0], address[1], linear, TBlend(blend), true});
          std::vector<TRasterVertex> quads;
          for (int k = 0; k < 5; ++k) {
            // Small particles, a larger quad over the scissor's edge, texture ranges
            // beyond 0..1 for the addressing; then a quad folded over its diagonal
            // (the triangles overlap) and a dart (a corner pushed in past the centre).
            float size = k == 0 ? 8.0f : k == 1 ? 5.5f : k == 2 ? 21.0f : 9.0f;
            float cx = 7.3f + 12.6f * float(k % 3) + 0.17f * float(index % 7), cy = 9.61f + 8.2f * float(k % 3) + 4.0f * float(k / 3) + 0.29f * float(index % 5);
            float angle = 0.37f + 0.61f * float(index % 11) + 1.3f * float(k);
            float ux = std::sin(angle), uy = -std::cos(angle);
            float u0 = k == 2 ? -0.75f : 0.0f, u1 = k == 2 ? 1.6f : 1.0f;
            const float corners[5][4][2] = {{{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}},
                                            {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}},
                                            {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}},
                                            {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {-0.2f, -0.25f}},
                                            {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.05f, 0.1f}}};
            for (int c = 0; c < 4; ++c) {
              const float* corner = corners[k][c];
              quads.push_back(V(cx - corner[0] * size * uy - corner[1] * size * ux, cy + corner[0] * size * ux - corner[1] * size * uy,
                                corner[0] < 0 ? u0 : u1, corner[1] < 0 ? u0 : u1, tint[c]));
            }
          }
          // The device's path for such lists: both triangles in one pass.
          for (size_t q = 0; q < quads.size(); q += 4) DrawTrianglePair(s, quads[q], quads[q + 1], quads[q + 2], quads[q + 3]);
          s.target = reference.Target();
          ReferencePairs(s, quads);
          ASSERT_EQ(fast.bytes, reference.bytes) << "case " << index << ": blend " << blend << ", linear " << linear
                                                 << ", address " << address[0] << "/" << address[1] << ", tint "
                                                 << (tint == White ? "white" : tint == Tint ? "tint" : "gouraud")
                                                 << ", texture " << index % 5 << ", target " << (index / 5) % 4;
          ++index;
        }
}

// Quads drawn as triangle pairs on a wide target: rows longer than the loops queue,
// many rows at once, rows at the target's right edge, and coordinates far outside the
// texture; each blend on bilinear clamping and point wrapping.
TEST_P(DeviceRasterLoops, WideQuadPairsMatchTheReference) {
  TImage tex(PixelFormatArgb8888(), 8, 8);
  tex.Fill(TexturePattern);
  struct TQuad { float cx, cy, size, angle, u0, u1; };
  const TQuad quads[] = {{60, 20, 90, 0.1f, 0, 1}, {150, 30, 40, 0.8f, -3, 4}, {30, 32, 6, 2.0f, 0, 1},
                         {100, 8, 120, 1.5f, -40000, 40000}};
  for (int blend = 0; blend < 3; ++blend)
    for (bool linear : {false, true}) {
      const uint32_t address = linear ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP;
      std::vector<TRasterVertex> v;
      for (const TQuad& q : quads) PushRotatedQuad(v, q.cx, q.cy, q.size, q.angle, q.u0, q.u1, 0xE0C0A0FF);
      CompareQuads(170, 40, tex, {address, address, linear, TBlend(blend)}, v, [](const TRasterState& s, auto& v) {
        for (size_t q = 0; q < v.size(); q += 4) DrawTrianglePair(s, v[q], v[q + 1], v[q + 2], v[q + 3]);
      });
      if (HasFatalFailure()) return;
    }
}

// The quads of one draw call walked with one batch, as the device walks indexed lists:
// pixels stay queued from quad to quad, so a quad drawn over queued pixels must see
// them. Piles of tiny quads on one spot (several in one vector of lanes), larger
// overlapping ones, each with its own tint, a quad folded over its diagonal, one with a
// single triangle, rows too long to queue and coordinates beyond 32 bits in between,
// and more pixels than the queue holds.
TEST_P(DeviceRasterLoops, QuadsBatchedAcrossADrawCallMatchTheReference) {
  auto next = Randoms(777);
  TImage tex(PixelFormatArgb8888(), 8, 8);
  tex.Fill(TexturePattern);
  for (int blend = 0; blend < 3; ++blend)
    for (bool linear : {false, true}) {
      std::vector<TRasterVertex> v;
      // Square, folded over its diagonal, and with a single triangle.
      static constexpr TCorners Folded = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {-0.2f, -0.25f}};
      static constexpr TCorners Single = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {-0.5f, 0.5f}};
      const TCorners* const shapes[3] = {&SquareCorners, &Folded, &Single};
      auto quad = [&](float cx, float cy, float size, float angle, float u0, float u1, uint32_t tint, int shape) {
        PushRotatedQuad(v, cx, cy, size, angle, u0, u1, tint, *shapes[shape]);
      };
      for (int k = 0; k < 90; ++k) {
        const uint32_t tint = 0x40404040u + (uint32_t(k) * 0x2F1B3D07u & 0xBFBFBFBFu);
        if (k % 30 < 8) {
          quad(12.3f + 0.2f * float(k % 3), 9.7f, 1.6f + 0.3f * float(k % 4), 0.3f * float(k), 0, 1, tint, 0);
        } else if (k == 40) {
          quad(50, 20, 95, 0.05f, 0, 1, tint, 0);  // rows longer than the queue takes
        } else if (k == 50) {
          quad(30, 20, 10, 0.4f, -30000, 30000, tint, 0);  // beyond 32-bit coordinates
        } else {
          quad(next(20, 80), next(5, 35), next(3, 12), next(0, 6.3f), 0, 1, tint, k % 11 == 0 ? 1 : k % 13 == 0 ? 2 : 0);
        }
      }
      const TSampling how = {D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP, linear, TBlend(blend)};
      CompareQuads(100, 40, tex, how, v, [](const TRasterState& s, auto& v) {
        TRowBatch batch;
        TTriangleSetup a, b;
        for (size_t q = 0; q < v.size(); q += 4)
          WalkTrianglePair(s, a, b, SetupTrianglePair(s, v[q], v[q + 1], v[q + 2], v[q + 3], a, b), &batch);
        batch.Flush();
      });
      if (HasFatalFailure()) return;
    }
}

TEST_P(DeviceRasterLoops, RandomTrianglesMatchTheReference) {
  auto next = Randoms(12345);
  TImage tex(PixelFormatArgb8888(), 8, 8);
  tex.Fill(TexturePattern);
  for (int i = 0; i < 200; ++i) {
    TImage fast(PixelFormatXrgb8888(), 40, 36), reference(PixelFormatXrgb8888(), 40, 36);
    fast.Fill(Background);
    reference.Fill(Background);
    TRasterState s = SampledState(fast, &tex, {2, 1, 38, 34},
                                  {D3DTADDRESS_WRAP + uint32_t(i % 3), D3DTADDRESS_WRAP + uint32_t((i / 3) % 3),
                                   i % 2 == 0, TBlend(i % 5)});
    TRasterVertex v[3];
    for (auto& vertex : v) {
      vertex = V(next(-8, 48), next(-8, 44), next(-1, 2), next(-1, 2), 0xFFFFFFFF);
      vertex.r = next(0, 255); vertex.g = next(0, 255); vertex.b = next(0, 255); vertex.a = next(0, 255);
      vertex.rhw = i % 4 == 0 ? next(0.2f, 2.0f) : 1.0f;
    }
    DrawTriangle(s, v[0], v[1], v[2]);
    s.target = reference.Target();
    ReferenceTriangle(s, v[0], v[1], v[2]);
    ASSERT_EQ(fast.bytes, reference.bytes) << "triangle " << i;
  }
}

TEST(DeviceRaster, FlatShadingColoursEveryPixelWithTheFirstVertex) {
  // Both windings: the set-up reorders the other two vertices of one of them.
  const TRasterVertex first = V(3.5f, 2.5f, 0, 0, 0xFFC08040);
  const TRasterVertex others[2][2] = {{V(30.5f, 8.5f, 0, 0, 0xFF10F020), V(9.5f, 30.5f, 0, 0, 0xFF2030F0)},
                                      {V(9.5f, 30.5f, 0, 0, 0xFF2030F0), V(30.5f, 8.5f, 0, 0, 0xFF10F020)}};
  for (const auto& pair : others) {
    TImage target(PixelFormatXrgb8888(), 40, 36);
    TRasterState s;
    s.target = target.Target();
    s.scissor = Full;
    s.flatShade = true;
    s.colorOp = D3DTOP_SELECTARG1;
    s.colorArg1 = D3DTA_DIFFUSE;
    PrepareRasterState(s);
    DrawTriangle(s, first, pair[0], pair[1]);
    int covered = 0;
    for (int32_t y = 0; y < target.height; ++y)
      for (int32_t x = 0; x < target.width; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, &target.bytes[size_t(y) * target.pitch + size_t(x) * 4], 4);
        pixel &= 0xFFFFFF;
        if (pixel == 0) continue;
        ++covered;
        ASSERT_EQ(pixel, 0xC08040u) << "pixel " << x << ", " << y;
      }
    EXPECT_GT(covered, 200);
  }
}

TEST(DeviceRaster, SharedEdgesNeitherOverlapNorLeaveGaps) {
  // A fan around a centre, with vertices on pixel centres, edges and fractions: with
  // additive drawing of 1 per triangle, every covered pixel must read exactly 1.
  const float cx = 17.3f, cy = 15.5f;
  const float ring[][2] = {{2, 2}, {17, 0.5f}, {33.5f, 2}, {34, 15.5f}, {33, 30}, {17.25f, 31}, {1.5f, 29.5f}, {0.5f, 15}};
  TImage img(PixelFormatArgb8888(), 40, 36);
  TRasterState s;
  s.target = img.Target();
  s.scissor = Full;
  s.blend = true;
  s.srcBlend = D3DBLEND_ONE;
  s.dstBlend = D3DBLEND_ONE;
  s.alphaOp = D3DTOP_SELECTARG1;
  s.alphaArg1 = D3DTA_DIFFUSE;
  PrepareRasterState(s);
  const int n = 8;
  for (int i = 0; i < n; ++i) {
    const float* a = ring[i];
    const float* b = ring[(i + 1) % n];
    DrawTriangle(s, V(cx, cy, 0, 0, 0x01010101), V(a[0], a[1], 0, 0, 0x01010101), V(b[0], b[1], 0, 0, 0x01010101));
  }
  int covered = 0;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      uint32_t p;
      std::memcpy(&p, &img.bytes[size_t(y) * img.pitch + size_t(x) * 4], 4);
      ASSERT_TRUE(p == 0 || p == 0x01010101u) << "pixel " << x << "," << y << " = " << std::hex << p;
      covered += p != 0;
    }
  EXPECT_GT(covered, 700);
  // Two quads sharing a vertical edge at x = 10 (pixel centres at integers).
  TImage two(PixelFormatArgb8888(), 20, 4);
  s.target = two.Target();
  s.scissor = {0, 0, 20, 4};
  for (float left : {2.0f, 10.0f}) {
    float right = left + 8;
    DrawTriangle(s, V(left, 0, 0, 0, 0x01010101), V(right, 0, 0, 0, 0x01010101), V(right, 4, 0, 0, 0x01010101));
    DrawTriangle(s, V(left, 0, 0, 0, 0x01010101), V(right, 4, 0, 0, 0x01010101), V(left, 4, 0, 0, 0x01010101));
  }
  for (int x = 0; x < 20; ++x) {
    uint32_t p;
    std::memcpy(&p, &two.bytes[size_t(x) * 4], 4);
    EXPECT_EQ(p, (x >= 2 && x < 18) ? 0x01010101u : 0u) << "column " << x;
  }
}

TEST(DeviceRaster, LineSpansCoverExactlyTheirHalfOpenRange) {
  TImage img(PixelFormatXrgb8888(), 40, 8);
  TRasterState s;
  s.target = img.Target();
  s.scissor = {0, 0, 40, 8};
  s.alphaOp = D3DTOP_SELECTARG1;
  s.alphaArg1 = D3DTA_DIFFUSE;
  PrepareRasterState(s);
  struct { float x0, x1, y; } spans[] = {{3, 9, 1}, {10, 11, 2}, {0, 40, 3}, {-5, 4, 4}, {38, 45, 5}, {20, 20, 6}};
  for (auto& sp : spans) DrawLine(s, V(sp.x0, sp.y, 0, 0, 0xFFFFFFFF), V(sp.x1, sp.y, 0, 0, 0xFFFFFFFF));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 40; ++x) {
      bool expected = false;
      for (auto& sp : spans) expected |= y == int(sp.y) && x >= sp.x0 && x < sp.x1;
      uint32_t p;
      std::memcpy(&p, &img.bytes[size_t(y) * img.pitch + size_t(x) * 4], 4);
      EXPECT_EQ(p != 0, expected) << x << "," << y;
    }
  // A sloped line takes one pixel per column, the end excluded, as the reference does.
  TImage a(PixelFormatXrgb8888(), 16, 16), b(PixelFormatXrgb8888(), 16, 16);
  s.target = a.Target();
  s.scissor = {0, 0, 16, 16};
  DrawLine(s, V(1, 2, 0, 0, 0xFF00FF00), V(14, 9, 0, 0, 0xFFFF0000));
  DrawLine(s, V(12, 1, 0, 0, 0xFF0000FF), V(9, 15, 0, 0, 0xFFFF00FF));
  s.target = b.Target();
  ReferenceLine(s, V(1, 2, 0, 0, 0xFF00FF00), V(14, 9, 0, 0, 0xFFFF0000));
  ReferenceLine(s, V(12, 1, 0, 0, 0xFF0000FF), V(9, 15, 0, 0, 0xFFFF00FF));
  EXPECT_EQ(a.bytes, b.bytes);
  // One pixel in each of the columns 1..13, none at the end point's column.
  TImage c(PixelFormatXrgb8888(), 16, 16);
  s.target = c.Target();
  DrawLine(s, V(1, 2, 0, 0, 0xFF00FF00), V(14, 9, 0, 0, 0xFFFF0000));
  for (int x = 0; x < 16; ++x) {
    int lit = 0;
    for (int y = 0; y < 16; ++y) lit += c.bytes[size_t(y) * c.pitch + size_t(x) * 4 + 3] != 0;
    EXPECT_EQ(lit, x >= 1 && x <= 13 ? 1 : 0) << "column " << x;
  }
}
