#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphics/math/vector_math.h"

namespace {

void ExpectRows(const TMat3& m, std::initializer_list<float> values) {
  const float* v = values.begin();
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(m.m[i][j], v[i * 3 + j], 1e-6f) << i << "," << j;
}

TEST(VectorMathTest, VectorsDefaultToZeroAndCombineComponentWise) {
  TVec2 a;
  EXPECT_EQ(a.x, 0);
  EXPECT_EQ(a.y, 0);
  TVec2 b(1, 2);
  b += TVec2(3, 4);
  EXPECT_EQ(b.x, 4);
  EXPECT_EQ(b.y, 6);
  TVec2 c = -(b * 0.5f);
  EXPECT_EQ(c.x, -2);
  EXPECT_EQ(c.y, -3);
  b = b;  // NOLINT: self-assignment changes nothing
  EXPECT_EQ(b.x, 4);
  TVec3 d(TVec2(1, 2), 3);
  d += TVec3(1, 1, 1);
  EXPECT_EQ((d + TVec3(0, 0, 1)).z, 5);
  TVec4 e;
  EXPECT_EQ(e.w, 0);
  EXPECT_EQ(TVec4(1, 2, 3, 4)[3], 4);
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
