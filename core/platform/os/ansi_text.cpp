#include "platform/os/ansi_text.h"

#include "platform/engine_string.h"

namespace {

// 0x80..0x9F of Windows-1252; 0 where the code page leaves the byte undefined.
const uint16_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Length of the valid UTF-8 sequence at s (at most n bytes), 0 when it is not one.
size_t ValidSequence(const unsigned char* s, size_t n) {
  unsigned char c = s[0];
  size_t len = c < 0x80 ? 1 : c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c < 0xF5 ? 4 : 0;
  if (len == 0 || len > n) return 0;
  uint32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
  for (size_t i = 1; i < len; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (s[i] & 0x3F);
  }
  // Overlong forms, surrogates and values beyond the Unicode range are not characters.
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return 0;
  if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
  return len;
}

}  // namespace

uint8_t CodePointToAnsi(uint32_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return uint8_t(codePoint);
  for (int i = 0; i < 32; ++i) {
    if (HighControls[i] != 0 && HighControls[i] == codePoint) return uint8_t(0x80 + i);
  }
  return '?';
}

uint32_t AnsiToCodePoint(uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0) return HighControls[byte - 0x80] ? HighControls[byte - 0x80] : byte;
  return byte;
}

std::string MakeValidUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size();
  for (size_t i = 0; i < n;) {
    size_t len = ValidSequence(s + i, n - i);
    if (len > 0) {
      out.append(text, i, len);
      i += len;
      continue;
    }
    char buffer[4];
    int written = Utf8Encode(AnsiToCodePoint(s[i]), buffer);
    out.append(buffer, size_t(written));
    ++i;
  }
  return out;
}
