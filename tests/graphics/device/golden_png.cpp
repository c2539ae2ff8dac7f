#include "golden_png.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

bool WriteGoldenPng(const std::string& path, const std::vector<uint32_t>& argb, uint32_t width, uint32_t height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_BGRA;
  return png_image_write_to_file(&image, path.c_str(), 0, argb.data(), int(width * 4), nullptr) != 0;
}

bool ReadGoldenPng(const std::string& path, std::vector<uint32_t>& argb, uint32_t& width, uint32_t& height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_BGRA;
  width = image.width;
  height = image.height;
  argb.assign(size_t(width) * height, 0);
  bool ok = png_image_finish_read(&image, nullptr, argb.data(), int(width * 4), nullptr) != 0;
  png_image_free(&image);
  return ok;
}

bool IsUpdatingGoldens() {
  const char* update = std::getenv("TARVELON_UPDATE_GOLDEN");
  return update && std::strcmp(update, "1") == 0;
}

std::string MatchGolden(const std::string& relativePath, const std::vector<uint32_t>& argb, uint32_t width, uint32_t height) {
  std::string path = std::string(TARVELON_GOLDEN) + "/" + relativePath;
  if (IsUpdatingGoldens())
    return WriteGoldenPng(path, argb, width, height) ? "" : "cannot write " + path;
  std::vector<uint32_t> stored;
  uint32_t w = 0, h = 0;
  if (!ReadGoldenPng(path, stored, w, h)) return "cannot read " + path;
  if (w != width || h != height) return "size differs from " + path;
  for (size_t i = 0; i < stored.size(); ++i)
    if (stored[i] != argb[i]) {
      char text[160];
      std::snprintf(text, sizeof text, "pixel (%zu, %zu) is %08X, %s has %08X", i % width, i / width, argb[i],
                    relativePath.c_str(), stored[i]);
      return text;
    }
  return "";
}
