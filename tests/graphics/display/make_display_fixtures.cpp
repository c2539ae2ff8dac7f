// Writes the images the display tests draw as sprites into a folder:
//   build-*/bin/make_display_fixtures tests/fixtures/graphics
// sprite_alpha.png (a soft-edged disc with alpha), sprite_photo.jpg (a colour pattern) and
// its mask sprite_photo.mask.png (a diamond).
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "graphics/codecs/image_codecs.h"
#include "platform/file_map.h"

namespace {

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_display_fixtures <folder>\n");
    return 2;
  }
  SetDataFolders(argv[1], "", "");
  std::string folder = "user:";

  const uint32_t disc = 24;
  std::vector<uint32_t> pixels(disc * disc);
  for (uint32_t y = 0; y < disc; ++y)
    for (uint32_t x = 0; x < disc; ++x) {
      float d = std::hypot(float(x) - 11.5f, float(y) - 11.5f);
      float a = d <= 8 ? 1.0f : d >= 12 ? 0.0f : (12 - d) / 4;
      pixels[y * disc + x] = Argb(uint32_t(a * 255), 255, 120 + x * 5, 40 + y * 4);
    }
  bool ok = SavePngImage((folder + "sprite_alpha.png").c_str(), pixels.data(), disc, disc, disc * 4);

  const uint32_t w = 32, h = 24;
  pixels.assign(w * h, 0);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) pixels[y * w + x] = Argb(255, x * 8, (x + y) % 8 < 4 ? 200 : 60, y * 10);
  ok &= SaveJpegImage((folder + "sprite_photo.jpg").c_str(), 0.9f, w, h, w * 4, pixels.data());
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint32_t inside = std::abs(int(x) * 2 - 31) * 3 + std::abs(int(y) * 2 - 23) * 4 <= 92 ? 255 : 0;
      pixels[y * w + x] = Argb(255, inside, inside, inside);
    }
  ok &= SavePngImage((folder + "sprite_photo.mask.png").c_str(), pixels.data(), w, h, w * 4);
  return ok ? 0 : 1;
}
