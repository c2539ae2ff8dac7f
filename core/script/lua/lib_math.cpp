// The math library (angles in radians).
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "script/lua/lauxlib.h"
#include "script/lua/lualib.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;
constexpr int kRandScale = 32767;  // the generator's range the scripts were written for

#define MATH_FN1(name, expr)                  \
  int name(lua_State* L) {                    \
    double x = luaL_checknumber(L, 1);        \
    lua_pushnumber(L, (expr));                \
    return 1;                                 \
  }

MATH_FN1(MathAbs, std::fabs(x))
MATH_FN1(MathSin, std::sin(x))
MATH_FN1(MathCos, std::cos(x))
MATH_FN1(MathTan, std::tan(x))
MATH_FN1(MathAsin, std::asin(x))
MATH_FN1(MathAcos, std::acos(x))
MATH_FN1(MathAtan, std::atan(x))
MATH_FN1(MathCeil, std::ceil(x))
MATH_FN1(MathFloor, std::floor(x))
MATH_FN1(MathSqrt, std::sqrt(x))
MATH_FN1(MathLog, std::log(x))
MATH_FN1(MathLog10, std::log10(x))
MATH_FN1(MathExp, std::exp(x))
MATH_FN1(MathDeg, x / kRadiansPerDegree)
MATH_FN1(MathRad, x * kRadiansPerDegree)
#undef MATH_FN1

int MathAtan2(lua_State* L) {
  lua_pushnumber(L, std::atan2(luaL_checknumber(L, 1), luaL_checknumber(L, 2)));
  return 1;
}

// fmod's result, through an integer remainder when both are whole numbers that fit in
// 32 bits (fmod is exact there, and far slower); a zero keeps the dividend's sign.
double Remainder(double a, double b) {
  if (a >= -2147483648.0 && a <= 2147483647.0 && b >= -2147483648.0 && b <= 2147483647.0) {
    const int64_t ia = int64_t(a), ib = int64_t(b);
    if (double(ia) == a && double(ib) == b && ib != 0) {
      const int64_t r = ia % ib;
      return r != 0 ? double(r) : std::copysign(0.0, a);
    }
  }
  return std::fmod(a, b);
}

int MathMod(lua_State* L) {
  lua_pushnumber(L, Remainder(luaL_checknumber(L, 1), luaL_checknumber(L, 2)));
  return 1;
}

int MathPow(lua_State* L) {
  lua_pushnumber(L, std::pow(luaL_checknumber(L, 1), luaL_checknumber(L, 2)));
  return 1;
}

int MathFrexp(lua_State* L) {
  int e;
  lua_pushnumber(L, std::frexp(luaL_checknumber(L, 1), &e));
  lua_pushnumber(L, e);
  return 2;
}

int MathLdexp(lua_State* L) {
  lua_pushnumber(L, std::ldexp(luaL_checknumber(L, 1), luaL_checkint(L, 2)));
  return 1;
}

int MathMin(lua_State* L) {
  int n = lua_gettop(L);
  double dmin = luaL_checknumber(L, 1);
  for (int i = 2; i <= n; i++) {
    double d = luaL_checknumber(L, i);
    if (d < dmin) dmin = d;
  }
  lua_pushnumber(L, dmin);
  return 1;
}

int MathMax(lua_State* L) {
  int n = lua_gettop(L);
  double dmax = luaL_checknumber(L, 1);
  for (int i = 2; i <= n; i++) {
    double d = luaL_checknumber(L, i);
    if (d > dmax) dmax = d;
  }
  lua_pushnumber(L, dmax);
  return 1;
}

int MathRandom(lua_State* L) {
  double r = double(rand() % kRandScale) / double(kRandScale);
  switch (lua_gettop(L)) {
    case 0: lua_pushnumber(L, r); break;
    case 1: {
      int u = luaL_checkint(L, 1);
      luaL_argcheck(L, 1 <= u, 1, "interval is empty");
      lua_pushnumber(L, int(std::floor(r * u)) + 1);
      break;
    }
    case 2: {
      int l = luaL_checkint(L, 1);
      int u = luaL_checkint(L, 2);
      luaL_argcheck(L, l <= u, 2, "interval is empty");
      lua_pushnumber(L, int(std::floor(r * (double(u) - l + 1))) + l);
      break;
    }
    default: return luaL_error(L, "wrong number of arguments");
  }
  return 1;
}

int MathRandomSeed(lua_State* L) {
  srand(unsigned(luaL_checkint(L, 1)));
  return 0;
}

const luaL_reg kMathFuncs[] = {
    {"abs", MathAbs},     {"sin", MathSin},     {"cos", MathCos},           {"tan", MathTan},
    {"asin", MathAsin},   {"acos", MathAcos},   {"atan", MathAtan},         {"atan2", MathAtan2},
    {"ceil", MathCeil},   {"floor", MathFloor}, {"mod", MathMod},           {"frexp", MathFrexp},
    {"ldexp", MathLdexp}, {"sqrt", MathSqrt},   {"min", MathMin},           {"max", MathMax},
    {"log", MathLog},     {"log10", MathLog10}, {"exp", MathExp},           {"deg", MathDeg},
    {"pow", MathPow},     {"rad", MathRad},     {"random", MathRandom},     {"randomseed", MathRandomSeed},
    {nullptr, nullptr}};

}  // namespace

int luaopen_math(lua_State* L) {
  luaL_openlib(L, LUA_MATHLIBNAME, kMathFuncs, 0);
  lua_pushliteral(L, "pi");
  lua_pushnumber(L, kPi);
  lua_settable(L, -3);
  lua_pushliteral(L, "__pow");
  lua_pushcfunction(L, MathPow);
  lua_settable(L, LUA_GLOBALSINDEX);
  return 1;
}
