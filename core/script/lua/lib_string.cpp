// The string library: basic functions, patterns, format (with the dialect's options)
// and escape resolving; pack and unpack live in lib_pack.cpp.
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "script/lua/lauxlib.h"
#include "script/lua/lualib.h"

int luaopen_pack(lua_State* L);

namespace {

typedef long sint32;

sint32 PosRelat(sint32 pos, size_t len) { return (pos >= 0) ? pos : sint32(len) + pos + 1; }

int StrLen(lua_State* L) {
  size_t l;
  luaL_checklstring(L, 1, &l);
  lua_pushnumber(L, lua_Number(l));
  return 1;
}

int StrSub(lua_State* L) {
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  sint32 start = PosRelat(luaL_checklong(L, 2), l);
  sint32 end = PosRelat(luaL_optlong(L, 3, -1), l);
  if (start < 1) start = 1;
  if (end > sint32(l)) end = sint32(l);
  if (start <= end)
    lua_pushlstring(L, s + start - 1, size_t(end - start + 1));
  else
    lua_pushliteral(L, "");
  return 1;
}

int StrLower(lua_State* L) {
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  std::string r(s, l);
  for (char& c : r) c = char(tolower(static_cast<unsigned char>(c)));
  lua_pushlstring(L, r.data(), l);
  return 1;
}

int StrUpper(lua_State* L) {
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  std::string r(s, l);
  for (char& c : r) c = char(toupper(static_cast<unsigned char>(c)));
  lua_pushlstring(L, r.data(), l);
  return 1;
}

constexpr size_t kMaxRepResult = INT_MAX;  // the library's string positions are 32-bit

int StrRep(lua_State* L) {
  size_t l;
  luaL_Buffer b;
  const char* s = luaL_checklstring(L, 1, &l);
  // The count stays a double until it is known to fit: NaN and counts below one give the
  // empty string, and a result past what string positions can address is refused.
  lua_Number count = luaL_checknumber(L, 2);
  luaL_buffinit(L, &b);
  if (l > 0 && count >= 1) {
    if (count > lua_Number(kMaxRepResult / l)) luaL_error(L, "memory allocation error: block too big");
    for (size_t n = size_t(count); n > 0; n--) luaL_addlstring(&b, s, l);
  }
  luaL_pushresult(&b);
  return 1;
}

int StrByte(lua_State* L) {
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  sint32 pos = PosRelat(luaL_optlong(L, 2, 1), l);
  if (pos <= 0 || size_t(pos) > l) return 0;
  lua_pushnumber(L, static_cast<unsigned char>(s[pos - 1]));
  return 1;
}

int StrChar(lua_State* L) {
  int n = lua_gettop(L);
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  for (int i = 1; i <= n; i++) {
    int c = luaL_checkint(L, i);
    luaL_argcheck(L, static_cast<unsigned char>(c) == c, i, "invalid value");
    luaL_putchar(&b, static_cast<unsigned char>(c));
  }
  luaL_pushresult(&b);
  return 1;
}

int Writer(lua_State*, const void* b, size_t size, void* B) {
  luaL_addlstring(static_cast<luaL_Buffer*>(B), static_cast<const char*>(b), size);
  return 1;
}

int StrDump(lua_State* L) {
  luaL_Buffer b;
  luaL_checktype(L, 1, LUA_TFUNCTION);
  lua_settop(L, 1);
  luaL_buffinit(L, &b);
  if (!lua_dump(L, Writer, &b)) luaL_error(L, "unable to dump given function");
  luaL_pushresult(&b);
  return 1;
}

// ---- pattern matching

constexpr int kMaxCaptures = 32;
constexpr int kCapUnfinished = -1;
constexpr int kCapPosition = -2;
constexpr int kMaxMatchDepth = 200;  // nested pattern items; bounds the native stack
constexpr char kEsc = '%';
const char* const kSpecials = "^$*+?.([%-";

struct MatchState {
  const char* srcInit;
  const char* srcEnd;
  lua_State* L;
  int level;
  int depth;
  struct {
    const char* init;
    sint32 len;
  } capture[kMaxCaptures];
};

int CheckCapture(MatchState* ms, int l) {
  l -= '1';
  if (l < 0 || l >= ms->level || ms->capture[l].len == kCapUnfinished) return luaL_error(ms->L, "invalid capture index");
  return l;
}

int CaptureToClose(MatchState* ms) {
  int level = ms->level;
  for (level--; level >= 0; level--)
    if (ms->capture[level].len == kCapUnfinished) return level;
  return luaL_error(ms->L, "invalid pattern capture");
}

const char* ClassEnd(MatchState* ms, const char* p) {
  switch (*p++) {
    case kEsc:
      if (*p == '\0') luaL_error(ms->L, "malformed pattern (ends with `%%')");
      return p + 1;
    case '[':
      if (*p == '^') p++;
      do {
        if (*p == '\0') luaL_error(ms->L, "malformed pattern (missing `]')");
        if (*(p++) == kEsc && *p != '\0') p++;
      } while (*p != ']');
      return p + 1;
    default: return p;
  }
}

bool MatchClass(int c, int cl) {
  bool res;
  switch (tolower(cl)) {
    case 'a': res = isalpha(c); break;
    case 'c': res = iscntrl(c); break;
    case 'd': res = isdigit(c); break;
    case 'l': res = islower(c); break;
    case 'p': res = ispunct(c); break;
    case 's': res = isspace(c); break;
    case 'u': res = isupper(c); break;
    case 'w': res = isalnum(c); break;
    case 'x': res = isxdigit(c); break;
    case 'z': res = (c == 0); break;
    default: return cl == c;
  }
  return isupper(cl) ? !res : res;
}

bool MatchBracketClass(int c, const char* p, const char* ec) {
  bool sig = true;
  if (*(p + 1) == '^') {
    sig = false;
    p++;
  }
  while (++p < ec) {
    if (*p == kEsc) {
      p++;
      if (MatchClass(c, static_cast<unsigned char>(*p))) return sig;
    } else if ((*(p + 1) == '-') && (p + 2 < ec)) {
      p += 2;
      if (static_cast<unsigned char>(*(p - 2)) <= c && c <= static_cast<unsigned char>(*p)) return sig;
    } else if (static_cast<unsigned char>(*p) == c) {
      return sig;
    }
  }
  return !sig;
}

bool SingleMatch(int c, const char* p, const char* ep) {
  switch (*p) {
    case '.': return true;
    case kEsc: return MatchClass(c, static_cast<unsigned char>(*(p + 1)));
    case '[': return MatchBracketClass(c, p, ep - 1);
    default: return static_cast<unsigned char>(*p) == c;
  }
}

const char* Match(MatchState* ms, const char* s, const char* p);

const char* MatchBalance(MatchState* ms, const char* s, const char* p) {
  if (*p == 0 || *(p + 1) == 0) luaL_error(ms->L, "unbalanced pattern");
  if (s >= ms->srcEnd || *s != *p) return nullptr;
  int b = *p;
  int e = *(p + 1);
  int cont = 1;
  while (++s < ms->srcEnd) {
    if (*s == e) {
      if (--cont == 0) return s + 1;
    } else if (*s == b) {
      cont++;
    }
  }
  return nullptr;
}

const char* MaxExpand(MatchState* ms, const char* s, const char* p, const char* ep) {
  sint32 i = 0;
  while ((s + i) < ms->srcEnd && SingleMatch(static_cast<unsigned char>(*(s + i)), p, ep)) i++;
  while (i >= 0) {
    const char* res = Match(ms, s + i, ep + 1);
    if (res) return res;
    i--;
  }
  return nullptr;
}

const char* MinExpand(MatchState* ms, const char* s, const char* p, const char* ep) {
  for (;;) {
    const char* res = Match(ms, s, ep + 1);
    if (res != nullptr) return res;
    if (s < ms->srcEnd && SingleMatch(static_cast<unsigned char>(*s), p, ep))
      s++;
    else
      return nullptr;
  }
}

const char* StartCapture(MatchState* ms, const char* s, const char* p, int what) {
  int level = ms->level;
  if (level >= kMaxCaptures) luaL_error(ms->L, "too many captures");
  ms->capture[level].init = s;
  ms->capture[level].len = what;
  ms->level = level + 1;
  const char* res = Match(ms, s, p);
  if (res == nullptr) ms->level--;
  return res;
}

const char* EndCapture(MatchState* ms, const char* s, const char* p) {
  int l = CaptureToClose(ms);
  ms->capture[l].len = sint32(s - ms->capture[l].init);
  const char* res = Match(ms, s, p);
  if (res == nullptr) ms->capture[l].len = kCapUnfinished;
  return res;
}

const char* MatchCapture(MatchState* ms, const char* s, int l) {
  l = CheckCapture(ms, l);
  size_t len = size_t(ms->capture[l].len);
  if (size_t(ms->srcEnd - s) >= len && memcmp(ms->capture[l].init, s, len) == 0) return s + len;
  return nullptr;
}

bool MatchFrontier(MatchState* ms, const char* s, const char* p) {
  if (*p != '[') luaL_error(ms->L, "missing `[' after `%%f' in pattern");
  const char* ep = ClassEnd(ms, p);
  int previous = (s == ms->srcInit) ? 0 : static_cast<unsigned char>(*(s - 1));
  int current = (s < ms->srcEnd) ? static_cast<unsigned char>(*s) : 0;
  return !MatchBracketClass(previous, p, ep - 1) && MatchBracketClass(current, p, ep - 1);
}

struct DepthGuard {
  explicit DepthGuard(MatchState* ms) : mMs(ms) {
    if (++ms->depth > kMaxMatchDepth) luaL_error(ms->L, "pattern too complex");
  }
  ~DepthGuard() { mMs->depth--; }
  MatchState* mMs;
};

const char* Match(MatchState* ms, const char* s, const char* p) {
  DepthGuard guard(ms);
init:
  switch (*p) {
    case '(':
      if (*(p + 1) == ')') return StartCapture(ms, s, p + 2, kCapPosition);
      return StartCapture(ms, s, p + 1, kCapUnfinished);
    case ')': return EndCapture(ms, s, p + 1);
    case kEsc:
      switch (*(p + 1)) {
        case 'b':
          s = MatchBalance(ms, s, p + 2);
          if (s == nullptr) return nullptr;
          p += 4;
          goto init;
        case 'f':
          // The frontier: the character before (NUL at the start) is outside the set, the one
          // here (NUL at the end) inside it.
          if (!MatchFrontier(ms, s, p + 2)) return nullptr;
          p = ClassEnd(ms, p + 2);
          goto init;
        default:
          if (isdigit(static_cast<unsigned char>(*(p + 1)))) {
            s = MatchCapture(ms, s, *(p + 1));
            if (s == nullptr) return nullptr;
            p += 2;
            goto init;
          }
          goto dflt;
      }
    case '\0': return s;
    case '$':
      if (*(p + 1) == '\0') return (s == ms->srcEnd) ? s : nullptr;
      goto dflt;
    default:
    dflt: {
      const char* ep = ClassEnd(ms, p);
      bool m = s < ms->srcEnd && SingleMatch(static_cast<unsigned char>(*s), p, ep);
      switch (*ep) {
        case '?': {
          const char* res;
          if (m && ((res = Match(ms, s + 1, ep + 1)) != nullptr)) return res;
          p = ep + 1;
          goto init;
        }
        case '*': return MaxExpand(ms, s, p, ep);
        case '+': return m ? MaxExpand(ms, s + 1, p, ep) : nullptr;
        case '-': return MinExpand(ms, s, p, ep);
        default:
          if (!m) return nullptr;
          s++;
          p = ep;
          goto init;
      }
    }
  }
}

// The first s2 in s1 (libc's search skips ahead where a loop of memchr and memcmp
// stops at every first character).
const char* MemFind(const char* s1, size_t l1, const char* s2, size_t l2) {
  if (l2 == 0) return s1;
  return static_cast<const char*>(memmem(s1, l1, s2, l2));
}

void PushOneCapture(MatchState* ms, int i, const char* s, const char* e) {
  if (i >= ms->level) {
    if (i == 0)
      lua_pushlstring(ms->L, s, size_t(e - s));
    else
      luaL_error(ms->L, "invalid capture index");
    return;
  }
  sint32 l = ms->capture[i].len;
  if (l == kCapUnfinished) luaL_error(ms->L, "unfinished capture");
  if (l == kCapPosition)
    lua_pushnumber(ms->L, lua_Number(ms->capture[i].init - ms->srcInit + 1));
  else
    lua_pushlstring(ms->L, ms->capture[i].init, size_t(l));
}

int PushCaptures(MatchState* ms, const char* s, const char* e) {
  int nlevels = (ms->level == 0 && s) ? 1 : ms->level;
  luaL_checkstack(ms->L, nlevels, "too many captures");
  for (int i = 0; i < nlevels; i++) PushOneCapture(ms, i, s, e);
  return nlevels;
}

void InitMatch(MatchState* ms, lua_State* L, const char* s, size_t l) {
  ms->L = L;
  ms->srcInit = s;
  ms->srcEnd = s + l;
  ms->level = 0;
  ms->depth = 0;
}

int StrFind(lua_State* L) {
  size_t l1, l2;
  const char* s = luaL_checklstring(L, 1, &l1);
  const char* p = luaL_checklstring(L, 2, &l2);
  sint32 init = PosRelat(luaL_optlong(L, 3, 1), l1) - 1;
  luaL_argcheck(L, 0 <= init && size_t(init) <= l1, 3, "out of range");
  if (lua_toboolean(L, 4) || strpbrk(p, kSpecials) == nullptr) {
    const char* s2 = MemFind(s + init, l1 - size_t(init), p, l2);
    if (s2) {
      lua_pushnumber(L, lua_Number(s2 - s + 1));
      lua_pushnumber(L, lua_Number(s2 - s + sint32(l2)));
      return 2;
    }
  } else {
    MatchState ms;
    bool anchor = (*p == '^') ? (p++, true) : false;
    const char* s1 = s + init;
    InitMatch(&ms, L, s, l1);
    do {
      const char* res;
      ms.level = 0;
      if ((res = Match(&ms, s1, p)) != nullptr) {
        lua_pushnumber(L, lua_Number(s1 - s + 1));
        lua_pushnumber(L, lua_Number(res - s));
        return PushCaptures(&ms, nullptr, nullptr) + 2;
      }
    } while (s1++ < ms.srcEnd && !anchor);
  }
  lua_pushnil(L);
  return 1;
}

int GfindAux(lua_State* L) {
  MatchState ms;
  const char* s = lua_tostring(L, lua_upvalueindex(1));
  size_t ls = lua_strlen(L, lua_upvalueindex(1));
  const char* p = lua_tostring(L, lua_upvalueindex(2));
  InitMatch(&ms, L, s, ls);
  for (const char* src = s + size_t(lua_tonumber(L, lua_upvalueindex(3))); src <= ms.srcEnd; src++) {
    ms.level = 0;
    const char* e = Match(&ms, src, p);
    if (e != nullptr) {
      sint32 newstart = sint32(e - s);
      if (e == src) newstart++;
      lua_pushnumber(L, lua_Number(newstart));
      lua_replace(L, lua_upvalueindex(3));
      return PushCaptures(&ms, src, e);
    }
  }
  return 0;
}

int StrGfind(lua_State* L) {
  luaL_checkstring(L, 1);
  luaL_checkstring(L, 2);
  lua_settop(L, 2);
  lua_pushnumber(L, 0);
  lua_pushcclosure(L, GfindAux, 3);
  return 1;
}

void AddS(MatchState* ms, luaL_Buffer* b, const char* s, const char* e) {
  lua_State* L = ms->L;
  if (lua_type(L, 3) != LUA_TFUNCTION) {
    const char* news = lua_tostring(L, 3);
    size_t l = lua_strlen(L, 3);
    for (size_t i = 0; i < l; i++) {
      if (news[i] != kEsc) {
        luaL_putchar(b, news[i]);
      } else {
        i++;
        if (!isdigit(static_cast<unsigned char>(news[i]))) {
          luaL_putchar(b, news[i]);
        } else {
          int level = CheckCapture(ms, news[i]);
          PushOneCapture(ms, level, s, e);
          luaL_addvalue(b);
        }
      }
    }
  } else {
    lua_pushvalue(L, 3);
    int n = PushCaptures(ms, s, e);
    lua_call(L, n, 1);
    int t = lua_type(L, -1);
    if (t == LUA_TSTRING || t == LUA_TNUMBER)
      luaL_addvalue(b);
    else
      lua_pop(L, 1);  // a result that is not a string is dropped
  }
}

int StrGsub(lua_State* L) {
  size_t srcl;
  const char* src = luaL_checklstring(L, 1, &srcl);
  const char* p = luaL_checkstring(L, 2);
  int maxS = luaL_optint(L, 4, int(srcl + 1));
  bool anchor = (*p == '^') ? (p++, true) : false;
  int n = 0;
  MatchState ms;
  luaL_Buffer b;
  int t3 = lua_type(L, 3);
  luaL_argcheck(L, lua_gettop(L) >= 3 && (t3 == LUA_TSTRING || t3 == LUA_TNUMBER || t3 == LUA_TFUNCTION), 3,
                "string or function expected");
  luaL_buffinit(L, &b);
  InitMatch(&ms, L, src, srcl);
  while (n < maxS) {
    ms.level = 0;
    const char* e = Match(&ms, src, p);
    if (e) {
      n++;
      AddS(&ms, &b, src, e);
    }
    if (e && e > src)
      src = e;
    else if (src < ms.srcEnd)
      luaL_putchar(&b, *src++);
    else
      break;
    if (anchor) break;
  }
  luaL_addlstring(&b, src, size_t(ms.srcEnd - src));
  luaL_pushresult(&b);
  lua_pushnumber(L, lua_Number(n));
  return 2;
}

// ---- format

constexpr int kMaxItem = 512;
constexpr int kMaxFormat = 20;
const char* const kFlags = "-+ #0";

void AddQuoted(lua_State* L, luaL_Buffer* b, int arg) {
  size_t l;
  const char* s = luaL_checklstring(L, arg, &l);
  luaL_putchar(b, '"');
  while (l--) {
    switch (*s) {
      case '"':
      case '\\':
      case '\n':
        luaL_putchar(b, '\\');
        luaL_putchar(b, *s);
        break;
      case '\0': luaL_addlstring(b, "\\000", 4); break;
      default: luaL_putchar(b, *s); break;
    }
    s++;
  }
  luaL_putchar(b, '"');
}

// %Q: like %q, but every special character becomes a \x escape; a wide string keeps its
// 16-bit units as \x%04x and is written as a wide literal.
void AddQuotedHex(lua_State* L, luaL_Buffer* b, int arg) {
  char item[16];
  if (lua_type(L, arg) == LUA_TWSTRING) {
    size_t l = lua_strlen(L, arg);
    const lua_WChar* w = lua_towstring(L, arg);
    luaL_addlstring(b, "L\"", 2);
    for (size_t i = 0; i < l; i++) {
      unsigned c = w[i];
      if (c == '"' || c == '\\') {
        luaL_putchar(b, '\\');
        luaL_putchar(b, char(c));
      } else if (c >= 32 && c < 127) {
        luaL_putchar(b, char(c));
      } else {
        snprintf(item, sizeof item, "\\x%04x", c);
        luaL_addstring(b, item);
      }
    }
    luaL_putchar(b, '"');
    return;
  }
  size_t l;
  const char* s = luaL_checklstring(L, arg, &l);
  luaL_putchar(b, '"');
  for (size_t i = 0; i < l; i++) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '"' || c == '\\') {
      luaL_putchar(b, '\\');
      luaL_putchar(b, char(c));
    } else if (c >= 32 && c < 127) {
      luaL_putchar(b, char(c));
    } else {
      snprintf(item, sizeof item, "\\x%02x", c);
      luaL_addstring(b, item);
    }
  }
  luaL_putchar(b, '"');
}

void AddRawNumber(lua_State* L, luaL_Buffer* b, int arg, char kind) {
  switch (kind) {
    case 'F': {
      double d = luaL_checknumber(L, arg);
      luaL_addlstring(b, reinterpret_cast<const char*>(&d), sizeof d);
      break;
    }
    case 'f': {
      float f = float(luaL_checknumber(L, arg));
      luaL_addlstring(b, reinterpret_cast<const char*>(&f), sizeof f);
      break;
    }
    case 'd': {
      int32_t i = int32_t(static_cast<long long>(luaL_checknumber(L, arg)));
      luaL_addlstring(b, reinterpret_cast<const char*>(&i), sizeof i);
      break;
    }
    case 'w': {
      int16_t i = int16_t(static_cast<long long>(luaL_checknumber(L, arg)));
      luaL_addlstring(b, reinterpret_cast<const char*>(&i), sizeof i);
      break;
    }
    case 'b': {
      char c = char(static_cast<long long>(luaL_checknumber(L, arg)));
      luaL_putchar(b, c);
      break;
    }
    default: break;
  }
}

const char* ScanFormat(lua_State* L, const char* strfrmt, char* form, bool* hasprecision) {
  const char* p = strfrmt;
  while (*p != '\0' && strchr(kFlags, *p)) p++;
  if (size_t(p - strfrmt) >= strlen(kFlags) + 1) luaL_error(L, "invalid format (repeated flags)");
  if (isdigit(static_cast<unsigned char>(*p))) p++;
  if (isdigit(static_cast<unsigned char>(*p))) p++;
  if (*p == '.') {
    p++;
    *hasprecision = true;
    if (isdigit(static_cast<unsigned char>(*p))) p++;
    if (isdigit(static_cast<unsigned char>(*p))) p++;
  }
  if (isdigit(static_cast<unsigned char>(*p))) luaL_error(L, "invalid format (width or precision too long)");
  if (p - strfrmt + 2 > kMaxFormat) luaL_error(L, "invalid format string to `format'");
  form[0] = '%';
  strncpy(form + 1, strfrmt, size_t(p - strfrmt + 1));
  form[p - strfrmt + 2] = 0;
  return p;
}

int ClampInt(double d) {
  if (d >= double(INT_MAX)) return INT_MAX;
  if (d <= double(INT_MIN)) return INT_MIN;
  return d == d ? int(d) : 0;
}

unsigned ClampUnsigned(double d) {
  if (d >= 4294967295.0) return 4294967295u;
  if (d <= -2147483648.0 || d != d) return 0;
  return d < 0 ? unsigned(int(d)) : unsigned(d);
}

// n in decimal, as %d prints it.
void AddDecimal(luaL_Buffer* b, int n) {
  char digits[12];
  char* p = digits + sizeof digits;
  unsigned u = n < 0 ? 0u - unsigned(n) : unsigned(n);
  do {
    *--p = char('0' + u % 10);
    u /= 10;
  } while (u != 0);
  if (n < 0) *--p = '-';
  luaL_addlstring(b, p, size_t(digits + sizeof digits - p));
}

int StrFormat(lua_State* L) {
  int arg = 1;
  size_t sfl;
  const char* strfrmt = luaL_checklstring(L, arg, &sfl);
  const char* strfrmtEnd = strfrmt + sfl;
  luaL_Buffer b;
  luaL_buffinit(L, &b);
  while (strfrmt < strfrmtEnd) {
    if (*strfrmt != '%') {
      luaL_putchar(&b, *strfrmt++);
      continue;
    }
    if (*++strfrmt == '%') {
      luaL_putchar(&b, *strfrmt++);
      continue;
    }
    char form[kMaxFormat];
    char buff[kMaxItem];
    bool hasprecision = false;
    if (isdigit(static_cast<unsigned char>(*strfrmt)) && *(strfrmt + 1) == '$')
      return luaL_error(L, "obsolete option (d$) to `format'");
    arg++;
    strfrmt = ScanFormat(L, strfrmt, form, &hasprecision);
    switch (*strfrmt++) {
      case 'c':
      case 'd':
      case 'i': {
        const int n = ClampInt(luaL_checknumber(L, arg));
        if (form[2] == '\0' && form[1] != 'c') {  // a plain %d: no flags, width or precision
          AddDecimal(&b, n);
          continue;
        }
        snprintf(buff, sizeof buff, form, n);
        break;
      }
      case 'o':
      case 'u':
      case 'x':
      case 'X': snprintf(buff, sizeof buff, form, ClampUnsigned(luaL_checknumber(L, arg))); break;
      case 'e':
      case 'E':
      case 'f':
      case 'g':
      case 'G': snprintf(buff, sizeof buff, form, luaL_checknumber(L, arg)); break;
      case 'q': AddQuoted(L, &b, arg); continue;
      case 'Q': AddQuotedHex(L, &b, arg); continue;
      case 'B': {
        int t = lua_type(L, arg);
        if (t != LUA_TBOOLEAN && t != LUA_TNIL) luaL_typerror(L, arg, lua_typename(L, LUA_TBOOLEAN));
        luaL_addstring(&b, lua_toboolean(L, arg) ? "true" : "false");
        continue;
      }
      case 'b': {
        char kind = strfrmt < strfrmtEnd ? *strfrmt++ : '\0';
        AddRawNumber(L, &b, arg, kind);
        continue;
      }
      case 's': {
        size_t l;
        const char* s = luaL_checklstring(L, arg, &l);
        if (!hasprecision && l >= 100) {
          lua_pushvalue(L, arg);  // too long to format: keep the string as it is
          luaL_addvalue(&b);
          continue;
        }
        if (form[2] == '\0') {  // a plain %s: the bytes up to a zero, as printf gives them
          luaL_addlstring(&b, s, strlen(s));
          continue;
        }
        snprintf(buff, sizeof buff, form, s);
        break;
      }
      default: return luaL_error(L, "invalid option to `format'");
    }
    luaL_addlstring(&b, buff, strlen(buff));
  }
  luaL_pushresult(&b);
  return 1;
}

// ---- lualex: resolves the backslash escapes of a literal's text

int HexDigit(unsigned c) {
  if (c >= '0' && c <= '9') return int(c - '0');
  if (c >= 'a' && c <= 'f') return int(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return int(c - 'A' + 10);
  return -1;
}

template <typename Unit>
std::basic_string<Unit> ResolveEscapes(const Unit* s, size_t l, bool wideDigits) {
  std::basic_string<Unit> out;
  for (size_t i = 0; i < l; i++) {
    if (s[i] != '\\' || i + 1 >= l) {
      out += s[i];
      continue;
    }
    unsigned c = s[++i];
    switch (c) {
      case 'a': out += Unit(7); break;
      case 'b': out += Unit(8); break;
      case 'f': out += Unit(12); break;
      case 'n': out += Unit(10); break;
      case 'r': out += Unit(13); break;
      case 't': out += Unit(9); break;
      case 'v': out += Unit(11); break;
      case 'x': {
        int maxDigits = wideDigits ? 4 : 2;
        unsigned v = 0;
        int n = 0;
        while (n < maxDigits && i + 1 < l && HexDigit(unsigned(s[i + 1])) >= 0) {
          v = v * 16 + unsigned(HexDigit(unsigned(s[++i])));
          n++;
        }
        out += n ? Unit(v) : Unit('x');
        break;
      }
      default:
        if (c >= '0' && c <= '9') {
          unsigned v = c - '0';
          for (int n = 1; n < 3 && i + 1 < l && s[i + 1] >= '0' && s[i + 1] <= '9'; n++) v = v * 10 + unsigned(s[++i] - '0');
          out += Unit(v);
        } else {
          out += Unit(c);
        }
        break;
    }
  }
  return out;
}

int StrLuaLex(lua_State* L) {
  bool wideDigits = lua_type(L, 2) == LUA_TNUMBER && lua_tonumber(L, 2) != 0;
  if (lua_type(L, 1) == LUA_TWSTRING) {
    size_t l = lua_strlen(L, 1);
    const lua_WChar* w = lua_towstring(L, 1);
    std::basic_string<lua_WChar> r = ResolveEscapes(w, l, wideDigits);
    lua_pushlwstring(L, r.data(), r.size());
    return 1;
  }
  size_t l;
  const char* s = luaL_checklstring(L, 1, &l);
  std::string r = ResolveEscapes(s, l, wideDigits);
  lua_pushlstring(L, r.data(), r.size());
  return 1;
}

const luaL_reg kStrFuncs[] = {{"len", StrLen},       {"sub", StrSub},     {"lower", StrLower},
                              {"upper", StrUpper},   {"char", StrChar},   {"rep", StrRep},
                              {"byte", StrByte},     {"format", StrFormat}, {"dump", StrDump},
                              {"find", StrFind},     {"gfind", StrGfind}, {"gsub", StrGsub},
                              {"lualex", StrLuaLex}, {nullptr, nullptr}};

}  // namespace

int luaopen_string(lua_State* L) {
  luaL_openlib(L, LUA_STRLIBNAME, kStrFuncs, 0);
  luaopen_pack(L);
  // strings find the string functions through their type's handler table
  lua_pushvalue(L, -1);
  lua_setpertypemetatable(L, LUA_TSTRING);
  return 1;
}
