#include "graphics/device/quad_setup.h"

#include <algorithm>
#include <cmath>
#include <utility>

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
  uint32_t used = 0xF;  // colours
  if (s.specular || specular(s.colorArg1) || specular(s.colorArg2) || specular(s.alphaArg1) || specular(s.alphaArg2))
    used |= 0x70;
  if (s.texture.pixels) used |= 0x180;
  if (s.zEnable && s.depth.pixels) used |= 0x200;
  return used;
}

namespace {

constexpr double SubPixelUnit = 1.0 / (1 << SubPixelBits);

// Chooses the filter: magnification when a pixel covers at most one texel.
bool LinearFilter(const TRasterState& s, double dudx, double dudy, double dvdx, double dvdy) {
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
// gradients (unrounded) in dx, dy.
inline void AttributePlane(const TGeometry& g, double a0, double a1, double a2, int bits, TPlane& plane, double& dx,
                           double& dy) {
  if (a0 == a1 && a1 == a2 && a0 - a0 == 0) {
    // The same finite value at every vertex: the general formulas give zero gradients
    // and this value at the reference pixel.
    plane = {ToFixed(a0, bits), 0, 0, g.xref, g.yref};
    dx = dy = 0;
    return;
  }
  double d1 = a1 - a0, d2 = a2 - a0;
  dx = (d1 * g.y20 - d2 * g.y10) / g.det;
  dy = (d2 * g.x10 - d1 * g.x20) / g.det;
  SetPlane(plane, a0 + dx * g.xr + dy * g.yr, dx, dy, g.xref, g.yref, bits);
}

// One of the vertex's channels (a float member) as a double.
using TChannel = float TRasterVertex::*;
inline void ChannelPlane(const TGeometry& g, const TRasterVertex* const v[3], TChannel c, int bits, TPlane& plane) {
  double dx, dy;
  AttributePlane(g, v[0]->*c, v[1]->*c, v[2]->*c, bits, plane, dx, dy);
}

}  // namespace

bool SetupSnappedTriangle(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& in1,
                          const TRasterVertex& in2, const int64_t inX[3], const int64_t inY[3], TTriangleSetup& t) {
  const TRasterVertex* v[3] = {&v0, &in1, &in2};
  int64_t X[3] = {inX[0], inX[1], inX[2]}, Y[3] = {inY[0], inY[1], inY[2]};
  int64_t area2 = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
  if (area2 == 0) return false;
  // Positive area is clockwise on screen (y grows downwards).
  if ((state.cull == D3DCULL_CCW && area2 < 0) || (state.cull == D3DCULL_CW && area2 > 0)) return false;
  if (area2 < 0) {
    std::swap(v[1], v[2]);
    std::swap(X[1], X[2]);
    std::swap(Y[1], Y[2]);
  }
  for (int i = 0; i < 3; ++i) {
    t.X[i] = X[i];
    t.Y[i] = Y[i];
    int a = i, b = (i + 1) % 3;
    t.A[i] = Y[a] - Y[b];
    t.B[i] = X[b] - X[a];
    t.Xa[i] = X[a];
    t.Ya[i] = Y[a];
    // Without branches: an edge's direction is a coin toss from quad to quad.
    int64_t topLeft = int64_t(t.A[i] > 0) | (int64_t(t.A[i] == 0) & int64_t(t.B[i] > 0));
    t.bias[i] = 1 - topLeft;
  }
  int64_t minY = std::min({Y[0], Y[1], Y[2]}), maxY = std::max({Y[0], Y[1], Y[2]});
  int64_t top = std::max<int64_t>(CeilDiv(minY, 1 << SubPixelBits), state.scissor.top);
  int64_t bottom = std::min<int64_t>(FloorDiv(maxY, 1 << SubPixelBits) + 1, state.scissor.bottom);
  if (top >= bottom || state.scissor.left >= state.scissor.right) return false;
  t.rowTop = int32_t(top);
  t.rowBottom = int32_t(bottom);

  // Attribute planes from the snapped positions.
  double x[3], y[3];
  for (int i = 0; i < 3; ++i) {
    x[i] = double(X[i]) * SubPixelUnit;
    y[i] = double(Y[i]) * SubPixelUnit;
  }
  TGeometry g;
  g.x0 = x[0];
  g.y0 = y[0];
  g.x10 = x[1] - x[0];
  g.y10 = y[1] - y[0];
  g.x20 = x[2] - x[0];
  g.y20 = y[2] - y[0];
  g.det = g.x10 * g.y20 - g.x20 * g.y10;
  g.xref = int32_t(FloorToInt(x[0]));
  g.yref = int32_t(FloorToInt(y[0]));
  g.xr = g.xref - x[0];
  g.yr = g.yref - y[0];
  const uint32_t used = UsedAttributes(state);
  TAttributePlanes& p = t.planes;
  // Flat shading takes the colours of the first vertex (v[0] stays v0: only v[1] and
  // v[2] swap).
  const TRasterVertex* const shade[3] = {v[0], state.flatShade ? v[0] : v[1], state.flatShade ? v[0] : v[2]};
  ChannelPlane(g, shade, &TRasterVertex::r, ColorFracBits, p.color[0]);
  ChannelPlane(g, shade, &TRasterVertex::g, ColorFracBits, p.color[1]);
  ChannelPlane(g, shade, &TRasterVertex::b, ColorFracBits, p.color[2]);
  ChannelPlane(g, shade, &TRasterVertex::a, ColorFracBits, p.color[3]);
  if (used & 0x70) {
    ChannelPlane(g, shade, &TRasterVertex::sr, ColorFracBits, p.specular[0]);
    ChannelPlane(g, shade, &TRasterVertex::sg, ColorFracBits, p.specular[1]);
    ChannelPlane(g, shade, &TRasterVertex::sb, ColorFracBits, p.specular[2]);
  } else {
    // One by one: a chained assignment reads back a plane just stored in halves.
    for (TPlane& plane : p.specular) plane = TPlane{};
  }
  double du[2] = {0, 0}, dv[2] = {0, 0};
  double tu[3], tv[3];
  if (used & 0x180) {
    for (int i = 0; i < 3; ++i) {
      tu[i] = double(v[i]->u) * state.texture.width;
      tv[i] = double(v[i]->v) * state.texture.height;
    }
    AttributePlane(g, tu[0], tu[1], tu[2], TexelFracBits, p.u, du[0], du[1]);
    AttributePlane(g, tv[0], tv[1], tv[2], TexelFracBits, p.v, dv[0], dv[1]);
  } else {
    p.u = TPlane{};
    p.v = TPlane{};
  }
  if (used & 0x200)
    ChannelPlane(g, v, &TRasterVertex::z, DepthFracBits, p.z);
  else
    p.z = TPlane{};
  p.linearFilter = LinearFilter(state, du[0], du[1], dv[0], dv[1]);
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
