// The rows loop of span_wide.cpp sixteen pixels at a time with AVX-512, for point and
// bilinear sampling of small clamped 32-bit textures (particles, sparks), on
// processors that have it (chosen at run time; only the functions here are compiled
// for AVX-512). The texture (TSmallTexture) sits in four registers and its texels are
// looked up by permutation, far cheaper than gathers. The arithmetic is the other
// loops' integer formulas, so every pixel equals theirs bit for bit. Calls with rows
// it does not take (long rows, coordinates beyond 32 bits, huge targets) go whole to
// the AVX2 loop. The rows of many quads of a draw call share one queue (TRowBatch), each
// pixel carrying its quad's tint. Pairs small enough for the walk by coverage masks skip
// the queue: their rows are drawn straight from the masks, a vector per row (or per two
// narrow rows) loaded and stored under the mask.
#include <climits>
#include <cstddef>
#include <type_traits>

#include "graphics/device/span_pixel.h"

#if defined(__x86_64__) || defined(__i386__)
// GCC 12's AVX-512 intrinsics start their results from a deliberately undefined
// vector, which its flow analysis reports as (possibly) uninitialised.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>
#define SPAN_WIDE16 1
#endif

namespace {

using namespace span_pixel;

#if defined(SPAN_WIDE16)

#define W16_FN __attribute__((target("avx512f,avx512bw,avx512vl,avx512dq,avx2")))
#define W16_INLINE inline __attribute__((always_inline, target("avx512f,avx512bw,avx512vl,avx512dq,avx2")))

constexpr int64_t HalfTexel = int64_t(1) << (TexelFracBits - 1);
constexpr int32_t LongRow = 64;

// Exact Mul255 of 32 16-bit lanes: with t = a * b + 128 < 65536, (t + (t >> 8)) >> 8
// equals (t * 257) >> 16, one high multiply.
W16_INLINE __m512i Mul255x32(__m512i a, __m512i b) {
  return _mm512_mulhi_epu16(_mm512_add_epi16(_mm512_mullo_epi16(a, b), _mm512_set1_epi16(128)), _mm512_set1_epi16(257));
}

// The four texture coordinate planes of a quad (u and v of its first triangle, then of
// its second) in the 64-bit lanes 0 to 3 (the other lanes repeat lane 0): a TPlane is
// four quadwords (a0, dx, dy, then xref and yref), and a triangle's u and v lie side by
// side, so each triangle's pair is one load.
struct TPlanes4 {
  __m512i a0, dx, dy, xref, yref;
};
static_assert(sizeof(TPlane) == 32 && offsetof(TPlane, xref) == 24 && offsetof(TPlane, yref) == 28 &&
                  offsetof(TAttributePlanes, v) == offsetof(TAttributePlanes, u) + sizeof(TPlane),
              "LoadPlanes4 reads the u and v planes as eight quadwords");

// Quadword k of each of the four planes.
template <int64_t K>
W16_INLINE __m512i PlaneField(__m512i pa, __m512i pb) {
  return _mm512_permutex2var_epi64(pa, _mm512_setr_epi64(K, K + 4, K + 8, K + 12, K, K, K, K), pb);
}

W16_INLINE TPlanes4 LoadPlanes4(const TAttributePlanes& a, const TAttributePlanes& b) {
  const __m512i pa = _mm512_loadu_si512(&a.u), pb = _mm512_loadu_si512(&b.u);
  const __m512i refs = PlaneField<3>(pa, pb);
  return {PlaneField<0>(pa, pb), PlaneField<1>(pa, pb), PlaneField<2>(pa, pb), _mm512_srai_epi64(_mm512_slli_epi64(refs, 32), 32),
          _mm512_srai_epi64(refs, 32)};
}

// Whether the four planes (less half a texel for bilinear) fit 32 bits over the box
// [x0, x1] x [y0, y1] (PlaneFits of each).
W16_INLINE bool PlanesFit(const TPlanes4& p, int64_t less, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
  const __m512i zero = _mm512_setzero_si512();
  const __m512i fromX = _mm512_sub_epi64(_mm512_set1_epi64(x0), p.xref), fromY = _mm512_sub_epi64(_mm512_set1_epi64(y0), p.yref);
  const __m512i corner = _mm512_add_epi64(_mm512_sub_epi64(p.a0, _mm512_set1_epi64(less)),
                                          _mm512_add_epi64(_mm512_mullo_epi64(fromX, p.dx), _mm512_mullo_epi64(fromY, p.dy)));
  const __m512i alongX = _mm512_mullo_epi64(_mm512_set1_epi64(x1 - x0), p.dx);
  const __m512i alongY = _mm512_mullo_epi64(_mm512_set1_epi64(y1 - y0), p.dy);
  const __m512i low = _mm512_add_epi64(corner, _mm512_add_epi64(_mm512_min_epi64(alongX, zero), _mm512_min_epi64(alongY, zero)));
  const __m512i high = _mm512_add_epi64(corner, _mm512_add_epi64(_mm512_max_epi64(alongX, zero), _mm512_max_epi64(alongY, zero)));
  return (_mm512_cmplt_epi64_mask(low, _mm512_set1_epi64(INT32_MIN)) | _mm512_cmpgt_epi64_mask(high, _mm512_set1_epi64(INT32_MAX))) == 0;
}

// The planes as 32-bit lanes 0 to 3 (Plane32 of each).
struct TPlanes32 {
  __m512i base, dx, dy;
};

W16_INLINE TPlanes32 Planes32(const TPlanes4& p, int64_t less) {
  // The low halves of 64-bit products are those of 32-bit ones.
  const __m512i base = _mm512_sub_epi64(_mm512_sub_epi64(p.a0, _mm512_set1_epi64(less)),
                                        _mm512_add_epi64(_mm512_mullo_epi64(p.xref, p.dx), _mm512_mullo_epi64(p.yref, p.dy)));
  return {_mm512_zextsi256_si512(_mm512_cvtepi64_epi32(base)), _mm512_zextsi256_si512(_mm512_cvtepi64_epi32(p.dx)),
          _mm512_zextsi256_si512(_mm512_cvtepi64_epi32(p.dy))};
}

// The constants of a draw call: the texture and the blend.
struct TConstants16 {
  __m512i texels[4];  // texel y * width + x in lane (y * width + x) % 16 of texels[(...) / 16]
  __m512i width, lastU, lastV;
  bool alphaConst;
  __m512i constAlpha;  // in the alpha lanes
};

// Texels of sixteen pixels as two vectors of 16-bit channels, each 128-bit lane k of
// lo holding pixels 4k and 4k + 1 and of hi 4k + 2 and 4k + 3: the order in which a
// vector of target pixels unpacks, and packs back.
struct TTexels32 {
  __m512i lo, hi;
};

// (256 - f) in the low and f in the high 16 bits of each lane, f the 8 bits below a
// coordinate's texel index: f in both halves, the low one turned into
// 65535 - f + 257 = 256 - f (mod 65536).
W16_INLINE __m512i Weights(__m512i coordinate) {
  const __m512i both = _mm512_set4_epi32(0x800D800D, 0x80098009, 0x80058005, 0x80018001);
  __m512i f = _mm512_shuffle_epi8(coordinate, both);
  return _mm512_add_epi16(_mm512_xor_si512(f, _mm512_set1_epi32(0xFFFF)), _mm512_set1_epi32(257));
}

// The filtered channels (32-bit) of the pixels 4k + j in 128-bit lanes k, from the
// pairs of their top and bottom neighbours in 16 bits: the horizontal sums
// c0 * (256 - fu) + c1 * fu, then (top * (256 - fv) + bottom * fv + 32768) >> 16 as
// pairs (top - 32768, bottom - 32768) times (256 - fv, fv) with 32768 * 256 added back.
template <_MM_PERM_ENUM Spread>
W16_INLINE __m512i Filter(__m512i top16, __m512i bottom16, __m512i wu, __m512i wv) {
  const __m512i fu = _mm512_shuffle_epi32(wu, Spread), fv = _mm512_shuffle_epi32(wv, Spread);
  __m512i top = _mm512_madd_epi16(top16, fu), bottom = _mm512_madd_epi16(bottom16, fu);
  __m512i pairs = _mm512_ternarylogic_epi32(top, _mm512_slli_epi32(bottom, 16), _mm512_set1_epi32(int32_t(0x80008000u)), 0x96);
  __m512i sum = _mm512_add_epi32(_mm512_madd_epi16(pairs, fv), _mm512_set1_epi32(32768 * 256 + 32768));
  return _mm512_srli_epi32(sum, 16);
}

// The texels at indices idx (y * width + x) of the texture held in four registers.
W16_INLINE __m512i Lookup(const TConstants16& c, __m512i idx) {
  __m512i low = _mm512_permutex2var_epi32(c.texels[0], idx, c.texels[1]);
  __m512i high = _mm512_permutex2var_epi32(c.texels[2], idx, c.texels[3]);
  return _mm512_mask_blend_epi32(_mm512_test_epi32_mask(idx, _mm512_set1_epi32(32)), low, high);
}

W16_INLINE TTexels32 Sample16(const TConstants16& c, __m512i u, __m512i v) {
  const __m512i zero = _mm512_setzero_si512();
  __m512i iu = _mm512_srai_epi32(u, TexelFracBits), iv = _mm512_srai_epi32(v, TexelFracBits);
  // The second neighbour is the next texel only while the first is neither clamped
  // nor the last.
  __m512i x0 = _mm512_min_epi32(_mm512_max_epi32(iu, zero), c.lastU);
  __m512i x1 = _mm512_mask_add_epi32(x0, _mm512_cmplt_epu32_mask(iu, c.lastU), x0, _mm512_set1_epi32(1));
  __m512i row0 = _mm512_mullo_epi32(_mm512_min_epi32(_mm512_max_epi32(iv, zero), c.lastV), c.width);
  __m512i row1 = _mm512_mask_add_epi32(row0, _mm512_cmplt_epu32_mask(iv, c.lastV), row0, c.width);
  __m512i c00 = Lookup(c, _mm512_add_epi32(row0, x0)), c10 = Lookup(c, _mm512_add_epi32(row0, x1));
  __m512i c01 = Lookup(c, _mm512_add_epi32(row1, x0)), c11 = Lookup(c, _mm512_add_epi32(row1, x1));
  // Byte pairs of the horizontal neighbours: per 128-bit lane k, pixels 4k and 4k + 1
  // in the low and 4k + 2 and 4k + 3 in the high unpacking.
  __m512i topA = _mm512_unpacklo_epi8(c00, c10), topB = _mm512_unpackhi_epi8(c00, c10);
  __m512i botA = _mm512_unpacklo_epi8(c01, c11), botB = _mm512_unpackhi_epi8(c01, c11);
  const __m512i wu = Weights(u), wv = Weights(v);
  __m512i p0 = Filter<_MM_PERM_AAAA>(_mm512_unpacklo_epi8(topA, zero), _mm512_unpacklo_epi8(botA, zero), wu, wv);
  __m512i p1 = Filter<_MM_PERM_BBBB>(_mm512_unpackhi_epi8(topA, zero), _mm512_unpackhi_epi8(botA, zero), wu, wv);
  __m512i p2 = Filter<_MM_PERM_CCCC>(_mm512_unpacklo_epi8(topB, zero), _mm512_unpacklo_epi8(botB, zero), wu, wv);
  __m512i p3 = Filter<_MM_PERM_DDDD>(_mm512_unpackhi_epi8(topB, zero), _mm512_unpackhi_epi8(botB, zero), wu, wv);
  return {_mm512_packs_epi32(p0, p1), _mm512_packs_epi32(p2, p3)};
}

// The texels of sixteen pixels point-sampled at (u, v), as Sample16 orders them.
W16_INLINE TTexels32 Point16(const TConstants16& c, __m512i u, __m512i v) {
  const __m512i zero = _mm512_setzero_si512();
  __m512i x = _mm512_min_epi32(_mm512_max_epi32(_mm512_srai_epi32(u, TexelFracBits), zero), c.lastU);
  __m512i y = _mm512_min_epi32(_mm512_max_epi32(_mm512_srai_epi32(v, TexelFracBits), zero), c.lastV);
  __m512i texels = Lookup(c, _mm512_add_epi32(_mm512_mullo_epi32(y, c.width), x));
  return {_mm512_unpacklo_epi8(texels, zero), _mm512_unpackhi_epi8(texels, zero)};
}

template <TFast Kind>
W16_INLINE __m512i Blend16(const TConstants16& c, __m512i texel, __m512i tint, __m512i dst) {
  __m512i s = Mul255x32(texel, tint);
  if (c.alphaConst) s = _mm512_mask_blend_epi16(__mmask32(0x88888888u), s, c.constAlpha);
  if (Kind == TFast::Opaque) return s;
  const __m512i alpha = _mm512_set4_epi32(0x0F0E0F0E, 0x0F0E0F0E, 0x07060706, 0x07060706);
  __m512i a = _mm512_shuffle_epi8(s, alpha);
  __m512i term = Mul255x32(s, a);
  if (Kind == TFast::Blend) return _mm512_add_epi16(term, Mul255x32(dst, _mm512_sub_epi16(_mm512_set1_epi16(255), a)));
  return _mm512_add_epi16(term, dst);  // additive: packing saturates at 255
}

// The constants of a state's draw call (TConstants16).
W16_INLINE TConstants16 Constants16(const TRasterState& s) {
  const TSmallTexture& t = *s.small;
  TConstants16 c;
  for (int k = 0; k < 4; ++k) c.texels[k] = _mm512_loadu_si512(t.texels + 16 * k);
  c.width = _mm512_set1_epi32(t.width);
  c.lastU = _mm512_set1_epi32(t.width - 1);
  c.lastV = _mm512_set1_epi32(t.height - 1);
  c.alphaConst = s.fastAlphaConst;
  c.constAlpha = _mm512_set1_epi16(int16_t(s.fastAlpha));
  return c;
}

// Samples, blends and writes the queued pixels of a batch, and empties it (the
// TRowBatch::drain of this loop). The lanes past the last pixel repeat it, as in
// span_wide.cpp.
template <TFast Kind, bool Linear>
W16_FN void Drain16(TRowBatch& q) {
  const int32_t count = q.count;
  if (count == 0) return;
  const TRasterState& s = *q.state;
  const TConstants16 c = Constants16(s);
  int* target = reinterpret_cast<int*>(s.target.pixels);
  const int32_t last = count - 1;
  _mm512_storeu_si512(q.u + count, _mm512_set1_epi32(q.u[last]));
  _mm512_storeu_si512(q.v + count, _mm512_set1_epi32(q.v[last]));
  _mm512_storeu_si512(q.offset + count, _mm512_set1_epi32(q.offset[last]));
  _mm512_storeu_si512(q.tint + count, _mm512_set1_epi32(int32_t(q.tint[last])));
  const __m512i zero = _mm512_setzero_si512();
  for (int32_t i = 0; i < count; i += 16) {
    const __m512i u = _mm512_load_si512(q.u + i), v = _mm512_load_si512(q.v + i);
    const __m512i tint = _mm512_load_si512(q.tint + i);
    TTexels32 texels = Linear ? Sample16(c, u, v) : Point16(c, u, v);
    __m512i d = zero;
    if (Kind != TFast::Opaque) {
      const int32_t* o = q.offset + i;
      d = _mm512_setr_epi32(target[o[0]], target[o[1]], target[o[2]], target[o[3]], target[o[4]], target[o[5]], target[o[6]],
                            target[o[7]], target[o[8]], target[o[9]], target[o[10]], target[o[11]], target[o[12]],
                            target[o[13]], target[o[14]], target[o[15]]);
    }
    __m512i lo = Blend16<Kind>(c, texels.lo, _mm512_unpacklo_epi8(tint, zero), _mm512_unpacklo_epi8(d, zero));
    __m512i hi = Blend16<Kind>(c, texels.hi, _mm512_unpackhi_epi8(tint, zero), _mm512_unpackhi_epi8(d, zero));
    alignas(64) int32_t out[16];
    _mm512_store_si512(out, _mm512_packus_epi16(lo, hi));
    const int32_t* o = q.offset + i;
    target[o[0]] = out[0]; target[o[1]] = out[1]; target[o[2]] = out[2]; target[o[3]] = out[3];
    target[o[4]] = out[4]; target[o[5]] = out[5]; target[o[6]] = out[6]; target[o[7]] = out[7];
    target[o[8]] = out[8]; target[o[9]] = out[9]; target[o[10]] = out[10]; target[o[11]] = out[11];
    target[o[12]] = out[12]; target[o[13]] = out[13]; target[o[14]] = out[14]; target[o[15]] = out[15];
  }
  q.count = 0;
}

// The rows of two triangles sharing the constant tint, as WideRowSpans draws them:
// queued and drawn sixteen pixels at a time across rows, and across the calls of a
// batch. The queue is drawn before a row that overlaps the one before it, and before a
// quad that may overlap the pixels of the last partly filled vector: within a vector
// the target is read before it is written, so a later pixel there would not see an
// earlier one's result.
template <TFast Kind, bool Linear>
W16_FN void SmallTextureRows(const TSpanJob& a, const TSpanJob& b, const TRowSpan* rows, int32_t count, TRowBatch* batch) {
  if (count <= 0) return;
  const TRasterState& s = *a.state;
  const int32_t pitch = s.target.pitch / 4;
  int32_t x0, x1, y0, y1;
  const int32_t longest = RowsBox(rows, count, x0, x1, y0, y1);
  const int64_t less = Linear ? HalfTexel : 0;
  const TPlanes4 planes = LoadPlanes4(*a.planes, *b.planes);
  if (longest > LongRow || int64_t(pitch) * s.target.height >= (int64_t(1) << 31) ||
      !PlanesFit(planes, less, x0, x1, y0, y1)) {
    if (batch) batch->Flush();
    ChooseWideRowSpans(Kind, Linear, TAddr::Clamp)(a, b, rows, count, nullptr);
    return;
  }
  if (!batch) {
    DrawRowsAlone(a, b, rows, count, SmallTextureRows<Kind, Linear>);
    return;
  }
  TRowBatch& q = *batch;
  TakeBatch(q, s, Drain16<Kind, Linear>);
  SeparateFromOpenVector(q, 16, x0, x1, y0, y1);
  const int32_t before = q.count;
  // The four planes (u and v of each triangle) side by side: a row's starts in one go.
  const TPlanes32 p32 = Planes32(planes, less);
  const __m512i base = p32.base, dx = p32.dx, dy = p32.dy;
  const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m512i tint = _mm512_set1_epi32(int32_t(a.tint));
  __m512i laneSteps[4];
  for (int k = 0; k < 4; ++k) laneSteps[k] = _mm512_mullo_epi32(lane, _mm512_permutexvar_epi32(_mm512_set1_epi32(k), dx));
  for (int32_t k = 0; k < count; ++k) {
    const TRowSpan& r = rows[k];
    const int32_t n = r.x1 - r.x0;
    if ((k > 0 && rows[k - 1].y == r.y && rows[k - 1].x0 < r.x1 && r.x0 < rows[k - 1].x1) ||
        q.count + n > TRowBatch::Capacity)
      q.Flush();
    // The lanes before xm take the planes of the row's first triangle, the others those
    // of its second: chosen by index, as which comes first changes from row to row.
    const int first = r.secondFirst ? 2 : 0, second = 2 - first;
    const __m512i rowBase = _mm512_add_epi32(base, _mm512_mullo_epi32(dy, _mm512_set1_epi32(r.y)));
    const __m512i secondFrom = _mm512_set1_epi32(r.xm);
    const int32_t offset = r.y * pitch;
    const int32_t queued = q.count;
    // The row's target pixels are wanted when the queue is drawn, quads later: fetched
    // now, so that the misses overlap with the queueing of the quads in between.
    const char* row = reinterpret_cast<const char*>(s.target.pixels) + int64_t(offset) * 4;
    _mm_prefetch(row + int64_t(r.x0) * 4, _MM_HINT_T0);
    _mm_prefetch(row + int64_t(r.x1 - 1) * 4, _MM_HINT_T0);
    for (int32_t i = 0; i < n; i += 16) {
      const int32_t x = r.x0 + i;
      const __m512i at = _mm512_set1_epi32(x);
      const __mmask16 inSecond = _mm512_cmpge_epi32_mask(_mm512_add_epi32(lane, at), secondFrom);
      const __m512i start = _mm512_add_epi32(rowBase, _mm512_mullo_epi32(dx, at));
      for (int axis = 0; axis < 2; ++axis) {
        const __m512i which = _mm512_mask_blend_epi32(inSecond, _mm512_set1_epi32(first + axis), _mm512_set1_epi32(second + axis));
        const __m512i steps = _mm512_mask_blend_epi32(inSecond, laneSteps[first + axis], laneSteps[second + axis]);
        _mm512_storeu_si512((axis == 0 ? q.u : q.v) + queued + i,
                            _mm512_add_epi32(_mm512_permutexvar_epi32(which, start), steps));
      }
      _mm512_storeu_si512(q.offset + queued + i, _mm512_add_epi32(lane, _mm512_set1_epi32(offset + x)));
      _mm512_storeu_si512(q.tint + queued + i, tint);
    }
    q.count = queued + n;
  }
  GrowOpenVector(q, 16, before, x0, x1, y0, y1);
}

// One vector of a row from its first pixel on: the pixels of mask, those of fromA with
// a's coordinates (at[0] and at[1]), the others with b's (at[2] and at[3]).
template <TFast Kind, bool Linear>
W16_INLINE void MaskedRow16(const TConstants16& c, const __m512i at[4], __m512i tint16, char* row, __mmask16 mask,
                            __mmask16 fromA) {
  const __m512i zero = _mm512_setzero_si512();
  const __m512i u = _mm512_mask_blend_epi32(fromA, at[2], at[0]), v = _mm512_mask_blend_epi32(fromA, at[3], at[1]);
  const TTexels32 texels = Linear ? Sample16(c, u, v) : Point16(c, u, v);
  const __m512i d = Kind == TFast::Opaque ? zero : _mm512_maskz_loadu_epi32(mask, row);
  const __m512i lo = Blend16<Kind>(c, texels.lo, tint16, _mm512_unpacklo_epi8(d, zero));
  const __m512i hi = Blend16<Kind>(c, texels.hi, tint16, _mm512_unpackhi_epi8(d, zero));
  _mm512_mask_storeu_epi32(row, mask, _mm512_packus_epi16(lo, hi));
}

// The lanes of mask in first, then those of nextMask in second, packed from lane 0 on
// (above: the lanes the second's take).
W16_INLINE __m512i PackRows(__mmask16 mask, __mmask16 nextMask, __mmask16 above, __m512i first, __m512i second) {
  return _mm512_mask_expand_epi32(_mm512_maskz_compress_epi32(mask, first), above, _mm512_maskz_compress_epi32(nextMask, second));
}

// Two rows of at most sixteen pixels together in one vector, as MaskedRow16 draws each:
// the first row's pixels packed into the low lanes, the second's above them, and
// unpacked again to be stored.
template <TFast Kind, bool Linear>
W16_INLINE void MaskedRows16(const TConstants16& c, const __m512i at[4], const __m512i next[4], __m512i tint16, char* row,
                             int64_t pitch, __mmask16 mask, __mmask16 fromA, __mmask16 nextMask, __mmask16 nextFromA) {
  const __m512i zero = _mm512_setzero_si512();
  const int n = __builtin_popcount(mask);
  const __mmask16 above = __mmask16(((1u << (n + __builtin_popcount(nextMask))) - 1) & ~((1u << n) - 1));
  const __m512i u = PackRows(mask, nextMask, above, _mm512_mask_blend_epi32(fromA, at[2], at[0]),
                             _mm512_mask_blend_epi32(nextFromA, next[2], next[0]));
  const __m512i v = PackRows(mask, nextMask, above, _mm512_mask_blend_epi32(fromA, at[3], at[1]),
                             _mm512_mask_blend_epi32(nextFromA, next[3], next[1]));
  const TTexels32 texels = Linear ? Sample16(c, u, v) : Point16(c, u, v);
  const __m512i d = Kind == TFast::Opaque ? zero
                                          : PackRows(mask, nextMask, above, _mm512_maskz_loadu_epi32(mask, row),
                                                     _mm512_maskz_loadu_epi32(nextMask, row + pitch));
  const __m512i lo = Blend16<Kind>(c, texels.lo, tint16, _mm512_unpacklo_epi8(d, zero));
  const __m512i hi = Blend16<Kind>(c, texels.hi, tint16, _mm512_unpackhi_epi8(d, zero));
  const __m512i out = _mm512_packus_epi16(lo, hi);
  const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m512i second = _mm512_permutexvar_epi32(_mm512_add_epi32(lane, _mm512_set1_epi32(n)), out);
  _mm512_mask_storeu_epi32(row, mask, _mm512_maskz_expand_epi32(mask, out));
  _mm512_mask_storeu_epi32(row + pitch, nextMask, _mm512_maskz_expand_epi32(nextMask, second));
}

// A small pair of triangles (TPairMasks) drawn row by row, each row one vector of
// sixteen target pixels loaded, blended and stored under its mask: no spans, no queue.
// A lane takes the planes of the triangle that covers it; where both cover pixels of a
// row (a pair folded over its shared edge), a's pixels are drawn before b's, as the
// walk by spans draws them. Both triangles must share a constant tint and their
// coordinates fit 32 bits over the pixels they cover, else the pair is left to the
// rows loop.
template <TFast Kind, bool Linear>
W16_FN bool MaskedPair16(const TRasterState& s, const TAttributePlanes& a, const TAttributePlanes& b, const TPairMasks& m,
                         TRowBatch* batch) {
  if (a.perspective || b.perspective || a.linearFilter != b.linearFilter) return false;
  for (int k = 0; k < 4; ++k)
    if (a.color[k].dx || a.color[k].dy || b.color[k].dx || b.color[k].dy) return false;
  const uint32_t tint = FlatColor(a);
  if (FlatColor(b) != tint) return false;
  // The coordinates must fit over the masks' whole box (rows without pixels cost little).
  const int32_t first = 0, last = m.rows - 1, x0 = m.x0, x1 = m.x0 + 15;
  const int64_t less = Linear ? HalfTexel : 0;
  const TPlanes4 planes = LoadPlanes4(a, b);
  if (m.rows < 1 || !PlanesFit(planes, less, x0, x1, m.top + first, m.top + last)) return false;
  if (batch) batch->Flush();  // queued pixels of earlier quads come first
  const int64_t pitch = s.target.pitch;
  char* row = reinterpret_cast<char*>(s.target.pixels) + int64_t(m.top + first) * pitch + int64_t(m.x0) * 4;
  // The target's rows are fetched all at once, so that their misses overlap.
  for (int32_t k = 0; k <= last - first; ++k) {
    _mm_prefetch(row + k * pitch + (x0 - m.x0) * 4, _MM_HINT_T0);
    _mm_prefetch(row + k * pitch + (x1 - m.x0) * 4, _MM_HINT_T0);
  }
  const TConstants16 c = Constants16(s);
  const TPlanes32 p32 = Planes32(planes, less);
  // Each plane at the row's sixteen lanes, from the first covered row on, stepped by
  // its dy from row to row.
  const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m512i xs = _mm512_add_epi32(lane, _mm512_set1_epi32(m.x0));
  const __m512i y = _mm512_set1_epi32(m.top + first);
  __m512i at[4], dy[4];
  for (int k = 0; k < 4; ++k) {
    const __m512i pick = _mm512_set1_epi32(k);
    const __m512i base = _mm512_permutexvar_epi32(pick, p32.base), dx = _mm512_permutexvar_epi32(pick, p32.dx);
    dy[k] = _mm512_permutexvar_epi32(pick, p32.dy);
    at[k] = _mm512_add_epi32(base, _mm512_add_epi32(_mm512_mullo_epi32(xs, dx), _mm512_mullo_epi32(y, dy[k])));
  }
  const __m512i zero = _mm512_setzero_si512();
  const __m512i tint16 = _mm512_unpacklo_epi8(_mm512_set1_epi32(int32_t(tint)), zero);
  for (int32_t k = first; k <= last; ++k) {
    const __mmask16 inA = m.inA[k], inB = m.inB[k];
    if (inA & inB) {
      MaskedRow16<Kind, Linear>(c, at, tint16, row, inA, inA);
      MaskedRow16<Kind, Linear>(c, at, tint16, row, inB, 0);
    } else if (k < last && !(m.inA[k + 1] & m.inB[k + 1]) &&
               __builtin_popcount(uint32_t(inA | inB) | uint32_t(m.inA[k + 1] | m.inB[k + 1]) << 16) <= 16) {
      // This row and the next in one vector.
      __m512i next[4];
      for (int j = 0; j < 4; ++j) next[j] = _mm512_add_epi32(at[j], dy[j]);
      MaskedRows16<Kind, Linear>(c, at, next, tint16, row, pitch, inA | inB, inA, m.inA[k + 1] | m.inB[k + 1], m.inA[k + 1]);
      for (int j = 0; j < 4; ++j) at[j] = next[j];
      row += pitch;
      ++k;
    } else if (inA | inB) {
      MaskedRow16<Kind, Linear>(c, at, tint16, row, inA | inB, inA);
    }
    for (int j = 0; j < 4; ++j) at[j] = _mm512_add_epi32(at[j], dy[j]);
    row += pitch;
  }
  return true;
}

// The fit test and 32-bit planes of a quad as the loop computes them, for
// WidestQuadPlanes.
W16_FN bool QuadPlanes16(const TAttributePlanes& a, const TAttributePlanes& b, int64_t less, const int32_t box[4],
                         TPlane32 out[4]) {
  const TPlanes4 p = LoadPlanes4(a, b);
  const TPlanes32 p32 = Planes32(p, less);
  alignas(64) uint32_t base[16], dx[16], dy[16];
  _mm512_store_si512(base, p32.base), _mm512_store_si512(dx, p32.dx), _mm512_store_si512(dy, p32.dy);
  for (int k = 0; k < 4; ++k) out[k] = {base[k], dx[k], dy[k]};
  return PlanesFit(p, less, box[0], box[1], box[2], box[3]);
}

// A loop template's instance for a fast kind and filter (null for other kinds), chosen
// by pick from the kind and the filter as types.
template <class TPick>
auto InstanceFor(TFast kind, bool linear, TPick pick) {
  using TOpaque = std::integral_constant<TFast, TFast::Opaque>;
  using TBlend = std::integral_constant<TFast, TFast::Blend>;
  using TAdd = std::integral_constant<TFast, TFast::Add>;
  using TLinear = std::true_type;
  using TPoint = std::false_type;
  switch (kind) {
    case TFast::Opaque: return linear ? pick(TOpaque{}, TLinear{}) : pick(TOpaque{}, TPoint{});
    case TFast::Blend: return linear ? pick(TBlend{}, TLinear{}) : pick(TBlend{}, TPoint{});
    case TFast::Add: return linear ? pick(TAdd{}, TLinear{}) : pick(TAdd{}, TPoint{});
    default: return decltype(pick(TOpaque{}, TLinear{})){nullptr};
  }
}

#endif  // SPAN_WIDE16

}  // namespace

namespace span_pixel {

TRasterState::TMaskedPairLoop ChooseMaskedPairs(TFast kind, bool linear) {
#if defined(SPAN_WIDE16)
  if (SpanWidthInUse() != TSpanWidth::Avx512) return nullptr;
  return InstanceFor(kind, linear, [](auto k, auto l) { return &MaskedPair16<decltype(k)::value, decltype(l)::value>; });
#else
  (void)kind, (void)linear;
  return nullptr;
#endif
}

TSpanJob::TRowsDraw ChooseWidestRowSpans(TFast kind, bool linear) {
#if defined(SPAN_WIDE16)
  if (SpanWidthInUse() != TSpanWidth::Avx512) return nullptr;
  return InstanceFor(kind, linear, [](auto k, auto l) { return &SmallTextureRows<decltype(k)::value, decltype(l)::value>; });
#else
  (void)kind, (void)linear;
  return nullptr;
#endif
}

bool WidestQuadPlanes(const TAttributePlanes& a, const TAttributePlanes& b, int64_t less, const int32_t box[4],
                      bool& fits, TPlane32 planes[4]) {
#if defined(SPAN_WIDE16)
  if (SpanWidthInUse() != TSpanWidth::Avx512) return false;
  fits = QuadPlanes16(a, b, less, box, planes);
  return true;
#else
  (void)a, (void)b, (void)less, (void)box, (void)fits, (void)planes;
  return false;
#endif
}

}  // namespace span_pixel

std::shared_ptr<const TSmallTexture> CopySmallTexture(const TRasterTexture& t) {
  const bool texture32 = t.layout == TPixelLayout::Argb8888 || t.layout == TPixelLayout::Xrgb8888;
  if (!t.pixels || !texture32 || t.width < 1 || t.height < 1 ||
      int64_t(t.width) * t.height > SmallTexels)
    return nullptr;
  auto copy = std::make_shared<TSmallTexture>();
  copy->width = t.width;
  copy->height = t.height;
  const uint32_t alpha = t.layout == TPixelLayout::Xrgb8888 ? 0xFF000000u : 0u;
  for (int32_t y = 0; y < t.height; ++y)
    for (int32_t x = 0; x < t.width; ++x) copy->texels[y * t.width + x] = WideTexel(t, x, y) | alpha;
  return copy;
}
