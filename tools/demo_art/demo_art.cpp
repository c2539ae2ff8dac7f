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

#include "art_canvas.h"

namespace {

// ---- Widgets ----

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
