// The Lua particle system: the particle library and the compiler of expressions, emission
// and updates, the sample effects (same positions for the same seed, the fast streams equal
// to the plain ones), and bad effect scripts.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "graphics/graphics_test_util.h"
#include "graphics/particles/lua_particle_system.h"
#include "graphics/particles/particle_test_util.h"
#include "platform/settings.h"
#include "script/lua/lua.h"

namespace {

class ParticleSystem : public ::testing::Test {
 protected:
  ~ParticleSystem() override { ClearConfig(); }

  // Runs Lua text in the system's state; false on a script error.
  bool Run(TLuaParticleSystem& system, const char* text) { return system.Load(text); }

  TGraphicsTestLog mLog;
};

// The class names of a stream's functions, in order.
std::vector<std::string> Names(const TParticleStream& stream) {
  std::vector<std::string> names;
  for (const auto& entry : stream) names.push_back(entry.function->GetClassName());
  return names;
}

}  // namespace

TEST_F(ParticleSystem, StartsWithTheRenderersMembersAndLibrary) {
  TLuaParticleSystem system;
  EXPECT_EQ(system.GetRecordSize(), 10u);
  ASSERT_TRUE(Run(system,
                  "gParts = {GetParticleMemberParts(pColor)} gBlend = kBlendSubtractive "
                  "gDone = GUI_Slider(7) r, g = GUI_ColorPick(1, 2, 3, 4)"));
  EXPECT_EQ(GlobalText(system, "gBlend"), "3");
  EXPECT_EQ(GlobalText(system, "gDone"), "7");
  EXPECT_EQ(GlobalText(system, "g"), "2");
  ASSERT_TRUE(Run(system, "gOffset = gParts[1] gWidth = gParts[2]"));
  EXPECT_EQ(GlobalText(system, "gOffset"), "5");
  EXPECT_EQ(GlobalText(system, "gWidth"), "4");
}

TEST_F(ParticleSystem, MemberAnimationCompilesToPostfixStream) {
  TLuaParticleSystem system;
  ASSERT_TRUE(Run(system, "pVelocity = Allocate(2) pPosition:Anim(pPosition + pVelocity)"));
  EXPECT_EQ(Names(system.GetAnimStream()),
            (std::vector<std::string>{"TParticleFunction", "TParticleFunction", "FAdd", "TParticleFunction",
                                      "TParticleFunction", "FAssign"}));
  EXPECT_EQ(system.GetAnimStream()[2].argc, 2);
  EXPECT_EQ(system.GetAnimStream()[5].argc, 3);
  EXPECT_TRUE(system.GetInitStream().empty());
}

TEST_F(ParticleSystem, TablesCompileAsConstantsOrVectorCalls) {
  struct TCase {
    const char* value;
    const char* width;
    std::vector<std::string> stream;
  };
  const TCase cases[] = {
      {"{1, 2, 3}", "3", {"TParticleFunction"}},
      {"{1, 'x'}", "1", {"TParticleFunction", "FVec"}},
      {"Value(5)", "nil", {}},
      {"5", "1", {"TParticleFunction"}},
      {"{1, 2, 3, 4, 5}", "nil", {}},
      {"Vec2(fAge(), 2)", "1", {"FAge", "TParticleFunction", "FVec"}},
      {"pUp[2]", "1", {"TParticleFunction", "TParticleFunction", "FIndex"}},
      {"fNothing()", "nil", {}},
  };
  for (const TCase& c : cases) {
    TLuaParticleSystem system;
    ASSERT_TRUE(Run(system, ("function fNothing(...) return CreateValue('fNothing', arg) end "
                             "gWidth = CompileParameters({" + std::string(c.value) + "})[1] AccumulateAnimStream()")
                                .c_str()))
        << c.value;
    EXPECT_EQ(GlobalText(system, "gWidth"), c.width) << c.value;
    EXPECT_EQ(Names(system.GetAnimStream()), c.stream) << c.value;
  }
  EXPECT_NE(mLog.Text().find("Type not found: fNothing"), std::string::npos);
}

TEST_F(ParticleSystem, FractionalEmissionCarriesItsRemainder) {
  TLuaParticleSystem system;
  ASSERT_TRUE(Run(system, "SetNumParticles(10)"));
  std::vector<int32_t> counts;
  for (int i = 0; i < 3; ++i) {
    system.CreateParticles(0.5);
    counts.push_back(system.GetParticleCount());
  }
  EXPECT_EQ(counts, (std::vector<int32_t>{1, 1, 2}));
  system.CreateParticles(2.5);
  EXPECT_EQ(system.GetParticleCount(), 4);  // -0.5 + 2.5
  system.CreateParticles(100);  // stops at the capacity
  EXPECT_EQ(system.GetParticleCount(), 10);
  system.CreateParticles(std::nan(""));  // ignored, and later calls still work
  // What found no free record stays owed: the new records fill at the next call.
  ASSERT_TRUE(Run(system, "SetNumParticles(4)"));
  EXPECT_EQ(system.GetParticleCount(), 0);
  system.CreateParticles(1);
  EXPECT_EQ(system.GetParticleCount(), 4);
}

TEST_F(ParticleSystem, NewParticlesStartFromTheDefaultRecordAndTheInitStream) {
  TLuaParticleSystem system;
  ASSERT_TRUE(Run(system,
                  "SetNumParticles(2) pAge = Allocate(1) pScale:Init(3) pPosition:Init(Vec2(1, 2) * 2) "
                  "pAge:Init(fAge() + 7) pFrame:Init(5)"));
  system.CreateParticles(1);
  const TParticleCollection& particles = system.GetCollection();
  ASSERT_EQ(particles.GetLiveCount(), 1u);
  const float* p = particles.GetRecord(particles.FirstLive());
  // The record was sized before pAge existed: the write past it is refused, which stops
  // the stream before pFrame.
  EXPECT_EQ(std::vector<float>(p, p + 10), (std::vector<float>{2, 4, 0, -1, 3, 1, 1, 1, 1, 0}));
}

TEST_F(ParticleSystem, UpdateRunsTheScriptAndExpiresParticles) {
  TLuaParticleSystem system;
  ASSERT_TRUE(Run(system,
                  "SetNumParticles(8) pAge = Allocate(1) SetNumParticles(8) "
                  "pAge:Anim(pAge + fAge()) Anim(fExpire(fLess(30, pAge))) "
                  "function Update(s) gSeconds = s Spawn(2) end"));
  system.Update(12);
  EXPECT_EQ(GlobalText(system, "gSeconds"), "0.012");
  EXPECT_EQ(system.GetParticleCount(), 2);
  system.Update(12);
  EXPECT_EQ(system.GetParticleCount(), 4);
  system.Update(12);  // from now on the oldest two pass 30 ms of age at every step
  EXPECT_EQ(system.GetParticleCount(), 4);
  system.Update(12);
  EXPECT_EQ(system.GetParticleCount(), 4);
  EXPECT_FALSE(system.IsDone());
  ASSERT_TRUE(Run(system, "function Update(s) Done() end"));
  system.Update(12);
  EXPECT_TRUE(system.IsDone());
}

TEST_F(ParticleSystem, SampleEffectsGiveTheSamePositionsForTheSameSeed) {
  for (const char* effect : {"sparkles.lua", "smoke.lua"}) {
    auto first = RunEffectSteps(DemoEffect(effect), 40, {1, 2, 3, 4});
    auto again = RunEffectSteps(DemoEffect(effect), 40, {1, 2, 3, 4});
    auto other = RunEffectSteps(DemoEffect(effect), 40, {9, 9, 9, 9});
    ASSERT_EQ(first.size(), 40u) << effect;
    EXPECT_GT(first.back().size(), 20u * 10u) << effect;
    EXPECT_EQ(first, again) << effect;
    EXPECT_NE(first, other) << effect;
  }
}

// An animation that draws, expires, and writes at an offset that leaves the record once a
// particle is 300 ms old (pJitter and pVelocity are its last three floats), which stops
// its stream before the draw.
const char* const StoppingEffect =
    "pAge = Allocate(1) pLife = Allocate(1) pJitter = Allocate(1) RequireVelocity() SetNumParticles(300) "
    "pPosition:Init(dLocus + f2dRadius(fRange(0, 6))) pLife:Init(fRange(200, 900)) "
    "pVelocity:Init(Vec2(fRange(-20, 20), -40)) "
    "pAge:Anim(pAge + fAge()) "
    "Anim(fExpire(fLess(pLife, pAge))) "
    "Anim(CreateValue('assign', {pJitter, pAge / 100 + GetParticleMemberParts(pJitter), 1})) "
    "pJitter:Anim(pJitter + fRange(-1, 1)) "
    "pPosition:Anim(pPosition + fTimeScale(pVelocity)) "
    "function Update(s) Spawn(40) end";

TEST_F(ParticleSystem, FastStreamsMatchThePlainOnes) {
  for (const char* effect : {"sparkles.lua", "smoke.lua", StoppingEffect}) {
    TString spec = std::strchr(effect, '(') ? TString(effect) : DemoEffect(effect);
    TLuaParticleSystem probe;
    AddEmitter(probe);
    ASSERT_TRUE(probe.Load(spec)) << effect << mLog.Text();
    EXPECT_TRUE(probe.HasFastStreams()) << effect;
    EXPECT_TRUE(probe.HasBlockStream()) << effect;
    uint32_t plainRandom = 0;
    auto plain = RunEffectSteps(spec, 150, {5, 6, 7, 8}, TEvaluation::Plain, &plainRandom);
    ASSERT_EQ(plain.size(), 150u);
    for (TEvaluation fast : {TEvaluation::Particles, TEvaluation::Blocks}) {
      uint32_t fastRandom = 0;
      auto records = RunEffectSteps(spec, 150, {5, 6, 7, 8}, fast, &fastRandom);
      ASSERT_EQ(records.size(), 150u);
      for (size_t step = 0; step < records.size(); ++step)
        ASSERT_EQ(records[step], plain[step]) << effect << " at step " << step
                                            << (fast == TEvaluation::Blocks ? " in blocks" : " particle by particle");
      EXPECT_EQ(fastRandom, plainRandom) << effect;
    }
  }
}

TEST_F(ParticleSystem, BadEffectsAreLoggedAndRunNothing) {
  struct TCase {
    const char* spec;
    const char* logged;
  };
  const TCase cases[] = {
      {"particles/missing.lua", "cannot load effect"},
      {"particles/bad_syntax.lua", "cannot load effect"},
      {"particles/bad_runtime.lua", "failed to run"},
  };
  for (const TCase& c : cases) {
    TLuaParticleSystem system;
    mLog.TakeNew();
    EXPECT_FALSE(system.Load(GraphicsFixture(c.spec))) << c.spec;
    std::string log = mLog.TakeNew();
    EXPECT_NE(log.find(c.logged), std::string::npos) << c.spec << ": " << log;
    EXPECT_NE(log.find(c.spec), std::string::npos) << c.spec << ": " << log;
  }
  // A failing Update is logged once and ends the effect.
  TLuaParticleSystem system;
  ASSERT_TRUE(system.Load(GraphicsFixture("particles/bad_update.lua")));
  mLog.TakeNew();
  system.Update(12);
  system.Update(12);
  EXPECT_TRUE(system.IsDone());
  std::string log = mLog.TakeNew();
  EXPECT_NE(log.find("TLuaParticleSystem::Update"), std::string::npos) << log;
  EXPECT_EQ(log.find("TLuaParticleSystem::Update", log.find("TLuaParticleSystem::Update") + 1), std::string::npos);
}

TEST_F(ParticleSystem, MemberDeclarationsAndBuffersAreBounded) {
  TLuaParticleSystem system;
  ASSERT_TRUE(Run(system, "gWide = Allocate(300) gZero = Allocate(0) gFine = Allocate(255)"));
  EXPECT_EQ(GlobalText(system, "gWide"), "nil");
  EXPECT_EQ(GlobalText(system, "gZero"), "nil");
  EXPECT_NE(GlobalText(system, "gFine"), "nil");
  // At most 255 members: the renderer's five, gFine and 249 more.
  ASSERT_TRUE(Run(system, "for i = 1, 300 do gLast = Allocate(1) end"));
  EXPECT_EQ(system.GetRecordSize(), 10u + 255u + 249u);
  ASSERT_TRUE(Run(system, "SetNumParticles(2000000000)"));
  EXPECT_EQ(system.GetCollection().GetCapacity(), 0u);
  EXPECT_NE(mLog.Text().find("are too many"), std::string::npos);
}

TEST_F(ParticleSystem, WidthPoolOfLongCallsIsBounded) {
  TLuaParticleSystem system;
  // Each fade of 6 arguments takes 6 bytes of the pool.
  size_t fits = TLuaParticleSystem::WidthPoolSize / 6;
  std::string text = "SetNumParticles(1) for i = 1, " + std::to_string(fits + 3) +
                     " do pScale:Anim(fFade(fAge(), 1, 10, 2, 10, 3)) end";
  ASSERT_TRUE(Run(system, text.c_str()));
  size_t fades = 0;
  for (const auto& entry : system.GetAnimStream()) fades += std::string(entry.function->GetClassName()) == "FFade";
  EXPECT_EQ(fades, fits);
  EXPECT_NE(mLog.Text().find("left out"), std::string::npos);
  system.CreateParticles(1);
  system.Update(12);  // the leftover assignments of the refused fades run harmlessly
}

TEST_F(ParticleSystem, OneSharedScriptKeepsEachSystemsUpdate) {
  SetConfig("lpsonescript", "1");
  auto a = std::make_unique<TLuaParticleSystem>();
  auto b = std::make_unique<TLuaParticleSystem>();
  EXPECT_EQ(a->GetState(), b->GetState());
  ASSERT_TRUE(a->Load("SetNumParticles(4) function Update(s) gA = (gA or 0) + 1 Spawn(1) end"));
  ASSERT_TRUE(b->Load("SetNumParticles(4) function Update(s) gB = (gB or 0) + 1 Spawn(2) end"));
  a->Update(12);
  b->Update(12);
  a->Update(12);
  EXPECT_EQ(GlobalText(*a, "gA"), "2");
  EXPECT_EQ(GlobalText(*a, "gB"), "1");
  EXPECT_EQ(a->GetParticleCount(), 2);
  EXPECT_EQ(b->GetParticleCount(), 2);
  std::string nameA = "Update" + std::to_string(a->GetId()), nameB = "Update" + std::to_string(b->GetId());
  EXPECT_NE(nameA, nameB);
  EXPECT_NE(GlobalText(*a, nameB.c_str()), "nil");
  b.reset();
  EXPECT_NE(GlobalText(*a, nameA.c_str()), "nil");
  EXPECT_EQ(GlobalText(*a, nameB.c_str()), "nil");
  a->Update(12);
  EXPECT_EQ(GlobalText(*a, "gA"), "3");
}
