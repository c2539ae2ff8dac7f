#include "graphics/device/pixel_format.h"

#include <cstring>

namespace {

uint32_t LowBit(uint32_t mask) {
  if (mask == 0) return 0;
  uint32_t n = 0;
  while (!(mask & 1u)) { mask >>= 1; ++n; }
  return n;
}

uint32_t BitCount(uint32_t mask) {
  uint32_t n = 0;
  for (; mask; mask &= mask - 1) ++n;
  return n;
}

// Places an 8-bit value into a mask, keeping its top bits.
uint32_t PlaceChannel(uint32_t value8, uint32_t mask) {
  if (mask == 0) return 0;
  uint32_t bits = BitCount(mask);
  uint32_t v = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
  return (v << LowBit(mask)) & mask;
}

// Extracts a channel as 8 bits, replicating high bits into the low ones.
uint32_t ExtractChannel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  uint32_t bits = BitCount(mask);
  uint32_t v = (pixel & mask) >> LowBit(mask);
  if (bits >= 8) return v >> (bits - 8);
  uint32_t out = 0;
  int shift = 8 - static_cast<int>(bits);
  while (shift > -static_cast<int>(bits)) {
    out |= shift >= 0 ? v << shift : v >> -shift;
    shift -= static_cast<int>(bits);
  }
  return out & 0xFF;
}

}  // namespace

TPixelFormat PixelFormatArgb8888() { return {DDPF_RGB | DDPF_ALPHAPIXELS, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000}; }
TPixelFormat PixelFormatXrgb8888() { return {DDPF_RGB, 32, 0xFF0000, 0xFF00, 0xFF, 0}; }
TPixelFormat PixelFormatRgb565() { return {DDPF_RGB, 16, 0xF800, 0x07E0, 0x001F, 0}; }
TPixelFormat PixelFormatArgb4444() { return {DDPF_RGB | DDPF_ALPHAPIXELS, 16, 0x0F00, 0x00F0, 0x000F, 0xF000}; }
TPixelFormat PixelFormatZ(uint32_t bits) {
  return {DDPF_ZBUFFER, bits == 16 ? 16u : 32u, bits == 16 ? 0xFFFFu : 0xFFFFFFFFu, 0, 0, 0};
}

TPixelLayout ClassifyPixelFormat(const TPixelFormat& f) {
  if (f.flags & DDPF_ZBUFFER) return f.bitCount == 16 ? TPixelLayout::Z16 : f.bitCount == 32 ? TPixelLayout::Z32 : TPixelLayout::Other;
  if (f == PixelFormatArgb8888()) return TPixelLayout::Argb8888;
  if (f == PixelFormatXrgb8888()) return TPixelLayout::Xrgb8888;
  if (f == PixelFormatRgb565()) return TPixelLayout::Rgb565;
  if (f == PixelFormatArgb4444()) return TPixelLayout::Argb4444;
  return TPixelLayout::Other;
}

uint32_t BytesPerPixel(const TPixelFormat& f) { return (f.bitCount + 7) / 8; }

uint32_t PackArgb(const TPixelFormat& f, uint32_t argb) {
  return PlaceChannel((argb >> 16) & 0xFF, f.redMask) | PlaceChannel((argb >> 8) & 0xFF, f.greenMask) |
         PlaceChannel(argb & 0xFF, f.blueMask) | PlaceChannel(argb >> 24, f.alphaMask);
}

uint32_t UnpackArgb(const TPixelFormat& f, uint32_t pixel) {
  uint32_t a = (f.flags & DDPF_ALPHAPIXELS) && f.alphaMask ? ExtractChannel(pixel, f.alphaMask) : 0xFF;
  return a << 24 | ExtractChannel(pixel, f.redMask) << 16 | ExtractChannel(pixel, f.greenMask) << 8 |
         ExtractChannel(pixel, f.blueMask);
}

uint32_t ReadPixel(const uint8_t* p, uint32_t bpp) {
  switch (bpp) {
    case 1: return p[0];
    case 2: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case 3: return p[0] | p[1] << 8 | p[2] << 16;
    default: { uint32_t v; std::memcpy(&v, p, 4); return v; }
  }
}

void WritePixel(uint8_t* p, uint32_t bpp, uint32_t value) {
  switch (bpp) {
    case 1: p[0] = static_cast<uint8_t>(value); break;
    case 2: { uint16_t v = static_cast<uint16_t>(value); std::memcpy(p, &v, 2); break; }
    case 3: p[0] = value & 0xFF; p[1] = (value >> 8) & 0xFF; p[2] = (value >> 16) & 0xFF; break;
    default: std::memcpy(p, &value, 4); break;
  }
}

void ConvertRow(const uint8_t* src, const TPixelFormat& sf, uint8_t* dst, const TPixelFormat& df, uint32_t count) {
  uint32_t sb = BytesPerPixel(sf), db = BytesPerPixel(df);
  if (sf == df) {
    std::memmove(dst, src, static_cast<size_t>(count) * sb);
    return;
  }
  // 32-bit formats that differ only in alpha copy bytes and fix the alpha.
  TPixelLayout sl = ClassifyPixelFormat(sf), dl = ClassifyPixelFormat(df);
  if ((sl == TPixelLayout::Argb8888 || sl == TPixelLayout::Xrgb8888) && dl == TPixelLayout::Xrgb8888) {
    std::memmove(dst, src, static_cast<size_t>(count) * 4);
    return;
  }
  if (sl == TPixelLayout::Xrgb8888 && dl == TPixelLayout::Argb8888) {
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t v;
      std::memcpy(&v, src + i * 4, 4);
      v |= 0xFF000000u;
      std::memcpy(dst + i * 4, &v, 4);
    }
    return;
  }
  for (uint32_t i = 0; i < count; ++i)
    WritePixel(dst + i * db, db, PackArgb(df, UnpackArgb(sf, ReadPixel(src + i * sb, sb))));
}
