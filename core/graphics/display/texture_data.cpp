// Loading an image file into texture data: the loader of textures and of their restore.

#include "graphics/display/texture_data.h"

#include <string>

#include "graphics/codecs/image_codecs.h"
#include "platform/file.h"
#include "platform/log.h"
#include "platform/settings.h"

namespace {

constexpr uint32_t MaxSurfaceSide = 1024;

bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

uint32_t PowerOfTwoAtLeast(uint32_t n) {
  uint32_t p = 1;
  while (p < n && p < 0x80000000u) p <<= 1;
  return p;
}

// Reads an image by the extension its name holds; false for any other name.
bool ReadImage(const std::string& name, TDecodedImage& image) {
  if (Has(name, ".png")) return LoadPngImage(name, image);
  if (Has(name, ".jpg")) return LoadJpegImage(name, image);
  if (Has(name, ".jp2")) return LoadJpeg2000Image(name, image);
  return false;
}

// The mask's third byte (red) becomes each pixel's alpha when the sizes agree.
bool MergeMask(const std::string& maskName, TDecodedImage& image) {
  TDecodedImage mask;
  bool jpeg = Has(maskName, ".jpg") && !Has(maskName, ".png");
  if (!(jpeg ? LoadJpegImage(maskName, mask) : LoadPngImage(maskName, mask))) return false;
  if (mask.width != image.width || mask.height != image.height) return true;
  for (uint32_t y = 0; y < image.height; ++y)
    for (uint32_t x = 0; x < image.width; ++x)
      image.pixels[(size_t(y) * image.side + x) * 4 + 3] = mask.pixels[(size_t(y) * mask.side + x) * 4 + 2];
  return true;
}

bool LoadFile(TTextureData& data, const std::string& file, std::string mask) {
  TDecodedImage image;
  if (!ReadImage(file, image)) return false;
  if (Has(file, ".png") || Has(file, ".jp2")) {
    if (data.mFlags & TextureAlphaFromFile)
      data.mFlags = image.hasAlpha ? (data.mFlags | TextureAlpha) : (data.mFlags & ~TextureAlpha);
  }
  if (Has(file, ".jpg") && IsEnabled("automergemask")) {
    std::string companion = file.substr(0, file.find(".jpg")) + ".mask.png";
    if (FileExists(companion.c_str())) {
      mask = companion;
      data.mFlags = uint8_t((data.mFlags & ~TextureAlphaFromFile) | TextureAlpha);
    }
  }
  if (!mask.empty() && !MergeMask(mask, image)) return false;

  bool roundUp = (data.mFlags & TexturePlain) || !data.CanUseAnySize();
  uint32_t surfaceWidth = roundUp ? PowerOfTwoAtLeast(image.width) : image.width;
  uint32_t surfaceHeight = roundUp ? PowerOfTwoAtLeast(image.height) : image.height;
  if ((surfaceWidth > MaxSurfaceSide || surfaceHeight > MaxSurfaceSide) && !(data.mFlags & TextureSystemMemory)) {
    LogPrintf("Texture %s: %ux%u is larger than %u pixels", file.c_str(), image.width, image.height, MaxSurfaceSide);
    return false;
  }
  data.mWidth = image.width;
  data.mHeight = image.height;
  if (!data.CreateSurface(surfaceWidth, surfaceHeight, false)) return false;
  data.mWidth = image.width;
  data.mHeight = image.height;
  if (!data.SetPixels(image.side, image.side, reinterpret_cast<const uint32_t*>(image.pixels.get()))) return false;
  data.mFileName = file.c_str();
  data.mMaskFileName = mask.c_str();
  return true;
}

}  // namespace

bool LoadTextureImage(TTextureData& data, const TString& name, const TString& maskName) {
  std::string file = name.ToStd(), mask = maskName.ToStd();
  size_t options = file.rfind('?');
  if (options != std::string::npos) {
    std::string words = file.substr(options + 1);
    file.resize(options);
    if (Has(words, "slow")) data.mFlags |= TexturePlain | TextureSystemMemory;
    if (Has(words, "simple")) data.mFlags |= TexturePlain;
    if (Has(words, "alpha")) data.mFlags = uint8_t((data.mFlags & ~TextureAlphaFromFile) | TextureAlpha);
    if (Has(words, "mipmap")) data.mFlags |= TextureMipMap;
  }
  bool named = Has(file, ".png") || Has(file, ".jpg") || Has(file, ".jp2");
  if (!FileExists(file.c_str()) && !named) {
    for (const char* extension : {".png", ".jpg", ".jp2"})
      if (FileExists((file + extension).c_str())) return LoadFile(data, file + extension, mask);
    return false;
  }
  if (!mask.empty() && !FileExists(mask.c_str()) && !Has(mask, ".png") && !Has(mask, ".jpg")) {
    for (const char* extension : {".jpg", ".png"})
      if (FileExists((mask + extension).c_str())) return LoadFile(data, file, mask + extension);
  }
  return LoadFile(data, file, mask);
}
