#include "graphics/particles/particle_functions.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/log.h"
#include "platform/random.h"

namespace {

constexpr double UnitFromU32 = 2.3283063671497593e-10;  // just below 2^-32: stays below 1

TRandom* gRandom = nullptr;
uint32_t gRandomUsers = 0;

// The first float of argument j: scalars.
float Scalar(const TParticleCall& call, uint32_t j) { return call.Arg(j)[0]; }

bool PushScalar(TParticleCall& call, float value) { return PushParticleValue(call, &value, 1); }

}  // namespace

TParticleScratch::TParticleScratch() {
  values = storage;
  width = widths;
  Clear(true);
}

void TParticleScratch::Clear(bool zeroFloats) {
  std::memset(widths, 0, sizeof widths);
  std::memset(start, 0, sizeof start);
  count = 0;
  if (zeroFloats) std::memset(storage, 0, sizeof storage);
}

bool PushParticleValue(TParticleCall& call, const float* value, uint32_t width) {
  TParticleStack& stack = *call.stack;
  uint32_t at = stack.start[call.base];
  if (call.base >= ParticleStackEntries || width > ParticleValueWidth || at + width > ParticleStackFloats) return false;
  float copy[ParticleValueWidth];  // the value may overlap where it goes
  std::memcpy(copy, value, width * sizeof(float));
  stack.width[call.base] = uint8_t(width);
  stack.start[call.base + 1] = at + width;
  std::memcpy(stack.values + at, copy, width * sizeof(float));
  stack.count = call.base + 1u;
  call.base++;
  call.top = call.base;
  return true;
}

bool ParticleIndex(float value, int32_t& index) {
  if (!(value > -2147483648.0f && value < 2147483648.0f)) return false;  // NaN fails too
  index = int32_t(value);
  return true;
}

void TParticleRandom::Acquire() {
  if (gRandomUsers++ == 0 && !gRandom) gRandom = new TRandom();
}

void TParticleRandom::Release() {
  if (gRandomUsers == 0 || --gRandomUsers > 0) return;
  delete gRandom;
  gRandom = nullptr;
}

TRandom& TParticleRandom::Get() {
  if (!gRandom) gRandom = new TRandom();
  return *gRandom;
}

void TParticleRandom::Seed(const uint32_t words[4]) { Get().InitByArray(words, 4); }

float TParticleRandom::NextUnit() { return float(double(Get().GenRand()) * UnitFromU32); }

// --- The function classes -----------------------------------------------------------------

uint8_t FAssign::GetResultWidth(const uint8_t*, uint32_t) const { return 0; }

bool FAssign::Evaluate(TParticleContext& context, TParticleCall& call) {
  int32_t offset;
  if (call.argc != 3 || !ParticleIndex(Scalar(call, 1), offset) || offset < 0) return false;
  uint32_t w = call.Width(0);
  if (!InRecord(context, offset, w)) return false;
  std::memcpy(context.values + offset, call.Arg(0), w * sizeof(float));
  return true;
}

bool FGetParticleParam::Evaluate(TParticleContext& context, TParticleCall& call) {
  if (mIndex < 0) {
    TParticleFunction* external = call.External(-int32_t(mIndex) - 1);
    return external && external->Evaluate(context, call);
  }
  if (mWidth > ParticleValueWidth || !InRecord(context, mIndex, mWidth)) return false;
  return PushParticleValue(call, context.values + mIndex, mWidth);
}

uint8_t FTimeScale::GetResultWidth(const uint8_t* widths, uint32_t argc) const { return argc ? widths[0] : 0; }

bool FTimeScale::Evaluate(TParticleContext& context, TParticleCall& call) {
  if (call.argc != 1) return false;
  uint32_t w = call.Width(0);
  const float* a = call.Arg(0);
  float out[ParticleValueWidth];
  for (uint32_t i = 0; i < w; ++i) out[i] = a[i] * float(context.time) / 1000.0f;
  return PushParticleValue(call, out, w);
}

uint8_t FExpire::GetResultWidth(const uint8_t*, uint32_t) const { return 1; }

bool FExpire::Evaluate(TParticleContext& context, TParticleCall& call) {
  if (call.argc != 1 || call.Width(0) != 1) return false;
  if (Scalar(call, 0) != 0.0f) {  // NaN counts as set
    context.alive = 0;
    return PushScalar(call, 1.0f);
  }
  return PushScalar(call, 0.0f);
}

uint8_t FAge::GetResultWidth(const uint8_t*, uint32_t) const { return 1; }

bool FAge::Evaluate(TParticleContext& context, TParticleCall& call) {
  if (call.argc != 0) return false;
  return PushScalar(call, float(context.time));
}

// Declared as 1 wide, whatever it joins: the compiler's width bookkeeping relies on it.
uint8_t FVec::GetResultWidth(const uint8_t*, uint32_t) const { return 1; }

bool FVec::Evaluate(TParticleContext&, TParticleCall& call) {
  if (call.argc == 0 || call.argc > ParticleValueWidth) return false;
  return PushParticleValue(call, call.Arg(0), call.argc);
}

namespace {

// The component-wise operations of two arguments: a[i] op b[i] for i below a's width.
template <typename Op>
bool Componentwise(TParticleCall& call, Op op) {
  if (call.argc != 2) return false;
  uint32_t w = call.Width(0);
  const float* a = call.Arg(0);
  const float* b = call.Arg(1);
  float out[ParticleValueWidth];
  for (uint32_t i = 0; i < w; ++i) out[i] = op(a[i], b[i]);
  return PushParticleValue(call, out, w);
}

// a[i] op b for a scalar b.
template <typename Op>
bool ByScalar(TParticleCall& call, Op op) {
  if (call.argc != 2 || call.Width(1) != 1) return false;
  uint32_t w = call.Width(0);
  const float* a = call.Arg(0);
  float b = Scalar(call, 1);
  float out[ParticleValueWidth];
  for (uint32_t i = 0; i < w; ++i) out[i] = op(a[i], b);
  return PushParticleValue(call, out, w);
}

template <typename Op>
bool Compare(TParticleCall& call, Op op) {
  if (call.argc != 2 || call.Width(0) != 1 || call.Width(1) != 1) return false;
  return PushScalar(call, op(Scalar(call, 0), Scalar(call, 1)) ? 1.0f : 0.0f);
}

uint8_t FirstWidth(const uint8_t* widths, uint32_t argc) { return argc ? widths[0] : 0; }

}  // namespace

uint8_t FAdd::GetResultWidth(const uint8_t* widths, uint32_t argc) const { return FirstWidth(widths, argc); }
bool FAdd::Evaluate(TParticleContext&, TParticleCall& call) {
  return Componentwise(call, [](float a, float b) { return a + b; });
}

uint8_t FSub::GetResultWidth(const uint8_t* widths, uint32_t argc) const { return FirstWidth(widths, argc); }
bool FSub::Evaluate(TParticleContext&, TParticleCall& call) {
  return Componentwise(call, [](float a, float b) { return a - b; });
}

uint8_t FMul::GetResultWidth(const uint8_t* widths, uint32_t argc) const { return FirstWidth(widths, argc); }
bool FMul::Evaluate(TParticleContext&, TParticleCall& call) {
  return ByScalar(call, [](float a, float b) { return a * b; });
}

uint8_t FDiv::GetResultWidth(const uint8_t* widths, uint32_t argc) const { return FirstWidth(widths, argc); }
bool FDiv::Evaluate(TParticleContext&, TParticleCall& call) {
  return ByScalar(call, [](float a, float b) { return a / b; });
}

uint8_t FUnm::GetResultWidth(const uint8_t* widths, uint32_t argc) const { return FirstWidth(widths, argc); }
bool FUnm::Evaluate(TParticleContext&, TParticleCall& call) {
  if (call.argc != 1) return false;
  uint32_t w = call.Width(0);
  const float* a = call.Arg(0);
  float out[ParticleValueWidth];
  for (uint32_t i = 0; i < w; ++i) out[i] = -a[i];
  return PushParticleValue(call, out, w);
}

uint8_t FLt::GetResultWidth(const uint8_t*, uint32_t) const { return 1; }
bool FLt::Evaluate(TParticleContext&, TParticleCall& call) {
  return Compare(call, [](float a, float b) { return a < b; });
}

uint8_t FLe::GetResultWidth(const uint8_t*, uint32_t) const { return 1; }
bool FLe::Evaluate(TParticleContext&, TParticleCall& call) {
  return Compare(call, [](float a, float b) { return a <= b; });
}

uint8_t FDistance::GetResultWidth(const uint8_t*, uint32_t) const { return 1; }
bool FDistance::Evaluate(TParticleContext&, TParticleCall& call) {
  if (call.argc != 2) return false;
  uint32_t w = call.Width(0);
  const float* a = call.Arg(0);
  const float* b = call.Arg(1);
  float sum = 0.0f;
  for (uint32_t i = 0; i < w; ++i) {
    float d = a[i] - b[i];
    sum += d * d;
  }
  return PushScalar(call, std::sqrt(sum));
}

uint8_t FRange::GetResultWidth(const uint8_t* widths, uint32_t argc) const { return FirstWidth(widths, argc); }
bool FRange::Evaluate(TParticleContext&, TParticleCall& call) {
  if (call.argc != 2 || call.Width(0) != call.Width(1)) return false;
  uint32_t w = call.Width(0);
  const float* a = call.Arg(0);
  const float* b = call.Arg(1);
  float out[ParticleValueWidth];
  for (uint32_t i = 0; i < w; ++i) out[i] = a[i] + (b[i] - a[i]) * TParticleRandom::NextUnit();
  return PushParticleValue(call, out, w);
}

uint8_t FPick::GetResultWidth(const uint8_t* widths, uint32_t argc) const { return FirstWidth(widths, argc); }
bool FPick::Evaluate(TParticleContext&, TParticleCall& call) {
  if (call.argc == 0) return false;
  uint32_t k = uint32_t(TParticleRandom::Get().GenRandDouble() * call.argc);
  if (k >= call.argc) k = call.argc - 1u;
  return PushParticleValue(call, call.Arg(k), call.Width(k));
}

bool FOpenCycle::Evaluate(TParticleContext&, TParticleCall& call) {
  if (call.argc != 3 || call.Width(0) != call.Width(1)) return false;
  return PushScalar(call, Next(Scalar(call, 0), Scalar(call, 1), Scalar(call, 2)));
}

uint8_t FFade::GetResultWidth(const uint8_t* widths, uint32_t argc) const { return argc > 1 ? widths[1] : 0; }
bool FFade::Evaluate(TParticleContext&, TParticleCall& call) {
  if (call.argc < 2) return false;
  float t = Scalar(call, 0);
  if (!(t >= 0.0f)) t = 0.0f;
  uint32_t w = call.Width(1);
  uint32_t current = 1;
  // A duration counts only with the keyframe that follows it.
  while (current + 2 < call.argc && Scalar(call, current + 1) <= t) {
    t -= Scalar(call, current + 1);
    current += 2;
  }
  if (current + 2 >= call.argc) return PushParticleValue(call, call.Arg(current), w);
  float d = Scalar(call, current + 1);
  const float* from = call.Arg(current);
  const float* to = call.Arg(current + 2);
  float out[ParticleValueWidth];
  for (uint32_t i = 0; i < w; ++i) out[i] = from[i] + (to[i] - from[i]) * (t / d);
  return PushParticleValue(call, out, w);
}

uint8_t F2dRadius::GetResultWidth(const uint8_t*, uint32_t) const { return 2; }
bool F2dRadius::Evaluate(TParticleContext&, TParticleCall& call) {
  if (call.argc < 1 || call.argc > 2 || call.Width(0) != 1) return false;
  if (call.argc == 2 && call.Width(1) != 2) return false;
  float r = Scalar(call, 0);
  float theta = 2.0f * ParticlePi * TParticleRandom::NextUnit();
  float out[2] = {std::cos(theta) * r, std::sin(theta) * r};
  return PushParticleValue(call, out, 2);
}

uint8_t F2dRotation::GetResultWidth(const uint8_t*, uint32_t) const { return 2; }
bool F2dRotation::Evaluate(TParticleContext&, TParticleCall& call) {
  if (call.argc < 1 || call.Width(0) != 1) return false;
  float a = Scalar(call, 0);
  float out[2] = {std::cos(a), std::sin(a)};
  return PushParticleValue(call, out, 2);
}

uint8_t FVIndex::GetResultWidth(const uint8_t*, uint32_t) const { return 1; }
bool FVIndex::Evaluate(TParticleContext&, TParticleCall& call) {
  int32_t k;
  if (call.argc != 2 || !ParticleIndex(Scalar(call, 1), k)) return false;
  int64_t j = int64_t(k) - 1;
  if (j < 0 || j >= call.Width(0)) return false;
  return PushScalar(call, call.Arg(0)[j]);
}

uint8_t FIndex::GetResultWidth(const uint8_t*, uint32_t) const { return 1; }
bool FIndex::Evaluate(TParticleContext& context, TParticleCall& call) {
  int32_t offset, k;
  if (call.argc != 2 || call.Width(0) != 1 || call.Width(1) != 1) return false;
  if (!ParticleIndex(Scalar(call, 0), offset) || !ParticleIndex(Scalar(call, 1), k)) return false;
  int64_t j = int64_t(k) - 1;
  if (offset >= 0) {
    int64_t at = int64_t(offset) + j;
    if (!InRecord(context, at, 1)) {
      GetFailure()->Report(TString::Printf("Out of range parameter index [%d]", k).c_str(), 613,
                           "..\\core\\luaparticlesystem.cpp");
      return false;
    }
    return PushScalar(call, context.values[at]);
  }
  TParticleFunction* external = call.External(int32_t(std::min<int64_t>(-int64_t(offset) - 1, INT32_MAX)));
  if (!external) return false;
  if (j < 0 || j >= external->GetResultWidth(nullptr, 0)) {
    GetFailure()->Report(
        TString::Printf("Out of range parameter index [%d] when indexing %s", k, external->GetName().c_str()).c_str(),
        613, "..\\core\\luaparticlesystem.cpp");
    return false;
  }
  // The external value lands over the first argument; its component j becomes the result.
  uint8_t base = call.base, argc = call.argc;
  call.argc = 0;
  bool evaluated = external->Evaluate(context, call);
  call.argc = argc;
  if (!evaluated || call.base != uint8_t(base + 1)) return false;
  float value = call.stack->values[call.stack->start[base] + uint32_t(j)];
  call.base = base;
  return PushScalar(call, value);
}

uint8_t FNewIndex::GetResultWidth(const uint8_t*, uint32_t) const { return 1; }
bool FNewIndex::Evaluate(TParticleContext& context, TParticleCall& call) {
  int32_t offset, k;
  if (call.argc != 3 || call.Width(0) != 1 || call.Width(1) != 1 || call.Width(2) != 1) return false;
  if (!ParticleIndex(Scalar(call, 0), offset) || offset < 0 || !ParticleIndex(Scalar(call, 1), k)) return false;
  int64_t at = int64_t(offset) + k - 1;
  if (!InRecord(context, at, 1)) return false;
  float v = Scalar(call, 2);
  context.values[at] = v;
  return PushScalar(call, v);
}

uint8_t FAlpha::GetResultWidth(const uint8_t*, uint32_t) const { return 4; }
bool FAlpha::Evaluate(TParticleContext&, TParticleCall& call) {
  if (call.argc < 1 || call.Width(0) < 3) return false;
  const float* c = call.Arg(0);
  float out[4] = {c[0], c[1], c[2], c[call.Width(0)]};
  return PushParticleValue(call, out, 4);
}

uint8_t FDebug::GetResultWidth(const uint8_t*, uint32_t) const { return 0; }
bool FDebug::Evaluate(TParticleContext&, TParticleCall& call) {
  TString text;
  for (uint32_t j = 0; j < call.argc; ++j) {
    text += "(";
    const float* a = call.Arg(j);
    for (uint32_t i = 0; i < call.Width(j); ++i) {
      if (i) text += ",";
      text += TString::Printf("%f", double(a[i]));
    }
    text += ") ";
  }
  GetFailure()->Log(TString::Printf("Particle Values: %s", text.c_str()).c_str());
  return true;
}

bool TEmitterVector::Evaluate(TParticleContext&, TParticleCall& call) {
  float out[2] = {mValue.x, mValue.y};
  return PushParticleValue(call, out, 2);
}
