// menu_options_art: draws the images of the demo's options dialog, score screen and
// highscore table into an asset folder: their plates, the check box of a switch, the
// slider's rail and knob, and the small medal of a highscore row.
//
//   menu_options_art ASSET_FOLDER
//
// Computed like the other art tools' pictures (gradients and anti-aliased shapes), the
// same on every run; tools/demo_art/make_demo_assets.sh runs it.

#include <cmath>
#include <cstdio>
#include <string>

#include "art_canvas.h"

namespace {

const TRgba Gold = Rgb(0xf2d38b);

// A check box: a dark rounded square with a gold rim, ticked when `on', lighter under the
// pointer.
TImageBuffer CheckBox(int size, bool on, bool over) {
  TImageBuffer image = Plate(size, size, 7, Rgb(over ? 0x4b4080 : 0x3a3163), Rgb(over ? 0x352c66 : 0x2a2350),
                             over ? Rgb(0xfff0c0) : Gold, 2);
  if (!on) return image;
  float s = float(size);
  // The tick: two strokes, from the left middle down to the bottom third and up to the right.
  const float ax = 0.25f * s, ay = 0.52f * s, bx = 0.43f * s, by = 0.72f * s, cx = 0.77f * s, cy = 0.3f * s;
  auto segment = [](float x, float y, float x0, float y0, float x1, float y1) {
    float ex = x1 - x0, ey = y1 - y0;
    float t = std::fmax(0.0f, std::fmin(1.0f, ((x - x0) * ex + (y - y0) * ey) / (ex * ex + ey * ey)));
    return std::hypot(x - x0 - t * ex, y - y0 - t * ey);
  };
  image.Paint([&](float x, float y) {
    float d = std::fmin(segment(x, y, ax, ay, bx, by), segment(x, y, bx, by, cx, cy)) - 0.09f * s;
    return WithAlpha(Gold, Coverage(d));
  });
  return image;
}

// The slider's knob: a gold disc with a darker rim (lighter under the pointer).
TImageBuffer Knob(int size, bool over) {
  TImageBuffer image(size, size);
  float r = float(size) / 2;
  image.Paint([&](float x, float y) {
    float d = std::hypot(x - r, y - r) - (r - 1.5f);
    TRgba body = Mix(Rgb(over ? 0xfff0c0 : 0xf2d38b), Rgb(over ? 0xd8aa5c : 0xb07c34), y / float(size));
    TRgba rim = WithAlpha(Rgb(0x5e3b16), Coverage(-(d + 2.0f)));
    return WithAlpha(Over(body, rim), Coverage(d));
  });
  return image;
}

// A small medal: a gold disc with a star-like light in the middle.
TImageBuffer Medal(int size) {
  TImageBuffer image(size, size);
  float r = float(size) / 2;
  image.Paint([&](float x, float y) {
    float dx = x - r, dy = y - r;
    float d = std::hypot(dx, dy) - (r - 1);
    float angle = std::atan2(dy, dx);
    float star = std::hypot(dx, dy) - r * (0.32f + 0.16f * std::cos(5 * angle));
    TRgba body = Over(Rgb(0xc99a52), WithAlpha(Rgb(0xfff0c0), Coverage(star)));
    return WithAlpha(body, Coverage(d));
  });
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: menu_options_art ASSET_FOLDER\n");
    return 2;
  }
  const std::string menu = std::string(argv[1]) + "/images/menu";
  if (!MakeFolder(std::string(argv[1]) + "/images") || !MakeFolder(menu)) {
    std::fprintf(stderr, "menu_options_art: cannot make %s\n", menu.c_str());
    return 1;
  }
  const TRgba deep = Rgb(0x2c2450), deeper = Rgb(0x1a1536);
  bool ok = Save(Plate(560, 440, 24, deep, deeper, Gold, 3), menu, "options.png");
  ok &= Save(Plate(520, 440, 24, deep, deeper, Gold, 3), menu, "score.png");
  ok &= Save(Plate(620, 640, 24, deep, deeper, Gold, 3), menu, "hiscore.png");
  ok &= Save(CheckBox(36, false, false), menu, "check.png");
  ok &= Save(CheckBox(36, false, true), menu, "check_over.png");
  ok &= Save(CheckBox(36, true, false), menu, "check_on.png");
  // The rail, drawn turned for a horizontal slider: a cap at each end and a middle piece
  // stretched between them.
  ok &= Save(Plate(12, 8, 4, Rgb(0x6a5a9a), Rgb(0x3a3163), WithAlpha(Gold, 0.7f), 1.5f), menu, "rail_cap.png");
  ok &= Save(Solid(12, 4, Rgb(0x4b4080)), menu, "rail.png");
  ok &= Save(Knob(28, false), menu, "knob.png");
  ok &= Save(Knob(28, true), menu, "knob_over.png");
  ok &= Save(Medal(24), menu, "medal.png");
  return ok ? 0 : 1;
}
