// Shared helpers of the object layer: number conversion, formatted messages, chunk ids.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "script/lua/lua_internal.h"

namespace tlua {

const Value kNilObject = {{nullptr}, TNil};

const char* const kTypeNames[] = {"nil",   "boolean",  "userdata", "number", "string",  "table",
                                  "function", "userdata", "thread", "wstring", "proto", "upval",
                                  "deadkey"};

int Int2Fb(unsigned int x) {
  int m = 0;
  while (x >= 8) {
    x = (x + 1) >> 1;
    m++;
  }
  return (m << 3) | int(x);
}

int FloorLog2(unsigned int x) {  // -1 for 0
  int l = -1;
  while (x) {
    x >>= 1;
    l++;
  }
  return l;
}

int CeilLog2(unsigned int x) {  // smallest l with 2^l >= x
  int l = 0;
  while ((1u << l) < x) l++;
  return l;
}

bool Str2Number(const char* s, double* result) {
  char* end;
  double r = strtod(s, &end);
  if (end == s) return false;
  while (isspace(static_cast<unsigned char>(*end))) end++;
  if (*end != '\0') return false;
  *result = r;
  return true;
}

void NumberToText(double n, char* out) { snprintf(out, 32, "%.14g", n); }

const char* PushVFString(lua_State* L, const char* fmt, va_list argp) {
  std::string out;
  const char* p = fmt;
  while (const char* e = strchr(p, '%')) {
    out.append(p, size_t(e - p));
    switch (e[1]) {
      case 's': {
        const char* s = va_arg(argp, const char*);
        out += s ? s : "(null)";
        break;
      }
      case 'c':
        out += char(va_arg(argp, int));
        break;
      case 'd': {
        char b[32];
        NumberToText(double(va_arg(argp, int)), b);
        out += b;
        break;
      }
      case 'f': {
        char b[32];
        NumberToText(va_arg(argp, double), b);
        out += b;
        break;
      }
      case 'p': {
        char b[40];
        snprintf(b, sizeof b, "%p", va_arg(argp, void*));
        out += b;
        break;
      }
      case '%':
        out += '%';
        break;
      default:
        out += '%';
        if (e[1]) out += e[1];
        break;
    }
    p = e + (e[1] ? 2 : 1);
  }
  out += p;
  LString* s = NewLStr(L, out.data(), out.size());
  SetString(L->top, s);
  IncrTop(L);
  return s->Data();
}

const char* PushFString(lua_State* L, const char* fmt, ...) {
  va_list argp;
  va_start(argp, fmt);
  const char* r = PushVFString(L, fmt, argp);
  va_end(argp);
  return r;
}

void ChunkId(char* out, const char* source, int bufflen) {
  if (*source == '=') {
    strncpy(out, source + 1, size_t(bufflen));
    out[bufflen - 1] = '\0';
    return;
  }
  if (*source == '@') {
    source++;
    int room = bufflen - int(sizeof(" `...' "));
    int len = int(strlen(source));
    out[0] = '\0';
    if (len > room) {
      source += len - room;
      strcat(out, "...");
    }
    strcat(out, source);
    return;
  }
  int len = int(strcspn(source, "\n"));
  int room = bufflen - int(sizeof(" [string \"...\"] "));
  if (len > room) len = room;
  strcpy(out, "[string \"");
  if (source[len] != '\0') {
    strncat(out, source, size_t(len));
    strcat(out, "...");
  } else {
    strcat(out, source);
  }
  strcat(out, "\"]");
}

}  // namespace tlua
