// What the rasteriser works on: screen-space vertices, the resolved pipeline state of
// one draw call, and spans with their fixed-point interpolants. Shared by the span
// loops, the triangle and line walkers, and the reference rasteriser of the tests.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/device/device_types.h"
#include "graphics/device/pixel_format.h"

// A vertex after transform: pixel centres lie on integer coordinates. Colours are
// 0..255 per channel; u and v are normalised texture coordinates.
struct TRasterVertex {
  float x = 0, y = 0, z = 0, rhw = 1;
  float r = 255, g = 255, b = 255, a = 255;
  float sr = 0, sg = 0, sb = 0;
  float u = 0, v = 0;
};

struct TRasterTexture {
  const uint8_t* pixels = nullptr;  // null: no texture (reads as opaque white)
  int32_t pitch = 0;
  int32_t width = 0, height = 0;
  TPixelLayout layout = TPixelLayout::Other;
  TPixelFormat format;
};

struct TRasterTarget {
  uint8_t* pixels = nullptr;
  int32_t pitch = 0;
  int32_t width = 0, height = 0;
  TPixelLayout layout = TPixelLayout::Other;
  TPixelFormat format;
};

struct TRasterDepth {
  uint8_t* pixels = nullptr;  // null: no z buffer
  int32_t pitch = 0;
  int32_t bits = 16;
};

struct TSpanJob;
struct TRowSpan;
struct TRowBatch;
struct TSmallTexture;
struct TPairMasks;
struct TAttributePlanes;
struct TRasterMipChain;

// The widest SIMD span loops PrepareRasterState may choose where the processor has
// them (AllowWideSpans(true) allows all of them, false the SSE2 ones alone), so that
// the tests can hold each set against the reference.
enum class TSpanWidth : uint8_t { Sse2, Avx2, Avx512 };
void LimitSpanWidth(TSpanWidth widest);
// The widest loops PrepareRasterState chooses now: the limit and the processor.
TSpanWidth SpanWidthInUse();

// The pipeline state of a draw call, resolved from the device's render and stage-0
// states.
struct TRasterState {
  TRasterTarget target;
  TRasterDepth depth;
  TRasterTexture texture;
  TDevRect scissor;  // viewport within the target; pixels outside are never touched
  uint32_t cull = D3DCULL_NONE;
  bool flatShade = false;
  bool zEnable = false, zWrite = false;
  uint32_t zFunc = D3DCMP_LESSEQUAL;
  bool alphaTest = false;
  uint32_t alphaFunc = D3DCMP_ALWAYS, alphaRef = 0;
  bool blend = false;
  uint32_t srcBlend = D3DBLEND_ONE, dstBlend = D3DBLEND_ZERO;
  uint32_t colorOp = D3DTOP_MODULATE, colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_CURRENT;
  uint32_t alphaOp = D3DTOP_SELECTARG1, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
  uint32_t textureFactor = 0xFFFFFFFF;
  uint32_t addressU = D3DTADDRESS_WRAP, addressV = D3DTADDRESS_WRAP;
  bool magLinear = false, minLinear = false;
  bool specular = false;
  // A mip-mapped texture under a mip filter: its levels, of which each triangle of a draw
  // call reads the one its size picks (mip_levels.h); null otherwise.
  std::shared_ptr<const TRasterMipChain> mips;
  // Between two levels (the linear mip filter): the next smaller level, whose texel counts
  // mipNextWeight / 256 in each texel read; weight 0 reads the texture alone. Only the
  // general loop draws such a state.
  TRasterTexture mipNext;
  uint32_t mipNextWeight = 0;

  // Filled by PrepareRasterState: whether a triangle whose vertices all have diffuse
  // alpha 0 leaves target and depth as they are (its pixels blend by a source alpha of
  // 0 onto a 32-bit target and write no depth), so that it need not be drawn.
  bool clearDrawsNothing = false;
  // Also filled by PrepareRasterState: which optimised span loop the state allows.
  enum class TFast : uint8_t { None, Opaque, Blend, Add } fast = TFast::None;
  bool fastAlphaConst = false;  // alpha comes from the texture factor, not texture x diffuse
  uint32_t fastAlpha = 255;
  // Also filled by PrepareRasterState: the span samplers of the texture's addressing and
  // format, [0] point and [1] bilinear (texels from (u, v) stepped by (du, dv)), and the
  // bits they leave to set (alpha of XRGB textures).
  using TSampler = void (*)(const TRasterState& state, int64_t u, int64_t v, int64_t du, int64_t dv, int32_t n,
                            uint32_t* out);
  TSampler samplers[2] = {nullptr, nullptr};
  uint32_t samplerOr = 0;
  uint8_t addressKind = 0;  // how the samplers address texels (clamp, masks, general)
  // The fused sample-and-blend span loops of the fast kind, [0] point and [1] bilinear
  // (null where there are none).
  using TSpanLoop = void (*)(const TSpanJob& job, int32_t y, int32_t x0, int32_t x1);
  TSpanLoop sampledSpans[2] = {nullptr, nullptr};
  // The fast kind's loop for texture rows copied texel for texel (null: the SSE2 one):
  // n pixels from tex onto dst, texels or'ed with texOr, times tint, then the blend.
  using TDirectLoop = void (*)(uint32_t* dst, const uint32_t* tex, int32_t n, uint32_t texOr, uint32_t tint,
                               bool alphaConst, uint32_t constAlpha);
  TDirectLoop directLoop = nullptr;
  // Their forms drawing many rows of two triangles in one call (null where there are
  // none).
  using TRowsLoop = void (*)(const TSpanJob& a, const TSpanJob& b, const TRowSpan* rows, int32_t count,
                             TRowBatch* batch);
  TRowsLoop sampledRows[2] = {nullptr, nullptr};
  // A copy of a small texture for the 16-lane bilinear rows loop (null where that loop
  // is not chosen), made once per draw call and shared by the copies of the state.
  std::shared_ptr<const TSmallTexture> small;
  // With that copy: the loops that draw a small pair of triangles straight from the
  // coverage masks of its rows, [0] point and [1] bilinear; false where they do not take
  // the pair (which is then drawn row span by row span).
  using TMaskedPairLoop = bool (*)(const TRasterState& state, const TAttributePlanes& a, const TAttributePlanes& b,
                                   const TPairMasks& masks, TRowBatch* batch);
  TMaskedPairLoop maskedPairs[2] = {nullptr, nullptr};
};

// Chooses the optimised span loop for a state (TRasterState::fast) and its samplers.
void PrepareRasterState(TRasterState& state);
// Chooses the samplers alone (TRasterState::samplers).
void ChooseSamplers(TRasterState& state);

// A linear function over the pixel grid in fixed point: value(x, y) =
// a0 + (x - xref) * dx + (y - yref) * dy. Evaluated exactly, in any order.
struct TPlane {
  int64_t a0 = 0, dx = 0, dy = 0;
  int32_t xref = 0, yref = 0;
  int64_t At(int32_t x, int32_t y) const { return a0 + int64_t(x - xref) * dx + int64_t(y - yref) * dy; }
};

// The same in floating point, for perspective-correct texture coordinates. A row's
// base and a pixel's value are computed in this order by every user.
struct TFloatPlane {
  double a0 = 0, dx = 0, dy = 0;
  int32_t xref = 0, yref = 0;
  double Row(int32_t y) const { return a0 + double(y - yref) * dy; }
  double At(double row, int32_t x) const { return row + double(x - xref) * dx; }
};

constexpr int ColorFracBits = 16;  // colours: 0..255 with 16 fraction bits
constexpr int TexelFracBits = 16;  // texture coordinates: texels with 16 fraction bits
constexpr int DepthFracBits = 32;  // depth: 0..1 with 32 fraction bits

// The interpolants of one triangle or line.
struct TAttributePlanes {
  TPlane color[4];     // r, g, b, a
  TPlane specular[3];  // r, g, b
  TPlane u, v;         // affine texture coordinates in texels
  TPlane z;
  bool perspective = false;
  TFloatPlane q, uq, vq;  // rhw, u * rhw, v * rhw (texels) when perspective
  bool linearFilter = false;
};

// One row of pixels [x0, x1) at y, drawn with the planes.
struct TSpan {
  int32_t y = 0, x0 = 0, x1 = 0;
};

// Exact round(a * b / 255) for bytes.
inline uint32_t Mul255(uint32_t a, uint32_t b) { return (a * b + 127) / 255; }

// Texture coordinate of a perspective-correct pixel in fixed point.
int64_t PerspectiveTexel(double numerator, double q);
