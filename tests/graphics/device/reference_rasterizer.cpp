#include "reference_rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct TRgba {
  int c[4];  // b, g, r, a as in memory
};

TRgba FromWord(uint32_t w) { return {{int(w & 255), int((w >> 8) & 255), int((w >> 16) & 255), int(w >> 24)}}; }
uint32_t ToWord(const TRgba& p) { return uint32_t(p.c[0] | p.c[1] << 8 | p.c[2] << 16 | uint32_t(p.c[3]) << 24); }
int Product(int a, int b) { return (a * b + 127) / 255; }

int Wrap(int64_t i, int n, uint32_t mode) {
  switch (mode) {
    case D3DTADDRESS_WRAP: return int(((i % n) + n) % n);
    case D3DTADDRESS_MIRROR: {
      int64_t k = ((i % (2 * n)) + 2 * n) % (2 * n);
      return int(k < n ? k : 2 * n - 1 - k);
    }
    default: return int(std::min<int64_t>(std::max<int64_t>(i, 0), n - 1));
  }
}

TRgba Texel(const TRasterTexture& t, int x, int y) {
  const uint8_t* p = t.pixels + int64_t(y) * t.pitch + int64_t(x) * BytesPerPixel(t.format);
  uint32_t raw = ReadPixel(p, BytesPerPixel(t.format));
  return FromWord(UnpackArgb(t.format, raw));
}

TRgba Sample(const TRasterState& s, bool linear, int64_t u, int64_t v) {
  const TRasterTexture& t = s.texture;
  if (!linear) return Texel(t, Wrap(u >> 16, t.width, s.addressU), Wrap(v >> 16, t.height, s.addressV));
  int64_t uu = u - 32768, vv = v - 32768;
  int64_t iu = uu >> 16, iv = vv >> 16;
  int fu = int((uu & 0xFFFF) >> 8), fv = int((vv & 0xFFFF) >> 8);
  TRgba q[2][2];
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 2; ++i) q[j][i] = Texel(t, Wrap(iu + i, t.width, s.addressU), Wrap(iv + j, t.height, s.addressV));
  TRgba out;
  for (int k = 0; k < 4; ++k) {
    int top = q[0][0].c[k] * (256 - fu) + q[0][1].c[k] * fu;
    int bottom = q[1][0].c[k] * (256 - fu) + q[1][1].c[k] * fu;
    out.c[k] = (top * (256 - fv) + bottom * fv + 32768) >> 16;
  }
  return out;
}

TRgba Arg(uint32_t arg, const TRgba& diffuse, const TRgba& tex, const TRgba& factor, const TRgba& spec) {
  TRgba v = diffuse;
  if ((arg & 15) == D3DTA_TEXTURE) v = tex;
  if ((arg & 15) == D3DTA_TFACTOR) v = factor;
  if ((arg & 15) == D3DTA_SPECULAR) v = spec;
  if (arg & D3DTA_COMPLEMENT)
    for (int& c : v.c) c = 255 - c;
  if (arg & D3DTA_ALPHAREPLICATE) v = {{v.c[3], v.c[3], v.c[3], v.c[3]}};
  return v;
}

TRgba Op(uint32_t op, const TRgba& a, const TRgba& b, const TRgba& diffuse) {
  if (op == D3DTOP_DISABLE) return diffuse;
  if (op == D3DTOP_SELECTARG1) return a;
  if (op == D3DTOP_SELECTARG2) return b;
  TRgba m;
  for (int k = 0; k < 4; ++k) m.c[k] = Product(a.c[k], b.c[k]);
  return m;
}

bool Passes(uint32_t f, int64_t v, int64_t ref) {
  switch (f) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return v < ref;
    case D3DCMP_EQUAL: return v == ref;
    case D3DCMP_LESSEQUAL: return v <= ref;
    case D3DCMP_GREATER: return v > ref;
    case D3DCMP_NOTEQUAL: return v != ref;
    case D3DCMP_GREATEREQUAL: return v >= ref;
    default: return true;
  }
}

int Factor(uint32_t f, int k, const TRgba& s, const TRgba& d) {
  switch (f) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_ONE: return 255;
    case D3DBLEND_SRCCOLOR: return s.c[k];
    case D3DBLEND_INVSRCCOLOR: return 255 - s.c[k];
    case D3DBLEND_SRCALPHA: return s.c[3];
    case D3DBLEND_INVSRCALPHA: return 255 - s.c[3];
    case D3DBLEND_DESTALPHA: return d.c[3];
    case D3DBLEND_INVDESTALPHA: return 255 - d.c[3];
    case D3DBLEND_DESTCOLOR: return d.c[k];
    case D3DBLEND_INVDESTCOLOR: return 255 - d.c[k];
    default: return 255;
  }
}

int Color(const TPlane& p, int x, int y) { return int(std::clamp<int64_t>(p.At(x, y) >> 16, 0, 255)); }

void ShadePixel(const TRasterState& s, const TAttributePlanes& p, int x, int y) {
  TRgba diffuse{{Color(p.color[2], x, y), Color(p.color[1], x, y), Color(p.color[0], x, y), Color(p.color[3], x, y)}};
  TRgba spec{{Color(p.specular[2], x, y), Color(p.specular[1], x, y), Color(p.specular[0], x, y), 0}};
  TRgba tex{{255, 255, 255, 255}};
  if (s.texture.pixels) {
    int64_t u = p.u.At(x, y), v = p.v.At(x, y);
    if (p.perspective) {
      double q = p.q.At(p.q.Row(y), x);
      u = PerspectiveTexel(p.uq.At(p.uq.Row(y), x), q);
      v = PerspectiveTexel(p.vq.At(p.vq.Row(y), x), q);
    }
    tex = Sample(s, p.linearFilter, u, v);
  }
  TRgba factor = FromWord(s.textureFactor);
  TRgba color = Op(s.colorOp, Arg(s.colorArg1, diffuse, tex, factor, spec), Arg(s.colorArg2, diffuse, tex, factor, spec), diffuse);
  TRgba alpha = Op(s.colorOp == D3DTOP_DISABLE ? uint32_t(D3DTOP_DISABLE) : s.alphaOp,
                   Arg(s.alphaArg1, diffuse, tex, factor, spec), Arg(s.alphaArg2, diffuse, tex, factor, spec), diffuse);
  TRgba src = color;
  src.c[3] = alpha.c[3];
  if (s.specular)
    for (int k = 0; k < 3; ++k) src.c[k] = std::min(255, src.c[k] + spec.c[k]);
  if (s.alphaTest && !Passes(s.alphaFunc, src.c[3], s.alphaRef & 255)) return;
  uint8_t* zp = nullptr;
  int64_t z = 0;
  if (s.zEnable && s.depth.pixels) {
    zp = s.depth.pixels + int64_t(y) * s.depth.pitch + int64_t(x) * (s.depth.bits / 8);
    z = p.z.At(x, y);
    z = s.depth.bits == 16 ? std::clamp<int64_t>(z >> 16, 0, 65535) : std::clamp<int64_t>(z, 0, 0xFFFFFFFFll);
    if (!Passes(s.zFunc, z, ReadPixel(zp, uint32_t(s.depth.bits / 8)))) return;
  }
  uint32_t bytes = BytesPerPixel(s.target.format);
  uint8_t* dp = s.target.pixels + int64_t(y) * s.target.pitch + int64_t(x) * bytes;
  bool wide = s.target.layout == TPixelLayout::Argb8888 || s.target.layout == TPixelLayout::Xrgb8888;
  TRgba out = src;
  if (s.blend) {
    uint32_t raw = ReadPixel(dp, bytes);
    TRgba d = FromWord(wide ? raw : UnpackArgb(s.target.format, raw));
    for (int k = 0; k < 4; ++k)
      out.c[k] = std::min(255, Product(src.c[k], Factor(s.srcBlend, k, src, d)) + Product(d.c[k], Factor(s.dstBlend, k, src, d)));
  }
  WritePixel(dp, bytes, wide ? ToWord(out) : PackArgb(s.target.format, ToWord(out)));
  if (zp && s.zWrite) WritePixel(zp, uint32_t(s.depth.bits / 8), uint32_t(z));
}

}  // namespace

void ReferenceTriangle(const TRasterState& s, const TRasterVertex& v0, const TRasterVertex& v1, const TRasterVertex& v2) {
  TTriangleSetup t;
  if (!SetupTriangle(s, v0, v1, v2, t)) return;
  for (int y = s.scissor.top; y < s.scissor.bottom; ++y)
    for (int x = s.scissor.left; x < s.scissor.right; ++x)
      if (TriangleCovers(t, x, y)) ShadePixel(s, t.planes, x, y);
}

void ReferenceLine(const TRasterState& s, const TRasterVertex& v0, const TRasterVertex& v1) {
  TLineSetup l;
  if (!SetupLine(s, v0, v1, l)) return;
  for (int m = l.first;; m += l.step) {
    int minor = LineMinor(l, m);
    int x = l.xMajor ? m : minor, y = l.xMajor ? minor : m;
    if (x >= s.scissor.left && x < s.scissor.right && y >= s.scissor.top && y < s.scissor.bottom) ShadePixel(s, l.planes, x, y);
    if (m == l.last) break;
  }
}
