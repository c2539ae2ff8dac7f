#pragma once
// The cipher's base64 text codec. The decoder is lenient on purpose: stored
// keys and files were written against exactly these rules (see text_codec.cpp).

#include <cstddef>
#include <cstdint>
#include <string>

// One row of the codec table: input group bytes, output group characters, alphabet.
struct TCodecRow {
  int inBytes;
  int outChars;
  const char* alphabet;
};
extern const TCodecRow Base64EncodeCodec;

// ceil(length / 3) * 4 characters, no line breaks, "=" padding.
std::string Base64Encode(const uint8_t* data, size_t length);
size_t Base64EncodedLength(size_t length);
// The bytes that length characters decode to at most: length rounded up to 4, / 4 * 3.
size_t Base64DecodedBound(size_t length);
// Decodes into out (at least Base64DecodedBound(length) bytes); returns the byte count.
size_t Base64Decode(const char* text, size_t length, uint8_t* out);
