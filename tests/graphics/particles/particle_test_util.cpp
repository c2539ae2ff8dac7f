#include "graphics/particles/particle_test_util.h"

#include "graphics/particles/particle_functions.h"
#include "platform/random.h"
#include "script/lua/lua.h"

std::string GlobalText(TLuaParticleSystem& system, const char* name) {
  lua_State* L = system.GetState();
  lua_pushstring(L, name);
  lua_rawget(L, LUA_GLOBALSINDEX);
  std::string text = lua_isnil(L, -1)       ? "nil"
                      : lua_isboolean(L, -1) ? (lua_toboolean(L, -1) ? "true" : "false")
                      : lua_tostring(L, -1)  ? lua_tostring(L, -1)
                                             : "?";
  lua_pop(L, 1);
  return text;
}

TString DemoEffect(const char* name) { return TString::Printf("::%s/assets/fx/%s", TARVELON_SOURCE_DIR, name); }

std::vector<float> LiveRecords(const TLuaParticleSystem& system) {
  const TParticleCollection& particles = system.GetCollection();
  std::vector<float> records;
  for (int32_t i = particles.FirstLive(); i != TParticleCollection::None; i = particles.NextLive(i)) {
    const float* p = particles.GetRecord(i);
    records.insert(records.end(), p, p + particles.GetFloatsPerRecord());
  }
  return records;
}

void AddEmitter(TLuaParticleSystem& system) {
  auto locus = std::make_shared<TEmitterLocus>();
  auto up = std::make_shared<TEmitterUp>();
  locus->Set(TVec2(100, 80));
  up->Set(TVec2(0, -1));
  system.AddExternalFunction("dLocus", locus);
  system.AddExternalFunction("dUp", up);
}

std::vector<std::vector<float>> RunEffectSteps(const TString& spec, int steps, const std::array<uint32_t, 4>& seed,
                                               TEvaluation evaluation, uint32_t* nextRandom) {
  TLuaParticleSystem system;
  system.SetPlainEvaluation(evaluation == TEvaluation::Plain);
  system.SetBlockEvaluation(evaluation == TEvaluation::Blocks);
  TParticleRandom::Seed(seed.data());
  AddEmitter(system);
  std::vector<std::vector<float>> records;
  if (!system.Load(spec)) return records;
  for (int i = 0; i < steps; ++i) {
    system.Update(12);
    records.push_back(LiveRecords(system));
  }
  if (nextRandom) *nextRandom = TParticleRandom::Get().GenRand();
  return records;
}
