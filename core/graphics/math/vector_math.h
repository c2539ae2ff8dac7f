#pragma once
// The small value types of the graphics code: float vectors, the colour of four floats,
// the 3x3 row-vector matrix of 2D drawing and the 4x4 matrix of the 3D projection.

#include "platform/color32.h"

struct TVec2 {
  float x = 0, y = 0;

  TVec2() = default;
  TVec2(float x, float y) : x(x), y(y) {}

  TVec2& operator+=(const TVec2& o) {
    x += o.x;
    y += o.y;
    return *this;
  }
  TVec2& operator*=(float s) {
    x *= s;
    y *= s;
    return *this;
  }
  TVec2 operator+(const TVec2& o) const { return TVec2(x + o.x, y + o.y); }
  TVec2 operator*(float s) const { return TVec2(x * s, y * s); }
  TVec2 operator-() const { return TVec2(-x, -y); }
};

struct TVec3 {
  float x = 0, y = 0, z = 0;

  TVec3() = default;
  TVec3(float x, float y, float z) : x(x), y(y), z(z) {}
  TVec3(const TVec2& v, float z) : x(v.x), y(v.y), z(z) {}

  TVec3& operator+=(const TVec3& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
  }
  TVec3 operator+(const TVec3& o) const { return TVec3(x + o.x, y + o.y, z + o.z); }
  float& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
  float operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
};

struct TVec4 {
  float x = 0, y = 0, z = 0, w = 0;

  TVec4() = default;
  TVec4(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}
  float& operator[](int i) { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
  float operator[](int i) const { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
};

// A colour of four floats in 0..1; its holder sets it.
struct TColor {
  float r, g, b, a;

  // Exact float comparison: -0.0 equals 0.0, NaN equals nothing.
  bool operator==(const TColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
  bool operator!=(const TColor& o) const { return !(*this == o); }
};

// Packs each channel as trunc(value x 255); values outside 0..1 are clamped first.
TColor32 ToColor32(const TColor& c);
TColor FromColor32(TColor32 c);

// A 2D affine transform with row vectors: rows (a, b, 0), (c, d, 0), (tx, ty, 1).
struct TMat3 {
  TVec3 m[3];  // all zero until set

  TMat3() = default;
  TMat3(float f1, float f2, float f3, float f4, float f5, float f6, float f7, float f8, float f9)
      : m{TVec3(f1, f2, f3), TVec3(f4, f5, f6), TVec3(f7, f8, f9)} {}

  void SetIdentity();
  // The 2x2 part becomes its product with the rotation's (or scale's) 2x2 part; the
  // translation row is kept.
  void Rotate(float radians);
  void Scale(float s);

  static TMat3 Identity();
  // Rows (cos, sin, 0), (-sin, cos, 0), (0, 0, 1).
  static TMat3 Rotation(float radians);
  static TMat3 Scaling(float s);
};

// The full 3x3 product: r[i][j] = sum over k of a[i][k] b[k][j].
TMat3 operator*(const TMat3& a, const TMat3& b);
// x' = a x + c y + tx, y' = b x + d y + ty.
TVec2 TransformPoint(const TVec2& point, const TMat3& matrix);

struct TMat4 {
  TVec4 m[4] = {TVec4(1, 0, 0, 0), TVec4(0, 1, 0, 0), TVec4(0, 0, 1, 0), TVec4(0, 0, 0, 1)};

  // A left-handed perspective projection (fov in radians) whose centre is moved by shift
  // (-1..1 of the half view in x and y).
  static TMat4 Perspective(float nearZ, float farZ, float fov, float aspect, const TVec2& shift);
};

// a - 0.0001 < b < a + 0.0001; false when either is NaN.
bool NearlyEqual(float a, float b);
