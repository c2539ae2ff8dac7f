// 10,000 live particles of a sparkle-like effect (velocity, gravity, age, colour fade,
// spin, expiry) spread over a 1024x768 screen, each an 8x8 textured quad blended
// additively. Per frame: one 12 ms update (the script's Update, then the animation stream
// on every particle, refilling what expired) and one draw (vertices, then the software
// device's rasteriser). Prints the median milliseconds of each part, with the plain
// stream evaluation for comparison, on one core. The effect's 8x8 spark is small
// enough for the loops that hold a texture in registers; a second run draws a 16x16
// texture at half scale (the same 8x8 quads) to show what larger images cost.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "graphics/display/display_rig.h"
#include "graphics/particles/lua_particle_system.h"
#include "graphics/particles/particle_test_util.h"
#include "graphics/renderer.h"
#include "one_core.h"

namespace {

constexpr int Warmup = 20, Frames = 200;
constexpr uint32_t Count = 10000;

const char* const Effect =
    "pVelocity = Allocate(2) pAge = Allocate(1) pLife = Allocate(1) pAngle = Allocate(1) "
    "SetNumParticles(10000) SetBlendMode(kBlendAdditiveAlpha) "
    "pPosition:Init(dLocus + Vec2(fRange(-500, 500), fRange(-370, 370))) "
    "pVelocity:Init(f2dRadius(fRange(10, 40))) "
    "pLife:Init(fRange(2000, 6000)) "
    "pColor:Init(fPick(Color(1, 0.9, 0.5, 1), Color(0.6, 0.8, 1, 1))) "
    "pAngle:Init(fRange(0, 6.28)) "
    "SetUpGravity(10) "
    "pAge:Anim(pAge + fAge()) "
    "pPosition:Anim(pPosition + fTimeScale(pVelocity)) "
    "pAngle:Anim(pAngle + fTimeScale(1.5)) "
    "pUp:Anim(f2dRotation(pAngle)) "
    "pColor:Anim(fAlpha(pColor, fFade(pAge, 0, 300, 1, 1500, 0.6, 3000, 0))) "
    "Anim(fExpire(fLess(pLife, pAge))) "
    "function Update(s) Spawn(10000 - GetParticleCount()) end";

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

struct TResult {
  double update, vertices, draw;
  uint32_t fewestLive;  // after an update, which expires some of the refilled particles
};

TResult Run(bool plain, const char* texture, const char* scale = "") {
  TDisplayRig rig;
  rig.Window(1024, 768);
  TRenderer& renderer = *TRenderer::GetInstance();
  renderer.PushClipRect(TRect(0, 0, 1024, 768));
  TLuaParticleSystem system;
  system.SetPlainEvaluation(plain);
  auto locus = std::make_shared<TEmitterLocus>();
  locus->Set(TVec2(512, 384));
  system.AddExternalFunction("dLocus", locus);
  system.Load(TString(Effect) + scale);
  system.SetTexture(DemoEffect(texture));
  auto& renderer2d = static_cast<T2dParticleRenderer&>(system.GetRenderer());
  std::vector<double> update, vertices, draw;
  uint32_t live = Count;
  for (int frame = 0; frame < Warmup + Frames; ++frame) {
    auto t0 = Clock::now();
    system.Update(12);
    auto t1 = Clock::now();
    renderer2d.WriteVertices(TVec3(0, 0, 0), 1.0f, system.GetCollection());
    auto t2 = Clock::now();
    renderer.BeginDraw(false);
    renderer.Begin2d();
    renderer.FillRect(TRect(0, 0, 1024, 768), TColor{0, 0, 0, 1});
    auto t3 = Clock::now();
    system.Draw(TVec3(0, 0, 0));
    auto t4 = Clock::now();
    renderer.End2d();
    renderer.EndDraw(false);
    if (frame < Warmup) continue;
    live = std::min(live, uint32_t(system.GetParticleCount()));
    update.push_back(Ms(t0, t1));
    vertices.push_back(Ms(t1, t2));
    draw.push_back(Ms(t3, t4));
  }
  return {Median(update), Median(vertices), Median(draw), live};
}

}  // namespace

int main() {
  RunOnOneCore();
  TResult fast = Run(false, "spark"), plain = Run(true, "spark");
  TResult larger = Run(false, "smoke", " pScale:Init(0.5)");
  std::printf("10000 live particles (at least %u after each update), median ms per frame on one core\n",
              fast.fewestLive);
  std::printf("  update (fast streams)      %7.3f\n", fast.update);
  std::printf("  update (plain streams)     %7.3f\n", plain.update);
  std::printf("  vertices                   %7.3f\n", fast.vertices);
  std::printf("  draw (vertices + raster)   %7.3f\n", fast.draw);
  std::printf("  update + vertices          %7.3f\n", fast.update + fast.vertices);
  std::printf("  update + draw              %7.3f\n", fast.update + fast.draw);
  std::printf("  draw, 16x16 texture        %7.3f\n", larger.draw);
  std::printf("  update + draw, 16x16       %7.3f\n", larger.update + larger.draw);
  return 0;
}
