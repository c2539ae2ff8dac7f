#pragma once
// TBlowfish: the 64-bit block cipher under the string cipher (16 rounds, key of 1 to 56
// bytes). Blocks are 8 bytes: two 32-bit halves, each most significant byte first.

#include <cstddef>
#include <cstdint>

class TBlowfish {
 public:
  TBlowfish(const uint8_t* key, size_t keyLength);

  void Encipher(uint32_t& left, uint32_t& right) const;
  void Decipher(uint32_t& left, uint32_t& right) const;
  // One 8-byte block in place.
  void EncipherBlock(uint8_t* block) const;
  void DecipherBlock(uint8_t* block) const;

  static const uint32_t InitialP[18];
  static const uint32_t InitialS[4][256];

 private:
  uint32_t F(uint32_t x) const;

  uint32_t mS[4][256];
  uint32_t mP[18];
};
