#include "persistence/blowfish.h"

#include <cstring>

namespace {

uint32_t ReadBig(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void WriteBig(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

}  // namespace

TBlowfish::TBlowfish(const uint8_t* key, size_t keyLength) {
  memcpy(mP, InitialP, sizeof mP);
  memcpy(mS, InitialS, sizeof mS);
  size_t at = 0;
  for (uint32_t& p : mP) {
    uint32_t word = 0;
    for (int k = 0; k < 4; ++k) {
      word = (word << 8) | (keyLength ? key[at] : 0);
      if (keyLength && ++at == keyLength) at = 0;
    }
    p ^= word;
  }
  uint32_t left = 0, right = 0;
  for (int i = 0; i < 18; i += 2) {
    Encipher(left, right);
    mP[i] = left;
    mP[i + 1] = right;
  }
  for (auto& box : mS) {
    for (int i = 0; i < 256; i += 2) {
      Encipher(left, right);
      box[i] = left;
      box[i + 1] = right;
    }
  }
}

uint32_t TBlowfish::F(uint32_t x) const {
  return ((mS[0][x >> 24] + mS[1][(x >> 16) & 255]) ^ mS[2][(x >> 8) & 255]) + mS[3][x & 255];
}

void TBlowfish::Encipher(uint32_t& left, uint32_t& right) const {
  uint32_t l = left ^ mP[0], r = right;
  for (int i = 1; i < 16; i += 2) {
    r ^= F(l) ^ mP[i];
    l ^= F(r) ^ mP[i + 1];
  }
  left = r ^ mP[17];
  right = l;
}

void TBlowfish::Decipher(uint32_t& left, uint32_t& right) const {
  uint32_t l = left ^ mP[17], r = right;
  for (int i = 16; i > 0; i -= 2) {
    r ^= F(l) ^ mP[i];
    l ^= F(r) ^ mP[i - 1];
  }
  left = r ^ mP[0];
  right = l;
}

void TBlowfish::EncipherBlock(uint8_t* block) const {
  uint32_t left = ReadBig(block), right = ReadBig(block + 4);
  Encipher(left, right);
  WriteBig(block, left);
  WriteBig(block + 4, right);
}

void TBlowfish::DecipherBlock(uint8_t* block) const {
  uint32_t left = ReadBig(block), right = ReadBig(block + 4);
  Decipher(left, right);
  WriteBig(block, left);
  WriteBig(block + 4, right);
}
