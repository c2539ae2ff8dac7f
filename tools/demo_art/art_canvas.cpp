#include "art_canvas.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

#include "png_file.h"

TRgba Rgb(uint32_t hex, float alpha) {
  return {float((hex >> 16) & 0xFF) / 255.0f, float((hex >> 8) & 0xFF) / 255.0f, float(hex & 0xFF) / 255.0f, alpha};
}

TRgba Mix(const TRgba& a, const TRgba& b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

TRgba Over(const TRgba& dst, const TRgba& src) {
  float a = src.a + dst.a * (1 - src.a);
  if (a <= 0) return {};
  auto channel = [&](float s, float d) { return (s * src.a + d * dst.a * (1 - src.a)) / a; };
  return {channel(src.r, dst.r), channel(src.g, dst.g), channel(src.b, dst.b), a};
}

TRgba WithAlpha(TRgba c, float alpha) {
  c.a *= std::clamp(alpha, 0.0f, 1.0f);
  return c;
}

bool TImageBuffer::Write(const std::string& path) const {
  std::vector<uint8_t> rgba(mPixels.size() * 4);
  auto byte = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  for (size_t i = 0; i < mPixels.size(); i++) {
    const TRgba& p = mPixels[i];
    uint8_t* out = &rgba[i * 4];
    // Fully transparent pixels are stored black, so that equal images are equal files.
    bool clear = byte(p.a) == 0;
    out[0] = clear ? 0 : byte(p.r);
    out[1] = clear ? 0 : byte(p.g);
    out[2] = clear ? 0 : byte(p.b);
    out[3] = byte(p.a);
  }
  return WritePngFile(path.c_str(), rgba.data(), mWidth, mHeight, 4, 9);
}

float Coverage(float d) { return std::clamp(0.5f - d, 0.0f, 1.0f); }

float RoundedBox(float x, float y, float x0, float y0, float x1, float y1, float r) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
  float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
  float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

namespace {

float HillLine(float x, float base, float a1, float f1, float p1, float a2, float f2, float p2) {
  return base + a1 * std::sin(x * f1 + p1) + a2 * std::sin(x * f2 + p2);
}

}  // namespace

const TValleyPalette Dusk = {0x141a44, 0x5b4385, 0xeea274, {0x51417a, 0x392e5f, 0x241d40}, true};
const TValleyPalette Night = {0x070a1c, 0x1b2347, 0x3b4a6e, {0x2a3350, 0x1c2340, 0x10152b}, true};
const TValleyPalette Morning = {0x6f9fc9, 0xa9c9de, 0xf1e3c2, {0x6d8a6a, 0x4d6e4c, 0x344f33}, false};

TImageBuffer Background(int width, int height, const TValleyPalette& palette) {
  TImageBuffer image(width, height);
  const TRgba top = Rgb(palette.top), middle = Rgb(palette.middle), horizon = Rgb(palette.horizon);
  const float horizonY = float(height) * 0.66f;
  const float moonX = float(width) * 0.86f, moonY = float(height) * 0.15f, moonR = 32;
  image.Paint([&](float x, float y) {
    float t = y / horizonY;
    TRgba sky = t < 0.55f ? Mix(top, middle, t / 0.55f) : Mix(middle, horizon, (t - 0.55f) / 0.45f);
    // The moon's glow, then the moon.
    float d = std::hypot(x - moonX, y - moonY);
    if (!palette.moon) return sky;
    sky = Over(sky, WithAlpha(Rgb(0xfff1d6), 0.35f * std::exp(-std::pow(std::max(d - moonR, 0.0f) / 70.0f, 2.0f))));
    sky = Over(sky, WithAlpha(Rgb(0xfdf6e3), Coverage(d - moonR)));
    return sky;
  });
  // Stars: a fixed sequence, fading towards the horizon and away from the moon.
  uint32_t seed = 20231211;
  auto next = [&seed]() {
    seed = seed * 1664525u + 1013904223u;
    return float(seed >> 8) / float(1 << 24);
  };
  for (int i = 0; i < (palette.moon ? 140 : 0); i++) {
    float sx = next() * float(width), sy = next() * horizonY * 0.7f, bright = 0.35f + 0.65f * next();
    if (std::hypot(sx - moonX, sy - moonY) < moonR * 3) continue;
    float fade = 1.0f - sy / (horizonY * 0.7f);
    int px = int(sx), py = int(sy);
    image.At(px, py) = Over(image.At(px, py), WithAlpha(Rgb(0xfff8ea), bright * fade));
  }
  struct THill {
    float base, a1, f1, p1, a2, f2, p2;
    uint32_t colour;
    float mist;
  };
  const THill hills[] = {{0.62f, 22, 0.006f, 0.8f, 14, 0.017f, 2.1f, palette.hills[0], 0.32f},
                         {0.72f, 26, 0.009f, 2.4f, 12, 0.023f, 0.3f, palette.hills[1], 0.26f},
                         {0.84f, 20, 0.011f, 4.0f, 10, 0.029f, 1.2f, palette.hills[2], 0.2f}};
  for (const THill& hill : hills) {
    const TRgba colour = Rgb(hill.colour), mist = Rgb(0xd9cfe6);
    float base = hill.base * float(height);
    image.Paint([&](float x, float y) {
      float line = HillLine(x, base, hill.a1, hill.f1, hill.p1, hill.a2, hill.f2, hill.p2);
      // Mist gathers along the hill's foot and thins upwards.
      float mistAlpha = hill.mist * std::exp(-std::pow((y - line - 6) / 26.0f, 2.0f));
      TRgba ground = Mix(colour, mist, 0.15f * std::exp(-(y - line) / 40.0f));
      TRgba out = WithAlpha(ground, Coverage(line - y));
      return Over(out, WithAlpha(mist, mistAlpha));
    });
  }
  return image;
}

TImageBuffer Plate(int width, int height, float radius, TRgba upper, TRgba lower, TRgba border, float borderWidth) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    float d = RoundedBox(x, y, 0.5f, 0.5f, w - 0.5f, h - 0.5f, radius);
    TRgba fill = Mix(upper, lower, y / h);
    float highlight = 0.18f * Coverage(std::fabs(y - borderWidth - 2.0f) - 0.7f) * Coverage(d + borderWidth + 3);
    fill = Over(fill, WithAlpha(Rgb(0xffffff), highlight));
    TRgba edge = WithAlpha(border, Coverage(-(d + borderWidth)) * border.a);
    TRgba out = Over(fill, edge);
    return WithAlpha(out, Coverage(d));
  });
  return image;
}

TImageBuffer Solid(int width, int height, TRgba colour) {
  TImageBuffer image(width, height);
  image.Paint([&](float, float) { return colour; });
  return image;
}

bool Save(const TImageBuffer& image, const std::string& folder, const char* name) {
  std::string path = folder + "/" + name;
  if (image.Write(path)) {
    std::printf("%s\n", path.c_str());
    return true;
  }
  std::fprintf(stderr, "demo_art: cannot write %s\n", path.c_str());
  return false;
}

bool MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }
