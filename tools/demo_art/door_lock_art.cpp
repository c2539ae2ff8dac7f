// door_lock_art: draws the pictures of the demo's villa door lock (the door with its lock
// plate, a bolt, a lock piece that turns and the frame over the plate) into an asset folder.
//
//   door_lock_art ASSET_FOLDER
//
// Like the other art tools, everything is computed and the output is the same on every run;
// tools/demo_art/make_minigame_assets.sh runs it with the other mini-games' pictures.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "art_canvas.h"

namespace {

const TRgba Brass = Rgb(0xd6a84e), BrassDark = Rgb(0x7a5522), Iron = Rgb(0x3b3f46), IronLight = Rgb(0x8a919b);

// The plate's place on the door; the bolts run in four grooves across it.
constexpr float PlateLeft = 292, PlateTop = 120, PlateRight = 732, PlateBottom = 620;
constexpr float FirstGrooveX = 356, GroovePitch = 110, GrooveTop = 222, GrooveBottom = 518;

// The villa's door at night: oak planks with dark joints, iron bands, and the brass lock
// plate with four grooves in which the bolts slide.
TImageBuffer Door() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    float plank = std::fmod(x, 128.0f);
    float grain = 0.5f + 0.5f * std::sin(y * 0.045f + std::sin(x * 0.07f) * 2.0f);
    TRgba wood = Mix(Rgb(0x4a2e1a), Rgb(0x6b4428), grain * 0.6f);
    wood = Over(wood, WithAlpha(Rgb(0x1c100a), Coverage(std::min(plank, 128.0f - plank) - 2.0f)));
    for (float band : {60.0f, 700.0f})
      wood = Over(wood, WithAlpha(Mix(Iron, IronLight, 0.2f), Coverage(std::fabs(y - band) - 14.0f)));
    float plate = RoundedBox(x, y, PlateLeft, PlateTop, PlateRight, PlateBottom, 28);
    TRgba metal = Mix(Brass, BrassDark, (y - PlateTop) / (PlateBottom - PlateTop));
    wood = Over(wood, WithAlpha(Rgb(0x000000, 0.45f), Coverage(plate - 10.0f)));
    TRgba out = Over(wood, WithAlpha(metal, Coverage(plate)));
    for (int i = 0; i < 4; i++) {
      float cx = FirstGrooveX + GroovePitch * float(i);
      float groove = RoundedBox(x, y, cx - 30, GrooveTop, cx + 30, GrooveBottom, 12);
      out = Over(out, WithAlpha(Rgb(0x2a1c0c), Coverage(groove)));
    }
    return out;
  });
  return image;
}

// A bolt: a brass bar with rounded ends, shaded across, and a grip in its middle.
TImageBuffer Bolt(int width, int height) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    float bar = RoundedBox(x, y, 4, 2, w - 4, h - 2, 14);
    TRgba metal = Mix(Mix(Brass, Rgb(0xfff0c0), 0.35f), BrassDark, std::fabs(x - w * 0.35f) / (w * 0.65f));
    metal = Over(metal, WithAlpha(BrassDark, Coverage(std::fabs(bar + 3.0f) - 1.5f)));
    float grip = RoundedBox(x, y, 8, h / 2 - 16, w - 8, h / 2 + 16, 8);
    metal = Over(metal, WithAlpha(Mix(BrassDark, Rgb(0x3a2408), 0.4f), Coverage(grip)));
    return WithAlpha(metal, Coverage(bar));
  });
  return image;
}

// A lock piece: an iron disc with a tongue pointing up; turned a quarter it lies across the
// bolt's way.
TImageBuffer LockPiece(int size) {
  TImageBuffer image(size, size);
  float c = float(size) / 2;
  image.Paint([&](float x, float y) {
    float disc = std::hypot(x - c, y - c) - (c - 8);
    float tongue = RoundedBox(x, y, c - 6, 1, c + 6, c, 4);
    TRgba iron = Mix(IronLight, Iron, std::clamp((y - 4) / float(size), 0.0f, 1.0f));
    TRgba out = WithAlpha(iron, Coverage(std::min(disc, tongue)));
    float rivet = std::hypot(x - c, y - c) - 5;
    return Over(out, WithAlpha(Brass, Coverage(rivet)));
  });
  return image;
}

// The frame laid over the plate: a brass ring with rivets, open in the middle.
TImageBuffer Frame() {
  const float left = PlateLeft - 20, top = PlateTop - 20, right = PlateRight + 20, bottom = PlateBottom + 20;
  TImageBuffer image(int(right - left), int(bottom - top));
  image.Paint([&](float px, float py) {
    float x = px + left, y = py + top;
    float outer = RoundedBox(x, y, left + 1, top + 1, right - 1, bottom - 1, 36);
    float inner = RoundedBox(x, y, left + 26, top + 26, right - 26, bottom - 26, 20);
    float ring = std::max(outer, -inner);
    TRgba metal = Mix(Mix(Brass, Rgb(0xfff0c0), 0.2f), BrassDark, std::clamp((y - top) / (bottom - top), 0.0f, 1.0f));
    TRgba out = WithAlpha(metal, Coverage(ring));
    for (float rx : {left + 13, right - 13})
      for (float ry : {top + 13, bottom - 13})
        out = Over(out, WithAlpha(Iron, Coverage(std::hypot(x - rx, y - ry) - 5)));
    return out;
  });
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: door_lock_art ASSET_FOLDER\n");
    return 2;
  }
  const std::string images = std::string(argv[1]) + "/images", games = images + "/minigames";
  if (!MakeFolder(images) || !MakeFolder(games)) {
    std::fprintf(stderr, "door_lock_art: cannot make %s\n", games.c_str());
    return 1;
  }
  bool ok = Save(Door(), games, "tuerschloss.png");
  ok &= Save(Bolt(48, 180), games, "riegel.png");
  ok &= Save(LockPiece(56), games, "sperre.png");
  ok &= Save(Frame(), games, "schloss_rahmen.png");
  return ok ? 0 : 1;
}
