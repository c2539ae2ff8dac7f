#include "platform/engine_string.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

// The text buffer follows the body header in one allocation.
struct TString::Body {
  std::atomic<uint32_t> refs;
  uint32_t capacity;
  char* Text() { return reinterpret_cast<char*>(this + 1); }
};

namespace {

constexpr uint32_t MinCapacity = 16;
constexpr size_t StackFormatSize = 4096;

uint32_t ToCapacity(size_t n) {
  // Bodies are bounded by the 32-bit capacity field.
  if (n >= UINT32_MAX) abort();
  return static_cast<uint32_t>(n);
}

unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

bool SameByte(unsigned char a, unsigned char b, bool noCase) {
  return noCase ? Upper(a) == Upper(b) : a == b;
}

std::mutex gCollateMutex;
TCollateLoader gCollateLoader = nullptr;
std::atomic<bool> gCollateTried{false};
std::atomic<TCollateFn> gCollateFn{nullptr};

int CompareStrings(const char* a, const char* b) {
  if (!gCollateTried.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> lock(gCollateMutex);
    if (!gCollateTried.load(std::memory_order_relaxed)) {
      gCollateFn.store(gCollateLoader ? gCollateLoader() : nullptr);
      gCollateTried.store(true, std::memory_order_release);
    }
  }
  if (TCollateFn hook = gCollateFn.load()) return hook(a, b);
  const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
  while (*x && *x == *y) {
    ++x;
    ++y;
  }
  if (*x == *y) return 0;
  return *x < *y ? -1 : 1;
}

}  // namespace

void SetCollationLoader(TCollateLoader loader) {
  std::lock_guard<std::mutex> lock(gCollateMutex);
  gCollateLoader = loader;
  gCollateFn.store(nullptr);
  gCollateTried.store(false, std::memory_order_release);
}

TString::Body* TString::NewBody(uint32_t capacity) {
  void* memory = ::operator new(sizeof(Body) + capacity);
  Body* body = new (memory) Body;
  body->refs.store(1, std::memory_order_relaxed);
  body->capacity = capacity;
  body->Text()[0] = 0;
  return body;
}

void TString::Release() {
  if (!mBody) return;
  if (mBody->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    mBody->~Body();
    ::operator delete(mBody);
  }
  mBody = nullptr;
}

TString::TString(const char* text) {
  if (!text) {
    mBody = NewBody(MinCapacity);
    return;
  }
  size_t n = strlen(text);
  mBody = NewBody(ToCapacity(n + 1));
  memcpy(mBody->Text(), text, n + 1);
}

TString::TString(const char* buffer, size_t length) {
  mBody = NewBody(std::max<uint32_t>(ToCapacity(length + 1), MinCapacity));
  if (length) memcpy(mBody->Text(), buffer, length);
  mBody->Text()[length] = 0;
}

TString::TString(const TString& other) : mBody(other.mBody) {
  if (mBody) mBody->refs.fetch_add(1, std::memory_order_relaxed);
}

TString& TString::operator=(const TString& other) {
  if (this == &other || mBody == other.mBody) return *this;
  Body* body = other.mBody;
  if (body) body->refs.fetch_add(1, std::memory_order_relaxed);
  Release();
  mBody = body;
  return *this;
}

TString& TString::operator=(TString&& other) noexcept {
  if (this != &other) {
    Release();
    mBody = other.mBody;
    other.mBody = nullptr;
  }
  return *this;
}

TString& TString::operator=(const char* text) {
  // Build first: text may point into our own body.
  TString fresh(text);
  return *this = std::move(fresh);
}

uint32_t TString::Length() const { return mBody ? static_cast<uint32_t>(strlen(mBody->Text())) : 0; }

const char* TString::c_str() const { return mBody ? mBody->Text() : ""; }

char TString::CharAt(uint32_t index) const { return index < Length() ? mBody->Text()[index] : 0; }

uint32_t TString::Capacity() const { return mBody ? mBody->capacity : 0; }

uint32_t TString::RefCount() const { return mBody ? mBody->refs.load() : 0; }

int TString::Compare(const TString& other) const {
  if (mBody == other.mBody) return 0;
  if (!other.mBody) return mBody->Text()[0] ? 1 : 0;
  if (!mBody) return other.mBody->Text()[0] ? -1 : 0;
  // Only the sign of the result counts: a hook that answers 256 must not read as equal.
  int r = CompareStrings(mBody->Text(), other.mBody->Text());
  return (r > 0) - (r < 0);
}

int TString::Find(char c, uint32_t flags, uint32_t start) const {
  uint32_t length = Length();
  if (length == 0 || start >= length) return -1;
  const char* text = mBody->Text();
  bool noCase = flags & FindNoCase;
  if (flags & FindBackward) {
    for (int64_t i = int64_t(length) - 1 - start; i >= 0; --i)
      if (SameByte(text[i], c, noCase)) return int(i);
  } else {
    for (uint32_t i = start; i < length; ++i)
      if (SameByte(text[i], c, noCase)) return int(i);
  }
  return -1;
}

int TString::Find(const TString& needle, uint32_t flags, uint32_t start) const {
  uint32_t length = Length();
  if (length == 0 || start >= length) return -1;
  uint32_t needleLength = needle.Length();
  // Signed: a needle longer than the text has no place to fit.
  int64_t last = int64_t(length) - needleLength;
  const char* text = mBody->Text();
  const char* pattern = needle.c_str();
  bool noCase = flags & FindNoCase;
  auto matchesAt = [&](int64_t at) {
    for (uint32_t k = 0; k < needleLength; ++k)
      if (!SameByte(text[at + k], pattern[k], noCase)) return false;
    return true;
  };
  if (flags & FindBackward) {
    for (int64_t i = last - start; i >= 0; --i)
      if (matchesAt(i)) return int(i);
  } else {
    for (int64_t i = start; i <= last; ++i)
      if (matchesAt(i)) return int(i);
  }
  return -1;
}

TString TString::Substr(uint32_t pos, int32_t len) const {
  uint32_t length = Length();
  if (pos >= length || len == 0) return TString("");
  // Never copy or allocate beyond the text: a long len is the rest of the text.
  uint32_t take = length - pos;
  if (len > 0 && uint32_t(len) < take) take = uint32_t(len);
  return TString(mBody->Text() + pos, take);
}

int TString::ToInt() const {
  const char* p = c_str();
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > int64_t(INT_MAX) + 1) value = int64_t(INT_MAX) + 1;
  }
  if (negative) value = -value;
  return int(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

float TString::ToFloat() const { return strtof(c_str(), nullptr); }

TString TString::Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  TString result = VFormat(format, args);
  va_end(args);
  return result;
}

TString TString::VFormat(const char* format, va_list args) {
  char buffer[StackFormatSize];
  va_list again;
  va_copy(again, args);
  int n = vsnprintf(buffer, sizeof buffer, format, args);
  if (n < 0) {
    va_end(again);
    return TString();
  }
  if (size_t(n) < sizeof buffer) {
    va_end(again);
    return TString(buffer, size_t(n));
  }
  TString result;
  result.Reserve(ToCapacity(size_t(n) + 1));
  vsnprintf(result.mBody->Text(), size_t(n) + 1, format, again);
  va_end(again);
  return result;
}

void TString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  *this = VFormat(format, args);
  va_end(args);
}

TString TString::FromCodePoint(uint32_t codePoint) {
  char bytes[4];
  int n = Utf8Encode(codePoint, bytes);
  return n ? TString(bytes, size_t(n)) : TString();
}

void TString::Detach() {
  if (mBody && mBody->refs.load(std::memory_order_acquire) > 1) {
    TString copy(mBody->Text());
    *this = std::move(copy);
  }
}

char* TString::MutableText() {
  Detach();
  return mBody ? mBody->Text() : nullptr;
}

void TString::Reserve(uint32_t capacity) {
  uint32_t length = Length();
  // A capacity below the text would cut it; keep the whole text.
  capacity = std::max({capacity, MinCapacity, length + 1});
  Body* body = NewBody(capacity);
  if (length) memcpy(body->Text(), mBody->Text(), length);
  body->Text()[length] = 0;
  Release();
  mBody = body;
}

TString& TString::operator+=(const TString& other) {
  uint32_t add = other.Length();
  if (add == 0) {
    Detach();
    return *this;
  }
  TString keep(other);  // other may be this string
  Detach();
  uint32_t length = Length();
  uint32_t needed = ToCapacity(size_t(length) + add + 1);
  if (Capacity() < needed) Reserve(needed);
  memcpy(mBody->Text() + length, keep.c_str(), add + 1);
  return *this;
}

TString& TString::operator+=(char c) { return Append(&c, 1); }

TString& TString::Append(const char* buffer, size_t count) { return *this += TString(buffer, count); }

uint32_t TString::WriteAt(int32_t pos, const void* source, uint32_t count, bool terminate) {
  Detach();
  uint32_t at = pos < 0 ? Length() : uint32_t(pos);
  uint32_t needed = ToCapacity(size_t(at) + count + 1);
  if (!mBody) {
    Reserve(needed);
  } else if (mBody->capacity < needed) {
    uint64_t capacity = std::max<uint32_t>(mBody->capacity, 1);
    while (capacity < needed) capacity *= 2;
    Reserve(ToCapacity(capacity));
  }
  char* text = mBody->Text();
  uint32_t length = Length();
  // Bytes between the old end and pos are zeroed, never left unset; and a write that
  // covers the old NUL gets a new one, so the text always ends inside the buffer.
  if (at > length) memset(text + length, 0, at - length);
  if (count) memmove(text + at, source, count);
  if (terminate || at + count > length) text[at + count] = 0;
  return at + count;
}

void TString::Erase(uint32_t pos, int32_t len) {
  uint32_t length = Length();
  if (pos >= length || len == 0) return;
  char* text = MutableText();
  // A length past the end erases to the end instead of moving bytes behind the NUL.
  if (len < 0 || uint32_t(len) >= length - pos) {
    text[pos] = 0;
    return;
  }
  memmove(text + pos, text + pos + len, length - pos - len + 1);
}

TString& TString::Replace(const TString& find, const TString& replacement, uint32_t flags,
                          uint32_t start) {
  Detach();
  uint32_t findLength = find.Length();
  // An empty find text would match forever; it replaces nothing.
  if (findLength == 0 || IsEmpty()) return *this;
  TString what(find), with(replacement);  // either may share our body
  uint32_t withLength = with.Length();
  int64_t delta = int64_t(withLength) - findLength;
  for (;;) {
    int pos = Find(what, flags & (FindNoCase | FindBackward), start);
    if (pos < 0) break;
    uint32_t length = Length();
    if (delta > 0 && Capacity() < length + delta + 1) Reserve(ToCapacity(length + delta + 1));
    char* text = mBody->Text();
    if (delta != 0) memmove(text + pos + withLength, text + pos + findLength, length - pos - findLength + 1);
    memcpy(text + pos, with.c_str(), withLength);
    if (!(flags & ReplaceAll)) break;
    if (flags & FindBackward) {
      // Backwards, start counts from the end: go on with the candidates before pos.
      if (pos == 0) break;
      start = uint32_t(std::max<int64_t>(0, int64_t(Length()) - findLength - (pos - 1)));
    } else {
      start = uint32_t(pos) + withLength;
    }
  }
  return *this;
}

TString& TString::MakeLower() {
  char* text = MutableText();
  if (text)
    for (; *text; ++text)
      if (*text >= 'A' && *text <= 'Z') *text += 32;
  return *this;
}

TString operator+(const TString& a, const TString& b) {
  uint32_t la = a.Length(), lb = b.Length();
  TString result;
  result.Reserve(std::max<uint32_t>(la + lb + 1, 16));
  result.WriteAt(0, a.c_str(), la, true);
  result.WriteAt(int32_t(la), b.c_str(), lb, true);
  return result;
}

TString operator+(const TString& a, char c) {
  uint32_t la = a.Length();
  TString result;
  result.Reserve(std::max<uint32_t>(la + 2, 16));
  result.WriteAt(0, a.c_str(), la, true);
  result.WriteAt(int32_t(la), &c, 1, true);
  return result;
}

int Utf8SequenceLength(const char* p) {
  unsigned char c = static_cast<unsigned char>(*p);
  if (c == 0) return 0;
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

int Utf8Encode(uint32_t cp, char* out) {
  if (cp < 0x80) {
    out[0] = char(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = char(0xC0 | cp >> 6);
    out[1] = char(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    if (cp == 0xFFFE || cp == 0xFEFF || cp == 0xFFFF) return 0;
    out[0] = char(0xE0 | cp >> 12);
    out[1] = char(0x80 | (cp >> 6 & 0x3F));
    out[2] = char(0x80 | (cp & 0x3F));
    return 3;
  }
  if (cp < 0x110000) {
    out[0] = char(0xF0 | cp >> 18);
    out[1] = char(0x80 | (cp >> 12 & 0x3F));
    out[2] = char(0x80 | (cp >> 6 & 0x3F));
    out[3] = char(0x80 | (cp & 0x3F));
    return 4;
  }
  return 0;
}

uint32_t Utf8Decode(const char* p) {
  static const uint32_t Offsets[5] = {0, 0, 0x3080, 0xE2080, 0x3C82080};
  int n = Utf8SequenceLength(p);
  const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
  if (n == 0) return 0;
  if (n == 1) return s[0] < 0x80 ? s[0] : 0;
  uint32_t value = s[0];
  // The test stops at the first byte without its top bit, the NUL included.
  for (int i = 1; i < n; ++i) {
    if (s[i] < 0x80) return 0;
    value = (value << 6) + s[i];
  }
  return value - Offsets[n];
}

std::u16string Utf8ToWide(const TString& text) {
  std::u16string out;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text.c_str());
  out.reserve(text.Length());
  while (*s) {
    unsigned char c = *s;
    int n = c < 0x80 ? 1 : c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    uint32_t cp = n == 1 ? c : n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
    bool valid = n > 0;
    for (int i = 1; valid && i < n; ++i) {
      if ((s[i] & 0xC0) != 0x80) valid = false;
      else cp = (cp << 6) | (s[i] & 0x3F);
    }
    if (valid && ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF))))
      valid = false;
    if (!valid) {
      // A malformed byte becomes the replacement character and the walk goes on.
      out.push_back(u'\xFFFD');
      ++s;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(char16_t(0xD800 + (cp >> 10)));
      out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(char16_t(cp));
    }
    s += n;
  }
  return out;
}

TString WideToUtf8(const char16_t* text) {
  if (!text || !*text) return TString();
  TString out;
  char bytes[4];
  for (const char16_t* p = text; *p; ++p) {
    uint32_t cp = *p;
    if (cp >= 0xD800 && cp < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (p[1] - 0xDC00);
      ++p;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;  // an unpaired surrogate
    }
    int n = Utf8Encode(cp, bytes);
    if (n == 0) {
      // The byte-order marks and U+FFFF that Utf8Encode refuses still convert here.
      bytes[0] = char(0xE0 | cp >> 12);
      bytes[1] = char(0x80 | (cp >> 6 & 0x3F));
      bytes[2] = char(0x80 | (cp & 0x3F));
      n = 3;
    }
    out.WriteAt(-1, bytes, uint32_t(n), true);
  }
  return out;
}
