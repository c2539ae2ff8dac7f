// string.pack and string.unpack: values to packed bytes and back, driven by a format of
// letters with optional counts, byte-order marks and a `w' prefix for 16-bit strings.
#include <cctype>
#include <cstring>
#include <string>

#include "script/lua/lauxlib.h"

namespace {

enum Order { kLittle, kBig };

bool HostIsLittle() {
  int x = 1;
  return *reinterpret_cast<char*>(&x) == 1;
}

void Swap(char* p, size_t n) {
  for (size_t i = 0; i < n / 2; i++) std::swap(p[i], p[n - 1 - i]);
}

struct FormatReader {
  const char* f;
  Order order = HostIsLittle() ? kLittle : kBig;
  // Next item: letter (0 at the end), wide prefix and count (-1 when absent).
  bool Next(char* letter, bool* wide, int* count) {
    for (;;) {
      while (*f == ' ' || *f == ',') f++;
      if (*f == '\0') return false;
      char c = *f++;
      if (c == '<') {
        order = kLittle;
        continue;
      }
      if (c == '>') {
        order = kBig;
        continue;
      }
      if (c == '=') {
        order = HostIsLittle() ? kLittle : kBig;
        continue;
      }
      *wide = false;
      if (c == 'w' && *f != '\0') {
        *wide = true;
        c = *f++;
      }
      *letter = c;
      *count = -1;
      if (isdigit(static_cast<unsigned char>(*f))) {
        long n = 0;
        while (isdigit(static_cast<unsigned char>(*f))) {
          if (n < 100000000) n = n * 10 + (*f - '0');
          f++;
        }
        *count = int(n);
      }
      return true;
    }
  }
  bool NeedSwap() const { return (order == kLittle) != HostIsLittle(); }
};

bool IsKnown(char c) { return strchr("ABHILPabcdfhilnpz", c) != nullptr && c != '\0'; }

[[noreturn]] void BadCode(lua_State* L, char c) {
  char msg[32];
  snprintf(msg, sizeof msg, "bad code `%c'", c);
  luaL_argerror(L, 1, msg);
  throw 0;  // not reached: the argument error unwinds
}

template <typename T>
void AddScalar(luaL_Buffer* b, T v, bool swap) {
  char bytes[sizeof(T)];
  memcpy(bytes, &v, sizeof v);
  if (swap) Swap(bytes, sizeof bytes);
  luaL_addlstring(b, bytes, sizeof bytes);
}

void AddUnits(luaL_Buffer* b, const lua_WChar* w, size_t n, bool swap) {
  for (size_t i = 0; i < n; i++) AddScalar<uint16_t>(b, w[i], swap);
}

void PackString(lua_State* L, luaL_Buffer* b, int arg, char letter, bool wide, bool swap) {
  size_t n;
  if (wide) {
    const lua_WChar* w = luaL_checklwstring(L, arg, &n);
    switch (letter) {
      case 'p': AddScalar<uint8_t>(b, uint8_t(n), swap); break;
      case 'P': AddScalar<uint16_t>(b, uint16_t(n), swap); break;
      case 'a': AddScalar<uint32_t>(b, uint32_t(n), swap); break;
      default: break;
    }
    AddUnits(b, w, n, swap);
    if (letter == 'z') AddScalar<uint16_t>(b, 0, swap);
    return;
  }
  const char* s = luaL_checklstring(L, arg, &n);
  switch (letter) {
    case 'p': AddScalar<uint8_t>(b, uint8_t(n), swap); break;
    case 'P': AddScalar<uint16_t>(b, uint16_t(n), swap); break;
    case 'a': AddScalar<uint32_t>(b, uint32_t(n), swap); break;
    default: break;
  }
  luaL_addlstring(b, s, n);
  if (letter == 'z') luaL_putchar(b, '\0');
}

int Pack(lua_State* L) {
  FormatReader fr{luaL_checkstring(L, 1)};
  int arg = 2;
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  char letter;
  bool wide;
  int count;
  while (fr.Next(&letter, &wide, &count)) {
    if (!IsKnown(letter) && letter != 'B') BadCode(L, letter);
    bool swap = fr.NeedSwap();
    for (int n = count < 0 ? 1 : count; n > 0; n--, arg++) {
      switch (letter) {
        case 'z':
        case 'p':
        case 'P':
        case 'a':
        case 'A': PackString(L, &b, arg, letter, wide, swap); break;
        case 'B': {
          if (lua_type(L, arg) != LUA_TBOOLEAN) luaL_argerror(L, arg, "expected a boolean");
          luaL_putchar(&b, lua_toboolean(L, arg) ? 1 : 0);
          break;
        }
        case 'f': AddScalar<float>(&b, float(luaL_checknumber(L, arg)), swap); break;
        case 'd':
        case 'n': AddScalar<double>(&b, luaL_checknumber(L, arg), swap); break;
        case 'c': AddScalar<int8_t>(&b, int8_t(static_cast<long long>(luaL_checknumber(L, arg))), swap); break;
        case 'b': AddScalar<uint8_t>(&b, uint8_t(static_cast<long long>(luaL_checknumber(L, arg))), swap); break;
        case 'h': AddScalar<int16_t>(&b, int16_t(static_cast<long long>(luaL_checknumber(L, arg))), swap); break;
        case 'H': AddScalar<uint16_t>(&b, uint16_t(static_cast<long long>(luaL_checknumber(L, arg))), swap); break;
        case 'i':
        case 'l': AddScalar<int32_t>(&b, int32_t(static_cast<long long>(luaL_checknumber(L, arg))), swap); break;
        case 'I':
        case 'L': AddScalar<uint32_t>(&b, uint32_t(static_cast<long long>(luaL_checknumber(L, arg))), swap); break;
        default: break;
      }
    }
  }
  luaL_pushresult(&b);
  return 1;
}

template <typename T>
bool ReadScalar(const char* s, size_t len, size_t* pos, bool swap, T* out) {
  if (len - *pos < sizeof(T) || *pos > len) return false;
  char bytes[sizeof(T)];
  memcpy(bytes, s + *pos, sizeof bytes);
  if (swap) Swap(bytes, sizeof bytes);
  memcpy(out, bytes, sizeof bytes);
  *pos += sizeof(T);
  return true;
}

// Reads one string item; false when the data ends first.
bool UnpackString(lua_State* L, const char* s, size_t len, size_t* pos, char letter, bool wide, int count, bool swap) {
  size_t n = 0;
  size_t unit = wide ? 2 : 1;
  switch (letter) {
    case 'p': {
      uint8_t v;
      if (!ReadScalar(s, len, pos, swap, &v)) return false;
      n = v;
      break;
    }
    case 'P': {
      uint16_t v;
      if (!ReadScalar(s, len, pos, swap, &v)) return false;
      n = v;
      break;
    }
    case 'a': {
      uint32_t v;
      if (!ReadScalar(s, len, pos, swap, &v)) return false;
      n = v;
      break;
    }
    case 'A': n = count < 0 ? 1 : size_t(count); break;
    case 'z': {
      size_t end = *pos;
      if (wide) {
        while (end + 1 < len && (s[end] != 0 || s[end + 1] != 0)) end += 2;
        if (end + 1 >= len) return false;
      } else {
        while (end < len && s[end] != 0) end++;
        if (end >= len) return false;
      }
      n = (end - *pos) / unit;
      break;
    }
    default: break;
  }
  if (n > (len - *pos) / unit) return false;
  if (wide) {
    std::basic_string<lua_WChar> w(n, 0);
    for (size_t i = 0; i < n; i++) ReadScalar(s, len, pos, swap, &w[i]);
    lua_pushlwstring(L, w.data(), n);
  } else {
    lua_pushlstring(L, s + *pos, n);
    *pos += n;
  }
  if (letter == 'z') *pos += unit;
  return true;
}

template <typename T>
bool PushScalar(lua_State* L, const char* s, size_t len, size_t* pos, bool swap) {
  T v;
  if (!ReadScalar(s, len, pos, swap, &v)) return false;
  lua_pushnumber(L, lua_Number(v));
  return true;
}

int Unpack(lua_State* L) {
  size_t len;
  const char* s = luaL_checklstring(L, 1, &len);
  FormatReader fr{luaL_checkstring(L, 2)};
  long init = luaL_optlong(L, 3, 1);
  size_t pos = init > 0 ? size_t(init - 1) : 0;
  if (pos > len) pos = len;
  int results = 0;
  char letter;
  bool wide;
  int count;
  bool ok = true;
  while (ok && fr.Next(&letter, &wide, &count)) {
    if (!IsKnown(letter) && letter != 'B') BadCode(L, letter);
    bool swap = fr.NeedSwap();
    int reps = (letter == 'A' || count < 0) ? 1 : count;
    for (int n = reps; n > 0 && ok; n--) {
      luaL_checkstack(L, 2, "too many results");
      switch (letter) {
        case 'z':
        case 'p':
        case 'P':
        case 'a':
        case 'A': ok = UnpackString(L, s, len, &pos, letter, wide, count, swap); break;
        case 'B': {
          uint8_t v;
          ok = ReadScalar(s, len, &pos, swap, &v);
          if (ok) lua_pushboolean(L, v != 0);
          break;
        }
        case 'f': {
          float v;
          ok = ReadScalar(s, len, &pos, swap, &v);
          if (ok) lua_pushnumber(L, v);
          break;
        }
        case 'd':
        case 'n': ok = PushScalar<double>(L, s, len, &pos, swap); break;
        case 'c': ok = PushScalar<int8_t>(L, s, len, &pos, swap); break;
        case 'b': ok = PushScalar<uint8_t>(L, s, len, &pos, swap); break;
        case 'h': ok = PushScalar<int16_t>(L, s, len, &pos, swap); break;
        case 'H': ok = PushScalar<uint16_t>(L, s, len, &pos, swap); break;
        case 'i':
        case 'l': ok = PushScalar<int32_t>(L, s, len, &pos, swap); break;
        case 'I':
        case 'L': ok = PushScalar<uint32_t>(L, s, len, &pos, swap); break;
        default: break;
      }
      if (ok) results++;
    }
  }
  lua_pushnumber(L, lua_Number(pos + 1));
  return results + 1;
}

}  // namespace

// Adds pack and unpack to the string table on the top of the stack.
int luaopen_pack(lua_State* L) {
  lua_pushliteral(L, "pack");
  lua_pushcfunction(L, Pack);
  lua_settable(L, -3);
  lua_pushliteral(L, "unpack");
  lua_pushcfunction(L, Unpack);
  lua_settable(L, -3);
  return 0;
}
