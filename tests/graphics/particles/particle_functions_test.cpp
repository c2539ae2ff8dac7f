// Particle functions on the value stack: each class's computation and its refusals, the
// bounds of the scratch stack and of the particle record, the fast form of a stream giving
// what the plain protocol gives, and the block form giving what the fast form gives.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "graphics/graphics_test_util.h"
#include "graphics/particles/particle_block_program.h"
#include "graphics/particles/particle_stream.h"
#include "platform/random.h"

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();

using TValues = std::vector<std::vector<float>>;

std::shared_ptr<TParticleFunction> Constant(const std::vector<float>& v) {
  switch (v.size()) {
    case 1: return std::make_shared<FPush<1>>(v.data());
    case 2: return std::make_shared<FPush<2>>(v.data());
    case 3: return std::make_shared<FPush<3>>(v.data());
    default: return std::make_shared<FPush<4>>(v.data());
  }
}

// A particle of one member spanning its whole record.
struct TParticle {
  explicit TParticle(std::vector<float> floats) : record(std::move(floats)) {
    width = uint8_t(record.size());
    context.values = record.data();
    context.width = &width;
    context.count = 1;
    context.start[1] = uint32_t(record.size());
    context.recordSize = uint32_t(record.size());
  }
  std::vector<float> record;
  uint8_t width;
  TParticleContext context;
};

struct TOutcome {
  bool ok = false;
  std::vector<float> value;  // the result, empty when nothing was pushed
  std::vector<float> record;
  bool alive = true;
};

// The constants pushed, then the function called on them (the plain protocol).
TParticleStream Stream(const std::shared_ptr<TParticleFunction>& f, const TValues& args) {
  TParticleStream stream;
  for (const auto& a : args) stream.push_back({Constant(a)});
  TParticleStreamEntry call{f};
  call.argc = uint8_t(args.size());
  stream.push_back(call);
  return stream;
}

TOutcome Evaluate(const std::shared_ptr<TParticleFunction>& f, const TValues& args, uint32_t time = 12,
                  std::vector<float> record = std::vector<float>(8, 0.0f)) {
  TParticle particle(std::move(record));
  particle.context.time = time;
  auto scratch = std::make_unique<TParticleScratch>();
  TParticleCall call;
  call.stack = scratch.get();
  TParticleStream constants = Stream(f, args);
  constants.pop_back();
  RunParticleStream(constants, particle.context, call);
  call.base = 0;
  call.argc = uint8_t(args.size());
  TOutcome out;
  out.ok = f->Evaluate(particle.context, call);
  if (out.ok && call.base == 1) out.value.assign(scratch->values, scratch->values + scratch->width[0]);
  out.record = particle.record;
  out.alive = particle.context.alive != 0;
  return out;
}

// The same call through the fast form; its result is read at the first argument's place.
TOutcome EvaluateFast(const std::shared_ptr<TParticleFunction>& f, const TValues& args, uint32_t width,
                      uint32_t time = 12, std::vector<float> record = std::vector<float>(8, 0.0f)) {
  TParticle particle(std::move(record));
  particle.context.time = time;
  TParticleProgram program;
  TOutcome out;
  out.ok = program.Build(Stream(f, args), particle.context.recordSize, {});
  if (!out.ok) return out;
  auto scratch = std::make_unique<TParticleScratch>();
  program.Run(particle.context, scratch->storage);
  out.value.assign(scratch->storage, scratch->storage + width);
  out.record = particle.record;
  out.alive = particle.context.alive != 0;
  return out;
}

template <typename T>
std::shared_ptr<TParticleFunction> F() {
  return std::make_shared<T>();
}

}  // namespace

TEST(ParticleFunctions, ComputeTheirResults) {
  struct TCase {
    const char* what;
    std::shared_ptr<TParticleFunction> f;
    TValues args;
    std::vector<float> expected;  // empty: the function fails
    uint32_t time = 12;
  };
  const TCase cases[] = {
      {"add", F<FAdd>(), {{1, 2}, {3, 4}}, {4, 6}},
      {"add of one argument", F<FAdd>(), {{1, 2}}, {}},
      {"sub", F<FSub>(), {{5, 2, 1}, {1, 1, 1}}, {4, 1, 0}},
      {"mul by a scalar", F<FMul>(), {{1, 2}, {3}}, {3, 6}},
      {"mul by a vector", F<FMul>(), {{1, 2}, {3, 4}}, {}},
      {"div", F<FDiv>(), {{3, 6}, {3}}, {1, 2}},
      {"unm", F<FUnm>(), {{1, -2}}, {-1, 2}},
      {"lt", F<FLt>(), {{1}, {2}}, {1}},
      {"le equal", F<FLe>(), {{2}, {2}}, {1}},
      {"lt of vectors", F<FLt>(), {{1, 1}, {2}}, {}},
      {"distance", F<FDistance>(), {{0, 0}, {3, 4}}, {5}},
      {"vec of scalars", F<FVec>(), {{1}, {2}, {3}}, {1, 2, 3}},
      {"vec of five", F<FVec>(), {{1}, {2}, {3}, {4}, {5}}, {}},
      {"time scale", F<FTimeScale>(), {{10, 20}}, {0.12f, 0.24f}},
      {"time scale while initialising", F<FTimeScale>(), {{10, 20}}, {0, 0}, 0},
      {"age", F<FAge>(), {}, {12}},
      {"age while initialising", F<FAge>(), {}, {0}, 0},
      {"alpha", F<FAlpha>(), {{1, 2, 3}, {0.5f}}, {1, 2, 3, 0.5f}},
      {"alpha of two components", F<FAlpha>(), {{1, 2}, {0.5f}}, {}},
      {"rotation", F<F2dRotation>(), {{0}}, {1, 0}},
      {"vindex", F<FVIndex>(), {{5, 6, 7}, {2}}, {6}},
      {"vindex 0", F<FVIndex>(), {{5, 6, 7}, {0}}, {}},
      {"vindex past the width", F<FVIndex>(), {{5, 6, 7}, {4}}, {}},
      {"vindex NaN", F<FVIndex>(), {{5, 6, 7}, {NaN}}, {}},
      {"fade without durations", F<FFade>(), {{5}, {2, 3}}, {2, 3}},
      {"fade inside a segment", F<FFade>(), {{5}, {0}, {10}, {1}}, {0.5f}},
      {"fade at a duration's end", F<FFade>(), {{10}, {0}, {10}, {1}, {10}, {3}}, {1}},
      {"fade past the end", F<FFade>(), {{99}, {0}, {10}, {1}, {10}, {3}}, {3}},
      {"fade before 0", F<FFade>(), {{-4}, {7}, {10}, {1}}, {7}},
      {"fade at NaN", F<FFade>(), {{NaN}, {7}, {10}, {1}}, {7}},
      {"pick of one", F<FPick>(), {{4, 5}}, {4, 5}},
      {"range of unequal widths", F<FRange>(), {{1, 2}, {3}}, {}},
      {"radius of a vector", F<F2dRadius>(), {{1, 2}}, {}},
  };
  for (const TCase& c : cases) {
    TOutcome plain = Evaluate(c.f, c.args, c.time);
    EXPECT_EQ(plain.ok, !c.expected.empty()) << c.what;
    if (!c.expected.empty()) {
      ASSERT_EQ(plain.value.size(), c.expected.size()) << c.what;
      for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_FLOAT_EQ(plain.value[i], c.expected[i]) << c.what;
      TOutcome fast = EvaluateFast(c.f, c.args, uint32_t(c.expected.size()), c.time);
      if (fast.ok) {
        EXPECT_EQ(fast.value, plain.value) << c.what;
      }
    }
  }
}

TEST(ParticleFunctions, ExpireClearsTheAliveFlag) {
  for (float flag : {0.0f, 1.0f, NaN}) {
    TOutcome out = Evaluate(F<FExpire>(), {{flag}});
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(out.alive, flag == 0.0f) << flag;
    EXPECT_EQ(out.value, std::vector<float>{flag == 0.0f ? 0.0f : 1.0f}) << flag;
  }
  EXPECT_FALSE(Evaluate(F<FExpire>(), {{1, 1}}).ok);
}

TEST(ParticleFunctions, CyclesStepThroughEvenlySpacedValues) {
  for (bool closed : {false, true}) {
    std::shared_ptr<TParticleFunction> cycle = closed ? F<FClosedCycle>() : F<FOpenCycle>();
    std::vector<float> seen;
    for (int i = 0; i < 5; ++i) seen.push_back(Evaluate(cycle, {{0}, {6}, {4}}).value.at(0));
    EXPECT_EQ(seen, closed ? (std::vector<float>{0, 2, 4, 6, 0}) : (std::vector<float>{0, 1.5f, 3, 4.5f, 0}));
  }
}

TEST(ParticleFunctions, RandomFunctionsDrawFromTheSharedGenerator) {
  const uint32_t seed[4] = {3, 1, 4, 1};
  TParticleRandom::Seed(seed);
  TOutcome plain = Evaluate(F<FRange>(), {{0, 10}, {1, 20}});
  TOutcome radius = Evaluate(F<F2dRadius>(), {{2}});
  TParticleRandom::Seed(seed);
  TOutcome fast = EvaluateFast(F<FRange>(), {{0, 10}, {1, 20}}, 2);
  TOutcome fastRadius = EvaluateFast(F<F2dRadius>(), {{2}}, 2);
  ASSERT_TRUE(plain.ok && fast.ok && radius.ok && fastRadius.ok);
  EXPECT_EQ(plain.value, fast.value);
  EXPECT_EQ(radius.value, fastRadius.value);
  EXPECT_TRUE(plain.value[0] >= 0 && plain.value[0] < 1 && plain.value[1] >= 10 && plain.value[1] < 20);
  EXPECT_NEAR(std::hypot(radius.value[0], radius.value[1]), 2.0, 1e-5);
}

TEST(ParticleFunctions, RecordWritesStayInsideTheRecord) {
  struct TCase {
    const char* what;
    std::shared_ptr<TParticleFunction> f;
    TValues args;
    bool ok;
    std::vector<float> record;
  };
  const std::vector<float> zero(8, 0.0f);
  const TCase cases[] = {
      {"assign", F<FAssign>(), {{7, 8}, {2}, {2}}, true, {0, 0, 7, 8, 0, 0, 0, 0}},
      {"assign at the end", F<FAssign>(), {{7, 8}, {6}, {2}}, true, {0, 0, 0, 0, 0, 0, 7, 8}},
      {"assign past the end", F<FAssign>(), {{7, 8}, {7}, {2}}, false, zero},
      {"assign before the start", F<FAssign>(), {{7, 8}, {-1}, {2}}, false, zero},
      {"assign at NaN", F<FAssign>(), {{7, 8}, {NaN}, {2}}, false, zero},
      {"assign at a huge offset", F<FAssign>(), {{7}, {3e9f}, {1}}, false, zero},
      {"newindex", F<FNewIndex>(), {{1}, {2}, {9}}, true, {0, 0, 9, 0, 0, 0, 0, 0}},
      {"newindex at NaN", F<FNewIndex>(), {{NaN}, {1}, {9}}, false, zero},
      {"newindex at a NaN index", F<FNewIndex>(), {{0}, {NaN}, {9}}, false, zero},
      {"newindex past the end", F<FNewIndex>(), {{4}, {5}, {9}}, false, zero},
      {"newindex before the start", F<FNewIndex>(), {{0}, {0}, {9}}, false, zero},
  };
  for (const TCase& c : cases) {
    TOutcome plain = Evaluate(c.f, c.args);
    EXPECT_EQ(plain.ok, c.ok) << c.what;
    EXPECT_EQ(plain.record, c.record) << c.what;
    TOutcome fast = EvaluateFast(c.f, c.args, 1);
    ASSERT_TRUE(fast.ok) << c.what;  // the fast form checks the same at run time
    EXPECT_EQ(fast.record, c.record) << c.what;
  }
}

TEST(ParticleFunctions, IndexReadsTheRecordOrReportsTheIndex) {
  TGraphicsTestLog log;
  std::vector<float> record = {0, 1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(Evaluate(F<FIndex>(), {{2}, {3}}, 12, record).value, std::vector<float>{4});
  EXPECT_FALSE(Evaluate(F<FIndex>(), {{2}, {9}}, 12, record).ok);
  EXPECT_FALSE(Evaluate(F<FIndex>(), {{0}, {0}}, 12, record).ok);
  EXPECT_FALSE(Evaluate(F<FIndex>(), {{NaN}, {1}}, 12, record).ok);
  std::string text = log.Text();
  EXPECT_NE(text.find("..\\core\\luaparticlesystem.cpp(613): Out of range parameter index [9]"), std::string::npos)
      << text;
  EXPECT_NE(text.find("Out of range parameter index [0]"), std::string::npos) << text;
}

TEST(ParticleFunctions, DebugWritesTheValues) {
  TGraphicsTestLog log;
  TOutcome out = Evaluate(F<FDebug>(), {{1, 2}, {3}});
  EXPECT_TRUE(out.ok);
  EXPECT_TRUE(out.value.empty());
  EXPECT_NE(log.Text().find("Particle Values: (1.000000,2.000000) (3.000000) "), std::string::npos) << log.Text();
}

TEST(ParticleFunctions, ScratchStackRefusesValuesPastItsBounds) {
  // 255 values of four floats fill the 1020 floats; the next one is refused and stops
  // the stream, whichever way it runs.
  TParticleStream stream;
  const float four[4] = {1, 2, 3, 4};
  for (int i = 0; i < 256; ++i) stream.push_back({std::make_shared<FPush<4>>(four)});
  TParticleStreamEntry assign{F<FAssign>()};
  assign.argc = 3;
  stream.push_back(assign);
  TParticle particle(std::vector<float>(4, 0.0f));
  auto scratch = std::make_unique<TParticleScratch>();
  TParticleCall call;
  call.stack = scratch.get();
  RunParticleStream(stream, particle.context, call);
  EXPECT_EQ(call.base, 255);
  EXPECT_EQ(scratch->start[255], 1020u);
  TParticleProgram program;
  EXPECT_FALSE(program.Build(stream, 4, {}));
  // Wider than four floats is never a value.
  FGetParticleParam wide(0, 5);
  TParticle big(std::vector<float>(8, 1.0f));
  call.base = call.top = call.argc = 0;
  EXPECT_FALSE(wide.Evaluate(big.context, call));
}

TEST(ParticleFunctions, FastFormFallsBackForStreamsItCannotLayOut) {
  struct TCase {
    const char* what;
    std::shared_ptr<TParticleFunction> f;
    TValues args;
  };
  const TCase cases[] = {
      {"a second value narrower than the first", F<FAdd>(), {{1, 2}, {3}}},
      {"an alpha without its value", F<FAlpha>(), {{1, 2, 3}}},
      {"debug output", F<FDebug>(), {{1}}},
      {"keyframes of other widths", F<FFade>(), {{1}, {1, 2}, {5}, {3}}},
      {"a pick among other widths", F<FPick>(), {{1, 2}, {3}}},
  };
  for (const TCase& c : cases) {
    TParticleProgram program;
    EXPECT_FALSE(program.Build(Stream(c.f, c.args), 8, {})) << c.what;
  }
  // Arguments missing from the stack.
  TParticleStream underflow = Stream(F<FAdd>(), {{1}});
  underflow.back().argc = 2;
  TParticleProgram program;
  EXPECT_FALSE(program.Build(underflow, 8, {}));
}

namespace {

// An expression tree, laid out in postfix as the compiler does.
struct TExpr {
  std::shared_ptr<TParticleFunction> f;
  std::vector<TExpr> args;
};

TExpr Member(int16_t index, uint8_t width) { return {std::make_shared<FGetParticleParam>(index, width), {}}; }
TExpr Value(const std::vector<float>& v) { return {Constant(v), {}}; }
TExpr Call(const std::shared_ptr<TParticleFunction>& f, std::vector<TExpr> args) { return {f, std::move(args)}; }
// record[offset .. offset + width) = value
TExpr Store(TExpr value, TExpr offset, float width) {
  return Call(F<FAssign>(), {std::move(value), std::move(offset), Value({width})});
}

void Emit(const TExpr& e, TParticleStream& stream) {
  for (const TExpr& a : e.args) Emit(a, stream);
  TParticleStreamEntry entry{e.f};
  entry.argc = uint8_t(e.args.size());
  stream.push_back(entry);
}

TParticleStream Statements(const std::vector<TExpr>& statements) {
  TParticleStream stream;
  for (const TExpr& e : statements) Emit(e, stream);
  return stream;
}

constexpr uint32_t BlockRecord = 8;

// Records of varied values, some negative, that give the lanes different outcomes.
std::vector<float> BlockRecords(uint32_t count) {
  std::vector<float> records(count * BlockRecord);
  for (uint32_t i = 0; i < records.size(); ++i) records[i] = float((i * 7 + i / BlockRecord * 5) % 13) - 3.0f;
  return records;
}

struct TBlockOutcome {
  std::vector<float> records;
  std::vector<uint8_t> alive;
  uint32_t nextRandom = 0;  // the shared generator's next word after the run
};

// Every particle through the per-particle form (blocks false) or the block form.
TBlockOutcome RunParticles(const TParticleStream& stream, uint32_t count, bool blocks) {
  const uint32_t seed[4] = {2, 7, 1, 8};
  TParticleRandom::Seed(seed);
  TBlockOutcome out;
  out.records = BlockRecords(count);
  TParticleProgram program;
  EXPECT_TRUE(program.Build(stream, BlockRecord, {}));
  if (blocks) {
    TParticleBlockProgram block;
    EXPECT_TRUE(block.Build(program));
    TParticleBlockProgram::TBlock lanes;
    for (uint32_t first = 0; first < count; first += TParticleBlockProgram::Lanes) {
      lanes.count = std::min(count - first, TParticleBlockProgram::Lanes);
      for (uint32_t l = 0; l < lanes.count; ++l) lanes.records[l] = out.records.data() + (first + l) * BlockRecord;
      block.Run(lanes, 12, BlockRecord);
      out.alive.insert(out.alive.end(), lanes.alive, lanes.alive + lanes.count);
    }
  } else {
    auto scratch = std::make_unique<TParticleScratch>();
    for (uint32_t p = 0; p < count; ++p) {
      TParticle particle(std::vector<float>(out.records.begin() + p * BlockRecord,
                                            out.records.begin() + (p + 1) * BlockRecord));
      particle.context.time = 12;
      program.Run(particle.context, scratch->storage);
      std::copy(particle.record.begin(), particle.record.end(), out.records.begin() + p * BlockRecord);
      out.alive.push_back(particle.context.alive);
    }
  }
  out.nextRandom = TParticleRandom::Get().GenRand();
  return out;
}

}  // namespace

TEST(ParticleFunctions, BlockFormGivesWhatTheParticleFormGives) {
  using TStatements = std::vector<TExpr>;
  // Offsets that depend on the particle: 5 + m0 / 2 lies past the record for some.
  auto laneOffset = [] { return Call(F<FAdd>(), {Value({5}), Call(F<FDiv>(), {Member(0, 1), Value({2})})}); };
  auto drawAndExpire = [] {
    return TStatements{
        Store(Call(F<FAdd>(), {Member(0, 2), Call(F<FRange>(), {Value({0, 1}), Member(2, 2)})}), Value({0}), 2),
        Call(F<FExpire>(), {Call(F<FLt>(), {Member(4, 1), Member(5, 1)})}),
        Store(Call(F<FTimeScale>(), {Member(6, 2)}), Value({6}), 2)};
  };
  auto failBeforeDrawing = [&] {
    return TStatements{Store(Member(3, 1), laneOffset(), 1),
                       Store(Call(F<F2dRadius>(), {Member(1, 1)}), Value({6}), 2),
                       Call(F<FExpire>(), {Call(F<FLe>(), {Member(2, 1), Value({0})})})};
  };
  auto failEverywhere = [] {
    return TStatements{Store(Member(0, 2), Value({7}), 2),
                       Store(Call(F<FRange>(), {Value({0}), Value({1})}), Value({0}), 1),
                       Call(F<FExpire>(), {Value({1})})};
  };
  auto pickAndIndex = [] {
    TExpr fade = Call(F<FFade>(), {Call(F<FAge>(), {}), Member(6, 1), Member(7, 1), Value({4}), Value({3}),
                                   Member(2, 1)});
    return TStatements{Store(Call(F<FPick>(), {Member(0, 2), Member(2, 2), Value({9, 9})}), Value({0}), 2),
                       Store(Call(F<FVIndex>(), {Member(4, 3), Member(1, 1)}), Value({7}), 1),
                       Call(F<FNewIndex>(), {Value({2}), Member(3, 1), Member(5, 1)}), Store(fade, Value({1}), 1)};
  };
  auto constantKeyframes = [] {
    TExpr byAge = Call(F<FFade>(), {Member(0, 1), Value({0.5f}), Value({3}), Value({1}), Value({2}), Value({4})});
    TExpr fixed = Call(F<FFade>(), {Value({4}), Value({1, 2}), Value({6}), Value({3, 4})});
    return TStatements{Store(byAge, Value({1}), 1), Store(fixed, Value({2}), 2)};
  };
  auto cycleAndGeometry = [] {
    TExpr alpha = Call(F<FAlpha>(), {Call(F<FSub>(), {Member(0, 3), Member(3, 3)}),
                                     Call(F<FMul>(), {Member(7, 1), Value({2})})});
    return TStatements{Store(Call(F<FOpenCycle>(), {Member(0, 1), Member(1, 1), Value({4})}), Value({2}), 1),
                       Store(Call(F<F2dRotation>(), {Member(3, 1)}), Value({4}), 2),
                       Store(Call(F<FDistance>(), {Member(4, 2), Call(F<FUnm>(), {Member(6, 2)})}), Value({6}), 1),
                       Store(alpha, Value({4}), 4)};
  };
  // Each form gets functions of its own: a cycle keeps its count in the function.
  struct TCase {
    const char* what;
    std::function<TStatements()> statements;
  };
  const TCase cases[] = {
      {"a random draw, then expiry", drawAndExpire},
      {"writes failing on some particles before their draw and expiry", failBeforeDrawing},
      {"a constant write outside every record", failEverywhere},
      {"a pick, indices and per-particle keyframes", pickAndIndex},
      {"fades of constant keyframes", constantKeyframes},
      {"a cycle, a rotation, a distance and an alpha", cycleAndGeometry},
  };
  // Two blocks and part of a third.
  const uint32_t count = 2 * TParticleBlockProgram::Lanes + 13;
  for (const TCase& c : cases) {
    TBlockOutcome particles = RunParticles(Statements(c.statements()), count, false);
    TBlockOutcome blocks = RunParticles(Statements(c.statements()), count, true);
    EXPECT_EQ(blocks.records, particles.records) << c.what;
    EXPECT_EQ(blocks.alive, particles.alive) << c.what;
    EXPECT_EQ(blocks.nextRandom, particles.nextRandom) << c.what;
  }
  // The cases reach what they are about: particles that expire next to ones that live on,
  // and particles that stop before their draw.
  TBlockOutcome expiring = RunParticles(Statements(drawAndExpire()), count, true);
  EXPECT_NE(std::count(expiring.alive.begin(), expiring.alive.end(), 0), 0);
  EXPECT_NE(std::count(expiring.alive.begin(), expiring.alive.end(), 1), 0);
  TBlockOutcome stopping = RunParticles(Statements(failBeforeDrawing()), count, true);
  TBlockOutcome drawing = RunParticles(Statements({Store(Call(F<F2dRadius>(), {Member(1, 1)}), Value({6}), 2)}),
                                       count, true);
  EXPECT_NE(stopping.nextRandom, drawing.nextRandom);
}

TEST(ParticleFunctions, BlockFormRefusesStreamsWhoseOrderWouldShow) {
  auto cycle = F<FOpenCycle>();
  auto stepped = [](const std::shared_ptr<TParticleFunction>& f, float at) {
    return Store(Call(f, {Value({0}), Value({1}), Value({4})}), Value({at}), 1);
  };
  struct TCase {
    const char* what;
    std::vector<TExpr> statements;
    bool built;
  };
  const TCase cases[] = {
      {"two random draws",
       {Store(Call(F<FRange>(), {Value({0}), Value({1})}), Value({0}), 1),
        Store(Call(F<F2dRadius>(), {Value({1})}), Value({2}), 2)},
       false},
      {"one cycle stepped twice", {stepped(cycle, 0), stepped(cycle, 1)}, false},
      {"two cycles and one draw",
       {stepped(F<FOpenCycle>(), 0), stepped(F<FClosedCycle>(), 1),
        Store(Call(F<FPick>(), {Value({0}), Value({1})}), Value({2}), 1)},
       true},
  };
  for (const TCase& c : cases) {
    TParticleProgram program;
    ASSERT_TRUE(program.Build(Statements(c.statements), BlockRecord, {})) << c.what;
    TParticleBlockProgram block;
    EXPECT_EQ(block.Build(program), c.built) << c.what;
    EXPECT_EQ(block.IsValid(), c.built) << c.what;
  }
  // Without a fast form there is no block form.
  EXPECT_FALSE(TParticleBlockProgram().Build(TParticleProgram()));
}
