// The fused span loops of textured spans that are not copied texel for texel (scaled,
// rotated or sub-pixel quads such as particles): each pixel is sampled (point or
// bilinear, with the state's addressing) and blended in one pass, two pixels at a time,
// on 32-bit textures and targets with a colour constant along the span. The texture
// coordinates are fixed point and stepped exactly, so the texels and colours equal the
// general loop's bit for bit.
#include "graphics/device/span_pixel.h"

namespace {

using namespace span_pixel;

constexpr int64_t HalfTexel = int64_t(1) << (TexelFracBits - 1);

// The texture as the loops read it: copied out of the state, so that the compiler can
// keep it in registers across the stores to the target.
struct TTexView {
  const uint8_t* pixels;
  int64_t pitch;
  int32_t width, height;
  uint32_t modeU, modeV;
};

SPAN_INLINE TTexView ViewOf(const TRasterState& s) {
  return {s.texture.pixels, s.texture.pitch, s.texture.width, s.texture.height, s.addressU, s.addressV};
}

// Where the four texels of a bilinear sample are and how they are weighed: weights
// packed as (256 - f) in the low and f in the high 16 bits.
struct TBilinearRef {
  const uint8_t *row0, *row1;
  int32_t x0, x1;
  uint32_t wu, wv;
};

// u and v already less half a texel.
template <TAddr A>
SPAN_INLINE void LinearRef(const TTexView& t, int64_t u, int64_t v, TBilinearRef& r) {
  int64_t iu = u >> TexelFracBits, iv = v >> TexelFracBits;
  uint32_t fu = uint32_t(u >> (TexelFracBits - 8)) & 0xFF, fv = uint32_t(v >> (TexelFracBits - 8)) & 0xFF;
  if constexpr (A == TAddr::Clamp) {
    // The second texel is the next one only while the first is not clamped and not
    // the last: one compare instead of a second clamp.
    r.x0 = AddressAs<A>(iu, t.width, t.modeU);
    r.x1 = r.x0 + (uint64_t(iu) < uint64_t(t.width - 1) ? 1 : 0);
    r.row0 = t.pixels + AddressAs<A>(iv, t.height, t.modeV) * t.pitch;
    r.row1 = r.row0 + (uint64_t(iv) < uint64_t(t.height - 1) ? t.pitch : 0);
  } else {
    r.x0 = AddressAs<A>(iu, t.width, t.modeU);
    r.x1 = AddressAs<A>(iu + 1, t.width, t.modeU);
    r.row0 = t.pixels + AddressAs<A>(iv, t.height, t.modeV) * t.pitch;
    r.row1 = t.pixels + AddressAs<A>(iv + 1, t.height, t.modeV) * t.pitch;
  }
  r.wu = fu * 0xFFFF + 256;  // fu << 16 | (256 - fu)
  r.wv = fv * 0xFFFF + 256;
}

SPAN_INLINE uint32_t Texel(const uint8_t* row, int32_t x) {
  uint32_t v;
  std::memcpy(&v, row + int64_t(x) * 4, 4);
  return v;
}

template <TAddr A>
SPAN_INLINE uint32_t PointTexel(const TTexView& t, int64_t u, int64_t v) {
  return Texel(t.pixels + AddressAs<A>(v >> TexelFracBits, t.height, t.modeV) * t.pitch,
               AddressAs<A>(u >> TexelFracBits, t.width, t.modeU));
}

// The colour and first texture coordinates of a span (less half a texel for bilinear).
template <bool Linear>
SPAN_INLINE void SpanStart(const TSpanJob& job, int32_t y, int32_t x0, uint32_t& tint, int64_t& u, int64_t& v) {
  const TAttributePlanes& p = *job.planes;
  tint = job.tintConstant ? job.tint : PlaneColor(p, x0, y);
  u = p.u.At(x0, y) - (Linear ? HalfTexel : 0);
  v = p.v.At(x0, y) - (Linear ? HalfTexel : 0);
}

#if defined(__SSE2__)
SPAN_INLINE __m128i Load32(const uint8_t* row, int32_t x) { return _mm_cvtsi32_si128(int32_t(Texel(row, x))); }

// Two bilinear texels as eight 16-bit lanes (a low, b high). Per channel
// top = c00 * (256 - fu) + c10 * fu (at most 65280) and the texel is
// (top * (256 - fv) + bottom * fv + 32768) >> 16; the second step multiplies
// top - 32768, which fits 16 signed bits, and adds 32768 * 256 back.
SPAN_INLINE __m128i BilinearPair(const TBilinearRef& a, const TBilinearRef& b) {
  const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi32(32768);
  __m128i q00 = _mm_unpacklo_epi32(Load32(a.row0, a.x0), Load32(b.row0, b.x0));
  __m128i q10 = _mm_unpacklo_epi32(Load32(a.row0, a.x1), Load32(b.row0, b.x1));
  __m128i q01 = _mm_unpacklo_epi32(Load32(a.row1, a.x0), Load32(b.row1, b.x0));
  __m128i q11 = _mm_unpacklo_epi32(Load32(a.row1, a.x1), Load32(b.row1, b.x1));
  __m128i r0 = _mm_unpacklo_epi8(q00, q10), r1 = _mm_unpacklo_epi8(q01, q11);
  __m128i wua = _mm_set1_epi32(int32_t(a.wu)), wub = _mm_set1_epi32(int32_t(b.wu));
  __m128i topA = _mm_sub_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(r0, zero), wua), half);
  __m128i topB = _mm_sub_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(r0, zero), wub), half);
  __m128i botA = _mm_sub_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(r1, zero), wua), half);
  __m128i botB = _mm_sub_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(r1, zero), wub), half);
  __m128i top = _mm_packs_epi32(topA, topB), bottom = _mm_packs_epi32(botA, botB);
  const __m128i round = _mm_set1_epi32(32768 * 256 + 32768);
  __m128i outA = _mm_madd_epi16(_mm_unpacklo_epi16(top, bottom), _mm_set1_epi32(int32_t(a.wv)));
  __m128i outB = _mm_madd_epi16(_mm_unpackhi_epi16(top, bottom), _mm_set1_epi32(int32_t(b.wv)));
  outA = _mm_srli_epi32(_mm_add_epi32(outA, round), 16);
  outB = _mm_srli_epi32(_mm_add_epi32(outB, round), 16);
  return _mm_packs_epi32(outA, outB);
}

template <bool Linear, TAddr A>
SPAN_INLINE __m128i TexelPair(const TTexView& t, int64_t u, int64_t v, int64_t du, int64_t dv) {
  if constexpr (Linear) {
    TBilinearRef a, b;
    LinearRef<A>(t, u, v, a);
    if (du == 0 && dv == 0) return BilinearPair(a, a);
    LinearRef<A>(t, u + du, v + dv, b);
    return BilinearPair(a, b);
  } else {
    __m128i q = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int32_t(PointTexel<A>(t, u, v))),
                                   _mm_cvtsi32_si128(int32_t(PointTexel<A>(t, u + du, v + dv))));
    return _mm_unpacklo_epi8(q, _mm_setzero_si128());
  }
}

template <TFast Kind, bool Linear, TAddr A>
void SampledSpan(const TSpanJob& job, int32_t y, int32_t x0, int32_t x1) {
  const TRasterState& s = *job.state;
  uint32_t tint;
  int64_t u, v;
  SpanStart<Linear>(job, y, x0, tint, u, v);
  const int64_t du = job.planes->u.dx, dv = job.planes->v.dx;
  uint32_t* dst = reinterpret_cast<uint32_t*>(s.target.pixels + int64_t(y) * s.target.pitch) + x0;
  const int32_t n = x1 - x0;
  const __m128i zero = _mm_setzero_si128();
  const __m128i tint16 = _mm_unpacklo_epi8(_mm_set1_epi32(int32_t(tint)), zero);
  const __m128i alphaMask = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  const __m128i const16 = _mm_and_si128(alphaMask, _mm_set1_epi16(int16_t(s.fastAlpha)));
  // XRGB textures read as opaque: the alpha lanes forced to 255 (bilinear keeps 255).
  const __m128i texOr = s.samplerOr ? _mm_and_si128(alphaMask, _mm_set1_epi16(255)) : zero;
  const bool alphaConst = s.fastAlphaConst;
  const TTexView t = ViewOf(s);
  int32_t i = 0;
  for (; i + 2 <= n; i += 2, u += 2 * du, v += 2 * dv) {
    __m128i texels = _mm_or_si128(TexelPair<Linear, A>(t, u, v, du, dv), texOr);
    __m128i d = Kind == TFast::Opaque ? zero : _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst + i)), zero);
    __m128i out = FastPair<Kind>(texels, tint16, alphaMask, const16, alphaConst, d);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(out, out));
  }
  if (i < n) {
    // The last pixel alone (sampled twice, the copy unused).
    __m128i texels = _mm_or_si128(TexelPair<Linear, A>(t, u, v, 0, 0), texOr);
    __m128i d = Kind == TFast::Opaque ? zero : _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(dst[i])), zero);
    __m128i out = FastPair<Kind>(texels, tint16, alphaMask, const16, alphaConst, d);
    dst[i] = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(out, out)));
  }
}
#else
template <bool Linear, TAddr A>
inline uint32_t OneTexel(const TTexView& t, int64_t u, int64_t v) {
  if constexpr (!Linear) return PointTexel<A>(t, u, v);
  TBilinearRef r;
  LinearRef<A>(t, u, v, r);
  return BilinearTexel(Texel(r.row0, r.x0), Texel(r.row0, r.x1), Texel(r.row1, r.x0), Texel(r.row1, r.x1), r.wu >> 16,
                       r.wv >> 16);
}

template <TFast Kind, bool Linear, TAddr A>
void SampledSpan(const TSpanJob& job, int32_t y, int32_t x0, int32_t x1) {
  const TRasterState& s = *job.state;
  uint32_t tint;
  int64_t u, v;
  SpanStart<Linear>(job, y, x0, tint, u, v);
  uint32_t* dst = reinterpret_cast<uint32_t*>(s.target.pixels + int64_t(y) * s.target.pitch);
  const TTexView t = ViewOf(s);
  for (int32_t x = x0; x < x1; ++x, u += job.planes->u.dx, v += job.planes->v.dx)
    dst[x] = FastPixel<Kind>(OneTexel<Linear, A>(t, u, v) | s.samplerOr, tint, s.fastAlphaConst, s.fastAlpha, dst[x]);
}
#endif

template <TFast Kind, bool Linear>
TSpanJob::TDraw ForAddress(TAddr a) {
  switch (a) {
    case TAddr::Clamp: return SampledSpan<Kind, Linear, TAddr::Clamp>;
    case TAddr::WrapPow2: return SampledSpan<Kind, Linear, TAddr::WrapPow2>;
    case TAddr::MirrorPow2: return SampledSpan<Kind, Linear, TAddr::MirrorPow2>;
    default: return SampledSpan<Kind, Linear, TAddr::Any>;
  }
}

template <TFast Kind>
TSpanJob::TDraw ForFilter(bool linear, TAddr a) {
  return linear ? ForAddress<Kind, true>(a) : ForAddress<Kind, false>(a);
}

}  // namespace

namespace span_pixel {

TSpanJob::TDraw ChooseNarrowSampledSpan(TFast kind, bool linear, TAddr address) {
  switch (kind) {
    case TFast::Opaque: return ForFilter<TFast::Opaque>(linear, address);
    case TFast::Blend: return ForFilter<TFast::Blend>(linear, address);
    case TFast::Add: return ForFilter<TFast::Add>(linear, address);
    default: return nullptr;
  }
}

}  // namespace span_pixel
