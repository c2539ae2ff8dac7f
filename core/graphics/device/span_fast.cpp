// The optimised span loops for the common 2D cases on 32-bit targets: a texture
// copied texel for texel (point sampling, or bilinear on texel centres) or no
// texture, a colour constant along the span, and opaque, alpha-blended or additive
// output. Everything else goes to the general loop. Results equal the general loop's
// bit for bit; the tests compare both against a plain reference.
#include <algorithm>
#include <cstring>

#include "graphics/device/rasterizer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using TFast = TRasterState::TFast;

bool IsDiffuseArg(uint32_t arg) { return arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT; }

bool AlphaTestIsNoOp(const TRasterState& s) {
  if (!s.alphaTest) return true;
  uint32_t ref = s.alphaRef & 0xFF;
  return s.alphaFunc == D3DCMP_ALWAYS || (s.alphaFunc == D3DCMP_GREATEREQUAL && ref <= 1) ||
         (s.alphaFunc == D3DCMP_GREATER && ref == 0);
}

// One pixel of the fast loops; the SIMD code computes the same.
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
inline __m128i Mul255x8(__m128i a, __m128i b) {
  __m128i t = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

inline __m128i BroadcastAlpha(__m128i v) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, 0xFF), 0xFF); }

// Two pixels (eight 16-bit lanes) of source colour through the kind's blend.
template <TFast Kind>
inline __m128i FastPair(__m128i texel, __m128i tint, __m128i alphaMask, __m128i constAlpha, bool alphaConst, __m128i dst) {
  __m128i s = Mul255x8(texel, tint);
  if (alphaConst) s = _mm_or_si128(_mm_andnot_si128(alphaMask, s), constAlpha);
  if (Kind == TFast::Opaque) return s;
  __m128i a = BroadcastAlpha(s);
  __m128i term = Mul255x8(s, a);
  if (Kind == TFast::Blend) return _mm_add_epi16(term, Mul255x8(dst, _mm_sub_epi16(_mm_set1_epi16(255), a)));
  return _mm_add_epi16(term, dst);  // additive: packing saturates at 255
}
#endif

template <TFast Kind>
void FastLoop(uint32_t* dst, const uint32_t* tex, int32_t n, uint32_t texOr, uint32_t tint, bool alphaConst,
              uint32_t constAlpha) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i tint16 = _mm_unpacklo_epi8(_mm_set1_epi32(int32_t(tint)), zero);
  const __m128i alphaMask = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  const __m128i const16 = _mm_and_si128(alphaMask, _mm_set1_epi16(int16_t(constAlpha)));
  const __m128i orMask = _mm_set1_epi32(int32_t(texOr));
  const __m128i white = _mm_set1_epi32(-1);
  for (; i + 4 <= n; i += 4) {
    __m128i t = tex ? _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(tex + i)), orMask) : white;
    // Four texels of alpha 0 leave a blended target as it is.
    if (Kind != TFast::Opaque && !alphaConst && _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(t, 24), zero)) == 0xFFFF)
      continue;
    __m128i d = Kind == TFast::Opaque ? zero : _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    __m128i lo = FastPair<Kind>(_mm_unpacklo_epi8(t, zero), tint16, alphaMask, const16, alphaConst, _mm_unpacklo_epi8(d, zero));
    __m128i hi = FastPair<Kind>(_mm_unpackhi_epi8(t, zero), tint16, alphaMask, const16, alphaConst, _mm_unpackhi_epi8(d, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
#endif
  for (; i < n; ++i) dst[i] = FastPixel<Kind>(tex ? tex[i] | texOr : 0xFFFFFFFFu, tint, alphaConst, constAlpha, dst[i]);
}

// A constant source (no texture) blended over the target: the source term is
// computed once, only the destination varies.
void SolidLoop(TFast kind, uint32_t* dst, int32_t n, uint32_t tint, bool alphaConst, uint32_t constAlpha) {
  uint32_t src = FastPixel<TFast::Opaque>(0xFFFFFFFFu, tint, alphaConst, constAlpha, 0);
  if (kind == TFast::Opaque) {
    std::fill(dst, dst + n, src);
    return;
  }
  uint32_t a = src >> 24;
  uint32_t term = 0;
  for (int shift = 0; shift < 32; shift += 8) term |= Mul255((src >> shift) & 0xFF, a) << shift;
  int32_t i = 0;
#if defined(__SSE2__)
  if (kind == TFast::Add) {
    const __m128i t8 = _mm_set1_epi32(int32_t(term));
    for (; i + 4 <= n; i += 4) {
      __m128i* p = reinterpret_cast<__m128i*>(dst + i);
      _mm_storeu_si128(p, _mm_adds_epu8(_mm_loadu_si128(p), t8));
    }
  } else {
    const __m128i zero = _mm_setzero_si128();
    const __m128i t16 = _mm_unpacklo_epi8(_mm_set1_epi32(int32_t(term)), zero);
    const __m128i inv16 = _mm_set1_epi16(int16_t(255 - a));
    for (; i + 4 <= n; i += 4) {
      __m128i* p = reinterpret_cast<__m128i*>(dst + i);
      __m128i d = _mm_loadu_si128(p);
      __m128i lo = _mm_add_epi16(t16, Mul255x8(_mm_unpacklo_epi8(d, zero), inv16));
      __m128i hi = _mm_add_epi16(t16, Mul255x8(_mm_unpackhi_epi8(d, zero), inv16));
      _mm_storeu_si128(p, _mm_packus_epi16(lo, hi));
    }
  }
#endif
  for (; i < n; ++i) {
    uint32_t d = dst[i], out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      uint32_t dc = (d >> shift) & 0xFF, tc = (term >> shift) & 0xFF;
      out |= (kind == TFast::Add ? std::min(255u, tc + dc) : tc + Mul255(dc, 255 - a)) << shift;
    }
    dst[i] = out;
  }
}

uint32_t ConstantChannel(const TPlane& p, int32_t x, int32_t y) {
  return uint32_t(std::clamp<int64_t>(p.At(x, y) >> ColorFracBits, 0, 255));
}

}  // namespace

void PrepareRasterState(TRasterState& s) {
  s.fast = TFast::None;
  bool target32 = s.target.layout == TPixelLayout::Argb8888 || s.target.layout == TPixelLayout::Xrgb8888;
  bool texture32 = !s.texture.pixels || s.texture.layout == TPixelLayout::Argb8888 ||
                   s.texture.layout == TPixelLayout::Xrgb8888;
  if (!target32 || !texture32 || (s.zEnable && s.depth.pixels) || s.specular) return;
  if (s.colorOp != D3DTOP_MODULATE || s.colorArg1 != D3DTA_TEXTURE || !IsDiffuseArg(s.colorArg2)) return;
  if (s.alphaOp == D3DTOP_MODULATE && s.alphaArg1 == D3DTA_TEXTURE && IsDiffuseArg(s.alphaArg2)) {
    s.fastAlphaConst = false;
  } else if (s.alphaOp == D3DTOP_SELECTARG1 && s.alphaArg1 == D3DTA_TFACTOR) {
    s.fastAlphaConst = true;
    s.fastAlpha = s.textureFactor >> 24;
  } else {
    return;
  }
  TFast kind;
  if (!s.blend)
    kind = TFast::Opaque;
  else if (s.srcBlend == D3DBLEND_SRCALPHA && s.dstBlend == D3DBLEND_INVSRCALPHA)
    kind = TFast::Blend;
  else if (s.srcBlend == D3DBLEND_SRCALPHA && s.dstBlend == D3DBLEND_ONE)
    kind = TFast::Add;
  else
    return;
  // Blended pixels of alpha 0 leave the target as it is, so "alpha at least 1" needs
  // no test there; an opaque draw needs an alpha that always passes.
  if (!AlphaTestIsNoOp(s)) return;
  if (kind == TFast::Opaque && s.alphaTest && !(s.alphaFunc == D3DCMP_ALWAYS || (s.fastAlphaConst && s.fastAlpha >= 1)))
    return;
  s.fast = kind;
}

void DrawSpan(const TRasterState& s, const TAttributePlanes& p, const TSpan& span) {
  if (s.fast == TFast::None || p.perspective || p.color[0].dx || p.color[1].dx || p.color[2].dx || p.color[3].dx) {
    DrawSpanGeneric(s, p, span);
    return;
  }
  int32_t n = span.x1 - span.x0;
  uint32_t tint = ConstantChannel(p.color[3], span.x0, span.y) << 24 | ConstantChannel(p.color[0], span.x0, span.y) << 16 |
                  ConstantChannel(p.color[1], span.x0, span.y) << 8 | ConstantChannel(p.color[2], span.x0, span.y);
  uint32_t* dst = reinterpret_cast<uint32_t*>(s.target.pixels + int64_t(span.y) * s.target.pitch) + span.x0;
  if (!s.texture.pixels) {
    SolidLoop(s.fast, dst, n, tint, s.fastAlphaConst, s.fastAlpha);
    return;
  }
  // Texel for texel: one texel per pixel along u, none along v, on texel centres
  // when filtering, and wholly inside the texture (so no addressing is needed).
  constexpr int64_t One = int64_t(1) << TexelFracBits, Half = One / 2;
  if (p.u.dx != One || p.v.dx != 0) {
    DrawSpanGeneric(s, p, span);
    return;
  }
  int64_t u = p.u.At(span.x0, span.y), v = p.v.At(span.x0, span.y);
  if (p.linearFilter) {
    u -= Half;
    v -= Half;
    if ((u & (One - 1)) || (v & (One - 1))) {
      DrawSpanGeneric(s, p, span);
      return;
    }
  }
  int64_t tx = u >> TexelFracBits, ty = v >> TexelFracBits;
  if (tx < 0 || ty < 0 || tx + n > s.texture.width || ty >= s.texture.height) {
    DrawSpanGeneric(s, p, span);
    return;
  }
  const uint32_t* tex = reinterpret_cast<const uint32_t*>(s.texture.pixels + ty * s.texture.pitch) + tx;
  uint32_t texOr = s.texture.layout == TPixelLayout::Xrgb8888 ? 0xFF000000u : 0u;
  switch (s.fast) {
    case TFast::Opaque:
      if (tint == 0xFFFFFFFFu && (s.fastAlphaConst ? s.fastAlpha == 255 : texOr != 0)) {
        for (int32_t i = 0; i < n; ++i) dst[i] = tex[i] | 0xFF000000u;
        break;
      }
      FastLoop<TFast::Opaque>(dst, tex, n, texOr, tint, s.fastAlphaConst, s.fastAlpha);
      break;
    case TFast::Blend: FastLoop<TFast::Blend>(dst, tex, n, texOr, tint, s.fastAlphaConst, s.fastAlpha); break;
    default: FastLoop<TFast::Add>(dst, tex, n, texOr, tint, s.fastAlphaConst, s.fastAlpha); break;
  }
}
