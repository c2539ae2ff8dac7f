// Quads of indexed lists, (v0, v1, v2) + (v1, v3, v2): their set-up with four vertices
// snapped once against two triangle set-ups, and the device's path for runs of them
// against the same triangles drawn one call each.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device_rig.h"
#include "graphics/device/quad_setup.h"
#include "graphics/device/rasterizer.h"
#include "graphics/device/vertex_pipeline.h"
#include "reference_rasterizer.h"

namespace {

struct TRandom {
  uint32_t seed;
  uint32_t Next() {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  }
  float Range(float lo, float hi) { return lo + (hi - lo) * float(Next()) / float(1 << 24); }
  bool Chance(uint32_t oneIn) { return Next() % oneIn == 0; }
};

bool SamePlane(const TPlane& a, const TPlane& b) {
  return a.a0 == b.a0 && a.dx == b.dx && a.dy == b.dy && a.xref == b.xref && a.yref == b.yref;
}

// Bit for bit, so that NaN and signed zeros count too.
bool SameFloatPlane(const TFloatPlane& a, const TFloatPlane& b) {
  return std::memcmp(&a.a0, &b.a0, sizeof a.a0) == 0 && std::memcmp(&a.dx, &b.dx, sizeof a.dx) == 0 &&
         std::memcmp(&a.dy, &b.dy, sizeof a.dy) == 0 && a.xref == b.xref && a.yref == b.yref;
}

// Everything a walker or span loop reads from a set-up.
std::string Difference(const TTriangleSetup& a, const TTriangleSetup& b) {
  for (int i = 0; i < 3; ++i)
    if (a.X[i] != b.X[i] || a.Y[i] != b.Y[i] || a.A[i] != b.A[i] || a.B[i] != b.B[i] || a.Xa[i] != b.Xa[i] ||
        a.Ya[i] != b.Ya[i] || a.bias[i] != b.bias[i])
      return "edge " + std::to_string(i);
  if (a.rowTop != b.rowTop || a.rowBottom != b.rowBottom) return "rows";
  const TAttributePlanes &p = a.planes, &q = b.planes;
  for (int k = 0; k < 4; ++k)
    if (!SamePlane(p.color[k], q.color[k])) return "colour " + std::to_string(k);
  for (int k = 0; k < 3; ++k)
    if (!SamePlane(p.specular[k], q.specular[k])) return "specular " + std::to_string(k);
  if (!SamePlane(p.u, q.u) || !SamePlane(p.v, q.v)) return "texture coordinates";
  if (!SamePlane(p.z, q.z)) return "depth";
  if (p.linearFilter != q.linearFilter) return "filter";
  if (p.perspective != q.perspective) return "perspective";
  if (p.perspective && (!SameFloatPlane(p.q, q.q) || !SameFloatPlane(p.uq, q.uq) || !SameFloatPlane(p.vq, q.vq)))
    return "perspective planes";
  return "";
}

// A coordinate of one of several kinds: anywhere near the scissor, on a coarse grid
// (shared, horizontal and vertical edges, degenerate quads), or far out.
float Coordinate(TRandom& r, int kind) {
  switch (kind) {
    case 0: return r.Range(-10, 50);
    case 1: return float(int32_t(r.Next() % 12)) * 4.0f - 6.0f;
    default: return r.Range(-16000, 16000);
  }
}

TRasterVertex RandomVertex(TRandom& r, int kind) {
  TRasterVertex v;
  v.x = Coordinate(r, kind);
  v.y = Coordinate(r, kind);
  v.z = r.Range(0, 1);
  v.rhw = r.Chance(3) ? r.Range(0.2f, 2.0f) : 1.0f;
  v.r = r.Range(0, 255), v.g = r.Range(0, 255), v.b = r.Range(0, 255), v.a = r.Range(0, 255);
  v.sr = r.Range(0, 255), v.sg = r.Range(0, 255), v.sb = r.Range(0, 255);
  v.u = r.Range(-1, 2), v.v = r.Range(-1, 2);
  return v;
}

}  // namespace

// Random quads in every state that changes set-up: culling, flat shading, texture,
// depth, specular, filters, scissors that cut them; quads with shared colours (constant
// planes), one rhw (affine) or several (perspective), repeated and collinear vertices,
// huge coordinates, infinite and NaN colours and texture coordinates. Every pair form
// (the plain one, and the draw call's reused set-ups with and without SSE4.1) against
// two triangle set-ups; the reused set-ups keep a state for a run of quads, as a draw
// call does.
TEST(DeviceQuadSetup, PairSetUpEqualsTwoTriangleSetUps) {
  TRandom r{2024};
  std::vector<uint8_t> texels(64 * 32 * 4), depth(4);
  const TDevRect scissors[] = {{0, 0, 40, 36}, {5, 7, 19, 12}, {0, 0, 1, 1}, {30, 0, 40, 36}};
  const float odd[] = {INFINITY, -INFINITY, NAN, 1e30f, -1e30f, -0.0f};
  int drawn = 0;
  TRasterState s;
  std::unique_ptr<TQuadPairSetup> reused[2];  // plain, SSE4.1 where the processor has it
  for (int i = 0; i < 4000; ++i) {
    if (i % 4 == 0) {
      s = TRasterState{};
      s.scissor = scissors[r.Next() % 4];
      s.cull = D3DCULL_NONE + uint32_t(r.Next() % 3);
      s.flatShade = r.Chance(4);
      if (!r.Chance(4)) s.texture = {texels.data(), 256, 64, 32, TPixelLayout::Argb8888, PixelFormatArgb8888()};
      s.zEnable = r.Chance(3);
      if (s.zEnable) s.depth = {depth.data(), 2, 16};
      s.specular = r.Chance(4);
      s.magLinear = r.Chance(2);
      s.minLinear = r.Chance(2);
      reused[0] = std::make_unique<TQuadPairSetup>(s, false);
      reused[1] = std::make_unique<TQuadPairSetup>(s, true);
    }
    const int kind = int(r.Next() % 3);
    TRasterVertex v[4];
    for (TRasterVertex& vertex : v) vertex = RandomVertex(r, kind);
    if (r.Chance(3))  // one colour for the quad, as particles have
      for (TRasterVertex& vertex : v) vertex.r = v[0].r, vertex.g = v[0].g, vertex.b = v[0].b, vertex.a = v[0].a;
    if (r.Chance(2))  // one rhw: affine texture coordinates
      for (TRasterVertex& vertex : v) vertex.rhw = v[0].rhw;
    if (r.Chance(25)) {  // values without a fixed-point form
      TRasterVertex& vertex = v[r.Next() % 4];
      float* channels[] = {&vertex.r, &vertex.a, &vertex.u, &vertex.v};
      *channels[r.Next() % 4] = odd[r.Next() % 6];
    }
    switch (r.Next() % 6) {
      case 0: v[3] = v[1]; break;                        // the second triangle degenerate
      case 1: v[2].x = v[1].x, v[2].y = v[1].y; break;  // both degenerate
      case 2:                                            // v3 on the line through v1 and v2
        v[3].x = 2 * v[2].x - v[1].x, v[3].y = 2 * v[2].y - v[1].y;
        break;
      default: break;
    }
    SCOPED_TRACE("quad " + std::to_string(i));
    TTriangleSetup expectedA, expectedB;
    const bool hasA = SetupTriangle(s, v[0], v[1], v[2], expectedA);
    const bool hasB = SetupTriangle(s, v[1], v[3], v[2], expectedB);
    const uint32_t expected = (hasA ? 1u : 0u) | (hasB ? 2u : 0u);
    auto check = [&](const char* form, uint32_t pair, const TTriangleSetup& a, const TTriangleSetup& b) {
      SCOPED_TRACE(form);
      ASSERT_EQ(pair, expected);
      if (hasA) {
        ASSERT_EQ(Difference(a, expectedA), "") << "first triangle";
      }
      if (hasB) {
        ASSERT_EQ(Difference(b, expectedB), "") << "second triangle";
      }
    };
    TTriangleSetup a, b;
    check("plain pair", SetupTrianglePair(s, v[0], v[1], v[2], v[3], a, b), a, b);
    for (int k = 0; k < 2; ++k)
      check(k == 0 ? "reused" : "reused, SSE4.1", reused[k]->Setup(v[0], v[1], v[2], v[3]), reused[k]->A(),
            reused[k]->B());
    if (HasFatalFailure()) return;
    drawn += hasA + hasB;
  }
  // The cases above must reach both outcomes often.
  EXPECT_GT(drawn, 2000);
  EXPECT_LT(drawn, 7000);
}

// The set-up's SSE4.1 floor gives FloorToInt's integer for every input, also those
// beyond the int64 range, where the plain form's conversion decides.
TEST(DeviceQuadSetup, Sse41FloorEqualsThePlainFloor) {
  if (!quad_setup::Sse41SetupAvailable()) GTEST_SKIP() << "no SSE4.1";
  const double values[] = {0.0, -0.0, 0.5, -0.5, 1.0, -1.0, 1.5, -1.5, 2.5, -2.5, 0x1p52 + 0.5, -0x1p52 - 0.5,
                           0x1p53, -0x1p53, 0x1p62, -0x1p62, 0x1p63, -0x1p63, 0x1p64, -0x1p64, 1e300, -1e300,
                           std::nextafter(0x1p63, 0.0), std::nextafter(-0x1p63, 0.0), std::nextafter(-0x1p63, -1e300),
                           4.9e-324, -4.9e-324, INFINITY, -INFINITY, NAN, -NAN};
  for (double v : values) EXPECT_EQ(quad_setup::FloorSse41(v), quad_setup::FloorToInt(v)) << v;
}

namespace {

struct TQuadRig : TDeviceRig {
  TQuadRig() { EXPECT_EQ(CreateWindowed(48, 40), DD_OK); }
  std::vector<uint8_t> Pixels() const { return {back->Pixels(), back->Pixels() + size_t(back->Pitch()) * 40}; }
};

void BlendedUntextured(TSoftDevice& d, uint32_t cull) {
  Set2dRenderStates(d, cull);
  d.SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
  d.SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  d.SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  d.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
}

}  // namespace

namespace {

// How the pair tests draw: textured looks go to the loops drawing many rows at once,
// the untextured one span by span.
struct TLook {
  const char* name;
  bool textured, linear;
  uint32_t srcBlend, dstBlend;
};
const TLook Looks[] = {{"additive bilinear", true, true, D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                       {"blended point", true, false, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                       {"blended untextured", false, false, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA}};

std::vector<uint32_t> LookTexels() {
  std::vector<uint32_t> texels(8 * 8);
  for (size_t i = 0; i < texels.size(); ++i) texels[i] = uint32_t(i * 0x9E3779B1u) | 0x40000000u;
  return texels;
}

// The state of a look (8x8 texels); its target, scissor and loops are the caller's.
TRasterState LookState(const TLook& look, const std::vector<uint32_t>& texels) {
  TRasterState s;
  if (look.textured) s.texture = {reinterpret_cast<const uint8_t*>(texels.data()), 32, 8, 8, TPixelLayout::Argb8888, PixelFormatArgb8888()};
  s.addressU = s.addressV = D3DTADDRESS_CLAMP;
  s.magLinear = s.minLinear = look.linear;
  s.blend = true;
  s.srcBlend = look.srcBlend, s.dstBlend = look.dstBlend;
  s.alphaOp = D3DTOP_MODULATE, s.alphaArg1 = D3DTA_TEXTURE, s.alphaArg2 = D3DTA_DIFFUSE;
  return s;
}

}  // namespace

// Quads walked as pairs of triangles in one pass against the reference drawing their
// triangles one by one: the particle renderer's split (0, 1, 2) + (1, 3, 2) and the
// fan's (0, 1, 2) + (0, 2, 3), which share different edges; convex quads, folded
// ones, darts, quads with horizontal and vertical edges or far corners, cut by the
// scissor, in both windings and with culling, textured (the loops drawing many rows at
// once) and not.
TEST(DeviceQuadWalk, PairsDrawLikeTheReferenceTriangles) {
  const std::vector<uint32_t> texels = LookTexels();
  TRandom r{4242};
  for (const TLook& look : Looks)
    for (bool fan : {false, true}) {
      SCOPED_TRACE(std::string(look.name) + (fan ? ", fan split" : ", list split"));
      std::vector<uint32_t> walked(48 * 40, 0xFF203040u), reference(walked);
      TRasterState s = LookState(look, texels);
      for (int q = 0; q < 400; ++q) {
        s.cull = q % 5 == 4 ? D3DCULL_CCW : D3DCULL_NONE;
        s.scissor = q % 3 == 2 ? TDevRect{7, 5, 31, 29} : TDevRect{0, 0, 48, 40};
        const int shape = q % 4;
        const float cx = r.Range(-4, 52), cy = r.Range(-4, 44), size = q % 25 == 0 ? 30000.0f : r.Range(2, 16);
        const float angle = shape == 1 ? 1.5707964f * float(r.Next() % 4) : r.Range(0, 6.3f);
        const float ux = std::sin(angle), uy = -std::cos(angle);
        // Convex (also axis-aligned, with horizontal edges), folded over the diagonal, a dart.
        const float last[4][2] = {{0.5f, 0.5f}, {0.5f, 0.5f}, {-0.2f, -0.25f}, {0.05f, 0.1f}};
        const float corners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {last[shape][0], last[shape][1]}};
        TRasterVertex v[4];
        const uint32_t colour = (0x30 + r.Next() % 0xC0) << 24 | (r.Next() & 0xFFFFFF);
        for (int c = 0; c < 4; ++c) {
          float x = cx - corners[c][0] * size * uy - corners[c][1] * size * ux;
          float y = cy + corners[c][0] * size * ux - corners[c][1] * size * uy;
          if (shape == 1) x = std::round(x * 4) / 4, y = std::round(y * 4) / 4;  // on the sub-pixel grid
          v[c].x = x, v[c].y = y;
          v[c].u = corners[c][0] + 0.5f, v[c].v = corners[c][1] + 0.5f;
          v[c].a = float(colour >> 24), v[c].r = float(colour >> 16 & 0xFF), v[c].g = float(colour >> 8 & 0xFF);
          v[c].b = float(colour & 0xFF);
        }
        // The fan's order of the same quad: (0, 1, 3, 2).
        const TRasterVertex f[4] = {v[0], v[1], v[3], v[2]};
        s.target = {reinterpret_cast<uint8_t*>(walked.data()), 48 * 4, 48, 40, TPixelLayout::Xrgb8888, PixelFormatXrgb8888()};
        PrepareRasterState(s);
        if (fan)
          DrawQuad(s, f[0], f[1], f[2], f[3]);
        else
          DrawTrianglePair(s, v[0], v[1], v[2], v[3]);
        s.target.pixels = reinterpret_cast<uint8_t*>(reference.data());
        if (fan) {
          ReferenceTriangle(s, f[0], f[1], f[2]);
          ReferenceTriangle(s, f[0], f[2], f[3]);
        } else {
          ReferenceTriangle(s, v[0], v[1], v[2]);
          ReferenceTriangle(s, v[1], v[3], v[2]);
        }
        ASSERT_EQ(walked, reference) << "quad " << q;
      }
    }
}

namespace {

// Once per width of span loops, as PrepareRasterState reads the limit: the widest
// walks small pairs sixteen pixel centres at a time, the others edge by edge.
class DeviceQuadLimits : public ::testing::TestWithParam<TSpanWidth> {
 protected:
  void SetUp() override {
    LimitSpanWidth(GetParam());
    if (SpanWidthInUse() != GetParam()) GTEST_SKIP() << "the processor lacks these span loops";
  }
  void TearDown() override { AllowWideSpans(true); }
};

}  // namespace

// Pairs (v0, v1, v2) + (v1, v3, v2) at the limits of the walks, alone and in one batch,
// against the reference's triangles: shared edges horizontal, vertical and at 45
// degrees, the other winding, the widest pairs walked sixteen columns at a time (on
// pixel centres) and the next wider, the tallest and the next taller, scissors cutting
// columns and rows, a fold over the shared edge, a pair left of the target.
TEST_P(DeviceQuadLimits, PairsAtTheWalksLimitsDrawLikeTheReference) {
  struct TPair {
    const char* name;
    float x[4], y[4];
    TDevRect scissor;
  };
  const TDevRect all{0, 0, 48, 80};
  const TPair pairs[] = {{"horizontal shared edge", {15, 10, 22, 16}, {3, 10, 10, 17}, all},
                         {"vertical shared edge", {5, 12, 12, 19}, {12, 5, 20, 13}, all},
                         {"shared edge at 45 degrees", {5, 13, 5, 13}, {5, 5, 13, 13}, all},
                         {"off the grid at 45 degrees", {20.5f, 28.5f, 20.5f, 28.5f}, {4.25f, 4.25f, 12.25f, 12.25f}, all},
                         {"other winding", {5, 5, 13, 13}, {25, 33, 25, 33}, all},
                         {"fifteen pixels wide", {10, 25, 10, 25}, {40, 40, 48, 48}, all},
                         {"sixteen pixels wide", {10, 26, 10, 26}, {50, 50, 58, 58}, all},
                         {"turned, just under sixteen wide", {30.1f, 44.9f, 31, 44}, {20.3f, 22, 27.9f, 29.6f}, all},
                         {"64 rows tall", {30, 34, 30, 34}, {8, 8, 72, 72}, all},
                         {"65 rows tall", {38, 42, 38, 42}, {7.5f, 7.5f, 72.5f, 72.5f}, all},
                         {"scissor inside its columns and rows", {10, 25, 10, 25}, {60, 60, 68, 68}, {13, 62, 21, 66}},
                         {"scissor right of it", {10, 25, 10, 25}, {60, 60, 68, 68}, {26, 0, 48, 80}},
                         {"folded over the shared edge", {5, 15, 5, 7}, {60, 60, 70, 61}, all},
                         {"left of the target", {-6, 4, -4, 6}, {30, 28, 38, 36}, all},
                         {"sliver", {20, 34, 20, 34}, {74.5f, 74.6f, 75.4f, 75.5f}, all}};
  const std::vector<uint32_t> texels = LookTexels();
  for (const TLook& look : Looks)
    for (bool batched : {false, true}) {
      SCOPED_TRACE(std::string(look.name) + (batched ? ", batched" : ", alone"));
      std::vector<uint32_t> walked(48 * 80, 0xFF203040u), reference(walked);
      TRasterState s = LookState(look, texels);
      TRowBatch batch;
      TTriangleSetup a, b;
      for (const TPair& pair : pairs) {
        TRasterVertex v[4];
        for (int c = 0; c < 4; ++c) {
          v[c].x = pair.x[c], v[c].y = pair.y[c];
          v[c].u = float(c & 1), v[c].v = float(c >> 1);
          v[c].a = 0xC0, v[c].r = float(0x40 + 0x30 * c), v[c].g = 0xA0, v[c].b = 0x60;
        }
        s.scissor = pair.scissor;
        s.target = {reinterpret_cast<uint8_t*>(walked.data()), 48 * 4, 48, 80, TPixelLayout::Xrgb8888, PixelFormatXrgb8888()};
        PrepareRasterState(s);
        if (batched)
          WalkTrianglePair(s, a, b, SetupTrianglePair(s, v[0], v[1], v[2], v[3], a, b), &batch);
        else
          DrawTrianglePair(s, v[0], v[1], v[2], v[3]);
        s.target.pixels = reinterpret_cast<uint8_t*>(reference.data());
        ReferenceTriangle(s, v[0], v[1], v[2]);
        ReferenceTriangle(s, v[1], v[3], v[2]);
        if (!batched) {
          ASSERT_EQ(walked, reference) << pair.name;
        }
      }
      batch.Flush();
      ASSERT_EQ(walked, reference);
    }
}

INSTANTIATE_TEST_SUITE_P(Spans, DeviceQuadLimits, ::testing::Values(TSpanWidth::Sse2, TSpanWidth::Avx2, TSpanWidth::Avx512),
                         [](const ::testing::TestParamInfo<TSpanWidth>& info) {
                           return info.param == TSpanWidth::Avx512 ? "Wide16" : info.param == TSpanWidth::Avx2 ? "Wide" : "Narrow";
                         });

// Runs of quads in the particle renderer's index order, drawn in one indexed call,
// give the pixels of their triangles drawn one call each: quads inside, quads folded
// over their diagonal, quads crossing the guard band (clipped) and quads beyond it, in
// screen and in clip space, with and without culling. Blending makes order visible.
TEST(DeviceQuadRuns, IndexedQuadListsDrawLikeTheirTrianglesOneByOne) {
  TRandom r{77};
  for (bool transformed : {false, true})
    for (uint32_t cull : {uint32_t(D3DCULL_NONE), uint32_t(D3DCULL_CCW)}) {
      SCOPED_TRACE(std::string(transformed ? "clip space" : "screen space") + (cull == D3DCULL_NONE ? "" : ", culled"));
      std::vector<TDevVertexTransformed> v;
      std::vector<uint16_t> indices;
      for (int q = 0; q < 60; ++q) {
        const float far = transformed ? 40000.0f : 20000.0f;
        const float size = q % 10 == 9 ? far : r.Range(2, 20);
        const float cx = r.Range(-4, 52), cy = r.Range(-4, 44), angle = r.Range(0, 6.3f);
        const float ux = std::sin(angle), uy = -std::cos(angle);
        const float corners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {q % 7 == 3 ? -0.3f : 0.5f, 0.5f}};
        const uint16_t first = uint16_t(v.size());
        for (const auto& c : corners) {
          const uint32_t colour = (0x30 + r.Next() % 0xC0) << 24 | (r.Next() & 0xFFFFFF);
          v.push_back({cx - c[0] * size * uy - c[1] * size * ux, cy + c[0] * size * ux - c[1] * size * uy, 0.5f, 1.0f,
                       colour, 0, 0, 0});
        }
        for (uint16_t k : {0, 1, 2, 1, 3, 2}) indices.push_back(uint16_t(first + k));
      }
      const uint32_t fvf = transformed ? DevFvfLitXyz : DevFvfTransformed;
      if (transformed)  // the same 32-byte layout; rhw is ignored
        for (TDevVertexTransformed& vertex : v) vertex.rhw = 0;
      TQuadRig runs, single;
      for (TQuadRig* rig : {&runs, &single}) {
        TSoftDevice& d = *rig->device;
        d.BeginScene();
        d.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF203040, 1.0f, 0);
        BlendedUntextured(d, cull);
        d.SetTransform(D3DTRANSFORMSTATE_PROJECTION, OrthoProjection(48, 40));
      }
      ASSERT_EQ(runs.device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, fvf, v.data(), uint32_t(v.size()), indices.data(),
                                                  uint32_t(indices.size()), 0),
                D3D_OK);
      for (size_t i = 0; i < indices.size(); i += 3) {
        TDevVertexTransformed triangle[3] = {v[indices[i]], v[indices[i + 1]], v[indices[i + 2]]};
        ASSERT_EQ(single.device->DrawPrimitive(D3DPT_TRIANGLELIST, fvf, triangle, 3, 0), D3D_OK);
      }
      runs.device->EndScene();
      single.device->EndScene();
      ASSERT_EQ(runs.Pixels(), single.Pixels());
    }
}

// Quads and triangles whose vertices are all clear (diffuse alpha 0) are left out of a
// draw only where drawing them changes nothing: indexed quads, quads written out as
// pairs and as fans, and single triangles against the reference drawing every triangle, with the target and
// the depth buffer compared. States that keep such pixels (blends by source alpha, the
// alpha test) and states that do not (colour added whatever the alpha, alpha from the
// texture alone, depth written, a 16-bit target) alike; some quads are clear at a
// corner or two only.
TEST(DeviceQuadRuns, ClearTrianglesAreLeftOutOnlyWhereTheyChangeNothing) {
  struct TClearCase {
    const char* name;
    uint32_t srcBlend, dstBlend, alphaOp, alphaArg1;
    bool alphaTest, depthWrite, target16;
  };
  const TClearCase cases[] = {
      {"additive", D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DTOP_MODULATE, D3DTA_TEXTURE, false, false, false},
      {"over, diffuse alpha alone", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, false, false, false},
      {"over, alpha tested", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE, D3DTA_TEXTURE, true, false, false},
      {"colour added whatever the alpha", D3DBLEND_ONE, D3DBLEND_ONE, D3DTOP_MODULATE, D3DTA_TEXTURE, false, false, false},
      {"alpha from the texture alone", D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, false, false, false},
      {"depth written", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE, D3DTA_TEXTURE, false, true, false},
      {"16-bit target", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE, D3DTA_TEXTURE, false, false, true},
  };
  const std::vector<uint32_t> texels = LookTexels();
  for (const TClearCase& c : cases)
    for (int form = 0; form < 4; ++form) {
      static const char* const forms[4] = {", indexed quads", ", pairs", ", fans", ", triangles"};
      SCOPED_TRACE(std::string(c.name) + forms[form]);
      TRandom r{99};
      std::vector<TDevVertexTransformed> quads;
      for (int q = 0; q < 40; ++q) {
        const float cx = r.Range(0, 48), cy = r.Range(0, 40), size = r.Range(3, 14), angle = r.Range(0, 6.3f);
        const float ux = std::sin(angle), uy = -std::cos(angle);
        const uint32_t clearCorners = q % 5 == 4 ? r.Next() % 15 : 15;  // bit k: corner k is clear
        for (int k = 0; k < 4; ++k) {
          const float cx0 = k % 2 ? 0.5f : -0.5f, cy0 = k / 2 ? 0.5f : -0.5f;
          const uint32_t alpha = clearCorners >> k & 1 ? 0 : 0x80 + r.Next() % 0x80;
          quads.push_back({cx - cx0 * size * uy - cy0 * size * ux, cy + cx0 * size * ux - cy0 * size * uy, r.Range(0, 1),
                           1.0f, alpha << 24 | (r.Next() & 0xFFFFFF), 0, cx0 + 0.5f, cy0 + 0.5f});
        }
      }
      // The forms' vertices and indices: quads (0, 1, 2) + (1, 3, 2) by index or written
      // out, quads (0, 1, 3) + (0, 3, 2), or triangles that share no corner's place.
      std::vector<TDevVertexTransformed> v;
      std::vector<uint16_t> indices;
      for (size_t q = 0; q < quads.size(); q += 4) {
        if (form == 0) {
          for (uint16_t k : {0, 1, 2, 1, 3, 2}) indices.push_back(uint16_t(q + k));
          continue;
        }
        static const int order[3][6] = {{0, 1, 2, 1, 3, 2}, {0, 1, 3, 0, 3, 2}, {0, 1, 2, 3, 2, 1}};
        for (int k : order[form - 1]) v.push_back(quads[q + k]);
      }
      if (form == 0) v = quads;
      const uint32_t count = form == 0 ? uint32_t(indices.size()) : uint32_t(v.size());
      const TPixelFormat format = c.target16 ? PixelFormatRgb565() : PixelFormatXrgb8888();
      const int32_t pitch = 48 * int32_t(BytesPerPixel(format));
      std::vector<uint8_t> drawn(size_t(pitch) * 40), reference(drawn.size());
      for (size_t i = 0; i < drawn.size(); ++i) drawn[i] = reference[i] = uint8_t(i * 37 + 11);
      std::vector<uint16_t> drawnDepth(48 * 40, 0x8000), referenceDepth(drawnDepth);
      TRasterState s = LookState({"", true, true, c.srcBlend, c.dstBlend}, texels);
      s.alphaOp = c.alphaOp, s.alphaArg1 = c.alphaArg1;
      s.alphaTest = c.alphaTest, s.alphaFunc = D3DCMP_GREATEREQUAL, s.alphaRef = 1;
      s.zEnable = s.zWrite = c.depthWrite;
      s.zFunc = D3DCMP_ALWAYS;
      s.scissor = {0, 0, 48, 40};
      s.target = {drawn.data(), pitch, 48, 40, ClassifyPixelFormat(format), format};
      s.depth = {reinterpret_cast<uint8_t*>(drawnDepth.data()), 48 * 2, 16};
      PrepareRasterState(s);
      TVertexPipeline pipeline;
      TVertexBatch batch;
      ASSERT_TRUE(ProcessVertices(pipeline, DevFvfTransformed, v.data(), uint32_t(v.size()), batch));
      DrawPrimitives(s, pipeline, false, D3DPT_TRIANGLELIST, batch, form == 0 ? indices.data() : nullptr, count);
      s.target.pixels = reference.data();
      s.depth.pixels = reinterpret_cast<uint8_t*>(referenceDepth.data());
      for (uint32_t i = 0; i < count; i += 3) {
        auto corner = [&](uint32_t k) { return batch.clip[form == 0 ? indices[i + k] : i + k].attributes; };
        ReferenceTriangle(s, corner(0), corner(1), corner(2));
      }
      EXPECT_EQ(drawn, reference);
      EXPECT_EQ(drawnDepth, referenceDepth);
    }
}
