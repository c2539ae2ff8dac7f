// The general span loop: every pipeline state, pixel by pixel, with no shortcuts.
#include <algorithm>
#include <cstring>

#include "graphics/device/span_pixel.h"

int32_t AddressTexel(int64_t i, int32_t size, uint32_t mode) {
  if (mode == D3DTADDRESS_WRAP) {
    int64_t m = i % size;
    return int32_t(m < 0 ? m + size : m);
  }
  if (mode == D3DTADDRESS_MIRROR) {
    int64_t period = int64_t(size) * 2, m = i % period;
    if (m < 0) m += period;
    return int32_t(m < size ? m : period - 1 - m);
  }
  return int32_t(std::clamp<int64_t>(i, 0, size - 1));  // clamp (and border, which the engine never uses)
}

uint32_t FetchTexel(const TRasterTexture& t, int32_t x, int32_t y) {
  const uint8_t* row = t.pixels + int64_t(y) * t.pitch;
  uint32_t v;
  switch (t.layout) {
    case TPixelLayout::Argb8888: std::memcpy(&v, row + x * 4, 4); return v;
    case TPixelLayout::Xrgb8888: std::memcpy(&v, row + x * 4, 4); return v | 0xFF000000u;
    default: {
      uint32_t bpp = BytesPerPixel(t.format);
      return UnpackArgb(t.format, ReadPixel(row + size_t(x) * bpp, bpp));
    }
  }
}

namespace {

uint32_t SampleLevel(const TRasterState& s, const TRasterTexture& t, bool linear, int64_t u, int64_t v) {
  if (!linear)
    return FetchTexel(t, AddressTexel(u >> TexelFracBits, t.width, s.addressU), AddressTexel(v >> TexelFracBits, t.height, s.addressV));
  u -= 1 << (TexelFracBits - 1);
  v -= 1 << (TexelFracBits - 1);
  int64_t iu = u >> TexelFracBits, iv = v >> TexelFracBits;
  uint32_t fu = uint32_t(u >> (TexelFracBits - 8)) & 0xFF, fv = uint32_t(v >> (TexelFracBits - 8)) & 0xFF;
  int32_t x0 = AddressTexel(iu, t.width, s.addressU), x1 = AddressTexel(iu + 1, t.width, s.addressU);
  int32_t y0 = AddressTexel(iv, t.height, s.addressV), y1 = AddressTexel(iv + 1, t.height, s.addressV);
  return span_pixel::BilinearTexel(FetchTexel(t, x0, y0), FetchTexel(t, x1, y0), FetchTexel(t, x0, y1), FetchTexel(t, x1, y1),
                                   fu, fv);
}

// The texel of the texture, blended with the next mip level's where the state has one
// (its coordinates scaled to its size).
uint32_t SampleTexture(const TRasterState& s, bool linear, int64_t u, int64_t v) {
  uint32_t texel = SampleLevel(s, s.texture, linear, u, v);
  if (!s.mipNextWeight) return texel;
  const TRasterTexture& next = s.mipNext;
  uint32_t other = SampleLevel(s, next, linear, u * next.width / s.texture.width, v * next.height / s.texture.height);
  uint32_t w = s.mipNextWeight, out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= ((((texel >> shift) & 0xFF) * (256 - w) + ((other >> shift) & 0xFF) * w + 128) >> 8) << shift;
  return out;
}

uint32_t ReplicateAlpha(uint32_t c) { uint32_t a = c >> 24; return a * 0x01010101u; }

uint32_t Argument(uint32_t arg, uint32_t diffuse, uint32_t texel, uint32_t factor, uint32_t specular) {
  uint32_t v;
  switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_TEXTURE: v = texel; break;
    case D3DTA_TFACTOR: v = factor; break;
    case D3DTA_SPECULAR: v = specular; break;
    default: v = diffuse; break;  // diffuse, and current (which is diffuse at stage 0)
  }
  if (arg & D3DTA_COMPLEMENT) v = ~v;
  if (arg & D3DTA_ALPHAREPLICATE) v = ReplicateAlpha(v);
  return v;
}

uint32_t Modulate(uint32_t a, uint32_t b) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) out |= Mul255((a >> shift) & 0xFF, (b >> shift) & 0xFF) << shift;
  return out;
}

uint32_t Operation(uint32_t op, uint32_t arg1, uint32_t arg2, uint32_t diffuse) {
  switch (op) {
    case D3DTOP_DISABLE: return diffuse;
    case D3DTOP_SELECTARG1: return arg1;
    case D3DTOP_SELECTARG2: return arg2;
    default: return Modulate(arg1, arg2);  // modulate; other operations are not offered
  }
}

bool Compare(uint32_t func, uint64_t value, uint64_t ref) {
  switch (func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return value < ref;
    case D3DCMP_EQUAL: return value == ref;
    case D3DCMP_LESSEQUAL: return value <= ref;
    case D3DCMP_GREATER: return value > ref;
    case D3DCMP_NOTEQUAL: return value != ref;
    case D3DCMP_GREATEREQUAL: return value >= ref;
    default: return true;
  }
}

uint32_t BlendFactor(uint32_t f, uint32_t src, uint32_t dst) {
  switch (f) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_SRCCOLOR: return src;
    case D3DBLEND_INVSRCCOLOR: return ~src;
    case D3DBLEND_SRCALPHA: return ReplicateAlpha(src);
    case D3DBLEND_INVSRCALPHA: return ~ReplicateAlpha(src);
    case D3DBLEND_DESTALPHA: return ReplicateAlpha(dst);
    case D3DBLEND_INVDESTALPHA: return ~ReplicateAlpha(dst);
    case D3DBLEND_DESTCOLOR: return dst;
    case D3DBLEND_INVDESTCOLOR: return ~dst;
    default: return 0xFFFFFFFFu;  // one
  }
}

uint32_t Blend(const TRasterState& s, uint32_t src, uint32_t dst) {
  uint32_t sf = BlendFactor(s.srcBlend, src, dst), df = BlendFactor(s.dstBlend, src, dst), out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t c = Mul255((src >> shift) & 0xFF, (sf >> shift) & 0xFF) + Mul255((dst >> shift) & 0xFF, (df >> shift) & 0xFF);
    out |= std::min(c, 255u) << shift;
  }
  return out;
}

uint32_t Channel(const TPlane& p, int32_t x, int32_t y) {
  return uint32_t(std::clamp<int64_t>(p.At(x, y) >> ColorFracBits, 0, 255));
}

uint32_t DepthValue(int64_t z, int bits) {
  int64_t v = bits == 16 ? (z >> (DepthFracBits - 16)) : z;
  return uint32_t(std::clamp<int64_t>(v, 0, bits == 16 ? 0xFFFF : 0xFFFFFFFFll));
}

}  // namespace

void DrawSpanGeneric(const TRasterState& s, const TAttributePlanes& p, const TSpan& span) {
  const TRasterTarget& target = s.target;
  uint32_t dstBytes = BytesPerPixel(target.format);
  bool useDepth = s.zEnable && s.depth.pixels;
  double qRow = 0, uRow = 0, vRow = 0;
  if (p.perspective) {
    qRow = p.q.Row(span.y);
    uRow = p.uq.Row(span.y);
    vRow = p.vq.Row(span.y);
  }
  uint8_t* row = target.pixels + int64_t(span.y) * target.pitch;
  for (int32_t x = span.x0; x < span.x1; ++x) {
    uint32_t diffuse = Channel(p.color[3], x, span.y) << 24 | Channel(p.color[0], x, span.y) << 16 |
                       Channel(p.color[1], x, span.y) << 8 | Channel(p.color[2], x, span.y);
    uint32_t specular = Channel(p.specular[0], x, span.y) << 16 | Channel(p.specular[1], x, span.y) << 8 |
                        Channel(p.specular[2], x, span.y);
    uint32_t texel = 0xFFFFFFFFu;
    if (s.texture.pixels) {
      int64_t u, v;
      if (p.perspective) {
        double q = p.q.At(qRow, x);
        u = PerspectiveTexel(p.uq.At(uRow, x), q);
        v = PerspectiveTexel(p.vq.At(vRow, x), q);
      } else {
        u = p.u.At(x, span.y);
        v = p.v.At(x, span.y);
      }
      texel = SampleTexture(s, p.linearFilter, u, v);
    }
    uint32_t color = Operation(s.colorOp, Argument(s.colorArg1, diffuse, texel, s.textureFactor, specular),
                               Argument(s.colorArg2, diffuse, texel, s.textureFactor, specular), diffuse);
    uint32_t alphaOp = s.colorOp == D3DTOP_DISABLE ? uint32_t(D3DTOP_DISABLE) : s.alphaOp;
    uint32_t alpha = Operation(alphaOp, Argument(s.alphaArg1, diffuse, texel, s.textureFactor, specular),
                               Argument(s.alphaArg2, diffuse, texel, s.textureFactor, specular), diffuse);
    uint32_t src = (alpha & 0xFF000000u) | (color & 0x00FFFFFFu);
    if (s.specular) {
      uint32_t sum = src & 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8)
        sum |= std::min(((src >> shift) & 0xFF) + ((specular >> shift) & 0xFF), 255u) << shift;
      src = sum;
    }
    if (s.alphaTest && !Compare(s.alphaFunc, src >> 24, s.alphaRef & 0xFF)) continue;
    uint8_t* zp = nullptr;
    uint32_t z = 0;
    if (useDepth) {
      zp = s.depth.pixels + int64_t(span.y) * s.depth.pitch + int64_t(x) * (s.depth.bits / 8);
      z = DepthValue(p.z.At(x, span.y), s.depth.bits);
      uint32_t stored = ReadPixel(zp, uint32_t(s.depth.bits / 8));
      if (!Compare(s.zFunc, z, stored)) continue;
    }
    uint8_t* dp = row + size_t(x) * dstBytes;
    uint32_t out = src;
    if (s.blend) {
      uint32_t raw = ReadPixel(dp, dstBytes);
      uint32_t dst = target.layout == TPixelLayout::Argb8888 || target.layout == TPixelLayout::Xrgb8888
                         ? raw : UnpackArgb(target.format, raw);
      out = Blend(s, src, dst);
    }
    if (target.layout == TPixelLayout::Argb8888 || target.layout == TPixelLayout::Xrgb8888)
      WritePixel(dp, 4, out);
    else
      WritePixel(dp, dstBytes, PackArgb(target.format, out));
    if (useDepth && s.zWrite) WritePixel(zp, uint32_t(s.depth.bits / 8), z);
  }
}
