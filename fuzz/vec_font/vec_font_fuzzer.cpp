// The ".mvec" loader on arbitrary bytes; a font it accepts has every glyph drawn by the
// rasteriser, plain and with strokes, italics and a rotation, into a sink that only counts.
//   corpus: fuzz/vec_font/corpus (seeded with assets/fonts/*.mvec)

#include <cstddef>
#include <cstdint>
#include <vector>

#include "counting_span_sink.h"
#include "graphics/text/mini_vec_draw.h"
#include "graphics/text/vec_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TVecFont font;
  if (!font.Load(std::vector<uint8_t>(data, data + size), "fuzz.mvec")) return 0;
  for (int i = 0; i < font.GetGlyphCount(); ++i) font.FindGlyph(font.GetCode(i));
  TCountingSpanSink sink;
  TJxMiniVecDraw draw;
  draw.SetSpanSink(&sink);
  struct {
    float scale, stroke0, stroke1, cosine, sine;
    bool italic;
  } const settings[] = {{1 / 32.0f, 0, 0, 1, 0, false}, {0.3f, 1.5f, 3, 0.6f, 0.8f, true}};
  for (const auto& s : settings) {
    draw.SetScale(s.scale, s.scale);
    draw.SetStrokeWidths(s.stroke0, s.stroke1);
    draw.SetRotation(s.cosine, s.sine);
    draw.SetItalic(s.italic);
    draw.BeginDraw(100.25f, 200.5f, nullptr);
    for (int g = 0; g < font.GetGlyphCount() && g < 64; ++g) draw.DrawShape(font.GetShape(g), g, -g);
    draw.EndDraw();
  }
  return 0;
}
