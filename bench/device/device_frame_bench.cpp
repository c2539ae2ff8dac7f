// The standard frame: a 1024x768 opaque background, 200 alpha-blended 96x96 sprites
// with tint, 1000 additive 16x16 particle quads and 3000 one-pixel text spans. Drawn
// by the software device (the way the 2D drawing code submits it) and by SDL2's
// software renderer (SDL_RenderGeometry), both with point sampling, on one core.
// Prints the median milliseconds per frame of each and their ratio. Then the particle
// frame of the device alone: 10,000 rotated 8x8 additive quads at sub-pixel positions,
// drawn as indexed triangle lists the way the particle renderer submits them.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "one_core.h"
#include "graphics/device/soft_3d.h"
#include "graphics/device/soft_draw.h"

namespace {

constexpr int Width = 1024, Height = 768;
constexpr int Warmup = 20, Frames = 120;

struct TSprite { float x, y; uint32_t tint; };
struct TSpanItem { float x0, x1, y; uint32_t color; };

struct TFrameList {
  std::vector<uint32_t> background, sprite, particle;  // ARGB pixels
  std::vector<TSprite> sprites, particles;
  std::vector<TSpanItem> spans;
};

uint32_t Random(uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return seed >> 8;
}

TFrameList MakeFrame() {
  TFrameList f;
  uint32_t seed = 7;
  f.background.resize(size_t(Width) * Height);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) f.background[size_t(y) * Width + x] = 0xFF000000u | (x & 255) << 16 | (y & 255) << 8 | ((x ^ y) & 255);
  f.sprite.resize(96 * 96);
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) {
      float d = std::hypot(x - 47.5f, y - 47.5f) / 48.0f;
      uint32_t a = d >= 1 ? 0 : uint32_t(255 * (1 - d * d));
      f.sprite[size_t(y) * 96 + x] = a << 24 | uint32_t(x * 2) << 16 | uint32_t(y * 2) << 8 | 0x80;
    }
  f.particle.resize(16 * 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      float d = std::hypot(x - 7.5f, y - 7.5f) / 8.0f;
      uint32_t a = d >= 1 ? 0 : uint32_t(255 * (1 - d));
      f.particle[size_t(y) * 16 + x] = a << 24 | 0xFFE0C0;
    }
  for (int i = 0; i < 200; ++i)
    f.sprites.push_back({float(Random(seed) % (Width - 96)), float(Random(seed) % (Height - 96)), 0xC0000000u | (Random(seed) & 0xFFFFFF) | 0x404040});
  for (int i = 0; i < 1000; ++i)
    f.particles.push_back({float(Random(seed) % (Width - 16)), float(Random(seed) % (Height - 16)), 0xFF000000u | (Random(seed) & 0xFFFFFF)});
  for (int i = 0; i < 3000; ++i) {
    float x = float(Random(seed) % (Width - 16)), y = float(Random(seed) % Height);
    f.spans.push_back({x, x + 1 + float(Random(seed) % 12), y, (Random(seed) & 0xFF) << 24 | 0xFFFFFF});
  }
  return f;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

template <typename Fn>
double MeasureMedian(Fn&& frame) {
  for (int i = 0; i < Warmup; ++i) frame();
  std::vector<double> times;
  for (int i = 0; i < Frames; ++i) {
    auto start = std::chrono::steady_clock::now();
    frame();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return Median(times);
}

// ---- the software device -----------------------------------------------------------

struct TOurs {
  std::shared_ptr<TSoftDraw> draw;
  std::shared_ptr<TSoftSurface> back, zbuffer, background, sprite, particle;
  std::shared_ptr<TSoft3D> d3d;
  std::shared_ptr<TSoftDevice> device;
  std::vector<TDevVertexLitXyz> particleVerts;
  std::vector<TDevVertexTransformed> spanVerts;
};

std::shared_ptr<TSoftSurface> MakeTexture(TSoftDraw& draw, const std::vector<uint32_t>& pixels, uint32_t w, uint32_t h) {
  TDevSurfaceDesc d;
  d.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  d.caps = DDSCAPS_TEXTURE;
  d.width = w;
  d.height = h;
  d.pixelFormat = PixelFormatArgb8888();
  std::shared_ptr<TSoftSurface> s;
  if (DevFailed(draw.CreateSurface(d, s))) return nullptr;
  for (uint32_t y = 0; y < h; ++y) std::memcpy(s->Pixels() + y * s->Pitch(), &pixels[size_t(y) * w], w * 4);
  return s;
}

bool SetUpOurs(TOurs& o, const TFrameList& f) {
  auto adapter = std::make_shared<TSoftAdapter>();
  if (DevFailed(TSoftDraw::Create(adapter, o.draw))) return false;
  TDevSurfaceDesc d;
  d.flags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  d.caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
  d.width = Width;
  d.height = Height;
  if (DevFailed(o.draw->CreateSurface(d, o.back))) return false;
  if (DevFailed(TSoft3D::Create(o.draw, o.d3d))) return false;
  std::vector<TDevDeviceDesc> devices;
  o.d3d->EnumDevices(devices);
  if (DevFailed(o.d3d->CreateDevice(devices[0].deviceGuid, o.back, o.device))) return false;
  o.background = MakeTexture(*o.draw, f.background, Width, Height);
  o.sprite = MakeTexture(*o.draw, f.sprite, 96, 96);
  o.particle = MakeTexture(*o.draw, f.particle, 16, 16);
  // The 2D state of the drawing code: no lighting, culling or depth, alpha test >= 1.
  TSoftDevice& dev = *o.device;
  dev.SetRenderState(D3DRENDERSTATE_LIGHTING, 0);
  dev.SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  dev.SetRenderState(D3DRENDERSTATE_ZENABLE, 0);
  dev.SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, 1);
  dev.SetRenderState(D3DRENDERSTATE_ALPHAREF, 1);
  dev.SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL);
  dev.SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  dev.SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  dev.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
  dev.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
  TDevMatrix proj;
  float l = 0.5f, r = Width + 0.5f, t = 0.5f, b = Height + 0.5f;
  proj.m[0][0] = 2 / (r - l);
  proj.m[1][1] = 2 / (t - b);
  proj.m[3][0] = (l + r) / (l - r);
  proj.m[3][1] = (t + b) / (b - t);
  dev.SetTransform(D3DTRANSFORMSTATE_PROJECTION, proj);
  for (const auto& p : f.particles) {
    TDevVertexLitXyz c[4] = {{p.x, p.y, 0.1f, 0, p.tint, 0, 0, 0}, {p.x + 16, p.y, 0.1f, 0, p.tint, 0, 1, 0},
                             {p.x + 16, p.y + 16, 0.1f, 0, p.tint, 0, 1, 1}, {p.x, p.y + 16, 0.1f, 0, p.tint, 0, 0, 1}};
    for (int k : {0, 1, 2, 0, 2, 3}) o.particleVerts.push_back(c[k]);
  }
  for (const auto& s : f.spans) {
    o.spanVerts.push_back({s.x0, s.y, 0.1f, 0.5f, s.color, 0, 0, 0});
    o.spanVerts.push_back({s.x1, s.y, 0.1f, 0.5f, s.color, 0, 0, 0});
  }
  return o.background && o.sprite && o.particle;
}

void BlendMode(TSoftDevice& d, int mode) {
  d.SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, mode == 1 ? 0 : 1);
  d.SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  d.SetRenderState(D3DRENDERSTATE_DESTBLEND, mode == 2 ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
  d.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  d.SetTextureStageState(0, D3DTSS_ALPHAARG1, mode == 1 ? D3DTA_TFACTOR : D3DTA_TEXTURE);
  d.SetTextureStageState(0, D3DTSS_ALPHAOP, mode == 1 ? D3DTOP_SELECTARG1 : D3DTOP_MODULATE);
}

// Parts of the frame, for the breakdown: 1 background, 2 sprites, 4 particles, 8 spans.
void DrawOurs(TOurs& o, const TFrameList& f, int parts = 15) {
  TSoftDevice& d = *o.device;
  d.BeginScene();
  if (parts & 1) {
  BlendMode(d, 1);
  d.SetTexture(0, o.background);
  const uint32_t white = 0xFFFFFFFF;
  TDevVertexLitXyz bg[4] = {{0, 0, 0.1f, 0, white, 0, 0, 0}, {Width, 0, 0.1f, 0, white, 0, 1, 0},
                            {Width, Height, 0.1f, 0, white, 0, 1, 1}, {0, Height, 0.1f, 0, white, 0, 0, 1}};
  d.DrawPrimitive(D3DPT_TRIANGLEFAN, DevFvfLitXyz, bg, 4, 0);
  }
  BlendMode(d, 0);
  d.SetTexture(0, o.sprite);
  for (const auto& s : f.sprites) {
    if (!(parts & 2)) break;
    TDevVertexLitXyz q[4] = {{s.x, s.y, 0.1f, 0, s.tint, 0, 0, 0}, {s.x + 96, s.y, 0.1f, 0, s.tint, 0, 1, 0},
                             {s.x + 96, s.y + 96, 0.1f, 0, s.tint, 0, 1, 1}, {s.x, s.y + 96, 0.1f, 0, s.tint, 0, 0, 1}};
    d.DrawPrimitive(D3DPT_TRIANGLEFAN, DevFvfLitXyz, q, 4, 0);
  }
  BlendMode(d, 2);
  d.SetTexture(0, o.particle);
  if (parts & 4)
    d.DrawPrimitive(D3DPT_TRIANGLELIST, DevFvfLitXyz, o.particleVerts.data(), uint32_t(o.particleVerts.size()), 0);
  BlendMode(d, 0);
  d.SetTexture(0, nullptr);
  for (size_t i = 0; (parts & 8) && i < o.spanVerts.size(); i += 256)
    d.DrawPrimitive(D3DPT_LINELIST, DevFvfTransformed, &o.spanVerts[i], uint32_t(std::min<size_t>(256, o.spanVerts.size() - i)), 0);
  d.EndScene();
}

// 10,000 rotated 8x8 quads of a glowing-point texture, additive, with tints and fading
// alpha, in the particle renderer's corner order (0, 1, 2), (1, 3, 2).
struct TParticleFrame {
  std::shared_ptr<TSoftSurface> spark;
  std::vector<TDevVertexLitXyz> vertices;
  std::vector<uint16_t> indices;
};

bool SetUpParticleFrame(TOurs& o, TParticleFrame& pf) {
  std::vector<uint32_t> pixels(64);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      double d = std::hypot(x - 3.5, y - 3.5) / 4.0;
      uint32_t a = uint32_t(std::pow(std::max(0.0, 1.0 - d), 1.5) * 255);
      pixels[size_t(y) * 8 + x] = a << 24 | 0xFFFFFF;
    }
  pf.spark = MakeTexture(*o.draw, pixels, 8, 8);
  uint32_t seed = 11;
  const float corners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}};
  for (int i = 0; i < 10000; ++i) {
    float px = 12 + float(Random(seed) % 100000) / 100000.0f * (Width - 24);
    float py = 12 + float(Random(seed) % 100000) / 100000.0f * (Height - 24);
    float angle = float(Random(seed) % 6283) / 1000.0f, ux = std::sin(angle), uy = -std::cos(angle);
    uint32_t alpha = 40 + Random(seed) % 216;
    uint32_t tint = alpha << 24 | (i % 2 ? 0xFFE680u : 0x99CCFFu);
    for (const auto& c : corners)
      pf.vertices.push_back({px - c[0] * 8 * uy - c[1] * 8 * ux, py + c[0] * 8 * ux - c[1] * 8 * uy, 0.1f, 0, tint, 0,
                             c[0] + 0.5f, c[1] + 0.5f});
    uint16_t b = uint16_t(i * 4);
    for (uint16_t k : {0, 1, 2, 1, 3, 2}) pf.indices.push_back(uint16_t(b + k));
  }
  return pf.spark != nullptr;
}

void DrawParticleFrame(TOurs& o, const TParticleFrame& pf, bool linear) {
  TSoftDevice& d = *o.device;
  d.BeginScene();
  BlendMode(d, 2);
  d.SetTextureStageState(0, D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT);
  d.SetTextureStageState(0, D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT);
  d.SetTexture(0, pf.spark);
  d.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, DevFvfLitXyz, pf.vertices.data(), uint32_t(pf.vertices.size()),
                         pf.indices.data(), uint32_t(pf.indices.size()), 0);
  d.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
  d.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
  d.EndScene();
}

// ---- SDL2's software renderer --------------------------------------------------------

struct TSdl {
  SDL_Surface* target = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture *background = nullptr, *sprite = nullptr, *particle = nullptr;
  std::vector<SDL_Vertex> particleVerts, spanVerts;
};

SDL_Texture* SdlTexture(SDL_Renderer* r, const std::vector<uint32_t>& pixels, int w, int h, SDL_BlendMode mode) {
  SDL_Texture* t = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, w, h);
  if (!t) return nullptr;
  SDL_UpdateTexture(t, nullptr, pixels.data(), w * 4);
  SDL_SetTextureBlendMode(t, mode);
  return t;
}

SDL_Color Color(uint32_t argb) {
  return {Uint8(argb >> 16), Uint8(argb >> 8), Uint8(argb), Uint8(argb >> 24)};
}

void QuadVerts(std::vector<SDL_Vertex>& out, float x, float y, float w, float h, uint32_t tint) {
  SDL_Color c = Color(tint);
  SDL_Vertex v[4] = {{{x, y}, c, {0, 0}}, {{x + w, y}, c, {1, 0}}, {{x + w, y + h}, c, {1, 1}}, {{x, y + h}, c, {0, 1}}};
  for (int k : {0, 1, 2, 0, 2, 3}) out.push_back(v[k]);
}

bool SetUpSdl(TSdl& s, const TFrameList& f) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  s.target = SDL_CreateRGBSurfaceWithFormat(0, Width, Height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s.target) return false;
  s.renderer = SDL_CreateSoftwareRenderer(s.target);
  if (!s.renderer) return false;
  s.background = SdlTexture(s.renderer, f.background, Width, Height, SDL_BLENDMODE_NONE);
  s.sprite = SdlTexture(s.renderer, f.sprite, 96, 96, SDL_BLENDMODE_BLEND);
  s.particle = SdlTexture(s.renderer, f.particle, 16, 16, SDL_BLENDMODE_ADD);
  for (const auto& p : f.particles) QuadVerts(s.particleVerts, p.x, p.y, 16, 16, p.tint);
  for (const auto& sp : f.spans) QuadVerts(s.spanVerts, sp.x0, sp.y, sp.x1 - sp.x0, 1, sp.color);
  return s.background && s.sprite && s.particle;
}

void DrawSdl(TSdl& s, const TFrameList& f, int parts = 15) {
  std::vector<SDL_Vertex> quad;
  QuadVerts(quad, 0, 0, Width, Height, 0xFFFFFFFF);
  if (parts & 1) SDL_RenderGeometry(s.renderer, s.background, quad.data(), 6, nullptr, 0);
  for (const auto& sp : f.sprites) {
    if (!(parts & 2)) break;
    quad.clear();
    QuadVerts(quad, sp.x, sp.y, 96, 96, sp.tint);
    SDL_RenderGeometry(s.renderer, s.sprite, quad.data(), 6, nullptr, 0);
  }
  if (parts & 4) SDL_RenderGeometry(s.renderer, s.particle, s.particleVerts.data(), int(s.particleVerts.size()), nullptr, 0);
  SDL_SetRenderDrawBlendMode(s.renderer, SDL_BLENDMODE_BLEND);
  if (parts & 8) SDL_RenderGeometry(s.renderer, nullptr, s.spanVerts.data(), int(s.spanVerts.size()), nullptr, 0);
  SDL_RenderFlush(s.renderer);
}

}  // namespace

int main(int argc, char** argv) {
  // "particles": the particle frame alone; "frame": the device's standard frame alone
  // (both for profiling and instruction counts).
  bool particlesOnly = argc > 1 && std::strcmp(argv[1], "particles") == 0;
  bool frameOnly = argc > 1 && std::strcmp(argv[1], "frame") == 0;
  RunOnOneCore();
  TFrameList frame = MakeFrame();
  TOurs ours;
  TSdl sdl;
  if (!SetUpOurs(ours, frame) || !SetUpSdl(sdl, frame)) {
    std::fprintf(stderr, "device_frame_bench: set-up failed: %s\n", SDL_GetError());
    return 1;
  }
  if (particlesOnly) {
    TParticleFrame particles;
    if (!SetUpParticleFrame(ours, particles)) return 1;
    for (bool linear : {true, false})
      std::printf("particles %-8s: median %.3f ms per frame\n", linear ? "bilinear" : "point",
                  MeasureMedian([&] { DrawParticleFrame(ours, particles, linear); }));
    return 0;
  }
  if (frameOnly) {
    std::printf("software device : median %.3f ms per frame\n", MeasureMedian([&] { DrawOurs(ours, frame); }));
    return 0;
  }
  double oursMs = MeasureMedian([&] { DrawOurs(ours, frame); });
  double sdlMs = MeasureMedian([&] { DrawSdl(sdl, frame); });
  // How far the two renderers agree, part by part from a black target (both sample
  // the nearest texel; their rounding rules differ).
  size_t differing[4] = {};
  int largest[4] = {};
  for (int part = 0; part < 4; ++part) {
    std::memset(ours.back->Pixels(), 0, size_t(ours.back->Pitch()) * Height);
    SDL_FillRect(sdl.target, nullptr, 0);
    DrawOurs(ours, frame, 1 << part);
    DrawSdl(sdl, frame, 1 << part);
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) {
        uint32_t a, b;
        std::memcpy(&a, ours.back->Pixels() + y * ours.back->Pitch() + x * 4, 4);
        std::memcpy(&b, static_cast<uint8_t*>(sdl.target->pixels) + y * sdl.target->pitch + x * 4, 4);
        int worst = 0;
        for (int shift = 0; shift < 24; shift += 8) worst = std::max(worst, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
        differing[part] += worst > 2;
        largest[part] = std::max(largest[part], worst);
      }
  }
  std::printf("standard frame 1024x768: 200 sprites 96x96 blended+tinted, 1000 additive 16x16 particles, 3000 text spans\n");
  std::printf("software device : median %.3f ms per frame\n", oursMs);
  std::printf("SDL2 software    : median %.3f ms per frame\n", sdlMs);
  std::printf("ratio ours/SDL   : %.3f\n", oursMs / sdlMs);
  const char* names[] = {"background", "sprites", "particles", "text spans"};
  for (int part = 0; part < 4; ++part)
    std::printf("  %-10s: ours %.3f ms, SDL %.3f ms; pixels differing by more than 2 levels: %zu (largest %d)\n",
                names[part], MeasureMedian([&] { DrawOurs(ours, frame, 1 << part); }),
                MeasureMedian([&] { DrawSdl(sdl, frame, 1 << part); }), differing[part], largest[part]);
  TParticleFrame particles;
  if (!SetUpParticleFrame(ours, particles)) {
    std::fprintf(stderr, "device_frame_bench: particle set-up failed\n");
    return 1;
  }
  std::printf("particle frame: 10000 rotated 8x8 additive quads, device only\n");
  for (bool linear : {true, false})
    std::printf("  %-8s: median %.3f ms per frame\n", linear ? "bilinear" : "point",
                MeasureMedian([&] { DrawParticleFrame(ours, particles, linear); }));
  SDL_DestroyRenderer(sdl.renderer);
  SDL_FreeSurface(sdl.target);
  return 0;
}
