#include "graphics/particles/particle_block_program.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/random.h"

namespace {

constexpr uint32_t Lanes = TParticleBlockProgram::Lanes;

bool DrawsRandom(uint8_t kind) { return kind == OpRange || kind == OpPick || kind == OpRadius; }

// The arithmetic runs over every lane of a row, used or not: the rows of one operation
// never overlap, and with a fixed count the loops become vector code. Lanes past the
// block's count hold values nobody reads.
template <typename Op>
void Rows(float* __restrict d, const float* __restrict a, Op op) {
  for (uint32_t l = 0; l < Lanes; ++l) d[l] = op(d[l], a[l]);
}

template <typename Op>
void Rows(float* __restrict d, Op op) {
  for (uint32_t l = 0; l < Lanes; ++l) d[l] = op(d[l]);
}

// Component i of the w-float member at `at' of every lane's record into row i.
template <uint32_t W>
void Gather(float* __restrict d, float* const* records, int32_t at, uint32_t count) {
  for (uint32_t l = 0; l < count; ++l) {
    const float* r = records[l] + at;
    for (uint32_t i = 0; i < W; ++i) d[i * Lanes + l] = r[i];
  }
}

void Gather(float* d, float* const* records, int32_t at, uint32_t width, uint32_t count) {
  switch (width) {
    case 1: return Gather<1>(d, records, at, count);
    case 2: return Gather<2>(d, records, at, count);
    case 3: return Gather<3>(d, records, at, count);
    default: return Gather<4>(d, records, at, count);
  }
}

// Row i into component i of the member at `at' of the lanes' records; active null: all.
template <uint32_t W>
void Scatter(const float* __restrict d, float* const* records, int32_t at, uint32_t count, const uint8_t* active) {
  for (uint32_t l = 0; l < count; ++l) {
    if (active && !active[l]) continue;
    float* r = records[l] + at;
    for (uint32_t i = 0; i < W; ++i) r[i] = d[i * Lanes + l];
  }
}

void Scatter(const float* d, float* const* records, int32_t at, uint32_t width, uint32_t count,
             const uint8_t* active) {
  switch (width) {
    case 1: return Scatter<1>(d, records, at, count, active);
    case 2: return Scatter<2>(d, records, at, count, active);
    case 3: return Scatter<3>(d, records, at, count, active);
    default: return Scatter<4>(d, records, at, count, active);
  }
}

}  // namespace

void TParticleBlockProgram::Reset() {
  mOps.clear(), mOffsets.clear(), mSources.clear();
  mLanes.reset();
  mSlots = 0;
  mValid = false;
}

bool TParticleBlockProgram::Build(const TParticleProgram& program) {
  Reset();
  if (!program.IsValid()) return false;
  const std::vector<TParticleProgram::TOp>& ops = program.GetOps();
  mOffsets = program.GetOffsets();
  uint32_t random = 0;
  std::vector<const FOpenCycle*> cycles;
  uint32_t slots = 0;
  for (const TParticleProgram::TOp& op : ops) {
    random += DrawsRandom(op.kind);
    if (op.kind == OpCycle) {
      if (std::find(cycles.begin(), cycles.end(), op.cycle) != cycles.end()) {
        Reset();
        return false;
      }
      cycles.push_back(op.cycle);
    }
    // Every place an operation reads or writes lies within a value's width of these.
    slots = std::max({slots, uint32_t(op.dst), uint32_t(op.a1), uint32_t(op.a2)});
  }
  if (random > 1) {
    Reset();
    return false;
  }
  for (uint16_t offset : mOffsets) slots = std::max(slots, uint32_t(offset));
  mSlots = slots + 2 * ParticleValueWidth;
  mLanes.reset(new float[size_t(mSlots) * Lanes]());

  // Which places hold a constant on every lane when an operation runs: each place written
  // by a constant, until some other operation writes over it.
  std::vector<const float*> uniform(mSlots, nullptr);
  for (const TParticleProgram::TOp& op : ops) {
    TBlockOp b;
    b.op = op;
    if (op.kind == OpAssign) b.uniformOffset = uniform[op.a1];
    if (op.kind == OpFade) {
      b.args = uint32_t(mSources.size());
      b.uniformKeys = true;
      for (uint32_t j = 0; j < op.argc; ++j) {
        uint16_t at = mOffsets[op.args + j];
        uint32_t width = j == 0 || j % 2 == 0 ? 1 : op.width;
        bool same = uniform[at] != nullptr;
        for (uint32_t i = 1; same && i < width; ++i) same = uniform[at + i] == uniform[at] + i;
        mSources.push_back(same ? TSource{uniform[at], 1, 0} : TSource{Row(at), Lanes, 1});
        if (j > 0 && !same) b.uniformKeys = false;
      }
    }
    mOps.push_back(b);
    if (op.kind == OpConst) {
      for (uint32_t i = 0; i < op.width; ++i) uniform[op.dst + i] = op.data + i;
    } else if (op.kind != OpNone && op.kind != OpAssign) {
      for (uint32_t i = 0; i < ParticleValueWidth; ++i) uniform[op.dst + i] = nullptr;
    }
  }
  mValid = true;
  return true;
}

void TParticleBlockProgram::Fade(const TBlockOp& b, uint32_t count, const uint8_t* active) {
  const TParticleProgram::TOp& op = b.op;
  const TSource* at = mSources.data() + b.args;
  const uint32_t w = op.width;
  float* d = Row(op.dst);
  // The usual fade has constant keyframes and durations, taken once per block into one
  // array; only the time is the lane's own.
  if (b.uniformKeys) {
    float keys[256 * ParticleValueWidth];
    for (uint32_t j = 1; j < op.argc; ++j)
      for (uint32_t i = 0; i < (j % 2 ? w : 1); ++i) keys[j * ParticleValueWidth + i] = at[j].base[i];
    for (uint32_t l = 0; l < count; ++l) {
      if (!active[l]) continue;
      float t = at[0].base[l * at[0].lane];
      if (!(t >= 0.0f)) t = 0.0f;
      uint32_t current = 1;
      while (current + 2 < op.argc && keys[(current + 1) * ParticleValueWidth] <= t) {
        t -= keys[(current + 1) * ParticleValueWidth];
        current += 2;
      }
      const float* from = keys + current * ParticleValueWidth;
      if (current + 2 >= op.argc) {
        for (uint32_t i = 0; i < w; ++i) d[i * Lanes + l] = from[i];
        continue;
      }
      float dur = keys[(current + 1) * ParticleValueWidth];
      const float* to = keys + (current + 2) * ParticleValueWidth;
      for (uint32_t i = 0; i < w; ++i) d[i * Lanes + l] = from[i] + (to[i] - from[i]) * (t / dur);
    }
    return;
  }
  auto arg = [&](uint32_t j, uint32_t i, uint32_t l) { return at[j].base[i * at[j].component + l * at[j].lane]; };
  for (uint32_t l = 0; l < count; ++l) {
    if (!active[l]) continue;
    float t = arg(0, 0, l);
    if (!(t >= 0.0f)) t = 0.0f;
    uint32_t current = 1;
    while (current + 2 < op.argc && arg(current + 1, 0, l) <= t) {
      t -= arg(current + 1, 0, l);
      current += 2;
    }
    float out[ParticleValueWidth];
    if (current + 2 >= op.argc) {
      for (uint32_t i = 0; i < w; ++i) out[i] = arg(current, i, l);
    } else {
      float dur = arg(current + 1, 0, l);
      for (uint32_t i = 0; i < w; ++i) {
        float from = arg(current, i, l);
        out[i] = from + (arg(current + 2, i, l) - from) * (t / dur);
      }
    }
    for (uint32_t i = 0; i < w; ++i) d[i * Lanes + l] = out[i];
  }
}

void TParticleBlockProgram::Run(TBlock& block, uint32_t time, uint32_t recordSize) {
  const uint32_t n = std::min(block.count, Lanes);
  float* const* records = block.records;
  // Lanes stop at their first failure: whatever reaches past the rows (record writes,
  // random draws, cycles, expiry) skips them from then on.
  uint8_t active[Lanes];
  std::memset(active, 1, sizeof active);
  std::memset(block.alive, 1, sizeof block.alive);
  uint32_t stopped = 0;
  auto stop = [&](uint32_t l) {
    active[l] = 0;
    ++stopped;
  };
  const float age = float(time);

  for (const TBlockOp& b : mOps) {
    if (stopped == n) return;
    const TParticleProgram::TOp& op = b.op;
    float* d = Row(op.dst);
    const float* a1 = Row(op.a1);
    const uint32_t w = op.width;
    switch (op.kind) {
      case OpNone:
        break;
      case OpRead:
        Gather(d, records, op.record, w, n);
        break;
      case OpConst:
        for (uint32_t i = 0; i < w; ++i) std::fill(d + i * Lanes, d + (i + 1) * Lanes, op.data[i]);
        break;
      case OpAssign:
        if (b.uniformOffset) {
          int32_t offset;
          if (!ParticleIndex(*b.uniformOffset, offset) || !InRecord(offset, w, recordSize)) {
            for (uint32_t l = 0; l < n; ++l)
              if (active[l]) stop(l);
            break;
          }
          Scatter(d, records, offset, w, n, stopped ? active : nullptr);
          break;
        }
        for (uint32_t l = 0; l < n; ++l) {
          int32_t offset;
          if (!active[l]) continue;
          if (!ParticleIndex(a1[l], offset) || !InRecord(offset, w, recordSize)) {
            stop(l);
            continue;
          }
          for (uint32_t i = 0; i < w; ++i) records[l][offset + int32_t(i)] = d[i * Lanes + l];
        }
        break;
      case OpTimeScale:
        for (uint32_t i = 0; i < w; ++i) Rows(d + i * Lanes, [age](float v) { return v * age / 1000.0f; });
        break;
      case OpExpire:
        for (uint32_t l = 0; l < n; ++l) {
          if (!active[l]) continue;
          if (d[l] != 0.0f) {
            block.alive[l] = 0;
            d[l] = 1.0f;
          } else {
            d[l] = 0.0f;
          }
        }
        break;
      case OpAge:
        std::fill(d, d + Lanes, age);
        break;
      case OpAdd:
        for (uint32_t i = 0; i < w; ++i) Rows(d + i * Lanes, a1 + i * Lanes, [](float x, float y) { return x + y; });
        break;
      case OpSub:
        for (uint32_t i = 0; i < w; ++i) Rows(d + i * Lanes, a1 + i * Lanes, [](float x, float y) { return x - y; });
        break;
      case OpMul:
        for (uint32_t i = 0; i < w; ++i) Rows(d + i * Lanes, a1, [](float x, float y) { return x * y; });
        break;
      case OpDiv:
        for (uint32_t i = 0; i < w; ++i) Rows(d + i * Lanes, a1, [](float x, float y) { return x / y; });
        break;
      case OpUnm:
        for (uint32_t i = 0; i < w; ++i) Rows(d + i * Lanes, [](float x) { return -x; });
        break;
      case OpLt:
        Rows(d, a1, [](float x, float y) { return x < y ? 1.0f : 0.0f; });
        break;
      case OpLe:
        Rows(d, a1, [](float x, float y) { return x <= y ? 1.0f : 0.0f; });
        break;
      case OpDistance: {
        float sum[Lanes] = {};
        for (uint32_t i = 0; i < w; ++i)
          for (uint32_t l = 0; l < n; ++l) {
            float diff = d[i * Lanes + l] - a1[i * Lanes + l];
            sum[l] += diff * diff;
          }
        for (uint32_t l = 0; l < n; ++l) d[l] = std::sqrt(sum[l]);
        break;
      }
      case OpRange:
        for (uint32_t l = 0; l < n; ++l) {
          if (!active[l]) continue;
          for (uint32_t i = 0; i < w; ++i) {
            float& v = d[i * Lanes + l];
            v = v + (a1[i * Lanes + l] - v) * TParticleRandom::NextUnit();
          }
        }
        break;
      case OpPick:
        for (uint32_t l = 0; l < n; ++l) {
          if (!active[l]) continue;
          uint32_t k = uint32_t(TParticleRandom::Get().GenRandDouble() * op.argc);
          if (k >= op.argc) k = op.argc - 1u;
          const float* from = Row(mOffsets[op.args + k]);
          float value[ParticleValueWidth];
          for (uint32_t i = 0; i < w; ++i) value[i] = from[i * Lanes + l];
          for (uint32_t i = 0; i < w; ++i) d[i * Lanes + l] = value[i];
        }
        break;
      case OpCycle: {
        const float* a2 = Row(op.a2);
        for (uint32_t l = 0; l < n; ++l)
          if (active[l]) d[l] = op.cycle->Next(d[l], a1[l], a2[l]);
        break;
      }
      case OpFade:
        Fade(b, n, active);
        break;
      case OpRadius:
        for (uint32_t l = 0; l < n; ++l) {
          if (!active[l]) continue;
          float r = d[l];
          float theta = 2.0f * ParticlePi * TParticleRandom::NextUnit();
          d[l] = std::cos(theta) * r;
          d[Lanes + l] = std::sin(theta) * r;
        }
        break;
      case OpRotation:
        for (uint32_t l = 0; l < n; ++l) {
          if (!active[l]) continue;
          float a = d[l];
          d[l] = std::cos(a);
          d[Lanes + l] = std::sin(a);
        }
        break;
      case OpVIndex:
        for (uint32_t l = 0; l < n; ++l) {
          int32_t k;
          if (!active[l]) continue;
          if (!ParticleIndex(a1[l], k) || k < 1 || uint32_t(k) > w) {
            stop(l);
            continue;
          }
          d[l] = d[uint32_t(k - 1) * Lanes + l];
        }
        break;
      case OpNewIndex: {
        const float* a2 = Row(op.a2);
        for (uint32_t l = 0; l < n; ++l) {
          int32_t offset, k;
          if (!active[l]) continue;
          if (!ParticleIndex(d[l], offset) || offset < 0 || !ParticleIndex(a1[l], k) ||
              !InRecord(int64_t(offset) + k - 1, 1, recordSize)) {
            stop(l);
            continue;
          }
          records[l][int64_t(offset) + k - 1] = a2[l];
          d[l] = a2[l];
        }
        break;
      }
      case OpAlpha:
        if (w != 3) std::copy(d + w * Lanes, d + w * Lanes + n, d + 3 * Lanes);
        break;
    }
  }
}
