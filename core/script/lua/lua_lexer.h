// The lexical analyser over 8-bit and UTF-16LE chunks, and the chunk byte stream.
#pragma once

#include <string>
#include <vector>

#include "script/lua/lua_internal.h"

namespace tlua {

constexpr int kEOZ = -1;

// Byte stream over a chunk reader, with a small push-back for look-ahead.
class ChunkStream {
 public:
  ChunkStream(lua_State* L, lua_Chunkreader reader, void* data) : mL(L), mReader(reader), mData(data) {}
  int GetByte() {
    if (mPushed > 0) return mPushBack[--mPushed];
    if (mLeft == 0 && !Fill()) return kEOZ;
    mLeft--;
    return static_cast<unsigned char>(*mPos++);
  }
  void UngetByte(int c) { mPushBack[mPushed++] = c; }
  int Lookahead() {
    int c = GetByte();
    if (c != kEOZ) UngetByte(c);
    return c;
  }
  // Reads n bytes; false when the stream ends first.
  bool Read(void* out, size_t n);
  bool wide = false;

 private:
  bool Fill();
  lua_State* mL;
  lua_Chunkreader mReader;
  void* mData;
  const char* mPos = nullptr;
  size_t mLeft = 0;
  int mPushBack[2] = {0, 0};
  int mPushed = 0;
};

enum Token : int {
  TK_AND = 257, TK_BREAK, TK_CONTINUE, TK_DO, TK_ELSE, TK_ELSEIF, TK_END, TK_FALSE, TK_FOR,
  TK_FUNCTION, TK_IF, TK_IN, TK_LOCAL, TK_NIL, TK_NOT, TK_OR, TK_REPEAT, TK_RETURN, TK_THEN,
  TK_TRUE, TK_UNTIL, TK_WHILE,
  TK_NAME, TK_CONCAT, TK_DOTS, TK_EQ, TK_GE, TK_LE, TK_NE, TK_NUMBER, TK_STRING, TK_WSTRING,
  TK_SHL, TK_SHR, TK_EOS
};
constexpr int kFirstReserved = 257;
constexpr int kNumReserved = TK_WHILE - kFirstReserved + 1;

struct SemInfo {
  double r = 0;
  LString* ts = nullptr;
};

struct TokenInfo {
  int token = TK_EOS;
  SemInfo seminfo;
};

struct FuncState;

class Lexer {
 public:
  Lexer(lua_State* L, ChunkStream* z, LString* source);
  void Next();           // advances to the next token
  void Lookahead();      // fills the look-ahead token
  [[noreturn]] void SyntaxError(const char* msg);
  [[noreturn]] void ErrorExpected(int token);
  void CheckLimit(int val, int limit, const char* what);
  std::string TokenText(int token);

  lua_State* L;
  TokenInfo t;
  TokenInfo lookahead;
  int linenumber = 1;
  int lastline = 1;
  FuncState* fs = nullptr;
  LString* source;
  int nestlevel = 0;

 private:
  int Scan(SemInfo* seminfo);
  void NextChar();
  void Save(int c) { mBuff.push_back(c); }
  void SaveAndNext() {
    Save(mCurrent);
    NextChar();
  }
  void IncLine();
  void ReadNumeral(bool dotSeen, SemInfo* seminfo);
  void ReadLongString(SemInfo* seminfo);
  void ReadString(int delimiter, SemInfo* seminfo);
  int ReadWideString(SemInfo* seminfo);
  void ReadQuoted(int delimiter, int maxHexDigits);
  void ReadEscape(int maxHexDigits);
  int ReadEscapeDigits(int maxDigits, bool hex, int* value);
  std::string BufferText() const;
  [[noreturn]] void LexError(const char* msg, int token);
  [[noreturn]] void ErrorAt(const char* msg, const char* near, int line);

  ChunkStream* mZ;
  int mCurrent = kEOZ;
  std::vector<int> mBuff;  // characters of the token being read (16-bit units in a wide chunk)
};

}  // namespace tlua
