// The lexical analyser: tokens of the dialect over 8-bit or UTF-16LE chunks.
#include "script/lua/lua_lexer.h"

#include <cctype>

namespace tlua {

namespace {

const char* const kTokenNames[] = {
    "and",   "break",  "continue", "do",     "else",    "elseif",   "end",     "false",   "for",
    "function", "if",  "in",       "local",  "nil",     "not",      "or",      "repeat",  "return",
    "then",  "true",   "until",    "while",  "*name",   "..",       "...",     "==",      ">=",
    "<=",    "~=",     "*number",  "*string", "*wstring", "<<",     ">>",      "<eof>"};

inline bool IsDigit(int c) { return c >= '0' && c <= '9'; }
inline bool IsAlpha(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
inline bool IsAlnum(int c) { return IsAlpha(c) || IsDigit(c); }
inline bool IsSpace(int c) { return c == ' ' || (c >= 9 && c <= 13); }
inline int HexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

void InitLexer(lua_State* L) {
  for (int i = 0; i < kNumReserved; i++) {
    LString* ts = NewStr(L, kTokenNames[i]);
    ts->marked |= kFixedBit;
    ts->reserved = uint8_t(i + 1);
  }
}

bool ChunkStream::Fill() {
  size_t size = 0;
  const char* buff = mReader(mL, mData, &size);
  if (buff == nullptr || size == 0) return false;
  mPos = buff;
  mLeft = size;
  return true;
}

bool ChunkStream::Read(void* out, size_t n) {
  char* dst = static_cast<char*>(out);
  while (n > 0) {
    if (mPushed > 0) {
      *dst++ = char(mPushBack[--mPushed]);
      n--;
      continue;
    }
    if (mLeft == 0 && !Fill()) return false;
    size_t m = n < mLeft ? n : mLeft;
    memcpy(dst, mPos, m);
    mPos += m;
    mLeft -= m;
    dst += m;
    n -= m;
  }
  return true;
}

Lexer::Lexer(lua_State* state, ChunkStream* z, LString* src) : L(state), source(src), mZ(z) {
  lookahead.token = TK_EOS;
  NextChar();
  if (mCurrent == '#') {
    do NextChar();
    while (mCurrent != '\n' && mCurrent != kEOZ);
  }
}

void Lexer::NextChar() {
  int c = mZ->GetByte();
  if (mZ->wide && c != kEOZ) {
    int hi = mZ->GetByte();
    c = hi == kEOZ ? kEOZ : (c | (hi << 8));
  }
  mCurrent = c;
}

void Lexer::IncLine() {
  NextChar();
  ++linenumber;
  CheckLimit(linenumber, 2147483647 - 2, "lines in a chunk");
}

std::string Lexer::TokenText(int token) {
  if (token < kFirstReserved) {
    char b[32];
    if (token < 32 || token == 127)
      snprintf(b, sizeof b, "char(%d)", token);
    else
      snprintf(b, sizeof b, "%c", token);
    return b;
  }
  return kTokenNames[token - kFirstReserved];
}

std::string Lexer::BufferText() const {
  std::string s;
  s.reserve(mBuff.size());
  for (int c : mBuff) s += char(c & 0xFF);
  return s;
}

void Lexer::ErrorAt(const char* msg, const char* near, int line) {
  char buff[kMaxSrc];
  ChunkId(buff, source->Data(), kMaxSrc);
  PushFString(L, "%s:%d: %s near `%s'", buff, line, msg, near);
  Throw(L, LUA_ERRSYNTAX);
}

void Lexer::LexError(const char* msg, int token) {
  if (token == TK_EOS)
    ErrorAt(msg, TokenText(token).c_str(), linenumber);
  ErrorAt(msg, BufferText().c_str(), linenumber);
}

void Lexer::SyntaxError(const char* msg) {
  std::string near;
  switch (t.token) {
    case TK_NAME: near = t.seminfo.ts->Data(); break;
    case TK_STRING:
    case TK_NUMBER: near = BufferText(); break;
    default: near = TokenText(t.token); break;
  }
  ErrorAt(msg, near.c_str(), linenumber);
}

void Lexer::ErrorExpected(int token) {
  SyntaxError(PushFString(L, "`%s' expected", TokenText(token).c_str()));
}

void Lexer::CheckLimit(int val, int limit, const char* what) {
  if (val > limit) SyntaxError(PushFString(L, "too many %s (limit=%d)", what, limit));
}

void Lexer::Next() {
  lastline = linenumber;
  if (lookahead.token != TK_EOS) {
    t = lookahead;
    lookahead.token = TK_EOS;
  } else {
    t.token = Scan(&t.seminfo);
  }
}

void Lexer::Lookahead() { lookahead.token = Scan(&lookahead.seminfo); }

void Lexer::ReadNumeral(bool dotSeen, SemInfo* seminfo) {
  mBuff.clear();
  if (dotSeen) Save('.');
  if (mCurrent == '0') {
    SaveAndNext();
    if (mCurrent == 'x') {
      // hexadecimal integer: at most 8 characters, the first one taken whatever it is
      SaveAndNext();
      uint32_t value = 0;
      int count = 0;
      for (;;) {
        int c = mCurrent;
        int d = (c >= 0 && c < 256) ? HexValue(tolower(c)) : -1;
        if (d >= 0) value = value * 16 + uint32_t(d);
        SaveAndNext();
        count++;
        if (count >= 8) break;
        int n = mCurrent;
        if (!(n >= 0 && n < 256 && HexValue(tolower(n)) >= 0)) break;
      }
      seminfo->r = double(value);
      return;
    }
  }
  bool decimal = dotSeen;
  while (IsDigit(mCurrent)) SaveAndNext();
  if (mCurrent == '.') {
    decimal = true;
    SaveAndNext();
    if (mCurrent == '.') {
      SaveAndNext();
      LexError("ambiguous syntax (decimal point x string concatenation)", TK_NUMBER);
    }
  }
  while (IsDigit(mCurrent)) SaveAndNext();
  if (mCurrent == 'e' || mCurrent == 'E') {
    decimal = true;
    SaveAndNext();
    if (mCurrent == '+' || mCurrent == '-') SaveAndNext();
    while (IsDigit(mCurrent)) SaveAndNext();
  }
  std::string text = BufferText();
  if (!Str2Number(text.c_str(), &seminfo->r))
    LexError(decimal ? "malformed number" : "malformed integer", TK_NUMBER);
}

void Lexer::ReadLongString(SemInfo* seminfo) {
  int cont = 0;
  mBuff.clear();
  Save('[');
  SaveAndNext();
  if (mCurrent == '\n') IncLine();
  for (;;) {
    switch (mCurrent) {
      case kEOZ:
        LexError(seminfo ? "unfinished long string" : "unfinished long comment", TK_EOS);
      case '[':
        SaveAndNext();
        if (mCurrent == '[') {
          cont++;
          SaveAndNext();
        }
        continue;
      case ']':
        SaveAndNext();
        if (mCurrent == ']') {
          if (cont == 0) goto done;
          cont--;
          SaveAndNext();
        }
        continue;
      case '\n':
        Save('\n');
        IncLine();
        if (!seminfo) mBuff.clear();
        continue;
      default:
        SaveAndNext();
    }
  }
done:
  SaveAndNext();
  if (seminfo) {
    std::string text = BufferText();
    seminfo->ts = NewLStr(L, text.data() + 2, text.size() - 4);
  }
}

// Reads up to maxDigits digits (hex or decimal) starting at the current character.
int Lexer::ReadEscapeDigits(int maxDigits, bool hex, int* value) {
  int n = 0, v = 0;
  while (n < maxDigits) {
    int c = mCurrent;
    int d = hex ? ((c >= 0 && c < 256) ? HexValue(c) : -1) : (IsDigit(c) ? c - '0' : -1);
    if (d < 0) break;
    v = v * (hex ? 16 : 10) + d;
    NextChar();
    n++;
  }
  *value = v;
  return n;
}

// A quoted string's characters go into the buffer from the opening delimiter (saved) up to
// the closing one (left unread). The escapes are those of narrow and wide strings alike;
// only a hex escape's digits differ (2 narrow, 4 wide).
void Lexer::ReadQuoted(int del, int maxHexDigits) {
  mBuff.clear();
  SaveAndNext();
  while (mCurrent != del) {
    switch (mCurrent) {
      case kEOZ: LexError("unfinished string", TK_EOS);
      case '\n': LexError("unfinished string", TK_STRING);
      case '\\': ReadEscape(maxHexDigits); break;
      default: SaveAndNext();
    }
  }
}

// After a backslash: saves the character that the escape stands for.
void Lexer::ReadEscape(int maxHexDigits) {
  NextChar();
  switch (mCurrent) {
    case 'a': Save('\a'); NextChar(); break;
    case 'b': Save('\b'); NextChar(); break;
    case 'f': Save('\f'); NextChar(); break;
    case 'n': Save('\n'); NextChar(); break;
    case 'r': Save('\r'); NextChar(); break;
    case 't': Save('\t'); NextChar(); break;
    case 'v': Save('\v'); NextChar(); break;
    case 'x': {
      NextChar();
      int v;
      if (ReadEscapeDigits(maxHexDigits, true, &v) == 0)
        Save('x');
      else
        Save(v);
      break;
    }
    case '\n': Save('\n'); IncLine(); break;
    case kEOZ: break;  // the caller's loop reports the unfinished string
    default: {
      if (!IsDigit(mCurrent)) {
        SaveAndNext();
      } else {
        int v;
        ReadEscapeDigits(3, false, &v);
        if (v > 255) LexError("escape sequence too large", TK_STRING);
        Save(v);
      }
    }
  }
}

void Lexer::ReadString(int del, SemInfo* seminfo) {
  ReadQuoted(del, 2);
  SaveAndNext();
  std::string text = BufferText();
  seminfo->ts = NewLStr(L, text.data() + 1, text.size() - 2);
}

int Lexer::ReadWideString(SemInfo* seminfo) {
  ReadQuoted('"', 4);
  NextChar();  // the closing quote
  std::vector<lua_WChar> units;
  units.reserve(mBuff.size());
  for (size_t i = 1; i < mBuff.size(); i++) units.push_back(lua_WChar(mBuff[i]));
  seminfo->ts = NewLWStr(L, units.data(), units.size());
  return TK_WSTRING;
}

int Lexer::Scan(SemInfo* seminfo) {
  for (;;) {
    switch (mCurrent) {
      case '\n': IncLine(); continue;
      case '-': {
        NextChar();
        if (mCurrent != '-') return '-';
        NextChar();
        if (mCurrent == '[' && (NextChar(), mCurrent == '[')) {
          ReadLongString(nullptr);
          mBuff.clear();
        } else {
          while (mCurrent != '\n' && mCurrent != kEOZ) NextChar();
        }
        continue;
      }
      case '[':
        NextChar();
        if (mCurrent != '[') return '[';
        ReadLongString(seminfo);
        return TK_STRING;
      case '=':
        NextChar();
        if (mCurrent != '=') return '=';
        NextChar();
        return TK_EQ;
      case '<':
        NextChar();
        if (mCurrent == '<') { NextChar(); return TK_SHL; }
        if (mCurrent != '=') return '<';
        NextChar();
        return TK_LE;
      case '>':
        NextChar();
        if (mCurrent == '>') { NextChar(); return TK_SHR; }
        if (mCurrent != '=') return '>';
        NextChar();
        return TK_GE;
      case '~':
        NextChar();
        if (mCurrent != '=') return '~';
        NextChar();
        return TK_NE;
      case '"':
      case '\'':
        ReadString(mCurrent, seminfo);
        return TK_STRING;
      case '.':
        NextChar();
        if (mCurrent == '.') {
          NextChar();
          if (mCurrent == '.') {
            NextChar();
            return TK_DOTS;
          }
          return TK_CONCAT;
        }
        if (!IsDigit(mCurrent)) return '.';
        ReadNumeral(true, seminfo);
        return TK_NUMBER;
      case kEOZ: return TK_EOS;
      default: {
        if (IsSpace(mCurrent)) {
          NextChar();
          continue;
        }
        if (IsDigit(mCurrent)) {
          ReadNumeral(false, seminfo);
          return TK_NUMBER;
        }
        if (IsAlpha(mCurrent)) {
          mBuff.clear();
          if (mCurrent == 'L') {
            NextChar();
            if (mCurrent == '"') return ReadWideString(seminfo);
            Save('L');
          }
          while (IsAlnum(mCurrent)) SaveAndNext();
          std::string name = BufferText();
          LString* ts = NewLStr(L, name.data(), name.size());
          if (ts->reserved > 0) return ts->reserved - 1 + kFirstReserved;
          seminfo->ts = ts;
          return TK_NAME;
        }
        int c = mCurrent;
        if (c >= 255) {
          ErrorAt("invalid wide char", PushFString(L, "char(%d)", c), linenumber);
        }
        if (c < 32 || c == 127) {
          ErrorAt("invalid control char", PushFString(L, "char(%d)", c), linenumber);
        }
        NextChar();
        return c;
      }
    }
  }
}

}  // namespace tlua
