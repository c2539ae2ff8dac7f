// diary_art: draws the pictures of the demo's diary into an asset folder: the open book
// with its two ruled pages, the arrows that turn the pages (normal, pressed, under the
// pointer), and Mara's pencil sketch of the shed that the diary shows.
//
//   diary_art ASSET_FOLDER
//
// The output is the same on every run. tools/demo_art/make_demo_assets.sh runs it.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "art_canvas.h"

namespace {

// The open book, 848 x 620: a leather cover with rounded corners, two cream pages with
// faint blue rulings and a red margin line, and the shade of the fold in the middle.
TImageBuffer Book() {
  const int width = 848, height = 620;
  TImageBuffer image(width, height);
  const float w = float(width), h = float(height), middle = w / 2;
  image.Paint([&](float x, float y) {
    float cover = RoundedBox(x, y, 0.5f, 0.5f, w - 0.5f, h - 0.5f, 22);
    TRgba leather = Mix(Rgb(0x6b3a1f), Rgb(0x44220f), y / h);
    // A tooled border a little inside the cover's edge.
    leather = Over(leather, WithAlpha(Rgb(0xd8a85a), 0.55f * Coverage(std::fabs(cover + 9) - 0.9f)));
    TRgba out = WithAlpha(leather, Coverage(cover));
    // The pages: each a rounded sheet from the fold outwards.
    float left = RoundedBox(x, y, 18, 16, middle + 1, h - 18, 8);
    float right = RoundedBox(x, y, middle - 1, 16, w - 18, h - 18, 8);
    float page = std::min(left, right);
    float fromFold = std::fabs(x - middle) / (middle - 18);
    TRgba paper = Mix(Rgb(0xefe2c0), Rgb(0xfbf4e0), std::min(1.0f, fromFold * 3));
    // Rulings every 30 pixels from y = 60, and the margin line near each page's outer edge.
    float ruling = std::fmod(y - 60.0f + 3000.0f, 30.0f);
    float line = y > 50 && y < h - 40 ? Coverage(std::fabs(ruling - 15.0f) - 0.6f) : 0.0f;
    paper = Over(paper, WithAlpha(Rgb(0x8fa8c8), 0.35f * line));
    float margin = x < middle ? std::fabs(x - 52) : std::fabs(x - (w - 52));
    paper = Over(paper, WithAlpha(Rgb(0xc85a5a), 0.35f * Coverage(margin - 0.7f)));
    // The fold darkens the paper next to the spine.
    paper = Over(paper, WithAlpha(Rgb(0x5a3a1a), 0.35f * std::max(0.0f, 1.0f - std::fabs(x - middle) / 26.0f)));
    return Over(out, WithAlpha(paper, Coverage(page)));
  });
  return image;
}

// An arrow on a bronze disc, 80 x 40, pointing left or right; `tone' lightens (over) or
// darkens (pressed) the plate.
TImageBuffer Arrow(bool right, float tone) {
  const int width = 80, height = 40;
  TImageBuffer image = Plate(width, height, 18, Mix(Rgb(0xc99a52), Rgb(0xffe2a0), tone),
                             Mix(Rgb(0x7e5222), Rgb(0x3a200c), -std::min(tone, 0.0f)), Rgb(0xf2d38b), 2);
  const float w = float(width), h = float(height);
  image.Paint([&](float x, float y) {
    float u = right ? x : w - x;
    // A shaft from 18 to 52 and a head from 44 to 64.
    float shaft = std::max(std::fabs(y - h / 2) - 3.5f, std::max(18.0f - u, u - 50.0f));
    float head = std::max(u - 64.0f, std::fabs(y - h / 2) - (64.0f - u) * 0.6f);
    head = std::max(head, 44.0f - u);
    float d = std::min(shaft, head);
    return WithAlpha(Rgb(0xfff7e1), Coverage(d));
  });
  return image;
}

// A pencil sketch of grandpa's shed on the page, 220 x 150: grey strokes on nothing, so
// the paper shows through.
TImageBuffer ShedSketch() {
  const int width = 220, height = 150;
  TImageBuffer image(width, height);
  struct TStroke {
    float x0, y0, x1, y1;
  };
  const TStroke strokes[] = {
      {40, 140, 180, 140}, {50, 140, 50, 70},  {170, 140, 170, 70}, {35, 78, 110, 25},  {110, 25, 185, 78},
      {90, 140, 90, 95},   {90, 95, 125, 95},  {125, 95, 125, 140}, {135, 85, 158, 85}, {135, 85, 135, 105},
      {158, 85, 158, 105}, {135, 105, 158, 105}, {146, 85, 146, 105}, {12, 146, 208, 144},
  };
  image.Paint([&](float x, float y) {
    float nearest = 1e9f;
    for (const TStroke& s : strokes) {
      float ex = s.x1 - s.x0, ey = s.y1 - s.y0;
      float t = std::clamp(((x - s.x0) * ex + (y - s.y0) * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
      nearest = std::min(nearest, std::hypot(x - s.x0 - t * ex, y - s.y0 - t * ey));
    }
    // Hatching on the roof: thin diagonal strokes inside the triangle.
    bool inRoof = y > 25 && y < 78 && std::fabs(x - 110) < (y - 25) * 75.0f / 53.0f;
    float hatch = inRoof ? std::fabs(std::fmod(x + y + 400.0f, 9.0f) - 4.5f) - 3.9f : 1e9f;
    float d = std::min(nearest - 1.1f, hatch);
    return WithAlpha(Rgb(0x4a4a52), 0.8f * Coverage(d));
  });
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: diary_art ASSET_FOLDER\n");
    return 2;
  }
  const std::string diary = std::string(argv[1]) + "/images/diary";
  if (!MakeFolder(std::string(argv[1]) + "/images") || !MakeFolder(diary)) {
    std::fprintf(stderr, "diary_art: cannot make %s\n", diary.c_str());
    return 1;
  }
  bool ok = Save(Book(), diary, "book.png");
  ok &= Save(Arrow(false, 0), diary, "back.png");
  ok &= Save(Arrow(false, -0.6f), diary, "back_pressed.png");
  ok &= Save(Arrow(false, 0.35f), diary, "back_over.png");
  ok &= Save(Arrow(true, 0), diary, "forward.png");
  ok &= Save(Arrow(true, -0.6f), diary, "forward_pressed.png");
  ok &= Save(Arrow(true, 0.35f), diary, "forward_over.png");
  ok &= Save(ShedSketch(), diary, "schuppen_skizze.png");
  return ok ? 0 : 1;
}
