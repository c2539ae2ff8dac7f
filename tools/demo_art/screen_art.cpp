// screen_art: draws the images of the demo's play screens into an asset folder: the
// sidebar (its panels, buttons, hint frames and empty slot), the inventory items, the
// clearing's objects, the shed of the hidden-object scene with its hidden things, and the
// living room of the placing-object scene.
//
//   screen_art ASSET_FOLDER
//
// Every shape is a signed distance in the unit square of its image, so one drawing serves
// every size (an item's strip picture and its large pick-up picture).

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "art_canvas.h"

namespace {

constexpr float Pi = 3.14159265f;

// ---- Shapes: signed distances, negative inside ----

float Circle(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

float Capsule(float x, float y, float ax, float ay, float bx, float by, float r) {
  float ex = bx - ax, ey = by - ay;
  float t = std::clamp(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
  return std::hypot(x - ax - t * ex, y - ay - t * ey) - r;
}

// A layer of a drawing: a shape in unit coordinates and its colour (which may vary).
struct TLayer {
  std::function<float(float, float)> shape;
  std::function<TRgba(float, float)> colour;
};

TLayer Flat(std::function<float(float, float)> shape, uint32_t colour) {
  return {std::move(shape), [colour](float, float) { return Rgb(colour); }};
}

TLayer Shaded(std::function<float(float, float)> shape, uint32_t top, uint32_t bottom) {
  return {std::move(shape), [top, bottom](float, float y) { return Mix(Rgb(top), Rgb(bottom), y); }};
}

// Draws the layers, in order, onto a size x size picture, each edge a pixel wide.
TImageBuffer Icon(int size, const std::vector<TLayer>& layers) {
  TImageBuffer image(size, size);
  float s = float(size);
  for (const TLayer& layer : layers)
    image.Paint([&](float px, float py) {
      float x = px / s, y = py / s;
      return WithAlpha(layer.colour(x, y), Coverage(layer.shape(x, y) * s));
    });
  return image;
}

// ---- The sidebar ----


// The panels of a screen type: the left column and the bar along the bottom, in the tint of
// the screen; transparent above the play area.
TImageBuffer Interface(uint32_t upper, uint32_t lower) {
  TImageBuffer image(1024, 768);
  const TRgba gold = Rgb(0xc99a52), top = Rgb(upper), bottom = Rgb(lower);
  image.Paint([&](float x, float y) {
    float column = RoundedBox(x, y, -20, -20, 161, 788, 14);
    float bar = RoundedBox(x, y, 140, 664, 1044, 788, 14);
    float d = std::min(column, bar);
    TRgba fill = Mix(top, bottom, y / 768.0f);
    // Fine grain of wood: stripes along the column, across the bar.
    float grain = 0.06f * std::sin((column < bar ? x : y) * 0.9f + std::sin(y * 0.05f) * 2);
    fill = Mix(fill, Rgb(0x000000), 0.1f + grain);
    TRgba edge = WithAlpha(gold, Coverage(-(d + 3)));
    return WithAlpha(Over(fill, edge), Coverage(d));
  });
  return image;
}

// The hint orb at a fill between 0 and 1: a glass ball filling with golden light from below,
// in the lower part of its picture (the button's label stands above it).
TImageBuffer HintOrb(float fill) {
  TImageBuffer image(140, 140);
  image.Paint([&](float x, float y) {
    float d = Circle(x, y, 70, 86, 48);
    float level = 132 - 92 * fill;
    TRgba glass = Mix(Rgb(0x2a2350), Rgb(0x120f26), y / 140);
    TRgba light = Mix(Rgb(0xfff0c0), Rgb(0xe0a040), (y - level) / 92);
    TRgba inside = y > level ? light : glass;
    inside = Over(inside, WithAlpha(Rgb(0xffffff), 0.35f * Coverage(Circle(x, y, 52, 66, 10))));
    TRgba rim = WithAlpha(Rgb(0xf2d38b), Coverage(std::fabs(d) - 2.5f));
    return Over(WithAlpha(inside, Coverage(d)), rim);
  });
  return image;
}

// ---- Items and objects ----

std::vector<TLayer> Lantern() {
  return {Flat([](float x, float y) { return std::fabs(Circle(x, y, 0.5f, 0.16f, 0.09f)) - 0.025f; }, 0x3a2a18),
          Shaded([](float x, float y) { return RoundedBox(x, y, 0.28f, 0.24f, 0.72f, 0.86f, 0.06f); }, 0x6a4a28,
                 0x3a2a18),
          Shaded([](float x, float y) { return RoundedBox(x, y, 0.35f, 0.32f, 0.65f, 0.78f, 0.04f); }, 0xfff0c0,
                 0xe0a040)};
}

std::vector<TLayer> Key() {
  return {Flat([](float x, float y) { return std::fabs(Circle(x, y, 0.3f, 0.5f, 0.14f)) - 0.05f; }, 0xc9a24a),
          Flat([](float x, float y) { return Capsule(x, y, 0.44f, 0.5f, 0.86f, 0.5f, 0.045f); }, 0xc9a24a),
          Flat([](float x, float y) { return RoundedBox(x, y, 0.7f, 0.5f, 0.78f, 0.68f, 0.01f); }, 0xc9a24a),
          Flat([](float x, float y) { return RoundedBox(x, y, 0.8f, 0.5f, 0.86f, 0.62f, 0.01f); }, 0xc9a24a)};
}

std::vector<TLayer> Frame() {
  return {Shaded([](float x, float y) { return RoundedBox(x, y, 0.16f, 0.12f, 0.84f, 0.88f, 0.03f); }, 0xd8b060,
                 0x8a6020),
          Shaded([](float x, float y) { return RoundedBox(x, y, 0.27f, 0.23f, 0.73f, 0.77f, 0.01f); }, 0x8fb0d8,
                 0x4a6a48),
          Flat([](float x, float y) { return Circle(x, y, 0.5f, 0.45f, 0.09f); }, 0xf0d0b0)};
}

std::vector<TLayer> OilCan() {
  return {Shaded([](float x, float y) { return RoundedBox(x, y, 0.22f, 0.42f, 0.64f, 0.86f, 0.06f); }, 0x8a9aa8,
                 0x3a4a58),
          Flat([](float x, float y) { return Capsule(x, y, 0.6f, 0.55f, 0.86f, 0.3f, 0.035f); }, 0x5a6a78),
          Flat([](float x, float y) { return std::fabs(Circle(x, y, 0.43f, 0.38f, 0.12f)) - 0.03f; }, 0x3a4a58)};
}

std::vector<TLayer> Well() {
  return {Shaded([](float x, float y) { return RoundedBox(x, y, 0.08f, 0.42f, 0.92f, 0.96f, 0.05f); }, 0x9a9488,
                 0x5a544a),
          Flat([](float x, float y) { return RoundedBox(x, y, 0.14f, 0.44f, 0.86f, 0.56f, 0.05f); }, 0x0c0a10),
          Flat([](float x, float y) { return Capsule(x, y, 0.16f, 0.1f, 0.16f, 0.44f, 0.03f); }, 0x4a3220),
          Flat([](float x, float y) { return Capsule(x, y, 0.84f, 0.1f, 0.84f, 0.44f, 0.03f); }, 0x4a3220),
          Flat([](float x, float y) { return Capsule(x, y, 0.08f, 0.1f, 0.92f, 0.1f, 0.035f); }, 0x6a4a28)};
}

// The light of the lantern let down into the well: a warm glow over the well's mouth.
TImageBuffer WellLight() {
  TImageBuffer image(160, 100);
  image.Paint([](float x, float y) {
    float d = std::hypot((x - 80) / 70, (y - 60) / 36);
    return WithAlpha(Rgb(0xffd878), 0.85f * std::clamp(1.0f - d, 0.0f, 1.0f));
  });
  return image;
}

std::vector<TLayer> Signpost() {
  return {Flat([](float x, float y) { return Capsule(x, y, 0.5f, 0.2f, 0.5f, 0.96f, 0.04f); }, 0x4a3220),
          Shaded(
              [](float x, float y) {
                float board = RoundedBox(x, y, 0.12f, 0.18f, 0.78f, 0.4f, 0.02f);
                float point = std::max(Capsule(x, y, 0.78f, 0.29f, 0.92f, 0.29f, 0.11f), x - 0.92f);
                return std::min(board, std::max(point, -(x - 0.7f)));
              },
              0xb08050, 0x7a5028)};
}

std::vector<TLayer> Hammer() {
  return {Flat([](float x, float y) { return Capsule(x, y, 0.3f, 0.85f, 0.62f, 0.3f, 0.06f); }, 0x8a5a2a),
          Shaded([](float x, float y) { return RoundedBox(x, y, 0.42f, 0.12f, 0.9f, 0.34f, 0.04f); }, 0x9aa4ae,
                 0x4a545e)};
}

std::vector<TLayer> Pliers() {
  return {Flat([](float x, float y) { return Capsule(x, y, 0.2f, 0.88f, 0.72f, 0.14f, 0.05f); }, 0xb03a2a),
          Flat([](float x, float y) { return Capsule(x, y, 0.8f, 0.88f, 0.28f, 0.14f, 0.05f); }, 0xb03a2a),
          Flat([](float x, float y) { return Circle(x, y, 0.5f, 0.46f, 0.07f); }, 0x6a747e)};
}

std::vector<TLayer> Saw() {
  return {Shaded(
              [](float x, float y) {
                float blade = RoundedBox(x, y, 0.3f, 0.36f, 0.94f, 0.58f, 0.02f);
                float teeth = 0.02f * std::fabs(std::sin(x * 60));
                return std::max(blade, y - 0.58f + teeth);
              },
              0xc8d0d8, 0x7a848e),
          Shaded([](float x, float y) { return RoundedBox(x, y, 0.06f, 0.3f, 0.34f, 0.66f, 0.08f); }, 0xa0602a,
                 0x6a3a18)};
}

std::vector<TLayer> Candle(uint32_t wax) {
  return {Shaded([](float x, float y) { return RoundedBox(x, y, 0.38f, 0.36f, 0.62f, 0.94f, 0.03f); }, wax, 0xd8c8a8),
          Flat([](float x, float y) { return Capsule(x, y, 0.5f, 0.3f, 0.5f, 0.36f, 0.012f); }, 0x2a2018),
          Shaded(
              [](float x, float y) {
                return std::min(Circle(x, y, 0.5f, 0.22f, 0.07f),
                                Capsule(x, y, 0.5f, 0.06f, 0.5f, 0.2f, 0.012f + 0.05f * (y - 0.06f) / 0.14f));
              },
              0xfff0a0, 0xf08020)};
}

std::vector<TLayer> Bucket() {
  return {Flat([](float x, float y) { return std::max(std::fabs(Circle(x, y, 0.5f, 0.42f, 0.3f)) - 0.025f, y - 0.42f); },
               0x3a3a40),
          Shaded(
              [](float x, float y) {
                float halfWidth = 0.3f - 0.1f * (y - 0.36f) / 0.54f;
                return std::max({std::fabs(x - 0.5f) - halfWidth, 0.36f - y, y - 0.9f});
              },
              0x9aa4ae, 0x5a646e)};
}

std::vector<TLayer> Book() {
  return {Shaded([](float x, float y) { return RoundedBox(x, y, 0.2f, 0.16f, 0.8f, 0.84f, 0.04f); }, 0x8a2a3a,
                 0x4a1020),
          Flat([](float x, float y) { return RoundedBox(x, y, 0.74f, 0.2f, 0.8f, 0.8f, 0.01f); }, 0xf0e6cc),
          Flat([](float x, float y) { return RoundedBox(x, y, 0.34f, 0.32f, 0.66f, 0.4f, 0.01f); }, 0xe0c070)};
}

std::vector<TLayer> Cup() {
  return {Flat([](float x, float y) { return std::fabs(Circle(x, y, 0.74f, 0.55f, 0.13f)) - 0.04f; }, 0xe8e0d0),
          Shaded([](float x, float y) { return RoundedBox(x, y, 0.2f, 0.3f, 0.72f, 0.84f, 0.08f); }, 0xf8f4ea,
                 0xb8b0a0),
          Flat([](float x, float y) { return RoundedBox(x, y, 0.2f, 0.46f, 0.72f, 0.54f, 0.0f); }, 0x3a70b0)};
}

std::vector<TLayer> Clock() {
  return {Shaded([](float x, float y) { return Circle(x, y, 0.5f, 0.5f, 0.42f); }, 0xd8b060, 0x8a6020),
          Flat([](float x, float y) { return Circle(x, y, 0.5f, 0.5f, 0.34f); }, 0xfaf4e4),
          Flat([](float x, float y) { return Capsule(x, y, 0.5f, 0.5f, 0.5f, 0.26f, 0.025f); }, 0x2a2018),
          Flat([](float x, float y) { return Capsule(x, y, 0.5f, 0.5f, 0.68f, 0.56f, 0.025f); }, 0x2a2018)};
}

// ---- Rooms ----

// The shed inside: planks in the lamp light, two shelves and the floor.
TImageBuffer Shed() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    float plank = std::fmod(x, 96.0f);
    TRgba wood = Mix(Rgb(0x6a4a2c), Rgb(0x3a2616), y / 768.0f);
    wood = Mix(wood, Rgb(0x2a1a0c), 0.12f * std::sin(y * 0.07f + x * 0.013f) + 0.12f);
    if (plank < 3) wood = Mix(wood, Rgb(0x1a1008), 0.7f);
    // The light of a lamp above the middle.
    float light = std::exp(-std::pow(std::hypot(x - 590, y - 120) / 520.0f, 2.0f));
    wood = Mix(Rgb(0x120a04), wood, 0.35f + 0.65f * light);
    if (y > 560) wood = Mix(Rgb(0x2a2018), Rgb(0x161008), (y - 560) / 208);
    for (float shelf : {230.0f, 420.0f})
      if (x > 250 && x < 980 && y > shelf && y < shelf + 18) wood = Mix(Rgb(0x8a6238), Rgb(0x5a3a1c), (y - shelf) / 18);
    return wood;
  });
  return image;
}

// Grandpa's living room: a papered wall, a long shelf with two bare places, a rug.
TImageBuffer LivingRoom() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    TRgba wall = Mix(Rgb(0xd8c8a0), Rgb(0xa89468), y / 600.0f);
    if (std::fmod(x, 48.0f) < 2) wall = Mix(wall, Rgb(0x8a7650), 0.35f);
    if (y > 560) wall = Mix(Rgb(0x7a4a2a), Rgb(0x4a2a16), (y - 560) / 208);
    if (y > 620 && y < 740 && x > 300 && x < 900) wall = Mix(wall, Rgb(0x8a2a2a), 0.6f);
    if (x > 260 && x < 960 && y > 380 && y < 400) wall = Mix(Rgb(0x8a6238), Rgb(0x5a3a1c), (y - 380) / 20);
    return wall;
  });
  return image;
}

// The bare place of a thing on the shelf: its shape as a faint shadow.
TImageBuffer Outline(int size, const std::vector<TLayer>& layers) {
  std::vector<TLayer> shadow;
  for (const TLayer& layer : layers) shadow.push_back({layer.shape, [](float, float) { return Rgb(0x3a2a18, 0.28f); }});
  return Icon(size, shadow);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: screen_art ASSET_FOLDER\n");
    return 2;
  }
  const std::string assets = argv[1];
  const std::string backgrounds = assets + "/backgrounds", sidebar = assets + "/images/sidebar",
                    items = assets + "/images/items", objects = assets + "/images/objects",
                    scenes = assets + "/images/scenes", sprites = assets + "/sprites";
  for (const std::string& folder : {backgrounds, assets + "/images", sidebar, items, objects, scenes, sprites}) {
    if (!MakeFolder(folder)) {
      std::fprintf(stderr, "screen_art: cannot make %s\n", folder.c_str());
      return 1;
    }
  }
  bool ok = Save(Interface(0x3a2a50, 0x1a1430), backgrounds, "interface_adv.png");
  // The hidden-object list is written in black: its panels are parchment.
  ok &= Save(Interface(0xf4e8c8, 0xd8c49a), backgrounds, "interface_hog.png");
  ok &= Save(Interface(0x3a3a30, 0x1a1a14), backgrounds, "interface_po.png");
  // The plates of the help, menu, diary and light buttons; their labels stand on them.
  ok &= Save(Plate(130, 44, 12, Rgb(0xc99a52), Rgb(0x7e5222), Rgb(0xf2d38b), 2), sidebar, "button.png");
  const int hintFrames = 8;
  for (int frame = 1; frame <= hintFrames; frame++) {
    char name[32];
    std::snprintf(name, sizeof name, "hint%02d.png", frame);
    ok &= Save(HintOrb(float(frame) / hintFrames), sidebar, name);
  }
  // The empty slot of the strip.
  ok &= Save(Plate(64, 64, 10, Rgb(0x000000, 0.25f), Rgb(0x000000, 0.35f), Rgb(0xf2d38b, 0.45f), 1.5f), sprites,
             "no_sprite.png");

  struct TItem {
    const char* name;
    std::vector<TLayer> layers;
  };
  const TItem things[] = {{"laterne", Lantern()}, {"schluessel", Key()}, {"bilderrahmen", Frame()},
                          {"oelkanne", OilCan()}};
  for (const TItem& item : things) {
    ok &= Save(Icon(64, item.layers), items, (std::string(item.name) + ".png").c_str());
    ok &= Save(Icon(160, item.layers), items, (std::string(item.name) + "_gross.png").c_str());
  }
  ok &= Save(Icon(72, Lantern()), objects, "laterne.png");
  ok &= Save(Icon(150, Well()), objects, "brunnen.png");
  ok &= Save(WellLight(), objects, "brunnen_licht.png");
  ok &= Save(Icon(120, Signpost()), objects, "wegweiser.png");
  ok &= Save(Outline(110, Frame()), objects, "platz_rahmen.png");
  ok &= Save(Outline(110, OilCan()), objects, "platz_kanne.png");
  ok &= Save(Icon(110, Frame()), objects, "rahmen.png");
  ok &= Save(Icon(110, OilCan()), objects, "kanne.png");

  const TItem hidden[] = {{"hammer", Hammer()},          {"zange", Pliers()},          {"saege", Saw()},
                          {"kerze_weiss", Candle(0xfaf6ea)}, {"kerze_rot", Candle(0xc84a3a)}, {"kerze_blau", Candle(0x4a6ac8)},
                          {"eimer", Bucket()},           {"buch", Book()},             {"tasse", Cup()},
                          {"uhr", Clock()}};
  for (const TItem& item : hidden) ok &= Save(Icon(72, item.layers), objects, (std::string(item.name) + ".png").c_str());
  ok &= Save(Shed(), scenes, "schuppen.png");
  ok &= Save(LivingRoom(), scenes, "wohnraum.png");
  return ok ? 0 : 1;
}
