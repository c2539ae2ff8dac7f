// villa_art: draws the pictures of the demo's villa games and the walk through the fog: the
// hall of mirrors with its portraits (the original, its mirror image and the false ones) and
// the right and wrong signs, the ancestral gallery and the sideboard with their ancestors and
// the check button, the morris board with its stones, and the fog strips of the walk with
// their frame.
//
//   villa_art ASSET_FOLDER
//
// Everything is computed, and the output is the same on every run;
// tools/demo_art/make_minigame_assets.sh runs it.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "art_canvas.h"

namespace {

const TRgba Gold = Rgb(0xe2bc62);
const TRgba GoldDark = Rgb(0x8a6424);

// Signed distance to the segment a-b thickened to a half width of w.
float Segment(float x, float y, float ax, float ay, float bx, float by, float w) {
  float px = x - ax, py = y - ay, ex = bx - ax, ey = by - ay;
  float t = std::clamp((px * ex + py * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
  return std::hypot(px - ex * t, py - ey * t) - w;
}

float Ellipse(float x, float y, float cx, float cy, float a, float b) {
  float nx = (x - cx) / a, ny = (y - cy) / b;
  return (std::sqrt(nx * nx + ny * ny) - 1.0f) * std::min(a, b);
}

// A wall of striped wallpaper over a wainscot from `panel' down.
TImageBuffer Wall(float panel, uint32_t paper) {
  TImageBuffer image(1024, 768);
  image.Paint([&](float x, float y) {
    if (y >= panel) {
      float board = std::fmod(x, 128.0f);
      TRgba wood = Mix(Rgb(0x4a2a16), Rgb(0x6b4024), 0.5f + 0.5f * std::sin(y * 0.05f + x * 0.01f));
      if (board < 4 || y < panel + 6) wood = Mix(wood, Rgb(0x2a160a), 0.6f);
      return wood;
    }
    float stripe = 0.5f + 0.5f * std::sin(x * 0.19f);
    TRgba base = Mix(Rgb(paper), Mix(Rgb(paper), Rgb(0x000000), 0.35f), stripe * 0.5f);
    return Mix(base, Rgb(0x000000), 0.3f * (1.0f - y / panel));
  });
  return image;
}

// A gold frame of the given size around (x0, y0), width w.
void PaintFrame(TImageBuffer& image, float x0, float y0, float width, float height, float w, TRgba inside) {
  image.Paint([&](float x, float y) {
    float outer = RoundedBox(x, y, x0, y0, x0 + width, y0 + height, 4);
    float inner = RoundedBox(x, y, x0 + w, y0 + w, x0 + width - w, y0 + height - w, 1);
    float shade = 0.5f + 0.5f * std::sin((x + y) * 0.2f);
    TRgba frame = Mix(GoldDark, Gold, shade);
    TRgba out = WithAlpha(frame, Coverage(outer) * (1.0f - Coverage(inner)));
    return Over(out, WithAlpha(inside, Coverage(inner)));
  });
}

// How a portrait differs from the original lady of the house.
struct TPortrait {
  bool mirrored = false;
  uint32_t background = 0x2d4a3a;
  uint32_t hair = 0x5a3218;
  uint32_t dress = 0x3a2a5a;
  uint32_t brooch = 0xd83a3a;
  bool hasBrooch = true;
  bool beard = false;
};

// A framed portrait of w x h: a lady (or gentleman) turned a little to one side, her hair
// swept to that side, a brooch on the other.
TImageBuffer Portrait(int width, int height, const TPortrait& p) {
  TImageBuffer image(width, height);
  float w = float(width), h = float(height), f = 12.0f;
  PaintFrame(image, 0, 0, w, h, f, Rgb(p.background));
  image.Paint([&](float x, float y) {
    if (x < f || y < f || x > w - f || y > h - f) return TRgba{};
    float u = p.mirrored ? w - x : x;  // the picture as the original shows it
    float cx = w * 0.52f, cy = h * 0.40f;
    TRgba out{};
    float body = Ellipse(u, y, cx, h * 0.98f, w * 0.36f, h * 0.36f);
    out = Over(out, WithAlpha(Rgb(p.dress), Coverage(body)));
    float neck = RoundedBox(u, y, cx - 9, cy + 20, cx + 9, cy + 50, 4);
    out = Over(out, WithAlpha(Rgb(0xe8c2a0), Coverage(neck)));
    float hair = Ellipse(u, y, cx - w * 0.05f, cy - h * 0.02f, w * 0.22f, h * 0.21f);
    out = Over(out, WithAlpha(Rgb(p.hair), Coverage(hair)));
    float face = Ellipse(u, y, cx + w * 0.02f, cy + h * 0.03f, w * 0.14f, h * 0.16f);
    out = Over(out, WithAlpha(Rgb(0xf0cca8), Coverage(face)));
    float sweep = Ellipse(u, y, cx - w * 0.10f, cy - h * 0.10f, w * 0.16f, h * 0.07f);
    out = Over(out, WithAlpha(Rgb(p.hair), Coverage(sweep)));
    for (float side : {-1.0f, 1.0f}) {
      float eye = Ellipse(u, y, cx + w * 0.02f + side * w * 0.055f, cy + h * 0.01f, 2.6f, 2.0f);
      out = Over(out, WithAlpha(Rgb(0x2a1a10), Coverage(eye)));
    }
    float mouth = Segment(u, y, cx - 5, cy + h * 0.09f, cx + 8, cy + h * 0.09f, 1.2f);
    out = Over(out, WithAlpha(Rgb(0xa83a3a), Coverage(mouth)));
    if (p.beard) {
      float beard = Ellipse(u, y, cx + w * 0.02f, cy + h * 0.13f, w * 0.12f, h * 0.06f);
      out = Over(out, WithAlpha(Rgb(p.hair), Coverage(beard)));
    }
    if (p.hasBrooch) {
      float brooch = Ellipse(u, y, cx + w * 0.20f, cy + h * 0.34f, 7, 7);
      out = Over(out, WithAlpha(Rgb(p.brooch), Coverage(brooch)));
      out = Over(out, WithAlpha(Gold, Coverage(std::fabs(brooch) - 1.2f)));
    }
    return out;
  });
  return image;
}

// A sign over the whole screen: a round plate in the middle with a tick (right) or a cross.
TImageBuffer Sign(bool right) {
  TImageBuffer image(1024, 768);
  const float cx = 512, cy = 384, r = 110;
  image.Paint([&](float x, float y) {
    float disc = std::hypot(x - cx, y - cy) - r;
    TRgba plate = WithAlpha(right ? Rgb(0x3a8a3a) : Rgb(0xa83030), 0.92f * Coverage(disc));
    plate = Over(plate, WithAlpha(Gold, Coverage(std::fabs(disc) - 3)));
    float mark = right ? std::min(Segment(x, y, cx - 50, cy + 5, cx - 12, cy + 45, 12),
                                  Segment(x, y, cx - 12, cy + 45, cx + 55, cy - 45, 12))
                       : std::min(Segment(x, y, cx - 45, cy - 45, cx + 45, cy + 45, 12),
                                  Segment(x, y, cx - 45, cy + 45, cx + 45, cy - 45, 12));
    return Over(plate, WithAlpha(Rgb(0xfaf6ea), Coverage(mark)));
  });
  return image;
}

// The hall of mirrors: the lady's portrait above, four empty places below.
TImageBuffer HallOfMirrors() {
  TImageBuffer image = Wall(560, 0x5a1e2a);
  TImageBuffer original = Portrait(160, 200, TPortrait());
  for (int y = 0; y < 200; y++)
    for (int x = 0; x < 160; x++) image.At(432 + x, 60 + y) = Over(image.At(432 + x, 60 + y), original.At(x, y));
  image.Paint([&](float x, float y) {
    float glass = 0;
    for (float left : {112.0f, 352.0f, 592.0f, 832.0f})
      glass = std::max(glass, Coverage(RoundedBox(x, y, left - 6, 374, left + 166, 586, 8)));
    return WithAlpha(Rgb(0x000000), 0.35f * glass);
  });
  return image;
}

// The gallery: four frames in a row with a brass plate under each for the names.
TImageBuffer Gallery() {
  TImageBuffer image = Wall(600, 0x2a3a5a);
  for (float left : {102.0f, 342.0f, 582.0f, 822.0f}) {
    PaintFrame(image, left, 150, 180, 220, 14, Rgb(0x161210));
    image.Paint([&](float x, float y) {
      return WithAlpha(Mix(Rgb(0xb08a3a), Rgb(0xe0c070), 0.5f + 0.4f * std::sin(x * 0.05f)),
                       Coverage(RoundedBox(x, y, left + 10, 392, left + 170, 432, 5)));
    });
  }
  return image;
}

// The sideboard: three stands on its top, one of them left empty.
TImageBuffer Sideboard() {
  TImageBuffer image = Wall(640, 0x3a4a2a);
  image.Paint([&](float x, float y) {
    float board = RoundedBox(x, y, 150, 470, 874, 700, 10);
    TRgba wood = Mix(Rgb(0x5a3418), Rgb(0x7a4a24), 0.5f + 0.5f * std::sin(x * 0.03f + y * 0.2f));
    TRgba out = WithAlpha(wood, Coverage(board));
    for (float left : {222.0f, 432.0f, 642.0f}) {
      float stand = RoundedBox(x, y, left, 250, left + 160, 450, 6);
      out = Over(out, WithAlpha(Rgb(0x000000), 0.3f * Coverage(stand)));
      out = Over(out, WithAlpha(Gold, 0.8f * Coverage(std::fabs(stand) - 1.5f)));
    }
    return out;
  });
  return image;
}

// The morris board on a table: three squares joined at the middles of their sides.
TImageBuffer MorrisBoard() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    TRgba table = Mix(Rgb(0x3a2212), Rgb(0x5a3620), 0.5f + 0.5f * std::sin(y * 0.08f + std::sin(x * 0.01f) * 3));
    float board = RoundedBox(x, y, 212, 84, 812, 684, 12);
    TRgba wood = Mix(Rgb(0xc89a5a), Rgb(0xe0b878), 0.5f + 0.5f * std::sin(x * 0.05f + y * 0.01f));
    TRgba out = Over(table, WithAlpha(wood, Coverage(board)));
    float lines = 1e9f;
    for (float half : {260.0f, 170.0f, 80.0f}) {
      float d = std::max(std::fabs(x - 512), std::fabs(y - 384)) - half;
      lines = std::min(lines, std::fabs(d) - 2.5f);
    }
    lines = std::min({lines, Segment(x, y, 252, 384, 432, 384, 2.5f), Segment(x, y, 592, 384, 772, 384, 2.5f),
                      Segment(x, y, 512, 124, 512, 304, 2.5f), Segment(x, y, 512, 464, 512, 644, 2.5f)});
    return Over(out, WithAlpha(Rgb(0x2a1a0c), Coverage(lines)));
  });
  return image;
}

// A stone of the morris game: status 0 is the empty point's hollow; 1 Mara's ivory stone,
// 2 Adelheid's ebony one; a selected stone glows in gold.
TImageBuffer Stone(int status, bool selected) {
  TImageBuffer image(64, 64);
  image.Paint([&](float x, float y) {
    float d = std::hypot(x - 32, y - 32);
    if (status == 0) return WithAlpha(Rgb(0x2a1a0c), Coverage(d - 9));
    TRgba colour = status == 1 ? Rgb(0xf2ead2) : Rgb(0x26201c);
    float light = std::clamp(1.0f - std::hypot(x - 24, y - 24) / 36.0f, 0.0f, 1.0f);
    TRgba shaded = Mix(Mix(colour, Rgb(0x000000), 0.3f), Mix(colour, Rgb(0xffffff), 0.35f), light);
    TRgba out = WithAlpha(shaded, Coverage(d - 24));
    if (selected) out = Over(WithAlpha(Gold, Coverage(std::fabs(d - 28) - 3)), out);
    return out;
  });
  return image;
}

// Fog over hills and a path, seen from the side: continuous along x and down to the ground
// in y, so that it can be cut into pieces either way.
TImageBuffer Fog(int width, int height) {
  TImageBuffer image(width, height);
  const float span = float(height);
  image.Paint([&](float x, float y) {
    TRgba sky = Mix(Rgb(0x6a7a8a), Rgb(0xb8c2c8), y / span);
    float hill = span * (0.55f + 0.08f * std::sin(x * 0.006f) + 0.04f * std::sin(x * 0.017f + 1.3f));
    TRgba out = y > hill ? Mix(Rgb(0x3a4a3a), Rgb(0x24301e), (y - hill) / span * 2) : sky;
    float path = std::fabs(y - span * (0.8f + 0.05f * std::sin(x * 0.004f))) - span * 0.03f;
    out = Over(out, WithAlpha(Rgb(0x8a7a5a), Coverage(path)));
    for (int k = 0; k < 9; k++) {
      float treeAt = 140.0f + 260.0f * float(k) + 40.0f * std::sin(float(k) * 2.1f);
      float trunk = std::max(std::fabs(x - treeAt) - 5.0f, std::fabs(y - hill + 20) - 40.0f);
      float crown = std::hypot(x - treeAt, y - hill + 80) - 42.0f;
      out = Over(out, WithAlpha(Rgb(0x1e2a1a), Coverage(std::min(trunk, crown))));
    }
    float mist = 0.45f + 0.25f * std::sin(x * 0.011f + y * 0.004f) * std::sin(y * 0.013f);
    return Over(out, WithAlpha(Rgb(0xdfe4e6), std::clamp(mist, 0.0f, 0.8f)));
  });
  return image;
}

// Cuts the image into `count' equal pieces along x (or y) and saves them as name0, name1...;
// reversed, piece 0 is the last one (a strip laid out against the direction of reading).
bool SavePieces(const TImageBuffer& source, int count, bool vertical, bool reversed, const std::string& folder,
                const char* name) {
  TImageBuffer image = source;
  bool ok = true;
  int w = vertical ? image.Width() : image.Width() / count, h = vertical ? image.Height() / count : image.Height();
  for (int i = 0; i < count; i++) {
    int k = reversed ? count - 1 - i : i;
    TImageBuffer piece(w, h);
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++) piece.At(x, y) = image.At(vertical ? x : x + k * w, vertical ? y + k * h : y);
    ok &= Save(piece, folder, (std::string(name) + std::to_string(i) + ".png").c_str());
  }
  return ok;
}

// The page's frame: dark edges fading into the picture, and a band at the foot for the
// texts.
TImageBuffer FogFrame() {
  TImageBuffer image(1024, 768);
  image.Paint([](float x, float y) {
    float edge = std::min({x, y, 1024 - x, 768 - y});
    float vignette = std::clamp(1.0f - edge / 90.0f, 0.0f, 1.0f);
    TRgba out = WithAlpha(Rgb(0x0e1014), vignette * 0.9f);
    float band = RoundedBox(x, y, 112, 610, 912, 740, 18);
    return Over(out, WithAlpha(Rgb(0x0e1014), 0.6f * Coverage(band)));
  });
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: villa_art ASSET_FOLDER\n");
    return 2;
  }
  const std::string root = argv[1], images = root + "/images", games = images + "/minigames";
  const std::string villa = games + "/villa", fog = games + "/nebel";
  const std::string standard = root + "/standard", sprites = standard + "/sprites", mirror = sprites + "/mirroredimage";
  for (const std::string& folder : {images, games, villa, fog, standard, sprites, mirror}) {
    if (!MakeFolder(folder)) {
      std::fprintf(stderr, "villa_art: cannot make %s\n", folder.c_str());
      return 1;
    }
  }
  // The hall of mirrors: which portrait is the lady's mirror image? The false ones are the
  // original itself and mirror images with one thing changed.
  bool ok = Save(HallOfMirrors(), villa, "spiegelsaal.png");
  TPortrait mirrored;
  mirrored.mirrored = true;
  ok &= Save(Portrait(160, 200, mirrored), villa, "spiegelbild.png");
  TPortrait falseOnes[5] = {TPortrait(), mirrored, mirrored, mirrored, mirrored};
  falseOnes[1].brooch = 0x3a6ad8;
  falseOnes[2].hair = 0xc8a050;
  falseOnes[3].hasBrooch = false;
  falseOnes[4].background = 0x5a2a3a;
  for (int i = 0; i < 5; i++)
    ok &= Save(Portrait(160, 200, falseOnes[i]), villa, ("falsch" + std::to_string(i + 1) + ".png").c_str());
  ok &= Save(Sign(true), mirror, "mi_right.png");
  ok &= Save(Sign(false), mirror, "mi_wrong.png");
  // The gallery and the sideboard: four ancestors and the check button.
  ok &= Save(Gallery(), villa, "galerie.png");
  ok &= Save(Sideboard(), villa, "kommode.png");
  TPortrait ancestors[4];
  ancestors[0].beard = true, ancestors[0].hasBrooch = false;
  ancestors[0].hair = 0x8a8a8a, ancestors[0].dress = 0x1a1a2a;
  ancestors[1].background = 0x5a3a2a, ancestors[1].hair = 0x2a1a10, ancestors[1].dress = 0x6a2a3a;
  ancestors[2].beard = true, ancestors[2].hasBrooch = false, ancestors[2].background = 0x2a3a5a;
  ancestors[3].background = 0x4a4a2a, ancestors[3].hair = 0xb8862a, ancestors[3].dress = 0x2a5a4a;
  for (int i = 0; i < 4; i++)
    ok &= Save(Portrait(140, 180, ancestors[i]), villa, ("ahne" + std::to_string(i + 1) + ".png").c_str());
  ok &= Save(Plate(160, 44, 14, Rgb(0x6b9a4a), Rgb(0x3c6328), Gold, 2), villa, "pruefen.png");
  // The morris board and its stones.
  ok &= Save(MorrisBoard(), villa, "muehle.png");
  for (int status = 0; status < 3; status++) {
    ok &= Save(Stone(status, false), villa, ("stein" + std::to_string(status) + ".png").c_str());
    if (status > 0) ok &= Save(Stone(status, true), villa, ("stein" + std::to_string(status) + "a.png").c_str());
  }
  // The walk through the fog: the path in three pieces across and the slope in two down, each
  // also in the reverse order for a strip moving the other way; and the page's frame.
  TImageBuffer path = Fog(1536, 768), slope = Fog(1024, 1024);
  ok &= SavePieces(path, 3, false, false, fog, "weg");
  ok &= SavePieces(path, 3, false, true, fog, "wegzurueck");
  ok &= SavePieces(slope, 2, true, false, fog, "hang");
  ok &= SavePieces(slope, 2, true, true, fog, "hangab");
  ok &= Save(FogFrame(), fog, "rahmen.png");
  return ok ? 0 : 1;
}
