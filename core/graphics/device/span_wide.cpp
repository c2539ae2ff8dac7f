// The fused sample-and-blend span loops of span_affine.cpp eight pixels at a time with
// AVX2, for processors that have it (chosen at run time; only the functions here are
// compiled for AVX2, so the rest of the program runs anywhere). The texture
// coordinates of a span are stepped in 32-bit lanes when all of them fit, which gives
// the same values as the 64-bit planes; other spans take the SSE2 loop. Texels are
// gathered, filtered, tinted and blended with the same integer formulas as the other
// loops, so every pixel equals theirs bit for bit. The rows of a quad's two triangles
// come many at once (TSpanJob::rows), and their pixels are queued and drawn eight at a
// time across rows, and across the quads of a draw call (TRowBatch).
#include <algorithm>
#include <atomic>

#include "graphics/device/span_pixel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SPAN_WIDE 1
#endif

namespace {

using namespace span_pixel;

std::atomic<TSpanWidth> gWidest{TSpanWidth::Avx512};

#if defined(SPAN_WIDE)

#define WIDE_FN __attribute__((target("avx2")))
#define WIDE_INLINE inline __attribute__((always_inline, target("avx2")))

constexpr int64_t HalfTexel = int64_t(1) << (TexelFracBits - 1);

// What a span needs of the texture, as vectors.
struct TWideTexture {
  const int* texels;
  __m256i pitch;       // in texels
  __m256i last[2];     // width - 1, height - 1 (clamp), or the wrap / mirror masks
  __m256i size[2];     // width, height (mirror)
};

template <TAddr A>
WIDE_INLINE __m256i AddressWide(__m256i i, __m256i last, __m256i size) {
  if constexpr (A == TAddr::Clamp) {
    return _mm256_min_epi32(_mm256_max_epi32(i, _mm256_setzero_si256()), last);
  } else if constexpr (A == TAddr::WrapPow2) {
    return _mm256_and_si256(i, last);
  } else {
    // Mirror on a power of two: m = i mod 2 * size, reflected in the upper half
    // (2 * size - 1 - m equals m with the low bits flipped there).
    __m256i period = _mm256_sub_epi32(_mm256_add_epi32(size, size), _mm256_set1_epi32(1));
    __m256i m = _mm256_and_si256(i, period);
    __m256i upper = _mm256_cmpgt_epi32(m, last);
    return _mm256_xor_si256(m, _mm256_and_si256(upper, period));
  }
}

// Exact Mul255 of 16 16-bit lanes, as Mul255x8.
WIDE_INLINE __m256i Mul255x16(__m256i a, __m256i b) {
  __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(a, b), _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

WIDE_INLINE __m256i BroadcastAlpha16(__m256i v) {
  return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(v, 0xFF), 0xFF);
}

// Texels of eight pixels as two vectors of 16-bit channels: lo holds pixels 0, 1, 4,
// 5 and hi pixels 2, 3, 6, 7 (the order of unpacking within 128-bit halves, undone by
// the final pack).
struct TTexels16 {
  __m256i lo, hi;
};

WIDE_INLINE TTexels16 Widen(__m256i c) {
  const __m256i zero = _mm256_setzero_si256();
  return {_mm256_unpacklo_epi8(c, zero), _mm256_unpackhi_epi8(c, zero)};
}

// c0 * (256 - f) + c1 * f per channel, as 256 * c0 + (c1 - c0) * f: at most 65280, so
// the 16-bit wrap-around sum is exact.
WIDE_INLINE __m256i Lerp16(__m256i c0, __m256i c1, __m256i f) {
  return _mm256_add_epi16(_mm256_slli_epi16(c0, 8), _mm256_mullo_epi16(_mm256_sub_epi16(c1, c0), f));
}

// (top * (256 - fv) + bottom * fv + 32768) >> 16 of one pixel's four channels in each
// 128-bit half: pairs (top - 32768, bottom - 32768) times (256 - fv, fv), then 32768 *
// 256 added back.
WIDE_INLINE __m256i Vertical(__m256i pairs, __m256i weights) {
  const __m256i round = _mm256_set1_epi32(32768 * 256 + 32768);
  return _mm256_srli_epi32(_mm256_add_epi32(_mm256_madd_epi16(pairs, weights), round), 16);
}

// (256 - f) in the low and f in the high 16 bits of each pixel's word.
WIDE_INLINE __m256i WeightPairs(__m256i f) {
  return _mm256_add_epi32(_mm256_sub_epi32(_mm256_slli_epi32(f, 16), f), _mm256_set1_epi32(256));
}

WIDE_INLINE TTexels16 Bilinear(__m256i c00, __m256i c10, __m256i c01, __m256i c11, __m256i fu, __m256i fv) {
  // fu of each pixel in the four 16-bit lanes of its channels.
  const __m256i spreadLo = _mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1,
                                            0, -1, 0, -1, 0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1);
  const __m256i spreadHi = _mm256_setr_epi8(8, -1, 8, -1, 8, -1, 8, -1, 12, -1, 12, -1, 12, -1, 12, -1,
                                            8, -1, 8, -1, 8, -1, 8, -1, 12, -1, 12, -1, 12, -1, 12, -1);
  __m256i fuLo = _mm256_shuffle_epi8(fu, spreadLo), fuHi = _mm256_shuffle_epi8(fu, spreadHi);
  TTexels16 a = Widen(c00), b = Widen(c10), c = Widen(c01), d = Widen(c11);
  const __m256i bias = _mm256_set1_epi16(int16_t(-32768));
  __m256i topLo = _mm256_xor_si256(Lerp16(a.lo, b.lo, fuLo), bias), topHi = _mm256_xor_si256(Lerp16(a.hi, b.hi, fuHi), bias);
  __m256i botLo = _mm256_xor_si256(Lerp16(c.lo, d.lo, fuLo), bias), botHi = _mm256_xor_si256(Lerp16(c.hi, d.hi, fuHi), bias);
  __m256i wv = WeightPairs(fv);
  __m256i p0 = Vertical(_mm256_unpacklo_epi16(topLo, botLo), _mm256_shuffle_epi32(wv, 0x00));
  __m256i p1 = Vertical(_mm256_unpackhi_epi16(topLo, botLo), _mm256_shuffle_epi32(wv, 0x55));
  __m256i p2 = Vertical(_mm256_unpacklo_epi16(topHi, botHi), _mm256_shuffle_epi32(wv, 0xAA));
  __m256i p3 = Vertical(_mm256_unpackhi_epi16(topHi, botHi), _mm256_shuffle_epi32(wv, 0xFF));
  return {_mm256_packs_epi32(p0, p1), _mm256_packs_epi32(p2, p3)};
}

WIDE_INLINE __m256i Gather(const TWideTexture& t, __m256i row, __m256i x) {
  return _mm256_i32gather_epi32(t.texels, _mm256_add_epi32(row, x), 4);
}
// The texels of eight pixels at fixed-point (u, v) (less half a texel for bilinear).
template <bool Linear, TAddr A>
WIDE_INLINE TTexels16 SampleWide(const TWideTexture& t, __m256i u, __m256i v) {
  __m256i iu = _mm256_srai_epi32(u, TexelFracBits), iv = _mm256_srai_epi32(v, TexelFracBits);
  if constexpr (!Linear) {
    __m256i row = _mm256_mullo_epi32(AddressWide<A>(iv, t.last[1], t.size[1]), t.pitch);
    return Widen(Gather(t, row, AddressWide<A>(iu, t.last[0], t.size[0])));
  } else {
    const __m256i one = _mm256_set1_epi32(1), byte = _mm256_set1_epi32(0xFF);
    __m256i x0 = AddressWide<A>(iu, t.last[0], t.size[0]);
    __m256i x1 = AddressWide<A>(_mm256_add_epi32(iu, one), t.last[0], t.size[0]);
    __m256i row0 = _mm256_mullo_epi32(AddressWide<A>(iv, t.last[1], t.size[1]), t.pitch);
    __m256i row1 = _mm256_mullo_epi32(AddressWide<A>(_mm256_add_epi32(iv, one), t.last[1], t.size[1]), t.pitch);
    __m256i fu = _mm256_and_si256(_mm256_srli_epi32(u, TexelFracBits - 8), byte);
    __m256i fv = _mm256_and_si256(_mm256_srli_epi32(v, TexelFracBits - 8), byte);
    return Bilinear(Gather(t, row0, x0), Gather(t, row0, x1), Gather(t, row1, x0), Gather(t, row1, x1), fu, fv);
  }
}

// The constants of a span's blend.
struct TWideBlend {
  __m256i tint, alphaMask, constAlpha, texOr;
  bool alphaConst;
};

template <TFast Kind>
WIDE_INLINE __m256i BlendHalf(const TWideBlend& b, __m256i texel, __m256i dst) {
  __m256i s = Mul255x16(_mm256_or_si256(texel, b.texOr), b.tint);
  if (b.alphaConst) s = _mm256_or_si256(_mm256_andnot_si256(b.alphaMask, s), b.constAlpha);
  if (Kind == TFast::Opaque) return s;
  __m256i a = BroadcastAlpha16(s);
  __m256i term = Mul255x16(s, a);
  if (Kind == TFast::Blend) return _mm256_add_epi16(term, Mul255x16(dst, _mm256_sub_epi16(_mm256_set1_epi16(255), a)));
  return _mm256_add_epi16(term, dst);  // additive: packing saturates at 255
}

// Whether a + k * d fits in 32 bits for k in [0, count).
inline bool LanesFit(int64_t a, int64_t d, int64_t count) {
  constexpr int64_t Limit = int64_t(1) << 31, MaxStep = int64_t(1) << 30;
  if (d <= -MaxStep || d >= MaxStep || a < -Limit || a >= Limit) return false;
  int64_t end = a + (count - 1) * d;
  return end >= -Limit && end < Limit;
}

// The blend of a span: tint, alpha from the texture factor (alphaConst) or not, and
// opaque texels (texOr: the alpha of XRGB textures).
WIDE_INLINE TWideBlend WideBlendOf(uint32_t tint, bool alphaConst, uint32_t constAlpha, bool texOr) {
  const __m256i zero = _mm256_setzero_si256();
  TWideBlend b;
  b.tint = _mm256_unpacklo_epi8(_mm256_set1_epi32(int32_t(tint)), zero);
  b.alphaMask = _mm256_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0);
  b.constAlpha = _mm256_and_si256(b.alphaMask, _mm256_set1_epi16(int16_t(constAlpha)));
  b.texOr = texOr ? _mm256_and_si256(b.alphaMask, _mm256_set1_epi16(255)) : zero;
  b.alphaConst = alphaConst;
  return b;
}

// Texel for texel (sprites and backgrounds drawn at their size): eight pixels at a time
// straight from the texture row, as the SSE2 loop does four.
template <TFast Kind>
WIDE_FN void WideDirectLoop(uint32_t* dst, const uint32_t* tex, int32_t n, uint32_t texOr, uint32_t tint,
                            bool alphaConst, uint32_t constAlpha) {
  const __m256i zero = _mm256_setzero_si256(), alphaBits = _mm256_set1_epi32(int32_t(0xFF000000u));
  const TWideBlend b = WideBlendOf(tint, alphaConst, constAlpha, texOr != 0);
  // Eight texels of alpha 0 leave a blended target as it is.
  const bool skipClear = Kind != TFast::Opaque && !alphaConst && texOr == 0;
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(tex + i));
    if (skipClear && _mm256_testz_si256(t, alphaBits)) continue;
    const __m256i d = Kind == TFast::Opaque ? zero : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i lo = BlendHalf<Kind>(b, _mm256_unpacklo_epi8(t, zero), _mm256_unpacklo_epi8(d, zero));
    const __m256i hi = BlendHalf<Kind>(b, _mm256_unpackhi_epi8(t, zero), _mm256_unpackhi_epi8(d, zero));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(lo, hi));
  }
  for (; i < n; ++i) dst[i] = FastPixel<Kind>(tex[i] | texOr, tint, alphaConst, constAlpha, dst[i]);
}

// The span loops' view of the texture and the blend, set up once per call.
struct TWideConstants {
  TWideTexture texture;
  TWideBlend blend;
};

WIDE_INLINE void SetUpConstants(const TRasterState& s, uint32_t tint, TWideConstants& c) {
  const TRasterTexture& tex = s.texture;
  TWideTexture& t = c.texture;
  t.texels = reinterpret_cast<const int*>(tex.pixels);
  t.pitch = _mm256_set1_epi32(tex.pitch / 4);
  t.size[0] = _mm256_set1_epi32(tex.width);
  t.size[1] = _mm256_set1_epi32(tex.height);
  t.last[0] = _mm256_set1_epi32(tex.width - 1);
  t.last[1] = _mm256_set1_epi32(tex.height - 1);
  c.blend = WideBlendOf(tint, s.fastAlphaConst, s.fastAlpha, s.samplerOr != 0);
}

// The steps of a plane pair (u, v) across the lanes: k * du in lane k, and 8 * du.
struct TLaneSteps {
  const TAttributePlanes* planes;
  __m256i u, v, du8, dv8;
};

WIDE_INLINE TLaneSteps StepsOf(const TAttributePlanes& p) {
  const __m256i step = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  return {&p, _mm256_mullo_epi32(_mm256_set1_epi32(int32_t(p.u.dx)), step),
          _mm256_mullo_epi32(_mm256_set1_epi32(int32_t(p.v.dx)), step),
          _mm256_set1_epi32(int32_t(uint32_t(uint64_t(p.u.dx) * 8))), _mm256_set1_epi32(int32_t(uint32_t(uint64_t(p.v.dx) * 8)))};
}

// The texture coordinates of the eight lanes from pixel (x0, y) on (less half a texel
// for bilinear); false when they would not fit 32 bits over n pixels.
struct TLanes {
  __m256i u, v;
};

template <bool Linear>
WIDE_INLINE bool StartLanes(const TLaneSteps& s, int32_t y, int32_t x0, int32_t n, TLanes& out) {
  const TAttributePlanes& p = *s.planes;
  const int64_t u = p.u.At(x0, y) - (Linear ? HalfTexel : 0), v = p.v.At(x0, y) - (Linear ? HalfTexel : 0);
  const int64_t lanes = (int64_t(n) + 7) & ~int64_t(7);
  if (!LanesFit(u, p.u.dx, lanes) || !LanesFit(v, p.v.dx, lanes)) return false;
  out.u = _mm256_add_epi32(_mm256_set1_epi32(int32_t(u)), s.u);
  out.v = _mm256_add_epi32(_mm256_set1_epi32(int32_t(v)), s.v);
  return true;
}

// Pixels [0, n) from dst on, with room pixels to the end of the target row: lanes
// before m take the coordinates a, the others b (with Two; without, all take a).
template <TFast Kind, bool Linear, TAddr A, bool Two>
WIDE_INLINE void WideRow(const TWideConstants& c, TLanes a, const TLaneSteps& sa, TLanes b, const TLaneSteps& sb,
                         int32_t m, int* dst, int32_t n, int32_t room) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i step = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  for (int32_t i = 0; i < n; i += 8) {
    __m256i u = a.u, v = a.v;
    if constexpr (Two) {
      const __m256i second = _mm256_cmpgt_epi32(_mm256_add_epi32(step, _mm256_set1_epi32(i)), _mm256_set1_epi32(m - 1));
      u = _mm256_blendv_epi8(a.u, b.u, second);
      v = _mm256_blendv_epi8(a.v, b.v, second);
      b.u = _mm256_add_epi32(b.u, sb.du8);
      b.v = _mm256_add_epi32(b.v, sb.dv8);
    }
    a.u = _mm256_add_epi32(a.u, sa.du8);
    a.v = _mm256_add_epi32(a.v, sa.dv8);
    TTexels16 texels = SampleWide<Linear, A>(c.texture, u, v);
    // The last pixels of a span: while eight lie within the target row, the target is
    // read and written whole, its pixels past the span written back unchanged (cheaper
    // than masked loads and stores).
    const bool whole = n - i >= 8, inRow = i + 8 <= room;
    const __m256i mask = whole ? _mm256_set1_epi32(-1) : _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), step);
    __m256i d = zero;
    if (Kind != TFast::Opaque || (!whole && inRow))
      d = whole || inRow ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i)) : _mm256_maskload_epi32(dst + i, mask);
    __m256i lo = BlendHalf<Kind>(c.blend, texels.lo, _mm256_unpacklo_epi8(d, zero));
    __m256i hi = BlendHalf<Kind>(c.blend, texels.hi, _mm256_unpackhi_epi8(d, zero));
    __m256i out = _mm256_packus_epi16(lo, hi);
    if (whole)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), out);
    else if (inRow)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(d, out, mask));
    else
      _mm256_maskstore_epi32(dst + i, mask, out);
  }
}

WIDE_INLINE int* TargetRow(const TRasterState& s, int32_t y, int32_t x0) {
  return reinterpret_cast<int*>(s.target.pixels + int64_t(y) * s.target.pitch) + x0;
}

// The pixels from x0 to the end of a target row (its pitch, not only its width).
WIDE_INLINE int32_t RoomInRow(const TRasterState& s, int32_t x0) { return s.target.pitch / 4 - x0; }

template <TFast Kind, bool Linear, TAddr A>
WIDE_FN void WideSampledSpan(const TSpanJob& job, int32_t y, int32_t x0, int32_t x1) {
  const TLaneSteps steps = StepsOf(*job.planes);
  TLanes lanes;
  if (!StartLanes<Linear>(steps, y, x0, x1 - x0, lanes)) {
    ChooseNarrowSampledSpan(Kind, Linear, A)(job, y, x0, x1);
    return;
  }
  TWideConstants c;
  SetUpConstants(*job.state, job.tintConstant ? job.tint : PlaneColor(*job.planes, x0, y), c);
  WideRow<Kind, Linear, A, false>(c, lanes, steps, lanes, steps, x1 - x0, TargetRow(*job.state, y, x0), x1 - x0,
                                  RoomInRow(*job.state, x0));
}

// The pixels of many short rows are queued one after the other (TRowBatch), to be
// sampled and blended eight at a time whatever row and quad they are in: the rows of
// small triangles are a few pixels long, and a vector per row would leave most lanes
// idle. Per pixel: its texture coordinates (less half a texel for bilinear), its place
// in the target and its tint.

// Queues row y's pixels [x0, x0 + n): lanes before m with coordinates a, the others b.
WIDE_INLINE void QueueRow(TRowBatch& q, TLanes a, const TLaneSteps& sa, TLanes b, const TLaneSteps& sb, int32_t m,
                          int32_t rowOffset, int32_t n, __m256i tint) {
  const __m256i step = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  // Sixteen lanes at a time: most rows take one pass without a loop branch to miss.
  for (int32_t i = 0; i < n; i += 16) {
    for (int32_t h = 0; h < 16; h += 8) {
      const __m256i second = _mm256_cmpgt_epi32(_mm256_add_epi32(step, _mm256_set1_epi32(i + h)), _mm256_set1_epi32(m - 1));
      int32_t at = q.count + i + h;
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(q.u + at), _mm256_blendv_epi8(a.u, b.u, second));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(q.v + at), _mm256_blendv_epi8(a.v, b.v, second));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(q.offset + at), _mm256_add_epi32(_mm256_set1_epi32(rowOffset + i + h), step));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(q.tint + at), tint);
      a.u = _mm256_add_epi32(a.u, sa.du8);
      a.v = _mm256_add_epi32(a.v, sa.dv8);
      b.u = _mm256_add_epi32(b.u, sb.du8);
      b.v = _mm256_add_epi32(b.v, sb.dv8);
    }
  }
  q.count += n;
}

// Samples, blends and writes the queued pixels, and empties the queue.
template <TFast Kind, bool Linear, TAddr A>
WIDE_INLINE void DrainQueue(const TWideConstants& c, int* target, TRowBatch& q) {
  if (q.count == 0) return;
  // The lanes past the last pixel repeat it: they read the same target pixel and
  // texels and so write the same value, and every vector is written whole without a
  // loop whose length changes from quad to quad.
  const int32_t last = q.count - 1;
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(q.u + q.count), _mm256_set1_epi32(q.u[last]));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(q.v + q.count), _mm256_set1_epi32(q.v[last]));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(q.offset + q.count), _mm256_set1_epi32(q.offset[last]));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(q.tint + q.count), _mm256_set1_epi32(int32_t(q.tint[last])));
  const __m256i zero = _mm256_setzero_si256();
  TWideBlend blend = c.blend;
  alignas(32) int32_t out[8];
  for (int32_t i = 0; i < q.count; i += 8) {
    __m256i u = _mm256_load_si256(reinterpret_cast<const __m256i*>(q.u + i));
    __m256i v = _mm256_load_si256(reinterpret_cast<const __m256i*>(q.v + i));
    TTexels16 texels = SampleWide<Linear, A>(c.texture, u, v);
    // The target's pixels read one by one: cheaper here than a gather.
    __m256i d = zero;
    if (Kind != TFast::Opaque) {
      const int32_t* at = q.offset + i;
      d = _mm256_setr_epi32(target[at[0]], target[at[1]], target[at[2]], target[at[3]], target[at[4]], target[at[5]],
                            target[at[6]], target[at[7]]);
    }
    // The tints unpack as the target's pixels do.
    const __m256i tints = _mm256_load_si256(reinterpret_cast<const __m256i*>(q.tint + i));
    blend.tint = _mm256_unpacklo_epi8(tints, zero);
    __m256i lo = BlendHalf<Kind>(blend, texels.lo, _mm256_unpacklo_epi8(d, zero));
    blend.tint = _mm256_unpackhi_epi8(tints, zero);
    __m256i hi = BlendHalf<Kind>(blend, texels.hi, _mm256_unpackhi_epi8(d, zero));
    _mm256_store_si256(reinterpret_cast<__m256i*>(out), _mm256_packus_epi16(lo, hi));
    for (int32_t k = 0; k < 8; ++k) target[q.offset[i + k]] = out[k];
  }
  q.count = 0;
}

// The queued pixels of a batch (its drain).
template <TFast Kind, bool Linear, TAddr A>
WIDE_FN void DrainBatch(TRowBatch& q) {
  TWideConstants c;
  SetUpConstants(*q.state, 0, c);
  DrainQueue<Kind, Linear, A>(c, reinterpret_cast<int*>(q.state->target.pixels), q);
}

// The rows of two triangles (jobs with the same constant tint). Rows are queued and
// drawn eight pixels at a time, across the calls of a batch; a row whose coordinates
// do not fit 32-bit lanes, or that is long, is drawn alone (the queue drawn first,
// keeping the order), and the queue is drawn before a row overlapping the one before
// it (overlapping triangles) and before a quad that may overlap its last partly filled
// vector.
template <TFast Kind, bool Linear, TAddr A>
WIDE_FN void WideRowSpans(const TSpanJob& a, const TSpanJob& b, const TRowSpan* rows, int32_t count, TRowBatch* batch) {
  if (count <= 0) return;
  if (!batch) {
    DrawRowsAlone(a, b, rows, count, WideRowSpans<Kind, Linear, A>);
    return;
  }
  const TRasterState& s = *a.state;
  TRowBatch& q = *batch;
  TakeBatch(q, s, DrainBatch<Kind, Linear, A>);
  int32_t x0, x1, y0, y1;
  RowsBox(rows, count, x0, x1, y0, y1);
  SeparateFromOpenVector(q, 8, x0, x1, y0, y1);
  const int32_t before = q.count;
  const __m256i tint = _mm256_set1_epi32(int32_t(a.tint));
  TWideConstants c;
  SetUpConstants(s, a.tint, c);
  const TLaneSteps steps[2] = {StepsOf(*a.planes), StepsOf(*b.planes)};
  const TSpanJob* jobs[2] = {&a, &b};
  constexpr int32_t LongRow = 64;
  const int32_t pitch = s.target.pitch / 4;
  // Places in the target as 32-bit lane offsets.
  const bool queued = int64_t(pitch) * s.target.height < (int64_t(1) << 31);
  int* target = reinterpret_cast<int*>(s.target.pixels);
  for (int32_t k = 0; k < count; ++k) {
    const TRowSpan& r = rows[k];
    const int first = r.secondFirst ? 1 : 0;
    const TLaneSteps &sf = steps[first], &ss = steps[1 - first];
    const int32_t n = r.x1 - r.x0;
    TLanes lf, ls = {};
    bool fits = StartLanes<Linear>(sf, r.y, r.x0, n, lf) && (r.xm == r.x1 || StartLanes<Linear>(ss, r.y, r.x0, n, ls));
    if (r.xm == r.x1) ls = lf;
    bool overlaps = k > 0 && rows[k - 1].y == r.y && rows[k - 1].x0 < r.x1 && r.x0 < rows[k - 1].x1;
    if (overlaps || q.count + n > TRowBatch::Capacity) DrainQueue<Kind, Linear, A>(c, target, q);
    if (fits && queued && n <= LongRow) {
      // Fetched now, as the pixels are drawn quads later.
      const char* row = reinterpret_cast<const char*>(target + int64_t(r.y) * pitch);
      _mm_prefetch(row + int64_t(r.x0) * 4, _MM_HINT_T0);
      _mm_prefetch(row + int64_t(r.x1 - 1) * 4, _MM_HINT_T0);
      QueueRow(q, lf, sf, ls, ss, r.xm - r.x0, r.y * pitch + r.x0, n, tint);
      continue;
    }
    DrainQueue<Kind, Linear, A>(c, target, q);
    int* dst = TargetRow(s, r.y, r.x0);
    if (!fits) {
      const TSpanJob &jf = *jobs[first], &js = *jobs[1 - first];
      if (r.x0 < r.xm) jf.draw(jf, r.y, r.x0, r.xm);
      if (r.xm < r.x1) js.draw(js, r.y, r.xm, r.x1);
    } else if (r.xm < r.x1) {
      WideRow<Kind, Linear, A, true>(c, lf, sf, ls, ss, r.xm - r.x0, dst, n, RoomInRow(s, r.x0));
    } else {
      WideRow<Kind, Linear, A, false>(c, lf, sf, lf, sf, n, dst, n, RoomInRow(s, r.x0));
    }
  }
  GrowOpenVector(q, 8, before, x0, x1, y0, y1);
}

template <TFast Kind, bool Linear>
TSpanJob::TDraw WideForAddress(TAddr a) {
  switch (a) {
    case TAddr::Clamp: return WideSampledSpan<Kind, Linear, TAddr::Clamp>;
    case TAddr::WrapPow2: return WideSampledSpan<Kind, Linear, TAddr::WrapPow2>;
    case TAddr::MirrorPow2: return WideSampledSpan<Kind, Linear, TAddr::MirrorPow2>;
    default: return nullptr;
  }
}

template <TFast Kind>
TSpanJob::TDraw WideForFilter(bool linear, TAddr a) {
  return linear ? WideForAddress<Kind, true>(a) : WideForAddress<Kind, false>(a);
}

template <TFast Kind, bool Linear>
TSpanJob::TRowsDraw RowsForAddress(TAddr a) {
  switch (a) {
    case TAddr::Clamp: return WideRowSpans<Kind, Linear, TAddr::Clamp>;
    case TAddr::WrapPow2: return WideRowSpans<Kind, Linear, TAddr::WrapPow2>;
    case TAddr::MirrorPow2: return WideRowSpans<Kind, Linear, TAddr::MirrorPow2>;
    default: return nullptr;
  }
}

template <TFast Kind>
TSpanJob::TRowsDraw RowsForFilter(bool linear, TAddr a) {
  return linear ? RowsForAddress<Kind, true>(a) : RowsForAddress<Kind, false>(a);
}

bool ProcessorHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

bool ProcessorHasAvx512() {
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                          __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq");
  return has;
}

#endif  // SPAN_WIDE

}  // namespace

void AllowWideSpans(bool allowed) { gWidest = allowed ? TSpanWidth::Avx512 : TSpanWidth::Sse2; }

void LimitSpanWidth(TSpanWidth widest) { gWidest = widest; }

TSpanWidth SpanWidthInUse() {
#if defined(SPAN_WIDE)
  const TSpanWidth limit = gWidest;
  if (limit >= TSpanWidth::Avx512 && ProcessorHasAvx512()) return TSpanWidth::Avx512;
  if (limit >= TSpanWidth::Avx2 && ProcessorHasAvx2()) return TSpanWidth::Avx2;
#endif
  return TSpanWidth::Sse2;
}

bool WideSpansInUse() { return SpanWidthInUse() >= TSpanWidth::Avx2; }

namespace span_pixel {

TSpanJob::TDraw ChooseWideSampledSpan(TFast kind, bool linear, TAddr address, const TRasterTexture& texture) {
#if defined(SPAN_WIDE)
  // Texel indices (row * pitch + column) must fit the gathers' 32-bit lanes.
  if (!WideSpansInUse() || texture.pitch % 4 != 0 || int64_t(texture.pitch) * texture.height >= (int64_t(1) << 31))
    return nullptr;
  switch (kind) {
    case TFast::Opaque: return WideForFilter<TFast::Opaque>(linear, address);
    case TFast::Blend: return WideForFilter<TFast::Blend>(linear, address);
    case TFast::Add: return WideForFilter<TFast::Add>(linear, address);
    default: return nullptr;
  }
#else
  (void)kind, (void)linear, (void)address, (void)texture;
  return nullptr;
#endif
}

TRasterState::TDirectLoop ChooseWideDirectLoop(TFast kind) {
#if defined(SPAN_WIDE)
  if (!WideSpansInUse()) return nullptr;
  switch (kind) {
    case TFast::Opaque: return WideDirectLoop<TFast::Opaque>;
    case TFast::Blend: return WideDirectLoop<TFast::Blend>;
    case TFast::Add: return WideDirectLoop<TFast::Add>;
    default: return nullptr;
  }
#else
  (void)kind;
  return nullptr;
#endif
}

TSpanJob::TRowsDraw ChooseWideRowSpans(TFast kind, bool linear, TAddr address) {
#if defined(SPAN_WIDE)
  switch (kind) {
    case TFast::Opaque: return RowsForFilter<TFast::Opaque>(linear, address);
    case TFast::Blend: return RowsForFilter<TFast::Blend>(linear, address);
    case TFast::Add: return RowsForFilter<TFast::Add>(linear, address);
    default: return nullptr;
  }
#else
  (void)kind, (void)linear, (void)address;
  return nullptr;
#endif
}

}  // namespace span_pixel
