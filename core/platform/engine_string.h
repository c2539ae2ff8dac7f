#pragma once
// TString: the engine's byte string. Copies share one reference-counted body; a change
// first gives the changed string a body of its own. Text is UTF-8 wherever it leaves
// the engine. A null body is the empty string.

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

// Flags of TString::Find and TString::Replace.
enum TFindFlags : uint32_t {
  FindNoCase = 1,    // compare ASCII letters without case
  ReplaceAll = 2,    // Replace: every occurrence, not only the first
  FindBackward = 4,  // search from the end; start counts from the end
};

class TString {
 public:
  TString() = default;
  TString(const char* text);  // NOLINT: implicit on purpose, names are written as literals
  TString(const char* buffer, size_t length);
  TString(const std::string& text) : TString(text.data(), text.size()) {}  // NOLINT
  TString(const TString& other);
  TString(TString&& other) noexcept : mBody(other.mBody) { other.mBody = nullptr; }
  ~TString() { Release(); }

  TString& operator=(const TString& other);
  TString& operator=(TString&& other) noexcept;
  TString& operator=(const char* text);

  // Reading.
  uint32_t Length() const;
  bool IsEmpty() const { return Length() == 0; }
  const char* c_str() const;
  char CharAt(uint32_t index) const;
  // Three-way order: negative, 0 or positive (through the collation hook when loaded).
  int Compare(const TString& other) const;
  int Find(char c, uint32_t flags = 0, uint32_t start = 0) const;
  int Find(const TString& needle, uint32_t flags = 0, uint32_t start = 0) const;
  TString Substr(uint32_t pos, int32_t len = -1) const;
  int ToInt() const;
  float ToFloat() const;
  std::string ToStd() const { return std::string(c_str()); }

  // Building new strings.
  static TString Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
  static TString VFormat(const char* format, va_list args);
  static TString FromCodePoint(uint32_t codePoint);

  // Changing in place (a shared body is copied first).
  TString& operator+=(const TString& other);
  TString& operator+=(char c);
  TString& Append(const char* buffer, size_t count);
  // Copies count bytes to pos (-1: the current length), growing by doubling; a NUL follows
  // only when terminate is set. Returns pos + count.
  uint32_t WriteAt(int32_t pos, const void* source, uint32_t count, bool terminate);
  void Erase(uint32_t pos, int32_t len = -1);
  TString& Replace(const TString& find, const TString& replacement, uint32_t flags = ReplaceAll,
                   uint32_t start = 0);
  TString& MakeLower();
  void Reserve(uint32_t capacity);
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Body details, for tests and diagnostics.
  uint32_t Capacity() const;
  uint32_t RefCount() const;
  bool SharesBodyWith(const TString& other) const { return mBody == other.mBody; }

 private:
  struct Body;
  static Body* NewBody(uint32_t capacity);
  void Detach();
  void Release();
  char* MutableText();

  Body* mBody = nullptr;
};

TString operator+(const TString& a, const TString& b);
TString operator+(const TString& a, char c);
inline bool operator==(const TString& a, const TString& b) { return a.Compare(b) == 0; }
inline bool operator!=(const TString& a, const TString& b) { return a.Compare(b) != 0; }
inline bool operator<(const TString& a, const TString& b) { return a.Compare(b) < 0; }

// UTF-8 helpers.
int Utf8SequenceLength(const char* p);              // 0 for NUL, else 1..4 from the lead byte
int Utf8Encode(uint32_t codePoint, char* out);       // 1..4 bytes written, 0 when refused
uint32_t Utf8Decode(const char* p);                  // the code point, 0 when malformed
// UTF-16 forms for platform calls and wide script strings. Each call returns its own text.
std::u16string Utf8ToWide(const TString& text);
TString WideToUtf8(const char16_t* text);

// The optional collation hook. The loader runs once, at the first comparison of two
// non-empty texts; without a loader, or when it answers null, texts compare as bytes.
using TCollateFn = int (*)(const char* a, const char* b);
using TCollateLoader = TCollateFn (*)();
void SetCollationLoader(TCollateLoader loader);
