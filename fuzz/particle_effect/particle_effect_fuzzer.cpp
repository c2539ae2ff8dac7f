// Effect scripts on arbitrary bytes: loaded into a particle system with the effect sprite's
// two externals, then stepped a few times, the streams run the fast way, then the plain way.
// The script language can loop for ever, so texts with loop words (or ways to compile more
// code) are skipped, the Lua heap is capped and SetNumParticles is held to a few hundred
// particles: one input runs in milliseconds. Run with -timeout for the rest (recursion).
//   corpus: fuzz/particle_effect/corpus, and the demo's effects in assets/fx as a second folder

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "graphics/particles/lua_particle_system.h"
#include "graphics/particles/particle_functions.h"
#include "script/lua/lauxlib.h"
#include "script/lua/lua.h"

namespace {

constexpr size_t HeapCap = 32 << 20;
size_t gHeap = 0;

void* CappedAlloc(void*, void* block, size_t oldSize, size_t newSize, int, void*) {
  if (newSize == 0) {
    free(block);
    gHeap -= oldSize;
    return nullptr;
  }
  if (newSize > oldSize && gHeap + (newSize - oldSize) > HeapCap) return nullptr;
  void* r = realloc(block, newSize);
  if (r) gHeap = gHeap - oldSize + newSize;
  return r;
}

bool Contains(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }

const char* const Unbounded[] = {"while", "repeat", "for", "load", "dostring", "dofile", "require", "coroutine"};

// Keeps the collection small however many particles the script asks for.
const char* const LimitParticles =
    "local set = SetNumParticles "
    "SetNumParticles = function(n) if type(n) == 'number' and n > 300 then n = 300 end return set(n) end";

void Run(const std::string& text) {
  TLuaParticleSystem system;
  auto locus = std::make_shared<TEmitterLocus>();
  auto up = std::make_shared<TEmitterUp>();
  locus->Set(TVec2(100, 80));
  up->Set(TVec2(0, -1));
  system.AddExternalFunction("dLocus", locus);
  system.AddExternalFunction("dUp", up);
  if (lua_State* L = system.GetState()) {
    if (luaL_loadbuffer(L, LimitParticles, strlen(LimitParticles), "limit") == 0) lua_pcall(L, 0, 0, 0);
    lua_settop(L, 0);
  }
  if (!system.Load(TString(text.data(), text.size()))) return;
  system.HasFastStreams();
  for (uint32_t ms : {12u, 0u, 40u}) system.Update(ms);
  system.SetPlainEvaluation(true);
  for (uint32_t ms : {12u, 1000u}) system.Update(ms);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool hooked = [] {
    lua_setallochook(CappedAlloc, nullptr);
    return true;
  }();
  (void)hooked;
  std::string text(reinterpret_cast<const char*>(data), size);
  // A ".lua" in the text would make it a file name.
  if (Contains(text, ".lua")) return 0;
  for (const char* word : Unbounded)
    if (Contains(text, word)) return 0;
  Run(text);
  return 0;
}
