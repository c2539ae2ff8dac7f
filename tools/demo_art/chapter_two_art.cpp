// chapter_two_art: draws the pictures of the second chapter's own screens: the clearing by
// night, grandpa's hall with its two doors, the sideboard searched for the cogwheel and the
// letter, the villa's entrance with its bell, the chapter screen's small picture of the
// villa, and the things found in the sideboard.
//
//   chapter_two_art ASSET_FOLDER
//
// Everything is computed, and the output is the same on every run;
// tools/demo_art/make_demo_assets.sh runs it.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "art_canvas.h"

namespace {

// The clearing's hills under a cold moon: greener and bluer than the arrival's night.
const TValleyPalette Moonlit = {0x0a1230, 0x22345c, 0x52688e, {0x2c4844, 0x1f3836, 0x122624}, true};
// The sky over the villa: deeper, with a violet horizon.
const TValleyPalette VillaNight = {0x05061a, 0x1a1a44, 0x4a3a6a, {0x2a2448, 0x1c1838, 0x100c24}, true};

float Box(float x, float y, float x0, float y0, float x1, float y1) { return RoundedBox(x, y, x0, y0, x1, y1, 0); }

// Wood in planks along x, shaded from top to bottom.
TRgba Wood(float x, float y, uint32_t light, uint32_t dark, float plank, float height) {
  TRgba wood = Mix(Rgb(light), Rgb(dark), std::clamp(y / height, 0.0f, 1.0f));
  wood = Mix(wood, Rgb(0x1a1008), 0.1f + 0.08f * std::sin(y * 0.08f + x * 0.011f));
  if (std::fmod(x, plank) < 2.5f) wood = Mix(wood, Rgb(0x140c06), 0.6f);
  return wood;
}

// The clearing at night: the valley under the moon, a pale path to the front, fireflies.
TImageBuffer NightClearing() {
  TImageBuffer image = Background(1024, 768, Moonlit);
  image.Paint([](float x, float y) {
    if (y < 560) return TRgba{};
    // The path narrows towards the hills.
    float half = 40 + (y - 560) * 0.9f;
    float d = std::fabs(x - 512 - (y - 560) * 0.35f) - half;
    return WithAlpha(Mix(Rgb(0x6a7088), Rgb(0x3a4058), (y - 560) / 208), 0.55f * Coverage(d));
  });
  uint32_t seed = 42;
  auto next = [&seed]() {
    seed = seed * 1664525u + 1013904223u;
    return float(seed >> 8) / float(1 << 24);
  };
  for (int i = 0; i < 24; i++) {
    float fx = 40 + next() * 944, fy = 470 + next() * 260, r = 2 + 2 * next();
    image.Paint([&](float x, float y) {
      float d = std::hypot(x - fx, y - fy);
      if (d > 30) return TRgba{};
      return WithAlpha(Rgb(0xe8f59a), std::min(1.0f, Coverage(d - r) + 0.4f * std::exp(-d * d / 90.0f)));
    });
  }
  return image;
}

// A door of planks with a brass knob, its top rounded.
TRgba Door(float x, float y, float x0, float y0, float x1, float y1) {
  float d = RoundedBox(x, y, x0, y0, x1, y1 + 20, 18);
  if (d > 1) return TRgba{};
  TRgba door = Wood(x - x0, y - y0, 0x7a5232, 0x4a2e18, 36, y1 - y0);
  door = Over(door, WithAlpha(Rgb(0x2a1a0c), Coverage(std::fabs(d + 4) - 3)));
  float knob = std::hypot(x - (x1 - 22), y - (y0 + y1) / 2) - 7;
  door = Over(door, WithAlpha(Rgb(0xd8b060), Coverage(knob)));
  return WithAlpha(door, Coverage(d));
}

// Grandpa's hall by lamp light: a papered wall, the door to the living room on the left, the
// door to the workshop on the right, a night window between them, a floor of boards.
TImageBuffer House() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    TRgba wall = Mix(Rgb(0xb89a70), Rgb(0x7a6040), y / 560);
    if (std::fmod(x + 12, 64.0f) < 3) wall = Mix(wall, Rgb(0x5a4428), 0.3f);
    float light = std::exp(-std::pow(std::hypot(x - 560, y - 140) / 560.0f, 2.0f));
    wall = Mix(Rgb(0x1a120a), wall, 0.4f + 0.6f * light);
    if (y > 560) wall = Mix(Wood(x, y, 0x6a4424, 0x2a1a0c, 120, 768), Rgb(0x000000), 0.2f);
    // The window: night sky and the moon's light.
    float window = Box(x, y, 430, 160, 610, 380);
    if (window < 0) {
      TRgba sky = Mix(Rgb(0x0a1230), Rgb(0x2a3a68), (y - 160) / 220);
      sky = Over(sky, WithAlpha(Rgb(0xfdf6e3), Coverage(std::hypot(x - 560, y - 210) - 18)));
      if (std::fabs(x - 520) < 4 || std::fabs(y - 270) < 4) sky = Rgb(0x3a2614);
      wall = sky;
    }
    wall = Over(wall, WithAlpha(Rgb(0x3a2614), Coverage(std::fabs(window) - 6)));
    return wall;
  });
  image.Paint([](float x, float y) { return Door(x, y, 190, 250, 370, 560); });
  image.Paint([](float x, float y) { return Door(x, y, 740, 250, 920, 560); });
  return image;
}

// The sideboard seen from the front: its top, two rows of open compartments and the drawers
// below, in the light of a lamp standing on it.
TImageBuffer Sideboard() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    TRgba wall = Mix(Rgb(0x6a5a7a), Rgb(0x3a2e48), y / 768);
    if (std::fmod(x, 40.0f) < 2) wall = Mix(wall, Rgb(0x2a2038), 0.4f);
    float body = Box(x, y, 180, 110, 1000, 660);
    if (body < 0) {
      TRgba wood = Wood(x, y, 0x8a5a30, 0x4a2a12, 205, 768);
      // The compartments: dark inside, framed by the wood.
      for (float row : {130.0f, 320.0f})
        for (int c = 0; c < 4; c++) {
          float cx0 = 200 + 200 * float(c);
          if (Box(x, y, cx0, row, cx0 + 180, row + 170) < 0)
            wood = Mix(Rgb(0x3a2414), Rgb(0x1a0e06), (y - row) / 170);
        }
      // The drawers with their handles.
      if (y > 510 && y < 640)
        for (int c = 0; c < 4; c++) {
          float cx0 = 200 + 200 * float(c);
          if (std::fabs(Box(x, y, cx0, 510, cx0 + 180, 640)) < 2) wood = Rgb(0x2a180a);
          if (std::hypot(x - cx0 - 90, y - 575) < 8) wood = Rgb(0xd8b060);
        }
      wall = wood;
    }
    if (y > 660) wall = Mix(Rgb(0x3a2a1a), Rgb(0x140c06), (y - 660) / 108);
    float light = std::exp(-std::pow(std::hypot(x - 600, y - 90) / 620.0f, 2.0f));
    return Mix(Rgb(0x0a0604), wall, 0.35f + 0.65f * light);
  });
  return image;
}

// The villa's front seen from the path: a wide house of dark stone with a pointed middle,
// rows of windows (a few lit), steps up to the door; (ox, oy) its left foot, s its scale.
TRgba Villa(float x, float y, float ox, float oy, float s) {
  float u = (x - ox) / s, v = (oy - y) / s;  // v grows upwards from the foot
  float body = std::max(std::fabs(u - 300) - 300, v - 260);
  body = std::min(body, std::max(std::fabs(u - 300) - 120 + (v - 260) * 0.9f, v - 420));
  if (v < 0 || body > 1.0f / s) return TRgba{};
  TRgba stone = Mix(Rgb(0x3a344e), Rgb(0x1e1a2c), std::clamp(v / 420, 0.0f, 1.0f));
  // Windows in two rows and the gable's round one.
  for (float row : {70.0f, 170.0f})
    for (int c = 0; c < 6; c++) {
      float wx = 55 + 100 * float(c);
      if (c == 2 || c == 3) continue;
      if (Box(u, v, wx, row, wx + 40, row + 60) < 0) stone = (c + int(row)) % 3 == 0 ? Rgb(0xf0c060) : Rgb(0x141226);
    }
  if (std::hypot(u - 300, v - 320) < 28) stone = Rgb(0xf0c060);
  // The door under its arch and the steps.
  if (RoundedBox(u, v, 255, 0, 345, 150, 30) < 0) stone = Mix(Rgb(0x5a3418), Rgb(0x2a1808), v / 150);
  if (v < 24 && std::fabs(u - 300) < 90) stone = Mix(Rgb(0x6a6478), Rgb(0x4a4458), std::fmod(v, 8.0f) / 8);
  return WithAlpha(stone, Coverage(body * s));
}

// The villa's entrance at night.
TImageBuffer VillaEntrance() {
  TImageBuffer image = Background(1024, 768, VillaNight);
  image.Paint([](float x, float y) { return Villa(x, y, 212, 660, 1.0f); });
  image.Paint([](float x, float y) {
    if (y < 660) return TRgba{};
    return Mix(Rgb(0x2a2838), Rgb(0x0e0c16), (y - 660) / 108);
  });
  return image;
}

// The chapter screen's picture of the villa: small, in a gold frame.
TImageBuffer VillaPicture(int width, int height) {
  TImageBuffer image = Background(width, height, VillaNight);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) { return Villa(x, y, w * 0.5f - 0.25f * 300, h - 12, 0.25f); });
  const TRgba gold = Rgb(0xf2d38b);
  image.Paint([&](float x, float y) {
    float d = RoundedBox(x, y, 0.5f, 0.5f, w - 0.5f, h - 0.5f, 10);
    return WithAlpha(gold, Coverage(-(d + 5)));
  });
  return image;
}

// A brass cogwheel with eight teeth and a hole.
TImageBuffer Cogwheel(int size) {
  TImageBuffer image(size, size);
  float s = float(size), c = s / 2;
  image.Paint([&](float x, float y) {
    float r = std::hypot(x - c, y - c), a = std::atan2(y - c, x - c);
    float tooth = std::cos(a * 8) > 0.3f ? 0.46f : 0.36f;
    float d = std::max(r - tooth * s, 0.12f * s - r);
    TRgba brass = Mix(Rgb(0xf0c870), Rgb(0x8a6020), (x + y) / (2 * s));
    brass = Over(brass, WithAlpha(Rgb(0x5a3c10), Coverage(std::fabs(r - 0.26f * s) - 1.2f)));
    return WithAlpha(brass, Coverage(d));
  });
  return image;
}

// An old folded letter, a little askew, with a red seal.
TImageBuffer OldLetter(int size) {
  TImageBuffer image(size, size);
  float s = float(size), c = s / 2, turn = 0.2f;
  image.Paint([&](float x, float y) {
    float u = (x - c) * std::cos(turn) + (y - c) * std::sin(turn), v = -(x - c) * std::sin(turn) + (y - c) * std::cos(turn);
    float d = RoundedBox(u, v, -0.4f * s, -0.28f * s, 0.4f * s, 0.28f * s, 2);
    TRgba paper = Mix(Rgb(0xf4e8c8), Rgb(0xc8b48a), (v / s) + 0.5f);
    if (std::fabs(std::fabs(u) * 0.7f - (v + 0.28f * s)) < 1.0f && v < 0) paper = Rgb(0x9a8660);
    paper = Over(paper, WithAlpha(Rgb(0xb02a2a), Coverage(std::hypot(u, v) - 0.09f * s)));
    return WithAlpha(paper, Coverage(d));
  });
  return image;
}

// The bell at the villa's door: a brass bell on a dark plate, its pull hanging down.
TImageBuffer Bell(int width, int height) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    TRgba out = WithAlpha(Rgb(0x2a1e14), Coverage(RoundedBox(x, y, 0.5f, 0.5f, w - 0.5f, h * 0.55f, 8)));
    float bell = std::max(std::hypot(x - w / 2, (y - h * 0.28f) * 1.3f) - w * 0.3f, h * 0.12f - y);
    out = Over(out, WithAlpha(Mix(Rgb(0xf0c870), Rgb(0x8a6020), y / (h * 0.5f)), Coverage(bell)));
    float pull = std::max(std::fabs(x - w / 2) - 1.5f, std::fabs(y - h * 0.72f) - h * 0.2f);
    out = Over(out, WithAlpha(Rgb(0xa08050), Coverage(pull)));
    out = Over(out, WithAlpha(Rgb(0xb02a2a), Coverage(std::hypot(x - w / 2, y - h * 0.93f) - 5)));
    return out;
  });
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: chapter_two_art ASSET_FOLDER\n");
    return 2;
  }
  const std::string assets = argv[1];
  const std::string scenes = assets + "/images/scenes", objects = assets + "/images/objects";
  for (const std::string& folder : {assets + "/images", scenes, objects}) {
    if (!MakeFolder(folder)) {
      std::fprintf(stderr, "chapter_two_art: cannot make %s\n", folder.c_str());
      return 1;
    }
  }
  bool ok = Save(NightClearing(), scenes, "lichtung_nacht.png");
  ok &= Save(House(), scenes, "opas_haus.png");
  ok &= Save(Sideboard(), scenes, "sideboard.png");
  ok &= Save(VillaEntrance(), scenes, "villa_eingang.png");
  ok &= Save(VillaPicture(360, 220), scenes, "villa_bild.png");
  ok &= Save(Cogwheel(72), objects, "zahnrad.png");
  ok &= Save(OldLetter(72), objects, "brief_alt.png");
  ok &= Save(Bell(70, 130), objects, "klingel.png");
  return ok ? 0 : 1;
}
