#include "graphics/device/vertex_pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "graphics/device/mip_levels.h"
#include "graphics/device/quad_setup.h"
#include "graphics/device/rasterizer.h"

namespace {

// Pre-transformed vertices are kept inside this many pixels so that the fixed-point
// set-up never overflows; transformed ones are clipped to the same band.
constexpr double GuardBand = 16384.0;

void SetColor(TRasterVertex& v, uint32_t diffuse, uint32_t specular) {
  v.a = float(diffuse >> 24);
  v.r = float((diffuse >> 16) & 0xFF);
  v.g = float((diffuse >> 8) & 0xFF);
  v.b = float(diffuse & 0xFF);
  v.sr = float((specular >> 16) & 0xFF);
  v.sg = float((specular >> 8) & 0xFF);
  v.sb = float(specular & 0xFF);
}

void Transform(const TDevMatrix& m, float x, float y, float z, TClipVertex& out) {
  out.x = x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + m.m[3][0];
  out.y = x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + m.m[3][1];
  out.z = x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + m.m[3][2];
  out.w = x * m.m[0][3] + y * m.m[1][3] + z * m.m[2][3] + m.m[3][3];
}

float Saturate255(float v) { return std::clamp(v, 0.0f, 1.0f) * 255.0f; }

// Lighting without lights: emissive plus ambient light times the material's ambient;
// alpha is the material's diffuse alpha.
void Light(const TVertexPipeline& p, TRasterVertex& v) {
  const TDevMaterial& m = *p.material;
  float ar = float((p.ambient >> 16) & 0xFF) / 255.0f, ag = float((p.ambient >> 8) & 0xFF) / 255.0f,
        ab = float(p.ambient & 0xFF) / 255.0f;
  v.r = Saturate255(m.emissive.r + ar * m.ambient.r);
  v.g = Saturate255(m.emissive.g + ag * m.ambient.g);
  v.b = Saturate255(m.emissive.b + ab * m.ambient.b);
  v.a = Saturate255(m.diffuse.a);
  v.sr = v.sg = v.sb = 0;
}

TClipVertex Lerp(const TClipVertex& a, const TClipVertex& b, float t) {
  auto mix = [t](float p, float q) { return p + (q - p) * t; };
  TClipVertex o;
  o.x = mix(a.x, b.x); o.y = mix(a.y, b.y); o.z = mix(a.z, b.z); o.w = mix(a.w, b.w);
  const TRasterVertex &p = a.attributes, &q = b.attributes;
  TRasterVertex& r = o.attributes;
  r.x = mix(p.x, q.x); r.y = mix(p.y, q.y); r.z = mix(p.z, q.z); r.rhw = mix(p.rhw, q.rhw);
  r.r = mix(p.r, q.r); r.g = mix(p.g, q.g); r.b = mix(p.b, q.b); r.a = mix(p.a, q.a);
  r.sr = mix(p.sr, q.sr); r.sg = mix(p.sg, q.sg); r.sb = mix(p.sb, q.sb);
  r.u = mix(p.u, q.u); r.v = mix(p.v, q.v);
  return o;
}

// Signed distance to one of the clip planes; inside when >= 0.
using TPlaneFn = float (*)(const TClipVertex&, float band);
inline float NearPlane(const TClipVertex& v, float) { return v.z; }
inline float FarPlane(const TClipVertex& v, float) { return v.w - v.z; }
inline float LeftPlane(const TClipVertex& v, float g) { return g * v.w + v.x; }
inline float RightPlane(const TClipVertex& v, float g) { return g * v.w - v.x; }
inline float BottomPlane(const TClipVertex& v, float g) { return g * v.w + v.y; }
inline float TopPlane(const TClipVertex& v, float g) { return g * v.w - v.y; }
const TPlaneFn ClipPlanes[] = {NearPlane, FarPlane, LeftPlane, RightPlane, BottomPlane, TopPlane};
// Screen-space guard band of pre-transformed vertices (x, y in screen pixels).
inline float ScreenLeft(const TClipVertex& v, float g) { return g + v.x; }
inline float ScreenRight(const TClipVertex& v, float g) { return g - v.x; }
inline float ScreenTop(const TClipVertex& v, float g) { return g + v.y; }
inline float ScreenBottom(const TClipVertex& v, float g) { return g - v.y; }
const TPlaneFn ScreenPlanes[] = {ScreenLeft, ScreenRight, ScreenTop, ScreenBottom};

// Whether a vertex lies inside all planes (not NaN either), with the plane functions
// called directly: this runs for every vertex of a draw.
bool Inside(bool transformed, const TClipVertex& v, float g) {
  if (!transformed)
    return ScreenLeft(v, g) >= 0 && ScreenRight(v, g) >= 0 && ScreenTop(v, g) >= 0 && ScreenBottom(v, g) >= 0;
  return NearPlane(v, g) >= 0 && FarPlane(v, g) >= 0 && LeftPlane(v, g) >= 0 && RightPlane(v, g) >= 0 &&
         BottomPlane(v, g) >= 0 && TopPlane(v, g) >= 0;
}

template <size_t N>
void ClipPolygon(const TPlaneFn (&planes)[N], float band, std::vector<TClipVertex>& poly) {
  std::vector<TClipVertex> next;
  for (auto f : planes) {
    next.clear();
    for (size_t i = 0; i < poly.size(); ++i) {
      const TClipVertex &a = poly[i], &b = poly[(i + 1) % poly.size()];
      float da = f(a, band), db = f(b, band);
      if (da >= 0) next.push_back(a);
      if ((da >= 0) != (db >= 0)) next.push_back(Lerp(a, b, da / (da - db)));
    }
    poly.swap(next);
    if (poly.empty()) return;
  }
}

TRasterVertex ToScreen(const TVertexPipeline& p, bool transformed, const TClipVertex& c) {
  TRasterVertex v = c.attributes;
  if (!transformed) return v;
  double invW = 1.0 / c.w;
  const TDevViewport& vp = p.viewport;
  v.x = float(vp.x + (1.0 + c.x * invW) * vp.width * 0.5);
  v.y = float(vp.y + (1.0 - c.y * invW) * vp.height * 0.5);
  v.z = float(vp.minZ + c.z * invW * (vp.maxZ - vp.minZ));
  v.rhw = float(invW);
  return v;
}

float Band(const TVertexPipeline& p, bool transformed) {
  if (!transformed) return float(GuardBand);
  double size = std::max<double>({double(p.viewport.width), double(p.viewport.height), 1.0});
  return float(GuardBand / size);
}

// One vertex of a batch: its clip-space form, and its screen form when it is inside.
struct TVertexRef {
  const TClipVertex* clip;
  const TRasterVertex* screen;  // null outside the guard band
};

void DrawClippedTriangle(const TRasterState& s, const TVertexPipeline& p, bool transformed, const TVertexRef& a,
                         const TVertexRef& b, const TVertexRef& c) {
  if (a.screen && b.screen && c.screen) {
    DrawTriangle(s, *a.screen, *b.screen, *c.screen);
    return;
  }
  float band = Band(p, transformed);
  std::vector<TClipVertex> poly{*a.clip, *b.clip, *c.clip};
  if (transformed)
    ClipPolygon(ClipPlanes, band, poly);
  else
    ClipPolygon(ScreenPlanes, band, poly);
  if (poly.size() < 3) return;
  TRasterVertex first = ToScreen(p, transformed, poly[0]);
  for (size_t i = 1; i + 1 < poly.size(); ++i)
    DrawTriangle(s, first, ToScreen(p, transformed, poly[i]), ToScreen(p, transformed, poly[i + 1]));
}

bool SameVertex(const TClipVertex& a, const TClipVertex& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Quads (v0, v1, v2) + (v0, v2, v3) that need no clipping go to the rasteriser whole,
// which draws axis-aligned ones one span per row.
void DrawClippedQuad(const TRasterState& s, const TVertexPipeline& p, bool transformed, const TVertexRef& a,
                     const TVertexRef& b, const TVertexRef& c, const TVertexRef& d) {
  if (a.screen && b.screen && c.screen && d.screen) {
    DrawQuad(s, *a.screen, *b.screen, *c.screen, *d.screen);
    return;
  }
  DrawClippedTriangle(s, p, transformed, a, b, c);
  DrawClippedTriangle(s, p, transformed, a, c, d);
}

// Triangles (v0, v1, v2) + (v1, v3, v2) (quads of indexed lists) that need no
// clipping are walked by the rasteriser in one pass.
void DrawClippedPair(const TRasterState& s, const TVertexPipeline& p, bool transformed, const TVertexRef& a,
                     const TVertexRef& b, const TVertexRef& c, const TVertexRef& d) {
  if (a.screen && b.screen && c.screen && d.screen) {
    DrawTrianglePair(s, *a.screen, *b.screen, *c.screen, *d.screen);
    return;
  }
  DrawClippedTriangle(s, p, transformed, a, b, c);
  DrawClippedTriangle(s, p, transformed, b, d, c);
}

void DrawClippedLine(const TRasterState& s, const TVertexPipeline& p, bool transformed, TClipVertex a, TClipVertex b) {
  float band = Band(p, transformed);
  auto clip = [&](auto& planes) {
    for (auto f : planes) {
      float da = f(a, band), db = f(b, band);
      if (da < 0 && db < 0) return false;
      if (da < 0) a = Lerp(a, b, da / (da - db));
      else if (db < 0) b = Lerp(a, b, da / (da - db));
    }
    return true;
  };
  bool visible = transformed ? clip(ClipPlanes) : clip(ScreenPlanes);
  if (visible) DrawLine(s, ToScreen(p, transformed, a), ToScreen(p, transformed, b));
}

}  // namespace

TDevMatrix DevMultiply(const TDevMatrix& a, const TDevMatrix& b) {
  TDevMatrix r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
      r.m[i][j] = sum;
    }
  return r;
}

bool ProcessVertices(const TVertexPipeline& p, uint32_t fvf, const void* vertices, uint32_t count,
                     TVertexBatch& batch) {
  std::vector<TClipVertex>& out = batch.clip;
  if (out.size() < count) out.resize(count);  // never shrunk: a small draw between large ones costs nothing
  batch.count = count;
  const uint8_t* bytes = static_cast<const uint8_t*>(vertices);
  if (fvf == DevFvfTransformed) {
    for (uint32_t i = 0; i < count; ++i) {
      TDevVertexTransformed v;
      std::memcpy(&v, bytes + size_t(i) * 32, 32);
      TClipVertex& c = out[i];
      c.x = v.x; c.y = v.y; c.z = v.z; c.w = 1;
      c.attributes.x = v.x; c.attributes.y = v.y; c.attributes.z = v.z; c.attributes.rhw = v.rhw;
      SetColor(c.attributes, v.diffuse, v.specular);
      c.attributes.u = v.u; c.attributes.v = v.v;
    }
    return true;
  }
  if (fvf != DevFvfLitXyz && fvf != DevFvfNormal) return false;
  TDevMatrix m = DevMultiply(DevMultiply(*p.world, *p.view), *p.projection);
  for (uint32_t i = 0; i < count; ++i) {
    TClipVertex& c = out[i];
    c.attributes = TRasterVertex{};
    if (fvf == DevFvfLitXyz) {
      TDevVertexLitXyz v;
      std::memcpy(&v, bytes + size_t(i) * 32, 32);
      Transform(m, v.x, v.y, v.z, c);
      SetColor(c.attributes, v.diffuse, v.specular);
      c.attributes.u = v.u; c.attributes.v = v.v;
    } else {
      TDevVertexNormal v;
      std::memcpy(&v, bytes + size_t(i) * 32, 32);
      Transform(m, v.x, v.y, v.z, c);
      if (p.lighting) Light(p, c.attributes);
      c.attributes.u = v.u; c.attributes.v = v.v;
    }
  }
  return true;
}

namespace {

void DrawPrimitivesOf(const TRasterState& s, const TVertexPipeline& p, bool transformed, D3DPRIMITIVETYPE type,
                      TVertexBatch& batch, const uint16_t* indices, uint32_t count) {
  const std::vector<TClipVertex>& v = batch.clip;
  if (batch.screen.size() < batch.count) {
    batch.screen.resize(batch.count);
    batch.inside.resize(batch.count);
  }
  // Each vertex is tested and mapped to the screen when a primitive first uses it.
  std::fill(batch.inside.begin(), batch.inside.begin() + batch.count, uint8_t(0));
  const float band = Band(p, transformed);
  auto index = [&](uint32_t i) { return indices ? indices[i] : i; };
  auto at = [&](uint32_t i) {
    uint32_t k = index(i);
    uint8_t& known = batch.inside[k];  // 0 not yet, 1 inside, 2 outside
    if (known == 0) {
      known = Inside(transformed, v[k], band) ? 1 : 2;
      if (known == 1) batch.screen[k] = ToScreen(p, transformed, v[k]);
    }
    return TVertexRef{&v[k], known == 1 ? &batch.screen[k] : nullptr};
  };
  auto same = [&](uint32_t i, uint32_t j) { return index(i) == index(j) || SameVertex(v[index(i)], v[index(j)]); };
  // Triangles (and their clipped pieces) of vertices that are all clear change nothing
  // under such a state: faded particles are skipped before any set-up.
  auto clear = [&](std::initializer_list<uint32_t> corners) {
    if (!s.clearDrawsNothing) return false;
    for (uint32_t i : corners)
      if (v[index(i)].attributes.a != 0) return false;
    return true;
  };
  switch (type) {
    case D3DPT_TRIANGLELIST: {
      TQuadPairSetup pairs(s);  // reused by the quads of indexed lists
      TRowBatch rows;           // their pixels, queued across quads; flushed before other draws
      for (uint32_t i = 0; i + 2 < count; i += 3) {
        // Quads as indexed lists give them, (v0, v1, v2) + (v1, v3, v2), found by their
        // indices alone.
        if (indices && i + 5 < count && indices[i + 1] == indices[i + 3] && indices[i + 2] == indices[i + 5]) {
          if (clear({i, i + 1, i + 2, i + 4})) {
            i += 3;
            continue;
          }
          TVertexRef r0 = at(i), r1 = at(i + 1), r2 = at(i + 2), r3 = at(i + 4);
          if (r0.screen && r1.screen && r2.screen && r3.screen) {
            const uint32_t drawn = pairs.Setup(*r0.screen, *r1.screen, *r2.screen, *r3.screen);
            WalkTrianglePair(s, pairs.A(), pairs.B(), drawn, &rows);
          } else {
            rows.Flush();
            DrawClippedPair(s, p, transformed, r0, r1, r2, r3);
          }
          i += 3;
          continue;
        }
        rows.Flush();
        if (i + 5 < count && same(i, i + 3) && same(i + 2, i + 4)) {
          if (!clear({i, i + 1, i + 2, i + 5})) DrawClippedQuad(s, p, transformed, at(i), at(i + 1), at(i + 2), at(i + 5));
          i += 3;
          continue;
        }
        if (i + 5 < count && same(i + 1, i + 3) && same(i + 2, i + 5)) {
          if (!clear({i, i + 1, i + 2, i + 4})) DrawClippedPair(s, p, transformed, at(i), at(i + 1), at(i + 2), at(i + 4));
          i += 3;
          continue;
        }
        if (!clear({i, i + 1, i + 2})) DrawClippedTriangle(s, p, transformed, at(i), at(i + 1), at(i + 2));
      }
      rows.Flush();
      break;
    }
    case D3DPT_TRIANGLEFAN:
      if (count == 4) {
        DrawClippedQuad(s, p, transformed, at(0), at(1), at(2), at(3));
        break;
      }
      for (uint32_t i = 1; i + 1 < count; ++i) DrawClippedTriangle(s, p, transformed, at(0), at(i), at(i + 1));
      break;
    case D3DPT_LINELIST:
      for (uint32_t i = 0; i + 1 < count; i += 2) DrawClippedLine(s, p, transformed, *at(i).clip, *at(i + 1).clip);
      break;
    default:
      break;
  }
}

// The level of detail of a triangle of the batch (0 where a corner lies behind the eye).
float TriangleLevelOfDetail(const TRasterState& s, const TVertexPipeline& p, bool transformed,
                            const TVertexBatch& batch, const uint32_t corner[3]) {
  float x[3], y[3], u[3], v[3];
  for (int i = 0; i < 3; ++i) {
    const TClipVertex& c = batch.clip[corner[i]];
    if (transformed && !(c.w > 0)) return 0.0f;
    TRasterVertex screen = ToScreen(p, transformed, c);
    x[i] = screen.x;
    y[i] = screen.y;
    u[i] = c.attributes.u;
    v[i] = c.attributes.v;
  }
  return MipLevelOfDetail(s.texture, x, y, u, v);
}

// Triangles of a mip-mapped texture: each reads the level its size on screen picks; runs
// of triangles on the same level (a quad's two, a sprite's whole draw) are drawn together
// as an indexed list, so that they keep the quad paths. Lines read the texture itself.
void DrawMipMappedPrimitives(const TRasterState& s, const TVertexPipeline& p, bool transformed,
                             D3DPRIMITIVETYPE type, TVertexBatch& batch, const uint16_t* indices, uint32_t count) {
  if (type == D3DPT_LINELIST || batch.count > 0x10000) {
    DrawPrimitivesOf(s, p, transformed, type, batch, indices, count);
    return;
  }
  auto index = [&](uint32_t i) { return indices ? uint32_t(indices[i]) : i; };
  std::vector<uint32_t> corners;  // three a triangle, in the order the type gives them
  if (type == D3DPT_TRIANGLELIST) {
    for (uint32_t i = 0; i + 2 < count; i += 3) corners.insert(corners.end(), {index(i), index(i + 1), index(i + 2)});
  } else if (type == D3DPT_TRIANGLEFAN) {
    for (uint32_t i = 1; i + 1 < count; ++i) corners.insert(corners.end(), {index(0), index(i), index(i + 1)});
  }
  TMipStates states(s);
  std::vector<uint16_t> run;
  uint32_t runKey = 0;
  auto drawRun = [&]() {
    if (!run.empty())
      DrawPrimitivesOf(states.StateOf(runKey), p, transformed, D3DPT_TRIANGLELIST, batch, run.data(),
                       uint32_t(run.size()));
    run.clear();
  };
  for (size_t t = 0; t < corners.size(); t += 3) {
    uint32_t key = states.KeyOf(TriangleLevelOfDetail(s, p, transformed, batch, &corners[t]));
    if (key != runKey) drawRun();
    runKey = key;
    for (int i = 0; i < 3; ++i) run.push_back(uint16_t(corners[t + i]));
  }
  drawRun();
}

}  // namespace

void DrawPrimitives(const TRasterState& s, const TVertexPipeline& p, bool transformed, D3DPRIMITIVETYPE type,
                    TVertexBatch& batch, const uint16_t* indices, uint32_t count) {
  if (s.mips)
    DrawMipMappedPrimitives(s, p, transformed, type, batch, indices, count);
  else
    DrawPrimitivesOf(s, p, transformed, type, batch, indices, count);
}
