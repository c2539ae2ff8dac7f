// demo_art: draws the images of the demo game's menus and first scenes into an asset folder.
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
#include <cerrno>
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

// The colours of a valley picture: the sky from top to horizon, and three hills from far to
// near.
struct TValleyPalette {
  uint32_t top, middle, horizon;
  uint32_t hills[3];
  bool moon;
};
const TValleyPalette Dusk = {0x141a44, 0x5b4385, 0xeea274, {0x51417a, 0x392e5f, 0x241d40}, true};
const TValleyPalette Night = {0x070a1c, 0x1b2347, 0x3b4a6e, {0x2a3350, 0x1c2340, 0x10152b}, true};
const TValleyPalette Morning = {0x6f9fc9, 0xa9c9de, 0xf1e3c2, {0x6d8a6a, 0x4d6e4c, 0x344f33}, false};

TImageBuffer Background(int width, int height, const TValleyPalette& palette = Dusk) {
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

// The pointer: an arrow with a light body (top and bottom colour) and a dark rim, its tip at
// the top-left corner.
TImageBuffer Arrow(int size, uint32_t bodyTop = 0xfffaf0, uint32_t bodyBottom = 0xe8d9b8) {
  TImageBuffer image(size, size);
  // The outline, in units of the image size.
  const float points[][2] = {{0.06f, 0.04f}, {0.06f, 0.78f}, {0.25f, 0.61f}, {0.39f, 0.92f},
                             {0.51f, 0.87f}, {0.37f, 0.57f}, {0.62f, 0.57f}};
  const int count = int(sizeof points / sizeof points[0]);
  float s = float(size);
  image.Paint([&](float x, float y) {
    // Distance to the outline, negative inside (even-odd rule).
    bool inside = false;
    float nearest = 1e9f;
    for (int i = 0, j = count - 1; i < count; j = i++) {
      float xi = points[i][0] * s, yi = points[i][1] * s, xj = points[j][0] * s, yj = points[j][1] * s;
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
      float ex = xj - xi, ey = yj - yi;
      float t = std::clamp(((x - xi) * ex + (y - yi) * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
      nearest = std::min(nearest, std::hypot(x - xi - t * ex, y - yi - t * ey));
    }
    float d = inside ? -nearest : nearest;
    TRgba body = Mix(Rgb(bodyTop), Rgb(bodyBottom), y / s);
    TRgba rim = WithAlpha(Rgb(0x2a1d0e), Coverage(-(d + 1.6f)));
    return WithAlpha(Over(body, rim), Coverage(d - 0.8f));
  });
  return image;
}

TImageBuffer Solid(int width, int height, TRgba colour) {
  TImageBuffer image(width, height);
  image.Paint([&](float, float) { return colour; });
  return image;
}

// ---- Scene overlays ----

// A small picture of a place in a gold frame: the valley of the backgrounds, shrunk.
TImageBuffer FramedPlace(int width, int height, const TValleyPalette& palette, TRgba frame) {
  TImageBuffer image = Background(width, height, palette);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    float d = RoundedBox(x, y, 0.5f, 0.5f, w - 0.5f, h - 0.5f, 10);
    // Outside the rounded corners the picture is cut away; a frame runs along the edge.
    if (d > 0) return TRgba{0, 0, 0, 0};
    return WithAlpha(frame, Coverage(-(d + 4)));
  });
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (RoundedBox(float(x) + 0.5f, float(y) + 0.5f, 0.5f, 0.5f, w - 0.5f, h - 0.5f, 10) > 0.5f) image.At(x, y) = {};
  return image;
}

// An envelope: pale paper, the folds of its back and a red seal.
TImageBuffer Envelope(int width, int height) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    float d = RoundedBox(x, y, 2, 2, w - 2, h - 2, 4);
    TRgba paper = Mix(Rgb(0xfbf3dc), Rgb(0xe9d9b0), (x + y) / (w + h));
    // The flap's folds run from the upper corners to the middle.
    float fold = std::fabs(std::fabs(x - w / 2) * (h * 0.3f) / (w / 2) - (h * 0.3f - y));
    if (y < h * 0.3f) paper = Mix(paper, Rgb(0xb89b68), 0.5f * Coverage(fold - 0.6f));
    TRgba seal = WithAlpha(Rgb(0xa8322a), Coverage(std::hypot(x - w / 2, y - h * 0.3f) - 10));
    return WithAlpha(Over(paper, seal), Coverage(d));
  });
  return image;
}

// The bar of an in-game cutscene: near black, fading towards the screen, with a gold edge.
TImageBuffer Bar(int width, int height, bool top, TRgba edge) {
  TImageBuffer image(width, height);
  float h = float(height);
  image.Paint([&](float, float y) {
    float inward = top ? y : h - y;  // distance from the screen's edge
    TRgba bar = WithAlpha(Rgb(0x07060d), 0.96f);
    float line = Coverage(std::fabs(inward - (h - 3)) - 1.0f);
    return Over(bar, WithAlpha(edge, 0.8f * line));
  });
  return image;
}

// The lit hole of the candle window: dark around a soft transparent circle in the middle.
TImageBuffer CandleHole(int width, int height, float radius, float softness) {
  TImageBuffer image(width, height);
  float cx = float(width) / 2, cy = float(height) / 2;
  image.Paint([&](float x, float y) {
    float d = std::hypot(x - cx, y - cy);
    return WithAlpha(Rgb(0x000000), std::clamp((d - radius) / softness, 0.0f, 1.0f));
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

bool MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_art ASSET_FOLDER\n");
    return 2;
  }
  const std::string assets = argv[1];
  const std::string menu = assets + "/images/menu", scenes = assets + "/images/scenes",
                    standard = assets + "/standard/backgrounds", sprites = assets + "/standard/sprites";
  for (const std::string& folder : {assets + "/images", menu, scenes, assets + "/standard", standard, sprites}) {
    if (!MakeFolder(folder)) {
      std::fprintf(stderr, "demo_art: cannot make %s\n", folder.c_str());
      return 1;
    }
  }

  const TRgba gold = Rgb(0xf2d38b), bronzeLight = Rgb(0xc99a52), bronzeDark = Rgb(0x7e5222);
  bool ok = Save(Background(1024, 768), menu, "background.png");
  ok &= Save(Plate(240, 52, 16, bronzeLight, bronzeDark, gold, 2), menu, "button.png");
  ok &= Save(Plate(240, 52, 16, Rgb(0x8a5d28), Rgb(0x5e3b16), gold, 2), menu, "button_pressed.png");
  ok &= Save(Plate(240, 52, 16, Rgb(0xe0b46a), Rgb(0x9a6a2e), Rgb(0xfff0c0), 2), menu, "button_over.png");
  ok &= Save(Plate(170, 44, 14, bronzeLight, bronzeDark, gold, 2), menu, "small_button.png");
  ok &= Save(Plate(170, 44, 14, Rgb(0x8a5d28), Rgb(0x5e3b16), gold, 2), menu, "small_button_pressed.png");
  ok &= Save(Plate(170, 44, 14, Rgb(0xe0b46a), Rgb(0x9a6a2e), Rgb(0xfff0c0), 2), menu, "small_button_over.png");
  ok &= Save(Plate(340, 330, 22, Rgb(0x1e1a3c, 0.78f), Rgb(0x120f26, 0.84f), WithAlpha(gold, 0.8f), 2), menu,
             "panel.png");
  ok &= Save(Plate(620, 560, 24, Rgb(0x2c2450), Rgb(0x1a1536), gold, 3), menu, "profiles.png");
  // A profile slot: plain, chosen, and under the pointer.
  ok &= Save(Plate(380, 44, 10, Rgb(0x3a3163, 0.9f), Rgb(0x2a2350, 0.9f), WithAlpha(gold, 0.45f), 1.5f), menu,
             "slot.png");
  ok &= Save(Plate(380, 44, 10, Rgb(0xc99a52), Rgb(0x8c5f28), Rgb(0xfff0c0), 2), menu, "slot_chosen.png");
  ok &= Save(Plate(380, 44, 10, Rgb(0x4b4080, 0.95f), Rgb(0x352c66, 0.95f), gold, 1.5f), menu, "slot_over.png");
  ok &= Save(Plate(300, 40, 9, Rgb(0xfbf8ef, 0.96f), Rgb(0xebe4d2, 0.96f), Rgb(0xb08a50), 2), menu, "field.png");
  ok &= Save(Plate(460, 230, 22, Rgb(0x2c2450), Rgb(0x1a1536), gold, 3), menu, "dialog.png");
  ok &= Save(Solid(4, 3, Rgb(0x05040c, 0.55f)), menu, "dim.png");
  ok &= Save(Arrow(32), menu, "cursor.png");
  // While input is blocked the pointer is grey.
  ok &= Save(Arrow(32, 0xb4b0aa, 0x8c8882), menu, "cursor_inactive.png");
  // The overlay through which screens fade: opaque black, the size of the screen.
  ok &= Save(Solid(1024, 768, Rgb(0x000000)), standard, "transition.png");
  // The first two scenes: arrival at night, the clearing in the morning.
  ok &= Save(Background(1024, 768, Night), scenes, "ankunft.png");
  ok &= Save(Background(1024, 768, Morning), scenes, "lichtung.png");
  // The chapter screen's picture of the valley, and the scenes' overlays: the briefing and
  // info boxes, grandpa's letter in its envelope, the bars of an in-game cutscene.
  ok &= Save(FramedPlace(360, 220, Dusk, gold), scenes, "nebeltal.png");
  ok &= Save(Plate(680, 130, 18, Rgb(0x1e1a3c, 0.9f), Rgb(0x120f26, 0.92f), WithAlpha(gold, 0.85f), 2), scenes,
             "briefing.png");
  ok &= Save(Plate(380, 60, 12, Rgb(0x1e1a3c, 0.9f), Rgb(0x120f26, 0.92f), WithAlpha(gold, 0.85f), 2), scenes,
             "infobox.png");
  ok &= Save(Envelope(180, 150), scenes, "brief.png");
  ok &= Save(Bar(1024, 90, true, gold), scenes, "bar_top.png");
  ok &= Save(Bar(1024, 90, false, gold), scenes, "bar_bottom.png");
  // The candle window: a hole in the middle of the screen and the pieces around it.
  ok &= Save(CandleHole(1024, 768, 150, 90), standard, "candle.png");
  ok &= Save(Solid(1024, 384, Rgb(0x000000)), standard, "candle_top.png");
  ok &= Save(Solid(512, 768, Rgb(0x000000)), standard, "candle_middle.png");
  // The stand-in picture of empty overlay images.
  ok &= Save(Solid(1, 1, TRgba{}), sprites, "no_sprite.png");
  return ok ? 0 : 1;
}
