// minigame_art: draws the pictures of the demo's garden labyrinth, the safe's colour code and
// the dream dive (the buttons every mini-game shares, boards, pieces, pegs, diver, sharks
// and the status bar) into an asset folder.
//
//   minigame_art ASSET_FOLDER
//
// Like demo_art, everything is computed and the output is the same on every run;
// tools/demo_art/make_minigame_assets.sh runs it together with the sounds.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "art_canvas.h"

namespace {

const TRgba Gold = Rgb(0xf2d38b);

// A disc of radius r about (cx, cy) in colour, shaded lighter towards its upper left.
TRgba Ball(float x, float y, float cx, float cy, float r, TRgba colour) {
  float d = std::hypot(x - cx, y - cy);
  float light = std::clamp(1.0f - std::hypot(x - (cx - r * 0.35f), y - (cy - r * 0.35f)) / (r * 1.4f), 0.0f, 1.0f);
  TRgba shaded = Mix(Mix(colour, Rgb(0x000000), 0.35f), Mix(colour, Rgb(0xffffff), 0.45f), light);
  TRgba rim = WithAlpha(Rgb(0x1a1208), Coverage(-(d - r + 1.5f)));
  return WithAlpha(Over(shaded, rim), Coverage(d - r));
}

// Signed distance to an ellipse about (cx, cy) with half axes a and b (close to the edge).
float Ellipse(float x, float y, float cx, float cy, float a, float b) {
  float nx = (x - cx) / a, ny = (y - cy) / b;
  float k = std::sqrt(nx * nx + ny * ny);
  return (k - 1.0f) * std::min(a, b);
}

// Signed distance (close to the edges) to the triangle a, b, c.
float Triangle(float x, float y, float ax, float ay, float bx, float by, float cx, float cy) {
  float orientation = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax) > 0 ? 1.0f : -1.0f;
  auto edge = [&](float px, float py, float qx, float qy) {
    float ex = qx - px, ey = qy - py;
    return -orientation * (ex * (y - py) - ey * (x - px)) / std::hypot(ex, ey);
  };
  return std::max({edge(ax, ay, bx, by), edge(bx, by, cx, cy), edge(cx, cy, ax, ay)});
}

// ---- The garden labyrinth ----

// The garden at dawn with a gravel board of 5 x 4 boxes of 64 pixels from (352, 224), its
// hedge ring around it and the gate in the ring right of the second row.
TImageBuffer Garden() {
  TImageBuffer image = Background(1024, 768, Morning);
  const float left = 352, top = 224, right = left + 5 * 64, bottom = top + 4 * 64;
  const float gateTop = top + 64, gateBottom = top + 128;
  image.Paint([&](float x, float y) {
    float ring = RoundedBox(x, y, left - 28, top - 28, right + 28, bottom + 28, 14);
    float board = RoundedBox(x, y, left, top, right, bottom, 2);
    TRgba hedge = Mix(Rgb(0x2f5a2a), Rgb(0x4f8a3c), 0.5f + 0.5f * std::sin(x * 0.31f) * std::sin(y * 0.27f));
    TRgba gravel = Mix(Rgb(0xd8c9a3), Rgb(0xbfae86), 0.5f + 0.5f * std::sin(x * 0.9f + y * 0.7f));
    bool gate = x > right - 1 && y > gateTop && y < gateBottom;
    if (gate) return WithAlpha(gravel, Coverage(ring));
    TRgba out = WithAlpha(hedge, Coverage(ring));
    return Over(out, WithAlpha(gravel, Coverage(board)));
  });
  return image;
}

// A hedge block of w x h boxes: a clipped bush with leaves.
TImageBuffer Hedge(int width, int height) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    float d = RoundedBox(x, y, 3, 3, w - 3, h - 3, 12);
    float leaves = 0.5f + 0.5f * std::sin(x * 0.8f) * std::cos(y * 0.7f);
    TRgba bush = Mix(Rgb(0x2c6a2a), Rgb(0x5fa348), leaves);
    bush = Over(bush, WithAlpha(Rgb(0x14320f), Coverage(-(d + 2.5f))));
    return WithAlpha(bush, Coverage(d));
  });
  return image;
}

TImageBuffer Stone(int size) {
  TImageBuffer image(size, size);
  float s = float(size);
  image.Paint([&](float x, float y) {
    float d = RoundedBox(x, y, 4, 6, s - 4, s - 4, 16);
    TRgba rock = Mix(Rgb(0x9a9a94), Rgb(0x5d5d58), y / s);
    rock = Over(rock, WithAlpha(Rgb(0x3a3a36), Coverage(-(d + 2))));
    return WithAlpha(rock, Coverage(d));
  });
  return image;
}

TImageBuffer Ball(int size, TRgba colour) {
  TImageBuffer image(size, size);
  float c = float(size) / 2;
  image.Paint([&](float x, float y) { return Ball(x, y, c, c, c - 8, colour); });
  return image;
}

// ---- The safe's colour code ----

TImageBuffer SafeDoor() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    TRgba steel = Mix(Rgb(0x5b6068), Rgb(0x2c3036), y / 768.0f);
    float brushed = 0.04f * std::sin(y * 1.7f);
    steel = Mix(steel, Rgb(0xffffff), std::max(brushed, 0.0f));
    float door = RoundedBox(x, y, 140, 60, 884, 700, 30);
    TRgba plate = Mix(Rgb(0x4a4f57), Rgb(0x353a41), y / 768.0f);
    TRgba edge = WithAlpha(Rgb(0x9aa2ad), Coverage(std::fabs(door + 6) - 2));
    return Over(Over(steel, WithAlpha(plate, Coverage(door))), edge);
  });
  return image;
}

// A peg of a colour, or the empty hole of a slot.
TImageBuffer Peg(int size, bool hole, TRgba colour) {
  TImageBuffer image(size, size);
  float c = float(size) / 2;
  image.Paint([&](float x, float y) {
    if (!hole) return Ball(x, y, c, c, c - 3, colour);
    float d = std::hypot(x - c, y - c);
    TRgba socket = Mix(Rgb(0x111318), Rgb(0x3a3f48), std::clamp((y - c) / c + 0.5f, 0.0f, 1.0f));
    return WithAlpha(socket, Coverage(d - (c - 8)));
  });
  return image;
}

// ---- The dream dive ----

TImageBuffer Pond() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    TRgba water = Mix(Rgb(0x3f8fb8), Rgb(0x0b2a4a), y / 768.0f);
    float ray = 0.08f * std::max(0.0f, std::sin(x * 0.012f + y * 0.004f)) * (1.0f - y / 768.0f);
    water = Mix(water, Rgb(0xd8f2ff), ray);
    // The weed grows from the bottom up to its wavy edge.
    float weed = Coverage(700 + 30 * std::sin(x * 0.05f) - y);
    return Over(water, WithAlpha(Rgb(0x1d4a2c), weed));
  });
  return image;
}

// The diver seen from the side, swimming to the right: body, head with mask, flippers.
TImageBuffer Diver(int width, int height) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    TRgba suit = Rgb(0x1f2a44), mask = Rgb(0xf2c14e);
    float body = Ellipse(x, y, w * 0.45f, h * 0.55f, w * 0.33f, h * 0.2f);
    float head = std::hypot(x - w * 0.8f, y - h * 0.45f) - h * 0.17f;
    float fin = Ellipse(x, y, w * 0.1f, h * 0.62f, w * 0.1f, h * 0.07f);
    float glass = Ellipse(x, y, w * 0.86f, h * 0.42f, w * 0.05f, h * 0.07f);
    TRgba out = WithAlpha(suit, Coverage(std::min({body, head})));
    out = Over(out, WithAlpha(Rgb(0x2f8a5a), Coverage(fin)));
    return Over(out, WithAlpha(mask, Coverage(glass)));
  });
  return image;
}

// A shark swimming to the left: body, fin above, tail at the right.
TImageBuffer Shark(int width, int height) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    float body = Ellipse(x, y, w * 0.45f, h * 0.55f, w * 0.4f, h * 0.25f);
    float fin = Triangle(x, y, w * 0.36f, h * 0.36f, w * 0.5f, h * 0.04f, w * 0.6f, h * 0.36f);
    float tail = Triangle(x, y, w * 0.78f, h * 0.55f, w, h * 0.2f, w, h * 0.9f);
    TRgba skin = Mix(Rgb(0x7d8a96), Rgb(0xd8dde2), std::clamp((y - h * 0.5f) / (h * 0.3f), 0.0f, 1.0f));
    float shape = std::min({body, fin, tail});
    TRgba out = WithAlpha(skin, Coverage(shape));
    float eye = std::hypot(x - w * 0.2f, y - h * 0.48f) - 3;
    return Over(out, WithAlpha(Rgb(0x101418), Coverage(eye)));
  });
  return image;
}

// A harpoon: a shaft with a point to the right.
TImageBuffer Harpoon(int width, int height, TRgba shaft) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    float line = std::max(std::fabs(y - h / 2) - 1.5f, std::max(2 - x, x - (w - 12)));
    float tip = std::max(w - 14 - x, std::fabs(y - h / 2) - (w - x) * 0.4f);
    return WithAlpha(shaft, Coverage(std::min(line, tip)));
  });
  return image;
}

// A bar of the status bar: a rounded tube of a colour (transparent colour: the empty tube).
TImageBuffer Tube(int width, int height, TRgba colour) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    float d = RoundedBox(x, y, 2, 2, w - 2, h - 2, w / 2 - 2);
    float shine = 0.25f * Coverage(std::fabs(x - w * 0.35f) - 2);
    TRgba fill = Over(colour, WithAlpha(Rgb(0xffffff), shine * colour.a));
    return WithAlpha(fill, Coverage(d));
  });
  return image;
}

// The pipes framing both tubes: brass rings at their ends.
TImageBuffer Pipes() {
  TImageBuffer image(1024, 400);
  image.Paint([](float x, float y) {
    float left = std::min(RoundedBox(x, y, 0, 36, 30, 50, 5), RoundedBox(x, y, 0, 340, 30, 354, 5));
    float right = std::min(RoundedBox(x, y, 992, 36, 1022, 50, 5), RoundedBox(x, y, 992, 340, 1022, 354, 5));
    return WithAlpha(Mix(Rgb(0xc99a52), Rgb(0x7e5222), (y - 36) / 318.0f), Coverage(std::min(left, right)));
  });
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: minigame_art ASSET_FOLDER\n");
    return 2;
  }
  const std::string images = std::string(argv[1]) + "/images", games = images + "/minigames";
  if (!MakeFolder(images) || !MakeFolder(games)) {
    std::fprintf(stderr, "minigame_art: cannot make %s\n", games.c_str());
    return 1;
  }
  const TRgba bronzeLight = Rgb(0xc99a52), bronzeDark = Rgb(0x7e5222);
  // The skip and menu buttons of every mini-game.
  bool ok = Save(Plate(160, 44, 14, bronzeLight, bronzeDark, Gold, 2), games, "button.png");
  // The garden labyrinth: the board and its pieces (64 pixels a box).
  ok &= Save(Garden(), games, "garten.png");
  ok &= Save(Hedge(128, 64), games, "hecke_lang.png");
  ok &= Save(Hedge(64, 128), games, "hecke_hoch.png");
  ok &= Save(Stone(64), games, "stein.png");
  ok &= Save(Ball(64, Rgb(0xf0b83c)), games, "laterne.png");
  // The safe: its door, the pegs and their holes, the answer pegs, the two buttons.
  ok &= Save(SafeDoor(), games, "tresor.png");
  const std::pair<const char*, uint32_t> pegs[] = {{"g", 0x3fa34d}, {"r", 0xc8382e}, {"b", 0x3466c8},
                                                   {"y", 0xe8c83a}, {"s", 0x26262a}, {"w", 0xf2f2ee}};
  for (const auto& [letter, colour] : pegs)
    ok &= Save(Peg(48, false, Rgb(colour)), games, (std::string("stift_") + letter + ".png").c_str());
  ok &= Save(Peg(48, true, TRgba{}), games, "stift_u.png");
  ok &= Save(Peg(20, false, Rgb(0xf2f2ee)), games, "antwort_w.png");
  ok &= Save(Peg(20, false, Rgb(0x141416)), games, "antwort_b.png");
  ok &= Save(Plate(140, 44, 14, Rgb(0x6b9a4a), Rgb(0x3c6328), Gold, 2), games, "pruefen.png");
  ok &= Save(Plate(140, 44, 14, Rgb(0x9a5a4a), Rgb(0x633228), Gold, 2), games, "zuruecksetzen.png");
  // The dream dive: the pond, the diver, a shark, the harpoon and its display, the status bar.
  ok &= Save(Pond(), games, "teich.png");
  ok &= Save(Diver(120, 90), games, "taucher.png");
  ok &= Save(Shark(180, 101), games, "hai_gross.png");
  ok &= Save(Shark(140, 70), games, "hai.png");
  ok &= Save(Harpoon(60, 10, Rgb(0xe8e2d0)), games, "harpune.png");
  ok &= Save(Harpoon(60, 10, Rgb(0xf2d38b)), games, "harpune_bereit.png");
  ok &= Save(Harpoon(60, 10, WithAlpha(Rgb(0x8a8478), 0.6f)), games, "harpune_leer.png");
  ok &= Save(Solid(1024, 34, Rgb(0x0b1d33, 0.7f)), games, "leiste.png");
  ok &= Save(Tube(28, 300, Rgb(0x48c85a)), games, "leben.png");
  ok &= Save(Tube(28, 300, Rgb(0x0b1d33, 0.45f)), games, "leer.png");
  ok &= Save(Tube(28, 28, Rgb(0xd8402e)), games, "marke.png");
  ok &= Save(Pipes(), games, "rohre.png");
  return ok ? 0 : 1;
}
