// The optimised span loops for the common 2D cases on 32-bit targets: a texture
// copied texel for texel (point sampling, or bilinear on texel centres) or no
// texture, a colour constant along the span, and opaque, alpha-blended or additive
// output. Everything else goes to the general loop. Results equal the general loop's
// bit for bit; the tests compare both against a plain reference.
#include "graphics/device/span_pixel.h"

namespace {

using namespace span_pixel;

bool IsDiffuseArg(uint32_t arg) { return arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT; }

bool AlphaTestIsNoOp(const TRasterState& s) {
  if (!s.alphaTest) return true;
  uint32_t ref = s.alphaRef & 0xFF;
  return s.alphaFunc == D3DCMP_ALWAYS || (s.alphaFunc == D3DCMP_GREATEREQUAL && ref <= 1) ||
         (s.alphaFunc == D3DCMP_GREATER && ref == 0);
}

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

// An opaque row copied texel for texel without tint, its alpha set: the background's
// path, as fast as a row copy.
void CopyRowOpaque(uint32_t* dst, const uint32_t* tex, int32_t n) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i alpha = _mm_set1_epi32(int32_t(0xFF000000u));
  for (; i + 16 <= n; i += 16) {
    const __m128i* from = reinterpret_cast<const __m128i*>(tex + i);
    __m128i* to = reinterpret_cast<__m128i*>(dst + i);
    const __m128i a = _mm_loadu_si128(from), b = _mm_loadu_si128(from + 1), c = _mm_loadu_si128(from + 2),
                  d = _mm_loadu_si128(from + 3);
    _mm_storeu_si128(to, _mm_or_si128(a, alpha));
    _mm_storeu_si128(to + 1, _mm_or_si128(b, alpha));
    _mm_storeu_si128(to + 2, _mm_or_si128(c, alpha));
    _mm_storeu_si128(to + 3, _mm_or_si128(d, alpha));
  }
  for (; i + 4 <= n; i += 4)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(tex + i)), alpha));
#endif
  for (; i < n; ++i) dst[i] = tex[i] | 0xFF000000u;
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
// Whether a pixel's source alpha is 0 wherever its diffuse alpha is: the alpha
// operation takes the diffuse alpha alone or times something else.
bool AlphaFollowsDiffuse(const TRasterState& s) {
  const uint32_t op = s.colorOp == D3DTOP_DISABLE ? uint32_t(D3DTOP_DISABLE) : s.alphaOp;
  switch (op) {
    case D3DTOP_DISABLE: return true;
    case D3DTOP_SELECTARG1: return IsDiffuseArg(s.alphaArg1);
    case D3DTOP_SELECTARG2: return IsDiffuseArg(s.alphaArg2);
    default: return IsDiffuseArg(s.alphaArg1) || IsDiffuseArg(s.alphaArg2);  // modulate
  }
}

// Source alpha 0 blended by it onto a 32-bit target gives the target's own value:
// round(d * 255 / 255) = d, plus nothing. An alpha test can only drop such pixels.
bool ClearDrawsNothing(const TRasterState& s) {
  const bool target32 = s.target.layout == TPixelLayout::Argb8888 || s.target.layout == TPixelLayout::Xrgb8888;
  const bool writesDepth = s.zEnable && s.depth.pixels && s.zWrite;
  return s.blend && s.srcBlend == D3DBLEND_SRCALPHA &&
         (s.dstBlend == D3DBLEND_ONE || s.dstBlend == D3DBLEND_INVSRCALPHA) && target32 && !writesDepth &&
         AlphaFollowsDiffuse(s);
}

}  // namespace

void PrepareRasterState(TRasterState& s) {
  s.clearDrawsNothing = ClearDrawsNothing(s);
  s.fast = TFast::None;
  s.samplers[0] = s.samplers[1] = nullptr;
  s.sampledSpans[0] = s.sampledSpans[1] = nullptr;
  s.sampledRows[0] = s.sampledRows[1] = nullptr;
  s.directLoop = nullptr;
  s.small = nullptr;
  s.maskedPairs[0] = s.maskedPairs[1] = nullptr;
  if (s.texture.pixels) ChooseSamplers(s);
  if (s.mipNextWeight) return;  // two levels in each texel: the general loop
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
  s.directLoop = ChooseWideDirectLoop(kind);
  bool wide = s.texture.layout == TPixelLayout::Argb8888 || s.texture.layout == TPixelLayout::Xrgb8888;
  if (s.texture.pixels && wide)
    for (int linear = 0; linear < 2; ++linear) {
      TAddr a = TAddr(s.addressKind);
      TSpanJob::TDraw wide = ChooseWideSampledSpan(kind, linear != 0, a, s.texture);
      s.sampledSpans[linear] = wide ? wide : ChooseNarrowSampledSpan(kind, linear != 0, a);
      if (wide) s.sampledRows[linear] = ChooseWideRowSpans(kind, linear != 0, a);
    }
  // Small clamped textures (particles): the 16-lane loops on a copy made here once for
  // the whole draw call.
  if (s.sampledRows[0] && TAddr(s.addressKind) == TAddr::Clamp && ChooseWidestRowSpans(kind, false) &&
      (s.small = CopySmallTexture(s.texture)))
    for (int linear = 0; linear < 2; ++linear) {
      s.sampledRows[linear] = ChooseWidestRowSpans(kind, linear != 0);
      s.maskedPairs[linear] = ChooseMaskedPairs(kind, linear != 0);
    }
}

namespace {

void GenericSpan(const TSpanJob& job, int32_t y, int32_t x0, int32_t x1) {
  DrawSpanGeneric(*job.state, *job.planes, TSpan{y, x0, x1});
}

// A fast kind with a colour constant along the span: solid, texel for texel from the
// texture, or sampled.
void FastSpan(const TSpanJob& job, int32_t y, int32_t x0, int32_t x1) {
  const TRasterState& s = *job.state;
  const TAttributePlanes& p = *job.planes;
  int32_t n = x1 - x0;
  uint32_t tint = job.tintConstant ? job.tint : PlaneColor(p, x0, y);
  uint32_t* dst = reinterpret_cast<uint32_t*>(s.target.pixels + int64_t(y) * s.target.pitch) + x0;
  if (!s.texture.pixels) {
    SolidLoop(s.fast, dst, n, tint, s.fastAlphaConst, s.fastAlpha);
    return;
  }
  // Texel for texel: one texel per pixel along u, none along v, on texel centres
  // when filtering, and wholly inside the texture (so no addressing is needed).
  constexpr int64_t One = int64_t(1) << TexelFracBits, Half = One / 2;
  bool direct = p.u.dx == One && p.v.dx == 0;
  int64_t u = p.u.At(x0, y), v = p.v.At(x0, y);
  if (direct && p.linearFilter) {
    u -= Half;
    v -= Half;
    direct = !(u & (One - 1)) && !(v & (One - 1));
  }
  int64_t tx = u >> TexelFracBits, ty = v >> TexelFracBits;
  if (!direct || tx < 0 || ty < 0 || tx + n > s.texture.width || ty >= s.texture.height) {
    if (job.sampled) {
      job.sampled(job, y, x0, x1);
      return;
    }
    // Other texture formats: the texels sampled into a buffer, then the same blend.
    uint32_t texels[SampleChunk];
    for (int32_t done = 0; done < n; done += SampleChunk) {
      int32_t m = std::min(SampleChunk, n - done);
      SampleTexels(s, p, x0 + done, y, m, texels);
      switch (s.fast) {
        case TFast::Opaque: FastLoop<TFast::Opaque>(dst + done, texels, m, 0, tint, s.fastAlphaConst, s.fastAlpha); break;
        case TFast::Blend: FastLoop<TFast::Blend>(dst + done, texels, m, 0, tint, s.fastAlphaConst, s.fastAlpha); break;
        default: FastLoop<TFast::Add>(dst + done, texels, m, 0, tint, s.fastAlphaConst, s.fastAlpha); break;
      }
    }
    return;
  }
  const uint32_t* tex = reinterpret_cast<const uint32_t*>(s.texture.pixels + ty * s.texture.pitch) + tx;
  uint32_t texOr = s.texture.layout == TPixelLayout::Xrgb8888 ? 0xFF000000u : 0u;
  if (s.fast == TFast::Opaque && tint == 0xFFFFFFFFu && (s.fastAlphaConst ? s.fastAlpha == 255 : texOr != 0)) {
    CopyRowOpaque(dst, tex, n);
    return;
  }
  if (s.directLoop) {
    s.directLoop(dst, tex, n, texOr, tint, s.fastAlphaConst, s.fastAlpha);
    return;
  }
  switch (s.fast) {
    case TFast::Opaque: FastLoop<TFast::Opaque>(dst, tex, n, texOr, tint, s.fastAlphaConst, s.fastAlpha); break;
    case TFast::Blend: FastLoop<TFast::Blend>(dst, tex, n, texOr, tint, s.fastAlphaConst, s.fastAlpha); break;
    default: FastLoop<TFast::Add>(dst, tex, n, texOr, tint, s.fastAlphaConst, s.fastAlpha); break;
  }
}

}  // namespace

void PrepareSpans(const TRasterState& s, const TAttributePlanes& p, TSpanJob& job) {
  job.state = &s;
  job.planes = &p;
  job.sampled = nullptr;
  job.rows = nullptr;
  job.tintConstant = false;
  bool colorVaries = p.color[0].dx || p.color[1].dx || p.color[2].dx || p.color[3].dx;
  if (s.fast == TFast::None || p.perspective || colorVaries) {
    job.draw = GenericSpan;
    return;
  }
  job.draw = FastSpan;
  job.tintConstant = !p.color[0].dy && !p.color[1].dy && !p.color[2].dy && !p.color[3].dy;
  if (job.tintConstant) job.tint = FlatColor(p);
  job.sampled = s.sampledSpans[p.linearFilter ? 1 : 0];
  // Spans that can never be copied texel for texel go straight to the fused loop.
  if (job.sampled && !(p.u.dx == (int64_t(1) << TexelFracBits) && p.v.dx == 0)) {
    job.draw = job.sampled;
    if (job.tintConstant) job.rows = s.sampledRows[p.linearFilter ? 1 : 0];
  }
}

void DrawSpan(const TRasterState& s, const TAttributePlanes& p, const TSpan& span) {
  TSpanJob job;
  PrepareSpans(s, p, job);
  job.draw(job, span.y, span.x0, span.x1);
}
