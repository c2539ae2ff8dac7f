// Triangle set-up against a plain computation from the three screen vertices: which
// pixel centres are covered (top-left rule by its definition) and the value of every
// interpolant there (barycentric weights in double precision). The comparison tests
// of the span loops share the production set-up, so this is what checks set-up itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/device/rasterizer.h"

namespace {

constexpr int TexWidth = 64, TexHeight = 32;
const TDevRect Scissor{0, 0, 320, 240};

struct TPoint {
  double x, y;
};

// Positions snapped to 1/256 pixel, rounding halves up.
TPoint Snapped(const TRasterVertex& v) {
  return {std::floor(double(v.x) * 256.0 + 0.5) / 256.0, std::floor(double(v.y) * 256.0 + 0.5) / 256.0};
}

// Twice the signed area of (a, b, c); positive when clockwise on screen (y down).
// Exact for snapped positions of this size.
double Cross(const TPoint& a, const TPoint& b, const TPoint& c) {
  return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
}

// The plain computation of what set-up must produce.
class TExpected {
 public:
  TExpected(const TRasterVertex& v0, const TRasterVertex& v1, const TRasterVertex& v2) : mVertex{&v0, &v1, &v2} {
    for (int i = 0; i < 3; ++i) mP[i] = Snapped(*mVertex[i]);
    mArea = Cross(mP[0], mP[1], mP[2]);
  }

  bool Degenerate() const { return mArea == 0; }

  // A centre strictly inside is covered; one on an edge only when that edge is a top
  // edge (horizontal, the triangle below it) or a left edge (the triangle to its
  // right).
  bool Covers(int32_t x, int32_t y) const {
    if (Degenerate()) return false;
    const TPoint p{double(x), double(y)};
    for (int i = 0; i < 3; ++i) {
      const TPoint& a = mP[(i + 1) % 3];
      const TPoint& b = mP[(i + 2) % 3];
      // Oriented so that the inside (where vertex i lies) is positive.
      double side = Cross(a, b, p) * (mArea > 0 ? 1 : -1);
      if (side < 0) return false;
      if (side > 0) continue;
      bool horizontal = a.y == b.y;
      bool top = horizontal && mP[i].y > a.y;
      // Stepping right from a point on a slanted edge enters the inside: a left edge.
      bool left = !horizontal && Cross(a, b, {p.x + 1, p.y}) * (mArea > 0 ? 1 : -1) > 0;
      if (!top && !left) return false;
    }
    return true;
  }

  // The barycentric weights of a pixel centre.
  void Weights(int32_t x, int32_t y, double w[3]) const {
    const TPoint p{double(x), double(y)};
    for (int i = 0; i < 3; ++i) w[i] = Cross(p, mP[(i + 1) % 3], mP[(i + 2) % 3]) / mArea;
  }

  // An attribute of the vertices interpolated at a pixel centre.
  template <typename TGet>
  double At(int32_t x, int32_t y, TGet get) const {
    double w[3];
    Weights(x, y, w);
    return w[0] * get(*mVertex[0]) + w[1] * get(*mVertex[1]) + w[2] * get(*mVertex[2]);
  }

 private:
  const TRasterVertex* mVertex[3];
  TPoint mP[3];
  double mArea = 0;
};

// One interpolant of the planes and how to read it from a vertex.
struct TAttribute {
  const char* name;
  TPlane TAttributePlanes::*plane;  // null: a colour or specular channel (index below)
  int channel;
  int bits;
  double (*get)(const TRasterVertex& v);
};

const TPlane& PlaneOf(const TAttributePlanes& p, const TAttribute& a) {
  if (a.plane) return p.*a.plane;
  return a.channel < 4 ? p.color[a.channel] : p.specular[a.channel - 4];
}

const TAttribute Attributes[] = {
    {"r", nullptr, 0, ColorFracBits, [](const TRasterVertex& v) { return double(v.r); }},
    {"g", nullptr, 1, ColorFracBits, [](const TRasterVertex& v) { return double(v.g); }},
    {"b", nullptr, 2, ColorFracBits, [](const TRasterVertex& v) { return double(v.b); }},
    {"a", nullptr, 3, ColorFracBits, [](const TRasterVertex& v) { return double(v.a); }},
    {"sr", nullptr, 4, ColorFracBits, [](const TRasterVertex& v) { return double(v.sr); }},
    {"sg", nullptr, 5, ColorFracBits, [](const TRasterVertex& v) { return double(v.sg); }},
    {"sb", nullptr, 6, ColorFracBits, [](const TRasterVertex& v) { return double(v.sb); }},
    {"u", &TAttributePlanes::u, 0, TexelFracBits, [](const TRasterVertex& v) { return double(v.u) * TexWidth; }},
    {"v", &TAttributePlanes::v, 0, TexelFracBits, [](const TRasterVertex& v) { return double(v.v) * TexHeight; }},
    {"z", &TAttributePlanes::z, 0, DepthFracBits, [](const TRasterVertex& v) { return double(v.z); }},
};

TRasterVertex Vertex(float x, float y, uint32_t argb, float u, float v, float z, float rhw = 1) {
  TRasterVertex out;
  out.x = x;
  out.y = y;
  out.a = float(argb >> 24);
  out.r = float((argb >> 16) & 255);
  out.g = float((argb >> 8) & 255);
  out.b = float(argb & 255);
  // Specular channels that differ from the diffuse ones, so a mixed-up plane shows.
  out.sr = out.g;
  out.sg = out.b;
  out.sb = out.a;
  out.u = u;
  out.v = v;
  out.z = z;
  out.rhw = rhw;
  return out;
}

struct TTriangle {
  const char* name;
  TRasterVertex v[3];
  int fewestPixels = 1, mostPixels = 320 * 240;  // covered pixel centres, either winding
};

const TTriangle Triangles[] = {
    {"small", {Vertex(10.3f, 5.7f, 0xFFFF0000, 0.1f, 0.2f, 0.1f), Vertex(12.9f, 6.1f, 0x8000FF00, 0.3f, 0.25f, 0.5f),
               Vertex(11.2f, 8.8f, 0x400000FF, 0.2f, 0.6f, 0.9f)}},
    {"large", {Vertex(-20.5f, -10.25f, 0xFF102030, -0.5f, 0.0f, 0.0f),
               Vertex(330.75f, 40.5f, 0x20F0E0D0, 3.25f, 0.5f, 1.0f),
               Vertex(60.125f, 255.0f, 0xC0808080, 0.75f, 2.5f, 0.25f)},
     30000},
    {"thin", {Vertex(2.0f, 3.0f, 0xFFFFFFFF, 0.0f, 0.0f, 0.0f), Vertex(200.0f, 4.5f, 0x00000000, 1.0f, 0.0f, 1.0f),
              Vertex(2.5f, 3.6f, 0x80FF8040, 0.0f, 1.0f, 0.5f)}},
    {"steep sliver", {Vertex(100.2f, 1.0f, 0xFF00FF00, 0.0f, 0.0f, 0.2f),
                      Vertex(101.1f, 230.0f, 0xFFFF00FF, 0.5f, 4.0f, 0.8f),
                      Vertex(100.9f, 120.3f, 0xFF808080, 1.0f, 2.0f, 0.4f)}},
    // Edges through pixel centres: the fill rule decides the border pixels.
    {"on centres", {Vertex(4.0f, 4.0f, 0xFF000000, 0.0f, 0.0f, 0.0f), Vertex(20.0f, 4.0f, 0xFFFF0000, 1.0f, 0.0f, 0.5f),
                    Vertex(4.0f, 20.0f, 0xFF00FF00, 0.0f, 1.0f, 1.0f)}},
    {"on centres, right and bottom", {Vertex(30.0f, 30.0f, 0xFF0000FF, 0.0f, 0.0f, 0.0f),
                                      Vertex(30.0f, 14.0f, 0xFFFF0000, 1.0f, 0.0f, 0.5f),
                                      Vertex(14.0f, 30.0f, 0xFF00FF00, 0.0f, 1.0f, 1.0f)}},
    {"diagonal through centres", {Vertex(40.0f, 40.0f, 0xFF000000, 0.0f, 0.0f, 0.0f),
                                  Vertex(60.0f, 60.0f, 0xFFFFFFFF, 1.0f, 1.0f, 1.0f),
                                  Vertex(40.0f, 70.0f, 0x80808080, 0.0f, 1.0f, 0.5f)}},
    // Sub-pixel offsets that snap: by less than half a unit, and onto a centre.
    {"sub-pixel offsets", {Vertex(50.0013f, 80.4987f, 0xFF204060, 0.125f, 0.875f, 0.3f),
                           Vertex(90.5039f, 81.0019f, 0xFF6040A0, 0.625f, 0.375f, 0.6f),
                           Vertex(70.2461f, 120.7539f, 0xFFA0C0E0, 0.375f, 0.125f, 0.9f)}},
    {"half-pixel quad corner", {Vertex(99.5f, 9.5f, 0xFFFFFFFF, 0.0f, 0.0f, 0.0f),
                                Vertex(163.5f, 9.5f, 0xFFFFFFFF, 1.0f, 0.0f, 0.0f),
                                Vertex(163.5f, 41.5f, 0xFFFFFFFF, 1.0f, 1.0f, 0.0f)}},
    {"perspective", {Vertex(150.0f, 100.0f, 0xFFFF0000, 0.0f, 0.0f, 0.2f, 1.0f),
                     Vertex(310.0f, 120.0f, 0xFF00FF00, 2.0f, 0.0f, 0.6f, 0.25f),
                     Vertex(170.0f, 235.0f, 0xFF0000FF, 0.0f, 3.0f, 0.9f, 0.5f)},
     5000},
    {"no centre covered", {Vertex(5.1f, 5.1f, 0xFFFFFFFF, 0.0f, 0.0f, 0.0f),
                           Vertex(5.9f, 5.2f, 0xFFFFFFFF, 0.0f, 0.0f, 0.0f),
                           Vertex(5.5f, 5.8f, 0xFFFFFFFF, 0.0f, 0.0f, 0.0f)},
     0, 0},
    {"collinear", {Vertex(5.0f, 5.0f, 0xFFFFFFFF, 0.0f, 0.0f, 0.0f), Vertex(25.0f, 15.0f, 0xFFFFFFFF, 0.0f, 0.0f, 0.0f),
                   Vertex(45.0f, 25.0f, 0xFFFFFFFF, 0.0f, 0.0f, 0.0f)},
     0, 0},
};

// The state under which set-up fills every plane: texture, specular and depth in use.
TRasterState SetupState(const uint8_t* texels, uint8_t* depth) {
  TRasterState s;
  s.scissor = Scissor;
  s.texture.pixels = texels;
  s.texture.width = TexWidth;
  s.texture.height = TexHeight;
  s.texture.pitch = TexWidth * 4;
  s.specular = true;
  s.zEnable = true;
  s.depth.pixels = depth;
  return s;
}

TEST(DeviceRasterSetup, PlanesAndCoverageMatchAPlainComputationFromTheVertices) {
  std::vector<uint8_t> texels(size_t(TexWidth) * TexHeight * 4), depth(4);
  const TRasterState state = SetupState(texels.data(), depth.data());
  for (const TTriangle& tri : Triangles)
    for (bool reversed : {false, true}) {
      const TRasterVertex& v0 = tri.v[0];
      const TRasterVertex& v1 = reversed ? tri.v[2] : tri.v[1];
      const TRasterVertex& v2 = reversed ? tri.v[1] : tri.v[2];
      SCOPED_TRACE(std::string(tri.name) + (reversed ? ", reversed" : ""));
      const TExpected expected(v0, v1, v2);
      TTriangleSetup t;
      const bool drawn = SetupTriangle(state, v0, v1, v2, t);
      int covered = 0;
      for (int32_t y = Scissor.top; y < Scissor.bottom; ++y) {
        int32_t first = Scissor.right, last = Scissor.left - 1;
        for (int32_t x = Scissor.left; x < Scissor.right; ++x) {
          const bool inside = expected.Covers(x, y);
          if (!drawn) {
            ASSERT_FALSE(inside) << "set-up dropped pixel " << x << ", " << y;
            continue;
          }
          ASSERT_EQ(TriangleCovers(t, x, y), inside) << "pixel " << x << ", " << y;
          if (!inside) continue;
          ++covered;
          first = std::min(first, x);
          last = std::max(last, x);
          ASSERT_TRUE(y >= t.rowTop && y < t.rowBottom) << "row " << y << " outside the set-up's rows";
          for (const TAttribute& a : Attributes) {
            const TPlane& plane = PlaneOf(t.planes, a);
            // a0, dx and dy are each the exact value rounded to the nearest unit of the
            // format (1 / 2^bits), so n pixel steps from the plane's reference pixel the
            // value may be off by half a unit plus half a unit per step; 1/64 unit more
            // absorbs the double arithmetic on both sides.
            const double steps = std::abs(x - plane.xref) + std::abs(y - plane.yref);
            const double tolerance = 0.5 * (1 + steps) + 1.0 / 64;
            const double exact = expected.At(x, y, a.get) * std::ldexp(1.0, a.bits);
            ASSERT_LE(std::fabs(double(plane.At(x, y)) - exact), tolerance)
                << a.name << " at pixel " << x << ", " << y << ": " << plane.At(x, y) << " against " << exact;
          }
          if (t.planes.perspective) {
            auto rhw = [](const TRasterVertex& v) { return double(v.rhw); };
            const double q = expected.At(x, y, rhw);
            const double uq = expected.At(x, y, [](const TRasterVertex& v) { return double(v.rhw) * v.u * TexWidth; });
            const double vq = expected.At(x, y, [](const TRasterVertex& v) { return double(v.rhw) * v.v * TexHeight; });
            const double gotQ = t.planes.q.At(t.planes.q.Row(y), x);
            const double gotUq = t.planes.uq.At(t.planes.uq.Row(y), x);
            const double gotVq = t.planes.vq.At(t.planes.vq.Row(y), x);
            ASSERT_NEAR(gotQ, q, 1e-9) << "q at pixel " << x << ", " << y;
            ASSERT_NEAR(gotUq, uq, 1e-9) << "u * q at pixel " << x << ", " << y;
            ASSERT_NEAR(gotVq, vq, 1e-9) << "v * q at pixel " << x << ", " << y;
            // The perspective-correct texel, rounded once to the format: half a unit
            // and a little for the planes' own error.
            const double unit = std::ldexp(1.0, TexelFracBits);
            EXPECT_LE(std::fabs(double(PerspectiveTexel(gotUq, gotQ)) - uq / q * unit), 0.5 + 1.0 / 64);
            EXPECT_LE(std::fabs(double(PerspectiveTexel(gotVq, gotQ)) - vq / q * unit), 0.5 + 1.0 / 64);
          }
        }
        // A row of a convex triangle is one run of pixels; the row query must give it.
        int32_t x0 = 0, x1 = 0;
        const bool row = drawn && TriangleRow(t, Scissor, y, x0, x1);
        if (first > last) {
          ASSERT_FALSE(row && x0 < x1) << "row " << y << " should be empty";
        } else {
          ASSERT_TRUE(row) << "row " << y << " lost";
          ASSERT_EQ(x0, first) << "row " << y;
          ASSERT_EQ(x1, last + 1) << "row " << y;
        }
      }
      if (expected.Degenerate()) {
        EXPECT_FALSE(drawn);
      } else if (drawn) {
        EXPECT_EQ(t.planes.perspective, !(v0.rhw == v1.rhw && v1.rhw == v2.rhw));
      }
      EXPECT_GE(covered, tri.fewestPixels);
      EXPECT_LE(covered, tri.mostPixels);
    }
}

}  // namespace
