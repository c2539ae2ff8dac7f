#include "graphics/particles/particle_stream.h"

#include <cmath>
#include <cstring>

#include "platform/random.h"

namespace {

constexpr uint8_t NoPush = 0xFF;

template <typename T>
bool Is(TParticleFunction* f) {
  return dynamic_cast<T*>(f) != nullptr;
}

}  // namespace

void RunParticleStream(const TParticleStream& stream, TParticleContext& context, TParticleCall& call) {
  call.base = call.top = 0;
  for (const TParticleStreamEntry& entry : stream) {
    if (call.top >= entry.argc) {
      call.base = uint8_t(call.top - entry.argc);
      call.argc = entry.argc;
    }
    if (!entry.function->Evaluate(context, call)) return;
    call.top = call.base;
  }
}

bool TParticleProgram::Build(const TParticleStream& stream, uint32_t recordSize,
                             const std::vector<TParticleFunction*>& externals) {
  Reset();
  uint8_t widths[ParticleStackEntries + 1] = {};
  uint16_t starts[ParticleStackEntries + 2] = {};
  uint32_t top = 0;
  for (const TParticleStreamEntry& entry : stream) {
    // Arguments missing from the stack would be stale values: only the plain way knows them.
    if (top < entry.argc) return false;
    uint8_t base = uint8_t(top - entry.argc);
    uint8_t pushed = NoPush;
    if (!Add(entry, widths + base, starts + base, base, recordSize, externals, pushed)) {
      Reset();
      return false;
    }
    if (pushed != NoPush) {
      if (base >= ParticleStackEntries || starts[base] + pushed > ParticleStackFloats) {
        Reset();
        return false;
      }
      widths[base] = pushed;
      starts[base + 1] = uint16_t(starts[base] + pushed);
      ++base;
    }
    top = base;
    mKeep.push_back(entry.function);
  }
  mValid = true;
  return true;
}

bool TParticleProgram::Add(const TParticleStreamEntry& entry, const uint8_t* widths, const uint16_t* starts,
                           uint8_t base, uint32_t recordSize, const std::vector<TParticleFunction*>& externals,
                           uint8_t& pushed) {
  TParticleFunction* f = entry.function.get();
  const uint32_t argc = entry.argc;
  TOp op;
  op.argc = uint8_t(argc);
  op.dst = starts[0];
  op.a1 = argc > 1 ? starts[1] : 0;
  op.a2 = argc > 2 ? starts[2] : 0;
  op.args = uint32_t(mOffsets.size());
  for (uint32_t j = 0; j < argc; ++j) {
    // Every argument is read from where it was pushed; a value of no width leaves a gap
    // that only the plain way reads through.
    if (widths[j] == 0) return false;
    mOffsets.push_back(starts[j]);
  }
  const uint8_t w = argc ? widths[0] : 0;
  op.width = w;
  auto binary = [&](uint8_t kind, bool ok) {
    op.kind = kind;
    pushed = w;
    return ok;
  };
  (void)base;

  if (auto* read = dynamic_cast<FGetParticleParam*>(f)) {
    int32_t index = read->GetIndex();
    uint8_t width = read->GetResultWidth(nullptr, 0);
    if (index < 0) {
      int32_t k = -index - 1;
      if (k >= int32_t(externals.size())) return false;
      f = externals[size_t(k)];
    } else {
      if (width == 0 || width > ParticleValueWidth || uint32_t(index) + width > recordSize) return false;
      op.kind = OpRead;
      op.record = index;
      op.width = pushed = width;
    }
  }
  if (op.kind == OpRead) {
  } else if (auto* emitter = dynamic_cast<TEmitterVector*>(f)) {
    op.kind = OpConst, op.data = emitter->Data(), op.width = pushed = 2;
  } else if (auto* c1 = dynamic_cast<FPush<1>*>(f)) {
    op.kind = OpConst, op.data = c1->GetValue(), op.width = pushed = 1;
  } else if (auto* c2 = dynamic_cast<FPush<2>*>(f)) {
    op.kind = OpConst, op.data = c2->GetValue(), op.width = pushed = 2;
  } else if (auto* c3 = dynamic_cast<FPush<3>*>(f)) {
    op.kind = OpConst, op.data = c3->GetValue(), op.width = pushed = 3;
  } else if (auto* c4 = dynamic_cast<FPush<4>*>(f)) {
    op.kind = OpConst, op.data = c4->GetValue(), op.width = pushed = 4;
  } else if (Is<FAssign>(f)) {
    op.kind = OpAssign;
    if (argc != 3) return false;
  } else if (Is<FTimeScale>(f)) {
    if (!binary(OpTimeScale, argc == 1)) return false;
  } else if (Is<FExpire>(f)) {
    op.kind = OpExpire, pushed = 1;
    if (argc != 1 || w != 1) return false;
  } else if (Is<FAge>(f)) {
    op.kind = OpAge, pushed = 1;
    if (argc != 0) return false;
  } else if (Is<FVec>(f)) {
    op.kind = OpNone, pushed = uint8_t(argc);
    if (argc == 0 || argc > ParticleValueWidth) return false;
  } else if (Is<FAdd>(f) || Is<FSub>(f) || Is<FDistance>(f)) {
    // The second value is read as wide as the first.
    uint8_t kind = Is<FAdd>(f) ? OpAdd : Is<FSub>(f) ? OpSub : OpDistance;
    if (!binary(kind, argc == 2 && widths[1] >= w)) return false;
    if (kind == OpDistance) pushed = 1;
  } else if (Is<FMul>(f) || Is<FDiv>(f)) {
    if (!binary(Is<FMul>(f) ? OpMul : OpDiv, argc == 2 && widths[1] == 1)) return false;
  } else if (Is<FUnm>(f)) {
    if (!binary(OpUnm, argc == 1)) return false;
  } else if (Is<FLt>(f) || Is<FLe>(f)) {
    op.kind = Is<FLt>(f) ? OpLt : OpLe, pushed = 1;
    if (argc != 2 || w != 1 || widths[1] != 1) return false;
  } else if (Is<FRange>(f)) {
    if (!binary(OpRange, argc == 2 && widths[1] == w)) return false;
  } else if (Is<FPick>(f)) {
    if (!binary(OpPick, argc > 0)) return false;
    for (uint32_t j = 1; j < argc; ++j)
      if (widths[j] != w) return false;
  } else if (auto* cycle = dynamic_cast<FOpenCycle*>(f)) {
    op.kind = OpCycle, op.cycle = cycle, pushed = 1;
    if (argc != 3 || widths[1] != w) return false;
  } else if (Is<FFade>(f)) {
    if (argc < 2) return false;
    op.kind = OpFade, op.width = pushed = widths[1];
    for (uint32_t j = 3; j < argc; j += 2)
      if (widths[j] != widths[1]) return false;
  } else if (Is<F2dRadius>(f)) {
    op.kind = OpRadius, pushed = 2;
    if (argc < 1 || argc > 2 || w != 1 || (argc == 2 && widths[1] != 2)) return false;
  } else if (Is<F2dRotation>(f)) {
    op.kind = OpRotation, pushed = 2;
    if (argc < 1 || w != 1) return false;
  } else if (Is<FVIndex>(f)) {
    op.kind = OpVIndex, pushed = 1;
    if (argc != 2) return false;
  } else if (Is<FNewIndex>(f)) {
    op.kind = OpNewIndex, pushed = 1;
    if (argc != 3 || w != 1 || widths[1] != 1 || widths[2] != 1) return false;
  } else if (Is<FAlpha>(f)) {
    // The alpha is the float after the colour: the second argument's.
    op.kind = OpAlpha, pushed = 4;
    if (argc < 2 || w < 3) return false;
  } else {
    return false;  // debug output, indexed externals and functions of other kinds
  }
  mOps.push_back(op);
  return true;
}

void TParticleProgram::Run(TParticleContext& context, float* s) const {
  float* record = context.values;
  for (const TOp& op : mOps) {
    float* d = s + op.dst;
    const uint32_t w = op.width;
    switch (op.kind) {
      case OpNone:
        break;
      case OpRead:
        for (uint32_t i = 0; i < w; ++i) d[i] = record[op.record + int32_t(i)];
        break;
      case OpConst:
        for (uint32_t i = 0; i < w; ++i) d[i] = op.data[i];
        break;
      case OpAssign: {
        int32_t offset;
        if (!ParticleIndex(s[op.a1], offset) || !InRecord(context, offset, w)) return;
        std::memcpy(record + offset, d, w * sizeof(float));
        break;
      }
      case OpTimeScale:
        for (uint32_t i = 0; i < w; ++i) d[i] = d[i] * float(context.time) / 1000.0f;
        break;
      case OpExpire:
        if (d[0] != 0.0f) {
          context.alive = 0;
          d[0] = 1.0f;
        } else {
          d[0] = 0.0f;
        }
        break;
      case OpAge:
        d[0] = float(context.time);
        break;
      case OpAdd:
        for (uint32_t i = 0; i < w; ++i) d[i] = d[i] + s[op.a1 + i];
        break;
      case OpSub:
        for (uint32_t i = 0; i < w; ++i) d[i] = d[i] - s[op.a1 + i];
        break;
      case OpMul:
        for (uint32_t i = 0; i < w; ++i) d[i] = d[i] * s[op.a1];
        break;
      case OpDiv:
        for (uint32_t i = 0; i < w; ++i) d[i] = d[i] / s[op.a1];
        break;
      case OpUnm:
        for (uint32_t i = 0; i < w; ++i) d[i] = -d[i];
        break;
      case OpLt:
        d[0] = d[0] < s[op.a1] ? 1.0f : 0.0f;
        break;
      case OpLe:
        d[0] = d[0] <= s[op.a1] ? 1.0f : 0.0f;
        break;
      case OpDistance: {
        float sum = 0.0f;
        for (uint32_t i = 0; i < w; ++i) {
          float diff = d[i] - s[op.a1 + i];
          sum += diff * diff;
        }
        d[0] = std::sqrt(sum);
        break;
      }
      case OpRange:
        for (uint32_t i = 0; i < w; ++i) d[i] = d[i] + (s[op.a1 + i] - d[i]) * TParticleRandom::NextUnit();
        break;
      case OpPick: {
        uint32_t k = uint32_t(TParticleRandom::Get().GenRandDouble() * op.argc);
        if (k >= op.argc) k = op.argc - 1u;
        const float* from = s + mOffsets[op.args + k];
        float value[ParticleValueWidth];
        for (uint32_t i = 0; i < w; ++i) value[i] = from[i];
        for (uint32_t i = 0; i < w; ++i) d[i] = value[i];
        break;
      }
      case OpCycle:
        d[0] = op.cycle->Next(d[0], s[op.a1], s[op.a2]);
        break;
      case OpFade: {
        const uint16_t* at = mOffsets.data() + op.args;
        float t = s[at[0]];
        if (!(t >= 0.0f)) t = 0.0f;
        uint32_t current = 1;
        while (current + 2 < op.argc && s[at[current + 1]] <= t) {
          t -= s[at[current + 1]];
          current += 2;
        }
        const float* from = s + at[current];
        float out[ParticleValueWidth];
        if (current + 2 >= op.argc) {
          for (uint32_t i = 0; i < w; ++i) out[i] = from[i];
        } else {
          float dur = s[at[current + 1]];
          const float* to = s + at[current + 2];
          for (uint32_t i = 0; i < w; ++i) out[i] = from[i] + (to[i] - from[i]) * (t / dur);
        }
        for (uint32_t i = 0; i < w; ++i) d[i] = out[i];
        break;
      }
      case OpRadius: {
        float r = d[0];
        float theta = 2.0f * ParticlePi * TParticleRandom::NextUnit();
        d[0] = std::cos(theta) * r;
        d[1] = std::sin(theta) * r;
        break;
      }
      case OpRotation: {
        float a = d[0];
        d[0] = std::cos(a);
        d[1] = std::sin(a);
        break;
      }
      case OpVIndex: {
        int32_t k;
        if (!ParticleIndex(s[op.a1], k) || k < 1 || uint32_t(k) > w) return;
        d[0] = d[k - 1];
        break;
      }
      case OpNewIndex: {
        int32_t offset, k;
        if (!ParticleIndex(d[0], offset) || offset < 0 || !ParticleIndex(s[op.a1], k)) return;
        int64_t at = int64_t(offset) + k - 1;
        if (!InRecord(context, at, 1)) return;
        record[at] = s[op.a2];
        d[0] = s[op.a2];
        break;
      }
      case OpAlpha:
        d[3] = d[w];
        break;
    }
  }
}
