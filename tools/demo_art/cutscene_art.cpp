// cutscene_art: draws the pictures of the demo's dialogue cutscenes into an asset folder:
// Mara, Opa Hinnerk and the ghost of Adelheid von Nebel as half figures in their moods,
// grandpa's letter, the fog crystal, grandpa's kitchen, the villa's tower room and the valley
// in the morning as the stages, the speech and name plates and the border bands.
//
//   cutscene_art ASSET_FOLDER
//
// Every shape is a signed distance painted with anti-aliased edges; the output is the same on
// every run. tools/demo_art/make_demo_assets.sh runs it.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "art_canvas.h"

namespace {

// ---- Shapes in pixels: signed distances, negative inside ----

// An ellipse (approximately: exact for circles, close enough for soft figures).
float Ellipse(float x, float y, float cx, float cy, float rx, float ry) {
  return (std::hypot((x - cx) / rx, (y - cy) / ry) - 1.0f) * std::min(rx, ry);
}

// A stroke of width 2r from a to b with round ends.
float Stroke(float x, float y, float ax, float ay, float bx, float by, float r) {
  float ex = bx - ax, ey = by - ay;
  float t = std::clamp(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
  return std::hypot(x - ax - t * ex, y - ay - t * ey) - r;
}

// The lower part of a ring (a smile) round (cx, cy): radius r, width 2w, below y0.
float Smile(float x, float y, float cx, float cy, float r, float w, float y0) {
  float ring = std::fabs(std::hypot(x - cx, y - cy) - r) - w;
  return std::max(ring, y0 - y);
}

// One shape of a figure with its colour, which may change down the picture.
struct TPart {
  std::function<float(float, float)> shape;
  std::function<TRgba(float, float)> colour;
};

TPart Part(std::function<float(float, float)> shape, uint32_t colour, float alpha = 1.0f) {
  return {std::move(shape), [colour, alpha](float, float) { return Rgb(colour, alpha); }};
}

// Lit from the upper left: the colour darkens towards the lower right.
TPart Lit(std::function<float(float, float)> shape, uint32_t light, uint32_t dark, float width, float height) {
  return {std::move(shape), [=](float x, float y) {
            return Mix(Rgb(light), Rgb(dark), std::clamp((x / width + y / height) / 2, 0.0f, 1.0f));
          }};
}

TImageBuffer Draw(int width, int height, const std::vector<TPart>& parts) {
  TImageBuffer image(width, height);
  for (const TPart& part : parts)
    image.Paint([&](float x, float y) { return WithAlpha(part.colour(x, y), Coverage(part.shape(x, y))); });
  return image;
}

// ---- Figures: 300 x 460, the head near the top, cut off below the waist ----

constexpr int FigureWidth = 300, FigureHeight = 460;
constexpr float W = FigureWidth, H = FigureHeight;

enum class TMood { Normal, Happy, Sad };

// The face the figures share: eyes, brows and mouth by the mood, cheeks when happy, a tear
// and raised inner brows when sad.
void AddFace(std::vector<TPart>& parts, TMood mood, float eyeY, uint32_t brow) {
  const float left = 127, right = 173;
  if (mood == TMood::Happy) {
    // Laughing eyes: small arcs open downwards.
    for (float cx : {left, right})
      parts.push_back(
          Part([=](float x,
                   float y) { return std::max(std::fabs(std::hypot(x - cx, y - eyeY - 4) - 8) - 2.2f, y - eyeY - 1); },
               0x2a1a10));
    for (float cx : {left - 12, right + 12})
      parts.push_back(Part([=](float x, float y) { return Ellipse(x, y, cx, eyeY + 24, 13, 8); }, 0xe8707a, 0.35f));
    parts.push_back(Part([=](float x, float y) { return Smile(x, y, 150, eyeY + 20, 22, 3, eyeY + 30); }, 0x7a2a22));
  } else {
    // Open eyes; sad ones look down a little.
    float look = mood == TMood::Sad ? 2.5f : 1.0f;
    for (float cx : {left, right}) {
      parts.push_back(Part([=](float x, float y) { return Ellipse(x, y, cx, eyeY, 7, 8); }, 0xffffff));
      parts.push_back(Part([=](float x, float y) { return Ellipse(x, y, cx + 1, eyeY + look, 4.5f, 5); }, 0x2a1a10));
    }
    if (mood == TMood::Sad) {
      // The mouth's corners turned down (the upper part of a ring), and a tear on the left.
      parts.push_back(Part(
          [=](float x, float y) {
            return std::max(std::fabs(std::hypot(x - 150, y - eyeY - 52) - 16) - 2.6f, y - eyeY - 44);
          },
          0x7a2a22));
      parts.push_back(Part([=](float x, float y) { return Ellipse(x, y, left - 4, eyeY + 20, 3, 5); }, 0xbfe4ff, 0.9f));
    } else {
      parts.push_back(
          Part([=](float x, float y) { return Stroke(x, y, 140, eyeY + 38, 160, eyeY + 37, 2.6f); }, 0x7a2a22));
    }
  }
  float lift = mood == TMood::Happy ? -4.0f : 0.0f;
  // Sad brows rise towards the middle of the face instead of lying flat.
  float inner = mood == TMood::Sad ? -7.0f : 0.0f;
  parts.push_back(Part(
      [=](float x, float y) {
        return Stroke(x, y, left - 12, eyeY - 16 + lift, left + 10, eyeY - 19 + lift + inner, 2.8f);
      },
      brow));
  parts.push_back(Part(
      [=](float x, float y) {
        return Stroke(x, y, right - 10, eyeY - 19 + lift + inner, right + 12, eyeY - 16 + lift, 2.8f);
      },
      brow));
}

// The neck, the jacket (lit from the upper left) and the shirt in its V-shaped opening.
struct TTorso {
  uint32_t neck;
  float neckRadius;
  float halfWidth;  // of the jacket
  float shoulder;   // corner radius
  uint32_t light, dark;
  float shirtHalfWidth;
  float vBottom;  // where the V of the opening ends
  float vSlope;
  uint32_t shirt;
};

void AddTorso(std::vector<TPart>& parts, const TTorso& t) {
  parts.push_back(Part([=](float x, float y) { return Stroke(x, y, 150, 190, 150, 250, t.neckRadius); }, t.neck));
  parts.push_back(Lit(
      [=](float x, float y) { return RoundedBox(x, y, 150 - t.halfWidth, 238, 150 + t.halfWidth, 520, t.shoulder); },
      t.light, t.dark, W, H));
  parts.push_back(Part(
      [=](float x, float y) {
        float strip = RoundedBox(x, y, 150 - t.shirtHalfWidth, 236, 150 + t.shirtHalfWidth, 520, 20);
        return std::max(strip, y - t.vBottom - std::fabs(x - 150) * t.vSlope);
      },
      t.shirt));
}

// Mara (16): dark brown hair with a ponytail, a teal jacket over a white shirt.
TImageBuffer Mara(TMood mood) {
  const uint32_t hair = 0x4a2a18, skin = 0xf3cfae;
  std::vector<TPart> parts = {
      Part([](float x, float y) { return Stroke(x, y, 205, 110, 236, 250, 24); }, hair),
      Part([](float x, float y) { return Ellipse(x, y, 150, 128, 80, 88); }, hair),
  };
  AddTorso(parts, {0xe2b894, 22, 108, 70, 0x3f9c94, 0x1f5f5a, 38, 340, 1.6f, 0xf7f3ea});
  parts.insert(
      parts.end(),
      {
          Part([](float x, float y) { return Stroke(x, y, 150, 250, 150, 470, 2); }, 0x1f5f5a),
          Part([=](float x, float y) { return Ellipse(x, y, 150, 140, 62, 70); }, skin),
          Part([](float x,
                  float y) { return std::max(Ellipse(x, y, 150, 92, 70, 42), y - 104 - std::sin(x * 0.09f) * 6); },
               hair),
          Part([](float x, float y) { return Ellipse(x, y, 150, 168, 6, 4); }, 0xd9a27f),
      });
  AddFace(parts, mood, 140, 0x3a2012);
  return Draw(FigureWidth, FigureHeight, parts);
}

// Opa Hinnerk: grey hair at the sides, a white beard, round glasses, a brown cardigan.
TImageBuffer Opa(TMood mood) {
  const uint32_t grey = 0xd8d4cc, skin = 0xe6b892;
  std::vector<TPart> parts;
  AddTorso(parts, {0xd3a37e, 24, 120, 60, 0x8a6440, 0x4e3420, 32, 330, 1.4f, 0xa9c4dc});
  parts.insert(parts.end(),
               {
                   Part([](float x, float y) { return Stroke(x, y, 135, 300, 165, 300, 3); }, 0x4e3420),
                   Part([=](float x, float y) { return Ellipse(x, y, 150, 142, 64, 74); }, skin),
                   Part([=](float x, float y) { return Ellipse(x, y, 88, 128, 18, 36); }, grey),
                   Part([=](float x, float y) { return Ellipse(x, y, 212, 128, 18, 36); }, grey),
                   Part([=](float x, float y) { return std::max(Ellipse(x, y, 150, 190, 60, 52), 165 - y); }, 0xf2efe9),
               });
  AddFace(parts, mood, 136, 0x9a9690);
  // The moustache over the mouth's corners, then the glasses over the eyes.
  parts.push_back(Part([](float x, float y) { return Ellipse(x, y, 137, 168, 16, 7); }, 0xf2efe9));
  parts.push_back(Part([](float x, float y) { return Ellipse(x, y, 163, 168, 16, 7); }, 0xf2efe9));
  for (float cx : {127.0f, 173.0f})
    parts.push_back(Part([=](float x, float y) { return std::fabs(std::hypot(x - cx, y - 136) - 17) - 2; }, 0x3a3028));
  parts.push_back(Part([](float x, float y) { return Stroke(x, y, 144, 134, 156, 134, 2); }, 0x3a3028));
  return Draw(FigureWidth, FigureHeight, parts);
}

// A sheet as big as the cutscene's letter, lying on the stage with a shadow: lighter in the
// middle, darker towards the edges, marked by `marks' (when given), inside a darker rim.
constexpr float SheetWidth = 560, SheetHeight = 400;

TImageBuffer Sheet(float radius, uint32_t light, uint32_t dark, uint32_t rim, float rimWidth,
                   const std::function<TRgba(TRgba, float, float)>& marks) {
  const float w = SheetWidth, h = SheetHeight;
  TImageBuffer image{int(w), int(h)};
  image.Paint([&](float x, float y) {
    TRgba shadow = WithAlpha(Rgb(0x000000), 0.35f * Coverage(RoundedBox(x, y, 10, 12, w - 2, h - 2, radius + 2)));
    float d = RoundedBox(x, y, 2, 2, w - 10, h - 10, radius);
    TRgba sheet = Mix(Rgb(light), Rgb(dark), std::hypot(x - w / 2, y - h / 2) / (w / 2));
    if (marks) sheet = marks(sheet, x, y);
    sheet = Over(sheet, WithAlpha(Rgb(rim), Coverage(-(d + rimWidth)) * 0.8f));
    return Over(shadow, WithAlpha(sheet, Coverage(d)));
  });
  return image;
}

// Adelheid von Nebel: the lady of the villa as a ghost, pale and a little see-through, with
// her silver hair pinned up high, a lace collar up to the chin, a cameo brooch and a dress of
// misty violet that fades out below the waist.
TImageBuffer Adelheid(TMood mood) {
  const uint32_t hair = 0xe4e8f4, skin = 0xe8eef6;
  TImageBuffer figure = [&] {
    std::vector<TPart> parts = {
        // The glow round the whole figure, then the bun on top of the head.
        Part([](float x, float y) { return Ellipse(x, y, 150, 230, 148, 228); }, 0xb8c8ff, 0.18f),
        Part([](float x, float y) { return Ellipse(x, y, 150, 52, 40, 30); }, hair),
    };
    // The dress: shoulders sloping gently, and puffed sleeves at the sides.
    parts.push_back(Lit([](float x, float y) { return RoundedBox(x, y, 40, 236, 260, 560, 80); }, 0xa898d8, 0x4a3a7a,
                        W, H));
    for (float cx : {58.0f, 242.0f})
      parts.push_back(Part([=](float x, float y) { return Ellipse(x, y, cx, 290, 34, 52); }, 0x8a7ac0));
    parts.insert(
        parts.end(),
        {
            // The high lace collar, its scalloped rim, and the brooch.
            Part([](float x, float y) { return RoundedBox(x, y, 118, 186, 182, 262, 14); }, 0xf4f2fa),
            Part([](float x, float y) { return std::max(RoundedBox(x, y, 110, 252, 190, 272, 10), -std::sin(x * 0.6f) * 3 - (272 - y)); },
                 0xf4f2fa),
            Part([](float x, float y) { return Ellipse(x, y, 150, 300, 16, 20); }, 0xd8b060),
            Part([](float x, float y) { return Ellipse(x, y, 150, 300, 11, 15); }, 0xf0e6f4),
            // The face, slimmer than the others', and the hair framing it in two waves.
            Part([=](float x, float y) { return Ellipse(x, y, 150, 138, 56, 70); }, skin),
            Part([](float x, float y) { return std::max(Ellipse(x, y, 150, 104, 66, 48), y - 92 - std::fabs(x - 150) * 0.45f); },
                 hair),
            Part([](float x, float y) { return Ellipse(x, y, 94, 128, 12, 34); }, hair),
            Part([](float x, float y) { return Ellipse(x, y, 206, 128, 12, 34); }, hair),
            Part([](float x, float y) { return Ellipse(x, y, 150, 166, 5, 3.5f); }, 0xc8cce0),
        });
    AddFace(parts, mood, 138, 0x9aa0b8);
    return Draw(FigureWidth, FigureHeight, parts);
  }();
  // A ghost: everything a little transparent, and the dress fading out towards the bottom.
  for (int y = 0; y < figure.Height(); y++) {
    float fade = std::clamp((H - float(y)) / 140.0f, 0.0f, 1.0f);
    for (int x = 0; x < figure.Width(); x++) figure.At(x, y).a *= 0.88f * fade;
  }
  return figure;
}

// The fog crystal on a pale cloth, as big as the letter: the crystal stands on the left so
// that the text beside it has the right part (the cutscene moves the text by the crystal's
// offset).
TImageBuffer Crystal() {
  TImageBuffer image = Sheet(12, 0xf2f0fa, 0xc8c6e0, 0x6a5a9a, 4, nullptr);
  // The glow, then the crystal: a tall hexagonal point with light and dark facets.
  const float cx = 130, top = 70, bottom = 330;
  image.Paint([&](float x, float y) {
    float r = std::hypot(x - cx, y - 200);
    return WithAlpha(Rgb(0x9fc8ff), 0.55f * std::exp(-r * r / 9000));
  });
  auto facet = [&](float x, float y, float a, float b) {
    // The part of the crystal's outline between the columns a and b (fractions of its width).
    float half = 56;
    float shoulder = top + 70;
    float outline = std::max({std::fabs(x - cx) - half, y - bottom, top - y,
                              (std::fabs(x - cx) / half) * (shoulder - top) + top - y});
    float lo = cx - half + a * 2 * half, hi = cx - half + b * 2 * half;
    return std::max(outline, std::max(lo - x, x - hi));
  };
  const struct {
    float a, b;
    uint32_t colour;
  } facets[] = {{0.0f, 0.3f, 0x5a7ae0}, {0.3f, 0.55f, 0xd8ecff}, {0.55f, 0.8f, 0x8ab0f4}, {0.8f, 1.0f, 0x3a4ab0}};
  for (const auto& f : facets)
    image.Paint([&](float x, float y) { return WithAlpha(Rgb(f.colour, 0.92f), Coverage(facet(x, y, f.a, f.b))); });
  // A sparkle near the top.
  image.Paint([&](float x, float y) {
    float star = std::min(Stroke(x, y, cx - 22, 118, cx + 22, 118, 1.6f), Stroke(x, y, cx, 96, cx, 140, 1.6f));
    return WithAlpha(Rgb(0xffffff), Coverage(star));
  });
  return image;
}

// ---- The stage ----

// Grandpa's kitchen at night: a warm wall with a dark window, the door on the right, the
// table and the wooden floor.
TImageBuffer Kitchen() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    TRgba wall = Mix(Rgb(0xc9a878), Rgb(0x8a6a44), y / 620.0f);
    if (std::fmod(x + 12, 64.0f) < 2) wall = Mix(wall, Rgb(0x6a4e30), 0.3f);
    if (y > 600) wall = Mix(Rgb(0x6a4226), Rgb(0x3a2212), (y - 600) / 168);
    if (y > 600 && std::fmod(x, 128.0f) < 2) wall = Mix(wall, Rgb(0x2a1808), 0.5f);
    return wall;
  });
  // The window: night sky in a wooden frame with a cross.
  image.Paint([](float x, float y) {
    float frame = RoundedBox(x, y, 380, 120, 640, 380, 6);
    if (frame > 0) return TRgba{};
    TRgba sky = Mix(Rgb(0x10163a), Rgb(0x3b3f6e), (y - 120) / 260);
    sky = Over(sky, WithAlpha(Rgb(0xfdf6e3), Coverage(std::hypot(x - 580, y - 170) - 16)));
    float wood = std::min(-frame - 12, std::min(std::fabs(x - 510) - 6, std::fabs(y - 250) - 6));
    return Over(sky, WithAlpha(Rgb(0x5a3a1c), Coverage(wood)));
  });
  // The door, slightly open at the top right, and its handle.
  image.Paint([](float x, float y) {
    float door = RoundedBox(x, y, 800, 200, 960, 610, 4);
    TRgba wood = Mix(Rgb(0x7a4a26), Rgb(0x4a2a14), (x - 800) / 160);
    if (std::fmod(x - 800, 40.0f) < 2) wood = Mix(wood, Rgb(0x2a1808), 0.4f);
    wood = Over(wood, WithAlpha(Rgb(0xd8b060), Coverage(std::hypot(x - 820, y - 420) - 7)));
    return WithAlpha(wood, Coverage(door));
  });
  // The table with a candle.
  image.Paint([](float x, float y) {
    TRgba out{};
    out = Over(out, WithAlpha(Mix(Rgb(0x8a5a30), Rgb(0x5a3418), (y - 520) / 30),
                              Coverage(RoundedBox(x, y, 330, 520, 700, 550, 4))));
    for (float leg : {350.0f, 670.0f})
      out = Over(out, WithAlpha(Rgb(0x4a2a14), Coverage(RoundedBox(x, y, leg, 548, leg + 16, 650, 3))));
    out = Over(out, WithAlpha(Rgb(0xf4ecd8), Coverage(RoundedBox(x, y, 505, 470, 519, 520, 3))));
    out = Over(out, WithAlpha(Rgb(0xffd070), Coverage(Ellipse(x, y, 512, 458, 6, 11))));
    float glow = std::hypot(x - 512, y - 458);
    return Over(out, WithAlpha(Rgb(0xffe0a0), 0.25f * std::exp(-glow * glow / 5000)));
  });
  return image;
}

// The villa's tower room at dawn: stone walls, a tall arched window over the valley in the
// morning light, the empty pedestal in the middle, where the crystal belongs.
TImageBuffer TowerRoom() {
  TImageBuffer valley = Background(1024, 768, Morning);
  TImageBuffer image(1024, 768);
  image.Paint([&](float x, float y) {
    // Stone blocks: rows of 48 pixels, every other row shifted by half a block.
    float row = std::floor(y / 48);
    float shift = std::fmod(row, 2.0f) * 40;
    TRgba stone = Mix(Rgb(0x8a8498), Rgb(0x4a4458), y / 768);
    if (std::fmod(y, 48.0f) < 2 || std::fmod(x + shift, 80.0f) < 2) stone = Mix(stone, Rgb(0x2a2438), 0.5f);
    if (y > 620) stone = Mix(Rgb(0x5a4a3a), Rgb(0x2a2018), (y - 620) / 148);
    // The arched window: a box with a half circle on top.
    float arch = std::min(RoundedBox(x, y, 372, 230, 652, 560, 2), std::hypot(x - 512, y - 230) - 140);
    TRgba view = valley.At(std::clamp(int(x), 0, 1023), std::clamp(int(y), 0, 767));
    float bars = std::min(std::fabs(x - 512) - 5, std::fabs(y - 380) - 5);
    view = Over(view, WithAlpha(Rgb(0x3a3040), Coverage(bars)));
    TRgba out = Over(stone, WithAlpha(Rgb(0x2a2438), Coverage(arch - 10)));
    out = Over(out, WithAlpha(view, Coverage(arch)));
    // Light falling from the window onto the floor.
    float beam = std::max(std::fabs(x - 512) - 150 - (y - 560) * 0.6f, 560 - y);
    return Over(out, WithAlpha(Rgb(0xfff2c8), 0.18f * Coverage(beam)));
  });
  // The pedestal.
  image.Paint([](float x, float y) {
    TRgba out{};
    out = Over(out, WithAlpha(Mix(Rgb(0xb8b0c8), Rgb(0x5a5470), (x - 452) / 120),
                              Coverage(RoundedBox(x, y, 462, 520, 562, 660, 4))));
    out = Over(out, WithAlpha(Rgb(0xc8c0d8), Coverage(RoundedBox(x, y, 442, 506, 582, 526, 4))));
    return Over(out, WithAlpha(Rgb(0x8a84a0), Coverage(RoundedBox(x, y, 442, 650, 582, 668, 4))));
  });
  return image;
}

// Grandpa's letter: lined parchment with a darker rim and a shadow.
TImageBuffer Letter() {
  return Sheet(6, 0xfbf1d6, 0xe8d3a4, 0x9a7a48, 3, [](TRgba paper, float, float y) {
    if (y > 70 && y < SheetHeight - 40 && std::fmod(y - 70, 34.0f) < 1.2f) paper = Mix(paper, Rgb(0xb0a080), 0.35f);
    return paper;
  });
}

// A dark band across the screen, fading a little towards the picture.
TImageBuffer Band(int width, int height, bool fadeDown) {
  TImageBuffer image(width, height);
  image.Paint([&](float, float y) {
    float t = fadeDown ? y / float(height) : 1.0f - y / float(height);
    return Rgb(0x140c06, 0.92f - 0.25f * t);
  });
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: cutscene_art ASSET_FOLDER\n");
    return 2;
  }
  const std::string assets = argv[1];
  const std::string folder = assets + "/images/cutscene", scenes = assets + "/images/scenes";
  for (const std::string& path : {assets + "/images", folder, scenes}) {
    if (!MakeFolder(path)) {
      std::fprintf(stderr, "cutscene_art: cannot make %s\n", path.c_str());
      return 1;
    }
  }
  bool ok = Save(Mara(TMood::Normal), folder, "mara_normal.png");
  ok &= Save(Mara(TMood::Happy), folder, "mara_happy.png");
  ok &= Save(Opa(TMood::Normal), folder, "opa_normal.png");
  ok &= Save(Opa(TMood::Happy), folder, "opa_happy.png");
  ok &= Save(Letter(), folder, "brief.png");
  ok &= Save(Kitchen(), scenes, "opas_kueche.png");
  ok &= Save(Adelheid(TMood::Normal), folder, "adelheid_normal.png");
  ok &= Save(Adelheid(TMood::Happy), folder, "adelheid_happy.png");
  ok &= Save(Adelheid(TMood::Sad), folder, "adelheid_sad.png");
  ok &= Save(Crystal(), folder, "kristall.png");
  ok &= Save(TowerRoom(), scenes, "villa_turm.png");
  // The epilogue: the valley in the morning, without fog.
  ok &= Save(Background(1024, 768, Morning), scenes, "nebeltal_morgen.png");
  // The speech boxes are parchment for dark text; the name plate is gold for light text.
  ok &= Save(Plate(420, 150, 18, Rgb(0xfffaf0), Rgb(0xf0e2c2), Rgb(0x6a4a2a), 3), folder, "sprechblase.png");
  ok &= Save(Plate(240, 44, 12, Rgb(0xc99a52), Rgb(0x7e5222), Rgb(0xf2d38b), 2), folder, "namensschild.png");
  ok &= Save(Band(1024, 60, true), folder, "rand_oben.png");
  ok &= Save(Band(1024, 100, false), folder, "rand_unten.png");
  return ok ? 0 : 1;
}
