// Texture sampling of a run of pixels with affine texture coordinates. The texels
// equal the general loop's per-pixel sampling bit for bit: the coordinates are fixed
// point, so stepping them by the plane's x gradient gives exactly the value the plane
// gives at each pixel, and the addressing and filter arithmetic are the same integer
// formulas, chosen once per state instead of once per pixel.
#include "graphics/device/span_pixel.h"

namespace {

using namespace span_pixel;

template <bool Wide>
inline uint32_t Fetch(const TRasterTexture& t, int32_t x, int32_t y) {
  if constexpr (Wide)
    return WideTexel(t, x, y);
  else
    return FetchTexel(t, x, y);
}

template <TAddr A, bool Wide>
void SamplePoint(const TRasterState& s, int64_t u, int64_t v, int64_t du, int64_t dv, int32_t n, uint32_t* out) {
  const TRasterTexture& t = s.texture;
  for (int32_t i = 0; i < n; ++i, u += du, v += dv)
    out[i] = Fetch<Wide>(t, AddressAs<A>(u >> TexelFracBits, t.width, s.addressU),
                         AddressAs<A>(v >> TexelFracBits, t.height, s.addressV));
}


template <TAddr A, bool Wide>
void SampleLinear(const TRasterState& s, int64_t u, int64_t v, int64_t du, int64_t dv, int32_t n, uint32_t* out) {
  const TRasterTexture& t = s.texture;
  constexpr int64_t Half = int64_t(1) << (TexelFracBits - 1);
  u -= Half;
  v -= Half;
  for (int32_t i = 0; i < n; ++i, u += du, v += dv) {
    int64_t iu = u >> TexelFracBits, iv = v >> TexelFracBits;
    uint32_t fu = uint32_t(u >> (TexelFracBits - 8)) & 0xFF, fv = uint32_t(v >> (TexelFracBits - 8)) & 0xFF;
    int32_t x0 = AddressAs<A>(iu, t.width, s.addressU), x1 = AddressAs<A>(iu + 1, t.width, s.addressU);
    int32_t y0 = AddressAs<A>(iv, t.height, s.addressV), y1 = AddressAs<A>(iv + 1, t.height, s.addressV);
    out[i] = BilinearTexel(Fetch<Wide>(t, x0, y0), Fetch<Wide>(t, x1, y0), Fetch<Wide>(t, x0, y1), Fetch<Wide>(t, x1, y1), fu, fv);
  }
}

template <TAddr A, bool Wide>
void SetSamplers(TRasterState& s) {
  s.samplers[0] = SamplePoint<A, Wide>;
  s.samplers[1] = SampleLinear<A, Wide>;
}

template <bool Wide>
void SetSamplersFor(TRasterState& s, TAddr a) {
  switch (a) {
    case TAddr::Clamp: SetSamplers<TAddr::Clamp, Wide>(s); break;
    case TAddr::WrapPow2: SetSamplers<TAddr::WrapPow2, Wide>(s); break;
    case TAddr::MirrorPow2: SetSamplers<TAddr::MirrorPow2, Wide>(s); break;
    default: SetSamplers<TAddr::Any, Wide>(s); break;
  }
}

bool PowerOfTwo(int32_t v) { return v > 0 && (v & (v - 1)) == 0; }

}  // namespace

void ChooseSamplers(TRasterState& s) {
  const TRasterTexture& t = s.texture;
  TAddr a = TAddr::Any;
  bool clampU = s.addressU != D3DTADDRESS_WRAP && s.addressU != D3DTADDRESS_MIRROR;
  bool clampV = s.addressV != D3DTADDRESS_WRAP && s.addressV != D3DTADDRESS_MIRROR;
  bool pow2 = PowerOfTwo(t.width) && PowerOfTwo(t.height);
  if (clampU && clampV)
    a = TAddr::Clamp;
  else if (pow2 && s.addressU == s.addressV)
    a = s.addressU == D3DTADDRESS_WRAP ? TAddr::WrapPow2 : TAddr::MirrorPow2;
  s.addressKind = uint8_t(a);
  bool wide = t.layout == TPixelLayout::Argb8888 || t.layout == TPixelLayout::Xrgb8888;
  if (wide)
    SetSamplersFor<true>(s, a);
  else
    SetSamplersFor<false>(s, a);
  s.samplerOr = t.layout == TPixelLayout::Xrgb8888 ? 0xFF000000u : 0u;
}

void SampleTexels(const TRasterState& s, const TAttributePlanes& p, int32_t x, int32_t y, int32_t n, uint32_t* out) {
  TRasterState::TSampler sampler = s.samplers[p.linearFilter ? 1 : 0];
  uint32_t orBits = s.samplerOr;
  if (!sampler) {  // a state that PrepareRasterState has not seen
    TRasterState chosen = s;
    ChooseSamplers(chosen);
    sampler = chosen.samplers[p.linearFilter ? 1 : 0];
    orBits = chosen.samplerOr;
  }
  sampler(s, p.u.At(x, y), p.v.At(x, y), p.u.dx, p.v.dx, n, out);
  if (orBits)
    for (int32_t i = 0; i < n; ++i) out[i] |= orBits;
}
