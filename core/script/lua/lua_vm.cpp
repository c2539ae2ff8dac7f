// Value semantics of the virtual machine: coercions, indexing with handlers, arithmetic,
// comparison and concatenation (narrow and wide).
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "script/lua/lua_internal.h"
#include "script/lua/lua_vm_ops.h"

namespace tlua {

namespace {

int StrCmp(const LString* ls, const LString* rs) {
  const char* l = ls->Data();
  size_t ll = ls->len;
  const char* r = rs->Data();
  size_t lr = rs->len;
  for (;;) {
    int temp = strcoll(l, r);
    if (temp != 0) return temp;
    size_t len = strlen(l);  // both strings are equal up to a '\0'
    if (len == lr) return (len == ll) ? 0 : 1;
    if (len == ll) return -1;
    len++;
    l += len;
    ll -= len;
    r += len;
    lr -= len;
  }
}

int CallOrderTM(lua_State* L, const Value* p1, const Value* p2, TMS event) {
  const Value* tm1 = GetTMByObj(L, p1, event);
  if (IsNil(tm1)) return -1;
  const Value* tm2 = GetTMByObj(L, p2, event);
  if (!RawEqual(tm1, tm2)) return -1;
  Value res = CallTMRes(L, tm1, p1, p2);
  return !IsFalse(&res);
}

const Value* GetCompTM(lua_State* L, LTable* mt1, LTable* mt2, TMS event) {
  const Value* tm1 = FastTM(L, mt1, event);
  if (tm1 == nullptr) return nullptr;
  if (mt1 == mt2) return tm1;
  const Value* tm2 = FastTM(L, mt2, event);
  if (tm2 == nullptr) return nullptr;
  return RawEqual(tm1, tm2) ? tm1 : nullptr;
}

bool LessEqual(lua_State* L, const Value* l, const Value* r) {
  if (l->tt != r->tt) OrderError(L, l, r);
  if (IsNumber(l)) return NValue(l) <= NValue(r);
  if (IsString(l)) return StrCmp(SValue(l), SValue(r)) <= 0;
  int res = CallOrderTM(L, l, r, TM_LE);
  if (res != -1) return res;
  res = CallOrderTM(L, r, l, TM_LT);
  if (res != -1) return !res;
  OrderError(L, l, r);
}

// Makes the value a wide string (numbers convert); false for anything else.
bool ToWide(lua_State* L, Value* v) {
  if (IsWString(v)) return true;
  if (IsNumber(v)) {
    NumberToWString(L, v);
    return true;
  }
  return false;
}

}  // namespace

bool LessEqualValues(lua_State* L, const Value* l, const Value* r) { return LessEqual(L, l, r); }

Value CallTMRes(lua_State* L, const Value* f, const Value* p1, const Value* p2) {
  Value fv = *f, a = *p1, b = *p2;
  CheckStack(L, 3);
  L->top[0] = fv;
  L->top[1] = a;
  L->top[2] = b;
  L->top += 3;
  Call(L, L->top - 3, 1);
  L->top--;
  return *L->top;
}

void CallTM(lua_State* L, const Value* f, const Value* p1, const Value* p2, const Value* p3) {
  Value fv = *f, a = *p1, b = *p2, c = *p3;
  CheckStack(L, 4);
  L->top[0] = fv;
  L->top[1] = a;
  L->top[2] = b;
  L->top[3] = c;
  L->top += 4;
  Call(L, L->top - 4, 0);
}

bool CallBinTM(lua_State* L, const Value* p1, const Value* p2, Value* res, TMS event) {
  const Value* tm = GetTMByObj(L, p1, event);
  if (IsNil(tm)) tm = GetTMByObj(L, p2, event);
  if (!IsFunction(tm)) return false;
  ptrdiff_t r = SaveStack(L, res);
  Value v = CallTMRes(L, tm, p1, p2);
  *RestoreStack(L, r) = v;
  return true;
}

const Value* ToNumber(const Value* obj, Value* n) {
  double num;
  if (IsNumber(obj)) return obj;
  if (IsString(obj) && Str2Number(SValue(obj)->Data(), &num)) {
    SetNumber(n, num);
    return n;
  }
  if (IsWString(obj) && WideNumeral(SValue(obj)->WData(), &num)) {
    SetNumber(n, num);
    return n;
  }
  return nullptr;
}

bool ToStringInPlace(lua_State* L, Value* obj) {
  if (IsString(obj)) return true;
  if (!IsNumber(obj)) return false;
  char s[32];
  NumberToText(NValue(obj), s);
  SetString(obj, NewStr(L, s));
  return true;
}

bool WideNumeral(const lua_WChar* s, double* result) {
  const lua_WChar* p = s;
  double value = 0;
  bool consumed = false;
  bool negative = false;
  int expSign = 1;
  int exponent = 0;
  double base;
  auto hexDigit = [](lua_WChar c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  auto readExponent = [&]() {
    if (*p == '+' || *p == '-') {
      expSign = *p == '-' ? -1 : 1;
      p++;
    }
    while (*p >= '0' && *p <= '9') {
      if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
      p++;
    }
  };
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    base = 2;
    p += 2;
    consumed = true;
    for (int d; (d = hexDigit(*p)) >= 0; p++) value = value * 16 + d;
    if (*p == '.') {
      p++;
      double w = 1.0 / 16;
      for (int d; (d = hexDigit(*p)) >= 0; p++, w /= 16) value += d * w;
      if (*p == 'p' || *p == 'P') {
        p++;
        readExponent();
      }
    }
  } else {
    base = 10;
    if (*p == '+' || *p == '-') {
      negative = *p == '-';
      p++;
      consumed = true;
    }
    for (; *p >= '0' && *p <= '9'; p++) {
      value = value * 10 + (*p - '0');
      consumed = true;
    }
    if (*p == '.') {
      p++;
      consumed = true;
      double w = 0.1;
      for (; *p >= '0' && *p <= '9'; p++, w /= 10) value += (*p - '0') * w;
    }
    if (*p == 'e' || *p == 'E') {
      p++;
      consumed = true;
      readExponent();
    }
  }
  if (!consumed) return false;
  if (exponent) value = expSign > 0 ? value * std::pow(base, exponent) : value / std::pow(base, exponent);
  if (negative) value = -value;
  while (*p && *p < 256 && isspace(*p)) p++;
  if (*p != 0) return false;
  *result = value;
  return true;
}

void NumberToWString(lua_State* L, Value* obj) {
  char s[32];
  NumberToText(NValue(obj), s);
  lua_WChar w[32];
  size_t n = strlen(s);
  for (size_t i = 0; i < n; i++) w[i] = static_cast<unsigned char>(s[i]);
  SetString(obj, NewLWStr(L, w, n));
}

void GetTable(lua_State* L, const Value* t, const Value* key, Value* res) {
  ptrdiff_t resr = SaveStack(L, res);
  Value cur = *t;
  Value keyCopy = *key;
  const Value* named = t;  // the operand as the program named it, for messages
  for (int loop = 0; loop < kMaxTagLoop; loop++) {
    const Value* tm;
    if (IsTable(&cur)) {
      LTable* h = HValue(&cur);
      const Value* v = TableGet(h, &keyCopy);
      if (!IsNil(v)) {
        *RestoreStack(L, resr) = *v;
        return;
      }
      tm = FastTM(L, h->metatable, TM_INDEX);
      if (tm == nullptr) {
        SetNil(RestoreStack(L, resr));
        return;
      }
    } else if (cur.tt == TUserdata) {
      LTable* mt = UValue(&cur)->metatable;
      if (mt == nullptr) TypeError(L, named, "index");
      tm = TableGetStr(mt, L->g->tmname[TM_INDEX]);
      if (IsNil(tm)) {
        // without __index the metatable itself is looked in
        Value mtv;
        SetTable(&mtv, mt);
        cur = mtv;
        named = &cur;
        continue;
      }
    } else {
      tm = &L->g->typeSlots[cur.tt];
      if (IsNil(tm)) TypeError(L, named, "index");
    }
    if (IsFunction(tm)) {
      Value v = CallTMRes(L, tm, &cur, &keyCopy);
      *RestoreStack(L, resr) = v;
      return;
    }
    cur = *tm;
    named = &cur;
  }
  RunError(L, "loop in gettable");
}

void SetTable(lua_State* L, const Value* t, const Value* key, const Value* val) {
  Value cur = *t;
  Value keyCopy = *key;
  Value valCopy = *val;
  const Value* named = t;
  for (int loop = 0; loop <= kMaxTagLoop; loop++) {
    const Value* tm;
    if (IsTable(&cur)) {
      LTable* h = HValue(&cur);
      Value* oldval = TableSet(L, h, &keyCopy);
      if (!IsNil(oldval) || (tm = FastTM(L, h->metatable, TM_NEWINDEX)) == nullptr) {
        *oldval = valCopy;
        return;
      }
    } else {
      tm = GetTMByObj(L, &cur, TM_NEWINDEX);
      if (IsNil(tm)) TypeError(L, named, "index");
    }
    if (IsFunction(tm)) {
      CallTM(L, tm, &cur, &keyCopy, &valCopy);
      return;
    }
    cur = *tm;
    named = &cur;
  }
  RunError(L, "loop in settable");
}

void Arith(lua_State* L, Value* ra, const Value* rb, const Value* rc, TMS op) {
  Value tempb, tempc;
  const Value* b;
  const Value* c;
  if ((b = ToNumber(rb, &tempb)) != nullptr && (c = ToNumber(rc, &tempc)) != nullptr) {
    double nb = NValue(b), nc = NValue(c);
    switch (op) {
      case TM_ADD: SetNumber(ra, nb + nc); break;
      case TM_SUB: SetNumber(ra, nb - nc); break;
      case TM_MUL: SetNumber(ra, nb * nc); break;
      case TM_DIV: SetNumber(ra, nb / nc); break;
      case TM_POW: {
        // `^' is whatever the global __pow says
        const Value* f = TableGetStr(HValue(&L->globals), NewStr(L, "__pow"));
        if (!IsFunction(f)) RunError(L, "`__pow' (`^' operator) is not defined");
        Value nbv = *b, ncv = *c;
        ptrdiff_t r = SaveStack(L, ra);
        Value v = CallTMRes(L, f, &nbv, &ncv);
        *RestoreStack(L, r) = v;
        break;
      }
      default: break;
    }
  } else if (!CallBinTM(L, rb, rc, ra, op)) {
    ArithError(L, rb, rc);
  }
}

void Unm(lua_State* L, Value* ra, const Value* rb) {
  Value temp;
  const Value* n = ToNumber(rb, &temp);
  if (n) {
    SetNumber(ra, -NValue(n));
    return;
  }
  SetNil(&temp);
  if (!CallBinTM(L, rb, &temp, ra, TM_UNM)) ArithError(L, rb, &temp);
}

bool LessThan(lua_State* L, const Value* l, const Value* r) {
  if (l->tt != r->tt) OrderError(L, l, r);
  if (IsNumber(l)) return NValue(l) < NValue(r);
  if (IsString(l)) return StrCmp(SValue(l), SValue(r)) < 0;
  int res = CallOrderTM(L, l, r, TM_LT);
  if (res != -1) return res;
  OrderError(L, l, r);
}

bool EqualObj(lua_State* L, const Value* t1, const Value* t2) {
  const Value* tm;
  switch (t1->tt) {
    case TNil: return true;
    case TNumber: return NValue(t1) == NValue(t2);
    case TBool: return t1->u.b == t2->u.b;
    case TLightUd: return t1->u.p == t2->u.p;
    case TUserdata:
      if (UValue(t1) == UValue(t2)) return true;
      tm = GetCompTM(L, UValue(t1)->metatable, UValue(t2)->metatable, TM_EQ);
      break;
    case TTable:
      if (HValue(t1) == HValue(t2)) return true;
      tm = GetCompTM(L, HValue(t1)->metatable, HValue(t2)->metatable, TM_EQ);
      break;
    default: return t1->u.gc == t2->u.gc;
  }
  if (tm == nullptr) return false;
  Value res = CallTMRes(L, tm, t1, t2);
  return !IsFalse(&res);
}

void Concat(lua_State* L, int total, int last) {
  bool wide = false;
  {
    Value* top = L->base + last + 1;
    for (int i = 1; i <= total; i++) {
      Value* v = top - i;
      if (IsString(v)) break;
      if (IsWString(v)) {
        wide = true;
        break;
      }
    }
  }
  auto convert = [&](Value* v) { return wide ? ToWide(L, v) : ToStringInPlace(L, v); };
  do {
    Value* top = L->base + last + 1;
    int n = 2;
    if (!convert(top - 2) || !convert(top - 1)) {
      if (!CallBinTM(L, top - 2, top - 1, top - 2, TM_CONCAT)) ConcatError(L, top - 2, top - 1, wide);
    } else if (SValue(top - 1)->len > 0) {
      size_t limit = wide ? (size_t(-1) / 2 - 2) : size_t(-1) - 2;
      size_t tl = SValue(top - 1)->len;
      size_t l2 = SValue(top - 2)->len;
      if (tl > limit - l2) RunError(L, "string size overflow");
      tl += l2;
      while (n < total && convert(top - n - 1)) {
        size_t l = SValue(top - n - 1)->len;
        if (l > limit - tl) RunError(L, "string size overflow");
        tl += l;
        n++;
      }
      if (wide) {
        lua_WChar* buffer = reinterpret_cast<lua_WChar*>(OpenBuffer(L, tl * 2 + 2));
        size_t pos = 0;
        for (int i = n; i > 0; i--) {
          size_t l = SValue(top - i)->len;
          memcpy(buffer + pos, SValue(top - i)->WData(), l * 2);
          pos += l;
        }
        SetString(top - n, NewLWStr(L, buffer, pos));
      } else {
        char* buffer = OpenBuffer(L, tl + 1);
        size_t pos = 0;
        for (int i = n; i > 0; i--) {
          size_t l = SValue(top - i)->len;
          memcpy(buffer + pos, SValue(top - i)->Data(), l);
          pos += l;
        }
        SetString(top - n, NewLStr(L, buffer, pos));
      }
    }
    total -= n - 1;
    last -= n - 1;
  } while (total > 1);
}

}  // namespace tlua
