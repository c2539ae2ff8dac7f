#include "png_file.h"

#include <png.h>

#include <cstddef>
#include <cstdio>
#include <vector>

bool WritePngFile(const char* path, const uint8_t* pixels, int width, int height, int channels, int compression) {
  if (channels != 3 && channels != 4) return false;
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, uint32_t(width), uint32_t(height), 8, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (compression >= 0) png_set_compression_level(png, compression);
  png_write_info(png, info);
  const size_t stride = size_t(width) * size_t(channels);
  for (int y = 0; y < height; y++) png_write_row(png, const_cast<uint8_t*>(pixels + size_t(y) * stride));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

bool ReadPngFile(const char* path, std::vector<uint8_t>& pixels, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) return false;
  // Read with alpha and drop it: without an alpha channel in the output, libpng would
  // compose the colours onto a background.
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  width = int(image.width);
  height = int(image.height);
  pixels.resize(rgba.size() / 4 * 3);
  for (size_t i = 0, o = 0; i < rgba.size(); i += 4, o += 3) {
    pixels[o] = rgba[i];
    pixels[o + 1] = rgba[i + 1];
    pixels[o + 2] = rgba[i + 2];
  }
  return true;
}
