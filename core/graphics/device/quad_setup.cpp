#include "graphics/device/quad_setup.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

// The quad set-up's form for SSE4.1, chosen at run time.
#if defined(__GNUC__) && defined(__x86_64__)
#define SETUP_SSE41 1
#include <emmintrin.h>
#else
#define SETUP_SSE41 0
#endif

// The set-up's helpers must melt into the one or two triangles that call them.
#if defined(__GNUC__)
#define SETUP_INLINE inline __attribute__((always_inline))
#else
#define SETUP_INLINE inline
#endif

namespace quad_setup {

void Attributes(const TRasterVertex& v, const TRasterTexture& tex, double out[AttrCount]) {
  out[0] = v.r; out[1] = v.g; out[2] = v.b; out[3] = v.a;
  out[4] = v.sr; out[5] = v.sg; out[6] = v.sb;
  out[7] = double(v.u) * tex.width;
  out[8] = double(v.v) * tex.height;
  out[9] = v.z;
}

TPlane* PlaneSlot(TAttributePlanes& planes, int i) {
  if (i < 4) return &planes.color[i];
  if (i < 7) return &planes.specular[i - 4];
  return i == 7 ? &planes.u : i == 8 ? &planes.v : &planes.z;
}

int PlaneBits(int i) { return i == 9 ? DepthFracBits : i >= 7 ? TexelFracBits : ColorFracBits; }

uint32_t UsedAttributes(const TRasterState& s) {
  auto specular = [](uint32_t arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_SPECULAR; };
  uint32_t used = UsedColors;
  if (s.specular || specular(s.colorArg1) || specular(s.colorArg2) || specular(s.alphaArg1) || specular(s.alphaArg2))
    used |= UsedSpecular;
  if (s.texture.pixels) used |= UsedTexture;
  if (s.zEnable && s.depth.pixels) used |= UsedDepth;
  return used;
}

namespace {

constexpr double SubPixelUnit = 1.0 / (1 << SubPixelBits);

// The set-up's roundings, plain or with the one-instruction floor of SSE4.1 (only in
// code compiled for it). Both give the same integers for every input: values outside
// the int64 range, infinities and NaN take the plain form.
template <bool Sse41>
struct TRound {
  static SETUP_INLINE int64_t Floor(double v) {
#if SETUP_SSE41
    if constexpr (Sse41) {
      // The conversion gives the lowest int64 for NaN and values out of range, and only
      // then or for a floor of exactly that value, which the plain form also gives.
      const int64_t i = _mm_cvttsd_si64(_mm_set_sd(__builtin_floor(v)));
      if (__builtin_expect(i != INT64_MIN, 1)) return i;
    }
#endif
    return FloorToInt(v);
  }
  static SETUP_INLINE int64_t Fixed(double v, int bits) { return Floor(v * double(int64_t(1) << bits) + 0.5); }
  static SETUP_INLINE int64_t Snap(float v) { return Floor(double(v) * (1 << SubPixelBits) + 0.5); }
};

// Chooses the filter: magnification when a pixel covers at most one texel.
bool LinearFilter(const TRasterState& s, double dudx, double dudy, double dvdx, double dvdy) {
  if (s.magLinear == s.minLinear) return s.magLinear;
  double texelsPerPixel = std::fabs(dudx * dvdy - dudy * dvdx);
  return texelsPerPixel <= 1.0 ? s.magLinear : s.minLinear;
}

// The snapped triangle in pixels, with the differences every plane uses.
struct TGeometry {
  double x0, y0, x10, y10, x20, y20, det;
  double xr, yr;  // from the first vertex to the reference pixel
  int32_t xref, yref;
};

// The plane of an attribute with values a0, a1, a2 at the three vertices; its
// gradients (unrounded) in dx, dy. Filled in place: a plane returned by value and
// copied costs a stalled store-to-load forward per attribute of every triangle.
template <bool Sse41>
SETUP_INLINE void AttributePlane(const TGeometry& g, double a0, double a1, double a2, int bits, TPlane& plane,
                                 double& dx, double& dy) {
  using R = TRound<Sse41>;
  if (a0 == a1 && a1 == a2 && a0 - a0 == 0) {
    // The same finite value at every vertex: the general formulas give zero gradients
    // and this value at the reference pixel.
    plane = {R::Fixed(a0, bits), 0, 0, g.xref, g.yref};
    dx = dy = 0;
    return;
  }
  double d1 = a1 - a0, d2 = a2 - a0;
  dx = (d1 * g.y20 - d2 * g.y10) / g.det;
  dy = (d2 * g.x10 - d1 * g.x20) / g.det;
  plane.a0 = R::Fixed(a0 + dx * g.xr + dy * g.yr, bits);
  plane.dx = R::Fixed(dx, bits);
  plane.dy = R::Fixed(dy, bits);
  plane.xref = g.xref;
  plane.yref = g.yref;
}

// One of the vertex's channels (a float member) as a double.
using TChannel = float TRasterVertex::*;
template <bool Sse41>
SETUP_INLINE void ChannelPlane(const TGeometry& g, const TRasterVertex* const v[3], TChannel c, int bits,
                               TPlane& plane) {
  double dx, dy;
  AttributePlane<Sse41>(g, v[0]->*c, v[1]->*c, v[2]->*c, bits, plane, dx, dy);
}

// Twice the signed area of a triangle of snapped positions, or 0 when it is degenerate
// or culled. Positive area is clockwise on screen (y grows downwards).
SETUP_INLINE int64_t DrawnArea(const TRasterState& state, const int64_t X[3], const int64_t Y[3]) {
  const int64_t area2 = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
  if ((state.cull == D3DCULL_CCW && area2 < 0) || (state.cull == D3DCULL_CW && area2 > 0)) return 0;
  return area2;
}

// One edge of SetupEdges.
SETUP_INLINE void SetupEdge(TTriangleSetup& t, int i, int64_t xa, int64_t ya, int64_t xb, int64_t yb) {
  t.X[i] = xa;
  t.Y[i] = ya;
  t.A[i] = ya - yb;
  t.B[i] = xb - xa;
  t.Xa[i] = xa;
  t.Ya[i] = ya;
  // Without branches: an edge's direction is a coin toss from quad to quad.
  int64_t topLeft = int64_t(t.A[i] > 0) | (int64_t(t.A[i] == 0) & int64_t(t.B[i] > 0));
  t.bias[i] = 1 - topLeft;
}

// The edges and rows of a triangle with clockwise positions (area2 > 0); false when the
// scissor leaves it no rows.
SETUP_INLINE bool SetupEdges(const TRasterState& state, const int64_t X[3], const int64_t Y[3], TTriangleSetup& t) {
  SetupEdge(t, 0, X[0], Y[0], X[1], Y[1]);
  SetupEdge(t, 1, X[1], Y[1], X[2], Y[2]);
  SetupEdge(t, 2, X[2], Y[2], X[0], Y[0]);
  int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
  // CeilDiv and FloorDiv by the sub-pixel unit, as shifts: arithmetic shifts floor.
  int64_t top = std::max<int64_t>(-((-minY) >> SubPixelBits), state.scissor.top);
  int64_t bottom = std::min<int64_t>((maxY >> SubPixelBits) + 1, state.scissor.bottom);
  if (top >= bottom || state.scissor.left >= state.scissor.right) return false;
  t.rowTop = int32_t(top);
  t.rowBottom = int32_t(bottom);
  return true;
}

// The plane geometry of the positions in pixels, in vertex order.
template <bool Sse41>
SETUP_INLINE TGeometry Geometry(const double x[3], const double y[3]) {
  TGeometry g;
  g.x0 = x[0];
  g.y0 = y[0];
  g.x10 = x[1] - x[0];
  g.y10 = y[1] - y[0];
  g.x20 = x[2] - x[0];
  g.y20 = y[2] - y[0];
  g.det = g.x10 * g.y20 - g.x20 * g.y10;
  g.xref = int32_t(TRound<Sse41>::Floor(x[0]));
  g.yref = int32_t(TRound<Sse41>::Floor(y[0]));
  g.xr = g.xref - x[0];
  g.yr = g.yref - y[0];
  return g;
}

// The affine texture planes from the vertices' texel coordinates and the filter their
// scale chooses; without a texture the planes are left as they are.
template <bool Sse41>
SETUP_INLINE void TexturePlanes(const TRasterState& state, const TGeometry& g, bool textured, const double tu[3],
                                const double tv[3], TAttributePlanes& p) {
  double du[2] = {0, 0}, dv[2] = {0, 0};
  if (textured) {
    AttributePlane<Sse41>(g, tu[0], tu[1], tu[2], TexelFracBits, p.u, du[0], du[1]);
    AttributePlane<Sse41>(g, tv[0], tv[1], tv[2], TexelFracBits, p.v, dv[0], dv[1]);
  }
  p.linearFilter = LinearFilter(state, du[0], du[1], dv[0], dv[1]);
}

template <bool Sse41>
SETUP_INLINE void ColorPlanes(const TGeometry& g, const TRasterVertex* const shade[3], TAttributePlanes& p) {
  ChannelPlane<Sse41>(g, shade, &TRasterVertex::r, ColorFracBits, p.color[0]);
  ChannelPlane<Sse41>(g, shade, &TRasterVertex::g, ColorFracBits, p.color[1]);
  ChannelPlane<Sse41>(g, shade, &TRasterVertex::b, ColorFracBits, p.color[2]);
  ChannelPlane<Sse41>(g, shade, &TRasterVertex::a, ColorFracBits, p.color[3]);
}

// Clears the planes that a state never reads, so that nothing stale is left in them.
void ClearUnusedPlanes(uint32_t used, TAttributePlanes& p) {
  if (!(used & UsedSpecular))
    // One by one: a chained assignment reads back a plane just stored in halves.
    for (TPlane& plane : p.specular) plane = TPlane{};
  if (!(used & UsedTexture)) {
    p.u = TPlane{};
    p.v = TPlane{};
  }
  if (!(used & UsedDepth)) p.z = TPlane{};
}

}  // namespace

bool SetupSnappedTriangle(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& in1,
                          const TRasterVertex& in2, const int64_t inX[3], const int64_t inY[3], TTriangleSetup& t) {
  const TRasterVertex* v[3] = {&v0, &in1, &in2};
  int64_t X[3] = {inX[0], inX[1], inX[2]}, Y[3] = {inY[0], inY[1], inY[2]};
  const int64_t area2 = DrawnArea(state, X, Y);
  if (area2 == 0) return false;
  if (area2 < 0) {
    std::swap(v[1], v[2]);
    std::swap(X[1], X[2]);
    std::swap(Y[1], Y[2]);
  }
  if (!SetupEdges(state, X, Y, t)) return false;

  // Attribute planes from the snapped positions.
  double x[3], y[3];
  for (int i = 0; i < 3; ++i) {
    x[i] = double(X[i]) * SubPixelUnit;
    y[i] = double(Y[i]) * SubPixelUnit;
  }
  const TGeometry g = Geometry<false>(x, y);
  const uint32_t used = UsedAttributes(state);
  TAttributePlanes& p = t.planes;
  ClearUnusedPlanes(used, p);
  // Flat shading takes the colours of the first vertex (v[0] stays v0: only v[1] and
  // v[2] swap).
  const TRasterVertex* const shade[3] = {v[0], state.flatShade ? v[0] : v[1], state.flatShade ? v[0] : v[2]};
  ColorPlanes<false>(g, shade, p);
  if (used & UsedSpecular) {
    ChannelPlane<false>(g, shade, &TRasterVertex::sr, ColorFracBits, p.specular[0]);
    ChannelPlane<false>(g, shade, &TRasterVertex::sg, ColorFracBits, p.specular[1]);
    ChannelPlane<false>(g, shade, &TRasterVertex::sb, ColorFracBits, p.specular[2]);
  }
  double tu[3] = {0, 0, 0}, tv[3] = {0, 0, 0};
  const bool textured = used & UsedTexture;
  if (textured)
    for (int i = 0; i < 3; ++i) {
      tu[i] = double(v[i]->u) * state.texture.width;
      tv[i] = double(v[i]->v) * state.texture.height;
    }
  TexturePlanes<false>(state, g, textured, tu, tv, p);
  if (used & UsedDepth) ChannelPlane<false>(g, v, &TRasterVertex::z, DepthFracBits, p.z);
  p.perspective = state.texture.pixels && !(v[0]->rhw == v[1]->rhw && v[1]->rhw == v[2]->rhw);
  if (p.perspective) {
    TFloatPlane* fp[3] = {&p.q, &p.uq, &p.vq};
    for (int k = 0; k < 3; ++k) {
      double values[3];
      for (int i = 0; i < 3; ++i) {
        double q = v[i]->rhw;
        values[i] = k == 0 ? q : q * (k == 1 ? tu[i] : tv[i]);
      }
      double d1 = values[1] - values[0], d2 = values[2] - values[0];
      double dx = (d1 * g.y20 - d2 * g.y10) / g.det;
      double dy = (d2 * g.x10 - d1 * g.x20) / g.det;
      *fp[k] = {values[0] + dx * g.xr + dy * g.yr, dx, dy, g.xref, g.yref};
    }
  }
  return true;
}

namespace {

// A vertex of a quad as both of its triangles read it, converted once.
struct TCorner {
  const TRasterVertex* vertex;
  int64_t X, Y;   // snapped, 1/256 pixel
  double x, y;    // the same in pixels
  double tu, tv;  // texels
};

// What the set-up of one triangle of a quad reads besides its corners.
struct TCornerShared {
  const TRasterState* state;
  bool textured;
  bool oneColor;       // all four vertices have the same finite colour,
  int64_t color[4];    // whose planes' values these are
};

// SetupSnappedTriangle for a triangle of a quad whose state reads neither specular nor
// depth and whose texture, if any, is affine (one rhw for all four vertices), from
// values converted once per quad. The planes the state never reads are left as they
// are.
template <bool Sse41>
SETUP_INLINE bool SetupCornerTriangle(const TCornerShared& k, const TCorner& c0, const TCorner& in1,
                                      const TCorner& in2, TTriangleSetup& t) {
  const TRasterState& state = *k.state;
  const TCorner* c[3] = {&c0, &in1, &in2};
  int64_t X[3] = {c0.X, in1.X, in2.X}, Y[3] = {c0.Y, in1.Y, in2.Y};
  const int64_t area2 = DrawnArea(state, X, Y);
  if (area2 == 0) return false;
  if (area2 < 0) {
    std::swap(c[1], c[2]);
    std::swap(X[1], X[2]);
    std::swap(Y[1], Y[2]);
  }
  if (!SetupEdges(state, X, Y, t)) return false;
  const double x[3] = {c[0]->x, c[1]->x, c[2]->x}, y[3] = {c[0]->y, c[1]->y, c[2]->y};
  const TGeometry g = Geometry<Sse41>(x, y);
  TAttributePlanes& p = t.planes;
  if (k.oneColor) {
    for (int i = 0; i < 4; ++i) p.color[i] = {k.color[i], 0, 0, g.xref, g.yref};
  } else {
    const TRasterVertex* v0 = c[0]->vertex;
    const TRasterVertex* const shade[3] = {v0, state.flatShade ? v0 : c[1]->vertex,
                                           state.flatShade ? v0 : c[2]->vertex};
    ColorPlanes<Sse41>(g, shade, p);
  }
  const double tu[3] = {c[0]->tu, c[1]->tu, c[2]->tu}, tv[3] = {c[0]->tv, c[1]->tv, c[2]->tv};
  TexturePlanes<Sse41>(state, g, k.textured, tu, tv, p);
  p.perspective = false;
  return true;
}

// Bit for bit: cheaper than four comparisons, and colours that are equal but not the same
// bits (zeros of both signs) still get the same planes, one triangle at a time.
bool SameColor(const TRasterVertex& a, const TRasterVertex& b) {
  static_assert(offsetof(TRasterVertex, a) == offsetof(TRasterVertex, r) + 3 * sizeof(float), "r g b a in a row");
  return std::memcmp(&a.r, &b.r, 4 * sizeof(float)) == 0;
}

template <bool Sse41>
SETUP_INLINE uint32_t SetupCorners(const TRasterState& state, bool textured, double width, double height,
                                   const TRasterVertex* const v[4], TTriangleSetup& a, TTriangleSetup& b) {
  using R = TRound<Sse41>;
  TCorner c[4];
  for (int i = 0; i < 4; ++i) {
    c[i].vertex = v[i];
    c[i].X = R::Snap(v[i]->x);
    c[i].Y = R::Snap(v[i]->y);
    c[i].x = double(c[i].X) * SubPixelUnit;
    c[i].y = double(c[i].Y) * SubPixelUnit;
    c[i].tu = double(v[i]->u) * width;
    c[i].tv = double(v[i]->v) * height;
  }
  // One colour for the whole quad (as particles have): its planes' values once.
  const TRasterVertex& v0 = *v[0];
  TCornerShared k{&state, textured, false, {0, 0, 0, 0}};
  k.oneColor = SameColor(v0, *v[1]) && SameColor(v0, *v[2]) && SameColor(v0, *v[3]) && v0.r - v0.r == 0 &&
               v0.g - v0.g == 0 && v0.b - v0.b == 0 && v0.a - v0.a == 0;
  if (k.oneColor) {
    k.color[0] = R::Fixed(v0.r, ColorFracBits);
    k.color[1] = R::Fixed(v0.g, ColorFracBits);
    k.color[2] = R::Fixed(v0.b, ColorFracBits);
    k.color[3] = R::Fixed(v0.a, ColorFracBits);
  }
  uint32_t drawn = SetupCornerTriangle<Sse41>(k, c[0], c[1], c[2], a) ? 1u : 0u;
  if (SetupCornerTriangle<Sse41>(k, c[1], c[3], c[2], b)) drawn |= 2u;
  return drawn;
}

uint32_t SetupCornersPlain(const TRasterState& state, bool textured, double width, double height,
                           const TRasterVertex* const v[4], TTriangleSetup& a, TTriangleSetup& b) {
  return SetupCorners<false>(state, textured, width, height, v, a, b);
}

#if SETUP_SSE41
__attribute__((target("sse4.1"))) uint32_t SetupCornersSse41(const TRasterState& state, bool textured, double width,
                                                              double height, const TRasterVertex* const v[4],
                                                              TTriangleSetup& a, TTriangleSetup& b) {
  return SetupCorners<true>(state, textured, width, height, v, a, b);
}
#endif

}  // namespace

#if SETUP_SSE41
bool Sse41SetupAvailable() {
  static const bool has = __builtin_cpu_supports("sse4.1");
  return has;
}

__attribute__((target("sse4.1"))) int64_t FloorSse41(double v) { return TRound<true>::Floor(v); }
#else
bool Sse41SetupAvailable() { return false; }

int64_t FloorSse41(double v) { return FloorToInt(v); }
#endif

}  // namespace quad_setup

bool SetupTriangle(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1,
                   const TRasterVertex& v2, TTriangleSetup& t) {
  using quad_setup::Snap;
  const int64_t X[3] = {Snap(v0.x), Snap(v1.x), Snap(v2.x)}, Y[3] = {Snap(v0.y), Snap(v1.y), Snap(v2.y)};
  return quad_setup::SetupSnappedTriangle(state, v0, v1, v2, X, Y, t);
}

uint32_t SetupTrianglePair(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1,
                           const TRasterVertex& v2, const TRasterVertex& v3, TTriangleSetup& a, TTriangleSetup& b) {
  using quad_setup::Snap;
  const int64_t X[4] = {Snap(v0.x), Snap(v1.x), Snap(v2.x), Snap(v3.x)};
  const int64_t Y[4] = {Snap(v0.y), Snap(v1.y), Snap(v2.y), Snap(v3.y)};
  const int64_t XA[3] = {X[0], X[1], X[2]}, YA[3] = {Y[0], Y[1], Y[2]};
  const int64_t XB[3] = {X[1], X[3], X[2]}, YB[3] = {Y[1], Y[3], Y[2]};
  uint32_t drawn = quad_setup::SetupSnappedTriangle(state, v0, v1, v2, XA, YA, a) ? 1u : 0u;
  if (quad_setup::SetupSnappedTriangle(state, v1, v3, v2, XB, YB, b)) drawn |= 2u;
  return drawn;
}

TQuadPairSetup::TQuadPairSetup(const TRasterState& state, bool allowSse41)
    : mState(state), mUsed(quad_setup::UsedAttributes(state)) {
  mTextured = mUsed & quad_setup::UsedTexture;
  if (mTextured) {
    mWidth = state.texture.width;
    mHeight = state.texture.height;
  }
  mSse41 = allowSse41 && quad_setup::Sse41SetupAvailable();
  quad_setup::ClearUnusedPlanes(mUsed, mA.planes);
  quad_setup::ClearUnusedPlanes(mUsed, mB.planes);
}

uint32_t TQuadPairSetup::Setup(const TRasterVertex& v0, const TRasterVertex& v1, const TRasterVertex& v2,
                               const TRasterVertex& v3) {
  const bool affine = !mTextured || (v0.rhw == v1.rhw && v1.rhw == v2.rhw && v2.rhw == v3.rhw);
  if ((mUsed & (quad_setup::UsedSpecular | quad_setup::UsedDepth)) || !affine) return SetupTrianglePair(mState, v0, v1, v2, v3, mA, mB);
  const TRasterVertex* const v[4] = {&v0, &v1, &v2, &v3};
#if SETUP_SSE41
  if (mSse41) return quad_setup::SetupCornersSse41(mState, mTextured, mWidth, mHeight, v, mA, mB);
#endif
  return quad_setup::SetupCornersPlain(mState, mTextured, mWidth, mHeight, v, mA, mB);
}
