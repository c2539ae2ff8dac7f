#pragma once
// TParticleBlockProgram: the fast form of a stream run over a block of particles at once,
// operation by operation, each operation looping over the block's lanes, with the scratch
// laid out as one row of lanes per scratch float. That takes the per-operation dispatch out
// of the per-particle work. TParticleProgram, which it is built from, is its reference.
//
// Running the operations across the block reorders the work of different particles, so the
// block form is only built when that cannot show: at most one operation draws from the
// shared random generator (the lanes then draw in particle order), and no cycle counter is
// stepped by two operations. Records are only written through their own lane. A lane whose
// operation fails (a write outside the record, an index that is no number) stops there, as
// the particle's stream would.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/particles/particle_stream.h"

class TParticleBlockProgram {
 public:
  static constexpr uint32_t Lanes = 64;

  // The particles of one run, in the order the per-particle form would take them.
  struct TBlock {
    float* records[Lanes];  // non-owning: the particles' records, valid during Run
    uint8_t alive[Lanes];   // answered by Run: 0 for a particle that expired
    uint32_t count = 0;
  };

  // False (and an empty program) when the program is not valid or the block order would
  // show in its results.
  bool Build(const TParticleProgram& program);
  void Reset();
  bool IsValid() const { return mValid; }
  // Runs the operations on the block's particles, all of the same step in milliseconds and
  // the same readable record size.
  void Run(TBlock& block, uint32_t time, uint32_t recordSize);

 private:
  // An operation with what is known of its arguments when it is built: constants that are
  // the same on every lane are read from where they are kept instead of from the rows.
  struct TBlockOp {
    TParticleProgram::TOp op;
    const float* uniformOffset = nullptr;  // an assignment's constant record offset
    uint32_t args = 0;                     // the argument sources from mSources[args] on
    bool uniformKeys = false;              // a fade whose arguments after the time are constants
  };
  // Where component i of an argument is on lane l: base[i * component + l * lane].
  struct TSource {
    const float* base = nullptr;
    uint32_t component = 0, lane = 0;
  };
  float* Row(uint32_t slot) { return mLanes.get() + size_t(slot) * Lanes; }
  void Fade(const TBlockOp& b, uint32_t count, const uint8_t* active);

  std::vector<TBlockOp> mOps;
  std::vector<uint16_t> mOffsets;
  std::vector<TSource> mSources;
  std::unique_ptr<float[]> mLanes;  // mSlots rows of Lanes floats
  uint32_t mSlots = 0;
  bool mValid = false;
};
