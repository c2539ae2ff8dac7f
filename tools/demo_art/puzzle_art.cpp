// puzzle_art: draws the pictures of four of the demo's mini-games into an asset folder: the
// workbench's potion (pipes in every colour they can show, funnels, flasks, target signs,
// the flasks to carry, the shelf and the two buttons), the torn letter (the desk and six
// pieces), the well lid's mosaic (the lid and nine tiles) and grandpa's picture cards (the
// table, the back and four faces).
//
//   puzzle_art ASSET_FOLDER
//
// Like the other art tools, everything is computed and the output is the same on every
// run; tools/demo_art/make_minigame_assets.sh runs it together with the sounds.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "art_canvas.h"

namespace {

const TRgba Gold = Rgb(0xf2d38b);
constexpr float Pi = 3.14159265f;

// ---- The workbench's potion ----

// The potion colours by letter; "u" is the empty glass.
struct TPotionColour {
  char letter;
  uint32_t rgb;
};
const TPotionColour Potions[] = {{'u', 0xd6e2e6}, {'g', 0x3fa34d}, {'o', 0xe8862a}, {'b', 0x2a2a30}, {'p', 0x8a3fb0}};

TRgba Potion(char letter) {
  for (const TPotionColour& c : Potions)
    if (c.letter == letter) return letter == 'u' ? Rgb(c.rgb, 0.45f) : Rgb(c.rgb);
  return Rgb(0xff00ff);
}

// What two streams mix to (either order): the rule of the potion game's colour system 1.
char MixLetters(char a, char b) {
  if (a == b) return a;
  if (a == 'u') return b;
  if (b == 'u') return a;
  auto pair = [&](char x, char y) { return (a == x && b == y) || (a == y && b == x); };
  if (pair('o', 'g') || pair('o', 'p')) return 'b';
  if (pair('g', 'p')) return 'o';
  if (pair('b', 'p')) return 'g';
  if (pair('b', 'g') || pair('b', 'o')) return 'p';
  return 'u';
}

// The sides of a cell: up, right, down, left.
enum TSide { Up, Right, Down, Left };

// A pipe piece of 64 x 64: a glass tube from the centre to each open side, filled with that
// side's colour, and a brass joint in the middle.
TImageBuffer Pipe(const std::array<char, 4>& sides) {
  TImageBuffer image(64, 64);
  const float c = 32, half = 9;
  image.Paint([&](float x, float y) {
    TRgba out{};
    for (int side = Up; side <= Left; side++) {
      if (!sides[size_t(side)]) continue;
      float d = side == Up      ? RoundedBox(x, y, c - half, -2, c + half, c, 0)
                : side == Down  ? RoundedBox(x, y, c - half, c, c + half, 66, 0)
                : side == Left  ? RoundedBox(x, y, -2, c - half, c, c + half, 0)
                                : RoundedBox(x, y, c, c - half, 66, c + half, 0);
      TRgba glass = Over(Rgb(0x8fa4aa, 0.9f), WithAlpha(Potion(sides[size_t(side)]), Coverage(d + 3.0f)));
      out = Over(out, WithAlpha(glass, Coverage(d)));
    }
    float joint = std::hypot(x - c, y - c) - 12.0f;
    TRgba brass = Mix(Rgb(0xe0b060), Rgb(0x8a5a22), std::clamp((y - c + 12) / 24.0f, 0.0f, 1.0f));
    return Over(out, WithAlpha(brass, Coverage(joint)));
  });
  return image;
}

// The piece shapes by graphic name ("rohr_" and the key's ending) and their open sides.
struct TPipeShape {
  const char* name;
  bool up, right, down, left;
};
const TPipeShape PipeShapes[] = {
    {"dl", false, false, true, true},     {"rd", false, true, true, false},    {"rl", false, true, false, true},
    {"ud", true, false, true, false},     {"ul", true, false, false, true},    {"ur", true, true, false, false},
    {"udl_d", true, false, true, true},   {"udl_dl", true, false, true, true}, {"urd_d", true, true, true, false},
    {"urd_rd", true, true, true, false}};

// Every picture a piece can show: a two-way piece in one colour; a three-way piece in one
// colour (one stream splits) or, where it mixes two streams (up and the side in, down out),
// its inputs and their mix.
bool PipePictures(const std::string& folder) {
  bool ok = true;
  for (const TPipeShape& shape : PipeShapes) {
    bool threeWay = shape.up + shape.right + shape.down + shape.left == 3;
    std::string base = std::string("rohr_") + shape.name + "_";
    for (const TPotionColour& colour : Potions) {
      char l = colour.letter;
      std::array<char, 4> sides{shape.up ? l : '\0', shape.right ? l : '\0', shape.down ? l : '\0',
                                shape.left ? l : '\0'};
      std::string suffix = threeWay ? std::string(3, l) : std::string(1, l);
      ok &= Save(Pipe(sides), folder, (base + suffix + ".png").c_str());
    }
    bool mixes = std::string(shape.name) == "udl_d" || std::string(shape.name) == "urd_d";
    if (!mixes) continue;
    for (const TPotionColour& a : Potions) {
      for (const TPotionColour& b : Potions) {
        char mixed = MixLetters(a.letter, b.letter);
        if (a.letter == b.letter && mixed == a.letter) continue;  // drawn above in one colour
        std::array<char, 4> sides{a.letter, '\0', mixed, '\0'};
        sides[shape.right ? Right : Left] = b.letter;
        // The letters follow the sides in the order up, right, down, left.
        std::string suffix = shape.right ? std::string{a.letter, b.letter, mixed} : std::string{a.letter, mixed, b.letter};
        ok &= Save(Pipe(sides), folder, (base + suffix + ".png").c_str());
      }
    }
  }
  return ok;
}

// A funnel of 64 x 64 with the poured colour in its bowl.
TImageBuffer Funnel(char letter) {
  TImageBuffer image(64, 64);
  image.Paint([&](float x, float y) {
    // The bowl narrows from 56 wide at the top to the spout, 14 wide, at y 44.
    float t = std::clamp(y / 44.0f, 0.0f, 1.0f);
    float halfWidth = 28.0f - 21.0f * t;
    float bowl = std::max({std::abs(x - 32) - halfWidth, 4 - y, y - 44});
    float spout = RoundedBox(x, y, 25, 40, 39, 64, 2);
    float shape = std::min(bowl, spout);
    TRgba metal = Mix(Rgb(0xd9b56a), Rgb(0x7a5224), std::clamp(std::abs(x - 32) / 28.0f, 0.0f, 1.0f));
    TRgba fill = WithAlpha(Potion(letter), Coverage(std::max(bowl + 4.0f, 16 - y)));
    TRgba rim = WithAlpha(Rgb(0x5a3a18), Coverage(std::abs(y - 5) - 2.0f) * Coverage(std::abs(x - 32) - 29));
    return Over(Over(WithAlpha(metal, Coverage(shape)), fill), rim);
  });
  return image;
}

// A round-bellied flask of w x h: a neck at the top and the colour in its belly.
TImageBuffer Flask(int width, int height, char letter, float neck) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height), r = std::min(w, h * 0.7f) / 2 - 2;
  float cx = w / 2, cy = h - r - 2;
  image.Paint([&](float x, float y) {
    float belly = std::hypot(x - cx, y - cy) - r;
    float neckBox = RoundedBox(x, y, cx - neck, 0, cx + neck, cy, 2);
    float shape = std::min(belly, neckBox);
    TRgba glass = Rgb(0xcfe0e6, 0.55f);
    TRgba liquid = WithAlpha(Potion(letter), Coverage(std::max(belly + 3.0f, cy - r * 0.3f - y)));
    TRgba outline = WithAlpha(Rgb(0x40545a), Coverage(std::abs(shape) - 1.2f));
    TRgba shine = WithAlpha(Rgb(0xffffff, 0.6f), Coverage(std::hypot(x - (cx - r * 0.45f), y - (cy - r * 0.4f)) - r * 0.15f));
    return Over(Over(Over(WithAlpha(glass, Coverage(shape)), liquid), outline), WithAlpha(shine, Coverage(shape)));
  });
  return image;
}

// The sign of a needed colour: a small brass plate with a drop of it.
TImageBuffer TargetSign(char letter) {
  TImageBuffer image = Plate(64, 28, 8, Rgb(0xe8d2a0), Rgb(0xb89458), Rgb(0x6a4a20), 1.5f);
  image.Paint([&](float x, float y) {
    float drop = std::hypot(x - 32, y - 14) - 9.0f;
    return Over(WithAlpha(Potion(letter), Coverage(drop)), WithAlpha(Rgb(0x3a2a10), Coverage(std::abs(drop) - 0.8f)));
  });
  return image;
}

// A plank shelf for the flasks to carry, with two brackets.
TImageBuffer Shelf() {
  TImageBuffer image(290, 40);
  image.Paint([](float x, float y) {
    float board = RoundedBox(x, y, 0, 0, 290, 16, 3);
    float brackets = std::min(RoundedBox(x, y, 30, 14, 42, 40, 2), RoundedBox(x, y, 248, 14, 260, 40, 2));
    TRgba wood = Mix(Rgb(0x8a5a30), Rgb(0x6a4020), 0.5f + 0.5f * std::sin(x * 0.11f + std::sin(y * 0.7f)));
    return Over(WithAlpha(Rgb(0x4a3018), Coverage(brackets)), WithAlpha(wood, Coverage(board)));
  });
  return image;
}

// A button plate with a mark: a drop (mix) or a ring with a gap (empty the funnels).
TImageBuffer MarkedButton(uint32_t upper, uint32_t lower, bool drop) {
  TImageBuffer image = Plate(140, 44, 14, Rgb(upper), Rgb(lower), Gold, 2);
  image.Paint([&](float x, float y) {
    float mark;
    if (drop) {
      float body = std::hypot(x - 70, y - 26) - 9.0f;
      float tip = std::max(std::abs(x - 70) - (y - 8) * 0.5f, y - 26);
      mark = std::min(body, std::max(tip, 8 - y));
    } else {
      // A ring open at its upper right.
      float ring = std::abs(std::hypot(x - 70, y - 22) - 10.0f) - 2.5f;
      mark = std::max(ring, x > 70 && y < 22 ? 5.0f : -100.0f);
    }
    return WithAlpha(Rgb(0xfff4dc), Coverage(mark));
  });
  return image;
}

// The workbench: a plank wall above the bench's top.
TImageBuffer Workbench() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    float plank = std::fmod(x, 128.0f);
    TRgba wall = Mix(Rgb(0x4a3422), Rgb(0x5e432c), 0.5f + 0.5f * std::sin(y * 0.05f + x * 0.002f));
    wall = Mix(wall, Rgb(0x2a1c10), Coverage(std::min(plank, 128 - plank) - 1.5f));
    TRgba bench = Mix(Rgb(0x9a6a3a), Rgb(0x7a4e26), 0.5f + 0.5f * std::sin(x * 0.03f + std::sin(y * 0.2f) * 2));
    float top = 640 - y;
    TRgba out = Over(wall, WithAlpha(bench, Coverage(top)));
    return Over(out, WithAlpha(Rgb(0x2a1a0c), Coverage(std::abs(y - 640) - 2.0f)));
  });
  return image;
}

bool PotionPictures(const std::string& folder) {
  bool ok = PipePictures(folder);
  for (const TPotionColour& c : Potions) {
    std::string letter(1, c.letter);
    ok &= Save(Funnel(c.letter), folder, ("trichter_" + letter + ".png").c_str());
    ok &= Save(Flask(64, 64, c.letter, 7), folder, ("kolben_" + letter + ".png").c_str());
    if (c.letter == 'u') continue;
    ok &= Save(TargetSign(c.letter), folder, ("ziel_" + letter + ".png").c_str());
    ok &= Save(Flask(48, 64, c.letter, 6), folder, ("flasche_" + letter + ".png").c_str());
  }
  ok &= Save(Shelf(), folder, "regal.png");
  ok &= Save(MarkedButton(0x6b9a4a, 0x3c6328, true), folder, "mischen.png");
  ok &= Save(MarkedButton(0x9a5a4a, 0x633228, false), folder, "leeren.png");
  ok &= Save(Workbench(), folder, "werkbank.png");
  return ok;
}

// ---- The torn letter ----

// The letter: paper with ruled lines of wavy writing, 420 x 220.
TRgba LetterPixel(float x, float y) {
  TRgba paper = Mix(Rgb(0xf4ead2), Rgb(0xe6d6b0), 0.5f + 0.5f * std::sin(x * 0.013f + y * 0.021f));
  float line = std::fmod(y - 30, 26.0f);
  bool writing = y > 30 && y < 200 && x > 24 && x < 396 - (y > 170 ? 140 : 0);
  float stroke = std::abs(line - 13 + 5 * std::sin(x * 0.21f) * std::sin(x * 0.043f + y)) - 1.3f;
  if (writing && std::fmod(x + y * 3, 57.0f) < 6) stroke = 5;  // gaps between the words
  return Over(paper, WithAlpha(Rgb(0x2a3a6a), writing ? Coverage(stroke) : 0.0f));
}

// Piece n (1 to 6, row by row) of the letter cut into 3 x 2 pieces of 140 x 110, with a
// torn, darker rim.
TImageBuffer LetterPiece(int n) {
  TImageBuffer image(140, 110);
  float ox = float((n - 1) % 3) * 140, oy = float((n - 1) / 3) * 110;
  image.Paint([&](float x, float y) {
    float edge = std::min({x, y, 140 - x, 110 - y}) - 1.5f * (1 + std::sin((x + y + ox * 0.7f + oy) * 0.9f));
    TRgba paper = LetterPixel(ox + x, oy + y);
    return WithAlpha(Mix(Rgb(0xb89a6a), paper, std::clamp(edge / 3.0f, 0.0f, 1.0f)), Coverage(-edge));
  });
  return image;
}

// The desk: dark wood with the letter's place, a pale shadow of 420 x 220 at (302, 120).
TImageBuffer Desk() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    TRgba wood = Mix(Rgb(0x5a3a22), Rgb(0x43291a), 0.5f + 0.5f * std::sin(y * 0.04f + std::sin(x * 0.01f) * 3));
    float place = RoundedBox(x, y, 302, 120, 722, 340, 2);
    return Over(wood, WithAlpha(Rgb(0xe6d6b0, 0.18f), Coverage(place)));
  });
  return image;
}

// ---- The well lid's mosaic ----

// A colour of the wheel (hue in turns), pale and warm.
TRgba Hue(float turns) {
  float r = 0.5f + 0.5f * std::cos(2 * Pi * turns), g = 0.5f + 0.5f * std::cos(2 * Pi * (turns - 1.0f / 3));
  float b = 0.5f + 0.5f * std::cos(2 * Pi * (turns - 2.0f / 3));
  return TRgba{0.25f + 0.6f * r, 0.25f + 0.55f * g, 0.2f + 0.5f * b, 1.0f};
}

// The mosaic of 360 x 360: a flower of seven petals over a ring of colours that runs once
// around, in tesserae of 20 pixels, so that every tile shows which way is up.
TRgba MosaicPixel(float x, float y) {
  float dx = x - 180, dy = y - 180, r = std::hypot(dx, dy), angle = std::atan2(dy, dx) / (2 * Pi) + 0.5f;
  float cellX = std::floor(x / 20) * 20 + 10, cellY = std::floor(y / 20) * 20 + 10;
  float cr = std::hypot(cellX - 180, cellY - 180), ca = std::atan2(cellY - 180, cellX - 180);
  TRgba stone = Hue(angle * 0.9f);
  if (cr < 150 * (0.45f + 0.35f * std::cos(7 * ca))) stone = Mix(Rgb(0xf2f0e6), Hue(angle + 0.5f), 0.25f);
  if (cr < 40) stone = Rgb(0xe8b040);
  if (r > 172) stone = Rgb(0x5a5a60);
  // Grout between the stones: the distance to the nearest edge of the pixel's stone.
  float fx = std::fmod(x, 20.0f), fy = std::fmod(y, 20.0f);
  float edge = std::min({fx, 20 - fx, fy, 20 - fy});
  return Mix(Rgb(0x3a3834), stone, std::clamp(edge - 1.0f, 0.0f, 1.0f));
}

TImageBuffer MosaicTile(int n) {
  TImageBuffer image(120, 120);
  float ox = float(n % 3) * 120, oy = float(n / 3) * 120;
  image.Paint([&](float x, float y) { return MosaicPixel(ox + x, oy + y); });
  return image;
}

// The well's stone lid seen from above, on the grass, with the mosaic's frame about
// (332, 204) to (692, 564).
TImageBuffer WellLid() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    TRgba grass = Mix(Rgb(0x2f5a2a), Rgb(0x4a7a38), 0.5f + 0.5f * std::sin(x * 0.21f) * std::cos(y * 0.17f));
    float lid = std::hypot(x - 512, y - 384) - 300;
    TRgba stone = Mix(Rgb(0x8a8680), Rgb(0x6a6660), 0.5f + 0.5f * std::sin(x * 0.07f + y * 0.05f));
    float frame = RoundedBox(x, y, 322, 194, 702, 574, 6);
    TRgba out = Over(grass, WithAlpha(stone, Coverage(lid)));
    out = Over(out, WithAlpha(Rgb(0x3a3834), Coverage(std::abs(lid) - 3.0f)));
    return Over(out, WithAlpha(Rgb(0x4a4640), Coverage(frame)));
  });
  return image;
}

// ---- Grandpa's picture cards ----

TImageBuffer CardBack() {
  TImageBuffer image = Plate(100, 130, 10, Rgb(0x3a5a8a), Rgb(0x22385a), Gold, 2);
  image.Paint([](float x, float y) {
    float diamond = std::abs(x - 50) / 30 + std::abs(y - 65) / 40 - 1;
    float lattice = std::abs(std::sin((x + y) * 0.3f)) * std::abs(std::sin((x - y) * 0.3f));
    TRgba out = WithAlpha(Gold, 0.18f * lattice * Coverage(RoundedBox(x, y, 8, 8, 92, 122, 6)));
    return Over(out, WithAlpha(Gold, Coverage(std::abs(diamond * 30) - 1.5f)));
  });
  return image;
}

// A card face: cream with a motif drawn by its signed distance and colour.
TImageBuffer CardFace(float (*shape)(float, float), uint32_t rgb) {
  TImageBuffer image = Plate(100, 130, 10, Rgb(0xfbf4e2), Rgb(0xeadcb8), Rgb(0x8a6a3a), 2);
  image.Paint([&](float x, float y) {
    float d = shape(x, y);
    return Over(WithAlpha(Rgb(rgb), Coverage(d)), WithAlpha(Rgb(0x3a2a18), Coverage(std::abs(d) - 1.0f)));
  });
  return image;
}

float Sun(float x, float y) {
  float r = std::hypot(x - 50, y - 65), a = std::atan2(y - 65, x - 50);
  return r - (24 + 6 * std::max(0.0f, std::cos(12 * a)));
}
float Moon(float x, float y) { return std::max(std::hypot(x - 50, y - 65) - 28, 22 - std::hypot(x - 62, y - 56)); }
float Flower(float x, float y) {
  float d = std::hypot(x - 50, y - 56) - 9;
  for (int i = 0; i < 5; i++) {
    float a = 2 * Pi * float(i) / 5;
    d = std::min(d, std::hypot(x - 50 - 17 * std::cos(a), y - 56 - 17 * std::sin(a)) - 10);
  }
  return std::min(d, RoundedBox(x, y, 48, 66, 52, 108, 1));
}
float Key(float x, float y) {
  float ring = std::abs(std::hypot(x - 50, y - 38) - 13) - 4;
  float shaft = RoundedBox(x, y, 46, 50, 54, 108, 2);
  float teeth = std::min(RoundedBox(x, y, 54, 88, 66, 94, 1), RoundedBox(x, y, 54, 100, 70, 106, 1));
  return std::min({ring, shaft, teeth});
}

// The table under the cards: green baize with a wooden rim.
TImageBuffer CardTable() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    TRgba baize = Mix(Rgb(0x245a3a), Rgb(0x1c4a30), 0.5f + 0.5f * std::sin(x * 0.9f) * std::sin(y * 0.8f));
    float inner = RoundedBox(x, y, 40, 40, 984, 728, 24);
    TRgba wood = Mix(Rgb(0x6a4020), Rgb(0x4a2a14), 0.5f + 0.5f * std::sin((x + y) * 0.05f));
    return Mix(wood, baize, Coverage(inner));
  });
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: puzzle_art ASSET_FOLDER\n");
    return 2;
  }
  const std::string images = std::string(argv[1]) + "/images", games = images + "/minigames";
  if (!MakeFolder(images) || !MakeFolder(games)) {
    std::fprintf(stderr, "puzzle_art: cannot make %s\n", games.c_str());
    return 1;
  }
  bool ok = PotionPictures(games);
  ok &= Save(Desk(), games, "schreibtisch.png");
  for (int n = 1; n <= 6; n++) ok &= Save(LetterPiece(n), games, ("brief_" + std::to_string(n) + ".png").c_str());
  ok &= Save(WellLid(), games, "brunnendeckel.png");
  for (int n = 0; n < 9; n++) ok &= Save(MosaicTile(n), games, ("mosaik" + std::to_string(n) + ".png").c_str());
  ok &= Save(CardTable(), games, "kartentisch.png");
  ok &= Save(CardBack(), games, "karte_ruecken.png");
  ok &= Save(CardFace(&Sun, 0xf0b83c), games, "karte_sonne.png");
  ok &= Save(CardFace(&Moon, 0x9ab0d8), games, "karte_mond.png");
  ok &= Save(CardFace(&Flower, 0xd85a7a), games, "karte_blume.png");
  ok &= Save(CardFace(&Key, 0xb88a3a), games, "karte_schluessel.png");
  return ok ? 0 : 1;
}
