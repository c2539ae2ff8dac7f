#include "persistence/text_codec.h"

const TCodecRow Base64EncodeCodec = {3, 4, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="};

namespace {

constexpr uint8_t NotInAlphabet = 0xFF;

struct TReverseTable {
  uint8_t value[128];
  TReverseTable() {
    for (uint8_t& v : value) v = NotInAlphabet;
    for (int i = 0; i <= 64; ++i) value[uint8_t(Base64EncodeCodec.alphabet[i])] = uint8_t(i);
  }
};

// Characters outside the alphabet, bytes from 0x80 up included, give all bits set.
uint8_t Lookup(char c) {
  static const TReverseTable table;
  auto u = uint8_t(c);
  return u < 128 ? table.value[u] : NotInAlphabet;
}

}  // namespace

size_t Base64EncodedLength(size_t length) { return (length + 2) / 3 * 4; }

std::string Base64Encode(const uint8_t* data, size_t length) {
  const char* alphabet = Base64EncodeCodec.alphabet;
  std::string out;
  out.reserve(Base64EncodedLength(length));
  for (size_t i = 0; i < length; i += 3) {
    size_t n = length - i < 3 ? length - i : 3;
    uint32_t group = uint32_t(data[i]) << 16;
    if (n > 1) group |= uint32_t(data[i + 1]) << 8;
    if (n > 2) group |= data[i + 2];
    out += alphabet[(group >> 18) & 63];
    out += alphabet[(group >> 12) & 63];
    out += n > 1 ? alphabet[(group >> 6) & 63] : '=';
    out += n > 2 ? alphabet[group & 63] : '=';
  }
  return out;
}

size_t Base64DecodedBound(size_t length) { return (length + 3) / 4 * 3; }

size_t Base64Decode(const char* text, size_t length, uint8_t* out) {
  size_t count = 0;
  for (size_t i = 0; i < length; i += 4) {
    // A short last group reads as if filled up with "=".
    char c[4];
    for (size_t k = 0; k < 4; ++k) c[k] = i + k < length ? text[i + k] : '=';
    uint32_t t0 = Lookup(c[0]), t1 = Lookup(c[1]), t2 = Lookup(c[2]), t3 = Lookup(c[3]);
    out[count] = uint8_t((t0 << 2) | ((t1 >> 4) & 3));
    out[count + 1] = uint8_t(((t1 & 15) << 4) | ((t2 >> 2) & 15));
    out[count + 2] = uint8_t((t2 << 6) | (t3 & 63));
    // Only a pad in the last one or two places shortens a group; the next group then
    // starts on the bytes it left unused.
    count += 3;
    if (c[3] == '=') {
      --count;
      if (c[2] == '=') --count;
    }
  }
  return count;
}
