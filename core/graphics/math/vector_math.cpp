#include "graphics/math/vector_math.h"

#include <cmath>

namespace {

uint32_t PackChannel(float v) {
  if (!(v > 0.0f)) return 0;  // NaN too
  if (v >= 1.0f) return 255;
  return uint32_t(v * 255.0f);
}

// The 2x2 part of m times the 2x2 part of r; the rest of m stays.
void Multiply2x2(TMat3& m, const TMat3& r) {
  for (int i = 0; i < 2; ++i) {
    float a = m.m[i][0], b = m.m[i][1];
    m.m[i][0] = a * r.m[0][0] + b * r.m[1][0];
    m.m[i][1] = a * r.m[0][1] + b * r.m[1][1];
  }
}

}  // namespace

TColor32 ToColor32(const TColor& c) {
  return MakeColor32(PackChannel(c.a), PackChannel(c.r), PackChannel(c.g), PackChannel(c.b));
}

TColor FromColor32(TColor32 c) {
  return TColor{Color32Red(c) / 255.0f, Color32Green(c) / 255.0f, Color32Blue(c) / 255.0f,
                Color32Alpha(c) / 255.0f};
}

void TMat3::SetIdentity() { *this = Identity(); }

void TMat3::Rotate(float radians) { Multiply2x2(*this, Rotation(radians)); }

void TMat3::Scale(float s) { Multiply2x2(*this, Scaling(s)); }

TMat3 TMat3::Identity() { return TMat3(1, 0, 0, 0, 1, 0, 0, 0, 1); }

TMat3 TMat3::Rotation(float radians) {
  float c = std::cos(radians), s = std::sin(radians);
  return TMat3(c, s, 0, -s, c, 0, 0, 0, 1);
}

TMat3 TMat3::Scaling(float s) { return TMat3(s, 0, 0, 0, s, 0, 0, 0, 1); }

TMat3 operator*(const TMat3& a, const TMat3& b) {
  TMat3 r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    }
  }
  return r;
}

TVec2 TransformPoint(const TVec2& p, const TMat3& m) {
  return TVec2(m.m[0][0] * p.x + m.m[1][0] * p.y + m.m[2][0],
               m.m[0][1] * p.x + m.m[1][1] * p.y + m.m[2][1]);
}

TMat4 TMat4::Perspective(float nearZ, float farZ, float fov, float aspect, const TVec2& shift) {
  TMat4 r;
  for (TVec4& row : r.m) row = TVec4();
  float c = std::cos(fov / 2) / std::sin(fov / 2);
  r.m[0][0] = c * aspect;
  r.m[1][1] = c;
  // A shift of a whole half view would divide by zero; it stands for "far off" instead.
  r.m[2][0] = std::fabs(shift.x) == 1.0f ? -10000.0f : -shift.x / (1 - std::fabs(shift.x));
  r.m[2][1] = std::fabs(shift.y) == 1.0f ? -10000.0f : shift.y / (1 - std::fabs(shift.y));
  r.m[2][2] = farZ / (farZ - nearZ);
  r.m[2][3] = 1;
  r.m[3][2] = -nearZ * farZ / (farZ - nearZ);
  return r;
}

bool NearlyEqual(float a, float b) { return a - 0.0001f < b && b < a + 0.0001f; }
