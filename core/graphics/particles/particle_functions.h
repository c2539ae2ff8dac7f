#pragma once
// Particle functions: the nodes of compiled particle expressions. An effect script's
// expressions are compiled into flat postfix streams of these objects (TParticleStream);
// each one takes its arguments from the scratch value stack and pushes at most one result
// over the first of them. Values are vectors of 1 to 4 floats. Members of the particle are
// read and written straight in its float record through the particle context.
//
// Every write into the scratch stack and the particle record is bounds-checked: a function
// whose arguments would reach outside (or whose offset is not a number) fails, which stops
// the stream for that particle and writes nothing.

#include <cstdint>
#include <memory>

#include "graphics/math/vector_math.h"
#include "platform/class_id.h"
#include "platform/engine_string.h"

class TRandom;

constexpr uint32_t ParticleStackEntries = 255;
constexpr uint32_t ParticleStackFloats = 1020;
constexpr uint32_t ParticleValueWidth = 4;  // the widest value

// One stack of values: entry i holds width[i] floats from values[start[i]] on.
struct TParticleStack {
  float* values = nullptr;
  uint8_t* width = nullptr;
  uint32_t start[ParticleStackEntries + 1] = {};
  uint32_t count = 0;
};

// The particle being run: its members are the entries, its record the values. time is the
// step in milliseconds (0 while a new particle is initialised); clearing alive removes the
// particle after the run.
struct TParticleContext : TParticleStack {
  uint32_t time = 0;
  uint8_t alive = 1;
  // The floats of the record that may be read and written: the declared members
  // (start[count]), but never past the record's place in the particle buffer.
  uint32_t recordSize = 0;
  uint32_t RecordSize() const { return recordSize; }
};

// Whether the floats [index, index + width) lie within a record of recordSize floats.
inline bool InRecord(int64_t index, uint32_t width, uint32_t recordSize) {
  return index >= 0 && index + width <= recordSize;
}
inline bool InRecord(const TParticleContext& context, int64_t index, uint32_t width) {
  return InRecord(index, width, context.RecordSize());
}

// The circle constant of the particle functions: every form that runs a stream uses this
// one float, so their random angles agree bit for bit.
constexpr float ParticlePi = 3.1415927f;

// The scratch stack with its own storage.
struct TParticleScratch : TParticleStack {
  TParticleScratch();
  // All widths 0, the offsets recomputed; with zeroFloats the storage is zeroed too.
  void Clear(bool zeroFloats);

  // A few floats past the bound: functions read up to four floats from any argument
  // offset, which never exceeds the bound.
  float storage[ParticleStackFloats + 2 * ParticleValueWidth];
  uint8_t widths[ParticleStackEntries + 1];
};

class TParticleFunction;

// The argument window of one call: entries base .. base + argc - 1 of the scratch stack.
// externals are the running system's external functions (slot k is member index -(k+1)).
struct TParticleCall {
  TParticleFunction* const* externals = nullptr;
  uint32_t externalCount = 0;
  TParticleStack* stack = nullptr;
  uint8_t base = 0;
  uint8_t top = 0;
  uint8_t argc = 0;

  uint8_t Width(uint32_t j) const { return stack->width[uint8_t(base + j)]; }
  const float* Arg(uint32_t j) const { return stack->values + stack->start[uint8_t(base + j)]; }
  // The external function of slot k, or null.
  TParticleFunction* External(int32_t k) const {
    return k >= 0 && uint32_t(k) < externalCount ? externals[k] : nullptr;
  }
};

// Stores the w floats as the call's result over its first argument and drops the other
// arguments; false (nothing written) when the scratch stack has no room for it.
bool PushParticleValue(TParticleCall& call, const float* value, uint32_t width);

// The float argument as a record offset or index: truncated toward zero; false for NaN and
// for values beyond the 32-bit range.
bool ParticleIndex(float value, int32_t& index);

// The random generator shared by all particle systems: made by the first user, deleted
// with the last. Get makes it when nothing holds it (tests of single functions).
class TParticleRandom {
 public:
  static void Acquire();
  static void Release();
  static TRandom& Get();
  // Re-seeds the shared generator (made when missing) with four words.
  static void Seed(const uint32_t words[4]);
  // A float in [0, 1) from one 32-bit output.
  static float NextUnit();
};

class TParticleFunction {
 public:
  TARVELON_CLASS_ID()
  TParticleFunction() = default;
  virtual ~TParticleFunction() = default;
  TParticleFunction(const TParticleFunction&) = delete;
  TParticleFunction& operator=(const TParticleFunction&) = delete;

  virtual const char* GetClassName() const { return "TParticleFunction"; }
  virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }
  // The width of the value pushed for these argument widths (0: nothing is pushed).
  virtual uint8_t GetResultWidth(const uint8_t* widths, uint32_t argc) const = 0;
  // Pushes at most one result; false when the arguments do not fit.
  virtual bool Evaluate(TParticleContext& context, TParticleCall& call) = 0;

  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }

 private:
  TString mName;
};

// The classes. Each has a unique identity and its class name, except FGetParticleParam
// and the FPush classes, which answer as the base.
#define TARVELON_PARTICLE_FUNCTION(Name)                                                     \
  class Name : public TParticleFunction {                                                    \
   public:                                                                                   \
    TARVELON_CLASS_ID()                                                                      \
    const char* GetClassName() const override { return #Name; }                              \
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TParticleFunction::IsKindOf(id); } \
    uint8_t GetResultWidth(const uint8_t* widths, uint32_t argc) const override;             \
    bool Evaluate(TParticleContext& context, TParticleCall& call) override;                  \
  };

TARVELON_PARTICLE_FUNCTION(FAssign)
TARVELON_PARTICLE_FUNCTION(FTimeScale)
TARVELON_PARTICLE_FUNCTION(FExpire)
TARVELON_PARTICLE_FUNCTION(FAge)
TARVELON_PARTICLE_FUNCTION(FVec)
TARVELON_PARTICLE_FUNCTION(FAdd)
TARVELON_PARTICLE_FUNCTION(FSub)
TARVELON_PARTICLE_FUNCTION(FMul)
TARVELON_PARTICLE_FUNCTION(FDiv)
TARVELON_PARTICLE_FUNCTION(FUnm)
TARVELON_PARTICLE_FUNCTION(FLt)
TARVELON_PARTICLE_FUNCTION(FLe)
TARVELON_PARTICLE_FUNCTION(FDistance)
TARVELON_PARTICLE_FUNCTION(FRange)
TARVELON_PARTICLE_FUNCTION(FPick)
TARVELON_PARTICLE_FUNCTION(FFade)
TARVELON_PARTICLE_FUNCTION(F2dRadius)
TARVELON_PARTICLE_FUNCTION(F2dRotation)
TARVELON_PARTICLE_FUNCTION(FVIndex)
TARVELON_PARTICLE_FUNCTION(FIndex)
TARVELON_PARTICLE_FUNCTION(FNewIndex)
TARVELON_PARTICLE_FUNCTION(FAlpha)
TARVELON_PARTICLE_FUNCTION(FDebug)
#undef TARVELON_PARTICLE_FUNCTION

// The cycles step through n evenly spaced values from a toward b, one per evaluation; the
// counter belongs to the object, so successive particles get successive values.
class FOpenCycle : public TParticleFunction {
 public:
  TARVELON_CLASS_ID()
  const char* GetClassName() const override { return "FOpenCycle"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TParticleFunction::IsKindOf(id); }
  uint8_t GetResultWidth(const uint8_t*, uint32_t) const override { return 1; }
  bool Evaluate(TParticleContext& context, TParticleCall& call) override;
  // The value at the counter's position, then the counter's step.
  float Next(float a, float b, float n) {
    float value = a + (b - a) * Fraction(mCounter, n);
    mCounter++;
    if (float(mCounter) >= n) mCounter = 0;
    return value;
  }

 protected:
  // The value for the counter's position among n; the closed cycle reaches b.
  virtual float Fraction(uint32_t counter, float n) const { return float(counter) / n; }
  uint32_t mCounter = 0;
};

class FClosedCycle : public FOpenCycle {
 public:
  TARVELON_CLASS_ID()
  const char* GetClassName() const override { return "FClosedCycle"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TParticleFunction::IsKindOf(id); }

 protected:
  float Fraction(uint32_t counter, float n) const override { return float(counter) / (n - 1); }
};

// A member read as a value (index >= 0: floats of the record), or an external function
// (index < 0: slot -index - 1).
class FGetParticleParam : public TParticleFunction {
 public:
  FGetParticleParam(int16_t index, uint8_t width) : mIndex(index), mWidth(width) {}
  uint8_t GetResultWidth(const uint8_t*, uint32_t) const override { return mWidth; }
  bool Evaluate(TParticleContext& context, TParticleCall& call) override;
  int16_t GetIndex() const { return mIndex; }

 private:
  int16_t mIndex;
  uint8_t mWidth;
};

// A constant of N floats.
template <int N>
class FPush : public TParticleFunction {
 public:
  explicit FPush(const float* value) {
    for (int i = 0; i < N; ++i) mValue[i] = value[i];
  }
  uint8_t GetResultWidth(const uint8_t*, uint32_t) const override { return N; }
  bool Evaluate(TParticleContext&, TParticleCall& call) override { return PushParticleValue(call, mValue, N); }
  const float* GetValue() const { return mValue; }

 private:
  float mValue[N];
};

// A 2D vector that its owner sets from outside before each update (the effect sprite's
// emitter position and up direction).
class TEmitterVector : public TParticleFunction {
 public:
  uint8_t GetResultWidth(const uint8_t*, uint32_t) const override { return 2; }
  bool Evaluate(TParticleContext&, TParticleCall& call) override;
  void Set(const TVec2& value) { mValue = value; }
  const TVec2& Get() const { return mValue; }
  // The two floats, read where they are by the fast form of a stream.
  const float* Data() const { return &mValue.x; }

 private:
  TVec2 mValue;
};

class TEmitterLocus : public TEmitterVector {
 public:
  TARVELON_CLASS_ID()
  const char* GetClassName() const override { return "TEmitterLocus"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TParticleFunction::IsKindOf(id); }
};

class TEmitterUp : public TEmitterVector {
 public:
  TARVELON_CLASS_ID()
  const char* GetClassName() const override { return "TEmitterUp"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TParticleFunction::IsKindOf(id); }
};
