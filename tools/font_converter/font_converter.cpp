// font_converter: writes a ".mvec" vector font from a TrueType or OpenType font.
//
//   font_converter <font file> <output.mvec> [--chars <ranges>]
//
// Ranges are comma-separated hexadecimal code points or spans ("20-7e,a0-ff,20ac"); by
// default: printable ASCII, Latin-1, and the Windows-1252 extras (euro sign, typographic
// quotes and dashes, ellipsis, Œ, Š, Ž, Ÿ ...). Characters the font lacks are skipped with
// a note. Outlines keep their quadratic curves; cubic curves become two quadratics each.
// The rasteriser fills with the even-odd rule: a glyph whose contours overlap would show
// holes, so every glyph is rendered both ways and a difference is reported.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H
#include FT_BITMAP_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "mvec_writer.h"

namespace {

const uint32_t Windows1252Extras[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
                                      0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
                                      0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};

std::vector<uint32_t> DefaultCharacters() {
  std::vector<uint32_t> codes;
  for (uint32_t c = 0x20; c <= 0x7E; ++c) codes.push_back(c);
  for (uint32_t c = 0xA0; c <= 0xFF; ++c) codes.push_back(c);
  codes.insert(codes.end(), std::begin(Windows1252Extras), std::end(Windows1252Extras));
  return codes;
}

bool ParseCharacters(const std::string& spec, std::vector<uint32_t>& codes) {
  codes.clear();
  size_t at = 0;
  while (at < spec.size()) {
    size_t comma = spec.find(',', at);
    std::string item = spec.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
    at = comma == std::string::npos ? spec.size() : comma + 1;
    char* end = nullptr;
    unsigned long first = strtoul(item.c_str(), &end, 16), last = first;
    if (end == item.c_str()) return false;
    if (*end == '-') {
      const char* rest = end + 1;
      last = strtoul(rest, &end, 16);
      if (end == rest) return false;
    }
    if (*end || last < first || last > 0x10FFFF) return false;
    for (unsigned long c = first; c <= last; ++c) codes.push_back(uint32_t(c));
  }
  return !codes.empty();
}

// Decomposes an outline in font units into a shape, scaled to MvecUnitsPerEm with y down.
struct TOutlineSink {
  TMvecShapeBuilder shape;
  double scale;
  FT_Vector last{0, 0};

  int X(FT_Pos x) const { return int(std::lround(double(x) * scale)); }
  int Y(FT_Pos y) const { return int(std::lround(-double(y) * scale)); }
};

int MoveTo(const FT_Vector* to, void* user) {
  auto* s = static_cast<TOutlineSink*>(user);
  s->shape.MoveTo(s->X(to->x), s->Y(to->y));
  s->last = *to;
  return 0;
}

int LineTo(const FT_Vector* to, void* user) {
  auto* s = static_cast<TOutlineSink*>(user);
  s->shape.LineTo(s->X(to->x), s->Y(to->y));
  s->last = *to;
  return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* s = static_cast<TOutlineSink*>(user);
  s->shape.QuadTo(s->X(control->x), s->Y(control->y), s->X(to->x), s->Y(to->y));
  s->last = *to;
  return 0;
}

// A cubic is split at its middle; each half becomes the quadratic through the mean of
// its two control points' extrapolations.
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* s = static_cast<TOutlineSink*>(user);
  struct P {
    double x, y;
  };
  auto mid = [](P a, P b) { return P{(a.x + b.x) / 2, (a.y + b.y) / 2}; };
  P p0{double(s->last.x), double(s->last.y)}, p1{double(c1->x), double(c1->y)};
  P p2{double(c2->x), double(c2->y)}, p3{double(to->x), double(to->y)};
  P a = mid(p0, p1), b = mid(p1, p2), c = mid(p2, p3), d = mid(a, b), e = mid(b, c), m = mid(d, e);
  auto quad = [&](P q0, P q1, P q2, P q3) {
    P control{(3 * (q1.x + q2.x) - q0.x - q3.x) / 4, (3 * (q1.y + q2.y) - q0.y - q3.y) / 4};
    s->shape.QuadTo(s->X(FT_Pos(std::lround(control.x))), s->Y(FT_Pos(std::lround(control.y))),
                    s->X(FT_Pos(std::lround(q3.x))), s->Y(FT_Pos(std::lround(q3.y))));
  };
  quad(p0, a, d, m);
  quad(m, e, c, p3);
  s->last = *to;
  return 0;
}

// Renders the glyph at 64 pixels with both fill rules; true when they agree.
bool FillRulesAgree(FT_Library library, FT_Outline* outline) {
  FT_BBox box;
  FT_Outline_Get_CBox(outline, &box);
  int width = int((box.xMax - box.xMin) >> 6) + 2, height = int((box.yMax - box.yMin) >> 6) + 2;
  if (width <= 2 || height <= 2) return true;
  std::vector<unsigned char> images[2];
  FT_Outline_Translate(outline, -box.xMin, -box.yMin);
  for (int even = 0; even < 2; ++even) {
    images[even].assign(size_t(width) * height, 0);
    FT_Bitmap bitmap;
    FT_Bitmap_Init(&bitmap);
    bitmap.rows = unsigned(height);
    bitmap.width = unsigned(width);
    bitmap.pitch = width;
    bitmap.buffer = images[even].data();
    bitmap.num_grays = 256;
    bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
    if (even) outline->flags |= FT_OUTLINE_EVEN_ODD_FILL;
    FT_Outline_Get_Bitmap(library, outline, &bitmap);
    outline->flags &= ~FT_OUTLINE_EVEN_ODD_FILL;
  }
  FT_Outline_Translate(outline, box.xMin, box.yMin);
  int differing = 0;
  for (size_t i = 0; i < images[0].size(); ++i) differing += std::abs(images[0][i] - images[1][i]) > 64;
  return differing <= 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && strcmp(argv[3], "--chars") == 0)) {
    fprintf(stderr, "usage: %s <font file> <output.mvec> [--chars <hex ranges>]\n", argv[0]);
    return 2;
  }
  std::vector<uint32_t> codes = DefaultCharacters();
  if (argc == 5 && !ParseCharacters(argv[4], codes)) {
    fprintf(stderr, "font_converter: bad character ranges \"%s\"\n", argv[4]);
    return 2;
  }
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library) || FT_New_Face(library, argv[1], 0, &face)) {
    fprintf(stderr, "font_converter: cannot read the font %s\n", argv[1]);
    return 1;
  }
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
    fprintf(stderr, "font_converter: %s has no outlines\n", argv[1]);
    return 1;
  }
  double scale = double(MvecUnitsPerEm) / face->units_per_EM;
  FT_Outline_Funcs funcs = {MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
  std::vector<TMvecGlyph> glyphs;
  for (uint32_t code : codes) {
    FT_UInt index = FT_Get_Char_Index(face, code);
    if (!index) {
      fprintf(stderr, "font_converter: no glyph for U+%04X, skipped\n", code);
      continue;
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
      fprintf(stderr, "font_converter: glyph for U+%04X has no outline, skipped\n", code);
      continue;
    }
    FT_Outline* outline = &face->glyph->outline;
    TOutlineSink sink;
    sink.scale = scale;
    FT_Outline_Decompose(outline, &funcs, &sink);
    TMvecGlyph g;
    g.code = code;
    g.advance = int(std::lround(face->glyph->metrics.horiAdvance * scale));
    if (outline->n_points > 0) {
      FT_BBox box;
      FT_Outline_Get_BBox(outline, &box);
      g.left = sink.X(box.xMin);
      g.right = sink.X(box.xMax);
      g.top = sink.Y(box.yMax);
      g.bottom = sink.Y(box.yMin);
      if (!FillRulesAgree(library, outline)) {
        fprintf(stderr, "font_converter: U+%04X has overlapping contours (drawn with holes)\n", code);
      }
    }
    if (!sink.shape.InRange()) {
      fprintf(stderr, "font_converter: U+%04X is too large for the format\n", code);
      return 1;
    }
    g.shape = sink.shape.Finish();
    glyphs.push_back(std::move(g));
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);

  std::vector<uint8_t> image;
  std::string error;
  if (!BuildMvec(std::move(glyphs), image, error)) {
    fprintf(stderr, "font_converter: %s\n", error.c_str());
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
  if (!out.flush()) {
    fprintf(stderr, "font_converter: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
