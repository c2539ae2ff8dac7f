#pragma once
// Particle streams: the compiled form of an effect's expressions, a flat postfix sequence
// of particle functions with their argument counts, and the two ways of running one on a
// particle. RunParticleStream is the plain protocol, one virtual call per entry over the
// scratch stack. TParticleProgram is the fast form of the same stream: since the widths of
// every entry are known when the stream is built, each entry's arguments and result have
// fixed places in the scratch floats, and the program runs as a tight switch over them.
// A stream whose layout cannot be fixed (unusual functions, mismatched widths, a stack that
// would underflow or overflow) gets no program and runs the plain way; tests run both over
// the same effects and compare.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/particles/particle_functions.h"

struct TParticleStreamEntry {
  std::shared_ptr<TParticleFunction> function;
  std::vector<uint8_t>::size_type poolOffset = 0;  // widths of calls of more than 3 arguments
  uint8_t inlineWidths[3] = {};
  uint8_t argc = 0;

  // The argument widths, inline or in the pool they were stored in.
  const uint8_t* Widths(const std::vector<uint8_t>& pool) const {
    return argc <= 3 ? inlineWidths : pool.data() + poolOffset;
  }
};

using TParticleStream = std::vector<TParticleStreamEntry>;

// Runs the stream on the particle in the context: base and top start at 0; an entry whose
// arguments are on the stack takes them; a function that fails stops the stream.
void RunParticleStream(const TParticleStream& stream, TParticleContext& context, TParticleCall& call);

// The operations of the fast form, one per stream entry it can lay out.
enum TParticleOpKind : uint8_t {
  OpNone,  // the values are already in place (a vector joined from its scalars)
  OpRead,
  OpConst,
  OpAssign,
  OpTimeScale,
  OpExpire,
  OpAge,
  OpAdd,
  OpSub,
  OpMul,
  OpDiv,
  OpUnm,
  OpLt,
  OpLe,
  OpDistance,
  OpRange,
  OpPick,
  OpCycle,
  OpFade,
  OpRadius,
  OpRotation,
  OpVIndex,
  OpNewIndex,
  OpAlpha,
};

class TParticleProgram {
 public:
  // One entry of the stream with the scratch places of its arguments and result.
  struct TOp {
    uint8_t kind = 0;
    uint8_t width = 0;
    uint8_t argc = 0;
    uint16_t dst = 0;             // the result's place, which is the first argument's
    uint16_t a1 = 0, a2 = 0;      // the second and third arguments
    uint32_t args = 0;            // all argument places from offsets[args] on
    int32_t record = 0;           // a member's offset
    const float* data = nullptr;  // a constant or an emitter vector
    FOpenCycle* cycle = nullptr;
  };

  // Builds the fast form for a record of recordSize floats and the system's external
  // functions (which must outlive the program); false (and an empty program) when the stream must run the plain way.
  bool Build(const TParticleStream& stream, uint32_t recordSize, const std::vector<TParticleFunction*>& externals);
  void Reset() { mOps.clear(), mOffsets.clear(), mKeep.clear(), mValid = false; }
  bool IsValid() const { return mValid; }
  // Runs on the particle in the context with scratch floats of ParticleStackFloats; the
  // same results, random draws and failures as the plain way.
  void Run(TParticleContext& context, float* scratch) const;
  // The laid-out operations and their argument places, for forms built from this one.
  const std::vector<TOp>& GetOps() const { return mOps; }
  const std::vector<uint16_t>& GetOffsets() const { return mOffsets; }

 private:
  bool Add(const TParticleStreamEntry& entry, const uint8_t* widths, const uint16_t* starts, uint8_t base,
           uint32_t recordSize, const std::vector<TParticleFunction*>& externals, uint8_t& pushed);

  std::vector<TOp> mOps;
  std::vector<uint16_t> mOffsets;
  // The ops point into the functions (constants, cycles): the program holds them.
  std::vector<std::shared_ptr<TParticleFunction>> mKeep;
  bool mValid = false;
};
