// Per-pixel pieces shared by the optimised span loops: the fast blends of one pixel
// (scalar) and of two pixels (SIMD), texture addressing by kind, and texel reads. Each
// computes exactly what the general loop computes for the same state.
#pragma once

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "graphics/device/rasterizer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The per-pixel helpers must melt into their loops.
#if defined(__GNUC__)
#define SPAN_INLINE inline __attribute__((always_inline))
#else
#define SPAN_INLINE inline
#endif

namespace span_pixel {

using TFast = TRasterState::TFast;

// One pixel of the fast loops: texel x tint (alpha from the texture factor when
// alphaConst), then the kind's blend; the SIMD code computes the same.
template <TFast Kind>
inline uint32_t FastPixel(uint32_t texel, uint32_t tint, bool alphaConst, uint32_t constAlpha, uint32_t dst) {
  uint32_t a = alphaConst ? constAlpha : Mul255(texel >> 24, tint >> 24);
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t s = shift == 24 ? a : Mul255((texel >> shift) & 0xFF, (tint >> shift) & 0xFF);
    uint32_t d = (dst >> shift) & 0xFF, c;
    if (Kind == TFast::Opaque)
      c = s;
    else if (Kind == TFast::Blend)
      c = Mul255(s, a) + Mul255(d, 255 - a);
    else
      c = std::min(255u, Mul255(s, a) + d);
    out |= c << shift;
  }
  return out;
}

#if defined(__SSE2__)
SPAN_INLINE __m128i Mul255x8(__m128i a, __m128i b) {
  __m128i t = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

SPAN_INLINE __m128i BroadcastAlpha(__m128i v) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF); }

// Two pixels (eight 16-bit lanes) of source colour through the kind's blend.
template <TFast Kind>
SPAN_INLINE __m128i FastPair(__m128i texel, __m128i tint, __m128i alphaMask, __m128i constAlpha, bool alphaConst, __m128i dst) {
  __m128i s = Mul255x8(texel, tint);
  if (alphaConst) s = _mm_or_si128(_mm_andnot_si128(alphaMask, s), constAlpha);
  if (Kind == TFast::Opaque) return s;
  __m128i a = BroadcastAlpha(s);
  __m128i term = Mul255x8(s, a);
  if (Kind == TFast::Blend) return _mm_add_epi16(term, Mul255x8(dst, _mm_sub_epi16(_mm_set1_epi16(255), a)));
  return _mm_add_epi16(term, dst);  // additive: packing saturates at 255
}
#endif

// Texture addressing of both axes, chosen per state (TRasterState::addressKind): one
// mode on power-of-two sizes (a mask), clamp (two compares), or anything else through
// the general function.
enum class TAddr : uint8_t { Clamp, WrapPow2, MirrorPow2, Any };

template <TAddr A>
SPAN_INLINE int32_t AddressAs(int64_t i, int32_t size, uint32_t mode) {
  if constexpr (A == TAddr::Clamp) {
    // Without branches: which side a texel falls on changes from pixel to pixel.
    int64_t last = size - 1, c = i < 0 ? 0 : i, over = c - last;
    return int32_t(last + (over & (over >> 63)));
  } else if constexpr (A == TAddr::WrapPow2) {
    return int32_t(i & (size - 1));
  } else if constexpr (A == TAddr::MirrorPow2) {
    int32_t m = int32_t(i & (2 * int64_t(size) - 1));
    return m < size ? m : 2 * size - 1 - m;
  } else {
    return AddressTexel(i, size, mode);
  }
}

// The diffuse colour (ARGB) of the colour values r, g, b, a in fixed point.
inline uint32_t ArgbOfColor(int64_t r, int64_t g, int64_t b, int64_t a) {
  auto channel = [](int64_t value) { return uint32_t(std::clamp<int64_t>(value >> ColorFracBits, 0, 255)); };
  return channel(a) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
}

// The diffuse colour of a pixel (ARGB) from the colour planes.
inline uint32_t PlaneColor(const TAttributePlanes& p, int32_t x, int32_t y) {
  return ArgbOfColor(p.color[0].At(x, y), p.color[1].At(x, y), p.color[2].At(x, y), p.color[3].At(x, y));
}

// The same where the colour planes are flat (dx and dy zero): a0 at every pixel, so no
// products are needed (the tint of every quad's two triangles).
inline uint32_t FlatColor(const TAttributePlanes& p) {
  return ArgbOfColor(p.color[0].a0, p.color[1].a0, p.color[2].a0, p.color[3].a0);
}

// The fused sample-and-blend span loop of a fast kind on a 32-bit texture (null when
// there is none for the state): SSE2 (or plain) two pixels at a time, and AVX2 eight
// at a time where the processor has it and AllowWideSpans permits (null otherwise).
TSpanJob::TDraw ChooseNarrowSampledSpan(TFast kind, bool linear, TAddr address);
TSpanJob::TDraw ChooseWideSampledSpan(TFast kind, bool linear, TAddr address, const TRasterTexture& texture);
// The AVX2 loop that blends a texture row texel for texel (null where the processor or
// AllowWideSpans does not permit it).
TRasterState::TDirectLoop ChooseWideDirectLoop(TFast kind);
// The AVX2 loop's form for the rows of two triangles (TSpanJob::rows); only asked for
// where ChooseWideSampledSpan gave a loop.
TSpanJob::TRowsDraw ChooseWideRowSpans(TFast kind, bool linear, TAddr address);

// Whether a texture coordinate plane, less half a texel for bilinear (less), fits 32
// bits over the box [x0, x1] x [y0, y1]: a linear function is largest and smallest at
// corners. The plain form of the 16-lane loop's test.
inline bool PlaneFits(const TPlane& p, int64_t less, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
  const int64_t corner = p.At(x0, y0) - less, alongX = int64_t(x1 - x0) * p.dx, alongY = int64_t(y1 - y0) * p.dy;
  const int64_t low = corner + std::min<int64_t>(alongX, 0) + std::min<int64_t>(alongY, 0);
  const int64_t high = corner + std::max<int64_t>(alongX, 0) + std::max<int64_t>(alongY, 0);
  return low >= INT32_MIN && high <= INT32_MAX;
}

// A plane as the 16-lane loop steps it: value(x, y) = base + x * dx + y * dy in 32
// bits, wrapping; exact wherever the true value fits 32 bits.
struct TPlane32 {
  uint32_t base, dx, dy;
  bool operator==(const TPlane32& o) const { return base == o.base && dx == o.dx && dy == o.dy; }
};

inline TPlane32 Plane32(const TPlane& p, int64_t less) {
  const uint32_t dx = uint32_t(uint64_t(p.dx)), dy = uint32_t(uint64_t(p.dy));
  return {uint32_t(uint64_t(p.a0 - less)) - uint32_t(p.xref) * dx - uint32_t(p.yref) * dy, dx, dy};
}

// The 16-lane loop's fit test of the four texture planes of a quad (u and v of a, then
// of b) over the box {x0, x1, y0, y1}, and their Plane32 forms as it computes them all
// at once, for the tests (false without AVX-512).
bool WidestQuadPlanes(const TAttributePlanes& a, const TAttributePlanes& b, int64_t less, const int32_t box[4],
                      bool& fits, TPlane32 planes[4]);

// The 16-lane AVX-512 rows loop for clamped sampling of a small texture, point or
// bilinear (null where the processor or AllowWideSpans rule it out); where it meets
// rows it cannot take, it hands the call to the AVX2 loop.
TSpanJob::TRowsDraw ChooseWidestRowSpans(TFast kind, bool linear);
// The 16-lane loop for small pairs drawn straight from their coverage masks
// (TRasterState::maskedPairs), on the same terms.
TRasterState::TMaskedPairLoop ChooseMaskedPairs(TFast kind, bool linear);

// A rows loop's call without a batch, through one of its own that is flushed at the
// end (kept out of the loop's frame: it is large).
__attribute__((noinline)) inline void DrawRowsAlone(const TSpanJob& a, const TSpanJob& b, const TRowSpan* rows,
                                                    int32_t count, TSpanJob::TRowsDraw loop) {
  TRowBatch own;
  loop(a, b, rows, count, &own);
  own.Flush();
}

// Makes a batch the queue of a rows loop (its drain), drawing what another left.
inline void TakeBatch(TRowBatch& q, const TRasterState& state, void (*drain)(TRowBatch&)) {
  if (q.drain == drain && q.state == &state) return;
  q.Flush();
  q.drain = drain;
  q.state = &state;
}

// Before a quad with pixels in the box [x0, x1] x [y0, y1] is queued: the pixels of one
// vector of lanes are read before any is written, so where the last partly filled one
// may hold pixels of the box, the queue is drawn first.
inline void SeparateFromOpenVector(TRowBatch& q, int32_t lanes, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
  if (q.count % lanes != 0 && x0 <= q.openX1 && q.openX0 <= x1 && y0 <= q.openY1 && q.openY0 <= y1) q.Flush();
}

// After the quad is queued (before: the count at its start): the box of the partly
// filled vector becomes the quad's where its pixels began a vector, else grows by it.
inline void GrowOpenVector(TRowBatch& q, int32_t lanes, int32_t before, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
  if (q.count < before || q.count / lanes != before / lanes) {
    q.openX0 = x0, q.openX1 = x1, q.openY0 = y0, q.openY1 = y1;
  } else {
    q.openX0 = std::min(q.openX0, x0), q.openX1 = std::max(q.openX1, x1);
    q.openY0 = std::min(q.openY0, y0), q.openY1 = std::max(q.openY1, y1);
  }
}

// The box [x0, x1] x [y0, y1] around rows, and the longest row.
inline int32_t RowsBox(const TRowSpan* rows, int32_t count, int32_t& x0, int32_t& x1, int32_t& y0, int32_t& y1) {
  int32_t longest = 0;
  x0 = y0 = INT32_MAX, x1 = y1 = INT32_MIN;
  for (int32_t k = 0; k < count; ++k) {
    const TRowSpan& r = rows[k];
    x0 = std::min(x0, r.x0), x1 = std::max(x1, r.x1 - 1), y0 = std::min(y0, r.y), y1 = std::max(y1, r.y);
    longest = std::max(longest, r.x1 - r.x0);
  }
  return longest;
}

// The bilinear texel of four neighbours with 8-bit weights fu, fv.
inline uint32_t BilinearTexel(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint32_t fu, uint32_t fv) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t top = ((c00 >> shift) & 0xFF) * (256 - fu) + ((c10 >> shift) & 0xFF) * fu;
    uint32_t bottom = ((c01 >> shift) & 0xFF) * (256 - fu) + ((c11 >> shift) & 0xFF) * fu;
    out |= ((top * (256 - fv) + bottom * fv + 32768) >> 16) << shift;
  }
  return out;
}

// A texel of a 32-bit texture as stored (the alpha of XRGB is forced by the caller).
SPAN_INLINE uint32_t WideTexel(const TRasterTexture& t, int32_t x, int32_t y) {
  uint32_t v;
  std::memcpy(&v, t.pixels + int64_t(y) * t.pitch + int64_t(x) * 4, 4);
  return v;
}

}  // namespace span_pixel

// A texture of at most SmallTexels texels copied whole (rows one after the other, the
// alpha of XRGB set), small enough for the 16-lane loop to hold it in registers and
// look texels up by permutation instead of gathering them from memory.
constexpr int32_t SmallTexels = 64;
struct TSmallTexture {
  uint32_t texels[SmallTexels] = {};
  int32_t width = 0, height = 0;
};

// The copy of a state's texture where it is a small 32-bit one; else null.
std::shared_ptr<const TSmallTexture> CopySmallTexture(const TRasterTexture& texture);
