// demo_art: draws the images of the demo game's start screen into an asset folder.
//
//   demo_art ASSET_FOLDER
//
// Everything is computed: gradients, soft shapes with anti-aliased edges (coverage from a
// signed distance), hills from sums of sines, stars from a fixed random sequence. The
// output is the same on every run. tools/demo_art/make_demo_assets.sh runs it together
// with the sounds.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "png_file.h"

namespace {

struct TRgba {
  float r = 0, g = 0, b = 0, a = 0;
};

TRgba Rgb(uint32_t hex, float alpha = 1.0f) {
  return {float((hex >> 16) & 0xFF) / 255.0f, float((hex >> 8) & 0xFF) / 255.0f, float(hex & 0xFF) / 255.0f, alpha};
}

TRgba Mix(const TRgba& a, const TRgba& b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// src over dst, both straight alpha.
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

class TImageBuffer {
 public:
  TImageBuffer(int width, int height) : mWidth(width), mHeight(height), mPixels(size_t(width) * height) {}
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  TRgba& At(int x, int y) { return mPixels[size_t(y) * mWidth + x]; }
  // Paints every pixel with what the function gives for its centre, over what is there.
  void Paint(const std::function<TRgba(float, float)>& colour) {
    for (int y = 0; y < mHeight; y++)
      for (int x = 0; x < mWidth; x++) At(x, y) = Over(At(x, y), colour(float(x) + 0.5f, float(y) + 0.5f));
  }
  bool Write(const std::string& path) const;

 private:
  int mWidth, mHeight;
  std::vector<TRgba> mPixels;
};

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

// Coverage of a pixel by a shape whose signed distance (negative inside) is d.
float Coverage(float d) { return std::clamp(0.5f - d, 0.0f, 1.0f); }

// Signed distance to a rounded rectangle (x0, y0)-(x1, y1) with corner radius r.
float RoundedBox(float x, float y, float x0, float y0, float x1, float y1, float r) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
  float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
  float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

// ---- The background: a valley in the mist at dusk ----

float HillLine(float x, float base, float a1, float f1, float p1, float a2, float f2, float p2) {
  return base + a1 * std::sin(x * f1 + p1) + a2 * std::sin(x * f2 + p2);
}

TImageBuffer Background(int width, int height) {
  TImageBuffer image(width, height);
  const TRgba top = Rgb(0x141a44), middle = Rgb(0x5b4385), horizon = Rgb(0xeea274);
  const float horizonY = float(height) * 0.66f;
  const float moonX = float(width) * 0.86f, moonY = float(height) * 0.15f, moonR = 32;
  image.Paint([&](float x, float y) {
    float t = y / horizonY;
    TRgba sky = t < 0.55f ? Mix(top, middle, t / 0.55f) : Mix(middle, horizon, (t - 0.55f) / 0.45f);
    // The moon's glow, then the moon.
    float d = std::hypot(x - moonX, y - moonY);
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
  for (int i = 0; i < 140; i++) {
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
  const THill hills[] = {{0.62f, 22, 0.006f, 0.8f, 14, 0.017f, 2.1f, 0x51417a, 0.32f},
                         {0.72f, 26, 0.009f, 2.4f, 12, 0.023f, 0.3f, 0x392e5f, 0.26f},
                         {0.84f, 20, 0.011f, 4.0f, 10, 0.029f, 1.2f, 0x241d40, 0.2f}};
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

// ---- Widgets ----

// A rounded plate with a vertical gradient, a border and a thin highlight under its top edge.
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

TImageBuffer Knob(int size, TRgba light, TRgba dark) {
  TImageBuffer image(size, size);
  float c = float(size) / 2, r = c - 1.5f;
  image.Paint([&](float x, float y) {
    float d = std::hypot(x - c, y - c) - r;
    TRgba body = Mix(light, dark, (y - (c - r)) / (2 * r));
    float shine = 0.55f * Coverage(std::hypot(x - c + r * 0.35f, y - c + r * 0.4f) - r * 0.28f);
    body = Over(body, WithAlpha(Rgb(0xffffff), shine));
    body = Over(body, WithAlpha(Rgb(0x5a3c12), Coverage(-(d + 1.5f))));
    return WithAlpha(body, Coverage(d));
  });
  return image;
}

// A rail end: the groove, rounded at the top (roundTop) or at the bottom.
TImageBuffer RailEnd(int width, int height, bool roundTop) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    float d = roundTop ? RoundedBox(x, y, 0.5f, 0.5f, w - 0.5f, h + w, w / 2 - 0.5f)
                       : RoundedBox(x, y, 0.5f, -w, w - 0.5f, h - 0.5f, w / 2 - 0.5f);
    TRgba groove = Mix(Rgb(0x1d1833), Rgb(0x4a3f6b), std::fabs(x - w / 2) / (w / 2));
    return WithAlpha(groove, Coverage(d));
  });
  return image;
}

TImageBuffer RailMiddle(int width, int height) {
  TImageBuffer image(width, height);
  float w = float(width);
  image.Paint([&](float x, float) {
    float d = std::fabs(x - w / 2) - (w / 2 - 0.5f);
    return WithAlpha(Mix(Rgb(0x1d1833), Rgb(0x4a3f6b), std::fabs(x - w / 2) / (w / 2)), Coverage(d));
  });
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_art ASSET_FOLDER\n");
    return 2;
  }
  std::string images = std::string(argv[1]) + "/images";
  std::string folder = images + "/start";
  mkdir(images.c_str(), 0755);
  mkdir(folder.c_str(), 0755);

  const TRgba gold = Rgb(0xf2d38b), bronzeLight = Rgb(0xc99a52), bronzeDark = Rgb(0x7e5222);
  bool ok = Save(Background(800, 600), folder, "background.png");
  ok &= Save(Plate(180, 48, 14, bronzeLight, bronzeDark, gold, 2), folder, "button.png");
  ok &= Save(Plate(180, 48, 14, Rgb(0x8a5d28), Rgb(0x5e3b16), gold, 2), folder, "button_pressed.png");
  ok &= Save(Plate(180, 48, 14, Rgb(0xe0b46a), Rgb(0x9a6a2e), Rgb(0xfff0c0), 2), folder, "button_over.png");
  ok &= Save(Plate(400, 340, 20, Rgb(0x1e1a3c, 0.78f), Rgb(0x120f26, 0.84f), WithAlpha(gold, 0.8f), 2), folder,
             "panel.png");
  ok &= Save(Plate(300, 40, 9, Rgb(0xfbf8ef, 0.96f), Rgb(0xebe4d2, 0.96f), Rgb(0xb08a50), 2), folder, "field.png");
  ok &= Save(Plate(460, 230, 22, Rgb(0x2c2450, 0.97f), Rgb(0x1a1536, 0.97f), gold, 3), folder, "dialog.png");
  TImageBuffer dim(4, 3);
  dim.Paint([](float, float) { return Rgb(0x05040c, 0.55f); });
  ok &= Save(dim, folder, "dim.png");
  ok &= Save(RailEnd(12, 6, true), folder, "rail_top.png");
  ok &= Save(RailMiddle(12, 8), folder, "rail_mid.png");
  ok &= Save(RailEnd(12, 6, false), folder, "rail_bottom.png");
  ok &= Save(Knob(26, Rgb(0xf7dc9a), Rgb(0xb07a30)), folder, "knob.png");
  ok &= Save(Knob(26, Rgb(0xfff2c8), Rgb(0xd49a48)), folder, "knob_over.png");
  return ok ? 0 : 1;
}
