#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "graphics/math/vector_math.h"

namespace {

void ExpectRows(const TMat3& m, std::initializer_list<float> values) {
  const float* v = values.begin();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(m.m[i][j], v[i * 3 + j], 1e-6f) << i << "," << j;
}

// A value made by default in storage that held other bytes: only the members' own
// initializers make it zero there (fresh stack or heap memory often is zero already).
template <typename T>
struct TDirtyStorage {
  alignas(T) unsigned char bytes[sizeof(T)];
  TDirtyStorage() { std::memset(bytes, 0x5a, sizeof bytes); }
  const T& Make() { return *new (bytes) T; }
};

TEST(VectorMathTest, DefaultValuesAreZeroWhateverTheStorageHeld) {
  TDirtyStorage<TVec2> v2;
  TDirtyStorage<TVec3> v3;
  TDirtyStorage<TVec4> v4;
  TDirtyStorage<TMat3> m3;
  TDirtyStorage<TMat4> m4;
  const TVec2& a = v2.Make();
  EXPECT_EQ(a.x, 0);
  EXPECT_EQ(a.y, 0);
  const TVec3& b = v3.Make();
  const TVec4& c = v4.Make();
  const TMat3& m = m3.Make();
  const TMat4& p = m4.Make();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(b[i], 0) << i;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(c[i], 0) << i;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(m.m[i][j], 0) << i << "," << j;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(p.m[i][j], i == j ? 1 : 0) << i << "," << j;
}

TEST(VectorMathTest, VectorsCombineComponentWise) {
  struct TCase {
    TVec3 a, b;
    float s;
  };
  const TCase cases[] = {
      {TVec3(1, 2, 3), TVec3(3, 4, 5), 0.5f},
      {TVec3(-1.5f, 0, 7), TVec3(1.5f, -2, -7), -2},
      {TVec3(0, 0, 0), TVec3(1e30f, -1e-30f, 2), 3},
  };
  for (const TCase& c : cases) {
    TVec3 sum = c.a + c.b;
    TVec3 accumulated = c.a;
    accumulated += c.b;
    TVec3 fromDefault;
    fromDefault += c.a;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(sum[i], c.a[i] + c.b[i]) << i;
      EXPECT_EQ(accumulated[i], sum[i]) << i;
      EXPECT_EQ(fromDefault[i], c.a[i]) << i;
    }
    TVec2 a(c.a.x, c.a.y), b(c.b.x, c.b.y);
    TVec2 sum2 = a + b, accumulated2 = a, scaled = a * c.s, scaledInPlace = a, negated = -a;
    accumulated2 += b;
    scaledInPlace *= c.s;
    EXPECT_EQ(sum2.x, sum.x);
    EXPECT_EQ(sum2.y, sum.y);
    EXPECT_EQ(accumulated2.x, sum.x);
    EXPECT_EQ(accumulated2.y, sum.y);
    EXPECT_EQ(scaled.x, c.a.x * c.s);
    EXPECT_EQ(scaled.y, c.a.y * c.s);
    EXPECT_EQ(scaledInPlace.x, scaled.x);
    EXPECT_EQ(scaledInPlace.y, scaled.y);
    EXPECT_EQ(negated.x, -c.a.x);
    EXPECT_EQ(negated.y, -c.a.y);
    TVec3 lifted(a, c.a.z);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(lifted[i], c.a[i]) << i;
  }
  // Indexing reaches the named members in order, for reading and writing.
  TVec4 v(1, 2, 3, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(v[i], float(i + 1)) << i;
  v[2] = 9;
  EXPECT_EQ(v.z, 9);
  TVec3 w;
  w[1] = 5;
  EXPECT_EQ(w.y, 5);
  EXPECT_EQ(w.x + w.z, 0);
}

TEST(VectorMathTest, RotationKeepsTheTranslationRow) {
  TMat3 m = TMat3::Identity();
  m.m[2][0] = 7;
  m.m[2][1] = -3;
  m.Rotate(float(M_PI / 2));
  ExpectRows(m, {0, 1, 0, -1, 0, 0, 7, -3, 1});
  TVec2 p = TransformPoint(TVec2(1, 0), m);  // x' = a x + c y + tx
  EXPECT_NEAR(p.x, 7, 1e-6f);
  EXPECT_NEAR(p.y, -2, 1e-6f);
}

TEST(VectorMathTest, ScaleAndFullProduct) {
  TMat3 m(1, 2, 0, 3, 4, 0, 5, 6, 1);
  m.Scale(2);
  ExpectRows(m, {2, 4, 0, 6, 8, 0, 5, 6, 1});
  TMat3 a(1, 2, 3, 4, 5, 6, 7, 8, 9), b(9, 8, 7, 6, 5, 4, 3, 2, 1);
  ExpectRows(a * b, {30, 24, 18, 84, 69, 54, 138, 114, 90});
  // Scale then translate, as sprites compose their matrices.
  TMat3 t = TMat3::Identity();
  t.m[2][0] = 10;
  TVec2 p = TransformPoint(TVec2(1, 1), TMat3::Scaling(3) * t);
  EXPECT_EQ(p.x, 13);
  EXPECT_EQ(p.y, 3);
  TMat3 z;
  ExpectRows(z, {0, 0, 0, 0, 0, 0, 0, 0, 0});
}

TEST(VectorMathTest, PerspectiveEntries) {
  float fov = float(M_PI / 2);  // c = 1
  TMat4 m = TMat4::Perspective(1, 101, fov, 0.75f, TVec2(0.5f, -0.5f));
  EXPECT_NEAR(m.m[0][0], 0.75f, 1e-6f);
  EXPECT_NEAR(m.m[1][1], 1, 1e-6f);
  EXPECT_NEAR(m.m[2][0], -1, 1e-6f);
  EXPECT_NEAR(m.m[2][1], -1, 1e-6f);
  EXPECT_NEAR(m.m[2][2], 1.01f, 1e-6f);
  EXPECT_EQ(m.m[2][3], 1);
  EXPECT_NEAR(m.m[3][2], -1.01f, 1e-6f);
  EXPECT_EQ(m.m[3][3], 0);
  EXPECT_EQ(m.m[0][1], 0);
  TMat4 edge = TMat4::Perspective(1, 2, fov, 1, TVec2(1, -1));
  EXPECT_EQ(edge.m[2][0], -10000);
  EXPECT_EQ(edge.m[2][1], -10000);
  TMat4 identity;
  EXPECT_EQ(identity.m[3][3], 1);
  EXPECT_EQ(identity.m[0][1], 0);
}

TEST(VectorMathTest, NearlyEqualAndExactColourComparison) {
  EXPECT_TRUE(NearlyEqual(1.0f, 1.00005f));
  EXPECT_FALSE(NearlyEqual(1.0f, 1.0002f));
  float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(NearlyEqual(nan, 1.0f));
  EXPECT_FALSE(NearlyEqual(1.0f, nan));
  EXPECT_TRUE((TColor{0, 0, 0, 0} == TColor{0, 0, 0, -0.0f}));
  EXPECT_FALSE((TColor{0, 0, 0, 0} == TColor{0, 0, 0, 1e-9f}));
  EXPECT_EQ(ToColor32(TColor{1, 0.5f, 0, 1}), 0xFFFF7F00u);
  EXPECT_EQ(ToColor32(TColor{2, -1, nan, 0.999f}), 0xFEFF0000u);
}

}  // namespace
