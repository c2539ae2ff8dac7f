#include "graphics/codecs/image_codecs.h"

#include <new>

#include "platform/log.h"

uint32_t ImageSide(uint32_t width, uint32_t height) {
  uint32_t larger = width > height ? width : height;
  uint32_t side = 1;
  while (side < larger) side <<= 1;
  return side;
}

bool CheckImageSize(const TString& name, uint32_t width, uint32_t height) {
  if (width == 0 || height == 0 || width > MaxImageSide || height > MaxImageSide) {
    LogPrintf("Image %s: refused size %ux%u (at most %ux%u)", name.c_str(), width, height,
              MaxImageSide, MaxImageSide);
    return false;
  }
  return true;
}

std::unique_ptr<uint8_t[]> AllocateImage(const TString& name, uint32_t side, uint32_t bytesPerPixel) {
  size_t bytes = size_t(side) * side * bytesPerPixel;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[bytes]());
  if (!buffer) LogPrintf("Image %s: out of memory for %zu bytes", name.c_str(), bytes);
  return buffer;
}
