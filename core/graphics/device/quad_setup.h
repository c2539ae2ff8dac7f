// Triangle set-up from vertices snapped to the sub-pixel grid, shared by single
// triangles (SetupTriangle), lines and the two triangles of a quad, which snap their
// four vertices once. Also the exact fixed-point helpers the walkers use.
#pragma once

#include <cstdint>

#include "graphics/device/rasterizer.h"

namespace quad_setup {

inline int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

inline int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// floor(v) for values within the int64 range, without a library call. Below the range
// (and at -inf) the step down from the lowest int64 wraps to the highest, as it always
// has; it is taken unsigned so that the wrap is defined.
inline int64_t FloorToInt(double v) {
  int64_t i = int64_t(v);
  return int64_t(uint64_t(i) - (double(i) > v ? 1u : 0u));
}

inline int64_t RoundToInt(double v) { return FloorToInt(v + 0.5); }

inline int64_t ToFixed(double v, int bits) { return RoundToInt(v * double(int64_t(1) << bits)); }

// A coordinate in pixels snapped to 1/256 pixel.
inline int64_t Snap(float v) { return RoundToInt(double(v) * (1 << SubPixelBits)); }

// Attribute values of a vertex, in plane order: r g b a, sr sg sb, u v (texels), z.
constexpr int AttrCount = 10;
void Attributes(const TRasterVertex& v, const TRasterTexture& texture, double out[AttrCount]);
TPlane* PlaneSlot(TAttributePlanes& planes, int i);
int PlaneBits(int i);
// Planes nobody reads are left at zero: specular without specular adding, texture
// coordinates without a texture, depth without a depth test. One bit per attribute,
// bit k for PlaneSlot k.
uint32_t UsedAttributes(const TRasterState& state);
constexpr uint32_t UsedColors = 0xF, UsedSpecular = 0x70, UsedTexture = 0x180, UsedDepth = 0x200;
// Filled in place: a plane returned by value and copied costs a stalled store-to-load
// forward per attribute of every triangle.
inline void SetPlane(TPlane& p, double valueAtRef, double dx, double dy, int32_t xref, int32_t yref, int bits) {
  p.a0 = ToFixed(valueAtRef, bits);
  p.dx = ToFixed(dx, bits);
  p.dy = ToFixed(dy, bits);
  p.xref = xref;
  p.yref = yref;
}

// Whether the processor has SSE4.1, whose floor the quad set-up uses when allowed.
bool Sse41SetupAvailable();
// That floor on its own (only where Sse41SetupAvailable()): FloorToInt's result for
// every input.
int64_t FloorSse41(double v);

// What SetupTriangle does once the positions are snapped (X, Y in 1/256 pixel).
bool SetupSnappedTriangle(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1,
                          const TRasterVertex& v2, const int64_t X[3], const int64_t Y[3], TTriangleSetup& out);

}  // namespace quad_setup

// The triangles (v0, v1, v2) and (v1, v3, v2) of a quad, set up with the four vertices
// snapped once; the same results as two SetupTriangle calls. Bit 0 of the result says
// that a is drawn, bit 1 that b is.
uint32_t SetupTrianglePair(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1,
                           const TRasterVertex& v2, const TRasterVertex& v3, TTriangleSetup& a, TTriangleSetup& b);

// The set-ups of the quads (v0, v1, v2) + (v1, v3, v2) of one draw call, reused from
// quad to quad: what depends only on the state is found once, the planes the state
// never reads are cleared once, and each quad's four vertices are converted once for
// both triangles. The same results as SetupTrianglePair; with allowSse41 (the tests
// also run without) the roundings use SSE4.1 where the processor has it.
class TQuadPairSetup {
 public:
  explicit TQuadPairSetup(const TRasterState& state, bool allowSse41 = true);
  TQuadPairSetup(const TQuadPairSetup&) = delete;
  TQuadPairSetup& operator=(const TQuadPairSetup&) = delete;
  // Sets up A() and B(); bit 0 of the result says that A() is drawn, bit 1 that B() is.
  uint32_t Setup(const TRasterVertex& v0, const TRasterVertex& v1, const TRasterVertex& v2, const TRasterVertex& v3);
  const TTriangleSetup& A() const { return mA; }
  const TTriangleSetup& B() const { return mB; }

 private:
  const TRasterState& mState;  // outlives the draw call's set-ups
  uint32_t mUsed = 0;
  bool mTextured = false, mSse41 = false;
  double mWidth = 0, mHeight = 0;  // of the texture
  TTriangleSetup mA, mB;
};
