#pragma once
// Helpers of the particle tests: reading script globals, and running an effect for a
// number of fixed 12 ms steps from a seed with the emitter at a fixed place.

#include <array>
#include <string>
#include <vector>

#include "graphics/particles/lua_particle_system.h"

// The global's value as Lua's tostring would write it ("nil" when unset).
std::string GlobalText(TLuaParticleSystem& system, const char* name);

// The file spec of a demo effect or its texture, by its name in assets/fx: the tests run the
// effects the game ships.
TString DemoEffect(const char* name);

// Gives the system the effect sprite's externals "dLocus" (100, 80) and "dUp" (0, -1).
void AddEmitter(TLuaParticleSystem& system);

// The live particles' records, newest first, one after the other.
std::vector<float> LiveRecords(const TLuaParticleSystem& system);

// The ways a system may run its streams: the plain protocol only, the fast form particle by
// particle, or the fast form with the animation stream over blocks where it can.
enum class TEvaluation { Plain, Particles, Blocks };

// Runs the effect (a file spec or Lua text) with the emitter at (100, 80) pointing up:
// after seeding the shared generator with the words, `steps' updates of 12 ms. Answers the
// live records after every step; nextRandom, when given, gets the shared generator's next
// word after the last step.
std::vector<std::vector<float>> RunEffectSteps(const TString& spec, int steps, const std::array<uint32_t, 4>& seed,
                                               TEvaluation evaluation = TEvaluation::Blocks,
                                               uint32_t* nextRandom = nullptr);
